#include "caldlg.h"

#include <windowsx.h>

#include <commctrl.h>

#include <cwchar>

#include "about.h"
#include "access.h"
#include "autostart.h"
#include "clipboard.h"
#include "daytips.h"
#include "dayevents.h"
#include "drag.h"
#include "eventfiles.h"
#include "faces.h"
#include "focus.h"
#include "frames.h"
#include "keys.h"
#include "menu.h"
#include "options.h"
#include "painter.h"
#include "placement.h"
#include "region.h"
#include "resource.h"
#include "settings.h"
#include "theme.h"
#include "tooltips.h"
#include "view.h"
#include "wheel.h"

// Everything the calendar knows, changed only by the handlers below, which
// hand the pieces below them what they need.
struct CalendarState {
    CalendarView view;
    Choices choices;
    // Names, letters and first day of the user's regional format, and the
    // faces that write them where the calendar's own fonts cannot (nullptr:
    // those fonts).
    Region region;
    const wchar_t *letterFace;
    const wchar_t *titleFace;
    HFONT titleFont;
    // The colours of the user's theme: light, dark or high contrast.
    Palette palette;
    // The day the menu was last opened on, for its copy items; the cell the
    // pointer was last seen on (CellAtPoint; -1: none), and the tip it
    // shows, which must outlive the notification asking for it.
    CalendarDate menuDay;
    int pointedCell;
    wchar_t tipText[1024];
    // The DPI the panels are laid out for: the window's, or the one Windows
    // last announced.
    int dpi;
    FrameGeometry frames;
    // What the wheel has turned short of a whole notch, one for each axis.
    int wheelRest;
    int tiltRest;
    // The keys' filter on the dialog's thread, and a drag of the body.
    HHOOK keyFilter;
    DragState drag;
    Tips tips;
    // The holidays and the user's own days, read once the first paint is
    // on the screen.
    EventFiles eventFiles;
    bool painted;
    bool settled;
    // A key of the calendar's has been pressed: the focused day's frame
    // shows, where Windows shows the keyboard's cues, from then on only.
    bool keysUsed;
};

static CalendarState calendar;

// What a screen reader's questions are answered from, handed over whole
// when the dialog is made.
static CalendarReading reading;

// Posted on a change of DPI, with the new DPI, to measure the panels again
// once the dialog manager has rescaled the frames.
const UINT kRemeasureMessage = WM_APP + 1;

// From Windows' own clock, not the C library's, whose seconds count ends in
// 2038 in a 32-bit program.
static CalendarDate Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DateOfSystemTime(now.wYear, now.wMonth, now.wDay);
}

// The first day the choices and the region give, and the week numbers where
// their column has been made.
static GridOptions Grid() {
    return ChosenGrid(calendar.choices, calendar.region.firstWeekday, calendar.frames);
}

// The day in a cell of the three grids; false for an empty cell or none.
static bool DayOfCell(int cell, CalendarDate *day) {
    if (cell < 0)
        return false;
    int panel = cell / kGridCells;
    const CalendarView &view = calendar.view;
    MonthOfYear month = panel == 0   ? PrevNeighbour(view)
                        : panel == 2 ? NextNeighbour(view)
                                     : MonthOfYear{view.shownMonth, view.shownYear};
    *day = {DayInCell(cell % kGridCells, month.month, month.year, Grid().firstWeekday), month.month,
            month.year};
    return day->day > 0;
}

// The tip follows the pointer from day to day, and goes where there is none;
// with `retell` a tip on show tells its day again. Where the pointer cannot
// be read (the workstation is locked at midnight, say), it is on no day.
static void PointDay(HWND dialog, bool retell) {
    POINT at;
    CalendarDate day;
    bool seen = GetCursorPos(&at) != FALSE && ScreenToClient(dialog, &at) != FALSE;
    calendar.pointedCell = seen ? CellAtPoint(dialog, calendar.frames, Grid(), at) : -1;
    PointAreaTip(&calendar.tips, dialog,
                 DayOfCell(calendar.pointedCell, &day) ? calendar.pointedCell + 1 : 0, retell);
}

