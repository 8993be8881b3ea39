// Stepping without the buttons: the mouse wheel and the keyboard; the
// buttons' tooltips; and a look at the date as soon as the clock jumps.
#include "e2e.h"

#include <cstring>
#include <string>
#include <vector>

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

// The tip shows `expected` ("": none) within `ms`.
::testing::AssertionResult TipShows(DWORD processId, const std::string &expected, ULONGLONG ms) {
    std::string before;
    return Eventually(
        [&] {
            std::string shown = ShownTip(processId);
            before = shown.empty() ? before : shown;
            return ::testing::AssertionResult(shown == expected)
                   << "the tip shows \"" << shown << "\" (last \"" << before << "\")";
        },
        ms);
}

// For three times the platform's delay no tip shows, where one that should
// not would have come; but for the one the pointer left, until it goes.
::testing::AssertionResult NoTipShows(DWORD processId, const std::string &leaving = "") {
    std::string allowed = leaving;
    std::string shown;
    Eventually(
        [&] {
            shown = ShownTip(processId);
            if (shown.empty())
                allowed.clear();
            return ::testing::AssertionResult(shown != allowed);
        },
        3 * GetDoubleClickTime());
    return ::testing::AssertionResult(shown.empty()) << "a tip showed: \"" << shown << "\"";
}

// The six buttons each tell what they do while the pointer rests on them.
TEST_F(InputTest, ButtonsHaveTooltips) {
    for (const ButtonName &tip : kButtonNames) {
        RECT button = WindowRectOf(GetDlgItem(dialog_, tip.id));
        ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
        ASSERT_TRUE(Hover((button.left + button.right) / 2, (button.top + button.bottom) / 2));
        EXPECT_TRUE(TipShows(process_.dwProcessId, tip.name, 10000)) << "button " << tip.id;
    }
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    EXPECT_TRUE(CloseWithX());
}

// A press puts the tip away while the pointer stays on the button, even as
// the hand that pressed it moves a pixel: none shows (Wine's own tooltips
// would show one); once the pointer has left, the tip comes back.
TEST_F(InputTest, PressedButtonShowsNoTip) {
    const Titles february = TitlesAt(1);
    ASSERT_TRUE(Press(dialog_, kNextMonthButton, february));
    RECT button = WindowRectOf(GetDlgItem(dialog_, kNextMonthButton));
    ASSERT_TRUE(Hover((button.left + button.right) / 2 + 1, (button.top + button.bottom) / 2 + 1));
    EXPECT_TRUE(NoTipShows(process_.dwProcessId)) << "on the pressed button";
    ASSERT_TRUE(Hover(body_.x, body_.y));
    ASSERT_TRUE(Hover((button.left + button.right) / 2, (button.top + button.bottom) / 2));
    EXPECT_TRUE(TipShows(process_.dwProcessId, "Next month", 10000));
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    EXPECT_TRUE(CloseWithX());
}

// A library of Windows' own that a stranger put beside the calendar (in
// Downloads, on a stick) is never the one it loads. A copy of the calendar
// runs from a folder of its own with a comctl32.dll beside it that leaves a
// trace when loaded, and Wine looks beside the program first, as Windows
// does for a library it does not know as its own. The buttons' tips, which
// need the real library, still show.
class PlantedLibraryTest : public CalendarTest {
  protected:
    void SetUp() override {
        CalendarTest::SetUp();
        if (HasFatalFailure())
            return;
        std::string why;
        std::string calendar = TricalPath(&why);
        ASSERT_FALSE(calendar.empty()) << why;
        planted_ = calendar.substr(0, calendar.find_last_of('\\') + 1) + "planted_library.dll";
        char temp[MAX_PATH];
        DWORD length = GetTempPathA(sizeof temp, temp);
        ASSERT_TRUE(length > 0 && length < sizeof temp);
        std::string folder =
            temp + std::string("trical-planted-") + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        folder_ = folder + "\\";
        ASSERT_TRUE(CopyFileA(calendar.c_str(), (folder_ + "trical.exe").c_str(), TRUE));
        ASSERT_TRUE(CopyFileA(planted_.c_str(), (folder_ + "comctl32.dll").c_str(), TRUE))
            << planted_;
    }

