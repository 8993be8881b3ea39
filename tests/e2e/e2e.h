// What the end-to-end tests share: starting the real trical.exe, finding and
// reading its windows, reading the screen, giving it mouse input through the
// window system, its settings file, and the clock it sees.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "calendar_exe.h"
#include "screen.h"
#include "layout.h"
#include "view.h"

// Control ids of the calendar dialog. Written out rather than taken from the
// program's header: a changed id is a fault these tests are there to see.
const int kPrevYearButton = 1063;
const int kPrevMonthButton = 1064;
const int kCloseButton = 1065;
const int kNextMonthButton = 1066;
const int kNextYearButton = 1067;
const int kAboutButton = 1068;
// Each button and what it does, as its tip and a screen reader tell it.
struct ButtonName {
    int id;
    const char *name;
};
extern const ButtonName kButtonNames[6];
const int kCurrentFrame = 1069;
const int kCurrentTitle = 1070;
const int kPrevTitle = 1071;
const int kNextTitle = 1072;
const int kPrevFrame = 1075;
const int kNextFrame = 1076;

// Milliseconds on a clock that the pinned date never moves.
ULONGLONG Now();

// Polls `check` until it passes or `timeoutMs` have gone by, and returns its
// last answer, so that a failure tells what was seen last.
::testing::AssertionResult Eventually(const std::function<::testing::AssertionResult()> &check,
                                      ULONGLONG timeoutMs = 10000);

MonthOfYear AddMonths(MonthOfYear month, int count);

// ---- the clock trical sees ------------------------------------------------
// run-e2e.sh fakes the clock of a 64-bit calendar, not a 32-bit one's; with
// the real clock the tests that set it are left out, and the rest start on
// today's date.
bool RealClock();
// The date each test starts on: 15 January 1997 at noon (a Wednesday-started
// month whose neighbours lie in other years), or today on the real clock.
CalendarDate StartDate();
MonthOfYear StartMonth();
// The tip of today's cell: the long date as Windows writes it here, the ISO
// week and the day of the year, and "Today".
std::string TodaysTip();
// The driver and every process it starts share one faked wall clock (see
// run-e2e.sh); these move it. Month is 1-12.
bool ClockCanBeSet();
bool SetLocalClock(int year, int month, int day, int hour, int minute, int second);
bool ShiftClock(long long seconds);

// ---- the settings file ----------------------------------------------------
// The user's own: TRICAL.INI in a folder Trical of the roaming AppData.
std::string SettingsFolder();
std::string SettingsPath();
// Where older calendars kept theirs, and where a portable one keeps it.
enum class OldPlace { windowsFolder, virtualStore };
std::string OldSettingsPath(OldPlace place);
std::string PortableSettingsPath();
bool RemoveSettings(const std::string &path = SettingsPath());
// Makes the folders on the way as well.
bool WriteSettings(const std::string &text, const std::string &path = SettingsPath());
bool ReadSettings(std::string *text, const std::string &path = SettingsPath());
// Takes every holidays and events file (*.ics) out of the settings folder.
bool RemoveEventFiles();
// The one "KEY=value" line of `key` in the one section of that name, read
// here line by line (names in any case, blanks around them dropped); false
// where the file, the section or the key is missing, or found twice.
bool SettingsValue(const char *section, const char *key, std::string *value,
                   const std::string &path = SettingsPath());
// A value as Windows' profile reader, which the calendar uses, returns it;
// for files too broken to say otherwise what they mean.
std::string ProfileValue(const char *section, const char *key);
// The [LOC] XLOC/YLOC pair of the file, each a plain decimal integer.
::testing::AssertionResult SavedPlaceIs(int x, int y, const std::string &path = SettingsPath());

// ---- processes and windows ------------------------------------------------
// Starts the calendar the run is about, and fails unless the process is of
// the bitness TRICAL_EXPECT_BITS (or else the file) says.
// `flags` as CreateProcess takes them: CREATE_SUSPENDED holds copies to
// start together. `exe`, where given, is a copy of that calendar elsewhere.
::testing::AssertionResult StartTrical(const char *arguments, PROCESS_INFORMATION *process,
                                       DWORD flags = 0, const std::string &exe = "");
