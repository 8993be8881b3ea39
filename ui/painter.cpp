#include "painter.h"

#include <cwchar>

static COLORREF ColourOf(TextColour colour, const Palette &palette) {
    switch (colour) {
    case TextColour::blue:
        return palette.letters;
    case TextColour::red:
        return palette.today;
    case TextColour::grey:
        return palette.weeks;
    case TextColour::black:
        break;
    }
    return palette.text;
}

// Today stands on a ground of its own where the palette gives it one (the
// highlight of a high-contrast theme).
static void PaintText(HDC dc, const TextItem &item, const Palette &palette) {
    wchar_t text[sizeof item.text];
    int length = Widen(item.text, text, sizeof item.text);
    bool grounded = item.colour == TextColour::red && palette.todayGround != palette.ground;
    SetTextColor(dc, ColourOf(item.colour, palette));
    if (grounded) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, palette.todayGround);
    }
    TextOutW(dc, item.x, item.y, text, length);
    if (grounded)
        SetBkMode(dc, TRANSPARENT);
}

// Measured on a memory DC of the screen's, which measures as the title's own
// does: a window's DC costs the start a round trip to Wine's server.
bool TitleFits(HWND title, const wchar_t *text) {
    RECT client;
    GetClientRect(title, &client);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(title, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &extent);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return extent.cx <= client.right;
}

// With the null pen selected, Rectangle fills without an outline.
static void Erase(HDC dc, const PanelRect &r) { Rectangle(dc, r.left, r.top, r.right, r.bottom); }

GridFont SelectGridFont(HDC dc, int height, const wchar_t *face, int weight) {
    LOGFONTW record = {};
    // Any character set, so that Windows may link in a font that has them.
    if (face != nullptr)
        record.lfCharSet = DEFAULT_CHARSET;
    SetBkMode(dc, TRANSPARENT);
    record.lfHeight = height;
    record.lfWeight = weight;
    record.lfItalic = 0;
    record.lfQuality = PROOF_QUALITY;
    wcsncpy(record.lfFaceName, face != nullptr ? face : L"Arial", LF_FACESIZE - 1);
    GridFont selected = {CreateFontIndirectW(&record), nullptr};
    if (selected.font != nullptr)
        selected.previous = SelectObject(dc, selected.font);
    return selected;
}

void ReleaseGridFont(HDC dc, GridFont selected) {
    if (selected.previous != nullptr)
        SelectObject(dc, selected.previous);
    if (selected.font != nullptr)
        DeleteObject(selected.font);
    SetBkMode(dc, OPAQUE);
}

// Measured in the letters' font, selected into `dc`, at every paint: the
// font and the columns change with the DPI and the week column, and seven
// short names are quickly measured.
static bool WholeNamesFit(HDC dc, const PanelPicture &picture, int room) {
    // Nothing to measure where the letters tell the days apart, or where
    // there are no names (an English region).
    if (picture.dayNames[0][0] == L'\0' || FirstCharactersDiffer(picture.dayNames))
        return false;
    int widths[7];
    for (int day = 0; day < 7; ++day) {
        SIZE extent = {};
        const wchar_t *name = picture.dayNames[day];
        GetTextExtentPoint32W(dc, name, static_cast<int>(wcslen(name)), &extent);
        widths[day] = extent.cx;
    }
    return WholeDayNames(picture.dayNames, widths, room);
}

static bool HasEvent(const PanelPicture &picture, int day) {
    return (picture.eventDays >> day & 1U) != 0;
}

// Dotted as Windows draws a focus rectangle, but in the text's colour
// rather than inverted: each paint draws it afresh on ground just erased,
// where an inverted one drawn twice would vanish, and the text's colour
// reads on every theme's ground. Inside the erased area, which the next
// paint clears: the null pen's fill leaves its last column and row.
static void FrameFocus(HDC dc, const PanelPicture &picture, const PanelRect &erased) {
    PanelRect cell = GridCell(picture.kind, picture.metrics, picture.options, picture.focusCell);
    RECT r = {cell.left, cell.top, cell.right, cell.bottom};
    RECT inside = {erased.left, erased.top, erased.right - 1, erased.bottom - 1};
    if (IntersectRect(&r, &r, &inside) == FALSE)
        return;
    LOGBRUSH ink = {BS_SOLID, picture.palette->text, 0};
    HPEN pen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &ink, 0, nullptr);
    if (pen == nullptr)
        return;
    HGDIOBJ previousPen = SelectObject(dc, pen);
    HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(pen);
}

void DrawMonth(HWND frame, const PanelPicture &picture) {
    HDC dc = GetDC(frame);
    RECT client;
    GetClientRect(frame, &client);
    PanelLayout layout =
        LayoutMonth(picture.kind, picture.metrics, client.right, client.bottom, picture.month.month,
                    picture.month.year, picture.today, picture.options);

    GridFont font = SelectGridFont(dc, layout.fontHeight);
    const Palette &palette = *picture.palette;
    HBRUSH eraseBrush = CreateSolidBrush(palette.ground);
    HGDIOBJ previousBrush = SelectObject(dc, eraseBrush);
    HGDIOBJ previousPen = SelectObject(dc, GetStockObject(NULL_PEN));

    if (layout.headerCount > 0)
        Erase(dc, layout.headerErase);
    GridFont letterFont = {};
    if (layout.headerCount > 0 && picture.letterFace != nullptr)
        letterFont = SelectGridFont(dc, layout.fontHeight, picture.letterFace);
    // A pixel to spare in each column (at 96 DPI), so that no name runs
    // into the next as one word: "MA" and "MI" as "MAMI".
    int room = picture.metrics.colWidth - ScaleToDpi(1, picture.metrics.dpi);
    bool whole = layout.headerCount > 0 && WholeNamesFit(dc, picture, room);
    for (int i = 0; i < layout.headerCount; ++i) {
        int day = (i + layout.firstWeekday) % 7;
        const wchar_t *heading = whole ? picture.dayNames[day] : picture.letters[day];
        SetTextColor(dc, ColourOf(layout.header[i].colour, palette));
        TextOutW(dc, layout.header[i].x, layout.header[i].y, heading,
                 static_cast<int>(wcslen(heading)));
    }
    // The days' font back in, and still in transparent mode.
    if (letterFont.font != nullptr) {
        SelectObject(dc, letterFont.previous);
        DeleteObject(letterFont.font);
    }
    Erase(dc, layout.erase);

    // Arial's bold digits are as wide as its others: a day with an event
    // moves nowhere, and is cut nowhere.
    for (int i = 0; i < layout.dayCount; ++i)
        if (!HasEvent(picture, i + 1))
            PaintText(dc, layout.days[i], palette);
    if (picture.eventDays != 0) {
        GridFont bold = SelectGridFont(dc, layout.fontHeight, nullptr, FW_BOLD);
        for (int i = 0; i < layout.dayCount; ++i)
            if (HasEvent(picture, i + 1))
                PaintText(dc, layout.days[i], palette);
        ReleaseGridFont(dc, bold);
    }
    ReleaseGridFont(dc, font);

    // The week numbers in their own, smaller font.
    if (layout.weekCount > 0) {
        GridFont weekFont = SelectGridFont(dc, layout.weekFontHeight);
        for (int i = 0; i < layout.weekCount; ++i)
            PaintText(dc, layout.weeks[i], palette);
        ReleaseGridFont(dc, weekFont);
    }
    if (picture.focusCell >= 0)
        FrameFocus(dc, picture, layout.erase);

    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(eraseBrush);
    ReleaseDC(frame, dc);
}
