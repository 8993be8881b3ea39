// The calendar in the user's regional format, as Wine gives it for the
// locale of the calendar's process: the three titles, the first day of the
// week, the weekday row, and what the menu's Monday item writes. Wine takes a process's
// locale from LC_ALL, which a Windows parent cannot hand down, so region.sh
// runs the cases of each locale in a driver started under it.
#include "e2e.h"

#include <algorithm>
#include <string>

namespace {

struct RegionCase {
    const char *locale; // LC_ALL, without ".UTF-8"
    // The user's own first day (HKCU\Control Panel\International
    // iFirstDayOfWeek, 0 = Monday), or nullptr; taken back to en-US's
    // Sunday (6) after the case. (Wine keeps a process's overrides once
    // read, so a change while the calendar runs does not show under it.)
    const char *userFirstDay;
    const char *firstDaySetting; // FIRSTDAY in TRICAL.INI, or nullptr
    int firstWeekday;            // the grid's first column, 0 = Sunday
    // As read back, in UTF-8; nullptr for the program's own English ones.
    const char *titles[3];
    // FIRSTDAY once the menu's Monday item is chosen; "" for none.
    const char *afterToggle;
};

const RegionCase kRegions[] = {
    {"en_US", nullptr, nullptr, 0, {}, "1"},
    {"en_US", "0", nullptr, 1, {}, "0"},
    {"en_US", nullptr, "1", 1, {}, ""},
    {"en_GB", nullptr, nullptr, 1, {}, "0"},
    {"de_DE", nullptr, nullptr, 1, {"DEZEMBER 1996", "JANUAR 1997", "FEBRUAR 1997"}, "0"},
    {"de_DE", nullptr, "0", 0, {"DEZEMBER 1996", "JANUAR 1997", "FEBRUAR 1997"}, "1"},
    {"ja_JP", nullptr, nullptr, 0, {"1996年12月", "1997年1月", "1997年2月"}, "1"},
    {"fa_IR", nullptr, nullptr, 6, {"دسامبر 1996", "ژانویه 1997", "فوریه 1997"}, "1"},
    // December's long name fits a side frame only abbreviated.
    {"es_ES", nullptr, nullptr, 1, {"DIC DE 1996", "ENERO DE 1997", "FEBRERO DE 1997"}, "0"},
    {"vi_VN",
     nullptr,
     nullptr,
     1,
     {"THG 12 NĂM 1996", "THÁNG 1 NĂM 1997", "THÁNG 2 NĂM 1997"},
     "0"},
    {"hu_HU", nullptr, nullptr, 1, {"1996. DECEMBER", "1997. JANUÁR", "1997. FEBRUÁR"}, "0"},
};

// The weekday row of each region that Arial writes, from Sunday, read off
// the screen; the other regions' rows are not read.
const struct {
    const char *locale;
    const char *headings;
} kHeadings[] = {
    {"en_US", "S M T W T F S"},
    {"en_GB", "S M T W T F S"},
    // Wine's shortest German names end in a full stop ("Mo."), too wide for
    // a column whole, so the letters stay.
    {"de_DE", "S M D M D F S"},
    // Wine's shortest Spanish names are two letters each, and "MA" and "DO"
    // fill a column: too wide whole.
    {"es_ES", "D L M M J V S"},
    // The first letters would be "C T T T T T T"; the whole names fit.
    {"vi_VN", "CN T2 T3 T4 T5 T6 T7"},
    // "Sze" and "Szo" would both be S, but are too wide whole.
    {"hu_HU", "V H K S C P S"},
};

bool SetUserFirstDay(const char *value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, "iFirstDayOfWeek", 0, REG_SZ,
                                 reinterpret_cast<const BYTE *>(value), lstrlenA(value) + 1);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// The template's font (FONT 8, "MS Sans Serif" in res/trical.rc) as the
// dialog manager makes it at the screen's DPI: the titles' own, where the
// region needs no other face.
HFONT TemplateFont() {
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                       DEFAULT_QUALITY, 0, L"MS Sans Serif");
}

// A title is cut where its ink reaches an edge of its control, or where
// there is none. Where `font` is the title's and writes it, it is cut too
// where its text is wider than the control, which then wraps it and drops
// the rest below its bottom, or where its ink is narrower than the text.
::testing::AssertionResult TitleUncut(HWND dialog, int id, HFONT font) {
    HWND control = GetDlgItem(dialog, id);
    Picture title = CaptureScreen(WindowRectOf(control));
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    int left = title.width;
    int right = -1;
    for (int y = 0; y < title.height; ++y)
        for (int x = 0; x < title.width; ++x)
            if (PixelAt(title, x, y) != face) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    if (right < 0)
        return ::testing::AssertionFailure() << "title " << id << " is empty";
    if (left == 0 || right == title.width - 1)
        return ::testing::AssertionFailure() << "title " << id << " has ink at its edge";
    // The template's face writes Latin-1 alone; Windows links in another
    // face for other scripts, which this does not measure.
    wchar_t text[160] = L"";
    int length = GetDlgItemTextW(dialog, id, text, 160);
    if (font == nullptr || std::any_of(text, text + length, [](wchar_t c) { return c > 0xFF; }))
        return ::testing::AssertionSuccess();
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    SIZE extent = {};
    GetTextExtentPoint32W(screen, text, length, &extent);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    RECT client = {};
    GetClientRect(control, &client);
    // A glyph's ink falls short of its advance by a pixel or two.
    if (extent.cx > client.right || right - left + 1 < extent.cx - 3)
        return ::testing::AssertionFailure()
               << "title " << id << " \"" << ItemText(dialog, id) << "\" is " << extent.cx
               << " px wide, its control " << client.right << " px, its ink " << right - left + 1
               << " px";
    return ::testing::AssertionSuccess();
}

