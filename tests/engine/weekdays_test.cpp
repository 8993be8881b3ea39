#include "weekdays.h"

#include <gtest/gtest.h>

namespace {

using DayNames = wchar_t[7][kDayNameSize];

// From Sunday, as the region reads them; "" where a name is too long to keep.
const DayNames kVietnamese = {L"CN", L"T2", L"T3", L"T4", L"T5", L"T6", L"T7"};
const DayNames kVietnameseCut = {L"CN", L"T2", L"T3", L"", L"T5", L"T6", L"T7"};
const DayNames kHungarian = {L"V", L"H", L"K", L"Sze", L"Cs", L"P", L"Szo"};
const DayNames kGerman = {L"So", L"Mo", L"Di", L"Mi", L"Do", L"Fr", L"Sa"};
const DayNames kJapanese = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};
const DayNames kSpanishInWine = {L"DO", L"LU", L"MA", L"MI", L"JU", L"VI", L"SA"};
const DayNames kMadeUp = {L"Ab", L"Ac", L"Ad", L"Ae", L"Af", L"Ag", L"Ah"};
const DayNames kEnglish = {};
// One high surrogate throughout: the pairs differ in their low units, or
// two begin with the same pair.
const DayNames kPairs = {L"\xD835\xDC00", L"\xD835\xDC01", L"\xD835\xDC02", L"\xD835\xDC03",
                         L"\xD835\xDC04", L"\xD835\xDC05", L"\xD835\xDC06"};
const DayNames kPairsAlike = {L"\xD835\xDC00-", L"\xD835\xDC00+", L"\xD835\xDC01", L"\xD835\xDC02",
                              L"\xD835\xDC03",  L"\xD835\xDC04",  L"\xD835\xDC05"};

// Widths in pixels as Arial of 16 pixels writes them; 20 is the room of a
// column at 96 DPI, which leaves a pixel of its 21 to spare.
struct HeadingCase {
    const char *what;
    const DayNames &names;
    int widths[7];
    int room;
    bool differ;
    bool whole;
};

const HeadingCase kCases[] = {
    {"Vietnamese", kVietnamese, {20, 18, 18, 18, 18, 18, 18}, 20, false, true},
    {"Vietnamese, narrower", kVietnamese, {20, 18, 18, 18, 18, 18, 18}, 19, false, false},
    {"Vietnamese, a name cut", kVietnameseCut, {20, 18, 18, 0, 18, 18, 18}, 20, false, false},
    {"Hungarian", kHungarian, {9, 10, 9, 24, 17, 9, 24}, 20, false, false},
    {"Hungarian, wider", kHungarian, {9, 10, 9, 24, 17, 9, 24}, 32, false, true},
    {"German", kGerman, {19, 20, 15, 17, 18, 16, 18}, 20, false, true},
    {"Spanish in Wine", kSpanishInWine, {21, 18, 21, 16, 17, 13, 18}, 20, false, false},
    {"Japanese", kJapanese, {15, 15, 15, 15, 15, 15, 15}, 20, true, false},
    {"made up, too wide", kMadeUp, {30, 30, 30, 30, 30, 30, 30}, 20, false, false},
    {"English, no names read", kEnglish, {}, 20, false, false},
    {"pairs", kPairs, {12, 12, 12, 12, 12, 12, 12}, 20, true, false},
    {"pairs alike", kPairsAlike, {20, 20, 12, 12, 12, 12, 12}, 20, false, true},
};

TEST(Weekdays, WholeNamesWhereTheirFirstCharactersDoNotTellTheDaysApartAndTheyFit) {
    for (const HeadingCase &c : kCases) {
        EXPECT_EQ(c.differ, FirstCharactersDiffer(c.names)) << c.what;
        EXPECT_EQ(c.whole, WholeDayNames(c.names, c.widths, c.room)) << c.what;
    }
}

// A name as wide as the column fits it; a pixel more does not.
TEST(Weekdays, ANameFitsUpToTheColumnsWidth) {
    const int widths[7] = {20, 18, 18, 18, 18, 18, 18};
    EXPECT_TRUE(WholeDayNames(kVietnamese, widths, 20));
    const int wider[7] = {20, 18, 18, 18, 18, 18, 21};
    EXPECT_FALSE(WholeDayNames(kVietnamese, wider, 20));
}

} // namespace
