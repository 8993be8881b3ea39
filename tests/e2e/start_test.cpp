// Starting the program: once, again while it runs, and with arguments.
#include "e2e.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class StartTest : public CalendarTest {
  protected:
    void SetUp() override {
        CalendarTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(RemoveSettings());
    }
};

// The names the calendar gives the mutex that settles which copy runs it,
// and the signal that its marker is ready, each followed by the desktop's.
// Written out as the control ids are.
const wchar_t kClaimPrefix[] = L"Local\\Trical.Calendar.";
const wchar_t kReadyPrefix[] = L"Local\\Trical.MarkerReady.";

// One of those names on the driver's desktop, which is the calendar's too.
std::wstring ObjectName(const wchar_t *prefix) {
    wchar_t desktop[128] = L"";
    DWORD bytes = 0;
    GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, desktop,
                              sizeof desktop, &bytes);
    return prefix + std::wstring(desktop);
}

// Waits for a copy that is not to run the calendar to end with code 0,
// watching for a window of it for as long as it lives; one that does not
// end is ended.
::testing::AssertionResult EndsUnseen(const PROCESS_INFORMATION &copy, ULONGLONG timeoutMs) {
    size_t shown = 0;
    DWORD code = 1;
    bool ended = Eventually(
        [&] {
            shown = std::max(shown, ShownWindowsOf(copy.dwProcessId).size());
            return ::testing::AssertionResult(WaitForExit(copy, 0, &code));
        },
        timeoutMs);
    if (!ended) {
        TerminateProcess(copy.hProcess, 1);
        return ::testing::AssertionFailure() << "the copy did not end";
    }
    if (code != 0)
        return ::testing::AssertionFailure() << "the copy ended with exit code " << code;
    if (shown != 0)
        return ::testing::AssertionFailure() << "the copy showed a window";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(StartTest, SecondStartShowsNoWindowAndLeavesTheFirstAlone) {
    ASSERT_TRUE(Launch());
    const Titles february = TitlesAt(1);
    ASSERT_TRUE(Press(dialog_, kNextMonthButton, february));
    RECT place = WindowRectOf(dialog_);

    const char *const commandLines[] = {"", "/foo bar"};
    for (const char *arguments : commandLines) {
        SCOPED_TRACE(std::string("second start with \"") + arguments + "\"");
        PROCESS_INFORMATION second = {};
        ASSERT_TRUE(StartTrical(arguments, &second));
        ::testing::AssertionResult unseen = EndsUnseen(second, 30000);
        CloseHandle(second.hThread);
        CloseHandle(second.hProcess);
        ASSERT_TRUE(unseen) << "the second start";
        EXPECT_EQ(1u, MarkerWindows().size());
        EXPECT_EQ(1u, ShownWindowsOf(process_.dwProcessId).size());
        EXPECT_TRUE(TitlesBecome(dialog_, february, 0));
        RECT now = WindowRectOf(dialog_);
        EXPECT_TRUE(EqualRect(&place, &now)) << "the running calendar moved";
    }
    // The first one still answers.
    EXPECT_TRUE(Press(dialog_, kPrevMonthButton, TitlesAt(0)));
    EXPECT_TRUE(CloseWithX());
}

// A second start brings the running calendar forward from behind another
// program, or the About box open above it. The running copy does that
// itself when asked, so a second start ends at once even where the first
// has stopped answering, and the calendar comes forward once it answers.
TEST_F(StartTest, SecondStartBringsTheRunningCopyForward) {
    struct Case {
        const char *name;
        bool about;
        bool hung;
    };
    const Case cases[] = {{"the calendar", false, false},
                          {"its About box", true, false},
                          {"a calendar that does not answer", false, true}};
    ASSERT_TRUE(Launch());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        HWND front = dialog_;
        if (c.about) {
            ASSERT_TRUE(ClickButton(dialog_, kAboutButton));
            front = NewWindowOf(process_.dwProcessId, {dialog_});
            ASSERT_NE(nullptr, front) << "no About box appeared";
        }
        HWND other = TakeForeground();
        ASSERT_NE(nullptr, other) << "the driver's own window did not come to the front";
        if (c.hung) {
            ASSERT_NE(static_cast<DWORD>(-1), SuspendThread(process_.hThread));
        }
        PROCESS_INFORMATION second = {};
        ::testing::AssertionResult ended = StartTrical("", &second);
        if (ended)
            ended = EndsUnseen(second, 10000);
        if (c.hung)
            ResumeThread(process_.hThread);
        EXPECT_TRUE(ended) << "the second start";
        EXPECT_TRUE(Eventually([&] {
            return ::testing::AssertionResult(GetForegroundWindow() == front)
                   << "the running copy did not come forward";
        }));
        if (c.about) {
            EXPECT_TRUE(EscapeCloses(front));
        }
        DestroyWindow(other);
        CloseHandle(second.hThread);
        CloseHandle(second.hProcess);
    }
    EXPECT_TRUE(Press(dialog_, kNextMonthButton, TitlesAt(1)));
    EXPECT_TRUE(CloseWithX());
}

