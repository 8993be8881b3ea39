// What the calendar tells about a day: which day is under the pointer, and
// the texts its tip shows and its menu copies.
#pragma once

#include <windows.h>

#include "calendar.h"
#include "ics.h"
#include "layout.h"

const int kPanels = 3;

// The cell of the three grids under a point of the dialog's client, as
// panel * kGridCells + cell with the panels 0-2 from the left; -1 where the
// point is on none.
int CellAtPoint(HWND dialog, const FrameGeometry &frames, GridOptions options, POINT client);

// The day in ISO 8601, or as Windows writes the user's long date; where
// Windows cannot (before 1601 and after 30827), in the ISO form all the same.
// Returns the length.
int DateText(const CalendarDate &day, bool iso, wchar_t *out, int size);
// The tip: the long date, the week and day of the year, how far from today.
void DayTipText(const CalendarDate &day, const CalendarDate &today, wchar_t *out, int size);
// Under a tip's own lines, the names of the day's events (none for day 0),
// a line each, as many as fit.
void AddEventNames(const EventSet &events, const CalendarDate &day, wchar_t *text, int size);
// A day as a screen reader names it: the long date as the tip writes it,
// then ", today" where it is, then its events' names as the tip lists them.
// Returns the length.
int DayName(const EventSet &events, const CalendarDate &day, const CalendarDate &today,
            wchar_t *out, int size);
// The tip's lines below the date, on one line: "Week 50, day 343 of 365,
// In 12 days".
void DayDescription(const CalendarDate &day, const CalendarDate &today, wchar_t *out, int size);
