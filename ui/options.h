// The choices the user makes from the menu and the settings file keeps:
// Monday first, week numbers and keep on top.
#pragma once

#include <windows.h>

#include "layout.h"

extern GridOptions gridOptions;
extern bool keepOnTop;

// Reads the three from the settings file; anything but "0" or "1" is off.
void LoadOptions();

void ToggleMondayFirst(HWND dialog);
void ToggleWeekNumbers(HWND dialog);
void ToggleKeepOnTop(HWND dialog);
// Puts the window above or among normal windows, as the choice says.
void ApplyKeepOnTop(HWND window);
