#include "yearmonth.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct PictureCase {
    const wchar_t *picture;
    int monthNumber;
    int year;
    const wchar_t *expected;
};

// The names are the month's own in each case; what is tested is the picture.
const PictureCase kCases[] = {
    {L"MMMM yyyy", 12, 2026, L"Dezember 2026"},
    {L"yyyy'年'M'月'", 12, 2026, L"2026年12月"},
    {L"yyyy. MMMM", 12, 2026, L"2026. Dezember"},
    {L"MMMM' de 'yyyy", 9, 2026, L"Dezember de 2026"},
    {L"MMM yy", 3, 2005, L"Dez. 05"},
    {L"MM/yyyy", 3, 2026, L"03/2026"},
    {L"M/y", 3, 2005, L"3/5"},
    // Quoted text, a doubled quote in it and out of it, one left open.
    {L"MMMM 'o''clock' '' yyyy", 1, 2026, L"Dezember o'clock ' 2026"},
    {L"yyyy '年", 1, 2026, L"2026 年"},
    // An era and a day have no place in a month's title.
    {L"gg yyyy MMMM dd", 1, 2026, L"2026 Dezember"},
    {L"MMMMM yyyyy", 1, 2026, L"Dezember 2026"},
    // Every year the view can show, in at least four digits.
    {L"MMMM yyyy", 1, 5, L"Dezember 0005"},
    {L"MMMM yyyy", 1, 12345, L"Dezember 12345"},
    {L"MMMM yyyy", 1, -44, L"Dezember -0044"},
    {L"yyyy", 1, INT_MIN, L"-2147483648"},
    {L"yy", 1, INT_MAX, L"47"},
};

TEST(FormatYearMonth, FillsTheRegionsPicture) {
    for (const PictureCase &c : kCases) {
        wchar_t out[64];
        int length =
            FormatYearMonth(c.picture, L"Dezember", L"Dez.", c.monthNumber, c.year, out, 64);
        EXPECT_EQ(std::wstring(c.expected), out) << "picture #" << (&c - kCases);
        EXPECT_EQ(static_cast<int>(std::wstring(c.expected).size()), length);
    }
}

TEST(FormatYearMonth, StopsAtTheEndOfItsBuffer) {
    wchar_t out[8] = L"#######";
    out[7] = L'!';
    EXPECT_EQ(6, FormatYearMonth(L"MMMM yyyy", L"Dezember", L"Dez.", 12, 2026, out, 7));
    EXPECT_EQ(std::wstring(L"Dezemb"), out);
    EXPECT_EQ(L'!', out[7]);
    EXPECT_EQ(0, FormatYearMonth(nullptr, L"Dezember", L"Dez.", 12, 2026, out, 7));
    EXPECT_EQ(L'\0', out[0]);
}

} // namespace
