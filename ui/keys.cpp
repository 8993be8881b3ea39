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

// Handled at once, as a click on the button would be; 1 marks a key, as
// for an accelerator.
static void Command(unsigned id) { SendMessageW(keyDialog, WM_COMMAND, MAKEWPARAM(id, 1), 0); }

// True when the key was the calendar's to take.
static bool OnKey(HWND window, WPARAM key) {
    bool withCtrl = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
    case VK_PRIOR:
        Command(withCtrl ? IDC_PREVYEAR : IDC_PREVMONTH);
        return true;
    case VK_NEXT:
        Command(withCtrl ? IDC_NEXTYEAR : IDC_NEXTMONTH);
        return true;
    case VK_HOME:
        Command(IDM_TODAY);
        return true;
    case VK_RETURN:
    case VK_ESCAPE:
        // The dialog manager would turn these into commands; no key closes
        // the calendar, and these have never done anything here.
        return true;
    case VK_SPACE:
        // Space presses the button that has the keyboard; never X.
        return window == GetDlgItem(keyDialog, IDC_CLOSE);
    }
    return false;
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
