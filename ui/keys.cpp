#include "keys.h"

#include "resource.h"

// The dialog loop is the platform's own; IsDialogMessage offers every
// message to the thread's WH_MSGFILTER hooks before it acts on it, so this
// is where the calendar sees keys that its buttons would otherwise take.
// The hook is the thread's, and knows the one calendar it serves.
static HHOOK keyFilter;
static HWND keyDialog;

static bool ForCalendar(HWND window) {
    return window == keyDialog || IsChild(keyDialog, window) != FALSE;
}

// True when the key was the calendar's to take.
static bool OnKey(HWND window, WPARAM key) {
    bool withCtrl = GetKeyState(VK_CONTROL) < 0;
    unsigned command = 0;
    switch (key) {
    case VK_PRIOR:
        command = withCtrl ? IDC_PREVYEAR : IDC_PREVMONTH;
        break;
    case VK_NEXT:
        command = withCtrl ? IDC_NEXTYEAR : IDC_NEXTMONTH;
        break;
    case VK_HOME:
        command = IDM_TODAY;
        break;
    case VK_RETURN:
    case VK_ESCAPE:
        // The dialog manager would turn these into commands; no key closes
        // the calendar, and these have never done anything here.
        return true;
    case VK_SPACE:
        // Space presses the button that has the keyboard; never X.
        return window == GetDlgItem(keyDialog, IDC_CLOSE);
    default:
        return false;
    }
    // Handled at once, as a click on the button would be; 1 marks a key, as
    // for an accelerator.
    SendMessageW(keyDialog, WM_COMMAND, MAKEWPARAM(command, 1), 0);
    return true;
}

static LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    const MSG *message = reinterpret_cast<const MSG *>(lParam);
    if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && ForCalendar(message->hwnd) &&
        OnKey(message->hwnd, message->wParam))
        return TRUE;
    return CallNextHookEx(keyFilter, code, wParam, lParam);
}

void InstallKeyFilter(HWND dialog) {
    keyDialog = dialog;
    keyFilter = SetWindowsHookExW(WH_MSGFILTER, KeyFilter, nullptr, GetCurrentThreadId());
}

void RemoveKeyFilter() {
    if (keyFilter != nullptr)
        UnhookWindowsHookEx(keyFilter);
    keyFilter = nullptr;
    keyDialog = nullptr;
}
