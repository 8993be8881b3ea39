#include "focus.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// A view on today, its focus then put on `focus` with the view at `shown`.
CalendarView ViewWithFocus(CalendarDate focus, MonthOfYear shown) {
    CalendarView view;
    Init(view, CalendarDate{15, 0, 1997});
    view.focus = focus;
    view.shownMonth = shown.month;
    view.shownYear = shown.year;
    return view;
}

::testing::AssertionResult Is(const CalendarDate &expected, const CalendarDate &seen) {
    if (expected.day == seen.day && expected.month == seen.month && expected.year == seen.year)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << seen.year << "-" << seen.month + 1 << "-" << seen.day;
}

} // namespace

TEST(FocusMonths, KeepTheDayOfTheMonthOrTheLastDay) {
    const struct {
        CalendarDate from;
        long long months;
        CalendarDate to;
    } cases[] = {
        {{15, 0, 1997}, 1, {15, 1, 1997}},  {{31, 0, 1997}, 1, {28, 1, 1997}},
        {{31, 0, 1996}, 1, {29, 1, 1996}},  {{29, 1, 1996}, 12, {28, 1, 1997}},
        {{29, 1, 1996}, 48, {29, 1, 2000}}, {{31, 2, 1997}, -1, {28, 1, 1997}},
        {{31, 11, 1996}, 1, {31, 0, 1997}}, {{15, 0, 1997}, -13, {15, 11, 1995}},
        {{30, 3, 2026}, 0, {30, 3, 2026}},  {{31, 7, 2026}, -2, {30, 5, 2026}},
    };
    for (const auto &c : cases)
        EXPECT_TRUE(Is(c.to, AddMonthsKeepingDay(c.from, c.months)))
            << c.from.year << "-" << c.from.month + 1 << "-" << c.from.day << " + " << c.months;
}

// Each move from a focus on a view, where the focus lands and which month
// the view then shows in the middle.
TEST(FocusMoves, ByDayWeekAndToTheMonthsEnd) {
    const struct {
        CalendarDate from;
        MonthOfYear shown;
        FocusMove move;
        CalendarDate to;
        MonthOfYear shownAfter;
    } cases[] = {
        {{15, 0, 1997}, {0, 1997}, FocusMove::nextDay, {16, 0, 1997}, {0, 1997}},
        {{15, 0, 1997}, {0, 1997}, FocusMove::prevDay, {14, 0, 1997}, {0, 1997}},
        {{15, 0, 1997}, {0, 1997}, FocusMove::nextWeek, {22, 0, 1997}, {0, 1997}},
        {{15, 0, 1997}, {0, 1997}, FocusMove::prevWeek, {8, 0, 1997}, {0, 1997}},
        {{15, 0, 1997}, {0, 1997}, FocusMove::monthEnd, {31, 0, 1997}, {0, 1997}},
        {{10, 1, 1996}, {1, 1996}, FocusMove::monthEnd, {29, 1, 1996}, {1, 1996}},
        // Across a month and a year, still in the three months shown.
        {{1, 0, 1997}, {0, 1997}, FocusMove::prevDay, {31, 11, 1996}, {0, 1997}},
        {{28, 0, 1997}, {0, 1997}, FocusMove::nextWeek, {4, 1, 1997}, {0, 1997}},
        {{3, 0, 1997}, {0, 1997}, FocusMove::prevWeek, {27, 11, 1996}, {0, 1997}},
        // Out of the three: the focus's month comes to the middle.
        {{28, 1, 1997}, {0, 1997}, FocusMove::nextDay, {1, 2, 1997}, {2, 1997}},
        {{1, 11, 1996}, {0, 1997}, FocusMove::prevDay, {30, 10, 1996}, {10, 1996}},
        {{26, 1, 1997}, {0, 1997}, FocusMove::nextWeek, {5, 2, 1997}, {2, 1997}},
        {{5, 11, 1996}, {0, 1997}, FocusMove::prevWeek, {28, 10, 1996}, {10, 1996}},
        {{31, 11, 2026}, {10, 2026}, FocusMove::nextDay, {1, 0, 2027}, {0, 2027}},
    };
    for (const auto &c : cases) {
        CalendarView view = ViewWithFocus(c.from, c.shown);
        ASSERT_TRUE(MoveFocus(view, c.move)) << c.from.day << "/" << c.from.month + 1;
        EXPECT_TRUE(Is(c.to, view.focus)) << c.from.day << "/" << c.from.month + 1;
        EXPECT_EQ(c.shownAfter.month, view.shownMonth) << c.from.day << "/" << c.from.month + 1;
        EXPECT_EQ(c.shownAfter.year, view.shownYear) << c.from.day << "/" << c.from.month + 1;
    }
}

// The view's own steps take the focus along, on its day of the month, so
// it stays in its panel; back on today, the focus is today again.
TEST(FocusMoves, ViewStepsCarryItAndTodayBringsItBack) {
    const struct {
        void (*step)(CalendarView &);
        CalendarDate to;
    } steps[] = {
        {NextMonth, {28, 1, 1997}}, {NextYear, {28, 1, 1998}},    {PrevMonth, {28, 0, 1998}},
        {PrevYear, {28, 0, 1997}},  {BackToToday, {15, 0, 1997}},
    };
    CalendarView view = ViewWithFocus({31, 0, 1997}, {0, 1997});
    for (const auto &s : steps) {
        s.step(view);
        EXPECT_TRUE(Is(s.to, view.focus));
        EXPECT_EQ(1, PanelOfDay(view, view.focus));
    }
    // A new date brings the view, and the focus, to it.
    NextYear(view);
    ASSERT_TRUE(Tick(view, {16, 0, 1997}));
    EXPECT_TRUE(Is({16, 0, 1997}, view.focus));
}

TEST(FocusMoves, StopAtTheYearsTheViewCanShow) {
    CalendarView view = ViewWithFocus({31, 11, kMaxShownYear}, {11, kMaxShownYear});
    ASSERT_TRUE(MoveFocus(view, FocusMove::nextDay));
    EXPECT_TRUE(Is({1, 0, INT_MAX}, view.focus));
    EXPECT_EQ(kMaxShownYear, view.shownYear);
    view.focus = {31, 0, INT_MAX};
    EXPECT_FALSE(MoveFocus(view, FocusMove::nextDay));
    EXPECT_TRUE(Is({31, 0, INT_MAX}, view.focus));
    view = ViewWithFocus({1, 0, kMinShownYear}, {0, kMinShownYear});
    ASSERT_TRUE(MoveFocus(view, FocusMove::prevWeek));
    EXPECT_EQ(INT_MIN, view.focus.year);
    view.focus = {1, 11, INT_MIN};
    EXPECT_FALSE(MoveFocus(view, FocusMove::prevDay));
    EXPECT_EQ(0, view.shownMonth);
}

TEST(FocusPanels, WhichPanelShowsADay) {
    CalendarView view = ViewWithFocus({15, 0, 1997}, {0, 1997});
    EXPECT_EQ(0, PanelOfDay(view, {31, 11, 1996}));
    EXPECT_EQ(1, PanelOfDay(view, {1, 0, 1997}));
    EXPECT_EQ(2, PanelOfDay(view, {28, 1, 1997}));
    EXPECT_EQ(-1, PanelOfDay(view, {1, 2, 1997}));
    EXPECT_EQ(-1, PanelOfDay(view, {1, 0, 1998}));
}
