#include "keys.h"

#include "resource.h"

// The dialog loop is the platform's own; IsDialogMessage offers every
// message to the thread's WH_MSGFILTER hooks before it acts on it, so this
// is where the calendar sees keys that its buttons would otherwise take.
// The thread runs the About boxes' loops too: the calendar is the dialog
// with the month frames.
static HWND CalendarOf(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    return root != nullptr && GetDlgItem(root, IDC_CURFRAME) != nullptr ? root : nullptr;
}

// True when the key was the calendar's to take.
static bool OnKey(HWND calendar, HWND window, WPARAM key) {
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
    case VK_LEFT:
        command = IDM_FOCUSPREVDAY;
        break;
    case VK_RIGHT:
        command = IDM_FOCUSNEXTDAY;
        break;
    case VK_UP:
        command = IDM_FOCUSPREVWEEK;
        break;
    case VK_DOWN:
        command = IDM_FOCUSNEXTWEEK;
        break;
    case VK_END:
        command = IDM_FOCUSMONTHEND;
        break;
    case VK_RETURN:
        command = IDM_FOCUSTIP;
        break;
    case 'C':
        if (!withCtrl)
            return false;
        command = IDM_COPYFOCUS;
        break;
    case VK_ESCAPE:
        // The dialog manager would turn it into a command; no key closes
        // the calendar.
        return true;
    case VK_SPACE:
        // Space presses the button that has the keyboard; never X.
        return window == GetDlgItem(calendar, IDC_CLOSE);
    default:
        return false;
    }
    // The keyboard is in use: its cues show from now on, the focused day's
    // frame among them, as the dialog manager shows them for its own keys.
    SendMessageW(calendar, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    // Handled at once, as a click on the button would be; 1 marks a key, as
    // for an accelerator.
    SendMessageW(calendar, WM_COMMAND, MAKEWPARAM(command, 1), 0);
    return true;
}

// The handle is not needed to call the next hook.
static LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    const MSG *message = reinterpret_cast<const MSG *>(lParam);
    HWND calendar = code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN
                        ? CalendarOf(message->hwnd)
                        : nullptr;
    if (calendar != nullptr && OnKey(calendar, message->hwnd, message->wParam))
        return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HHOOK InstallKeyFilter() {
    return SetWindowsHookExW(WH_MSGFILTER, KeyFilter, nullptr, GetCurrentThreadId());
}

void RemoveKeyFilter(HHOOK filter) {
    if (filter != nullptr)
        UnhookWindowsHookEx(filter);
}
