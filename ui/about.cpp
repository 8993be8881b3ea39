#include "about.h"

#include "options.h"
#include "placement.h"
#include "resource.h"
#include "theme.h"

static const wchar_t kWebAddress[] = L"https://trical.example.org/";

// The box follows the theme as the calendar does; one box is open at most.
static Palette palette;

static void OnThemeChanged(HWND dialog) {
    Palette now = ReadPalette();
    if (SamePalette(now, palette))
        return;
    palette = now;
    DressControls(dialog, palette);
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

static INT_PTR OnInitDialog(HWND dialog, bool onTop) {
    palette = ReadPalette();
    DressControls(dialog, palette);
    SetWindowTextW(GetDlgItem(dialog, IDC_WEBADDR), kWebAddress);
    CenterWindow(dialog);
    // Above a calendar that is kept on top, or the box would open hidden.
    ApplyKeepOnTop(dialog, onTop);
    return TRUE;
}

extern "C" INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, lParam != 0);
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        OnThemeChanged(dialog);
        break;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return ColourControl(reinterpret_cast<HDC>(wParam), palette);
    case WM_DRAWITEM:
        return DrawButton(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam), palette);
    case WM_NCPAINT:
    case WM_NCACTIVATE:
        return PaintBorder(dialog, message, wParam, palette);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
