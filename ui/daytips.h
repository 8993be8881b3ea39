// What the calendar tells about a day: the tip over each day of the three
// months, and the texts its menu copies.
#pragma once

#include <windows.h>

#include "calendar.h"
#include "layout.h"

// Tool ids of the days' cells: kFirstDayTool + panel * kGridCells + cell,
// the panels 0-2 from the left.
const UINT_PTR kFirstDayTool = 100;
const int kPanels = 3;
const int kDayTools = kPanels * kGridCells;

// Puts a tip over every cell of the three grids: its tool (AreaAt finds it)
// is kFirstDayTool + panel * kGridCells + cell.
void PlaceDayTips(HWND dialog, const FrameGeometry &frames, GridOptions options);

// The day in ISO 8601, or as Windows writes the user's long date; where
// Windows cannot (before 1601 and after 30827), in the ISO form all the same.
// Returns the length.
int DateText(const CalendarDate &day, bool iso, wchar_t *out, int size);
// The tip: the long date, the week and day of the year, how far from today.
void DayDetails(const CalendarDate &day, const CalendarDate &today, wchar_t *out, int size);
