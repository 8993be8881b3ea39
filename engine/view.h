// The one calendar view: which month the middle panel shows, and today.
#pragma once

#include "calendar.h"

#include <climits>

struct CalendarView {
    int shownMonth; // 0-11
    int shownYear;
    CalendarDate today;
    CalendarDate lastSeenDate; // the date at Init or at the last tick that saw a new one
    // The day the keys move (focus.h): today at first and with the view
    // back on today; each step of the view takes it as many months along.
    CalendarDate focus;
};

struct MonthOfYear {
    int month; // 0-11
    int year;
};

// The view stops one year short of the int limits so that its neighbours
// and every title still have a year to show.
const int kMinShownYear = INT_MIN + 1;
const int kMaxShownYear = INT_MAX - 1;

void Init(CalendarView &view, const CalendarDate &today);

void PrevYear(CalendarView &view);
void PrevMonth(CalendarView &view);
void NextMonth(CalendarView &view);
void NextYear(CalendarView &view);
void BackToToday(CalendarView &view);

// True when the view changed and needs a repaint.
bool Tick(CalendarView &view, const CalendarDate &today);

MonthOfYear PrevNeighbour(const CalendarView &view);
MonthOfYear NextNeighbour(const CalendarView &view);

// "%s %d" of month name and year, e.g. "DECEMBER  1996".
struct TitleText {
    char text[32];
};
TitleText Title(int monthIndex, int year);