static const int kTitleIds[] = {IDC_PREVTITLE, IDC_CURTITLE, IDC_NEXTTITLE};

static const wchar_t *const kLetterFaces[] = {L"Arial", L"Tahoma", L"Microsoft Sans Serif"};

// Reads the regional format and finds faces for what it writes where the
// calendar's own fonts cannot (nullptr: those fonts).
static void ReadRegionFaces(HWND dialog) {
    ReadRegion(&calendar.region);
    calendar.titleFace = nullptr;
    calendar.letterFace = nullptr;
    if (calendar.region.english)
        return;
    wchar_t sample[12 * 64];
    int length = 0;
    for (int month = 0; month < 12; ++month) {
        RegionTitle(calendar.region, month, 2000, false, sample + length, 64);
        length += static_cast<int>(wcslen(sample + length));
    }
    LOGFONTW record = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof record,
               &record);
    const wchar_t *const titleFaces[] = {record.lfFaceName, kLetterFaces[1], kLetterFaces[2]};
    const wchar_t *titleFace = FaceFor(sample, titleFaces, 3);
    if (titleFace != titleFaces[0])
        calendar.titleFace = titleFace;
    sample[0] = L'\0';
    for (const wchar_t *letter : calendar.region.letters)
        wcsncat(sample, letter, 3);
    for (const wchar_t *name : calendar.region.dayNames)
        wcscat(sample, name);
    // Even Arial then, in any character set, which lets Windows link in
    // a font that has them.
    calendar.letterFace = FaceFor(sample, kLetterFaces, 3);
}

// The titles take the dialog's font as it is now, in the region's face
// where it needs one: made again whenever the dialog's font is (Windows
// hands every control the dialog's own at a new DPI), and gone with the
// dialog (`keep` false).
static void FontTitles(HWND dialog, bool keep) {
    auto *dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    HFONT made = nullptr;
    if (keep && calendar.titleFace != nullptr) {
        LOGFONTW record = {};
        GetObjectW(dialogFont, sizeof record, &record);
        wcsncpy(record.lfFaceName, calendar.titleFace, LF_FACESIZE - 1);
        record.lfCharSet = DEFAULT_CHARSET;
        made = CreateFontIndirectW(&record);
    }
    for (int id : kTitleIds)
        SendMessageW(GetDlgItem(dialog, id), WM_SETFONT,
                     reinterpret_cast<WPARAM>(made != nullptr ? made : dialogFont), FALSE);
    if (calendar.titleFont != nullptr)
        DeleteObject(calendar.titleFont);
    calendar.titleFont = made;
}

// The titles name the view's months, and are set where the view, the region
// or the frames' width change rather than in every paint: a title set while
// the dialog paints paints itself again, and the first paint then comes
// with its titles. A region's long month names may not fit a frame; its
// short ones then do.
static void ShowTitles(HWND dialog) {
    const CalendarView &view = calendar.view;
    // In the order of kTitleIds, from the left.
    const MonthOfYear months[] = {
        PrevNeighbour(view), {view.shownMonth, view.shownYear}, NextNeighbour(view)};
    for (int i = 0; i < 3; ++i) {
        HWND title = GetDlgItem(dialog, kTitleIds[i]);
        wchar_t text[160];
        RegionTitle(calendar.region, months[i].month, months[i].year, false, text, 160);
        if (!calendar.region.english && !TitleFits(title, text))
            RegionTitle(calendar.region, months[i].month, months[i].year, true, text, 160);
        SetWindowTextW(title, text);
    }
}

// The window's name, for a reader and for Alt+Tab: no caption shows it.
// Not needed for the first paint, and named once the calendar settles.
static void NameWindow(HWND dialog) {
    const CalendarView &view = calendar.view;
    wchar_t name[200] = L"Trical, ";
    RegionMonthYear(calendar.region, view.shownMonth, view.shownYear, name + 8, 192);
    SetWindowTextW(dialog, name);
}

