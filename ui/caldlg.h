// The calendar dialog: where every event reaches the calendar, and the one
// place that changes what the calendar shows and decides to repaint.
#pragma once

#include <windows.h>

// The day timer looks for a new date once a minute.
const UINT_PTR ID_DAYTIMER = 9;
const UINT kDayTimerPeriod = 60000;

// The settle timer fires once, for what the start leaves until its first
// paint is on the screen (and start-up's own marker window after it); a
// calendar started minimised, which does not paint, settles all the same.
// A tenth of a second on: the system is still putting that paint on the
// screen, and work that comes sooner competes with it, unseen by the user.
const UINT_PTR ID_SETTLETIMER = 10;
const UINT kSettleDelay = 100;
const UINT kUnpaintedSettleDelay = 2000;

extern "C" INT_PTR CALLBACK CalDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
