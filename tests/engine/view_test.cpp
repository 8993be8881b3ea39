#include "view.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

CalendarView ViewOn(int day, int month, int year) {
    CalendarView view;
    Init(view, CalendarDate{day, month, year});
    return view;
}

void ExpectShows(const CalendarView &view, int month, int year) {
    EXPECT_EQ(month, view.shownMonth);
    EXPECT_EQ(year, view.shownYear);
}

} // namespace

TEST(ViewInit, ShowsTodaysMonth) {
    CalendarView view = ViewOn(5, 2, 1997);
    ExpectShows(view, 2, 1997);
    EXPECT_EQ(5, view.today.day);
}

TEST(ViewNavigation, MonthStepsCrossYearEnds) {
    CalendarView view = ViewOn(1, 0, 1997);
    PrevMonth(view);
    ExpectShows(view, 11, 1996);
    NextMonth(view);
    ExpectShows(view, 0, 1997);
    for (int i = 0; i < 12; ++i)
        PrevMonth(view);
    ExpectShows(view, 0, 1996);
    NextYear(view);
    ExpectShows(view, 0, 1997);
}

TEST(ViewNavigation, YearStepsKeepTheMonth) {
    CalendarView view = ViewOn(1, 2, 1997);
    PrevYear(view);
    ExpectShows(view, 2, 1996);
    NextYear(view);
    NextYear(view);
    ExpectShows(view, 2, 1998);
}

TEST(ViewNavigation, StopsShortOfTheIntLimits) {
    CalendarView view = ViewOn(1, 0, 2000);
    view.shownYear = kMaxShownYear;
    view.shownMonth = 11;
    NextMonth(view);
    NextYear(view);
    ExpectShows(view, 11, kMaxShownYear);
    EXPECT_EQ(INT_MAX, NextNeighbour(view).year);
    view.shownYear = kMinShownYear;
    view.shownMonth = 0;
    PrevMonth(view);
    PrevYear(view);
    ExpectShows(view, 0, kMinShownYear);
    EXPECT_EQ(INT_MIN, PrevNeighbour(view).year);
    EXPECT_STREQ("DECEMBER  -2147483648", Title(11, PrevNeighbour(view).year).text);
}

TEST(ViewNeighbours, WrapAtYearEnds) {
    CalendarView view = ViewOn(1, 0, 1997);
    MonthOfYear prev = PrevNeighbour(view);
    MonthOfYear next = NextNeighbour(view);
    EXPECT_EQ(11, prev.month);
    EXPECT_EQ(1996, prev.year);
    EXPECT_EQ(1, next.month);
    EXPECT_EQ(1997, next.year);
    view.shownMonth = 11;
    next = NextNeighbour(view);
    EXPECT_EQ(0, next.month);
    EXPECT_EQ(1998, next.year);
    EXPECT_EQ(10, PrevNeighbour(view).month);
}

TEST(ViewBackToToday, UsesTheStoredTodayNotTheClock) {
    CalendarView view = ViewOn(31, 2, 2030);
    NextYear(view);
    BackToToday(view);
    ExpectShows(view, 2, 2030);
}

TEST(ViewTick, SameDateLeavesANavigatedViewAlone) {
    CalendarView view = ViewOn(15, 5, 2030);
    NextMonth(view);
    EXPECT_FALSE(Tick(view, CalendarDate{15, 5, 2030}));
    ExpectShows(view, 6, 2030);
}

TEST(ViewTick, MidnightAtMonthEndMovesToTheNewMonthOnce) {
    CalendarView view = ViewOn(31, 2, 2030);
    PrevYear(view);
    EXPECT_TRUE(Tick(view, CalendarDate{1, 3, 2030}));
    ExpectShows(view, 3, 2030);
    NextMonth(view);
    EXPECT_FALSE(Tick(view, CalendarDate{1, 3, 2030}));
    ExpectShows(view, 4, 2030);
}

TEST(ViewTick, YearEnd) {
    CalendarView view = ViewOn(31, 11, 2030);
    EXPECT_TRUE(Tick(view, CalendarDate{1, 0, 2031}));
    ExpectShows(view, 0, 2031);
}

TEST(ViewTick, SameDayNumberInAnotherMonthIsANewDate) {
    CalendarView view = ViewOn(5, 2, 2030);
    NextYear(view);
    EXPECT_TRUE(Tick(view, CalendarDate{5, 3, 2030})); // asleep 5 March to 5 April
    ExpectShows(view, 3, 2030);
    EXPECT_TRUE(Tick(view, CalendarDate{5, 3, 2031})); // asleep a whole year
    ExpectShows(view, 3, 2031);
}

TEST(ViewTick, BackToTodayFollowsTheLastTick) {
    CalendarView view = ViewOn(31, 2, 2030);
    Tick(view, CalendarDate{1, 3, 2030});
    PrevYear(view);
    BackToToday(view);
    ExpectShows(view, 3, 2030);
}

TEST(Title, NameBlankYear) {
    EXPECT_STREQ("FEBRUARY 1996", Title(1, 1996).text);
    EXPECT_STREQ("DECEMBER  1996", Title(11, 1996).text);
    EXPECT_STREQ("NOVEMBER  2030", Title(10, 2030).text);
    EXPECT_STREQ("MAY -44", Title(4, -44).text);
    EXPECT_STREQ("SEPTEMBER 2147483647", Title(8, INT_MAX).text);
}