TEST_F(StartTest, CommandLineMakesNoDifference) {
    ASSERT_TRUE(Launch("/foo bar"));
    EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(0), 0));
    RECT r = WindowRectOf(dialog_);
    POINT centre = CentredPlace(r.right - r.left, r.bottom - r.top);
    EXPECT_EQ(centre.x, r.left);
    EXPECT_EQ(centre.y, r.top);
    EXPECT_TRUE(Press(dialog_, kNextYearButton, TitlesAt(12)));
    ASSERT_TRUE(CloseWithX());
    EXPECT_TRUE(SavedPlaceIs(centre.x, centre.y));
}

// Copies started in the same moment, as a logon's autostart and an impatient
// double-click do: one of them runs the calendar, every other one ends with
// code 0 without a window, and the place saved is that one calendar's.
TEST_F(StartTest, CopiesStartedTogetherLeaveOneCalendar) {
    for (int trial = 1; trial <= 4; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        const size_t kCopies = 6;
        PROCESS_INFORMATION copies[kCopies] = {};
        for (PROCESS_INFORMATION &copy : copies)
            ASSERT_TRUE(StartTrical("", &copy, CREATE_SUSPENDED));
        for (PROCESS_INFORMATION &copy : copies)
            ResumeThread(copy.hThread);
        std::vector<PROCESS_INFORMATION> running;
        // The most windows each copy was seen to show while it lived.
        size_t shown[kCopies] = {};
        EXPECT_TRUE(Eventually(
            [&] {
                running.clear();
                for (size_t i = 0; i < kCopies; ++i)
                    if (WaitForSingleObject(copies[i].hProcess, 0) == WAIT_TIMEOUT) {
                        running.push_back(copies[i]);
                        shown[i] = std::max(shown[i], ShownWindowsOf(copies[i].dwProcessId).size());
                    }
                if (running.size() == 1)
                    return ::testing::AssertionSuccess();
                return ::testing::AssertionFailure() << running.size() << " copies running";
            },
            30000));
        for (size_t i = 0; i < kCopies; ++i) {
            const PROCESS_INFORMATION &copy = copies[i];
            if (running.size() == 1 && copy.hProcess == running[0].hProcess)
                continue;
            DWORD code = 1;
            if (!WaitForExit(copy, 0, &code))
                TerminateProcess(copy.hProcess, 1);
            EXPECT_EQ(0u, code);
            EXPECT_EQ(0u, shown[i]) << "a copy that did not run the calendar showed a window";
            CloseHandle(copy.hThread);
            CloseHandle(copy.hProcess);
        }
        ASSERT_EQ(1u, running.size());
        process_ = running[0];
        dialog_ = WaitForCalendar(process_, 30000);
        ASSERT_NE(nullptr, dialog_);
        EXPECT_EQ(1u, MarkerWindows().size());
        const POINT place = {40 * trial, 30 * trial};
        ASSERT_TRUE(DragTo(place));
        ASSERT_TRUE(CloseWithX());
        EXPECT_TRUE(SavedPlaceIs(place.x, place.y));
        EndCalendar();
    }
}

