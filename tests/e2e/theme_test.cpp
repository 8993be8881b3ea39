// The calendar in the user's theme: dark from the start when the app mode
// is, light and dark in turn while it runs (light again pixel for pixel),
// the About box with it, and the system colours followed as they change.
// What is dark or readable is judged from the screen, by the WCAG ratio.
#include "e2e.h"

#include <algorithm>
#include <string>
#include <vector>

#include "palette.h"

namespace {

const wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

// AppsUseLightTheme 0 (dark) or 1 (light), or no value where `light` is
// negative; then, where `announce`, the news as Windows sends it: several
// times for one switch.
bool SetAppMode(int light, bool announce) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kPersonalize, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    DWORD value = static_cast<DWORD>(light);
    LONG status = light < 0 ? RegDeleteValueW(key, L"AppsUseLightTheme")
                            : RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_DWORD,
                                             reinterpret_cast<const BYTE *>(&value), sizeof value);
    RegCloseKey(key);
    for (int i = 0; announce && i < 3; ++i)
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                            reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_ABORTIFHUNG, 5000,
                            nullptr);
    return status == ERROR_SUCCESS || (light < 0 && status == ERROR_FILE_NOT_FOUND);
}

bool Light(COLORREF c) { return ContrastRatio(c, RGB(0, 0, 0)) > 7.0; }
bool Reddish(COLORREF c) { return GetRValue(c) - std::max(GetGValue(c), GetBValue(c)) >= 64; }
bool Bluish(COLORREF c) { return GetBValue(c) - std::max(GetRValue(c), GetGValue(c)) >= 64; }
bool Greyish(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

// Dark: a dark ground, painted (not the black of a screen nothing has drawn
// on yet), and no light patch of 3 x 3 pixels (light text is thinner than
// that; a light face, frame or border is not) outside the `spared` areas.
::testing::AssertionResult AllDark(const Picture &picture, const std::vector<RECT> &spared) {
    COLORREF ground = CommonestColour(picture);
    if (ground == RGB(0, 0, 0) || ContrastRatio(ground, RGB(0, 0, 0)) > 1.5)
        return ::testing::AssertionFailure() << "the ground is " << std::hex << ground;
    for (int y = 0; y + 2 < picture.height; ++y)
        for (int x = 0; x + 2 < picture.width; ++x) {
            bool patch = std::none_of(spared.begin(), spared.end(), [&](const RECT &r) {
                return x + 2 >= r.left && x < r.right && y + 2 >= r.top && y < r.bottom;
            });
            for (int dy = 0; dy < 3 && patch; ++dy)
                for (int dx = 0; dx < 3 && patch; ++dx)
                    patch = Light(PixelAt(picture, x + dx, y + dy));
            if (patch)
                return ::testing::AssertionFailure()
                       << "a light patch at (" << x << ", " << y << ")";
        }
    return ::testing::AssertionSuccess();
}

// What the program does not colour itself: an icon (the About box's
// calendar page, light in any mode) and the scroll bar the system draws in
// its own colours on the About box's list of calendar files.
BOOL CALLBACK FindSystemDrawn(HWND child, LPARAM found) {
    auto *areas = reinterpret_cast<std::vector<RECT> *>(found);
    LONG style = GetWindowLongW(child, GWL_STYLE);
    RECT outer = WindowRectOf(child);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        areas->push_back(outer);
    } else if ((style & WS_VSCROLL) != 0) {
        // Right of the client area, where its scroll bar stands.
        RECT client = {};
        POINT origin = {0, 0};
        GetClientRect(child, &client);
        ClientToScreen(child, &origin);
        areas->push_back({origin.x + client.right, outer.top, outer.right, outer.bottom});
    }
    return TRUE;
}

// The best contrast on `ground` of the pixels of a kind in `area`; 0 for none.
double InkContrast(const Picture &picture, const RECT &area, bool (*kind)(COLORREF),
                   COLORREF ground) {
    double best = 0;
    for (int y = area.top; y < area.bottom && y < picture.height; ++y)
        for (int x = area.left; x < area.right && x < picture.width; ++x) {
            COLORREF c = PixelAt(picture, x, y);
            if (c != ground && kind(c))
                best = std::max(best, ContrastRatio(c, ground));
        }
    return best;
}

