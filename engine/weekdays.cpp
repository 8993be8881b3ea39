#include "weekdays.h"

// A surrogate pair is one character: its second unit tells it apart.
static bool SameFirstCharacter(const wchar_t *a, const wchar_t *b) {
    bool pair = a[0] >= 0xD800 && a[0] <= 0xDBFF;
    return a[0] == b[0] && (!pair || a[1] == b[1]);
}

bool FirstCharactersDiffer(const wchar_t (*names)[kDayNameSize]) {
    for (int day = 0; day < 7; ++day)
        for (int other = day + 1; other < 7; ++other)
            if (SameFirstCharacter(names[day], names[other]))
                return false;
    return true;
}

bool WholeDayNames(const wchar_t (*names)[kDayNameSize], const int widths[7], int room) {
    if (FirstCharactersDiffer(names))
        return false;
    for (int day = 0; day < 7; ++day)
        if (names[day][0] == L'\0' || widths[day] > room)
            return false;
    return true;
}
