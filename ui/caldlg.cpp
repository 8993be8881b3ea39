#include "caldlg.h"

#include <ctime>

#include "about.h"
#include "autostart.h"
#include "drag.h"
#include "frames.h"
#include "keys.h"
#include "menu.h"
#include "options.h"
#include "painter.h"
#include "placement.h"
#include "resource.h"
#include "settings.h"
#include "tooltips.h"
#include "view.h"
#include "wheel.h"

// Everything the calendar knows, changed only by the handlers below, which
// hand the pieces below them what they need.
struct CalendarState {
    CalendarView view;
    Choices choices;
    // The DPI the panels are laid out for: the window's, or the one Windows
    // last announced.
    int dpi;
    FrameGeometry frames;
    // What the wheel has turned short of a whole notch, one for each axis.
    int wheelRest;
    int tiltRest;
    bool painted;
};

static CalendarState calendar;

// Repaints all three panels before it returns.
static void Repaint(HWND dialog) { SendMessageW(dialog, WM_PAINT, 0, 0); }

// Posted on a change of DPI, with the new DPI, to measure the panels again
// once the dialog manager has rescaled the frames.
const UINT kRemeasureMessage = WM_APP + 1;

// Makes or takes away the week column's room as the choice asks, and lays
// the panels out for their frames.
static void Refit(HWND dialog) {
    calendar.frames =
        FitFrames(dialog, calendar.frames, calendar.dpi, calendar.choices.grid.weekNumbers);
}

static void ShowMonth(HWND dialog, int frameId, int titleId, MonthOfYear month, PanelKind kind) {
    const FrameGeometry &frames = calendar.frames;
    // The week numbers go where their column has been made.
    GridOptions options = {calendar.choices.grid.mondayFirst, frames.added[1] > 0};
    PanelPicture picture = {kind, kind == PanelKind::current ? frames.current : frames.side, month,
                            calendar.view.today, options};
    DrawMonth(GetDlgItem(dialog, frameId), picture);
    ShowTitle(GetDlgItem(dialog, titleId), month);
}

static INT_PTR OnInitDialog(HWND dialog) {
    calendar.dpi = WindowDpi(dialog);
    wchar_t file[MAX_PATH];
    const wchar_t *settings = SettingsFileToRead(file) ? file : nullptr;
    calendar.choices = LoadChoices(settings);
    Refit(dialog);
    Init(calendar.view);
    RestorePosition(dialog, settings);
    // Placing the window takes it off the top.
    ApplyKeepOnTop(dialog, calendar.choices.keepOnTop);
    SetTimer(dialog, ID_DAYTIMER, kDayTimerPeriod, nullptr);
    InstallKeyFilter(dialog);
    return TRUE;
}

static void OnPaint(HWND dialog) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    const CalendarView &view = calendar.view;
    MonthOfYear shown = {view.shownMonth, view.shownYear};
    ShowMonth(dialog, IDC_CURFRAME, IDC_CURTITLE, shown, PanelKind::current);
    ShowMonth(dialog, IDC_PREVFRAME, IDC_PREVTITLE, PrevNeighbour(view), PanelKind::side);
    ShowMonth(dialog, IDC_NEXTFRAME, IDC_NEXTTITLE, NextNeighbour(view), PanelKind::side);
    EndPaint(dialog, &paint);
    calendar.painted = true;
}

// Changes the view and repaints all three panels before it returns.
static void StepView(HWND dialog, void (*step)(CalendarView &)) {
    step(calendar.view);
    Repaint(dialog);
}

// No owner: the calendar keeps working while the box is open.
static void OnAbout(HWND dialog) {
    auto *instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    DialogBoxParamW(instance, L"ABOUTBOX", nullptr, About, calendar.choices.keepOnTop ? 1 : 0);
}

static void OnMondayFirst(HWND dialog) {
    ToggleMondayFirst(calendar.choices);
    Repaint(dialog);
}

static void OnWeekNumbers(HWND dialog) {
    ToggleWeekNumbers(calendar.choices);
    Refit(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

static void OnKeepOnTop(HWND dialog) {
    ToggleKeepOnTop(calendar.choices);
    ApplyKeepOnTop(dialog, calendar.choices.keepOnTop);
}

// The buttons, the menu and the keys (keys.cpp) all come here.
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
        OnAbout(dialog);
        break;
    case IDC_CLOSE:
    case IDM_CLOSE:
        EndDialog(dialog, 1);
        return TRUE;
    case IDM_TODAY:
        StepView(dialog, BackToToday);
        break;
    case IDM_MONDAYFIRST:
        OnMondayFirst(dialog);
        break;
    case IDM_WEEKNUMBERS:
        OnWeekNumbers(dialog);
        break;
    case IDM_ONTOP:
        OnKeepOnTop(dialog);
        break;
    case IDM_AUTOSTART:
        ToggleStartWithWindows();
        break;
    }
    return FALSE;
}

static void OnTimer(HWND dialog) {
    if (Tick(calendar.view))
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
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
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

// The tooltips wait for the first paint: their library is slow to load.
static void OnSetCursor(HWND dialog, HWND under, UINT mouseMessage) {
    if (calendar.painted)
        OnPointer(dialog, under, mouseMessage);
}

// Windows suggests where the window goes at the new DPI; the controls are
// rescaled by the default processing after this returns, so the panels are
// measured later. Whether that scales the controls where they stand or lays
// them out from the template again, it finds them without the week column,
// which is made again for the new DPI.
static void OnDpiChanged(HWND dialog, WPARAM dpis, const RECT *suggested) {
    calendar.frames = RemoveWeekColumn(dialog, calendar.frames);
    SetWindowPos(dialog, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageW(dialog, kRemeasureMessage, HIWORD(dpis), 0);
}

// The whole window, so nothing the last size drew outside the frames stays.
static void OnRemeasure(HWND dialog, int dpi) {
    calendar.dpi = dpi;
    Refit(dialog);
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
        return OnWheel(dialog, &calendar.wheelRest, GET_WHEEL_DELTA_WPARAM(wParam),
                       (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) != 0);
    case WM_MOUSEHWHEEL:
        // Tilted right (positive) is later, the opposite sense of the wheel.
        return OnWheel(dialog, &calendar.tiltRest, -GET_WHEEL_DELTA_WPARAM(wParam), true);
    case WM_CONTEXTMENU:
        ShowMenu(dialog, lParam, calendar.choices);
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
        OnSetCursor(dialog, reinterpret_cast<HWND>(wParam), HIWORD(lParam));
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
