// Where the calendar opens, and what TRICAL.INI remembers of it.
#include "e2e.h"

#include <string>

namespace {

struct Size {
    int width;
    int height;
};

Size SizeOf(const RECT &r) { return {r.right - r.left, r.bottom - r.top}; }

std::string Settings(const std::string &x, const std::string &y) {
    return "[LOC]\r\nXLOC=" + x + "\r\nYLOC=" + y + "\r\n";
}

::testing::AssertionResult WindowAt(HWND window, int x, int y) {
    RECT r = WindowRectOf(window);
    if (r.left == x && r.top == y)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the window is at (" << r.left << ", " << r.top
                                         << "), expected (" << x << ", " << y << ")";
}

::testing::AssertionResult WindowComesTo(HWND window, int x, int y) {
    ULONGLONG deadline = Now() + 10000;
    while (!WindowAt(window, x, y) && Now() < deadline)
        Sleep(15);
    return WindowAt(window, x, y);
}

using PlacementTest = CalendarTest;

} // namespace

TEST_F(PlacementTest, FirstStartIsCentredAndClosingSavesThePlace) {
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(Launch());
    Size size = SizeOf(WindowRectOf(dialog_));
    POINT centre = CentredPlace(size.width, size.height);
    EXPECT_TRUE(WindowAt(dialog_, centre.x, centre.y));
    // Nothing is written while the calendar is open.
    std::string text;
    EXPECT_FALSE(ReadSettings(&text)) << "TRICAL.INI appeared before the calendar closed:\n"
                                      << text;
    ASSERT_TRUE(CloseWithX());
    EXPECT_TRUE(SavedPlaceIs(centre.x, centre.y));
}

// Dragged by its body, also until it hangs off the screen's top-left corner.
TEST_F(PlacementTest, DraggedPlaceIsSavedAndRestored) {
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(Launch());
    // Hanging off the left and top, but not so far that X is out of reach.
    const POINT places[] = {{-60, -8}, {150, 120}};
    for (const POINT &place : places) {
        SCOPED_TRACE("dragged to (" + std::to_string(place.x) + ", " + std::to_string(place.y) +
                     ")");
        RECT from = WindowRectOf(dialog_);
        POINT grip = BareBodyPoint(dialog_);
        ASSERT_TRUE(
            Drag(dialog_, grip, {grip.x + place.x - from.left, grip.y + place.y - from.top}));
        ASSERT_TRUE(WindowComesTo(dialog_, place.x, place.y));
        ASSERT_TRUE(CloseWithX());
        EXPECT_TRUE(SavedPlaceIs(place.x, place.y));
        EndCalendar();
        ASSERT_TRUE(Launch());
        EXPECT_TRUE(WindowAt(dialog_, place.x, place.y));
    }
    EXPECT_TRUE(CloseWithX());
}

// Places edited into the file, down to a single pixel left on the screen.
TEST_F(PlacementTest, SavedPlaceIsRestoredAndSavedAgain) {
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(Launch());
    Size size = SizeOf(WindowRectOf(dialog_));
    ASSERT_TRUE(CloseWithX());
    EndCalendar();

    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const POINT places[] = {
        {100, 50},
        {0, 0},
        // Partly off the top-left, then partly off the bottom-right.
        {-40, -25},
        {screenWidth - size.width / 2, screenHeight - size.height / 2},
        // A single pixel row and column still on the screen.
        {1 - size.width, 1 - size.height},
        {screenWidth - 1, screenHeight - 1},
    };
    for (const POINT &place : places) {
        SCOPED_TRACE("saved place (" + std::to_string(place.x) + ", " + std::to_string(place.y) +
                     ")");
        ASSERT_TRUE(WriteSettings(Settings(std::to_string(place.x), std::to_string(place.y))));
        ASSERT_TRUE(Launch());
        EXPECT_TRUE(WindowAt(dialog_, place.x, place.y));
        ASSERT_TRUE(Close());
        EXPECT_TRUE(SavedPlaceIs(place.x, place.y));
        EndCalendar();
    }

    // An explicit plus sign is still a whole decimal number.
    ASSERT_TRUE(WriteSettings(Settings("+120", "+80")));
    ASSERT_TRUE(Launch());
    EXPECT_TRUE(WindowAt(dialog_, 120, 80));
    ASSERT_TRUE(CloseWithX());
    EXPECT_TRUE(SavedPlaceIs(120, 80));
}

TEST_F(PlacementTest, UnusableSavedPlaceGivesTheCentredPlace) {
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(Launch());
    Size size = SizeOf(WindowRectOf(dialog_));
    POINT centre = CentredPlace(size.width, size.height);
    ASSERT_TRUE(CloseWithX());
    EndCalendar();

    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const std::string w = std::to_string(size.width);
    const std::string h = std::to_string(size.height);
    const struct {
        const char *why;
        std::string text;
    } cases[] = {
        {"no YLOC", "[LOC]\r\nXLOC=100\r\n"},
        {"no XLOC", "[LOC]\r\nYLOC=100\r\n"},
        {"no [LOC] section", "[OTHER]\r\nXLOC=100\r\nYLOC=100\r\n"},
        {"XLOC 9999 means no saved place", Settings("9999", "100")},
        {"entirely left of the screen", Settings("-" + w, "100")},
        {"entirely above the screen", Settings("100", "-" + h)},
        {"entirely right of the screen", Settings(std::to_string(screenWidth), "100")},
        {"entirely below the screen", Settings("100", std::to_string(screenHeight))},
        {"far away", Settings("5000", "5000")},
        {"lowest ints", Settings("-2147483648", "-2147483648")},
        {"highest ints", Settings("2147483647", "2147483647")},
        {"letters", Settings("abc", "100")},
        {"trailing letters", Settings("12abc", "100")},
        {"empty value", Settings("", "100")},
        {"beyond the int range", Settings("99999999999", "100")},
        {"beyond the int range by one", Settings("2147483648", "100")},
        {"hexadecimal", Settings("0x10", "100")},
        {"bad YLOC", Settings("100", "12abc")},
        {"empty YLOC", Settings("100", "")},
        {"a sign alone", Settings("-", "100")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.why) + ": " + c.text);
        ASSERT_TRUE(WriteSettings(c.text));
        ASSERT_TRUE(Launch());
        EXPECT_TRUE(WindowAt(dialog_, centre.x, centre.y));
        ASSERT_TRUE(CloseWithX());
        EXPECT_TRUE(SavedPlaceIs(centre.x, centre.y));
        EndCalendar();
    }
}
