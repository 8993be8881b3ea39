// The right-click menu and the choices on it, worked as a person works
// them: the menu opens from the mouse and the keyboard, each choice through
// the menu changes what the calendar shows, the file and the registry hold
// it, and the next start brings it back.
#include "e2e.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

// The four choices in the menu's order, each with its key in the menu.
enum Choice { kMondayFirst, kWeekNumbers, kOnTop, kAutostart, kChoiceCount };
const WORD kChoiceKeys[kChoiceCount] = {'M', 'W', 'T', 'S'};
const char *const kChoiceKeysInFile[kChoiceCount] = {"FIRSTDAY", "WEEKNUM", "ONTOP", nullptr};

// The file's value of the choice, once it has been written.
AssertionResult OptionIs(const char *key, const char *expected) {
    return Eventually([&] {
        std::string value = "(none)";
        SettingsValue("OPTIONS", key, &value);
        return AssertionResult(value == expected)
               << "[OPTIONS] " << key << " is " << value << ", expected " << expected;
    });
}

bool Topmost(HWND window) { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

class OptionsTest : public CalendarTest {
  protected:
    void SetUp() override {
        CalendarTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(RemoveSettings());
        ASSERT_TRUE(RemoveRunValue());
    }

    void TearDown() override {
        CalendarTest::TearDown();
        EXPECT_TRUE(RemoveRunValue());
    }

    AssertionResult MenuOpens(HWND *menu) {
        *menu = WaitForMenu(process_.dwProcessId, true);
        if (*menu == nullptr)
            return AssertionFailure() << "no menu window appeared";
        return AssertionSuccess();
    }

    // Opens the menu with a right-click on the body, reads its ticks where
    // `ticks` is given, and leaves it with `key`: Escape, or an item's key.
    AssertionResult Choose(WORD key, const std::vector<bool> *ticks = nullptr) {
        POINT body = BareBodyPoint(dialog_);
        HWND menu = nullptr;
        AssertionResult done = RightClick(body.x, body.y);
        if (done)
            done = MenuOpens(&menu);
        AssertionResult shown = done && ticks ? MenuTicksAre(menu, *ticks) : done;
        if (done)
            done = Type(key);
        if (done && WaitForMenu(process_.dwProcessId, false))
            done = AssertionFailure() << "the menu stayed open after its key";
        return done ? shown : done;
    }

    AssertionResult TicksAre(const std::vector<bool> &expected) {
        return Choose(VK_ESCAPE, &expected);
    }

    // Steps the view from `shown` by years and then months, with the
    // buttons, until the middle panel shows `month`.
    AssertionResult GoTo(MonthOfYear shown, MonthOfYear month) {
        AssertionResult done = AssertionSuccess();
        while (done && shown.year != month.year) {
            int years = shown.year < month.year ? 1 : -1;
            shown = AddMonths(shown, 12 * years);
            done =
                Press(dialog_, years > 0 ? kNextYearButton : kPrevYearButton, TitlesAround(shown));
        }
        while (done && shown.month != month.month) {
            int months = shown.month < month.month ? 1 : -1;
            shown = AddMonths(shown, months);
            done = Press(dialog_, months > 0 ? kNextMonthButton : kPrevMonthButton,
                         TitlesAround(shown));
        }
        return done;
    }

    // The panels drawn for these choices, today red in its cell.
    AssertionResult PanelsShow(GridOptions options, Frames *frames) {
        return PanelsMatchThePlan(dialog_, StartMonth(), StartDate(), frames, options);
    }

    // The menu's command is posted when the menu closes; what it changes is
    // waited for.
    AssertionResult ShowsInTime(Choice choice, bool on, const Layout &base) {
        return Eventually([&] { return Shows(choice, on, base); });
    }

    // What a choice changes, on or off.
    AssertionResult Shows(Choice choice, bool on, const Layout &base) {
        Frames frames;
        switch (choice) {
        case kMondayFirst:
            return PanelsShow({on, false}, &frames);
        case kWeekNumbers:
            if (on) {
                AssertionResult widened = WidenedAndClear(dialog_, base);
                return widened ? PanelsShow({false, true}, &frames) : widened;
            } else {
                Layout now = LayoutOf(dialog_);
                if (memcmp(&now, &base, sizeof now) != 0)
                    return AssertionFailure() << "the controls did not go back to their places";
                return PanelsShow({}, &frames);
            }
        case kOnTop:
            if (Topmost(dialog_) != on)
                return AssertionFailure() << "WS_EX_TOPMOST is " << (on ? "off" : "on");
            return AssertionSuccess();
        case kAutostart:
        case kChoiceCount:
            break;
        }
        return RunValueIs(on ? QuotedTricalPath() : "");
    }
};

struct Opener {
    const char *how;
    enum { body, title, button, shiftF10, menuKey } kind;
};

const Opener kOpeners[] = {
    {"right-click on the body", Opener::body},
    {"right-click on the middle title", Opener::title},
    {"right-click on the > button", Opener::button},
    {"Shift+F10", Opener::shiftF10},
    {"the menu key", Opener::menuKey},
};

POINT CentreOf(HWND window) { return CentreOf(WindowRectOf(window)); }

} // namespace

