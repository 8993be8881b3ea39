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

// Which area of the dialog's client with a tip of its own the pointer is
// on, by a number the dialog gives from 1 (0: none); the dialog gives its text when
// asked (TTN_GETDISPINFOW, one line to each "\r\n"). The tip shows after the
// usual delay, and anew for another area. With `retell` a tip on show for
// the same area asks for its text again, as what it tells has changed.
void PointAreaTip(HWND dialog, int area, bool retell);
// A tip went away (TTN_POP), with the id of its tool.
void OnTipPopped(HWND dialog, UINT_PTR id);
