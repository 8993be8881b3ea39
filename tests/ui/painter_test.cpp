#include "painter.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

// What the calendar dialog would hand the painter.
HWND calendarDialog;
CellMetrics currentMetrics;
CellMetrics sideMetrics;
CalendarView calendarView;
const wchar_t kLetters[7][3] = {L"S", L"M", L"T", L"W", L"T", L"F", L"S"};
// As an English region has them: none.
const wchar_t kNoNames[7][kDayNameSize] = {};
// Light, in whatever system colours the prefix has.
const Palette kLight =
    ChoosePalette(false, false,
                  {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_GRAYTEXT),
                   GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT),
                   GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)});

void DrawMonth(int frameId, int monthIndex, int year, PanelKind kind,
               const wchar_t (*letters)[3] = kLetters,
               const wchar_t (*names)[kDayNameSize] = kNoNames, const Palette &palette = kLight) {
    PanelPicture picture = {kind,
                            kind == PanelKind::current ? currentMetrics : sideMetrics,
                            {monthIndex, year},
                            calendarView.today,
                            {},
                            letters,
                            names,
                            nullptr,
                            &palette,
                            0};
    DrawMonth(GetDlgItem(calendarDialog, frameId), picture);
}

// Frames with a DC of their own, so that what the painter leaves selected
// in it can be looked at afterwards.
HWND MakeCalendar(HWND *current, HWND *previous) {
    WNDCLASSA frameClass = {};
    frameClass.style = CS_OWNDC;
    frameClass.lpfnWndProc = DefWindowProcA;
    frameClass.lpszClassName = "PainterTestFrame";
    RegisterClassA(&frameClass);
    HWND dialog = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20, 400, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    *current = CreateWindowExA(0, "PainterTestFrame", "", WS_CHILD | WS_VISIBLE, 150, 30, 158, 133,
                               dialog, reinterpret_cast<HMENU>(IDC_CURFRAME), nullptr, nullptr);
    *previous = CreateWindowExA(0, "PainterTestFrame", "", WS_CHILD | WS_VISIBLE, 10, 60, 116, 98,
                                dialog, reinterpret_cast<HMENU>(IDC_PREVFRAME), nullptr, nullptr);
    calendarDialog = dialog;
    currentMetrics = MeasureCellMetrics(PanelKind::current, 158, 133);
    sideMetrics = MeasureCellMetrics(PanelKind::side, 116, 98);
    Init(calendarView, CalendarDate{5, 2, 1997});
    return dialog;
}

void Whiten(HWND frame) {
    HDC dc = GetDC(frame);
    RECT client;
    GetClientRect(frame, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(frame, dc);
}

std::vector<COLORREF> Pixels(HWND frame) {
    HDC dc = GetDC(frame);
    RECT client;
    GetClientRect(frame, &client);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(frame, dc);
    return pixels;
}

int Count(const std::vector<COLORREF> &pixels, COLORREF colour, int width, RECT area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += pixels[y * width + x] == colour;
    return count;
}

// The box around the pixels of that colour.
RECT BoxOf(const std::vector<COLORREF> &pixels, COLORREF colour, int width) {
    RECT box = {};
    for (size_t i = 0; i < pixels.size(); ++i)
        if (pixels[i] == colour) {
            RECT pixel = {static_cast<LONG>(i % width), static_cast<LONG>(i / width),
                          static_cast<LONG>(i % width + 1), static_cast<LONG>(i / width + 1)};
            UnionRect(&box, &box, &pixel);
        }
    return box;
}

} // namespace

TEST(GridFont, SelectedAsAskedAndGoneAfterRelease) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
    GridFont selected = SelectGridFont(dc, 16);
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    ASSERT_NE(original, font);
    LOGFONTA record;
    ASSERT_EQ(static_cast<int>(sizeof record), GetObjectA(font, sizeof record, &record));
    EXPECT_EQ(16, record.lfHeight);
    EXPECT_EQ(0, record.lfWidth);
    EXPECT_EQ(100, record.lfWeight);
    EXPECT_EQ(0, record.lfItalic);
    EXPECT_EQ(PROOF_QUALITY, record.lfQuality);
    EXPECT_EQ(0, record.lfCharSet);
    EXPECT_STREQ("Arial", record.lfFaceName);
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));

    ReleaseGridFont(dc, selected);
    EXPECT_EQ(original, GetCurrentObject(dc, OBJ_FONT));
    EXPECT_EQ(0u, GetObjectType(font)) << "the grid font was not deleted";
    EXPECT_EQ(OPAQUE, GetBkMode(dc));
    DeleteDC(dc);
}