// The calendar of that process once its first paint is seen (FirstPaintSeen)
// and it has settled after it (its marker window made).
HWND WaitForCalendar(const PROCESS_INFORMATION &process, ULONGLONG timeoutMs);
bool WaitForExit(const PROCESS_INFORMATION &process, ULONGLONG timeoutMs, DWORD *exitCode);
// Visible top-level windows that belong to a process.
std::vector<HWND> ShownWindowsOf(DWORD processId);
// A shown dialog of the process (an About box) that is none of `known`, or
// nullptr after ten seconds.
HWND NewWindowOf(DWORD processId, const std::vector<HWND> &known);
// Polls for ten seconds until `window` is hidden or destroyed.
::testing::AssertionResult Gone(HWND window);
// Waits for the About box to have the keyboard, sends Escape, and waits for
// it to go.
::testing::AssertionResult EscapeCloses(HWND about);
// Every marker window of a running trical.
std::vector<HWND> MarkerWindows();
// The text of the process's tip while it shows, or "" when none does.
std::string ShownTip(DWORD processId);
// A small shown window of the driver's own in the screen's top-left corner,
// made the foreground window as a click on another program makes it, or
// nullptr; the caller destroys it.
HWND TakeForeground();

// In UTF-8, whatever the region writes.
std::string ItemText(HWND dialog, int id);

struct Titles {
    std::string left;
    std::string middle;
    std::string right;
};
// A month's title as the calendar shows it, and the three with `shown` in
// the middle.
std::string TitleOf(MonthOfYear month);
Titles TitlesAround(MonthOfYear shown);
// The titles `months` months away from the start month.
Titles TitlesAt(int months);
Titles ReadTitles(HWND dialog);
bool SameTitles(const Titles &a, const Titles &b);
std::string Describe(const Titles &titles);
::testing::AssertionResult TitlesBecome(HWND dialog, const Titles &expected,
                                        ULONGLONG timeoutMs = 10000);

RECT WindowRectOf(HWND window);
POINT CentreOf(const RECT &r);
// The window's rectangle is `expected`, or its top-left corner `place`.
::testing::AssertionResult WindowAt(HWND window, const RECT &expected);
::testing::AssertionResult WindowAt(HWND window, POINT place);
// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);

// A screen point on bare dialog, below the left panel, where a press reaches
// the calendar itself rather than a control.
POINT BareBodyPoint(HWND dialog);

// Where a window of the given size is centred: half the free width to the
// left, a third of the free height above.
POINT CentredPlace(int width, int height);

// ---- input ----------------------------------------------------------------
::testing::AssertionResult Click(int x, int y);
::testing::AssertionResult DoubleClick(int x, int y);
::testing::AssertionResult RightClick(int x, int y);
::testing::AssertionResult ClickButton(HWND dialog, int id);
// Presses the left button on `window` at `from`, moves the mouse in a few
// steps to `to` and lets go there.
::testing::AssertionResult Drag(HWND window, POINT from, POINT to);
// Presses and releases one key.
::testing::AssertionResult Type(WORD virtualKey);
// Moves the cursor there and sees it rest there.
::testing::AssertionResult Hover(int x, int y);
// Presses or lets go of mouse buttons (MOUSEEVENTF_LEFTDOWN, say) at `p`,
// where Hover has put the cursor.
::testing::AssertionResult Buttons(POINT p, DWORD buttons);
// Which window of the thread of `window` holds the mouse capture, or the
// keyboard focus; and a wait for the capture to go to `holder` (or none).
HWND CaptureOf(HWND window);
HWND FocusOf(HWND window);
::testing::AssertionResult CaptureBecomes(HWND window, HWND holder);
// Holds `modifier` down while it presses and releases `key`.
::testing::AssertionResult Chord(WORD modifier, WORD key);
// Turns the wheel under the cursor at (x, y): `delta` in parts of a notch
// (120), positive away from the user, or to the right when `horizontal`.
::testing::AssertionResult Wheel(int x, int y, int delta, bool horizontal = false);
// Clicks a button and waits for the titles that it should lead to.
::testing::AssertionResult Press(HWND dialog, int id, const Titles &expected);
// Puts the cursor where it covers no part of the window.
::testing::AssertionResult ParkMouseAwayFrom(HWND window);

