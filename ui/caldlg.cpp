#include "caldlg.h"

#include <ctime>

#include "about.h"
#include "autostart.h"
#include "drag.h"
#include "keys.h"
#include "main.h"
#include "menu.h"
#include "options.h"
#include "painter.h"
#include "placement.h"
#include "resource.h"
#include "tooltips.h"
#include "weekcolumn.h"
#include "wheel.h"

CalendarView calendarView;

// What the wheel has turned short of a whole notch, one for each axis.
static int wheelRest;
static int tiltRest;

// The DPI the panels are laid out for: the window's, or the one Windows
// last announced.
static int dialogDpi;

void Repaint(HWND dialog) { SendMessageA(dialog, WM_PAINT, 0, 0); }

// Posted on a change of DPI, with the new DPI, to measure the panels again
// once the dialog manager has rescaled the frames.
const UINT kRemeasureMessage = WM_APP + 1;

static CellMetrics MeasureFrame(HWND dialog, int frameId, PanelKind kind, int dpi) {
    RECT client;
    GetClientRect(GetDlgItem(dialog, frameId), &client);
    return MeasureCellMetrics(kind, client.right, client.bottom, dpi, WeekColumnShown());
}

// The middle frame at 96 DPI: 105 by 82 dialog units of the template's
// font, which is 6 by 13 pixels there.
const int kCurrentFrameWidthAt96 = 158;
const int kCurrentFrameHeightAt96 = 133;

// Text scaled by the full DPI would overflow frames that grew less: a
// bitmap dialog font (Wine's) takes the template only to 150% at 200%. So
// the panels follow whichever grew less, the DPI or the frames. The week
// column's room is no growth.
static int PanelDpi(HWND dialog, int dpi) {
    RECT client;
    GetClientRect(GetDlgItem(dialog, IDC_CURFRAME), &client);
    int byWidth = MulDiv(96, client.right - WeekColumnWidth(), kCurrentFrameWidthAt96);
    int byHeight = MulDiv(96, client.bottom, kCurrentFrameHeightAt96);
    int frameDpi = byWidth < byHeight ? byWidth : byHeight;
    return frameDpi < dpi ? frameDpi : dpi;
}

void MeasureFrames(HWND dialog) {
    int dpi = PanelDpi(dialog, dialogDpi);
    currentMetrics = MeasureFrame(dialog, IDC_CURFRAME, PanelKind::current, dpi);
    sideMetrics = MeasureFrame(dialog, IDC_PREVFRAME, PanelKind::side, dpi);
}

static void ShowMonth(HWND dialog, int frameId, int titleId, MonthOfYear month, PanelKind kind) {
    DrawMonth(frameId, month.month, month.year, kind);
    SetDlgItemTextA(dialog, titleId, Title(month.month, month.year).text);
}

