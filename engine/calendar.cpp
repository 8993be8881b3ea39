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

// The calendar year of a day count, from Hinnant's civil_from_days.
int64_t CivilYear(int64_t days) {
    int dayOfEra;
    int64_t era = FloorDivide(days + 719468, 146097, &dayOfEra);
    int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    // Day 306 of a year that starts on 1 March is 1 January of the next.
    return era * 400 + yearOfEra + (dayOfYear >= 306 ? 1 : 0);
}

// 1 January 1970 was a Thursday.
int JanuaryFirstWeekday(int year) {
    if (year >= kTableFirstYear && year <= kTableLastYear)
        return kJanuaryFirst[(year - kTableFirstYear) % 28];
    int weekday;
    FloorDivide(DayNumber(year, 1, 1) + 4, 7, &weekday);
    return weekday;
}

} // namespace

// Bit by bit: a 32-bit build would otherwise take the compiler's 64-bit
// division routines, 2 KiB of them. Below zero, ~value (-value - 1, which
// cannot overflow) is divided instead.
long long FloorDivide(long long value, int divisor, int *remainder) {
    bool below = value < 0;
    auto rest = static_cast<unsigned long long>(below ? ~value : value);
    unsigned long long quotient = 0;
    // Below the divisor, so twice it and a bit fit.
    unsigned carry = 0;
    if (rest <= 0xFFFFFFFFULL) {
        // Most day counts fit in 32 bits, where the machine's own division
        // serves, some sixty times faster (the calendar files' rules divide
        // a lot).
        auto low = static_cast<unsigned>(rest);
        quotient = low / static_cast<unsigned>(divisor);
        carry = low % static_cast<unsigned>(divisor);
    }
    for (int bit = rest <= 0xFFFFFFFFULL ? -1 : 63; bit >= 0; --bit) {
        carry = carry << 1 | static_cast<unsigned>(rest >> bit & 1);
        quotient <<= 1;
        if (carry >= static_cast<unsigned>(divisor)) {
            carry -= static_cast<unsigned>(divisor);
            quotient |= 1;
        }
    }
    *remainder = below ? divisor - 1 - static_cast<int>(carry) : static_cast<int>(carry);
    return below ? -1 - static_cast<long long>(quotient) : static_cast<long long>(quotient);
}

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
    int64_t date = DayNumber(year, monthNumber, day);
    // 1970-01-01 was a Thursday, so date + 3 counts from a Monday.
    int fromMonday;
    FloorDivide(date + 3, 7, &fromMonday);
    int64_t thursday = date - fromMonday + 3;
    int64_t weekYear = CivilYear(thursday);
    return static_cast<int>(thursday - DayNumber(weekYear, 1, 1)) / 7 + 1;
}

// Howard Hinnant's days_from_civil. `day` may lie outside the month; the
// count simply runs on.
long long DayNumber(long long year, int monthNumber, int day) {
    // Years start on 1 March here, so that the leap day ends them.
    int yearOfEra;
    int64_t era = FloorDivide(year - (monthNumber <= 2 ? 1 : 0), 400, &yearOfEra);
    int dayOfYear = (153 * (monthNumber > 2 ? monthNumber - 3 : monthNumber + 9) + 2) / 5;
    int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra + day - 1 - 719468;
}

// Hinnant's civil_from_days, in the same years that start on 1 March.
void DateOfDayNumber(long long dayNumber, long long *year, int *monthNumber, int *day) {
    int dayOfEra;
    int64_t era = FloorDivide(dayNumber + 719468, 146097, &dayOfEra);
    int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int monthFromMarch = (5 * dayOfYear + 2) / 153;
    *day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    *monthNumber = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    *year = era * 400 + yearOfEra + (*monthNumber <= 2 ? 1 : 0);
}

// A constant of its own: GCC would copy the date from writable data.
static const CalendarDate kEpoch = {1, 0, 1970};

CalendarDate DateOfSystemTime(int year, int monthNumber, int day) {
    if (monthNumber < 1 || monthNumber > 12 || day < 1 || day > DaysInMonth(monthNumber, year))
        return kEpoch;
    return {day, monthNumber - 1, year};
}

const char *MonthName(int monthIndex) { return kMonthNames[monthIndex]; }

const char *WeekdayLetter(int column) { return kWeekdayLetters[column]; }

int FormatNumber(long long value, char *out, int width, bool grouped) {
    char digits[24];
    int count = 0;
    long long rest = value;
    do {
        // Toward zero, as the magnitude's digits are: below zero the floored
        // quotient is one too low wherever something remains.
        int digit;
        long long down = FloorDivide(rest, 10, &digit);
        if (rest < 0 && digit != 0) {
            digit = 10 - digit;
            ++down;
        }
        digits[count++] = static_cast<char>('0' + digit);
        rest = down;
    } while (rest != 0 || count < width);
    int length = 0;
    if (value < 0)
        out[length++] = '-';
    while (count > 0) {
        out[length++] = digits[--count];
        if (grouped && count > 0 && count % 3 == 0)
            out[length++] = ',';
    }
    out[length] = '\0';
    return length;
}

int Widen(const char *text, wchar_t *wide, int size) {
    int length = 0;
    for (; length < size - 1 && text[length] != '\0'; ++length)
        wide[length] = static_cast<unsigned char>(text[length]);
    wide[length] = L'\0';
    return length;
}
