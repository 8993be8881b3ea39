#include "about.h"

#include "options.h"
#include "placement.h"
#include "resource.h"

static const wchar_t kWebAddress[] = L"https://trical.example.org/";

extern "C" INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(GetDlgItem(dialog, IDC_WEBADDR), kWebAddress);
        CenterWindow(dialog);
        // Above a calendar that is kept on top, or the box would open hidden.
        ApplyKeepOnTop(dialog, lParam != 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