    void TearDown() override {
        CalendarTest::TearDown();
        if (folder_.empty())
            return;
        for (const char *name : {"trical.exe", "comctl32.dll", "comctl32.dll.loaded", "control.dll",
                                 "control.dll.loaded"})
            DeleteFileA((folder_ + name).c_str());
        EXPECT_TRUE(RemoveDirectoryA(folder_.c_str())) << folder_ << " is left behind";
    }

    bool Traced(const std::string &library) {
        return GetFileAttributesA((folder_ + library + ".loaded").c_str()) !=
               INVALID_FILE_ATTRIBUTES;
    }

    std::string planted_;
    std::string folder_;
};

TEST_F(PlantedLibraryTest, SystemLibraryComesFromTheSystemFolder) {
    // The planted file does leave its trace, where this driver can load it.
    if (PeBits(planted_) == 64) {
        ASSERT_TRUE(CopyFileA(planted_.c_str(), (folder_ + "control.dll").c_str(), TRUE));
        EXPECT_EQ(nullptr, LoadLibraryA((folder_ + "control.dll").c_str()));
        ASSERT_TRUE(Traced("control.dll"));
    }
    // Wine's loader reads the variable this driver was started with, not
    // one it sets for its children; ctest sets it for the group.
    char overrides[256] = "";
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    ASSERT_NE(nullptr, strstr(overrides, "comctl32=n,b"))
        << "WINEDLLOVERRIDES is \"" << overrides << "\"; run the group as ctest does";
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(Launch("", folder_ + "trical.exe"));

    POINT button = CentreOf(WindowRectOf(GetDlgItem(dialog_, kNextMonthButton)));
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    ASSERT_TRUE(Hover(button.x, button.y));
    EXPECT_TRUE(TipShows(process_.dwProcessId, "Next month", 10000));
    EXPECT_FALSE(Traced("comctl32.dll")) << "the calendar loaded the comctl32.dll beside it";
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    EXPECT_TRUE(CloseWithX());
}

// Where the pointer rests on `day` of a panel (0-2) showing `month`, or with
// `before` on the cell before it.
POINT DayPoint(HWND dialog, int panel, MonthOfYear month, int day, GridOptions grid = {},
               bool before = false) {
    PanelPlan plan = PlanPanel(dialog, panel, month, StartDate(), grid);
    RECT cell = CellOf(plan, plan.layout.days[day - 1]);
    POINT p = {(cell.left + cell.right) / 2 - (before ? plan.metrics.colWidth : 0),
               (cell.top + cell.bottom) / 2};
    ClientToScreen(GetDlgItem(dialog, kFrameIds[panel]), &p);
    return p;
}

// An empty cell: the one before the 1st of the first of the three months
// that does not start in the first column (of two months running, one does
// not).
POINT EmptyCellPoint(HWND dialog, MonthOfYear shown, GridOptions grid) {
    for (int panel = 0; panel < kPanelCount; ++panel) {
        MonthOfYear month = AddMonths(shown, panel - 1);
        PanelLayout layout = PlanPanel(dialog, panel, month, StartDate(), grid).layout;
        for (int i = 1; i < layout.dayCount; ++i)
            if (layout.days[i].x < layout.days[0].x)
                return DayPoint(dialog, panel, month, 1, grid, true);
    }
    return {-1, -1};
}

