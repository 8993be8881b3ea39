// The calendar at the DPI Wine was set to (dpi.sh sets it and names it in
// TRICAL_TEST_DPI): as big as its template came out, the same picture in
// proportion, and painted anew when Windows reports a new DPI. At 96 DPI the
// picture is the one it always was.
#include "e2e.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const CalendarDate kToday = StartDate();
const MonthOfYear kTodaysMonth = StartMonth();

// The window, the middle frame and today's red "15" at 96 DPI.
const int kWidthAt96 = 428;
const int kHeightAt96 = 172;
const int kFrameWidthAt96 = 158;
const int kFrameHeightAt96 = 133;
const int kTodayInkHeightAt96 = 10;

int ExpectedDpi() {
    char text[16] = "";
    DWORD length = GetEnvironmentVariableA("TRICAL_TEST_DPI", text, sizeof text);
    return length > 0 && length < sizeof text ? atoi(text) : 96;
}

// Rows from the highest to the lowest pixel of exactly this colour.
int InkHeight(const Picture &picture, COLORREF colour) {
    int top = picture.height;
    int bottom = -1;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (PixelAt(picture, x, y) == colour) {
                top = y < top ? y : top;
                bottom = y;
            }
    return bottom < top ? 0 : bottom - top + 1;
}

// How much the template really grew: Wine's dialog font is a bitmap font
// with a few sizes, so 192 DPI comes out as 150%.
double TemplateScale(HWND dialog) {
    RECT frame = RectInParent(GetDlgItem(dialog, kCurrentFrame));
    double byWidth = static_cast<double>(frame.right - frame.left) / kFrameWidthAt96;
    double byHeight = static_cast<double>(frame.bottom - frame.top) / kFrameHeightAt96;
    return byWidth < byHeight ? byWidth : byHeight;
}

// The panels follow the DPI, or the template where it grew less.
int PanelDpi(HWND dialog, int dpi) {
    int frameDpi = static_cast<int>(96 * TemplateScale(dialog) + 0.5);
    return frameDpi < dpi ? frameDpi : dpi;
}

// Unsmoothed text: where the panel is cleared and written, every pixel is
// the background or exactly black, red or blue.
::testing::AssertionResult Sharp(const Picture &picture, const PanelPlan &plan) {
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    int blended = 0;
    std::string where;
    RECT areas[2] = {{plan.layout.erase.left, plan.layout.erase.top, plan.layout.erase.right,
                      plan.layout.erase.bottom},
                     {0, 0, 0, 0}};
    if (plan.layout.headerCount > 0)
        areas[1] = {plan.layout.headerErase.left, plan.layout.headerErase.top,
                    plan.layout.headerErase.right, plan.layout.headerErase.bottom};
    for (const RECT &area : areas)
        for (int y = area.top; y < area.bottom && y < picture.height; ++y)
            for (int x = area.left; x < area.right && x < picture.width; ++x) {
                COLORREF c = PixelAt(picture, x, y);
                if (c == face || c == kBlack || c == kRed || c == kBlue)
                    continue;
                if (blended++ < 4)
                    where += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
            }
    if (blended)
        return ::testing::AssertionFailure() << blended << " blended pixels, at" << where;
    return ::testing::AssertionSuccess();
}

class DpiTest : public StartedCalendarTest {
  protected:
    void SetUp() override {
        StartedCalendarTest::SetUp();
        if (HasFatalFailure())
            return;
        dpi_ = ExpectedDpi();
        HDC screen = GetDC(nullptr);
        int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        ASSERT_EQ(dpi_, systemDpi) << "the prefix is not at the DPI this run expects";
        ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    }

    // Polls until the window stands at `place` with the week column fitted.
    ::testing::AssertionResult WaitForFit(const RECT &place, const Layout &base, int panelDpi) {
        return Eventually([&] {
            ::testing::AssertionResult fit = WindowAt(dialog_, POINT{place.left, place.top});
            return fit ? WidenedAndClear(dialog_, base, panelDpi) : fit;
        });
    }

    int dpi_ = 96;
};

} // namespace

TEST_F(DpiTest, WindowGrowsWithItsTemplate) {
    RECT r = WindowRectOf(dialog_);
    double scale = TemplateScale(dialog_);
    if (dpi_ == 96) {
        EXPECT_EQ(kWidthAt96, r.right - r.left);
        EXPECT_EQ(kHeightAt96, r.bottom - r.top);
    } else {
        EXPECT_GE(scale, 1.4) << "the template did not grow at " << dpi_ << " DPI";
    }
    // The dialog's font comes in whole pixel sizes, so the frame rounds.
    const double slack = 6;
    EXPECT_NEAR(kWidthAt96 * scale, r.right - r.left, slack);
    EXPECT_NEAR(kHeightAt96 * scale, r.bottom - r.top, slack);
    EXPECT_TRUE(CloseWithX());
}

