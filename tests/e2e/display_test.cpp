// What the calendar shows: its controls, the month titles, and the pixels of
// the three month panels.
#include "e2e.h"

#include <string>

namespace {

const CalendarDate kToday = StartDate();
const MonthOfYear kTodaysMonth = StartMonth();

class DisplayTest : public StartedCalendarTest {
  protected:
    void SetUp() override {
        StartedCalendarTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    }

    // Clicks a button, waits for the titles of the month it should show, and
    // moves the cursor off the window again.
    void Step(int button, MonthOfYear shown) {
        ASSERT_TRUE(Press(dialog_, button, TitlesAround(shown)));
        ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    }

    // Every day in its cell, and today red wherever it is shown.
    Frames Settled(MonthOfYear shown) {
        Frames frames;
        EXPECT_TRUE(PanelsMatchThePlan(dialog_, shown, kToday, &frames));
        return frames;
    }
};

// One dialog-unit rectangle of the CAL template.
struct TemplateControl {
    int id;
    const char *className;
    LONG style;
    const char *text; // nullptr: set at run time
    RECT units;       // left, top, width, height
};

const LONG kGroupBox = 0x50000007;
const LONG kPushButton = 0x50000000;
const LONG kCentredStatic = 0x50020001;

// In the template's order, which is also the order of the dialog's children.
const TemplateControl kTemplate[] = {
    {kCurrentFrame, "Button", kGroupBox, "", {88, 16, 105, 82}},
    {kPrevYearButton, "Button", kPushButton, "<<", {30, 5, 20, 17}},
    {kPrevMonthButton, "Button", kPushButton, "<", {54, 5, 20, 17}},
    {kCloseButton, "Button", kPushButton, "X", {254, 5, 20, 17}},
    {kNextMonthButton, "Button", kPushButton, ">", {206, 5, 20, 17}},
    {kNextYearButton, "Button", kPushButton, ">>", {230, 5, 20, 17}},
    {kAboutButton, "Button", kPushButton, "?", {6, 5, 20, 17}},
    {kCurrentTitle, "Static", kCentredStatic, nullptr, {94, 6, 91, 8}},
    {kPrevTitle, "Static", kCentredStatic, nullptr, {10, 28, 68, 8}},
    {kNextTitle, "Static", kCentredStatic, nullptr, {203, 28, 68, 8}},
    {kPrevFrame, "Button", kGroupBox, "", {5, 35, 77, 60}},
    {kNextFrame, "Button", kGroupBox, "", {198, 35, 77, 60}},
};

const LONG kDialogStyle = 0x900010C0; // WS_POPUP WS_VISIBLE DS_CENTERMOUSE DS_MODALFRAME DS_SETFONT
// The window manager adds WS_CLIPSIBLINGS to every top-level window, the
// dialog manager DS_3DLOOK.
const LONG kAddedBySystem = WS_CLIPSIBLINGS | DS_3DLOOK;

INT_PTR CALLBACK ReferenceDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// MapDialogRect only works on dialogs of the calling process, so a hidden
// dialog with the template's font stands in for the calendar.
HWND CreateReferenceDialog() {
    alignas(4) WORD buffer[64] = {};
    DLGTEMPLATE *dialogTemplate = reinterpret_cast<DLGTEMPLATE *>(buffer);
    dialogTemplate->style = WS_POPUP | DS_SETFONT;
    dialogTemplate->cx = 281;
    dialogTemplate->cy = 102;
    WORD *p = reinterpret_cast<WORD *>(dialogTemplate + 1);
    *p++ = 0; // no menu
    *p++ = 0; // the dialog class
    *p++ = 0; // no title
    *p++ = 8; // point size
    for (const wchar_t *c = L"MS Sans Serif"; *c; ++c)
        *p++ = static_cast<WORD>(*c);
    *p++ = 0;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, nullptr,
                                      ReferenceDialogProc, 0);
}

std::string Hex(LONG value) {
    char text[16];
    snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

} // namespace

TEST_F(DisplayTest, ControlsMatchTheTemplate) {
    HWND reference = CreateReferenceDialog();
    ASSERT_NE(nullptr, reference);

    LONG style = GetWindowLongA(dialog_, GWL_STYLE);
    EXPECT_EQ(Hex(kDialogStyle), Hex(style & ~kAddedBySystem)) << "style " << Hex(style);

    RECT client = {};
    GetClientRect(dialog_, &client);
    RECT expectedClient = {0, 0, 281, 102};
    MapDialogRect(reference, &expectedClient);
    EXPECT_EQ(expectedClient.right, client.right);
    EXPECT_EQ(expectedClient.bottom, client.bottom);

    HWND child = GetWindow(dialog_, GW_CHILD);
    for (const TemplateControl &control : kTemplate) {
        SCOPED_TRACE("control " + std::to_string(control.id));
        ASSERT_NE(nullptr, child) << "fewer controls than the template has";
        EXPECT_EQ(control.id, GetDlgCtrlID(child));
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        EXPECT_STRCASEEQ(control.className, className);
        EXPECT_EQ(Hex(control.style), Hex(GetWindowLongA(child, GWL_STYLE)));
        if (control.text) {
            char text[64] = "";
            GetWindowTextA(child, text, sizeof text);
            EXPECT_STREQ(control.text, text);
        }
        // The dialog manager converts the place and the size, not the far
        // edges, so each field is mapped on its own.
        RECT pixels = control.units;
        MapDialogRect(reference, &pixels);
        RECT actual = RectInParent(child);
        EXPECT_EQ(pixels.left, actual.left);
        EXPECT_EQ(pixels.top, actual.top);
        EXPECT_EQ(pixels.right, actual.right - actual.left) << "width";
        EXPECT_EQ(pixels.bottom, actual.bottom - actual.top) << "height";
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, child) << "more controls than the template has";
    DestroyWindow(reference);
}

