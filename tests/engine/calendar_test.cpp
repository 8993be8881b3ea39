#include "calendar.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

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

TEST(FormatInt, DecimalWithoutPadding) {
    char text[12];
    EXPECT_EQ(1, FormatInt(7, text));
    EXPECT_STREQ("7", text);
    EXPECT_EQ(2, FormatInt(31, text));
    EXPECT_STREQ("31", text);
    FormatInt(0, text);
    EXPECT_STREQ("0", text);
    FormatInt(-1940, text);
    EXPECT_STREQ("-1940", text);
    EXPECT_EQ(11, FormatInt(INT_MIN, text));
    EXPECT_STREQ("-2147483648", text);
    FormatInt(INT_MAX, text);
    EXPECT_STREQ("2147483647", text);
}

// localtime, not gmtime: midnight UTC on 1 January 1970 is still
// 31 December 1969 five hours west of Greenwich.
TEST(LocalDate, UsesTheLocalTimeZone) {
    const char *saved = getenv("TZ");
    std::string restore = saved ? saved : "";
#ifdef _WIN32
    _putenv("TZ=EST5");
    _tzset();
#else
    setenv("TZ", "EST5", 1);
    tzset();
#endif
    CalendarDate date = LocalDate(0);
    EXPECT_EQ(31, date.day);
    EXPECT_EQ(11, date.month);
    EXPECT_EQ(1969, date.year);
    date = LocalDate(5 * 3600 + 24 * 3600 * 59); // 1 March 1970, 00:00 local
    EXPECT_EQ(1, date.day);
    EXPECT_EQ(2, date.month);
    EXPECT_EQ(1970, date.year);
#ifdef _WIN32
    _putenv(("TZ=" + restore).c_str());
    _tzset();
#else
    if (saved)
        setenv("TZ", restore.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
#endif
}
