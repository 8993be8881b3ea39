#include "placement.h"

#include "calendar.h"
#include "settings.h"

static const wchar_t kSection[] = L"LOC";

// Centred across the screen and a third of the way down it.
static POINT CentredPlace(SIZE size) {
    return {(GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
            (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 3};
}

static SIZE SizeOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void CenterWindow(HWND window) {
    POINT at = CentredPlace(SizeOf(window));
    SetWindowPos(window, HWND_NOTOPMOST, at.x, at.y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE);
}

bool ParseCoordinate(const char *text, int *value) {
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    if (*text < '0' || *text > '9')
        return false;
    // Collect the magnitude in 64 bits; more than ten digits cannot fit.
    long long magnitude = 0;
    int digits = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (++digits > 10)
            return false;
        magnitude = magnitude * 10 + (*text - '0');
    }
    if (*text != '\0')
        return false;
    long long result = negative ? -magnitude : magnitude;
    if (result < -2147483647LL - 1 || result > 2147483647LL)
        return false;
    *value = static_cast<int>(result);
    return true;
}

// A missing key reads as "no position"; a value that is there but is not a
// plain integer is not trusted at all.
static bool ReadCoordinate(const SettingsSection &place, const wchar_t *key, int *value) {
    char text[32];
    return ReadSetting(place, key, L"9999", text, sizeof text) && ParseCoordinate(text, value);
}

// A captionless window put where no monitor shows it could never be dragged
// back or closed.
static bool ReachableAt(SIZE size, int x, int y) {
    long long right = static_cast<long long>(x) + size.cx;
    long long bottom = static_cast<long long>(y) + size.cy;
    if (right > 2147483647LL || bottom > 2147483647LL)
        return false;
    RECT placed = {x, y, static_cast<LONG>(right), static_cast<LONG>(bottom)};
    return MonitorFromRect(&placed, MONITOR_DEFAULTTONULL) != nullptr;
}

// One move for the place and the width: each move costs the start alike.
void RestorePosition(HWND dialog, const wchar_t *file, int width) {
    SIZE size = SizeOf(dialog);
    if (width > 0)
        size.cx = width;
    SettingsSection place;
    ReadSection(file, kSection, &place);
    int x = 0;
    int y = 0;
    bool saved = ReadCoordinate(place, L"XLOC", &x) && ReadCoordinate(place, L"YLOC", &y) &&
                 x != kNoSavedPosition && ReachableAt(size, x, y);
    POINT at = saved ? POINT{x, y} : CentredPlace(size);
    SetWindowPos(dialog, HWND_NOTOPMOST, at.x, at.y, size.cx, size.cy, SWP_NOACTIVATE);
}

void SavePosition(HWND dialog) {
    RECT r;
    GetWindowRect(dialog, &r);
    char text[12];
    FormatNumber(static_cast<int>(r.left), text);
    WriteSetting(kSection, L"XLOC", text);
    FormatNumber(static_cast<int>(r.top), text);
    WriteSetting(kSection, L"YLOC", text);
}