// A day tells its full date, its week and day of the year and how far it is
// from today, in any panel and wherever the choices move its cell, and again
// once the view or the date moves on under the pointer; an empty cell tells
// nothing. On the real clock, only today's text is known.
TEST_F(InputTest, DaysTellTheirDetails) {
    const MonthOfYear december = {11, 1996};
    const MonthOfYear january = {0, 1997};
    struct DayTip {
        int panel;
        MonthOfYear month;
        int day;
        std::string tip;
    };
    std::vector<DayTip> days = {{1, StartMonth(), StartDate().day, TodaysTip()}};
    if (!RealClock()) {
        days.push_back(
            {1, january, 16, "Thursday, January 16, 1997\r\nWeek 3, day 16 of 365\r\nTomorrow"});
        days.push_back({0, december, 24,
                        "Tuesday, December 24, 1996\r\nWeek 52, day 359 of 366\r\n22 days ago"});
    }
    // Each menu item is a toggle: the week column, then Monday first as well.
    const struct {
        int command;
        GridOptions grid;
    } choices[] = {{0, {0, false}}, {kMenuWeekNumbers, {0, true}}, {kMenuMondayFirst, {1, true}}};
    for (const auto &choice : choices) {
        if (choice.command != 0)
            SendMessageW(dialog_, WM_COMMAND, choice.command, 0);
        for (const auto &d : days) {
            POINT p = DayPoint(dialog_, d.panel, d.month, d.day, choice.grid);
            ASSERT_TRUE(Hover(p.x, p.y));
            EXPECT_TRUE(TipShows(process_.dwProcessId, d.tip, 10000))
                << "day " << d.day << ", first weekday " << choice.grid.firstWeekday
                << ", week numbers " << choice.grid.weekNumbers;
        }
        POINT empty = EmptyCellPoint(dialog_, StartMonth(), choice.grid);
        ASSERT_TRUE(Hover(empty.x, empty.y));
        EXPECT_TRUE(NoTipShows(process_.dwProcessId, days.back().tip)) << "over an empty cell";
    }
    if (RealClock()) {
        ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
        EXPECT_TRUE(CloseWithX());
        return;
    }

    // 400 days on, in the right panel once the view is a year on.
    const GridOptions grid = {1, true};
    ASSERT_TRUE(Press(dialog_, kNextYearButton, TitlesAt(12)));
    POINT later = DayPoint(dialog_, 2, {1, 1998}, 19, grid);
    ASSERT_TRUE(Hover(later.x, later.y));
    EXPECT_TRUE(TipShows(process_.dwProcessId,
                         "Thursday, February 19, 1998\r\nWeek 8, day 50 of 365\r\n"
                         "In 400 days (about 1 year 1 month)",
                         10000));
    // A tip on show counts from the new today once midnight has passed.
    ASSERT_TRUE(Press(dialog_, kPrevYearButton, TitlesAt(0)));
    POINT today = DayPoint(dialog_, 1, january, 15, grid);
    ASSERT_TRUE(Hover(today.x, today.y));
    ASSERT_TRUE(TipShows(process_.dwProcessId,
                         "Wednesday, January 15, 1997\r\nWeek 3, day 15 of 365\r\nToday", 10000));
    ASSERT_TRUE(SetLocalClock(1997, 1, 16, 0, 0, 5));
    SendMessageW(dialog_, WM_TIMECHANGE, 0, 0);
    EXPECT_TRUE(TipShows(process_.dwProcessId,
                         "Wednesday, January 15, 1997\r\nWeek 3, day 15 of 365\r\nYesterday",
                         10000));
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    EXPECT_TRUE(CloseWithX());
}

