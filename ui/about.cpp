#include "about.h"

#include "options.h"
#include "placement.h"
#include "resource.h"
#include "theme.h"

static const wchar_t kWebAddress[] = L"https://trical.example.org/";

// Kept from WM_INITDIALOG on; what comes before it is the system's.
static AboutBox *BoxOf(HWND dialog) {
    return reinterpret_cast<AboutBox *>(GetWindowLongPtrW(dialog, DWLP_USER));
}

static INT_PTR OnInitDialog(HWND dialog, AboutBox *box) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(box));
    DressControls(dialog, box->palette);
    SetWindowTextW(GetDlgItem(dialog, IDC_WEBADDR), kWebAddress);
    SetWindowTextW(GetDlgItem(dialog, IDC_EVENTFILES), box->eventFiles);
    CenterWindow(dialog);
    ApplyKeepOnTop(dialog, box->onTop, nullptr);
    return TRUE;
}

extern "C" INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    AboutBox *box = BoxOf(dialog);
    if (box == nullptr && message != WM_INITDIALOG)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, reinterpret_cast<AboutBox *>(lParam));
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        FollowTheme(dialog, &box->palette);
        break;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return ColourControl(reinterpret_cast<HDC>(wParam), box->palette);
    case WM_DRAWITEM:
        return DrawButton(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam), box->palette);
    case WM_NCPAINT:
    case WM_NCACTIVATE:
        return PaintBorder(dialog, message, wParam, box->palette);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
