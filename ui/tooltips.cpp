#include "tooltips.h"

#include <commctrl.h>

#include "resource.h"

struct ButtonTip {
    int id;
    const wchar_t *text;
};

static const ButtonTip kButtonTips[] = {
    {IDC_PREVYEAR, L"Previous year"},
    {IDC_PREVMONTH, L"Previous month"},
    {IDC_NEXTMONTH, L"Next month"},
    {IDC_NEXTYEAR, L"Next year"},
    {IDC_CLOSE, L"Close"},
    {IDC_ABOUT, L"About Trical"},
};

using InitControlsFunction = BOOL(WINAPI *)(const INITCOMMONCONTROLSEX *);

static bool tipsAdded;
static HWND tips;
// The button last pressed; its tip stays away until the pointer leaves it.
static HWND pressedButton;
// The dialog's areas, as it last placed them.
static RECT areaRects[kMaxAreaTips];
static int areaCount;
static UINT_PTR areaFirstId;
// How many of them the tooltip window has as tools.
static int areasAdded;

void PlaceAreaTips(HWND dialog, const RECT *areas, int count, UINT_PTR firstId) {
    areaCount = count < kMaxAreaTips ? count : kMaxAreaTips;
    areaFirstId = firstId;
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    for (int i = 0; i < areaCount; ++i) {
        areaRects[i] = areas[i];
        tool.uId = firstId + static_cast<UINT_PTR>(i);
        tool.rect = areas[i];
        if (tips != nullptr)
            SendMessageW(tips, i < areasAdded ? TTM_NEWTOOLRECTW : TTM_ADDTOOLW, 0,
                         reinterpret_cast<LPARAM>(&tool));
    }
    if (tips != nullptr && areaCount > areasAdded)
        areasAdded = areaCount;
}

UINT_PTR AreaAt(POINT client) {
    for (int i = 0; i < areaCount; ++i)
        if (PtInRect(&areaRects[i], client) != FALSE)
            return areaFirstId + static_cast<UINT_PTR>(i);
    return 0;
}

// A tool's text set anew while it shows is shown at once.
void RefreshTip() {
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    if (tips == nullptr ||
        SendMessageW(tips, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) == FALSE)
        return;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// Loaded when the pointer first comes over the calendar, not at start: the
// common controls library cost the start-up a fifth more time and 3 MB.
// It stays loaded; the tooltip window's class lives in it. The tooltip
// window belongs to the dialog and goes with it.
static void AddButtonTips(HWND dialog) {
    if (tipsAdded)
        return;
    tipsAdded = true;
    HMODULE library = LoadLibraryW(L"comctl32.dll");
    FARPROC found = library != nullptr ? GetProcAddress(library, "InitCommonControlsEx") : nullptr;
    if (found == nullptr)
        return;
    // Through the generic function type, which GCC takes as a cast on purpose.
    auto initControls = reinterpret_cast<InitControlsFunction>(reinterpret_cast<void (*)()>(found));
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    initControls(&classes);
    auto *instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog,
                           nullptr, instance, nullptr);
    if (tips == nullptr)
        return;
    for (const ButtonTip &tip : kButtonTips) {
        TOOLINFOW tool = {};
        // The size the common controls of every Windows since 2000 accept.
        tool.cbSize = TTTOOLINFOW_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, tip.id));
        tool.lpszText = const_cast<wchar_t *>(tip.text);
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // Lines break at "\r\n" only where the tip has a width to break at.
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 1000);
    PlaceAreaTips(dialog, areaRects, areaCount, areaFirstId);
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
        SendMessageW(tips, TTM_ACTIVATE, FALSE, 0);
        // A move over no tool drops the tip that was on its way.
        MSG away = {};
        away.hwnd = dialog;
        away.message = WM_MOUSEMOVE;
        SendMessageW(tips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&away));
    } else if (pressedButton != nullptr && under != pressedButton) {
        pressedButton = nullptr;
        SendMessageW(tips, TTM_ACTIVATE, TRUE, 0);
    }
}

void DropButtonTips() {
    if (tips != nullptr)
        DestroyWindow(tips);
    tips = nullptr;
    pressedButton = nullptr;
    tipsAdded = false;
    areasAdded = 0;
}
