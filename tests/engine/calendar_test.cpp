#include "calendar.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

// Zeller's congruence, an independent check on the weekday arithmetic.
// Returns 0 = Sunday. Works on 64-bit values with floored division.
long long FloorDiv(long long a, long long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

int ZellerWeekday(long long day, int monthNumber, long long year) {
    int m = monthNumber;
    if (m < 3) {
        m += 12;
        year -= 1;
    }
    long long k = year - FloorDiv(year, 100) * 100;
    long long j = FloorDiv(year, 100);
    long long h = day + (13 * (m + 1)) / 5 + k + k / 4 + FloorDiv(j, 4) + 5 * j;
    long long saturdayFirst = h - FloorDiv(h, 7) * 7; // 0 = Saturday
    return static_cast<int>((saturdayFirst + 6) % 7);
}

// The weeks of `year` told by a counter rather than by arithmetic: from the
// Monday of the week of 4 January, count on a week every Monday, and start
// again at 1 on a Monday whose Thursday is in the next year (29-31 December).
// The walk goes on to 3 January, day 34 of December, and returns how many
// weeks the year had, or 0 at the first day IsoWeek disagrees.
int WalkIsoYear(int year) {
    int day = 4 - (ZellerWeekday(4, 1, year) + 6) % 7;
    int month = 1;
    int week = 0;
    int weeks = 0;
    for (int weekday = 0; month < 12 || day <= 34; weekday = (weekday + 1) % 7) {
        if (weekday == 0)
            week = (month == 12 && day >= 29) ? 1 : week + 1;
        weeks = week > weeks ? week : weeks;
        if (IsoWeek(day, month, year) != week) {
            ADD_FAILURE() << "IsoWeek(" << day << ", " << month << ", " << year
                          << ") = " << IsoWeek(day, month, year) << ", counted " << week;
            return 0;
        }
        if (++day > DaysInMonth(month, year) && month < 12) {
            day = 1;
            ++month;
        }
    }
    return weeks;
}

} // namespace

TEST(LeapYear, FollowsGregorianRules) {
    EXPECT_EQ(1, IsLeapYear(1996));
    EXPECT_EQ(0, IsLeapYear(1997));
    EXPECT_EQ(0, IsLeapYear(1900));
    EXPECT_EQ(1, IsLeapYear(2000));
    EXPECT_EQ(0, IsLeapYear(2100));
    EXPECT_EQ(1, IsLeapYear(0));
    EXPECT_EQ(1, IsLeapYear(-4));
    EXPECT_EQ(0, IsLeapYear(-100));
    EXPECT_EQ(1, IsLeapYear(-400));
    EXPECT_EQ(0, IsLeapYear(INT_MAX));
    EXPECT_EQ(1, IsLeapYear(INT_MIN)); // divisible by 4, not by 100
}

TEST(DaysInMonth, FebruaryAndTheLongMonths) {
    EXPECT_EQ(28, DaysInMonth(2, 1900));
    EXPECT_EQ(29, DaysInMonth(2, 2000));
    EXPECT_EQ(29, DaysInMonth(2, 1996));
    EXPECT_EQ(28, DaysInMonth(2, 2100));
    const int expected[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int total = 0;
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(expected[m - 1], DaysInMonth(m, 1997)) << m;
        total += DaysInMonth(m, 2024);
    }
    EXPECT_EQ(366, total);
}

TEST(FirstWeekday, AnchorDates) {
    EXPECT_EQ(1, FirstWeekday(1, 1940)); // Monday
    EXPECT_EQ(3, FirstWeekday(1, 1997)); // Wednesday
    EXPECT_EQ(5, FirstWeekday(3, 1996)); // Friday
    EXPECT_EQ(4, FirstWeekday(1, 1970)); // Thursday
    EXPECT_EQ(5, FirstWeekday(1, 2100)); // Friday
    EXPECT_EQ(6, FirstWeekday(1, 2101)); // Saturday, not the 28-year table's Sunday
    EXPECT_EQ(1, FirstWeekday(1, 1900)); // Monday
    EXPECT_EQ(6, FirstWeekday(1, 2000)); // Saturday
    EXPECT_EQ(6, FirstWeekday(1, 0));    // 1 January of year 0 (1 BC) was a Saturday
}

