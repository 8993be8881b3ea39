// One start of the calendar, through what a user does first: it shows the
// month around today with today in red, steps a month, and closes with X,
// leaving its place in the settings file. It is the one test the 32-bit
// calendar gets everywhere, also where it runs under an emulator and takes
// most of a minute to appear (smoke32.sh), so its waits are long.
#include "e2e.h"

#include <string>

namespace {

// An emulated 32-bit calendar has appeared after 40 s on an idle machine;
// the waits leave room for a busy one.
const ULONGLONG kAppearMs = 240000;
const ULONGLONG kAnswerMs = 60000;

class SmokeTest : public CalendarTest {};

} // namespace

TEST_F(SmokeTest, StartsOnTodayStepsAndSavesItsPlace) {
    ASSERT_TRUE(RemoveSettings());
    // Fails unless the process is of the bitness the group is about.
    ASSERT_TRUE(StartTrical("", &process_));
    dialog_ = WaitForCalendar(process_, kAppearMs);
    ASSERT_TRUE(dialog_) << "no calendar within " << kAppearMs / 1000 << " s";
    EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(0), 0));

    // Every day in its cell, today in red and nothing red elsewhere.
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    Frames frames;
    EXPECT_TRUE(PanelsMatchThePlan(dialog_, StartMonth(), StartDate(), &frames));

    ASSERT_TRUE(ClickButton(dialog_, kNextMonthButton));
    EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(1), kAnswerMs));

    RECT place = WindowRectOf(dialog_);
    ASSERT_TRUE(CloseWithX());
    EXPECT_TRUE(SavedPlaceIs(place.left, place.top));
}
