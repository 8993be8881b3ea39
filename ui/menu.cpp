#include "menu.h"

#include <windowsx.h>

#include <cwchar>

#include "autostart.h"
#include "resource.h"

struct MenuItem {
    unsigned id;
    const wchar_t *text; // nullptr for a separator
};

static const MenuItem kItems[] = {
    {IDM_MONDAYFIRST, L"Week starts on &Monday"},
    {IDM_WEEKNUMBERS, L"&Week numbers"},
    {IDM_ONTOP, L"Keep on &top"},
    {IDM_AUTOSTART, L"&Start with Windows"},
    {0, nullptr},
    {IDM_EVENTSFOLDER, L"Holidays and &events folder\u2026"},
    {IDM_TODAY, L"T&oday"},
    {IDM_ABOUT, L"&About Trical"},
    {0, nullptr},
    {IDM_CLOSE, L"&Close"},
};

// Start with Windows is asked of the registry each time: the user may have
// taken it out there, or another copy put itself in.
static bool Ticked(unsigned id, const Choices &choices, bool mondayFirst) {
    switch (id) {
    case IDM_MONDAYFIRST:
        return mondayFirst;
    case IDM_WEEKNUMBERS:
        return choices.weekNumbers;
    case IDM_ONTOP:
        return choices.keepOnTop;
    case IDM_AUTOSTART:
        return StartsWithWindows();
    }
    return false;
}

// Each date in quotation marks after its verb, an ampersand in it doubled
// so that the menu shows it rather than underlining what follows.
static void AddCopyItems(HMENU menu, const wchar_t *longDate, const wchar_t *isoDate) {
    const wchar_t *const verbs[] = {L"&Copy ", L"Copy "};
    const wchar_t *const dates[] = {longDate, isoDate};
    for (int i = 0; i < 2; ++i) {
        wchar_t label[160];
        wcscpy(label, verbs[i]);
        size_t length = wcslen(label);
        label[length++] = L'\u201C';
        for (const wchar_t *c = dates[i]; *c != L'\0' && length < 156; ++c) {
            if (*c == L'&')
                label[length++] = L'&';
            label[length++] = *c;
        }
        label[length++] = L'\u201D';
        label[length] = L'\0';
        AppendMenuW(menu, MF_STRING, i == 0 ? IDM_COPYLONG : IDM_COPYISO, label);
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

void ShowMenu(HWND dialog, LPARAM position, const Choices &choices, bool mondayFirst,
              const wchar_t *longDate, const wchar_t *isoDate) {
    POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    // From the keyboard there is no pointer to open at.
    if (at.x == -1 && at.y == -1) {
        RECT r;
        GetWindowRect(dialog, &r);
        at = {r.left, r.top};
    }
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return;
    if (longDate != nullptr && isoDate != nullptr)
        AddCopyItems(menu, longDate, isoDate);
    for (const MenuItem &item : kItems) {
        UINT flags = item.text == nullptr ? MF_SEPARATOR : MF_STRING;
        if (Ticked(item.id, choices, mondayFirst))
            flags |= MF_CHECKED;
        AppendMenuW(menu, flags, item.id, item.text);
    }
    // A popup menu of a window that is not in the foreground stays open
    // when the user clicks elsewhere.
    SetForegroundWindow(dialog);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, dialog,
                   nullptr);
    DestroyMenu(menu);
}