// The middle panel, week numbers shown: today in dark mode's red and the
// letters in its blue, and nothing of either anywhere else; today, each
// letter, each other day and each week at 4.5:1 or better on the ground.
::testing::AssertionResult ReadableOnDark(HWND dialog, const Picture &panel) {
    GridOptions grid = {0, true};
    PanelPlan plan = PlanPanel(dialog, 1, StartMonth(), StartDate(), grid);
    const PanelLayout &layout = plan.layout;
    const Palette dark = ChoosePalette(true, false, {});
    int today = StartDate().day - 1;
    RECT letters = CellOf(plan, layout.header[0]);
    RECT lastLetter = CellOf(plan, layout.header[layout.headerCount - 1]);
    UnionRect(&letters, &letters, &lastLetter);
    ::testing::AssertionResult why =
        ColourOnlyIn(panel, dark.today, CellOf(plan, layout.days[today]));
    if (why)
        why = ColourOnlyIn(panel, dark.letters, letters);
    struct Ink {
        std::string what;
        RECT area;
        bool (*kind)(COLORREF);
    };
    std::vector<Ink> inks = {{"today", CellOf(plan, layout.days[today]), Reddish}};
    for (int i = 0; i < layout.headerCount; ++i)
        inks.push_back({"letter " + std::to_string(i), CellOf(plan, layout.header[i]), Bluish});
    for (int i = 0; i < layout.dayCount; ++i)
        if (i != today)
            inks.push_back({"day " + std::to_string(i + 1), CellOf(plan, layout.days[i]), Light});
    for (int i = 0; i < layout.weekCount; ++i)
        inks.push_back(
            {"week " + std::string(layout.weeks[i].text), CellOf(plan, layout.weeks[i]), Greyish});
    COLORREF ground = CommonestColour(panel);
    for (const Ink &ink : inks) {
        double there = InkContrast(panel, ink.area, ink.kind, ground);
        if (why && there < 4.5)
            why = ::testing::AssertionFailure() << ink.what << " reads at " << there << ":1";
    }
    return why;
}

// How a button's outline reads on the ground: its outermost ring of pixels.
double OutlineContrast(HWND button, COLORREF ground) {
    Picture whole = CaptureScreen(WindowRectOf(button));
    Picture ring = {0, 1, {}};
    for (int y = 0; y < whole.height; ++y)
        for (int x = 0; x < whole.width; ++x)
            if (x == 0 || y == 0 || x == whole.width - 1 || y == whole.height - 1)
                ring.pixels.push_back(PixelAt(whole, x, y));
    ring.width = static_cast<int>(ring.pixels.size());
    return ContrastRatio(CommonestColour(ring), ground);
}

// The window, border and all, once it has settled: a box caught before its
// controls have painted reads dark.
::testing::AssertionResult WindowIsDark(HWND window) {
    RECT outer = WindowRectOf(window);
    std::vector<RECT> spared;
    EnumChildWindows(window, FindSystemDrawn, reinterpret_cast<LPARAM>(&spared));
    for (RECT &r : spared)
        OffsetRect(&r, -outer.left, -outer.top);
    return Eventually([&] {
        Picture settled;
        ::testing::AssertionResult shown = WaitForSettledClient(window, &settled, nullptr, true);
        return shown ? AllDark(settled, spared) : shown;
    });
}

class ThemeTest : public CalendarTest {
  protected:
    void TearDown() override {
        CalendarTest::TearDown();
        EXPECT_TRUE(SetAppMode(-1, false));
        if (!savedColours_.empty()) {
            EXPECT_TRUE(SetSysColors(static_cast<int>(kColourIds.size()), kColourIds.data(),
                                     savedColours_.data()));
        }
    }
    const std::vector<INT> kColourIds = {COLOR_BTNFACE, COLOR_GRAYTEXT};
    std::vector<COLORREF> savedColours_;
};

} // namespace

