// Where the calendar opens, and what TRICAL.INI remembers of it.
#include "e2e.h"

#include <string>
#include <utility>

namespace {

struct Size {
    int width;
    int height;
};

Size SizeOf(const RECT &r) { return {r.right - r.left, r.bottom - r.top}; }

std::string Settings(const std::string &x, const std::string &y) {
    return "[LOC]\r\nXLOC=" + x + "\r\nYLOC=" + y + "\r\n";
}

using PlacementTest = CalendarTest;

// Whatever a test leaves of older or portable settings files, or in the
// way of the settings folder, goes after it.
class SettingsFileTest : public CalendarTest {
  protected:
    void TearDown() override {
        CalendarTest::TearDown();
        for (const std::string &path :
             {OldSettingsPath(OldPlace::windowsFolder), OldSettingsPath(OldPlace::virtualStore),
              PortableSettingsPath()})
            EXPECT_TRUE(RemoveSettings(path)) << path;
        DWORD attributes = GetFileAttributesA(SettingsFolder().c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            EXPECT_TRUE(DeleteFileA(SettingsFolder().c_str()));
        }
    }
};

} // namespace

TEST_F(PlacementTest, FirstStartIsCentredAndClosingSavesThePlace) {
    ASSERT_TRUE(RemoveSettings());
    const std::string oldFiles[] = {OldSettingsPath(OldPlace::windowsFolder),
                                    OldSettingsPath(OldPlace::virtualStore)};
    for (const std::string &old : oldFiles)
        ASSERT_TRUE(RemoveSettings(old)) << old;
    ASSERT_TRUE(Launch());
    Size size = SizeOf(WindowRectOf(dialog_));
    POINT centre = CentredPlace(size.width, size.height);
    EXPECT_TRUE(WindowAt(dialog_, centre));
    // Nothing is written while the calendar is open.
    std::string text;
    EXPECT_FALSE(ReadSettings(&text)) << "TRICAL.INI appeared before the calendar closed:\n"
                                      << text;
    ASSERT_TRUE(CloseWithX());
    EXPECT_TRUE(SavedPlaceIs(centre.x, centre.y));
    // Windows lets no ordinary user write its own folder, and the calendar
    // must not write Windows' per-user copy of it either.
    for (const std::string &old : oldFiles) {
        EXPECT_FALSE(ReadSettings(&text, old)) << old << " was written:\n" << text;
        EXPECT_TRUE(RemoveSettings(old)) << old;
    }
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
        ASSERT_TRUE(DragTo(place));
        ASSERT_TRUE(CloseWithX());
        EXPECT_TRUE(SavedPlaceIs(place.x, place.y));
        EndCalendar();
        ASSERT_TRUE(Launch());
        EXPECT_TRUE(WindowAt(dialog_, place));
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
        EXPECT_TRUE(WindowAt(dialog_, place));
        ASSERT_TRUE(Close());
        EXPECT_TRUE(SavedPlaceIs(place.x, place.y));
        EndCalendar();
    }

    // An explicit plus sign is still a whole decimal number.
    ASSERT_TRUE(WriteSettings(Settings("+120", "+80")));
    ASSERT_TRUE(Launch());
    EXPECT_TRUE(WindowAt(dialog_, POINT{120, 80}));
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
        EXPECT_TRUE(WindowAt(dialog_, centre));
        ASSERT_TRUE(CloseWithX());
        EXPECT_TRUE(SavedPlaceIs(centre.x, centre.y));
        EndCalendar();
    }
}

// An update keeps the place an older calendar saved, reads the old file
// once and never writes it; Windows' copy for 32-bit programs comes first.
TEST_F(SettingsFileTest, OldFileGivesThePlaceOnceAndStaysAsItWas) {
    const std::string windowsFile = OldSettingsPath(OldPlace::windowsFolder);
    const std::string storeFile = OldSettingsPath(OldPlace::virtualStore);
    const struct {
        const char *why;
        std::string windowsText; // "" for no file
        std::string storeText;
        POINT place;
    } cases[] = {
        {"in the Windows folder", Settings("100", "50"), "", {100, 50}},
        {"in the VirtualStore", "", Settings("120", "80"), {120, 80}},
        {"in both", Settings("100", "50"), Settings("-30", "90"), {-30, 90}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        ASSERT_TRUE(RemoveSettings());
        ASSERT_TRUE(RemoveSettings(windowsFile));
        ASSERT_TRUE(RemoveSettings(storeFile));
        for (const auto &old :
             {std::make_pair(windowsFile, c.windowsText), std::make_pair(storeFile, c.storeText)}) {
            ASSERT_TRUE(old.second.empty() || WriteSettings(old.second, old.first)) << old.first;
        }

        ASSERT_TRUE(Launch());
        EXPECT_TRUE(WindowAt(dialog_, c.place));
        ASSERT_TRUE(DragTo({c.place.x + 40, c.place.y + 30}));
        ASSERT_TRUE(CloseWithX());
        EndCalendar();
        EXPECT_TRUE(SavedPlaceIs(c.place.x + 40, c.place.y + 30));

        // From now on the user's own file holds the place.
        ASSERT_TRUE(Launch());
        EXPECT_TRUE(WindowAt(dialog_, POINT{c.place.x + 40, c.place.y + 30}));
        ASSERT_TRUE(CloseWithX());
        EndCalendar();
        for (const auto &old :
             {std::make_pair(windowsFile, c.windowsText), std::make_pair(storeFile, c.storeText)}) {
            std::string now;
            EXPECT_EQ(!old.second.empty(), ReadSettings(&now, old.first)) << old.first;
            EXPECT_EQ(old.second, now) << old.first;
        }
    }
}

// A calendar carried on a stick keeps its file beside itself, and leaves
// nothing in the profile of the computer it ran on.
TEST_F(SettingsFileTest, FileBesideTheProgramIsTheSettingsFile) {
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(WriteSettings(Settings("130", "70"), PortableSettingsPath()));
    ASSERT_TRUE(Launch());
    EXPECT_TRUE(WindowAt(dialog_, POINT{130, 70}));
    ASSERT_TRUE(DragTo({170, 110}));
    ASSERT_TRUE(CloseWithX());
    EXPECT_TRUE(SavedPlaceIs(170, 110, PortableSettingsPath()));
    std::string text;
    EXPECT_FALSE(ReadSettings(&text)) << SettingsPath() << " appeared:\n" << text;
}

// A settings folder that cannot be made costs the place, nothing more.
TEST_F(SettingsFileTest, UnwritableSettingsFolderStillClosesCleanly) {
    ASSERT_TRUE(RemoveSettings());
    RemoveDirectoryA(SettingsFolder().c_str());
    ASSERT_TRUE(WriteSettings("in the way", SettingsFolder()));
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE("start " + std::to_string(start + 1));
        ASSERT_TRUE(Launch());
        Size size = SizeOf(WindowRectOf(dialog_));
        POINT centre = CentredPlace(size.width, size.height);
        EXPECT_TRUE(WindowAt(dialog_, centre));
        ASSERT_TRUE(CloseWithX());
        EndCalendar();
    }
    std::string text;
    EXPECT_TRUE(ReadSettings(&text, SettingsFolder()));
    EXPECT_EQ("in the way", text);
}
