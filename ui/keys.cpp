#include "keys.h"

#include "caldlg.h"
#include "painter.h"
#include "resource.h"

// The dialog loop is the platform's own; IsDialogMessage offers every
// message to the thread's WH_MSGFILTER hooks before it acts on it, so this
// is where the calendar sees keys that its buttons would otherwise take.
static HHOOK keyFilter;

static bool ForCalendar(HWND window) {
    return window == calendarDialog || IsChild(calendarDialog, window) != FALSE;
}

// True when the key was the calendar's to take.
static bool OnKey(HWND window, WPARAM key) {
    bool withCtrl = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
    case VK_PRIOR:
        StepView(calendarDialog, withCtrl ? PrevYear : PrevMonth);
        return true;
    case VK_NEXT:
        StepView(calendarDialog, withCtrl ? NextYear : NextMonth);
        return true;
    case VK_HOME:
        StepView(calendarDialog, BackToToday);
        return true;
    case VK_RETURN:
    case VK_ESCAPE:
        // The dialog manager would turn these into commands; no key closes
        // the calendar, and these have never done anything here.
        return true;
    case VK_SPACE:
        // Space presses the button that has the keyboard; never X.
        return window == GetDlgItem(calendarDialog, IDC_CLOSE);
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

void InstallKeyFilter() {
    keyFilter = SetWindowsHookExA(WH_MSGFILTER, KeyFilter, nullptr, GetCurrentThreadId());
}

void RemoveKeyFilter() {
    if (keyFilter != nullptr)
        UnhookWindowsHookEx(keyFilter);
    keyFilter = nullptr;
}
