#include "daydetails.h"

#include <gtest/gtest.h>

#include <climits>
#include <cwchar>
#include <string>

namespace {

// CalendarDate as people write it: day, month 1-12, year.
CalendarDate Day(int day, int monthNumber, int year) { return {day, monthNumber - 1, year}; }

// The first or the second of the two lines, in UTF-8's ASCII.
std::string Line(const CalendarDate &today, const CalendarDate &date, int which) {
    wchar_t text[128];
    FormatDayPlace(today, date, text, 128);
    std::wstring both(text);
    size_t brk = both.find(L"\r\n");
    std::wstring line = which == 0 ? both.substr(0, brk) : both.substr(brk + 2);
    return std::string(line.begin(), line.end());
}

TEST(FormatDayPlace, WeekDayAndLengthOfTheYear) {
    struct Case {
        CalendarDate date;
        const char *expected;
    };
    const Case kCases[] = {
        {Day(9, 12, 2026), "Week 50, day 343 of 365"},
        {Day(1, 3, 2023), "Week 9, day 60 of 365"},
        {Day(1, 3, 2024), "Week 9, day 61 of 366"},
        // A year's last days in the next year's week 1, its first in the
        // last year's week 53, and the leap rules of centuries.
        {Day(31, 12, 2020), "Week 53, day 366 of 366"},
        {Day(1, 1, 2021), "Week 53, day 1 of 365"},
        {Day(30, 12, 2024), "Week 1, day 365 of 366"},
        {Day(31, 12, 1900), "Week 1, day 365 of 365"},
        {Day(31, 12, 2000), "Week 52, day 366 of 366"},
    };
    for (const Case &c : kCases)
        EXPECT_EQ(c.expected, Line(c.date, c.date, 0));
}

TEST(FormatDayPlace, FromTodayInDaysAndPastSixtyRoughly) {
    struct Case {
        CalendarDate today;
        CalendarDate date;
        const char *expected;
    };
    const CalendarDate today = Day(9, 12, 2026);
    const Case kCases[] = {
        {today, today, "Today"},
        {today, Day(10, 12, 2026), "Tomorrow"},
        {today, Day(8, 12, 2026), "Yesterday"},
        {today, Day(21, 12, 2026), "In 12 days"},
        {today, Day(6, 12, 2026), "3 days ago"},
        {today, Day(7, 2, 2027), "In 60 days"},
        {today, Day(8, 2, 2027), "In 61 days (about 2 months)"},
        {today, Day(3, 5, 2027), "In 145 days (about 5 months)"},
        {today, Day(13, 1, 2028), "In 400 days (about 1 year 1 month)"},
        {today, Day(14, 3, 2024), "1,000 days ago (about 2 years 9 months)"},
        {today, Day(9, 12, 2027), "In 365 days (about 1 year)"},
        // Half a month rounds up; a month after 31 January is February's end.
        {Day(1, 1, 2026), Day(16, 3, 2026), "In 74 days (about 2 months)"},
        {Day(1, 1, 2026), Day(17, 3, 2026), "In 75 days (about 3 months)"},
        {Day(31, 1, 2025), Day(30, 4, 2025), "In 89 days (about 3 months)"},
        {today, Day(9, 12, 102026), "In 36,524,250 days (about 100,000 years)"},
        {Day(1, 1, INT_MIN), Day(31, 12, INT_MAX),
         "In 1,568,704,592,609 days (about 4,294,967,296 years)"},
    };
    for (const Case &c : kCases)
        EXPECT_EQ(c.expected, Line(c.today, c.date, 1));
    wchar_t small[8];
    EXPECT_EQ(7, FormatDayPlace(today, today, small, 8));
    EXPECT_EQ(std::wstring(L"Week 50"), small);
}

TEST(FormatIsoDate, FourDigitYearsAndTheExpandedForm) {
    struct Case {
        CalendarDate date;
        const char *expected;
    };
    const Case kCases[] = {
        {Day(9, 12, 2026), "2026-12-09"},
        {Day(1, 1, 5), "0005-01-01"},
        {Day(29, 2, 0), "0000-02-29"},
        {Day(15, 3, -44), "-0044-03-15"},
        {Day(1, 1, 12345), "+12345-01-01"},
        {Day(31, 12, INT_MAX), "+2147483647-12-31"},
        {Day(1, 1, INT_MIN), "-2147483648-01-01"},
    };
    for (const Case &c : kCases) {
        wchar_t text[32];
        FormatIsoDate(c.date, text, 32);
        EXPECT_EQ(std::string(c.expected), std::string(text, text + wcslen(text)));
    }
}

} // namespace