class RegionTest : public CalendarTest, public ::testing::WithParamInterface<RegionCase> {
  protected:
    // Wine keeps the user's own day for as long as the locale stays.
    void TearDown() override {
        CalendarTest::TearDown();
        if (GetParam().userFirstDay != nullptr) {
            EXPECT_TRUE(SetUserFirstDay("6"));
        }
    }
};

std::string CaseName(const ::testing::TestParamInfo<RegionCase> &info) {
    return std::string(info.param.locale) + "_" + std::to_string(info.index);
}

} // namespace

TEST_P(RegionTest, TitlesAndFirstDayFollowTheRegion) {
    const RegionCase &c = GetParam();
    char locale[32] = "";
    GetEnvironmentVariableA("LC_ALL", locale, sizeof locale);
    ASSERT_EQ(std::string(c.locale) + ".UTF-8", locale) << "run by region.sh, under its locale";
    ASSERT_TRUE(WriteSettings(c.firstDaySetting == nullptr ? std::string()
                                                           : std::string("[OPTIONS]\r\nFIRSTDAY=") +
                                                                 c.firstDaySetting + "\r\n"));
    if (c.userFirstDay != nullptr) {
        ASSERT_TRUE(SetUserFirstDay(c.userFirstDay));
    }
    ASSERT_TRUE(Launch());

    Titles expected =
        c.titles[0] == nullptr ? TitlesAt(0) : Titles{c.titles[0], c.titles[1], c.titles[2]};
    EXPECT_TRUE(TitlesBecome(dialog_, expected, 0));
    // Every day in its column; the middle panel with nothing else but the
    // letters (a side title's Persian descenders reach into its frame).
    Frames frames;
    GridOptions grid = {c.firstWeekday, false};
    EXPECT_TRUE(WaitForSettledFrames(dialog_, StartMonth(), StartDate(), &frames, grid));
    PanelPlan middle = PlanPanel(dialog_, 1, StartMonth(), StartDate(), grid);
    EXPECT_TRUE(NoStrayInk(frames.panel[1], middle));
    // Each heading over its column, in the faces Arial cannot stand in for
    // (Japanese, Persian) too; the whole row where this driver knows it.
    const char *headings = nullptr;
    for (const auto &row : kHeadings)
        if (std::string(row.locale) == c.locale)
            headings = row.headings;
    EXPECT_TRUE(HeadingsRead(frames.panel[1], middle, headings));
    // Measured where the titles have the dialog's font: the long titles of
    // Spain and Germany, say.
    auto dialogFont = SendMessageW(dialog_, WM_GETFONT, 0, 0);
    bool ownFace = SendMessageW(GetDlgItem(dialog_, kCurrentTitle), WM_GETFONT, 0, 0) != dialogFont;
    HFONT font = ownFace ? nullptr : TemplateFont();
    for (int id : {kPrevTitle, kCurrentTitle, kNextTitle})
        EXPECT_TRUE(TitleUncut(dialog_, id, font));

    // For a new DPI Windows hands every control the dialog's rescaled font
    // (here before the change, which Wine leaves at that); the titles keep
    // a face of their own where the region needs one.
    for (int id : {kPrevTitle, kCurrentTitle, kNextTitle})
        SendMessageW(GetDlgItem(dialog_, id), WM_SETFONT, dialogFont, TRUE);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(SendDpiChange(dpi, WindowRectOf(dialog_)));
    ASSERT_TRUE(HandledSinceTheChange());
    for (int id : {kPrevTitle, kCurrentTitle, kNextTitle}) {
        EXPECT_EQ(ownFace, SendMessageW(GetDlgItem(dialog_, id), WM_GETFONT, 0, 0) != dialogFont)
            << "title " << id << " after a change of DPI";
        EXPECT_TRUE(TitleUncut(dialog_, id, font));
    }
    if (font != nullptr)
        DeleteObject(font);

    SendMessageW(dialog_, WM_COMMAND, kMenuMondayFirst, 0);
    std::string value;
    bool found = SettingsValue("OPTIONS", "FIRSTDAY", &value);
    EXPECT_EQ(c.afterToggle, found ? value : std::string()) << "FIRSTDAY after the menu item";
    EXPECT_TRUE(CloseWithX());
}

INSTANTIATE_TEST_SUITE_P(Regions, RegionTest, ::testing::ValuesIn(kRegions), CaseName);
