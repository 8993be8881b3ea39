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

// Loaded when the pointer first comes over the calendar, not at start: the
// common controls library cost the start-up a fifth more time and 3 MB.
// It stays loaded; the tooltip window's class lives in it. The tooltip
// window belongs to the dialog and goes with it.
void AddButtonTips(HWND dialog) {
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
    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
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
