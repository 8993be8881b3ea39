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

    // Tells the calendar what Windows tells it when its monitor's DPI
    // changes. The suggested rectangle lives in the calendar's own memory,
    // where the message's pointer must point.
    ::testing::AssertionResult SendDpiChange(int dpi, const RECT &suggested) {
        void *remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof suggested,
                                      MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!remote)
            return ::testing::AssertionFailure() << "VirtualAllocEx, error " << GetLastError();
        bool written = WriteProcessMemory(process_.hProcess, remote, &suggested, sizeof suggested,
                                          nullptr) != 0;
        DWORD_PTR result = 0;
        bool sent = written && SendMessageTimeoutA(dialog_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                                   reinterpret_cast<LPARAM>(remote), SMTO_NORMAL,
                                                   10000, &result) != 0;
        VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
        if (!sent)
            return ::testing::AssertionFailure() << "WM_DPICHANGED not delivered";
        return ::testing::AssertionSuccess();
    }

    // Every day and week of the three panels in its cell for the choices,
    // and nothing outside them.
    ::testing::AssertionResult PanelsWithChoices(int panelDpi, Frames *frames) {
        GridOptions all = {true, true};
        ::testing::AssertionResult result =
            WaitForSettledFrames(dialog_, kTodaysMonth, kToday, frames, all);
        for (int panel = 0; panel < kPanelCount && result; ++panel) {
            PanelPlan plan = PlanPanelAtDpi(dialog_, panel, AddMonths(kTodaysMonth, panel - 1),
                                            kToday, panelDpi, all);
            result = DaysInked(frames->panel[panel], plan);
            if (result)
                result = NoStrayInk(frames->panel[panel], plan);
            if (result)
                result = WeeksInked(frames->panel[panel], plan);
            if (!result)
                result << " (panel " << panel << ")";
        }
        return result;
    }

    // Polls until the window stands at `place` with the week column fitted.
    ::testing::AssertionResult WaitForFit(const RECT &place, const Layout &base, int panelDpi) {
        ULONGLONG deadline = Now() + 10000;
        for (;;) {
            RECT now = WindowRectOf(dialog_);
            ::testing::AssertionResult fit = WidenedAndClear(dialog_, base, panelDpi);
            if (fit && now.left == place.left && now.top == place.top)
                return fit;
            if (Now() >= deadline)
                return fit ? ::testing::AssertionFailure() << "the window did not move" : fit;
            Sleep(15);
        }
    }

    // Polls until the panels show something other than `before` and have
    // stopped changing.
    ::testing::AssertionResult WaitForNewFrames(const Frames &before, Frames *frames) {
        ULONGLONG deadline = Now() + 10000;
        Frames last = CaptureFrames(dialog_);
        ULONGLONG since = Now();
        for (;;) {
            Sleep(15);
            Frames now = CaptureFrames(dialog_);
            bool same = true;
            bool changed = false;
            for (int i = 0; i < kPanelCount; ++i) {
                same = same && SamePicture(last.panel[i], now.panel[i]);
                changed = changed || !SamePicture(before.panel[i], now.panel[i]);
            }
            if (!same) {
                last = now;
                since = Now();
            }
            if (changed && Now() - since >= 200) {
                *frames = now;
                return ::testing::AssertionSuccess();
            }
            if (Now() >= deadline)
                return ::testing::AssertionFailure() << "the panels never changed and settled";
        }
    }

    ::testing::AssertionResult WaitForMove(const RECT &place) {
        ULONGLONG deadline = Now() + 10000;
        for (;;) {
            RECT now = WindowRectOf(dialog_);
            if (EqualRect(&now, &place))
                return ::testing::AssertionSuccess();
            if (Now() >= deadline)
                return ::testing::AssertionFailure()
                       << "the window did not take the suggested place";
            Sleep(15);
        }
    }

    // Polls until the panels are exactly `expected` again.
    ::testing::AssertionResult WaitForFrames(const Frames &expected) {
        ULONGLONG deadline = Now() + 10000;
        Frames now = CaptureFrames(dialog_);
        for (;;) {
            bool same = true;
            for (int i = 0; i < kPanelCount; ++i)
                same = same && SamePicture(expected.panel[i], now.panel[i]);
            if (same)
                return ::testing::AssertionSuccess();
            if (Now() >= deadline)
                return ::testing::AssertionFailure()
                       << "middle panel: " << DescribeDifference(expected.panel[1], now.panel[1]);
            Sleep(15);
            now = CaptureFrames(dialog_);
        }
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
    ASSERT_TRUE(WaitForSettledFrames(dialog_, kTodaysMonth, kToday, &frames));
    int panelDpi = PanelDpi(dialog_, dpi_);
    for (int panel = 0; panel < kPanelCount; ++panel) {
        SCOPED_TRACE("panel " + std::to_string(panel));
        PanelPlan plan =
            PlanPanelAtDpi(dialog_, panel, AddMonths(kTodaysMonth, panel - 1), kToday, panelDpi);
        EXPECT_TRUE(DaysInked(frames.panel[panel], plan));
        EXPECT_TRUE(NoStrayInk(frames.panel[panel], plan));
        // Wine smooths text only above 96 DPI; there every pixel is as ever.
        if (dpi_ == 96) {
            EXPECT_TRUE(Sharp(frames.panel[panel], plan));
        }
        RECT today = CellOf(plan, plan.layout.days[kToday.day - 1]);
        EXPECT_TRUE(panel == 1 ? ColourOnlyIn(frames.panel[panel], kRed, today)
                               : ColourAbsent(frames.panel[panel], kRed));
    }
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

    ASSERT_TRUE(SendDpiChange(other, suggested));
    ASSERT_TRUE(WaitForMove(suggested));
    int height = InkHeight(first.panel[1], kRed);
    ASSERT_GT(height, 0);
    if (other < dpi_) {
        Frames changed;
        ASSERT_TRUE(WaitForNewFrames(first, &changed));
        int otherHeight = InkHeight(changed.panel[1], kRed);
        double expected = static_cast<double>(other) / PanelDpi(dialog_, dpi_);
        EXPECT_NEAR(expected, static_cast<double>(otherHeight) / height, 0.2 * expected)
            << "today is " << height << " pixels tall at " << dpi_ << " DPI and " << otherHeight
            << " at " << other;
    } else {
        EXPECT_TRUE(WaitForFrames(first));
    }

    ASSERT_TRUE(SendDpiChange(dpi_, home));
    ASSERT_TRUE(WaitForMove(home));
    EXPECT_TRUE(WaitForFrames(first));
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
    ASSERT_TRUE(PanelsWithChoices(panelDpi, &first));

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
    Frames changed;
    EXPECT_TRUE(PanelsWithChoices(otherPanelDpi, &changed));

    ASSERT_TRUE(SendDpiChange(dpi_, home));
    EXPECT_TRUE(WaitForFit(home, base, panelDpi));
    EXPECT_TRUE(WaitForFrames(first));
    EXPECT_TRUE(Close());
}
