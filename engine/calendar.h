// Calendar tables and date arithmetic. Knows nothing of any window system.
#pragma once

// Today's local date. `month` is the month index 0-11 (January = 0).
struct CalendarDate {
    int day;
    int month;
    int year;
};

int IsLeapYear(int year);

// `monthNumber` is 1-12 in these three.
int DaysInMonth(int monthNumber, int year);
int FirstWeekday(int monthNumber, int year);
bool IsToday(int day, int monthNumber, int year, const CalendarDate &today);
// The ISO 8601 week, 1-53: weeks start on Monday, and week 1 is the one that
// holds the year's first Thursday. `day` may run on before 1 or past the
// month's end into the neighbouring months, so that a week row can ask about
// its Monday wherever that falls.
int IsoWeek(int day, int monthNumber, int year);

// The floored quotient of `value` by a positive `divisor`, and the
// remainder, 0 to divisor - 1.
long long FloorDivide(long long value, int divisor, int *remainder);

// Days from 1 January 1970 (negative before), for any year and beyond.
long long DayNumber(long long year, int monthNumber, int day);
// The date of such a day count: DayNumber's inverse, month 1-12.
void DateOfDayNumber(long long dayNumber, long long *year, int *monthNumber, int *day);

// The date of the fields Windows fills in a SYSTEMTIME (month 1-12), as
// GetLocalTime gives the local one: no 32-bit seconds count between them,
// so it holds past 2038. Fields that make no date give 1 January 1970.
CalendarDate DateOfSystemTime(int year, int monthNumber, int day);

const char *MonthName(int monthIndex);
const char *WeekdayLetter(int column);

// Writes `value` in decimal into `out` with at least `width` digits, and a
// comma between each three where `grouped`; returns the length. `out` holds
// 12 chars for any int, 28 for any long long.
int FormatNumber(long long value, char *out, int width = 1, bool grouped = false);
// The engine's text is ASCII, each char one UTF-16 unit: copies as much of
// `text` as `wide` holds (`size` units with the nul); returns the length.
int Widen(const char *text, wchar_t *wide, int size);
