// The About box, opened with DialogBoxParam on an AboutBox of the opener's,
// which lives as long as the box: several may be open, each with its own.
#pragma once

#include <windows.h>

#include "palette.h"

struct AboutBox {
    // The colours the box is drawn in; it follows the theme itself.
    Palette palette;
    // Above a calendar kept on top, or the box would open hidden.
    bool onTop;
    // The holidays and events files read, and what each held; taken as the
    // box opens.
    const wchar_t *eventFiles;
};

extern "C" INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
