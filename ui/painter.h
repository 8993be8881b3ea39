// Paints one month into one of the calendar dialog's three frames.
#pragma once

#include <windows.h>

#include "layout.h"

// Set by the calendar dialog at initialisation, read by every DrawMonth.
extern HWND calendarDialog;
extern CellMetrics currentMetrics;
extern CellMetrics sideMetrics;

// Pixels per inch of the monitor the window is on, or of the system before
// Windows 10 1607.
int WindowDpi(HWND window);
void DrawMonth(int frameId, int monthIndex, int year, PanelKind kind);
void SelectGridFont(HDC dc, int height);
void ReleaseGridFont(HDC dc);
