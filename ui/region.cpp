#include "region.h"

#include <cwchar>

#include "calendar.h"
#include "view.h"
#include "yearmonth.h"

static bool ReadLocale(LCTYPE type, wchar_t *out, int size) {
    return GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, out, size) > 0;
}

// Gregorian names even where the region dates by another calendar: the
// grid below the title is Gregorian.
static bool ReadMonthNames(Region *region) {
    for (int i = 0; i < 12; ++i) {
        if (GetCalendarInfoEx(LOCALE_NAME_USER_DEFAULT, CAL_GREGORIAN, nullptr, CAL_SMONTHNAME1 + i,
                              region->months[i], 64, nullptr) == 0 ||
            GetCalendarInfoEx(LOCALE_NAME_USER_DEFAULT, CAL_GREGORIAN, nullptr,
                              CAL_SABBREVMONTHNAME1 + i, region->shortMonths[i], 32, nullptr) == 0)
            return false;
    }
    return ReadLocale(LOCALE_SYEARMONTH, region->picture, 80);
}

// Windows numbers the day names from Monday; the engine counts from Sunday.
static void ReadLetters(Region *region) {
    for (int i = 0; i < 7; ++i) {
        wchar_t name[32];
        wchar_t *letter = region->letters[(i + 1) % 7];
        wchar_t *whole = region->dayNames[(i + 1) % 7];
        if (!ReadLocale(LOCALE_SSHORTESTDAYNAME1 + i, name, 32) &&
            !ReadLocale(LOCALE_SABBREVDAYNAME1 + i, name, 32))
            name[0] = L'\0';
        wcscpy(whole, wcslen(name) < kDayNameSize ? name : L"");
        bool pair = IS_HIGH_SURROGATE(name[0]) && IS_LOW_SURROGATE(name[1]);
        LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING, name,
                      pair ? 2 : 1, letter, 2, nullptr, nullptr, 0);
        letter[pair ? 2 : 1] = L'\0';
    }
}

static void ReadFirstWeekday(Region *region) {
    DWORD monday0 = 6;
    // The region's own day, or the user's choice where the user made one.
    if (!ReadLocale(LOCALE_IFIRSTDAYOFWEEK | LOCALE_RETURN_NUMBER,
                    reinterpret_cast<wchar_t *>(&monday0), sizeof monday0 / sizeof(wchar_t)) ||
        monday0 > 6)
        monday0 = 6;
    region->firstWeekday = static_cast<int>(monday0 + 1) % 7;
}

void ReadRegion(Region *region) {
    wchar_t language[16];
    region->english = !ReadLocale(LOCALE_SISO639LANGNAME, language, 16) ||
                      lstrcmpiW(language, L"en") == 0 || !ReadMonthNames(region);
    if (!region->english) {
        ReadLetters(region);
    } else {
        for (int i = 0; i < 7; ++i) {
            region->letters[i][0] = static_cast<wchar_t>(WeekdayLetter(i)[0]);
            region->letters[i][1] = L'\0';
            region->dayNames[i][0] = L'\0';
        }
    }
    ReadFirstWeekday(region);
}

void RegionTitle(const Region &region, int monthIndex, int year, bool abbreviated, wchar_t *out,
                 int size) {
    if (region.english) {
        Widen(Title(monthIndex, year).text, out, size);
        return;
    }
    // The picture asks for the full name; a frame too narrow for it gets the short one.
    const wchar_t *name = abbreviated ? region.shortMonths[monthIndex] : region.months[monthIndex];
    wchar_t title[160];
    FormatYearMonth(region.picture, name, region.shortMonths[monthIndex], monthIndex + 1, year,
                    title, 160);
    // As the region writes it, if Windows cannot upper-case it.
    if (LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING, title,
                      -1, out, size, nullptr, nullptr, 0) == 0) {
        wcsncpy(out, title, size - 1);
        out[size - 1] = L'\0';
    }
}

void RegionMonthYear(const Region &region, int monthIndex, int year, wchar_t *out, int size) {
    if (!region.english) {
        FormatYearMonth(region.picture, region.months[monthIndex], region.shortMonths[monthIndex],
                        monthIndex + 1, year, out, size);
        return;
    }
    // The program's own names, in capitals and some with a blank after.
    char text[40];
    const char *name = MonthName(monthIndex);
    int length = 0;
    for (; name[length] != '\0' && name[length] != ' '; ++length)
        text[length] = static_cast<char>(length == 0 ? name[0] : name[length] - 'A' + 'a');
    text[length++] = ' ';
    FormatNumber(year, text + length);
    Widen(text, out, size);
}
