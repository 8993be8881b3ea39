#include "tooltips.h"

#include <commctrl.h>

#include "main.h"
#include "resource.h"

struct ButtonTip {
    int id;
    const char *text;
};

static const ButtonTip kButtonTips[] = {
    {IDC_PREVYEAR, "Previous year"},
    {IDC_PREVMONTH, "Previous month"},
    {IDC_NEXTMONTH, "Next month"},
    {IDC_NEXTYEAR, "Next year"},
    {IDC_CLOSE, "Close"},
    {IDC_ABOUT, "About Trical"},
};

using InitControlsFunction = BOOL(WINAPI *)(const INITCOMMONCONTROLSEX *);

static bool tipsAdded;
static HWND tips;
// The button last pressed; its tip stays away until the pointer leaves it.
static HWND pressedButton;

// Loaded when the pointer first comes over the calendar, not at start: the
// common controls library cost the start-up a fifth more time and 3 MB.
// It stays loaded; the tooltip window's class lives in it. The tooltip
// window belongs to the dialog and goes with it.
static void AddButtonTips(HWND dialog) {
    if (tipsAdded)
        return;
    tipsAdded = true;
    HMODULE library = LoadLibraryA("comctl32.dll");
    FARPROC found = library != nullptr ? GetProcAddress(library, "InitCommonControlsEx") : nullptr;
    if (found == nullptr)
        return;
    // Through the generic function type, which GCC takes as a cast on purpose.
    auto initControls = reinterpret_cast<InitControlsFunction>(reinterpret_cast<void (*)()>(found));
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    initControls(&classes);
    tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog,
                           nullptr, appInstance, nullptr);
    if (tips == nullptr)
        return;
    for (const ButtonTip &tip : kButtonTips) {
        TOOLINFOA tool = {};
        // The size the common controls of every Windows since 2000 accept.
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, tip.id));
        tool.lpszText = const_cast<char *>(tip.text);
        SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// A press puts the tip away until the pointer leaves the button, as Windows
// does; without this a tip that was on its way shows over the button just
// pressed.
void OnPointer(HWND dialog, HWND under, UINT mouseMessage) {
    AddButtonTips(dialog);
    if (tips == nullptr)
        return;
    bool press = mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_RBUTTONDOWN ||
                 mouseMessage == WM_MBUTTONDOWN;
    if (press && under != dialog) {
        pressedButton = under;
        SendMessageA(tips, TTM_ACTIVATE, FALSE, 0);
        // A move over no tool drops the tip that was on its way.
        MSG away = {};
        away.hwnd = dialog;
        away.message = WM_MOUSEMOVE;
        SendMessageA(tips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&away));
    } else if (pressedButton != nullptr && under != pressedButton) {
        pressedButton = nullptr;
        SendMessageA(tips, TTM_ACTIVATE, TRUE, 0);
    }
}

void DropButtonTips() {
    if (tips != nullptr)
        DestroyWindow(tips);
    tips = nullptr;
    pressedButton = nullptr;
    tipsAdded = false;
}