// The menu opens at the pointer, or at the calendar's corner from the
// keyboard, and Escape leaves it without a step or a drag.
TEST_F(OptionsTest, MenuOpensFromTheMouseAndTheKeyboard) {
    ASSERT_TRUE(Launch());
    Titles titles = ReadTitles(dialog_);
    RECT place = WindowRectOf(dialog_);
    for (const Opener &opener : kOpeners) {
        SCOPED_TRACE(opener.how);
        POINT at = {place.left, place.top};
        if (opener.kind == Opener::body)
            at = BareBodyPoint(dialog_);
        else if (opener.kind == Opener::title)
            at = CentreOf(GetDlgItem(dialog_, kCurrentTitle));
        else if (opener.kind == Opener::button)
            at = CentreOf(GetDlgItem(dialog_, kNextMonthButton));
        if (opener.kind == Opener::shiftF10)
            ASSERT_TRUE(Chord(VK_SHIFT, VK_F10));
        else if (opener.kind == Opener::menuKey)
            ASSERT_TRUE(Type(VK_APPS));
        else
            ASSERT_TRUE(RightClick(at.x, at.y));
        HWND menu = nullptr;
        ASSERT_TRUE(MenuOpens(&menu));
        RECT r = WindowRectOf(menu);
        EXPECT_EQ(at.x, r.left);
        EXPECT_EQ(at.y, r.top);
        EXPECT_TRUE(MenuTicksAre(menu, std::vector<bool>(kChoiceCount, false)));
        ASSERT_TRUE(Type(VK_ESCAPE));
        ASSERT_EQ(nullptr, WaitForMenu(process_.dwProcessId, false));
        EXPECT_TRUE(SameTitles(titles, ReadTitles(dialog_))) << Describe(ReadTitles(dialog_));
        RECT now = WindowRectOf(dialog_);
        EXPECT_TRUE(EqualRect(&place, &now)) << "the window moved";
    }
    EXPECT_TRUE(CloseWithX());
}

// Each choice on through the menu, shown, ticked and written down; then off
// again, and the calendar is as it was.
TEST_F(OptionsTest, EachChoiceThroughTheMenu) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    Layout base = LayoutOf(dialog_);
    Frames fresh;
    ASSERT_TRUE(PanelsShow({}, &fresh));
    for (int c = 0; c < kChoiceCount; ++c) {
        Choice choice = static_cast<Choice>(c);
        SCOPED_TRACE("choice " + std::to_string(c));
        for (bool on : {true, false}) {
            ASSERT_TRUE(Choose(kChoiceKeys[c]));
            EXPECT_TRUE(ShowsInTime(choice, on, base));
            // Monday first taken back leaves the week to the region's first
            // day, Sunday here, and FIRSTDAY out.
            const char *off = choice == kMondayFirst ? "(none)" : "0";
            if (kChoiceKeysInFile[c] != nullptr) {
                EXPECT_TRUE(OptionIs(kChoiceKeysInFile[c], on ? "1" : off));
            }
            std::vector<bool> ticks(kChoiceCount, false);
            ticks[c] = on;
            EXPECT_TRUE(TicksAre(ticks));
        }
        Frames now;
        EXPECT_TRUE(FramesBecome(dialog_, fresh, &now));
    }
    EXPECT_TRUE(CloseWithX());
}

// A value under Run for another copy is not this one's: unticked, and
// ticking puts this copy's path in its place.
TEST_F(OptionsTest, RunValueOfAnotherCopyShowsUnticked) {
    ASSERT_TRUE(WriteRunValue("\"C:\\Elsewhere\\trical.exe\""));
    ASSERT_TRUE(Launch());
    EXPECT_TRUE(TicksAre({false, false, false, false}));
    ASSERT_TRUE(Choose('S'));
    EXPECT_TRUE(RunValueIs(QuotedTricalPath()));
    EXPECT_TRUE(TicksAre({false, false, false, true}));
    EXPECT_TRUE(CloseWithX());
}

TEST_F(OptionsTest, TodayAboutAndCloseFromTheMenu) {
    ASSERT_TRUE(Launch());
    MonthOfYear start = StartMonth();
    ASSERT_TRUE(Press(dialog_, kNextYearButton, TitlesAround(AddMonths(start, 12))));
    ASSERT_TRUE(Choose('O'));
    EXPECT_TRUE(TitlesBecome(dialog_, TitlesAround(start)));
    ASSERT_TRUE(Choose('A'));
    HWND about = NewWindowOf(process_.dwProcessId, {dialog_});
    ASSERT_NE(nullptr, about) << "no About box";
    ASSERT_TRUE(EscapeCloses(about));
    ASSERT_TRUE(Choose('C'));
    DWORD code = 1;
    EXPECT_TRUE(WaitForExit(process_, 30000, &code));
    EXPECT_EQ(0u, code);
}

