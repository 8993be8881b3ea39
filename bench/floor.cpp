// The floors of the benchmarks: the calendar's own dialog template as a bare
// dialog. It sets the three titles as it starts and paints one pixel of
// today's red into the middle frame, so that the driver sees the same sign
// of a first paint as from trical, and on a month step writes as many
// strings into one frame as trical writes into three. Built with
// TRICAL_FLOOR_PAINTS it is the floor of any calendar instead: at its first
// paint it draws the weekday letters and the three months' days in Arial,
// today in red, and does nothing else trical does.
#include <windows.h>

#include "layout.h"
#include "resource.h"
#include "view.h"

static CalendarView view;

static void SetTitle(HWND dialog, int id, MonthOfYear month) {
    TitleText title = Title(month.month, month.year);
    wchar_t text[sizeof title.text];
    Widen(title.text, text, sizeof title.text);
    SetDlgItemTextW(dialog, id, text);
}

static void ShowTitles(HWND dialog) {
    SetTitle(dialog, IDC_CURTITLE, {view.shownMonth, view.shownYear});
    SetTitle(dialog, IDC_PREVTITLE, PrevNeighbour(view));
    SetTitle(dialog, IDC_NEXTTITLE, NextNeighbour(view));
}

#ifndef TRICAL_FLOOR_PAINTS
static void OnPaint(HWND dialog) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    HWND frame = GetDlgItem(dialog, IDC_CURFRAME);
    HDC dc = GetDC(frame);
    SetPixel(dc, 10, 20, RGB(255, 0, 0));
    ReleaseDC(frame, dc);
    EndPaint(dialog, &paint);
}
#else
static void PaintText(HDC dc, const TextItem &item) {
    wchar_t text[sizeof item.text];
    int length = Widen(item.text, text, sizeof item.text);
    SetTextColor(dc, item.colour == TextColour::red    ? RGB(255, 0, 0)
                     : item.colour == TextColour::blue ? RGB(0, 0, 255)
                                                       : RGB(0, 0, 0));
    TextOutW(dc, item.x, item.y, text, length);
}

static void DrawPanel(HWND dialog, int frameId, MonthOfYear month, PanelKind kind) {
    HWND frame = GetDlgItem(dialog, frameId);
    RECT client;
    GetClientRect(frame, &client);
    CellMetrics metrics = MeasureCellMetrics(kind, client.right, client.bottom);
    PanelLayout layout = LayoutMonth(kind, metrics, client.right, client.bottom, month.month,
                                     month.year, view.today);
    HDC dc = GetDC(frame);
    LOGFONTW record = {};
    record.lfHeight = layout.fontHeight;
    record.lfWeight = FW_THIN;
    record.lfQuality = PROOF_QUALITY;
    lstrcpyW(record.lfFaceName, L"Arial");
    HFONT font = CreateFontIndirectW(&record);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < layout.headerCount; ++i)
        PaintText(dc, layout.header[i]);
    for (int i = 0; i < layout.dayCount; ++i)
        PaintText(dc, layout.days[i]);
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(frame, dc);
}

static void OnPaint(HWND dialog) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    DrawPanel(dialog, IDC_CURFRAME, {view.shownMonth, view.shownYear}, PanelKind::current);
    DrawPanel(dialog, IDC_PREVFRAME, PrevNeighbour(view), PanelKind::side);
    DrawPanel(dialog, IDC_NEXTFRAME, NextNeighbour(view), PanelKind::side);
    EndPaint(dialog, &paint);
}
#endif

// The weekday letters of the middle panel and the days of all three months.
static int TextsPerRepaint() {
    MonthOfYear prev = PrevNeighbour(view);
    MonthOfYear next = NextNeighbour(view);
    return 7 + DaysInMonth(prev.month + 1, prev.year) +
           DaysInMonth(view.shownMonth + 1, view.shownYear) +
           DaysInMonth(next.month + 1, next.year);
}

static void Step(HWND dialog, void (*step)(CalendarView &)) {
    step(view);
    HWND frame = GetDlgItem(dialog, IDC_CURFRAME);
    HDC dc = GetDC(frame);
    int count = TextsPerRepaint();
    for (int i = 0; i < count; ++i) {
        char digits[12];
        wchar_t text[12];
        FormatNumber(i % 31 + 1, digits);
        int length = Widen(digits, text, 12);
        TextOutW(dc, 10 + (i % 7) * 13, 20 + (i / 7 % 6) * 10, text, length);
    }
    ReleaseDC(frame, dc);
}

static INT_PTR CALLBACK FloorDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG:
        ShowTitles(dialog);
        return TRUE;
    case WM_PAINT:
        OnPaint(dialog);
        return FALSE;
    case WM_COMMAND:
        break;
    default:
        return FALSE;
    }
    switch (LOWORD(wParam)) {
    case IDC_PREVMONTH:
        Step(dialog, PrevMonth);
        break;
    case IDC_NEXTMONTH:
        Step(dialog, NextMonth);
        break;
    case IDC_CLOSE:
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previousInstance*/, LPWSTR /*commandLine*/,
                    int /*showCommand*/) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    Init(view, DateOfSystemTime(now.wYear, now.wMonth, now.wDay));
    DialogBoxParamW(instance, L"CAL", nullptr, FloorDlg, 0);
    return 0;
}
