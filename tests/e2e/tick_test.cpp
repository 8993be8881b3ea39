// The calendar's once-a-minute look at the date, through its real timer.
#include "e2e.h"

#include <string>

namespace {

using TickTest = CalendarTest;

// Waits, until the deadline, for the titles to change from `from`; they must
// then settle on `expected` (the three titles are set one after the other).
// `after` tells how long after `since` the change came.
::testing::AssertionResult ChangesTo(HWND dialog, const Titles &from, const Titles &expected,
                                     ULONGLONG since, ULONGLONG deadline, ULONGLONG *after) {
    ::testing::AssertionResult changed = Eventually(
        [&] {
            *after = Now() - since;
            return ::testing::AssertionResult(!SameTitles(ReadTitles(dialog), from))
                   << "the titles stayed " << Describe(from) << " for " << *after << " ms";
        },
        deadline > Now() ? deadline - Now() : 0);
    if (!changed)
        return changed;
    ::testing::AssertionResult settled = TitlesBecome(dialog, expected, 5000);
    if (!settled)
        return ::testing::AssertionFailure()
               << "after " << *after << " ms the titles changed: " << settled.message();
    return settled;
}

} // namespace

// The timer runs every minute from the dialog's creation, so its ticks come
// about 60, 120 and 180 s after the start. The clock is set so that the first
// tick still sees 31 March 2030 (midnight falls 85 s after the start), the
// second 1 April, and the third, after the clock jumped thirty days, 1 May.
// Each time the user has moved the view away from today's month first.
TEST_F(TickTest, NewDateBringsTheViewBackToToday) {
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(SetLocalClock(2030, 3, 31, 23, 58, 35));
    ULONGLONG started = Now();
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(TitlesBecome(dialog_, {"FEBRUARY 2030", "MARCH 2030", "APRIL 2030"}, 0));
    // The timer's phase is only known to within the time the start took.
    ULONGLONG startup = Now() - started;
    ASSERT_LT(startup, 20000u) << "the start took too long for this clock plan";

    const Titles awayFromMarch = {"FEBRUARY 2031", "MARCH 2031", "APRIL 2031"};
    ASSERT_TRUE(Press(dialog_, kNextYearButton, awayFromMarch));
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));

    // The tick at about 60 s (same date) must leave the view alone; the one at
    // about 120 s (new date) must bring it to April 2030.
    const Titles april = {"MARCH 2030", "APRIL 2030", "MAY 2030"};
    ULONGLONG changedAfter = 0;
    EXPECT_TRUE(ChangesTo(dialog_, awayFromMarch, april, started, started + 150000, &changedAfter));
    EXPECT_GE(changedAfter, 85000u) << "the view moved before the date changed";

    // The old today (31 March, left panel) is no longer red; 1 April is.
    Frames frames;
    EXPECT_TRUE(PanelsMatchThePlan(dialog_, {3, 2030}, {1, 3, 2030}, &frames));

    // The same day number a month later is a new date too.
    const Titles awayFromApril = {"MARCH 2029", "APRIL 2029", "MAY 2029"};
    ASSERT_TRUE(Press(dialog_, kPrevYearButton, awayFromApril));
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    ASSERT_TRUE(ShiftClock(30LL * 24 * 60 * 60));
    ASSERT_LT(Now() - started, 170000u) << "too late to move the clock before the third tick";
    const Titles may = {"APRIL 2030", "MAY 2030", "JUNE 2030"};
    EXPECT_TRUE(ChangesTo(dialog_, awayFromApril, may, started, started + 210000, &changedAfter));

    EXPECT_TRUE(PanelsMatchThePlan(dialog_, {4, 2030}, {1, 4, 2030}, &frames));
    EXPECT_TRUE(CloseWithX());
}