// Makes or takes away the week column's room as the choice asks, and lays
// the panels and the titles out for their frames. Gives the window's width
// to fit them (0: it keeps its own), which the start sets with its place.
static int FitPanels(HWND dialog) {
    int width = 0;
    calendar.frames =
        FitFrames(dialog, calendar.frames, calendar.dpi, calendar.choices.weekNumbers, &width);
    ShowTitles(dialog);
    return width;
}

static void Refit(HWND dialog) { FitWindowWidth(dialog, FitPanels(dialog)); }

// The focused day's cell where `month` holds it and the keyboard's cues
// are shown; -1 otherwise.
static int FocusCellIn(HWND dialog, MonthOfYear month) {
    const CalendarDate &focus = calendar.view.focus;
    bool cues =
        calendar.keysUsed && (SendMessageW(dialog, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
    if (!cues || focus.month != month.month || focus.year != month.year)
        return -1;
    return CellOfDay(focus.day, month.month, month.year, Grid().firstWeekday);
}

static void ShowMonth(HWND dialog, int frameId, MonthOfYear month, PanelKind kind) {
    const FrameGeometry &frames = calendar.frames;
    PanelPicture picture = {kind,
                            kind == PanelKind::current ? frames.current : frames.side,
                            month,
                            calendar.view.today,
                            Grid(),
                            calendar.region.letters,
                            calendar.region.dayNames,
                            calendar.letterFace,
                            &calendar.palette,
                            EventDaysOfMonth(calendar.eventFiles.events, month.year,
                                             month.month + 1, UtcToLocal, nullptr),
                            FocusCellIn(dialog, month)};
    DrawMonth(GetDlgItem(dialog, frameId), picture);
}

static INT_PTR OnInitDialog(HWND dialog) {
    reading = {dialog,           &calendar.view,    &calendar.frames,
               &calendar.region, &calendar.choices, &calendar.eventFiles.events};
    calendar.dpi = WindowDpi(dialog);
    calendar.pointedCell = -1;
    calendar.palette = ReadPalette();
    // A new dialog is the system's look already, and a new window is not on
    // top: the start does neither again.
    if (calendar.palette.dark)
        DressControls(dialog, calendar.palette);
    ReadRegionFaces(dialog);
    FontTitles(dialog, true);
    wchar_t file[MAX_PATH];
    const wchar_t *settings = SettingsFileToRead(file) ? file : nullptr;
    calendar.choices = LoadChoices(settings);
    Init(calendar.view, Today());
    RestorePosition(dialog, settings, FitPanels(dialog));
    SetTimer(dialog, ID_DAYTIMER, kDayTimerPeriod, nullptr);
    SetTimer(dialog, ID_SETTLETIMER, kUnpaintedSettleDelay, nullptr);
    // The days have the keyboard, not the first button.
    SetFocus(dialog);
    return FALSE;
}

// Read first as the calendar settles, never before; then again where a
// file was added, changed or removed.
static void FollowEventFiles(HWND dialog) {
    if (calendar.settled && RefreshEventFiles(&calendar.eventFiles))
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE);
}

// Nothing here shows in the first paint, which comes sooner without it.
// Once: a calendar that settled unpainted comes here again at its paint.
static void OnSettle(HWND dialog) {
    KillTimer(dialog, ID_SETTLETIMER);
    if (calendar.settled)
        return;
    calendar.settled = true;
    NameWindow(dialog);
    calendar.keyFilter = InstallKeyFilter();
    if (calendar.choices.keepOnTop)
        ApplyKeepOnTop(dialog, true, &calendar.tips);
    FollowEventFiles(dialog);
    NameButtons(dialog);
}

static void OnPaint(HWND dialog) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    const CalendarView &view = calendar.view;
    MonthOfYear shown = {view.shownMonth, view.shownYear};
    ShowMonth(dialog, IDC_CURFRAME, shown, PanelKind::current);
    ShowMonth(dialog, IDC_PREVFRAME, PrevNeighbour(view), PanelKind::side);
    ShowMonth(dialog, IDC_NEXTFRAME, NextNeighbour(view), PanelKind::side);
    EndPaint(dialog, &paint);
    // A timer, not a message: it comes once the thread has gone idle, when
    // the paint is on the screen.
    if (!calendar.painted)
        SetTimer(dialog, ID_SETTLETIMER, kSettleDelay, nullptr);
    calendar.painted = true;
    // A tip on show tells of the day now under the pointer, from today. (The
    // pointer is looked for only once it has been on a day.)
    if (calendar.pointedCell >= 0)
        PointDay(dialog, true);
}