// ---- the clipboard --------------------------------------------------------
// Opens it for this thread, waiting up to five seconds for another to let go.
bool OpenClipboardSoon();
bool EmptyTheClipboard();
// Puts `text` (UTF-8) on it as Unicode text, and with `hold` leaves it open
// for this thread to close (CloseClipboard), so that no other can open it
// meanwhile.
bool PutOnClipboard(const std::string &text, bool hold = false);
// Its Unicode text in UTF-8: "" where it holds none, a note in brackets
// where it cannot be opened.
std::string ClipboardText();
::testing::AssertionResult ClipboardBecomes(const std::string &expected);

// ---- the screen -----------------------------------------------------------
Picture CaptureClient(HWND window);
bool SamePicture(const Picture &a, const Picture &b);
// How many pixels differ, and where the first one is, for failure messages.
std::string DescribeDifference(const Picture &a, const Picture &b);
// Writes the picture as a 32-bit BMP, for a person to look at.
bool SaveBitmap(const Picture &picture, const std::string &path);
// The colour most of the picture has: a panel's ground.
COLORREF CommonestColour(const Picture &picture);

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

// ---- the three month panels -----------------------------------------------
// 0 = left (previous month), 1 = middle (shown month), 2 = right (next month).
const int kPanelCount = 3;
extern const int kFrameIds[kPanelCount];

// Where the program should have put each letter and number of one panel, from
// the engine's layout on that frame's real client size.
struct PanelPlan {
    MonthOfYear month;
    PanelKind kind;
    GridOptions options;
    CellMetrics metrics;
    int width;
    int height;
    PanelLayout layout;
};
PanelPlan PlanPanel(HWND dialog, int panel, MonthOfYear month, const CalendarDate &today,
                    GridOptions options = {});
// The same at a DPI other than 96.
PanelPlan PlanPanelAtDpi(HWND dialog, int panel, MonthOfYear month, const CalendarDate &today,
                         int dpi, GridOptions options = {});
RECT CellOf(const PanelPlan &plan, const TextItem &item);

struct Frames {
    Picture panel[kPanelCount];
};
Frames CaptureFrames(HWND dialog);
bool SameFrames(const Frames &a, const Frames &b);
// Polls the screen until `check` passes on panels that have stopped
// changing, and leaves the last ones it saw in `frames`.
::testing::AssertionResult
SettledFramesPass(HWND dialog,
                  const std::function<::testing::AssertionResult(const Frames &)> &check,
                  Frames *frames);
// The same until they are `expected` again.
::testing::AssertionResult FramesBecome(HWND dialog, const Frames &expected, Frames *frames);
// The same until every day of the three months around `shown` has ink in
// its cell.
::testing::AssertionResult WaitForSettledFrames(HWND dialog, MonthOfYear shown,
                                                const CalendarDate &today, Frames *frames,
                                                GridOptions options = {});
// The same until each panel is as the engine's plan for it at `panelDpi`
// says: each day in its cell and no ink elsewhere, the week numbers, and
// today red in its cell wherever it is shown, and no red anywhere else.
::testing::AssertionResult PanelsMatchThePlan(HWND dialog, MonthOfYear shown,
                                              const CalendarDate &today, Frames *frames,
                                              GridOptions options = {}, int panelDpi = 96);

// Polls the screen until the window's client area (with `whole`, the whole
// window, border and all) has not changed for a while, and is `expected`
// where that is given.
::testing::AssertionResult WaitForSettledClient(HWND window, Picture *picture,
                                                const Picture *expected = nullptr,
                                                bool whole = false);

// Each day of the panel has ink in its cell, inside the area the painter
// clears: pixels other than the panel's ground, its commonest colour.
::testing::AssertionResult DaysInked(const Picture &picture, const PanelPlan &plan);
// Each row's ISO week number, worked out here, read back from the grey
// digits in its cell; the week column has no grey elsewhere. `expected`, if
// given, names the weeks instead, as "49 50 51 52 1".
::testing::AssertionResult WeeksInked(const Picture &picture, const PanelPlan &plan,
                                      const char *expected = nullptr);
