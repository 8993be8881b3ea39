#include "options.h"

#include "caldlg.h"
#include "settings.h"
#include "tooltips.h"
#include "weekcolumn.h"

GridOptions gridOptions;
bool keepOnTop;

static const wchar_t kSection[] = L"OPTIONS";
static const wchar_t kFirstDayKey[] = L"FIRSTDAY";
static const wchar_t kWeekNumbersKey[] = L"WEEKNUM";
static const wchar_t kOnTopKey[] = L"ONTOP";

// Only what this program writes is trusted; "0", like anything else, is off.
static bool ReadChoice(const wchar_t *key) {
    char text[4];
    return ReadSetting(kSection, key, L"0", text, sizeof text) && text[0] == '1' && text[1] == '\0';
}

// Written at once: a calendar ended by the session or the task manager
// keeps the choice all the same.
static void WriteChoice(const wchar_t *key, bool on) {
    WriteSetting(kSection, key, on ? "1" : "0");
}

void LoadOptions() {
    gridOptions.mondayFirst = ReadChoice(kFirstDayKey);
    gridOptions.weekNumbers = ReadChoice(kWeekNumbersKey);
    keepOnTop = ReadChoice(kOnTopKey);
}

void ToggleMondayFirst(HWND dialog) {
    gridOptions.mondayFirst = !gridOptions.mondayFirst;
    WriteChoice(kFirstDayKey, gridOptions.mondayFirst);
    Repaint(dialog);
}

void ToggleWeekNumbers(HWND dialog) {
    gridOptions.weekNumbers = !gridOptions.weekNumbers;
    WriteChoice(kWeekNumbersKey, gridOptions.weekNumbers);
    FitWeekColumn(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void ToggleKeepOnTop(HWND dialog) {
    keepOnTop = !keepOnTop;
    WriteChoice(kOnTopKey, keepOnTop);
    ApplyKeepOnTop(dialog);
}

void ApplyKeepOnTop(HWND window) {
    HWND band = keepOnTop ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(window, band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Wine (8) first lifts the windows the calendar owns, its tooltip, and
    // then leaves the calendar below them, outside the topmost band. Without
    // the tooltip, which comes back at the next move of the pointer, it
    // moves. Windows lifts the calendar with what it owns, and never gets here.
    bool topmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (topmost != keepOnTop) {
        DropButtonTips();
        SetWindowPos(window, band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}