TEST(FirstWeekday, AgreesWithZellerForTwentyThousandYears) {
    for (int year = -10000; year <= 10000; ++year)
        for (int m = 1; m <= 12; ++m)
            ASSERT_EQ(ZellerWeekday(1, m, year), FirstWeekday(m, year)) << m << "/" << year;
}

TEST(FirstWeekday, ConsecutiveMonthsFollowOnAcrossYears) {
    // Walking day counts from 1940 both ways must meet every month's first day.
    int weekday = FirstWeekday(1, 1940);
    for (int year = 1940; year < 2400; ++year)
        for (int m = 1; m <= 12; ++m) {
            ASSERT_EQ(weekday, FirstWeekday(m, year)) << m << "/" << year;
            weekday = (weekday + DaysInMonth(m, year)) % 7;
        }
    weekday = FirstWeekday(1, 1940);
    for (int year = 1939; year > 1500; --year)
        for (int m = 12; m >= 1; --m) {
            weekday = (weekday + 7 - DaysInMonth(m, year) % 7) % 7;
            ASSERT_EQ(weekday, FirstWeekday(m, year)) << m << "/" << year;
        }
}

TEST(FirstWeekday, StaysInRangeAtTheIntLimits) {
    for (int year : {INT_MIN, INT_MIN + 1, INT_MAX - 1, INT_MAX})
        for (int m = 1; m <= 12; ++m) {
            int column = FirstWeekday(m, year);
            EXPECT_GE(column, 0);
            EXPECT_LE(column, 6);
            EXPECT_EQ(ZellerWeekday(1, m, year), column) << m << "/" << year;
        }
}

TEST(IsoWeek, AgreesWithAWeekCounter) {
    int longYears = 0;
    for (int year = 2000; year < 2400; ++year)
        longYears += WalkIsoYear(year) == 53;
    EXPECT_EQ(71, longYears);
    // The years next to these lie outside int.
    for (int year : {INT_MIN, INT_MIN + 1, INT_MAX - 1, INT_MAX}) {
        int weeks = WalkIsoYear(year);
        EXPECT_EQ(1, IsoWeek(4, 1, year)) << year;
        EXPECT_EQ(weeks, IsoWeek(28, 12, year)) << year;
    }
}

TEST(IsoWeek, KnownDatesAndDaysOutsideTheirMonth) {
    const struct {
        int day, monthNumber, year, week;
    } known[] = {{1, 1, 2026, 1},   {1, 1, 2021, 53},  {3, 1, 2021, 53},
                 {4, 1, 2021, 1},   {1, 1, 2027, 53},  {28, 12, 2020, 53},
                 {30, 12, 2024, 1}, {29, 12, 1997, 1}, {5, 3, 1997, 10}};
    for (const auto &k : known)
        EXPECT_EQ(k.week, IsoWeek(k.day, k.monthNumber, k.year))
            << k.day << "/" << k.monthNumber << "/" << k.year;
    // A day outside its month is the date it runs on to.
    const struct {
        int day, monthNumber, year, sameDay, sameMonth, sameYear;
    } outside[] = {{0, 3, 2024, 29, 2, 2024},
                   {-5, 3, 2023, 23, 2, 2023},
                   {-5, 1, 2021, 26, 12, 2020},
                   {32, 12, 2026, 1, 1, 2027},
                   {0, 1, INT_MIN + 1, 31, 12, INT_MIN},
                   {32, 12, INT_MAX - 1, 1, 1, INT_MAX}};
    for (const auto &o : outside)
        EXPECT_EQ(IsoWeek(o.sameDay, o.sameMonth, o.sameYear),
                  IsoWeek(o.day, o.monthNumber, o.year))
            << o.day << "/" << o.monthNumber << "/" << o.year;
}

// Against the compiler's own division, round zero and at the ends of the
// range, for the divisors the calendar uses.
TEST(FloorDivide, AgreesWithTheCompilersDivision) {
    for (long long value : {0LL, 1LL, -1LL, 6LL, -7LL, -8LL, 719468LL, -719469LL, 146096LL,
                            -146097LL, LLONG_MAX, LLONG_MIN, LLONG_MIN + 1}) {
        for (int divisor : {1, 7, 10, 12, 400, 146097, INT_MAX}) {
            int remainder = -1;
            long long quotient = FloorDivide(value, divisor, &remainder);
            long long expected = FloorDiv(value, divisor);
            EXPECT_EQ(expected, quotient) << value << " / " << divisor;
            // Unsigned: the product may leave the range, the difference is small.
            EXPECT_EQ(static_cast<unsigned long long>(value) -
                          static_cast<unsigned long long>(expected) * divisor,
                      static_cast<unsigned long long>(remainder))
                << value << " % " << divisor;
        }
    }
}

