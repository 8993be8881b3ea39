#include "placement.h"

#include "calendar.h"
#include "settings.h"

static const wchar_t kSection[] = L"LOC";

void CenterWindow(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 3;
    SetWindowPos(window, HWND_NOTOPMOST, x, y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE);
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
static bool ReadCoordinate(const wchar_t *file, const wchar_t *key, int *value) {
    char text[32];
    return ReadSetting(file, kSection, key, L"9999", text, sizeof text) &&
           ParseCoordinate(text, value);
}

// A captionless window put where no monitor shows it could never be dragged
// back or closed.
static bool ReachableAt(HWND dialog, int x, int y) {
    RECT r;
    GetWindowRect(dialog, &r);
    long long right = static_cast<long long>(x) + (r.right - r.left);
    long long bottom = static_cast<long long>(y) + (r.bottom - r.top);
    if (right > 2147483647LL || bottom > 2147483647LL)
        return false;
    RECT placed = {x, y, static_cast<LONG>(right), static_cast<LONG>(bottom)};
    return MonitorFromRect(&placed, MONITOR_DEFAULTTONULL) != nullptr;
}

void RestorePosition(HWND dialog, const wchar_t *file) {
    int x = 0;
    int y = 0;
    if (!ReadCoordinate(file, L"XLOC", &x) || !ReadCoordinate(file, L"YLOC", &y) ||
        x == kNoSavedPosition || !ReachableAt(dialog, x, y)) {
        CenterWindow(dialog);
        return;
    }
    SetWindowPos(dialog, HWND_NOTOPMOST, x, y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE);
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
