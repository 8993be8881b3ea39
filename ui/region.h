// The user's regional format, as far as month titles, weekday letters and
// the first day of the week go. Read afresh when the user changes it.
#pragma once

#include <windows.h>

#include "weekdays.h"

struct Region {
    // Any English format keeps the program's own names, exactly as they were.
    bool english;
    // 0 = Sunday ... 6 = Saturday, the engine's numbering.
    int firstWeekday;
    // The year-month picture, "MMMM yyyy", "yyyy'年'M'月'".
    wchar_t picture[80];
    // The Gregorian months' names, whatever calendar the region dates by.
    wchar_t months[12][64];
    wchar_t shortMonths[12][32];
    // One letter a weekday, 0 = Sunday (two units where it takes a surrogate
    // pair): the program's own in an English region.
    wchar_t letters[7][3];
    // The shortest day names whole, 0 = Sunday, for where the letters do not
    // tell the days apart: empty in an English region, and where a name is
    // too long to keep.
    wchar_t dayNames[7][kDayNameSize];
};

void ReadRegion(Region *region);
// A month's title, upper-cased the region's way; `abbreviated` takes the
// short month names, for a frame the full ones do not fit.
void RegionTitle(const Region &region, int monthIndex, int year, bool abbreviated, wchar_t *out,
                 int size);
// The month and year in the region's words as a sentence writes them, not
// upper-cased: "December 2026".
void RegionMonthYear(const Region &region, int monthIndex, int year, wchar_t *out, int size);
