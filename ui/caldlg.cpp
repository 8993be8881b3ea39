#include "caldlg.h"

#include "about.h"
#include "drag.h"
#include "main.h"
#include "painter.h"
#include "placement.h"
#include "resource.h"

CalendarView calendarView;

static void Repaint(HWND dialog) { SendMessageA(dialog, WM_PAINT, 0, 0); }

static CellMetrics MeasureFrame(HWND dialog, int frameId, PanelKind kind) {
    RECT client;
    GetClientRect(GetDlgItem(dialog, frameId), &client);
    return MeasureCellMetrics(kind, client.right, client.bottom);
}

static void ShowMonth(HWND dialog, int frameId, int titleId, MonthOfYear month, PanelKind kind) {
    DrawMonth(frameId, month.month, month.year, kind);
    SetDlgItemTextA(dialog, titleId, Title(month.month, month.year).text);
}

static INT_PTR OnInitDialog(HWND dialog) {
    currentMetrics = MeasureFrame(dialog, IDC_CURFRAME, PanelKind::current);
    sideMetrics = MeasureFrame(dialog, IDC_PREVFRAME, PanelKind::side);
    Init(calendarView);
    RestorePosition(dialog);
    calendarDialog = dialog;
    SetTimer(dialog, ID_DAYTIMER, kDayTimerPeriod, nullptr);
    return TRUE;
}

static void OnPaint(HWND dialog) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    MonthOfYear shown = {calendarView.shownMonth, calendarView.shownYear};
    ShowMonth(dialog, IDC_CURFRAME, IDC_CURTITLE, shown, PanelKind::current);
    ShowMonth(dialog, IDC_PREVFRAME, IDC_PREVTITLE, PrevNeighbour(calendarView), PanelKind::side);
    ShowMonth(dialog, IDC_NEXTFRAME, IDC_NEXTTITLE, NextNeighbour(calendarView), PanelKind::side);
    EndPaint(dialog, &paint);
}

static void Step(HWND dialog, void (*step)(CalendarView &)) {
    step(calendarView);
    Repaint(dialog);
}

static INT_PTR OnCommand(HWND dialog, int id) {
    switch (id) {
    case IDC_PREVYEAR:
        Step(dialog, PrevYear);
        break;
    case IDC_PREVMONTH:
        Step(dialog, PrevMonth);
        break;
    case IDC_NEXTMONTH:
        Step(dialog, NextMonth);
        break;
    case IDC_NEXTYEAR:
        Step(dialog, NextYear);
        break;
    case IDC_ABOUT:
        // No owner: the calendar keeps working while the box is open.
        DialogBoxParamA(appInstance, "ABOUTBOX", nullptr, About, 0);
        break;
    case IDC_CLOSE:
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}

static void OnTimer(HWND dialog) {
    if (Tick(calendarView))
        Repaint(dialog);
}

// A session that ends may take the process with it without WM_DESTROY.
static INT_PTR OnQueryEndSession(HWND dialog) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

static void OnEndSession(HWND dialog, bool ending) {
    if (ending)
        SavePosition(dialog);
}

static void OnDestroy(HWND dialog) {
    SavePosition(dialog);
    KillTimer(dialog, ID_DAYTIMER);
}

extern "C" INT_PTR CALLBACK CalDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_PAINT:
        OnPaint(dialog);
        break;
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_TIMER:
        OnTimer(dialog);
        break;
    case WM_LBUTTONDBLCLK:
        Step(dialog, BackToToday);
        break;
    case WM_LBUTTONDOWN:
        OnButtonDown(dialog, lParam);
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(dialog, lParam);
        break;
    case WM_LBUTTONUP:
        OnButtonUp(dialog);
        break;
    case WM_CAPTURECHANGED:
        OnCaptureLost(dialog);
        break;
    case WM_QUERYENDSESSION:
        return OnQueryEndSession(dialog);
    case WM_ENDSESSION:
        OnEndSession(dialog, wParam != FALSE);
        break;
    case WM_DESTROY:
        OnDestroy(dialog);
        break;
    }
    return FALSE;
}