static INT_PTR OnInitDialog(HWND dialog) {
    dialogDpi = WindowDpi(dialog);
    LoadOptions();
    FitWeekColumn(dialog);
    Init(calendarView);
    RestorePosition(dialog);
    // Placing the window takes it off the top.
    ApplyKeepOnTop(dialog);
    calendarDialog = dialog;
    SetTimer(dialog, ID_DAYTIMER, kDayTimerPeriod, nullptr);
    InstallKeyFilter();
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

void StepView(HWND dialog, void (*step)(CalendarView &)) {
    step(calendarView);
    Repaint(dialog);
}

static INT_PTR OnCommand(HWND dialog, int id) {
    switch (id) {
    case IDC_PREVYEAR:
        StepView(dialog, PrevYear);
        break;
    case IDC_PREVMONTH:
        StepView(dialog, PrevMonth);
        break;
    case IDC_NEXTMONTH:
        StepView(dialog, NextMonth);
        break;
    case IDC_NEXTYEAR:
        StepView(dialog, NextYear);
        break;
    case IDC_ABOUT:
    case IDM_ABOUT:
        // No owner: the calendar keeps working while the box is open.
        DialogBoxParamA(appInstance, "ABOUTBOX", nullptr, About, 0);
        break;
    case IDC_CLOSE:
    case IDM_CLOSE:
        EndDialog(dialog, 1);
        return TRUE;
    case IDM_TODAY:
        StepView(dialog, BackToToday);
        break;
    case IDM_MONDAYFIRST:
        ToggleMondayFirst(dialog);
        break;
    case IDM_WEEKNUMBERS:
        ToggleWeekNumbers(dialog);
        break;
    case IDM_ONTOP:
        ToggleKeepOnTop(dialog);
        break;
    case IDM_AUTOSTART:
        ToggleStartWithWindows();
        break;
    }
    return FALSE;
}

static void OnTimer(HWND dialog) {
    if (Tick(calendarView))
        Repaint(dialog);
}

// The clock may have jumped: the user set the time, the date or the zone.
// The runtime reads the zone once, so it is read again.
static void OnClockChanged(HWND dialog) {
    _tzset();
    OnTimer(dialog);
}

// After sleep the next minute tick may be most of a minute away.
static void OnPowerBroadcast(HWND dialog, WPARAM event) {
    if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND)
        OnClockChanged(dialog);
}

// A notch turned away from the user goes back in time; `years` steps a
// year a notch.
static INT_PTR OnWheel(HWND dialog, int *rest, int delta, bool years) {
    int notches = TakeWheelNotches(rest, delta);
    for (; notches > 0; --notches)
        StepView(dialog, years ? PrevYear : PrevMonth);
    for (; notches < 0; ++notches)
        StepView(dialog, years ? NextYear : NextMonth);
    return TRUE;
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
    RemoveKeyFilter();
    SavePosition(dialog);
    KillTimer(dialog, ID_DAYTIMER);
}

// Windows suggests where the window goes at the new DPI; the controls are
// rescaled by the default processing after this returns, so the panels are
// measured later. Whether that scales the controls where they stand or lays
// them out from the template again, it finds them without the week column,
// which is made again for the new DPI.
static void OnDpiChanged(HWND dialog, WPARAM dpis, const RECT *suggested) {
    RemoveWeekColumn(dialog);
    SetWindowPos(dialog, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(dialog, kRemeasureMessage, HIWORD(dpis), 0);
}

// The whole window, so nothing the last size drew outside the frames stays.
static void OnRemeasure(HWND dialog, int dpi) {
    dialogDpi = dpi;
    FitWeekColumn(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
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
    case WM_TIMECHANGE:
    case WM_SETTINGCHANGE:
        OnClockChanged(dialog);
        break;
    case WM_POWERBROADCAST:
        OnPowerBroadcast(dialog, wParam);
        break;
    case WM_MOUSEWHEEL:
        return OnWheel(dialog, &wheelRest, GET_WHEEL_DELTA_WPARAM(wParam),
                       (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) != 0);
    case WM_MOUSEHWHEEL:
        // Tilted right (positive) is later, the opposite sense of the wheel.
        return OnWheel(dialog, &tiltRest, -GET_WHEEL_DELTA_WPARAM(wParam), true);
    case WM_CONTEXTMENU:
        ShowMenu(dialog, lParam);
        break;
    case WM_LBUTTONDBLCLK:
        StepView(dialog, BackToToday);
        break;
    case WM_LBUTTONDOWN:
        OnButtonDown(dialog, lParam);
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(dialog, lParam);
        break;
    case WM_SETCURSOR:
        OnPointer(dialog, reinterpret_cast<HWND>(wParam), HIWORD(lParam));
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
    case WM_DPICHANGED:
        OnDpiChanged(dialog, wParam, reinterpret_cast<const RECT *>(lParam));
        break;
    case kRemeasureMessage:
        OnRemeasure(dialog, static_cast<int>(wParam));
        break;
    case WM_DESTROY:
        OnDestroy(dialog);
        break;
    }
    return FALSE;
}
