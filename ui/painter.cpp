#include "painter.h"

#include <cstring>

#include "caldlg.h"
#include "options.h"
#include "weekcolumn.h"

HWND calendarDialog;
CellMetrics currentMetrics;
CellMetrics sideMetrics;

// Held only from SelectGridFont to ReleaseGridFont within one DrawMonth.
static LOGFONTA gridFontRecord;
static HFONT gridFont;
static HFONT previousFont;

static COLORREF ColourOf(TextColour colour) {
    switch (colour) {
    case TextColour::blue:
        return RGB(0, 0, 255);
    case TextColour::red:
        return RGB(255, 0, 0);
    case TextColour::grey:
        return GetSysColor(COLOR_GRAYTEXT);
    case TextColour::black:
        break;
    }
    return RGB(0, 0, 0);
}

static void PaintText(HDC dc, const TextItem &item) {
    SetTextColor(dc, ColourOf(item.colour));
    TextOutA(dc, item.x, item.y, item.text, static_cast<int>(strlen(item.text)));
}

// Looked up rather than imported: user32 has GetDpiForWindow only from
// Windows 10 1607 on, and the program must still start on Windows 7.
int WindowDpi(HWND window) {
    using DpiForWindow = UINT(WINAPI *)(HWND);
    FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    if (found != nullptr) {
        // Through the generic function type, which GCC takes as a cast on purpose.
        auto dpiForWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void (*)()>(found));
        return static_cast<int>(dpiForWindow(window));
    }
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// With the null pen selected, Rectangle fills without an outline.
static void Erase(HDC dc, const PanelRect &r) { Rectangle(dc, r.left, r.top, r.right, r.bottom); }

void SelectGridFont(HDC dc, int height) {
    memset(&gridFontRecord, 0, sizeof gridFontRecord);
    SetBkMode(dc, TRANSPARENT);
    gridFontRecord.lfHeight = height;
    gridFontRecord.lfWeight = FW_THIN;
    gridFontRecord.lfItalic = 0;
    gridFontRecord.lfQuality = PROOF_QUALITY;
    lstrcpyA(gridFontRecord.lfFaceName, "Arial");
    gridFont = CreateFontIndirectA(&gridFontRecord);
    previousFont = gridFont != nullptr ? static_cast<HFONT>(SelectObject(dc, gridFont)) : nullptr;
}

void ReleaseGridFont(HDC dc) {
    if (previousFont != nullptr)
        SelectObject(dc, previousFont);
    if (gridFont != nullptr)
        DeleteObject(gridFont);
    SetBkMode(dc, OPAQUE);
    gridFont = nullptr;
    previousFont = nullptr;
}

void DrawMonth(int frameId, int monthIndex, int year, PanelKind kind) {
    HWND frame = GetDlgItem(calendarDialog, frameId);
    HDC dc = GetDC(frame);
    bool current = kind == PanelKind::current;
    RECT client;
    GetClientRect(frame, &client);
    PanelLayout layout = LayoutMonth(kind, current ? currentMetrics : sideMetrics, client.right,
                                     client.bottom, monthIndex, year, calendarView.today,
                                     GridOptions{gridOptions.mondayFirst, WeekColumnShown()});

    SelectGridFont(dc, layout.fontHeight);
    HBRUSH eraseBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    HGDIOBJ previousBrush = SelectObject(dc, eraseBrush);
    HGDIOBJ previousPen = SelectObject(dc, GetStockObject(NULL_PEN));

    if (layout.headerCount > 0)
        Erase(dc, layout.headerErase);
    for (int i = 0; i < layout.headerCount; ++i)
        PaintText(dc, layout.header[i]);
    Erase(dc, layout.erase);

    for (int i = 0; i < layout.dayCount; ++i)
        PaintText(dc, layout.days[i]);
    ReleaseGridFont(dc);

    // The week numbers in their own, smaller font.
    if (layout.weekCount > 0) {
        SelectGridFont(dc, layout.weekFontHeight);
        for (int i = 0; i < layout.weekCount; ++i)
            PaintText(dc, layout.weeks[i]);
        ReleaseGridFont(dc);
    }

    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(eraseBrush);
    ReleaseDC(frame, dc);
}
