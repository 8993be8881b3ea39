// Stepping without the buttons: the mouse wheel and the keyboard; the
// buttons' tooltips; and a look at the date as soon as the clock jumps.
#include "e2e.h"

#include <string>

namespace {

class InputTest : public StartedCalendarTest {
  protected:
    // The wheel and the keys go to the calendar under the pointer.
    void SetUp() override {
        StartedCalendarTest::SetUp();
        if (HasFatalFailure())
            return;
        body_ = BareBodyPoint(dialog_);
        ASSERT_TRUE(Click(body_.x, body_.y));
    }

    ::testing::AssertionResult Turn(int delta, const Titles &expected, bool horizontal = false) {
        ::testing::AssertionResult turned = Wheel(body_.x, body_.y, delta, horizontal);
        return turned ? TitlesBecome(dialog_, expected) : turned;
    }

    ::testing::AssertionResult Key(WORD key, const Titles &expected) {
        ::testing::AssertionResult typed = Type(key);
        return typed ? TitlesBecome(dialog_, expected) : typed;
    }

    ::testing::AssertionResult KeyWith(WORD modifier, WORD key, const Titles &expected) {
        ::testing::AssertionResult typed = Chord(modifier, key);
        return typed ? TitlesBecome(dialog_, expected) : typed;
    }

    POINT body_ = {};
};

// Sends a message as the system would and waits for it to be handled.
bool Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result) != 0;
}

} // namespace

// Up, away from the user, is the earlier month; with Shift, or tilted, a year.
TEST_F(InputTest, WheelStepsMonthsAndWithShiftYears) {
    ASSERT_TRUE(Turn(120, TitlesAt(-1)));
    ASSERT_TRUE(Turn(-120, TitlesAt(0)));
    ASSERT_TRUE(Turn(-120, TitlesAt(1)));
    ASSERT_TRUE(Turn(120, TitlesAt(0)));

    INPUT shift = {};
    shift.type = INPUT_KEYBOARD;
    shift.ki.wVk = VK_SHIFT;
    ASSERT_EQ(1u, SendInput(1, &shift, sizeof shift));
    ::testing::AssertionResult back = Turn(120, TitlesAt(-12));
    ::testing::AssertionResult forth = Turn(-120, TitlesAt(0));
    shift.ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(1u, SendInput(1, &shift, sizeof shift));
    EXPECT_TRUE(back);
    EXPECT_TRUE(forth);

    // Tilted right is the later year.
    EXPECT_TRUE(Turn(120, TitlesAt(12), true));
    EXPECT_TRUE(Turn(-120, TitlesAt(0), true));
    EXPECT_TRUE(CloseWithX());
}

// A touchpad's quarter notches make one step when they add up to a notch. Had
// each part counted as a notch, the view would end four months back, and the
// turn forward at the end would not bring it to January.
TEST_F(InputTest, PartTurnsAddUpToOneStep) {
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(Wheel(body_.x, body_.y, 30));
    ASSERT_TRUE(TitlesBecome(dialog_, TitlesAt(-1)));
    // Half a notch back and half forward cancel out.
    ASSERT_TRUE(Wheel(body_.x, body_.y, -60));
    ASSERT_TRUE(Wheel(body_.x, body_.y, 60));
    ASSERT_TRUE(Turn(-120, TitlesAt(0)));
    EXPECT_TRUE(CloseWithX());
}

TEST_F(InputTest, PageKeysStepAndHomeComesBack) {
    ASSERT_TRUE(Key(VK_PRIOR, TitlesAt(-1)));
    ASSERT_TRUE(Key(VK_NEXT, TitlesAt(0)));
    ASSERT_TRUE(Key(VK_NEXT, TitlesAt(1)));
    ASSERT_TRUE(KeyWith(VK_CONTROL, VK_NEXT, TitlesAt(13)));
    ASSERT_TRUE(KeyWith(VK_CONTROL, VK_PRIOR, TitlesAt(1)));
    ASSERT_TRUE(KeyWith(VK_CONTROL, VK_PRIOR, TitlesAt(-11)));
    ASSERT_TRUE(Key(VK_HOME, TitlesAt(0)));
    EXPECT_TRUE(CloseWithX());
}

// Enter and Escape do nothing, and no key closes the calendar: not even with
// the keyboard on X, which a press dragged off the button leaves there.
TEST_F(InputTest, NoKeyClosesTheCalendar) {
    RECT x = WindowRectOf(GetDlgItem(dialog_, kCloseButton));
    POINT onX = {(x.left + x.right) / 2, (x.top + x.bottom) / 2};
    ASSERT_TRUE(Drag(GetDlgItem(dialog_, kCloseButton), onX, body_));
    for (WORD key : {VK_RETURN, VK_ESCAPE, VK_SPACE})
        ASSERT_TRUE(Type(key));
    // Keys are handled in order: once Page Down has shown, the others were
    // handled too.
    ASSERT_TRUE(Key(VK_NEXT, TitlesAt(1)));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(process_.hProcess, 0));
    EXPECT_TRUE(IsWindowVisible(dialog_));
    ASSERT_TRUE(Key(VK_HOME, TitlesAt(0)));
    EXPECT_TRUE(CloseWithX());
}