// A holidays and events file in the settings folder: its days bold in the
// middle and right panels, standing where they stood, and named under the
// tip's lines; the About box lists it; a calendar started with it reads it
// once it has painted; taken away, it unmarks its days as soon as the
// calendar is activated. Around today's month, on either clock.
TEST_F(InputTest, EventFilesMarkAndNameTheirDays) {
    const MonthOfYear shown = StartMonth();
    const MonthOfYear next = AddMonths(shown, 1);
    char events[512];
    // The UTC noon is that day in every zone but the farthest.
    snprintf(events, sizeof events,
             "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:%04d%02d20\r\n"
             "SUMMARY:Team day\\, with cake\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\n"
             "DTSTART:%04d%02d03T120000Z\r\nSUMMARY:Release\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
             shown.year, shown.month + 1, next.year, next.month + 1);
    const std::string file = SettingsFolder() + "\\team.ics";
    const struct {
        int panel;
        MonthOfYear month;
        int day;
    } marked[] = {{1, shown, 20}, {2, next, 3}};
    // From another window of the driver's, so that the click activates it.
    auto activate = [&] {
        HWND other = TakeForeground();
        ::testing::AssertionResult clicked = Click(body_.x, body_.y);
        if (other != nullptr)
            DestroyWindow(other);
        return ::testing::AssertionResult(other != nullptr && clicked);
    };
    Frames plain;
    Frames bold;
    Frames seen;
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    ASSERT_TRUE(WaitForSettledFrames(dialog_, shown, StartDate(), &plain));
    ASSERT_TRUE(WriteSettings(events, file));
    ASSERT_TRUE(activate());
    EXPECT_TRUE(SettledFramesPass(
        dialog_,
        [&](const Frames &now) {
            for (const auto &m : marked) {
                PanelPlan plan = PlanPanel(dialog_, m.panel, m.month, StartDate());
                CellInk before = DayInk(plain.panel[m.panel], plan, m.day);
                CellInk after = DayInk(now.panel[m.panel], plan, m.day);
                // Its strokes thicker, a pixel out to the left at most.
                if (after.pixels * 10 < before.pixels * 13 || after.left < before.left - 1 ||
                    after.left > before.left)
                    return ::testing::AssertionFailure()
                           << "day " << m.day << " of panel " << m.panel << ": " << before.pixels
                           << " pixels of ink from column " << before.left << ", then "
                           << after.pixels << " from " << after.left;
            }
            return ::testing::AssertionSuccess();
        },
        &bold));

    POINT day = DayPoint(dialog_, 1, shown, 20);
    ASSERT_TRUE(Hover(day.x, day.y));
    const std::string last = "\r\nTeam day, with cake";
    std::string tip;
    EXPECT_TRUE(Eventually([&] {
        tip = ShownTip(process_.dwProcessId);
        return ::testing::AssertionResult(
                   tip.size() > last.size() &&
                   tip.compare(tip.size() - last.size(), last.size(), last) == 0)
               << "the tip shows \"" << tip << "\"";
    }));
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));

    ASSERT_TRUE(ClickButton(dialog_, kAboutButton));
    HWND about = NewWindowOf(process_.dwProcessId, {dialog_});
    ASSERT_NE(nullptr, about) << "no About box appeared";
    EXPECT_NE(std::string::npos, ItemText(about, 1014).find("team.ics: 2 events\r\n"))
        << ItemText(about, 1014);
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Gone(about));

    ASSERT_TRUE(CloseWithX());
    EndCalendar();
    ASSERT_TRUE(Launch());
    EXPECT_TRUE(FramesBecome(dialog_, bold, &seen)) << "not read at the start";

    ASSERT_TRUE(RemoveSettings(file));
    ASSERT_TRUE(activate());
    EXPECT_TRUE(FramesBecome(dialog_, plain, &seen)) << "still marked once the file was gone";
    EXPECT_TRUE(CloseWithX());
}

// Right-clicks at `p` and picks the menu's item `downs` rows down.
::testing::AssertionResult PickFromMenu(DWORD processId, POINT p, int downs) {
    ::testing::AssertionResult done = RightClick(p.x, p.y);
    if (done && WaitForMenu(processId, true) == nullptr)
        done = ::testing::AssertionFailure() << "no menu opened";
    for (int i = 0; done && i < downs; ++i)
        done = Type(VK_DOWN);
    if (done)
        done = Type(VK_RETURN);
    if (done && WaitForMenu(processId, false) != nullptr)
        done = ::testing::AssertionFailure() << "the menu stayed open";
    return done;
}