TEST(DrawMonth, LeavesTheFramesDcAsItFoundIt) {
    HWND current, previous;
    HWND dialog = MakeCalendar(&current, &previous);
    HDC dc = GetDC(current); // the frame's own DC: the painter gets this one too
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    ReleaseDC(current, dc);

    DrawMonth(IDC_CURFRAME, 2, 1997, PanelKind::current);

    dc = GetDC(current);
    EXPECT_EQ(font, GetCurrentObject(dc, OBJ_FONT));
    EXPECT_EQ(brush, GetCurrentObject(dc, OBJ_BRUSH));
    EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));
    EXPECT_EQ(OPAQUE, GetBkMode(dc));
    ReleaseDC(current, dc);
    DestroyWindow(dialog);
}

TEST(DrawMonth, CurrentPanelPicture) {
    HWND current, previous;
    HWND dialog = MakeCalendar(&current, &previous);
    Whiten(current);
    DrawMonth(IDC_CURFRAME, 2, 1997, PanelKind::current);
    std::vector<COLORREF> pixels = Pixels(current);
    const int w = 158;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    // Erase (2, 34, 156, 131) with a null pen: x 2..154, y 34..129 are cleared,
    // the column and row beyond are not, and no outline is drawn.
    EXPECT_EQ(face, pixels[34 * w + 2]);
    EXPECT_EQ(face, pixels[129 * w + 154]);
    EXPECT_EQ(kWhite, pixels[129 * w + 155]);
    EXPECT_EQ(kWhite, pixels[130 * w + 154]);
    EXPECT_EQ(kWhite, pixels[34 * w + 1]);
    // The weekday row is cleared as well, the empty row above it is not.
    EXPECT_EQ(face, pixels[16 * w + 2]);
    EXPECT_EQ(kWhite, pixels[15 * w + 2]);
    // Weekday letters in blue, above the cleared area only.
    EXPECT_GT(Count(pixels, RGB(0, 0, 255), w, {0, 16, 158, 32}), 20);
    EXPECT_EQ(0, Count(pixels, RGB(0, 0, 255), w, {0, 32, 158, 133}));
    // 5 March 1997: a Wednesday, in the second week row (1 March was a Saturday).
    RECT today = {10 + 3 * 21, 48, 10 + 4 * 21, 64};
    EXPECT_GT(Count(pixels, RGB(255, 0, 0), w, today), 5);
    EXPECT_EQ(Count(pixels, RGB(255, 0, 0), w, {0, 0, 158, 133}),
              Count(pixels, RGB(255, 0, 0), w, today));
    EXPECT_GT(Count(pixels, RGB(0, 0, 0), w, {0, 48, 158, 133}), 100);

    DrawMonth(IDC_CURFRAME, 2, 1997, PanelKind::current);
    EXPECT_EQ(pixels, Pixels(current)) << "a second paint changed the picture";
    DestroyWindow(dialog);
}

// Navigating away and back must not leave pieces of the other months' digits.
TEST(DrawMonth, NoInkLeftFromTheMonthPaintedBefore) {
    HWND current, previous;
    HWND dialog = MakeCalendar(&current, &previous);
    const PanelKind kinds[2] = {PanelKind::current, PanelKind::side};
    const HWND frames[2] = {current, previous};
    const int ids[2] = {IDC_CURFRAME, IDC_PREVFRAME};
    for (int k = 0; k < 2; ++k) {
        Whiten(frames[k]);
        DrawMonth(ids[k], 2, 1997, kinds[k]);
        std::vector<COLORREF> alone = Pixels(frames[k]);
        for (int month = 0; month < 12; ++month) {
            Whiten(frames[k]);
            DrawMonth(ids[k], month, 1996, kinds[k]);
            DrawMonth(ids[k], 2, 1997, kinds[k]);
            ASSERT_EQ(alone, Pixels(frames[k])) << "after month " << month << ", kind " << k;
        }
    }
    DestroyWindow(dialog);
}

