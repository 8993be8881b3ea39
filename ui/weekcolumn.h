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
// Before Windows rescales the dialog for a new DPI: the controls go back
// to the template's layout, for FitWeekColumn to make room again at the new
// DPI. The window keeps its width until then.
void RemoveWeekColumn(HWND dialog);