// A right-click on a day offers to copy it, in the region's long form and
// in ISO 8601, before the menu's own items; elsewhere the menu is as it
// always was, Monday first on top.
// Today's cell, on the pinned clock or, for the 32-bit calendar, the real
// one, whose long date the driver asks Windows for as the calendar does.
TEST_F(InputTest, RightClickOnADayCopiesIt) {
    CalendarDate start = StartDate();
    std::string tip = TodaysTip();
    char iso[16];
    snprintf(iso, sizeof iso, "%04d-%02d-%02d", start.year, start.month + 1, start.day);
    std::string longDate =
        RealClock() ? tip.substr(0, tip.find("\r\n")) : "Wednesday, January 15, 1997";
    const struct {
        int downs;
        std::string copied;
    } picks[] = {{1, longDate}, {2, RealClock() ? iso : "1997-01-15"}};
    POINT today = DayPoint(dialog_, 1, StartMonth(), start.day);
    // What an earlier run left there cannot pass for the copy.
    ASSERT_TRUE(EmptyTheClipboard());
    for (const auto &pick : picks) {
        ASSERT_TRUE(PickFromMenu(process_.dwProcessId, today, pick.downs));
        EXPECT_TRUE(ClipboardBecomes(pick.copied));
    }
    // Below them a separator, then Monday first; on the body, Monday first
    // on top, which takes the choice back.
    std::string firstDay;
    ASSERT_TRUE(PickFromMenu(process_.dwProcessId, today, 3));
    EXPECT_TRUE(Eventually([&] {
        return ::testing::AssertionResult(SettingsValue("OPTIONS", "FIRSTDAY", &firstDay) &&
                                          firstDay == "1")
               << "FIRSTDAY is not 1";
    }));
    ASSERT_TRUE(PickFromMenu(process_.dwProcessId, body_, 1));
    EXPECT_TRUE(Eventually([&] {
        return ::testing::AssertionResult(!SettingsValue("OPTIONS", "FIRSTDAY", &firstDay))
               << "FIRSTDAY is still " << firstDay;
    }));
    EXPECT_TRUE(CloseWithX());
}

// Another program may hold the clipboard open as the copy comes (a clipboard
// manager reading it, a remote desktop passing it on). Held a moment, the
// copy waits for it and lands; held long, the calendar gives up after a
// while, within the hold, and leaves the clipboard as it was.
TEST_F(InputTest, CopyWaitsAWhileForAClipboardHeldElsewhere) {
    if (RealClock())
        GTEST_SKIP() << "the copied text is that of the pinned clock";
    const char kHeld[] = "held by another program";
    const struct {
        ULONGLONG holdMs;
        bool givesUp;
        const char *after;
    } holds[] = {{200, false, "1997-01-15"}, {2000, true, kHeld}};
    POINT today = DayPoint(dialog_, 1, {0, 1997}, 15);
    for (const auto &hold : holds) {
        SCOPED_TRACE("held " + std::to_string(hold.holdMs) + " ms");
        ASSERT_TRUE(PutOnClipboard(kHeld, true));
        // Nothing between here and the release may end the test early.
        ::testing::AssertionResult done = PickFromMenu(process_.dwProcessId, today, 2);
        ULONGLONG until = Now() + hold.holdMs;
        // The key comes after the copy, so the calendar handles it only
        // once it has given up.
        if (done && hold.givesUp) {
            done = Type(VK_NEXT);
            if (done)
                done = TitlesBecome(dialog_, TitlesAt(1), hold.holdMs);
            if (done && Now() >= until)
                done = ::testing::AssertionFailure() << "the calendar was busy for the whole hold";
        }
        // The other program's hold, which no event of ours ends.
        while (Now() < until)
            Sleep(10);
        CloseClipboard();
        ASSERT_TRUE(done);
        if (hold.givesUp) {
            EXPECT_EQ(hold.after, ClipboardText());
            ASSERT_TRUE(Key(VK_HOME, TitlesAt(0)));
        } else {
            EXPECT_TRUE(ClipboardBecomes(hold.after));
        }
    }
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