// A calendar that was killed leaves the claim to the next start.
TEST_F(StartTest, AKilledCalendarLocksNobodyOut) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(TerminateProcess(process_.hProcess, 1));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, 20000));
    EndCalendar();
    ASSERT_TRUE(Launch());
    EXPECT_TRUE(Press(dialog_, kNextMonthButton, TitlesAt(1)));
    EXPECT_TRUE(CloseWithX());
}

// The driver plays a calendar that is closing: it holds the claim, with no
// marker ready. A copy started then waits, and runs the calendar itself once
// the claim comes free; where it never does, the copy ends within moments
// without a window, since two calendars are worse than none.
TEST_F(StartTest, AStartWhileTheCalendarClosesWaitsForTheClaim) {
    struct Case {
        const char *name;
        bool letGo;
    };
    const Case cases[] = {{"the claim comes free", true}, {"the claim stays held", false}};
    const std::wstring ready = ObjectName(kReadyPrefix);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        HANDLE claim = CreateMutexW(nullptr, TRUE, ObjectName(kClaimPrefix).c_str());
        ASSERT_NE(nullptr, claim);
        EXPECT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError())
            << "the claim is held already";
        ::testing::AssertionResult started = StartTrical("", &process_);
        // The copy opens the ready signal once it wants the claim, and no
        // copy before it left one.
        if (started)
            started = Eventually([&] {
                HANDLE signal = OpenEventW(SYNCHRONIZE, FALSE, ready.c_str());
                if (signal)
                    CloseHandle(signal);
                return ::testing::AssertionResult(signal != nullptr)
                       << "the copy never looked for the ready signal";
            });
        EXPECT_TRUE(started);
        if (c.letGo)
            ReleaseMutex(claim);
        if (started && c.letGo) {
            dialog_ = WaitForCalendar(process_, 30000);
            EXPECT_NE(nullptr, dialog_) << "no calendar appeared";
            if (dialog_) {
                EXPECT_EQ(1u, MarkerWindows().size());
                EXPECT_TRUE(CloseWithX());
            }
        } else if (started) {
            EXPECT_TRUE(EndsUnseen(process_, 30000));
        }
        if (!c.letGo)
            ReleaseMutex(claim);
        CloseHandle(claim);
        EndCalendar();
    }
}

// The calendar takes back its ready signal as it closes, before it saves its
// place, so that a copy started meanwhile does not take it for running.
TEST_F(StartTest, AClosingCalendarTakesBackItsReadySignal) {
    ASSERT_TRUE(Launch());
    HANDLE ready = OpenEventW(SYNCHRONIZE, FALSE, ObjectName(kReadyPrefix).c_str());
    ASSERT_NE(nullptr, ready);
    // Set just after the marker is made, which Launch saw.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 10000))
        << "not set while the calendar runs";
    EXPECT_TRUE(ClickButton(dialog_, kCloseButton));
    bool setOnceSaved = false;
    std::string text;
    DWORD code = 1;
    EXPECT_TRUE(Eventually(
        [&] {
            // The file first: the signal was taken back before it was written.
            if (ReadSettings(&text) && WaitForSingleObject(ready, 0) == WAIT_OBJECT_0)
                setOnceSaved = true;
            return ::testing::AssertionResult(WaitForExit(process_, 0, &code));
        },
        30000))
        << "the calendar did not end";
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(setOnceSaved) << "still set once the place was saved";
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(ready, 0))
        << "still set after the calendar ended";
    CloseHandle(ready);
}
