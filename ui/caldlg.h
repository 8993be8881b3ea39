// The calendar dialog: where every event reaches the calendar, and the one
// place that changes what the calendar shows and decides to repaint.
#pragma once

#include <windows.h>

// The only timer: it looks for a new date once a minute.
const UINT_PTR ID_DAYTIMER = 9;
const UINT kDayTimerPeriod = 60000;

extern "C" INT_PTR CALLBACK CalDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
