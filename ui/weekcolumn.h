// Room for the week column: each frame one column wider, and what stands
// to the frames' right moved over with them.
#pragma once

#include <windows.h>

// Widens or narrows the frames to what the week numbers choice asks, and
// measures the panels for them.
void FitWeekColumn(HWND dialog);
bool WeekColumnShown();
// Pixels the week column added to the middle frame's width, or 0.
int WeekColumnWidth();
// Before Windows rescales the dialog for a new DPI: the frames and the
// window go back to the template's layout, and `suggested` loses what the
// column added, in proportion, so that FitWeekColumn can make room again at
// the new DPI.
void RemoveWeekColumn(HWND dialog, RECT *suggested);
