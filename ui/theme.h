// The user's theme as Windows has it, and what a dialog draws itself while
// it is dark: its ground, its text, its buttons, its frames and its border.
// In light mode and in high contrast the system draws all of those, and
// each function here leaves the message to it (returns FALSE).
#pragma once

#include <windows.h>

#include "palette.h"

Palette ReadPalette();
// The app mode, high contrast or the system colours may have changed: where
// the colours did, `dialog` is dressed for them and redrawn, border and all.
// (One switch of mode is announced several times.)
void FollowTheme(HWND dialog, Palette *palette);

// Push buttons become owner-drawn and group boxes get edges of ours while
// the palette is dark; both go back to the system's when it is not.
void DressControls(HWND dialog, const Palette &palette);

// WM_CTLCOLORDLG and WM_CTLCOLORSTATIC.
INT_PTR ColourControl(HDC dc, const Palette &palette);
// WM_DRAWITEM of an owner-drawn push button.
INT_PTR DrawButton(const DRAWITEMSTRUCT *item, const Palette &palette);
// WM_NCPAINT and WM_NCACTIVATE (`active` its wParam): the dialog's border.
INT_PTR PaintBorder(HWND dialog, UINT message, WPARAM active, const Palette &palette);
