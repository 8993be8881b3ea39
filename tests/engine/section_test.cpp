#include "section.h"

#include <string>

#include <gtest/gtest.h>

namespace {

struct SectionCase {
    const char *what;
    std::wstring block; // lines each ended by a NUL, as Windows hands them over
    const wchar_t *key;
    const wchar_t *value; // nullptr: no value
};

using namespace std::string_literals;

const SectionCase kCases[] = {
    {"a plain line", L"XLOC=5\0YLOC=7\0"s, L"YLOC", L"7"},
    {"the last line without its NUL", L"XLOC=5\0YLOC=7"s, L"YLOC", L"7"},
    {"a name in any case", L"xLoc=5\0"s, L"XLOC", L"5"},
    {"blanks around the name and the value", L"  XLOC\t=\t-5 \0"s, L"XLOC", L"-5"},
    {"the first of two lines decides", L"XLOC=1\0XLOC=2\0"s, L"XLOC", L"1"},
    {"a first line without = has no value", L"XLOC\0XLOC=2\0"s, L"XLOC", nullptr},
    {"a missing name", L"XLOC=5\0"s, L"YLOC", nullptr},
    {"an empty section", L""s, L"XLOC", nullptr},
    {"a longer name is another", L"XLOCX=5\0XLO=6\0"s, L"XLOC", nullptr},
    {"a comment is no line of the name", L";XLOC=5\0"s, L"XLOC", nullptr},
    {"the value runs to the line's end", L"XLOC==5 ;x\0"s, L"XLOC", L"=5 ;x"},
    {"an empty value", L"XLOC=\0"s, L"XLOC", L""},
    {"double quotes come off", L"XLOC=\"5\"\0"s, L"XLOC", L"5"},
    {"single quotes come off", L"XLOC= '5' \0"s, L"XLOC", L"5"},
    {"two quotes leave nothing", L"XLOC=\"\"\0"s, L"XLOC", L""},
    {"one quote stays", L"XLOC=\"\0"s, L"XLOC", L"\""},
    {"quotes that differ stay", L"XLOC=\"5'\0"s, L"XLOC", L"\"5'"},
    {"a quote inside stays", L"XLOC=5\"\0"s, L"XLOC", L"5\""},
};

TEST(Section, ValuesComeAsTheProfileReaderGivesThem) {
    for (const SectionCase &c : kCases) {
        size_t length = 99;
        const wchar_t *value = SectionValue(c.block.data(), c.block.size(), c.key, &length);
        if (c.value == nullptr) {
            EXPECT_EQ(nullptr, value) << c.what;
            continue;
        }
        ASSERT_NE(nullptr, value) << c.what;
        EXPECT_EQ(std::wstring(c.value), std::wstring(value, length)) << c.what;
    }
}

} // namespace
