// A short description under the pointer for each of the six buttons, set
// up the first time the pointer is over the calendar.
#pragma once

#include <windows.h>

// Every move or press of the pointer over the calendar once it has painted
// (the library would otherwise delay the first paint, when the calendar
// opens under the pointer): `under` is the window under it, `mouseMessage`
// the message the move or press brings.
void OnPointer(HWND dialog, HWND under, UINT mouseMessage);
// Destroys the tooltip window; the next pointer move makes it again.
void DropButtonTips();