// The six buttons each tell what they do while the pointer rests on them.
// The text of the process's tip while it shows, or "" when none does.
std::string ShownTip(DWORD processId) {
    for (HWND window : ShownWindowsOf(processId)) {
        char name[64] = "";
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) != "tooltips_class32")
            continue;
        // GetWindowText would read the window's caption, not the tip, from
        // another process.
        char text[64] = "";
        SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        return text;
    }
    return "";
}

// The tip shows `expected` ("": none) within `ms`.
::testing::AssertionResult TipShows(DWORD processId, const std::string &expected, ULONGLONG ms) {
    return Eventually(
        [&] {
            std::string shown = ShownTip(processId);
            return ::testing::AssertionResult(shown == expected)
                   << "the tip shows \"" << shown << "\"";
        },
        ms);
}

// The six buttons each tell what they do while the pointer rests on them.
TEST_F(InputTest, ButtonsHaveTooltips) {
    const struct {
        int id;
        const char *text;
    } tips[] = {
        {kPrevYearButton, "Previous year"},
        {kPrevMonthButton, "Previous month"},
        {kNextMonthButton, "Next month"},
        {kNextYearButton, "Next year"},
        {kCloseButton, "Close"},
        {kAboutButton, "About Trical"},
    };
    for (const auto &tip : tips) {
        RECT button = WindowRectOf(GetDlgItem(dialog_, tip.id));
        ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
        ASSERT_TRUE(Hover((button.left + button.right) / 2, (button.top + button.bottom) / 2));
        EXPECT_TRUE(TipShows(process_.dwProcessId, tip.text, 10000)) << "button " << tip.id;
    }
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    EXPECT_TRUE(CloseWithX());
}

// A press puts the tip away while the pointer stays on the button: none
// shows in three times the platform's delay (Wine's own tooltips would show
// one); once the pointer has left, the tip comes back.
TEST_F(InputTest, PressedButtonShowsNoTip) {
    const Titles february = TitlesAt(1);
    ASSERT_TRUE(Press(dialog_, kNextMonthButton, february));
    EXPECT_FALSE(Eventually(
        [&] { return ::testing::AssertionResult(!ShownTip(process_.dwProcessId).empty()); },
        3 * GetDoubleClickTime()))
        << "a tip showed on the pressed button";
    RECT button = WindowRectOf(GetDlgItem(dialog_, kNextMonthButton));
    ASSERT_TRUE(Hover(body_.x, body_.y));
    ASSERT_TRUE(Hover((button.left + button.right) / 2, (button.top + button.bottom) / 2));
    EXPECT_TRUE(TipShows(process_.dwProcessId, "Next month", 10000));
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    EXPECT_TRUE(CloseWithX());
}

using ClockChangeTest = StartedCalendarTest;

// Resuming from sleep, a new time or date, or a new zone: the view is looked
// at at once, as the minute tick would, with no minute passing.
TEST_F(ClockChangeTest, ViewFollowsTheDateAtOnce) {
    const struct {
        const char *what;
        UINT message;
        WPARAM wParam;
    } changes[] = {
        {"resume", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
        {"resume by the user", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND},
        {"time change", WM_TIMECHANGE, 0},
        {"setting change", WM_SETTINGCHANGE, 0},
    };
    MonthOfYear today = {0, 1997};
    for (const auto &change : changes) {
        // Moved away by the user; the same date leaves it there.
        const Titles away = TitlesAround({today.month, today.year + 1});
        ASSERT_TRUE(Press(dialog_, kNextYearButton, away));
        ASSERT_TRUE(Deliver(dialog_, change.message, change.wParam, 0)) << change.what;
        EXPECT_TRUE(SameTitles(ReadTitles(dialog_), away))
            << change.what << " on the same date moved the view";

        today = AddMonths(today, 1);
        ASSERT_TRUE(SetLocalClock(today.year, today.month + 1, 3, 12, 0, 0));
        ULONGLONG sent = Now();
        ASSERT_TRUE(Deliver(dialog_, change.message, change.wParam, 0)) << change.what;
        EXPECT_TRUE(TitlesBecome(dialog_, TitlesAround(today), 5000)) << change.what;
        EXPECT_LT(Now() - sent, 5000u) << change.what;
    }
    EXPECT_TRUE(CloseWithX());
}