TEST(IsToday, ComparesMonthNumberWithMonthIndex) {
    CalendarDate today = {5, 2, 1997}; // 5 March 1997
    EXPECT_TRUE(IsToday(5, 3, 1997, today));
    EXPECT_FALSE(IsToday(5, 2, 1997, today));
    EXPECT_FALSE(IsToday(5, 4, 1997, today));
    EXPECT_FALSE(IsToday(5, 3, 1996, today));
    EXPECT_FALSE(IsToday(6, 3, 1997, today));
}

TEST(Names, TablesAsShown) {
    EXPECT_STREQ("JANUARY", MonthName(0));
    EXPECT_STREQ("SEPTEMBER", MonthName(8));
    EXPECT_STREQ("NOVEMBER ", MonthName(10));
    EXPECT_STREQ("DECEMBER ", MonthName(11));
    for (int m = 0; m < 10; ++m)
        EXPECT_NE(' ', MonthName(m)[strlen(MonthName(m)) - 1]) << m;
    const char *letters = "SMTWTFS";
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(1u, strlen(WeekdayLetter(c)));
        EXPECT_EQ(letters[c], WeekdayLetter(c)[0]);
    }
}

TEST(FormatNumber, DecimalWidthAndGroups) {
    struct Case {
        long long value;
        int width;
        bool grouped;
        const char *text;
    };
    const Case cases[] = {
        {7, 1, false, "7"},
        {0, 1, false, "0"},
        {-1940, 1, false, "-1940"},
        {INT_MIN, 1, false, "-2147483648"},
        {INT_MAX, 1, false, "2147483647"},
        {5, 4, false, "0005"},
        {-5, 4, false, "-0005"},
        {10, 1, false, "10"},
        {-10, 1, false, "-10"},
        {999, 1, true, "999"},
        {1000, 1, true, "1,000"},
        {-1234567, 1, true, "-1,234,567"},
        {LLONG_MAX, 1, true, "9,223,372,036,854,775,807"},
        {LLONG_MIN, 1, true, "-9,223,372,036,854,775,808"},
    };
    for (const Case &c : cases) {
        char text[28];
        EXPECT_EQ(static_cast<int>(strlen(c.text)),
                  FormatNumber(c.value, text, c.width, c.grouped));
        EXPECT_STREQ(c.text, text) << c.value;
    }
}

// What GetLocalTime fills in, around the end of 32-bit seconds (19 January
// 2038, 03:14:07 UTC: day 24855) and 2100, which is no leap year; counted
// by hand from 1970 (130 years of 365 days and 32 leap days to 2100).
TEST(DateOfSystemTime, HoldsPast2038) {
    struct Case {
        int year, month, day;
        long long dayNumber;
    };
    const Case cases[] = {
        {2038, 1, 19, 24855},          {2038, 1, 20, 24856},        {2100, 2, 28, 47482 + 31 + 27},
        {2100, 3, 1, 47482 + 31 + 28}, {2100, 12, 31, 47482 + 364},
    };
    for (const Case &c : cases) {
        CalendarDate date = DateOfSystemTime(c.year, c.month, c.day);
        EXPECT_EQ(c.day, date.day);
        EXPECT_EQ(c.month - 1, date.month);
        EXPECT_EQ(c.year, date.year);
        EXPECT_EQ(c.dayNumber, DayNumber(date.year, date.month + 1, date.day)) << c.year;
    }
    // No such days: 29 February 2100, a thirteenth month, a day 0.
    const Case none[] = {{2100, 2, 29, 0}, {2038, 13, 1, 0}, {2038, 1, 0, 0}, {2038, 0, 5, 0}};
    for (const Case &c : none) {
        CalendarDate date = DateOfSystemTime(c.year, c.month, c.day);
        EXPECT_EQ(1970, date.year) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(0, date.month);
        EXPECT_EQ(1, date.day);
    }
}
