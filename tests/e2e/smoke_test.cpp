// One start of the calendar, through what a user does first: it shows the
// month around today with today in red, steps a month, and closes with X,
// leaving its place in the settings file. It is the one test the 32-bit
// calendar gets everywhere, also where it runs under an emulator and takes
// most of a minute to appear (smoke32.sh), so its waits are long.
#include "e2e.h"

#include <cstdlib>
#include <string>

namespace {

// An emulated 32-bit calendar has appeared after 40 s on an idle machine;
// the waits leave room for a busy one.
const ULONGLONG kAppearMs = 240000;
const ULONGLONG kAnswerMs = 60000;

class SmokeTest : public CalendarTest {};

// The bits of the calendar ctest means to drive: 32 or 64.
int ExpectedBits() {
    const char *bits = getenv("TRICAL_EXPECT_BITS");
    return bits ? atoi(bits) : 0;
}

} // namespace

TEST_F(SmokeTest, StartsOnTodayStepsAndSavesItsPlace) {
    const int bits = ExpectedBits();
    ASSERT_TRUE(bits == 32 || bits == 64) << "TRICAL_EXPECT_BITS must be 32 or 64";
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(StartTrical("", &process_)) << "CreateProcess failed, error " << GetLastError();

    // This driver is a 64-bit program: a 32-bit one beside it runs under WoW64.
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(process_.hProcess, &wow64)) << "error " << GetLastError();
    EXPECT_EQ(bits == 32, wow64 != FALSE)
        << "the calendar started is not the " << bits << "-bit one";

    dialog_ = WaitForCalendar(process_, kAppearMs);
    ASSERT_TRUE(dialog_) << "no calendar within " << kAppearMs / 1000 << " s";
    EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(0), 0));

    // Today in red in the middle panel, and nowhere else.
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    const CalendarDate today = StartDate();
    Frames frames;
    ASSERT_TRUE(WaitForSettledFrames(dialog_, StartMonth(), today, &frames));
    PanelPlan middle = PlanPanel(dialog_, 1, StartMonth(), today);
    EXPECT_TRUE(ColourAbsent(frames.panel[0], kRed)) << "left panel";
    EXPECT_TRUE(
        ColourOnlyIn(frames.panel[1], kRed, CellOf(middle, middle.layout.days[today.day - 1])))
        << "middle panel";
    EXPECT_TRUE(ColourAbsent(frames.panel[2], kRed)) << "right panel";

    ASSERT_TRUE(ClickButton(dialog_, kNextMonthButton));
    EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(1), kAnswerMs));

    RECT place = WindowRectOf(dialog_);
    ASSERT_TRUE(CloseWithX());
    EXPECT_TRUE(SavedPlaceIs(place.left, place.top));
}
