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