// Every day in its cell, today red, and today's digits as tall against their
// frame as at 96 DPI.
TEST_F(DpiTest, PanelsKeepTheirProportions) {
    Frames frames;
    int panelDpi = PanelDpi(dialog_, dpi_);
    ASSERT_TRUE(PanelsMatchThePlan(dialog_, kTodaysMonth, kToday, &frames, {}, panelDpi));
    // Wine smooths text only above 96 DPI; there every pixel is as ever.
    for (int panel = 0; panel < kPanelCount && dpi_ == 96; ++panel)
        EXPECT_TRUE(Sharp(frames.panel[panel],
                          PlanPanel(dialog_, panel, AddMonths(kTodaysMonth, panel - 1), kToday)))
            << "panel " << panel;
    int ink = InkHeight(frames.panel[1], kRed);
    printf("today's digits: %d pixels at %d DPI, the panels laid out for %d\n", ink, dpi_,
           panelDpi);
    EXPECT_NEAR(kTodayInkHeightAt96 * panelDpi / 96.0, ink, 2.0);

    std::string path = PathFromEnvironment("TRICAL_SCREENSHOT");
    if (!path.empty()) {
        Picture shot;
        ASSERT_TRUE(WaitForSettledClient(dialog_, &shot));
        EXPECT_TRUE(SaveBitmap(CaptureScreen(WindowRectOf(dialog_)), path)) << path;
    }
    EXPECT_TRUE(CloseWithX());
}

// Told of another DPI, the calendar measures its panels again: under Wine
// the frames keep their size, so a lower DPI shrinks today's digits and a
// higher one (which the frames cannot hold) leaves them. Told its own DPI
// again, it paints exactly its first picture.
TEST_F(DpiTest, ChangedDpiRemeasuresThePanels) {
    Frames first;
    ASSERT_TRUE(WaitForSettledFrames(dialog_, kTodaysMonth, kToday, &first));
    RECT home = WindowRectOf(dialog_);
    int other = dpi_ == 96 ? 192 : 96;
    // Wine leaves the controls as they are, so a smaller window would hide
    // the panels: the suggestion only moves it.
    RECT suggested = home;
    OffsetRect(&suggested, 16, 16);

    int height = InkHeight(first.panel[1], kRed);
    ASSERT_GT(height, 0);
    double expected = static_cast<double>(other) / PanelDpi(dialog_, dpi_);
    Frames changed;
    ASSERT_TRUE(SendDpiChange(other, suggested));
    ASSERT_TRUE(Eventually([&] { return WindowAt(dialog_, suggested); }));
    if (other < dpi_) {
        EXPECT_TRUE(SettledFramesPass(
            dialog_,
            [&](const Frames &now) {
                int otherHeight = InkHeight(now.panel[1], kRed);
                double ratio = static_cast<double>(otherHeight) / height;
                return ::testing::AssertionResult(ratio > 0.8 * expected && ratio < 1.2 * expected)
                       << "today is " << height << " pixels tall at " << dpi_ << " DPI and "
                       << otherHeight << " at " << other;
            },
            &changed));
    } else {
        ASSERT_TRUE(HandledSinceTheChange());
        EXPECT_TRUE(FramesBecome(dialog_, first, &changed));
    }

    ASSERT_TRUE(SendDpiChange(dpi_, home));
    ASSERT_TRUE(Eventually([&] { return WindowAt(dialog_, home); }));
    ASSERT_TRUE(HandledSinceTheChange());
    EXPECT_TRUE(FramesBecome(dialog_, first, &changed));
    EXPECT_TRUE(CloseWithX());
}

// Every choice on: the wider calendar fits at this DPI, and again after
// Windows tells it of another DPI and of its own again.
TEST_F(DpiTest, EveryChoiceFitsBeforeAndAfterADpiChange) {
    Layout base = LayoutOf(dialog_);
    int panelDpi = PanelDpi(dialog_, dpi_);
    ASSERT_TRUE(CloseWithX());
    EndCalendar();
    ASSERT_TRUE(WriteSettings(OptionsSection(true, true, true)));
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    RECT home = WindowRectOf(dialog_);
    EXPECT_TRUE(WidenedAndClear(dialog_, base, panelDpi));
    Frames first;
    GridOptions all = {true, true};
    ASSERT_TRUE(PanelsMatchThePlan(dialog_, kTodaysMonth, kToday, &first, all, panelDpi));

    std::string path = PathFromEnvironment("TRICAL_SCREENSHOT");
    if (path.size() > 4) {
        Picture shot;
        ASSERT_TRUE(WaitForSettledClient(dialog_, &shot));
        path.insert(path.size() - 4, "-choices");
        EXPECT_TRUE(SaveBitmap(CaptureScreen(WindowRectOf(dialog_)), path)) << path;
    }

    int other = dpi_ == 96 ? 192 : 96;
    RECT suggested = home;
    OffsetRect(&suggested, 16, 16);
    ASSERT_TRUE(SendDpiChange(other, suggested));
    int otherPanelDpi = other < panelDpi ? other : panelDpi;
    EXPECT_TRUE(WaitForFit(suggested, base, otherPanelDpi));
    ASSERT_TRUE(HandledSinceTheChange());
    Frames changed;
    EXPECT_TRUE(PanelsMatchThePlan(dialog_, kTodaysMonth, kToday, &changed, all, otherPanelDpi));

    ASSERT_TRUE(SendDpiChange(dpi_, home));
    EXPECT_TRUE(WaitForFit(home, base, panelDpi));
    ASSERT_TRUE(HandledSinceTheChange());
    EXPECT_TRUE(FramesBecome(dialog_, first, &changed));
    EXPECT_TRUE(Close());
}