// The pixels of a day's cell (1-31) that differ from the panel's ground,
// and the column of the leftmost.
struct CellInk {
    int pixels;
    int left;
};
CellInk DayInk(const Picture &picture, const PanelPlan &plan, int day);
// No ink (black, red or blue) outside the cells of days, weekday letters
// and weeks.
::testing::AssertionResult NoStrayInk(const Picture &picture, const PanelPlan &plan);
// Each weekday heading of the middle panel has ink in its cell, its middle
// within a third of a column of the middle of the days below it; and where
// `headings` are given (UTF-8, from Sunday, one space between), the row is
// what this driver draws there: each in blue at its column, in the
// calendar's Arial at the plan's size.
::testing::AssertionResult HeadingsRead(const Picture &picture, const PanelPlan &plan,
                                        const char *headings = nullptr);
// `colour` leans to red or to blue (kRed, kBlue, or the lighter ones of dark
// mode). Pixels of exactly that colour are in `area`, and nothing of its
// tint (leaning the same way) is anywhere else.
::testing::AssertionResult ColourOnlyIn(const Picture &picture, COLORREF colour, const RECT &area);
// Nothing of that colour or its tint.
::testing::AssertionResult ColourAbsent(const Picture &picture, COLORREF colour);

// ---- the menu and the choices -----------------------------------------------
// Commands of the calendar's menu, written out as the control ids are.
const int kMenuMondayFirst = 40001;
const int kMenuWeekNumbers = 40002;
const int kMenuOnTop = 40003;
const int kMenuAutostart = 40004;

// The process's popup menu window (class "#32768") once it is shown, or
// nullptr once none is, when `shown` is false; the other way on timeout.
HWND WaitForMenu(DWORD processId, bool shown, ULONGLONG timeoutMs = 10000);
// The menu's first items show a tick where `ticks` says, read from the screen.
::testing::AssertionResult MenuTicksAre(HWND menu, const std::vector<bool> &ticks);
// A settings file's [OPTIONS] section with those three choices.
std::string OptionsSection(bool mondayFirst, bool weekNumbers, bool onTop);
// The "Trical" value under the user's Run key; `expected` "" for none.
::testing::AssertionResult RunValueIs(const std::string &expected);
bool WriteRunValue(const std::string &value);
bool RemoveRunValue();
// What the calendar writes there: its own path, in quotes.
std::string QuotedTricalPath();

// The calendar's window and the places of its frames, titles and X.
struct Layout {
    RECT window;
    RECT frames[kPanelCount];
    RECT titles[kPanelCount];
    RECT close;
};
Layout LayoutOf(HWND dialog);
// The week column's room made on `base`: each frame one of its own columns
// wider (measured at `panelDpi` on the frame without it), the frames to its
// left pushing it over, its title widened with it, X as far from the right
// edge, the window wider by the sum; no two buttons or frames overlap, no
// title runs into a button, and nothing is cut by the window.
::testing::AssertionResult WidenedAndClear(HWND dialog, const Layout &base, int panelDpi = 96);

// ---- the fixture ----------------------------------------------------------
// One calendar per test; whatever the test leaves running is closed after it.
// Each test starts on 15 January 1997 at noon, local time.
class CalendarTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts trical (or the copy `exe`) and waits for its first paint.
    ::testing::AssertionResult Launch(const char *arguments = "", const std::string &exe = "");
    // Clicks X and expects the process to end with exit code 0.
    ::testing::AssertionResult CloseWithX();
    // The same, but where X is off the screen and cannot be clicked, sends the
    // command that X would have sent.
    ::testing::AssertionResult Close();
    // Drags the calendar by its bare body until its top-left corner is at
    // `place`.
    ::testing::AssertionResult DragTo(POINT place);
    // Lets go of this test's calendar, ending it first if it still runs, so
    // that the test can start another.
    void EndCalendar();
    // Tells the calendar what Windows tells it when its monitor's DPI
    // changes, with the window's new place.
    ::testing::AssertionResult SendDpiChange(int dpi, const RECT &suggested);
    // Once a step away and back, posted now, shows in the titles, what the
    // calendar posted itself before has been handled, and it has painted since.
    ::testing::AssertionResult HandledSinceTheChange();

    PROCESS_INFORMATION process_ = {};
    HWND dialog_ = nullptr;
};

// A calendar started with no TRICAL.INI: it opens centred, wholly on the screen.
class StartedCalendarTest : public CalendarTest {
  protected:
    void SetUp() override;
};
