// A short description under the pointer for each of the six buttons, and
// the dialog's own tips over areas of it, set up the first time the
// pointer is over the calendar.
#pragma once

#include <windows.h>

// Every move or press of the pointer over the calendar once it has painted
// (the library would otherwise delay the first paint, when the calendar
// opens under the pointer): `under` is the window under it, `mouseMessage`
// the message the move or press brings.
void OnPointer(HWND dialog, HWND under, UINT mouseMessage);
// Destroys the tooltip window; the next pointer move makes it again.
void DropButtonTips();

// Areas of the dialog's client, each a tool of its own with ids from
// `firstId`, whose text the dialog gives when asked (TTN_GETDISPINFOW, one
// line to each "\r\n"); kept, and placed again whenever the tooltip window
// is made again. At most kMaxAreaTips.
const int kMaxAreaTips = 128;
void PlaceAreaTips(HWND dialog, const RECT *areas, int count, UINT_PTR firstId);
// The id of the placed area that holds a point of the dialog's client, or
// 0 where none does.
UINT_PTR AreaAt(POINT client);
// Asks the tip on show for its text again, as what it tells has changed.
void RefreshTip();
