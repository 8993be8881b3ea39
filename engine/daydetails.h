// What the calendar tells about one day, in the program's own words: where
// it falls in its year and how far it is from today.
#pragma once

#include "calendar.h"

// Each writes at most `size` characters with the terminating nul, and
// returns the length.
// Two lines: the ISO week, the day of the year and the year's length, and
// how far the day is from today: "Week 50, day 343 of 365\r\nIn 12 days".
// The second line is "Today", "Tomorrow", "Yesterday", "In 12 days" or
// "3 days ago"; past 60 days with the rough size in years and months, the
// calendar distance rounded to the nearest month: "In 145 days (about 5
// months)", "1,000 days ago (about 2 years 9 months)".
int FormatDayPlace(const CalendarDate &today, const CalendarDate &date, wchar_t *out, int size);
// ISO 8601: "2026-12-09"; a year past 9999 with "+", before year 0 with "-".
int FormatIsoDate(const CalendarDate &date, wchar_t *out, int size);
