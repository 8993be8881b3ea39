// The focused day: the one day the keys move, the frame marks and a screen
// reader is told of. It lives in the view and is always in one of the three
// months shown.
#pragma once

#include "view.h"

enum class FocusMove { prevDay, nextDay, prevWeek, nextWeek, monthEnd };

// `day` moved by whole months, on its day of the month where the month has
// it and on the month's last day where it has not (the 31st, 29 February).
CalendarDate AddMonthsKeepingDay(const CalendarDate &day, long long months);

// Moves the focus; where it leaves the three months shown, the view steps
// so that its month is the middle one. False, and nothing moves, where the
// view could not follow it past the years it can show.
bool MoveFocus(CalendarView &view, FocusMove move);

// Which panel shows `day`, 0-2 from the left; -1 where none does.
int PanelOfDay(const CalendarView &view, const CalendarDate &day);