// The whole names head the columns where their first letters do not tell
// the days apart and each fits its column; the picture is then the one the
// names would give as letters.
TEST(DrawMonth, WholeDayNamesWhereTheLettersFailAndTheNamesFit) {
    const wchar_t kVietnameseLetters[7][3] = {L"C", L"T", L"T", L"T", L"T", L"T", L"T"};
    const wchar_t kVietnamese[7][kDayNameSize] = {L"CN", L"T2", L"T3", L"T4", L"T5", L"T6", L"T7"};
    const wchar_t kVietnameseAsLetters[7][3] = {L"CN", L"T2", L"T3", L"T4", L"T5", L"T6", L"T7"};
    const wchar_t kTooWide[7][kDayNameSize] = {L"CWWW", L"T2", L"T3", L"T4", L"T5", L"T6", L"T7"};
    const wchar_t kDifferent[7][kDayNameSize] = {L"Ab", L"Bc", L"Cd", L"De", L"Ef", L"Fg", L"Gh"};
    const wchar_t kDifferentLetters[7][3] = {L"A", L"B", L"C", L"D", L"E", L"F", L"G"};
    const struct {
        const char *what;
        const wchar_t (*letters)[3];
        const wchar_t (*names)[kDayNameSize];
        const wchar_t (*shown)[3];
    } cases[] = {
        {"Vietnamese", kVietnameseLetters, kVietnamese, kVietnameseAsLetters},
        {"a name too wide", kVietnameseLetters, kTooWide, kVietnameseLetters},
        {"letters that differ", kDifferentLetters, kDifferent, kDifferentLetters},
    };
    HWND current, previous;
    HWND dialog = MakeCalendar(&current, &previous);
    for (const auto &c : cases) {
        Whiten(current);
        DrawMonth(IDC_CURFRAME, 2, 1997, PanelKind::current, c.shown);
        std::vector<COLORREF> expected = Pixels(current);
        Whiten(current);
        DrawMonth(IDC_CURFRAME, 2, 1997, PanelKind::current, c.letters, c.names);
        EXPECT_EQ(expected, Pixels(current)) << c.what;
    }
    DestroyWindow(dialog);
}

TEST(DrawMonth, SidePanelHasNoWeekdayLettersAndOtherMonthsNoRed) {
    HWND current, previous;
    HWND dialog = MakeCalendar(&current, &previous);
    Whiten(previous);
    DrawMonth(IDC_PREVFRAME, 1, 1997, PanelKind::side);
    std::vector<COLORREF> pixels = Pixels(previous);
    RECT all = {0, 0, 116, 98};
    EXPECT_EQ(0, Count(pixels, RGB(0, 0, 255), 116, all));
    EXPECT_EQ(0, Count(pixels, RGB(255, 0, 0), 116, all));
    EXPECT_GT(Count(pixels, RGB(0, 0, 0), 116, all), 100);
    DestroyWindow(dialog);
}

// Under a high-contrast theme today stands on the highlight, in its text
// colour, and nothing else does. Wine cannot turn high contrast on, so the
// palette it would give is drawn here, each colour its own so that each is
// told apart.
TEST(DrawMonth, HighContrastTodayOnTheHighlight) {
    const COLORREF window = RGB(0, 0, 0);
    const COLORREF highlight = RGB(26, 235, 255);
    const COLORREF highlightText = RGB(96, 0, 96);
    const Palette contrast = ChoosePalette(
        false, true,
        {RGB(192, 192, 192), RGB(63, 242, 63), window, kWhite, highlight, highlightText});
    HWND current, previous;
    HWND dialog = MakeCalendar(&current, &previous);
    Whiten(current);
    DrawMonth(IDC_CURFRAME, 2, 1997, PanelKind::current, kLetters, kNoNames, contrast);
    std::vector<COLORREF> pixels = Pixels(current);
    const int w = 158;
    RECT all = {0, 0, w, 133};
    RECT today = {10 + 3 * 21, 48, 10 + 4 * 21, 64};
    EXPECT_EQ(window, pixels[34 * w + 2]) << "the ground";
    EXPECT_GT(Count(pixels, kWhite, w, all), 100) << "the other days";
    int ground = Count(pixels, highlight, w, today);
    int digits = Count(pixels, highlightText, w, today);
    EXPECT_GT(ground, 20);
    EXPECT_GT(digits, 5);
    EXPECT_EQ(ground, Count(pixels, highlight, w, all)) << "the highlight outside today";
    EXPECT_EQ(digits, Count(pixels, highlightText, w, all)) << "today's colour outside today";
    // The digits within the highlight's box, with some of it round them.
    RECT onGround = BoxOf(pixels, highlight, w);
    RECT inside;
    RECT text = BoxOf(pixels, highlightText, w);
    EXPECT_TRUE(IntersectRect(&inside, &text, &onGround) && EqualRect(&inside, &text) &&
                !EqualRect(&text, &onGround))
        << "today's digits at " << text.left << "," << text.top << "-" << text.right << ","
        << text.bottom << ", the highlight at " << onGround.left << "," << onGround.top << "-"
        << onGround.right << "," << onGround.bottom;
    DestroyWindow(dialog);
}