// From January on the faked clock, so that the steps cross year ends.
TEST_F(DisplayTest, TitlesFollowTheButtonsAcrossYearEnds) {
    if (!RealClock()) {
        EXPECT_EQ("DECEMBER  1996", TitlesAt(0).left);
    }
    EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(0), 0));
    EXPECT_TRUE(Press(dialog_, kPrevMonthButton, TitlesAt(-1)));
    EXPECT_TRUE(Press(dialog_, kPrevYearButton, TitlesAt(-13)));
    EXPECT_TRUE(Press(dialog_, kNextMonthButton, TitlesAt(-12)));
    EXPECT_TRUE(Press(dialog_, kNextYearButton, TitlesAt(0)));
    EXPECT_TRUE(Press(dialog_, kNextYearButton, TitlesAt(12)));
    EXPECT_TRUE(Press(dialog_, kPrevYearButton, TitlesAt(0)));

    // A year back one month at a time, then forward again in one step.
    MonthOfYear shown = kTodaysMonth;
    for (int i = 0; i < 12; ++i) {
        shown = AddMonths(shown, -1);
        ASSERT_TRUE(Press(dialog_, kPrevMonthButton, TitlesAround(shown))) << "step " << i + 1;
    }
    EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(-12), 0));
    EXPECT_TRUE(Press(dialog_, kNextYearButton, TitlesAt(0)));
    EXPECT_TRUE(CloseWithX());
}

TEST_F(DisplayTest, FirstPaintPutsEveryDayInItsCell) {
    Settled(kTodaysMonth);
    EXPECT_TRUE(CloseWithX());
}

// Today's month in the middle, then one month before it (today in the right
// panel), one after (in the left), and two away on either side (nowhere).
TEST_F(DisplayTest, TodayIsRedInWhicheverPanelShowsIt) {
    MonthOfYear shown = kTodaysMonth;
    Settled(shown);
    for (int step : {-1, 1, 1, 1, -1, -1, -1, -1}) {
        shown = AddMonths(shown, step);
        ASSERT_NO_FATAL_FAILURE(Step(step > 0 ? kNextMonthButton : kPrevMonthButton, shown));
        SCOPED_TRACE("showing " + TitleOf(shown));
        Settled(shown);
    }
    EXPECT_TRUE(CloseWithX());
}

TEST_F(DisplayTest, WeekdayLettersAreBlueInTheMiddlePanelOnly) {
    const MonthOfYear views[] = {kTodaysMonth, AddMonths(kTodaysMonth, -1)};
    for (MonthOfYear shown : views) {
        SCOPED_TRACE("showing " + TitleOf(shown));
        if (shown.month != kTodaysMonth.month) {
            ASSERT_NO_FATAL_FAILURE(Step(kPrevMonthButton, shown));
        }
        PanelPlan plan = PlanPanel(dialog_, 1, shown, kToday);
        ASSERT_EQ(7, plan.layout.headerCount);
        Frames frames;
        EXPECT_TRUE(SettledFramesPass(
            dialog_,
            [&](const Frames &now) {
                RECT first = CellOf(plan, plan.layout.header[0]);
                RECT last = CellOf(plan, plan.layout.header[6]);
                ::testing::AssertionResult why = ColourOnlyIn(
                    now.panel[1], kBlue, {first.left, first.top, last.right, last.bottom});
                if (why)
                    why = ColourAbsent(now.panel[0], kBlue) << " (left panel)";
                if (why)
                    why = ColourAbsent(now.panel[2], kBlue) << " (right panel)";
                // A blue letter in each of the seven cells.
                for (int i = 0; i < 7 && why; ++i) {
                    RECT cell = CellOf(plan, plan.layout.header[i]);
                    bool blue = false;
                    for (int y = cell.top; y < cell.bottom; ++y)
                        for (int x = cell.left; x < cell.right; ++x)
                            blue = blue || PixelAt(now.panel[1], x, y) == kBlue;
                    why = ::testing::AssertionResult(blue)
                          << "no blue letter in weekday column " << i;
                }
                return why;
            },
            &frames));
    }
    EXPECT_TRUE(CloseWithX());
}

// Going away and coming back repaints every panel over what the other month
// left there; the picture must be the one the first paint gave.
TEST_F(DisplayTest, RepaintedPanelsLookLikeTheFirstPaint) {
    Frames first = Settled(kTodaysMonth);
    const int outAndBack[2][2] = {{kPrevMonthButton, kNextMonthButton},
                                  {kNextMonthButton, kPrevMonthButton}};
    for (const auto &buttons : outAndBack) {
        int away = buttons[0] == kPrevMonthButton ? -1 : 1;
        SCOPED_TRACE(std::string("to ") + TitleOf(AddMonths(kTodaysMonth, away)) + " and back");
        ASSERT_NO_FATAL_FAILURE(Step(buttons[0], AddMonths(kTodaysMonth, away)));
        ASSERT_NO_FATAL_FAILURE(Step(buttons[1], kTodaysMonth));
        Frames again;
        EXPECT_TRUE(FramesBecome(dialog_, first, &again));
    }
    EXPECT_TRUE(CloseWithX());
}
