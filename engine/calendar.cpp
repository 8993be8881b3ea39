#include "calendar.h"

#include <cstdint>

namespace {

const char *const kMonthNames[12] = {
    "JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",       "JUNE",
    "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER ", "DECEMBER ",
};

const char *const kWeekdayLetters[7] = {"S", "M", "T", "W", "T", "F", "S"};

const int32_t kDaysPerMonth[2][13] = {
    {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

// Weekday of 1 January for 1940 + i, repeating every 28 years. The cycle
// breaks at 2100 (not a leap year), so it is only trusted up to there.
const int32_t kJanuaryFirst[28] = {
    1, 3, 4, 5, 6, 1, 2, 3, 4, 6, 0, 1, 2, 4, // 1940-1953
    5, 6, 0, 2, 3, 4, 5, 0, 1, 2, 3, 5, 6, 0, // 1954-1967
};
const int kTableFirstYear = 1940;
const int kTableLastYear = 2100;

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

int64_t FloorMod(int64_t a, int64_t b) { return a - FloorDiv(a, b) * b; }

// Howard Hinnant's days_from_civil: days from 1970-01-01. `day` may lie
// outside the month; the count simply runs on.
int64_t DaysFromCivil(int64_t year, int64_t monthNumber, int64_t day) {
    // Years start on 1 March here, so that the leap day ends them.
    year -= monthNumber <= 2 ? 1 : 0;
    int64_t era = FloorDiv(year, 400);
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear =
        (153 * (monthNumber > 2 ? monthNumber - 3 : monthNumber + 9) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The calendar year of a day count, from Hinnant's civil_from_days.
int64_t CivilYear(int64_t days) {
    days += 719468;
    int64_t era = FloorDiv(days, 146097);
    int64_t dayOfEra = days - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    // Day 306 of a year that starts on 1 March is 1 January of the next.
    return era * 400 + yearOfEra + (dayOfYear >= 306 ? 1 : 0);
}

int JanuaryFirstWeekday(int year) {
    if (year >= kTableFirstYear && year <= kTableLastYear)
        return kJanuaryFirst[(year - kTableFirstYear) % 28];
    // 1 January 1970 was a Thursday.
    return static_cast<int>(FloorMod(DaysFromCivil(year, 1, 1) + 4, 7));
}

} // namespace

int IsLeapYear(int year) { return ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0) ? 1 : 0; }

int DaysInMonth(int monthNumber, int year) { return kDaysPerMonth[IsLeapYear(year)][monthNumber]; }

int FirstWeekday(int monthNumber, int year) {
    const int32_t *days = kDaysPerMonth[IsLeapYear(year)];
    int t = 1 + JanuaryFirstWeekday(year);
    for (int m = 1; m < monthNumber; ++m)
        t += days[m];
    int r = t % 7;
    return r == 0 ? 6 : r - 1;
}

bool IsToday(int day, int monthNumber, int year, const CalendarDate &today) {
    return year == today.year && monthNumber - today.month == 1 && day == today.day;
}

// In int64: the week of 31 December INT_MAX may belong to the year after it.
int IsoWeek(int day, int monthNumber, int year) {
    int64_t date = DaysFromCivil(year, monthNumber, day);
    // 1970-01-01 was a Thursday, so date + 3 counts from a Monday.
    int64_t thursday = date - FloorMod(date + 3, 7) + 3;
    int64_t weekYear = CivilYear(thursday);
    return static_cast<int>((thursday - DaysFromCivil(weekYear, 1, 1)) / 7 + 1);
}

long long DayNumber(long long year, int monthNumber, int day) {
    return DaysFromCivil(year, monthNumber, day);
}

// A constant of its own: GCC would copy the date from writable data.
static const CalendarDate kEpoch = {1, 0, 1970};

CalendarDate LocalDate(time_t moment) {
    const struct tm *local = localtime(&moment);
    if (local == nullptr)
        return kEpoch;
    return {local->tm_mday, local->tm_mon, local->tm_year + 1900};
}

CalendarDate GetToday() { return LocalDate(time(nullptr)); }

const char *MonthName(int monthIndex) { return kMonthNames[monthIndex]; }

const char *WeekdayLetter(int column) { return kWeekdayLetters[column]; }

int FormatInt(int value, char *out) {
    char digits[12];
    int count = 0;
    // Work on the unsigned magnitude so INT_MIN does not overflow.
    unsigned magnitude =
        value < 0 ? 0U - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int length = 0;
    if (value < 0)
        out[length++] = '-';
    while (count > 0)
        out[length++] = digits[--count];
    out[length] = '\0';
    return length;
}