// Changes the view, where `step` is given, and repaints all three panels
// before it returns.
static void StepView(HWND dialog, void (*step)(CalendarView &)) {
    if (step != nullptr)
        step(calendar.view);
    ShowTitles(dialog);
    NameWindow(dialog);
    SendMessageW(dialog, WM_PAINT, 0, 0);
    AnnounceView(reading);
}

// No owner: the calendar keeps working while the box is open, and the box
// keeps its colours here until it closes.
static void OnAbout(HWND dialog) {
    auto *instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    AboutBox box = {calendar.palette, calendar.choices.keepOnTop,
                    calendar.eventFiles.read ? calendar.eventFiles.report : L""};
    DialogBoxParamW(instance, L"ABOUTBOX", nullptr, About, reinterpret_cast<LPARAM>(&box));
}

static void OnMondayFirst(HWND dialog) {
    ToggleMondayFirst(calendar.choices, calendar.region.firstWeekday);
    StepView(dialog, nullptr);
}

static void OnWeekNumbers(HWND dialog) {
    ToggleChoice(calendar.choices, &Choices::weekNumbers);
    Refit(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The menu's copy items, for the day it was opened on.
static void OnCopyDay(HWND dialog, bool iso) {
    wchar_t text[128];
    DateText(calendar.menuDay, iso, text, 128);
    CopyText(dialog, text);
}

// An arrow takes the keyboard back to the days from a button a click left
// it on.
static void OnMoveFocus(HWND dialog, FocusMove move) {
    if (GetFocus() != dialog)
        SetFocus(dialog);
    MonthOfYear shown = {calendar.view.shownMonth, calendar.view.shownYear};
    if (!MoveFocus(calendar.view, move))
        return;
    if (shown.month != calendar.view.shownMonth || shown.year != calendar.view.shownYear) {
        StepView(dialog, nullptr);
        return;
    }
    SendMessageW(dialog, WM_PAINT, 0, 0);
    AnnounceFocus(reading);
}

// Below the focused day's cell, as the tip of a day under the pointer
// shows below the pointer.
static void OnFocusTip(HWND dialog) {
    const CalendarView &view = calendar.view;
    int panel = PanelOfDay(view, view.focus);
    if (panel < 0)
        return;
    const int frameIds[] = {IDC_PREVFRAME, IDC_CURFRAME, IDC_NEXTFRAME};
    const FrameGeometry &frames = calendar.frames;
    PanelRect cell =
        GridCell(panel == 1 ? PanelKind::current : PanelKind::side,
                 panel == 1 ? frames.current : frames.side, Grid(),
                 CellOfDay(view.focus.day, view.focus.month, view.focus.year, Grid().firstWeekday));
    POINT below = {cell.left, cell.bottom};
    ClientToScreen(GetDlgItem(dialog, frameIds[panel]), &below);
    ShowKeyTip(&calendar.tips, dialog, below);
}

static void OnCopyFocus(HWND dialog) {
    wchar_t text[128];
    DateText(calendar.view.focus, false, text, 128);
    CopyText(dialog, text);
}

static void OnKeepOnTop(HWND dialog) {
    ToggleChoice(calendar.choices, &Choices::keepOnTop);
    ApplyKeepOnTop(dialog, calendar.choices.keepOnTop, &calendar.tips);
}

// The buttons, the menu and the keys (keys.cpp) all come here.
static INT_PTR OnCommand(HWND dialog, int id) {
    // A tip asked for with Enter stays until the next key or click.
    HideKeyTip(&calendar.tips, dialog);
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
    case IDM_COPYLONG:
    case IDM_COPYISO:
        OnCopyDay(dialog, id == IDM_COPYISO);
        break;
    case IDM_EVENTSFOLDER:
        OpenEventsFolder(dialog);
        break;
    case IDM_FOCUSPREVDAY:
        OnMoveFocus(dialog, FocusMove::prevDay);
        break;
    case IDM_FOCUSNEXTDAY:
        OnMoveFocus(dialog, FocusMove::nextDay);
        break;
    case IDM_FOCUSPREVWEEK:
        OnMoveFocus(dialog, FocusMove::prevWeek);
        break;
    case IDM_FOCUSNEXTWEEK:
        OnMoveFocus(dialog, FocusMove::nextWeek);
        break;
    case IDM_FOCUSMONTHEND:
        OnMoveFocus(dialog, FocusMove::monthEnd);
        break;
    case IDM_COPYFOCUS:
        OnCopyFocus(dialog);
        break;
    case IDM_FOCUSTIP:
        OnFocusTip(dialog);
        break;
    }
    return FALSE;
}

// Over a day the menu offers to copy it; from the keyboard, the focused day.
static void OnContextMenu(HWND dialog, LPARAM position) {
    POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    bool fromKeys = at.x == -1 && at.y == -1;
    if (fromKeys)
        calendar.menuDay = calendar.view.focus;
    bool onDay = fromKeys ||
                 (ScreenToClient(dialog, &at) != FALSE &&
                  DayOfCell(CellAtPoint(dialog, calendar.frames, Grid(), at), &calendar.menuDay));
    // Read only where there is a day.
    wchar_t longDate[128];
    wchar_t isoDate[32];
    if (onDay) {
        DateText(calendar.menuDay, false, longDate, 128);
        DateText(calendar.menuDay, true, isoDate, 32);
    }
    ShowMenu(dialog, position, calendar.choices, Grid().firstWeekday == 1,
             onDay ? longDate : nullptr, onDay ? isoDate : nullptr);
}

// The text of a day's tip, asked for as it shows (the buttons' tips have
// theirs); an empty cell has none.
static void OnTipText(NMTTDISPINFOW *info) {
    CalendarDate day = {};
    calendar.tipText[0] = L'\0';
    if (IsKeyTip(info->hdr.idFrom))
        day = calendar.view.focus;
    if (day.day > 0 || DayOfCell(calendar.pointedCell, &day))
        DayTipText(day, calendar.view.today, calendar.tipText, 1024);
    AddEventNames(calendar.eventFiles.events, day, calendar.tipText, 1024);
    info->lpszText = calendar.tipText;
}

static void OnNotify(HWND dialog, NMHDR *header) {
    if (header->code == TTN_GETDISPINFOW)
        OnTipText(reinterpret_cast<NMTTDISPINFOW *>(header));
    else if (header->code == TTN_POP)
        OnTipPopped(calendar.tips, dialog, header->idFrom);
}

static void OnDayTimer(HWND dialog) {
    if (Tick(calendar.view, Today()))
        StepView(dialog, nullptr);
    FollowEventFiles(dialog);
}

static void OnTimer(HWND dialog, UINT_PTR id) {
    if (id == ID_SETTLETIMER)
        OnSettle(dialog);
    else
        OnDayTimer(dialog);
}

// The clock may have jumped: the user set the time, the date or the zone.
static void OnClockChanged(HWND dialog) { OnDayTimer(dialog); }

// The user changed the regional format: names, letters and first day.
// Windows says so with "intl", and the clock may have moved with it. A
// change of theme comes as "ImmersiveColorSet", or high contrast as its
// own setting, and is cheap to look for whatever came.
static void OnSettingChange(HWND dialog, const wchar_t *area) {
    if (area != nullptr && lstrcmpiW(area, L"intl") == 0) {
        ReadRegionFaces(dialog);
        FontTitles(dialog, true);
        ShowTitles(dialog);
        NameWindow(dialog);
        RedrawWindow(dialog, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    FollowTheme(dialog, &calendar.palette);
    OnClockChanged(dialog);
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
    FontTitles(dialog, false);
    FreeEventFiles(&calendar.eventFiles);
    RemoveKeyFilter(calendar.keyFilter);
    SavePosition(dialog);
    KillTimer(dialog, ID_DAYTIMER);
    KillTimer(dialog, ID_SETTLETIMER);
}

// The keys (keys.cpp) ask for the focus cues; Windows' own start-up state
// does not count as a key.
static void OnChangeUiState(HWND dialog, WPARAM change) {
    if (LOWORD(change) == UIS_CLEAR && (HIWORD(change) & UISF_HIDEFOCUS) != 0 &&
        !calendar.keysUsed) {
        calendar.keysUsed = true;
        InvalidateRect(dialog, nullptr, FALSE);
    }
}

// The days keep the keyboard while the calendar is active; the dialog
// manager would hand it to a button. The user may have just saved a file
// into the events folder, and come back.
static INT_PTR OnActivate(HWND dialog, WPARAM state) {
    if (LOWORD(state) == WA_INACTIVE || HIWORD(state) != 0) {
        HideKeyTip(&calendar.tips, dialog);
        return FALSE;
    }
    FollowEventFiles(dialog);
    SetFocus(dialog);
    return TRUE;
}

// The tooltips wait for the first paint: their library is slow to load.
static void OnSetCursor(HWND dialog, HWND under, UINT mouseMessage) {
    if (!calendar.painted)
        return;
    if (mouseMessage != WM_MOUSEMOVE)
        HideKeyTip(&calendar.tips, dialog);
    OnPointer(&calendar.tips, dialog, under, mouseMessage);
    PointDay(dialog, false);
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
    FontTitles(dialog, true);
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
        OnTimer(dialog, wParam);
        break;
    case WM_TIMECHANGE:
        OnClockChanged(dialog);
        break;
    case WM_SETTINGCHANGE:
        OnSettingChange(dialog, reinterpret_cast<const wchar_t *>(lParam));
        break;
    case WM_SYSCOLORCHANGE:
        FollowTheme(dialog, &calendar.palette);
        break;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return ColourControl(reinterpret_cast<HDC>(wParam), calendar.palette);
    case WM_DRAWITEM:
        return DrawButton(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam), calendar.palette);
    case WM_NCPAINT:
    case WM_NCACTIVATE:
        return PaintBorder(dialog, message, wParam, calendar.palette);
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
        OnContextMenu(dialog, lParam);
        break;
    case WM_NOTIFY:
        OnNotify(dialog, reinterpret_cast<NMHDR *>(lParam));
        break;
    case WM_LBUTTONDBLCLK:
        StepView(dialog, BackToToday);
        break;
    case WM_LBUTTONDOWN:
        OnButtonDown(dialog, &calendar.drag, lParam);
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(dialog, &calendar.drag, lParam);
        break;
    case WM_SETCURSOR:
        OnSetCursor(dialog, reinterpret_cast<HWND>(wParam), HIWORD(lParam));
        break;
    case WM_LBUTTONUP:
        OnButtonUp(dialog, &calendar.drag);
        break;
    case WM_CAPTURECHANGED:
        OnCaptureLost(&calendar.drag);
        break;
    case WM_QUERYENDSESSION:
        return OnQueryEndSession(dialog);
    case WM_ENDSESSION:
        OnEndSession(dialog, wParam != FALSE);
        break;
    case WM_DPICHANGED:
        OnDpiChanged(dialog, wParam, reinterpret_cast<const RECT *>(lParam));
        break;
    case WM_ACTIVATE:
        return OnActivate(dialog, wParam);
    case WM_SETFOCUS:
        return TRUE;
    case WM_CHANGEUISTATE:
        OnChangeUiState(dialog, wParam);
        break;
    case WM_UPDATEUISTATE:
        // Painted once the default handling has changed the state.
        InvalidateRect(dialog, nullptr, FALSE);
        break;
    case WM_GETOBJECT:
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, AnswerGetObject(&reading, wParam, lParam));
        return TRUE;
    case kRemeasureMessage:
        OnRemeasure(dialog, static_cast<int>(wParam));
        break;
    case WM_DESTROY:
        OnDestroy(dialog);
        break;
    }
    return FALSE;
}