// The three remembered choices come back at the next start: the wider
// calendar with Monday first, on top, its About box above it; and off again
// it is the calendar it was.
TEST_F(OptionsTest, ChoicesComeBackAtTheNextStart) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    Layout base = LayoutOf(dialog_);
    Frames fresh;
    ASSERT_TRUE(PanelsShow({}, &fresh));
    for (WORD key : {'M', 'W', 'T'})
        ASSERT_TRUE(Choose(key));
    ASSERT_TRUE(CloseWithX());
    EndCalendar();

    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    EXPECT_TRUE(TicksAre({true, true, true, false}));
    EXPECT_TRUE(Topmost(dialog_));
    Layout now = LayoutOf(dialog_);
    // Placed where it was closed.
    OffsetRect(&base.window, now.window.left - base.window.left, now.window.top - base.window.top);
    EXPECT_TRUE(WidenedAndClear(dialog_, base));
    Frames frames;
    EXPECT_TRUE(PanelsShow({true, true}, &frames));

    ASSERT_TRUE(Choose('A'));
    HWND about = NewWindowOf(process_.dwProcessId, {dialog_});
    ASSERT_NE(nullptr, about);
    EXPECT_TRUE(Topmost(about)) << "the About box opened below the calendar kept on top";
    ASSERT_TRUE(EscapeCloses(about));

    for (WORD key : {'M', 'W', 'T'})
        ASSERT_TRUE(Choose(key));
    EXPECT_TRUE(ShowsInTime(kOnTop, false, base));
    EXPECT_TRUE(ShowsInTime(kWeekNumbers, false, base));
    Frames after;
    EXPECT_TRUE(FramesBecome(dialog_, fresh, &after));
    EXPECT_TRUE(CloseWithX());
}

namespace {

// ISO weeks of the rows of three months, counted by hand from a printed
// calendar: 1997 begins in week 1 on a Wednesday, 2020 ends in week 53.
struct PinnedWeeks {
    bool mondayFirst;
    MonthOfYear shown;
    const char *weeks[kPanelCount];
};

const PinnedWeeks kPinnedWeeks[] = {
    {false, {0, 1997}, {"49 50 51 52 1", "1 2 3 4 5", "5 6 7 8 9"}},
    {false, {0, 2021}, {"49 50 51 52 53", "53 1 2 3 4 5", "5 6 7 8 9"}},
    {true, {0, 1997}, {"48 49 50 51 52 1", "1 2 3 4 5", "5 6 7 8 9"}},
    {true, {0, 2021}, {"49 50 51 52 53", "53 1 2 3 4", "5 6 7 8"}},
};

std::string WeeksOf(const PanelLayout &layout) {
    std::string weeks;
    for (int i = 0; i < layout.weekCount; ++i)
        weeks += (i ? " " : "") + std::string(layout.weeks[i].text);
    return weeks;
}

} // namespace

// The week numbers on the screen, Sunday and Monday first, on both sides of
// the turn of a year, whichever day the calendar starts on.
TEST_F(OptionsTest, WeekNumbersOfPinnedMonthsOnTheScreen) {
    for (bool mondayFirst : {false, true}) {
        ASSERT_TRUE(WriteSettings(OptionsSection(mondayFirst, true, false)));
        ASSERT_TRUE(Launch());
        ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
        MonthOfYear shown = StartMonth();
        for (const PinnedWeeks &pinned : kPinnedWeeks) {
            if (pinned.mondayFirst != mondayFirst)
                continue;
            SCOPED_TRACE(Describe(TitlesAround(pinned.shown)) + (mondayFirst ? ", Monday" : ""));
            ASSERT_TRUE(GoTo(shown, pinned.shown));
            shown = pinned.shown;
            ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
            GridOptions options = {mondayFirst, true};
            Frames frames;
            // The weeks counted here as well as by hand, read off the screen.
            EXPECT_TRUE(PanelsMatchThePlan(dialog_, pinned.shown, StartDate(), &frames, options));
            for (int i = 0; i < kPanelCount; ++i) {
                PanelPlan plan =
                    PlanPanel(dialog_, i, AddMonths(pinned.shown, i - 1), StartDate(), options);
                EXPECT_EQ(pinned.weeks[i], WeeksOf(plan.layout)) << "panel " << i;
                EXPECT_TRUE(WeeksInked(frames.panel[i], plan, pinned.weeks[i])) << "panel " << i;
            }
        }
        ASSERT_TRUE(CloseWithX());
        EndCalendar();
    }
}