TEST_F(ThemeTest, DarkFromTheStartAndReadable) {
    ASSERT_TRUE(SetAppMode(0, false));
    ASSERT_TRUE(WriteSettings("[OPTIONS]\r\nWEEKNUM=1\r\n"));
    ASSERT_TRUE(Launch());
    EXPECT_TRUE(WindowIsDark(dialog_));
    Frames frames;
    EXPECT_TRUE(WaitForSettledFrames(dialog_, StartMonth(), StartDate(), &frames, {0, true}));
    EXPECT_TRUE(ReadableOnDark(dialog_, frames.panel[1]));
    // The owner-drawn buttons still work, and the calendar stays dark.
    EXPECT_TRUE(Press(dialog_, kNextMonthButton, TitlesAt(1)));
    EXPECT_TRUE(WindowIsDark(dialog_));
    EXPECT_TRUE(CloseWithX());
}

TEST_F(ThemeTest, FollowsTheModeWhileRunningAndComesBackAsItWas) {
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(SetAppMode(1, false));
    ASSERT_TRUE(Launch());
    // The whole window: the border is painted apart from the client.
    Picture light;
    ASSERT_TRUE(WaitForSettledClient(dialog_, &light, nullptr, true));

    ASSERT_TRUE(SetAppMode(0, true));
    EXPECT_TRUE(WindowIsDark(dialog_));
    // As the menu opens it: a click would leave the focus on "?".
    PostMessageW(dialog_, WM_COMMAND, kAboutButton, 0);
    HWND about = NewWindowOf(process_.dwProcessId, {dialog_});
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(WindowIsDark(about));
    // OK is still the default button: its frame stands out, an ordinary
    // button's does not need to.
    COLORREF ground = CommonestColour(CaptureClient(about));
    double ok = OutlineContrast(GetDlgItem(about, IDOK), ground);
    double next = OutlineContrast(GetDlgItem(dialog_, kNextMonthButton), ground);
    EXPECT_TRUE(ok >= 3 && ok > next)
        << "OK's frame reads at " << ok << ":1, an ordinary one's at " << next << ":1";

    // Both back to light while the box is open.
    ASSERT_TRUE(SetAppMode(1, true));
    EXPECT_TRUE(Eventually([&] {
        COLORREF ground = CommonestColour(CaptureClient(about));
        return ::testing::AssertionResult(ground == GetSysColor(COLOR_BTNFACE))
               << "the About box's ground is " << std::hex << ground;
    }));
    EXPECT_TRUE(EscapeCloses(about));
    Picture again;
    EXPECT_TRUE(WaitForSettledClient(dialog_, &again, &light, true)) << "not as it was";
    EXPECT_TRUE(CloseWithX());
}

TEST_F(ThemeTest, PanelsFollowTheSystemColours) {
    for (INT id : kColourIds)
        savedColours_.push_back(GetSysColor(id));
    // Wine hands a change to processes started after it, not to those
    // running; Windows to both.
    const COLORREF face = RGB(200, 230, 200);
    const COLORREF grey = RGB(0, 128, 128);
    const COLORREF changed[] = {face, grey};
    ASSERT_TRUE(SetSysColors(2, kColourIds.data(), changed));
    ASSERT_TRUE(WriteSettings("[OPTIONS]\r\nWEEKNUM=1\r\n"));
    ASSERT_TRUE(Launch());
    GridOptions grid = {0, true};
    EXPECT_TRUE(Eventually([&] {
        Frames frames = CaptureFrames(dialog_);
        PanelPlan plan = PlanPanel(dialog_, 1, StartMonth(), StartDate(), grid);
        COLORREF ground = CommonestColour(frames.panel[1]);
        if (ground != face)
            return ::testing::AssertionFailure() << "the ground is " << std::hex << ground;
        for (int i = 0; i < plan.layout.weekCount; ++i) {
            RECT cell = CellOf(plan, plan.layout.weeks[i]);
            if (InkContrast(
                    frames.panel[1], cell, [](COLORREF c) { return c == RGB(0, 128, 128); },
                    face) == 0)
                return ::testing::AssertionFailure() << "week " << i << " is not in the new grey";
        }
        return ::testing::AssertionSuccess();
    }));
    EXPECT_TRUE(CloseWithX());
}
