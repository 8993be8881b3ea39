#include "tooltips.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "resource.h"
#include "syslib.h"

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

const UINT_PTR kFirstAreaTool = 100;
// After the two area tools.
const UINT_PTR kKeyTool = 102;

static TOOLINFOW KeyTool(HWND dialog) {
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = dialog;
    tool.uId = kKeyTool;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    return tool;
}

static void SetAreaTool(const Tips &tips, HWND dialog, int turn, bool there, UINT message) {
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = kFirstAreaTool + static_cast<UINT_PTR>(turn);
    if (there)
        tool.rect.right = tool.rect.bottom = 0x7fff;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tips.window, message, 0, reinterpret_cast<LPARAM>(&tool));
}

// A tool's text set anew while it shows is shown at once.
void PointAreaTip(Tips *tips, HWND dialog, int now, bool retell) {
    if (tips->window == nullptr)
        return;
    if (now == tips->area) {
        if (retell && now != 0)
            SetAreaTool(*tips, dialog, tips->areaTurn, true, TTM_UPDATETIPTEXTW);
        return;
    }
    tips->area = now;
    tips->areaTurn ^= 1;
    SetAreaTool(*tips, dialog, tips->areaTurn, now != 0, TTM_NEWTOOLRECTW);
    SetAreaTool(*tips, dialog, tips->areaTurn ^ 1, false, TTM_NEWTOOLRECTW);
}

// Put away where the pointer still is (its time ran out, or a press): the
// tool goes too until the pointer finds another area, or the tooltip would
// look for the pointer ten times a second for as long as it rests there.
void OnTipPopped(const Tips &tips, HWND dialog, UINT_PTR id) {
    if (id == kFirstAreaTool + static_cast<UINT_PTR>(tips.areaTurn))
        SetAreaTool(tips, dialog, tips.areaTurn, false, TTM_NEWTOOLRECTW);
}

// A button's tool, with its text; `message` adds or deletes it.
static void SetButtonTool(const Tips &tips, HWND dialog, HWND button, UINT message) {
    TOOLINFOW tool = {};
    // The size the common controls of every Windows since 2000 accept.
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = const_cast<wchar_t *>(ButtonTipText(GetDlgCtrlID(button)));
    SendMessageW(tips.window, message, 0, reinterpret_cast<LPARAM>(&tool));
}

// Loaded when the pointer first comes over the calendar, not at start: the
// common controls library cost the start-up a fifth more time and 3 MB.
// It stays loaded; the tooltip window's class lives in it. The tooltip
// window belongs to the dialog and goes with it.
static void AddButtonTips(Tips *tips, HWND dialog) {
    if (tips->made)
        return;
    tips->made = true;
    auto initControls = SystemFunction<InitControlsFunction>(LoadSystemLibrary(L"comctl32.dll"),
                                                             "InitCommonControlsEx");
    if (initControls == nullptr)
        return;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    initControls(&classes);
    auto *instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    tips->window = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, instance, nullptr);
    if (tips->window == nullptr)
        return;
    for (const ButtonTip &tip : kButtonTips)
        SetButtonTool(*tips, dialog, GetDlgItem(dialog, tip.id), TTM_ADDTOOLW);
    // Lines break at "\r\n" only where the tip has a width to break at.
    SendMessageW(tips->window, TTM_SETMAXTIPWIDTH, 0, 1000);
    tips->area = 0;
    for (int turn = 0; turn < 2; ++turn)
        SetAreaTool(*tips, dialog, turn, false, TTM_ADDTOOLW);
    TOOLINFOW key = KeyTool(dialog);
    SendMessageW(tips->window, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&key));
}

// A press puts the tip away until the pointer leaves the button, as Windows
// does. Wine's tooltip still shows a tip that was on its way once the
// pointer moves on the button again, so the button's tool goes until then.
void OnPointer(Tips *tips, HWND dialog, HWND under, UINT mouseMessage) {
    AddButtonTips(tips, dialog);
    if (tips->window == nullptr)
        return;
    bool press = mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_RBUTTONDOWN ||
                 mouseMessage == WM_MBUTTONDOWN;
    if (press && under != dialog && under != tips->pressedButton &&
        ButtonTipText(GetDlgCtrlID(under)) != nullptr) {
        tips->pressedButton = under;
        SendMessageW(tips->window, TTM_ACTIVATE, FALSE, 0);
        SetButtonTool(*tips, dialog, under, TTM_DELTOOLW);
        // A move over no tool drops the tip that was on its way.
        MSG away = {};
        away.hwnd = dialog;
        away.message = WM_MOUSEMOVE;
        SendMessageW(tips->window, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&away));
    } else if (tips->pressedButton != nullptr && under != tips->pressedButton) {
        SetButtonTool(*tips, dialog, tips->pressedButton, TTM_ADDTOOLW);
        tips->pressedButton = nullptr;
        SendMessageW(tips->window, TTM_ACTIVATE, TRUE, 0);
    }
}

// Made here where the pointer has not come yet; shown afresh, so that it
// asks for the text of the day now focused.
void ShowKeyTip(Tips *tips, HWND dialog, POINT screen) {
    AddButtonTips(tips, dialog);
    if (tips->window == nullptr)
        return;
    TOOLINFOW key = KeyTool(dialog);
    SendMessageW(tips->window, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&key));
    SendMessageW(tips->window, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
    SendMessageW(tips->window, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&key));
    tips->keyTipShown = true;
}

void HideKeyTip(Tips *tips, HWND dialog) {
    if (!tips->keyTipShown || tips->window == nullptr)
        return;
    TOOLINFOW key = KeyTool(dialog);
    SendMessageW(tips->window, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&key));
    tips->keyTipShown = false;
}

bool IsKeyTip(UINT_PTR id) { return id == kKeyTool; }

void DropButtonTips(Tips *tips) {
    if (tips->window != nullptr)
        DestroyWindow(tips->window);
    *tips = Tips{};
}

const wchar_t *ButtonTipText(int id) {
    const ButtonTip *end = std::end(kButtonTips);
    const ButtonTip *tip =
        std::find_if(kButtonTips, end, [id](const ButtonTip &each) { return each.id == id; });
    return tip != end ? tip->text : nullptr;
}
