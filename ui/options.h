// The choices the user makes from the menu and the settings file keeps:
// Monday first, week numbers and keep on top. Each toggle saves at once;
// the calendar applies them.
#pragma once

#include <windows.h>

#include "layout.h"

struct Choices {
    GridOptions grid;
    bool keepOnTop;
};

// Reads the three from `file` (nullptr: there is none, all off); anything
// but "1" is off.
Choices LoadChoices(const wchar_t *file);

void ToggleMondayFirst(Choices &choices);
void ToggleWeekNumbers(Choices &choices);
void ToggleKeepOnTop(Choices &choices);
// Puts the window above or among normal windows.
void ApplyKeepOnTop(HWND window, bool onTop);
