// The calendar dialog: where every event reaches the calendar's own logic.
#pragma once

#include <windows.h>

#include "view.h"

// The only timer: it looks for a new date once a minute.
const UINT_PTR ID_DAYTIMER = 9;
const UINT kDayTimerPeriod = 60000;

extern CalendarView calendarView;

// Repaints all three panels before it returns.
void Repaint(HWND dialog);
// Lays the panels out for their frames as they stand.
void MeasureFrames(HWND dialog);
// Changes the view and repaints all three panels before it returns.
void StepView(HWND dialog, void (*step)(CalendarView &));

extern "C" INT_PTR CALLBACK CalDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
