#include "placement.h"
#include "settings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char *text;
    bool accepted;
    int value;
};

// A popup of the calendar's size, as the dialog manager makes it.
HWND MakeWindow() {
    return CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 428, 172, nullptr, nullptr,
                           nullptr, nullptr);
}

// Named here, not asked of the program: %APPDATA%\Trical\TRICAL.INI.
std::wstring File() {
    wchar_t folder[MAX_PATH] = L"";
    DWORD length = GetEnvironmentVariableW(L"APPDATA", folder, MAX_PATH);
    EXPECT_TRUE(length > 0 && length < MAX_PATH) << "APPDATA is not set";
    return std::wstring(folder) + L"\\Trical\\TRICAL.INI";
}

void WriteSettings(const char *x, const char *y) {
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, File().c_str());
    WritePrivateProfileStringW(L"LOC", nullptr, nullptr, File().c_str()); // drop the section
    if (x)
        WriteSetting(L"LOC", L"XLOC", x);
    if (y)
        WriteSetting(L"LOC", L"YLOC", y);
}

// As the calendar's start restores it.
void RestorePosition(HWND window) {
    wchar_t file[MAX_PATH];
    RestorePosition(window, SettingsFileToRead(file) ? file : nullptr, 0);
}

POINT TopLeft(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

POINT Centred() {
    return {(GetSystemMetrics(SM_CXSCREEN) - 428) / 2, (GetSystemMetrics(SM_CYSCREEN) - 172) / 3};
}

} // namespace

TEST(ParseCoordinate, OnlyWholeIntsAreTaken) {
    const Case cases[] = {
        {"0", true, 0},
        {"298", true, 298},
        {"-300", true, -300},
        {"+12", true, 12},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"", false, 0},
        {"-", false, 0},
        {"abc", false, 0},
        {"12abc", false, 0},
        {"99999999999", false, 0},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"0x10", false, 0},
        {"1e3", false, 0},
        {"12 3", false, 0},
        {"--5", false, 0},
        {"00000000000012", false, 0},
    };
    for (const Case &c : cases) {
        int value = 777;
        EXPECT_EQ(c.accepted, ParseCoordinate(c.text, &value)) << '"' << c.text << '"';
        EXPECT_EQ(c.accepted ? c.value : 777, value) << '"' << c.text << '"';
    }
}

TEST(CenterWindow, CentredAcrossAndOneThirdDown) {
    HWND window = MakeWindow();
    SetWindowPos(window, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CenterWindow(window);
    POINT at = TopLeft(window);
    EXPECT_EQ(Centred().x, at.x);
    EXPECT_EQ(Centred().y, at.y);
    DestroyWindow(window);
}

TEST(SavedPosition, RoundTripsIncludingNegativeValues) {
    HWND window = MakeWindow();
    SetWindowPos(window, nullptr, -60, -25, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    WriteSettings(nullptr, nullptr);
    SavePosition(window);
    wchar_t text[32];
    GetPrivateProfileStringW(L"LOC", L"XLOC", L"", text, 32, File().c_str());
    EXPECT_STREQ(L"-60", text);
    GetPrivateProfileStringW(L"LOC", L"YLOC", L"", text, 32, File().c_str());
    EXPECT_STREQ(L"-25", text);

    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RestorePosition(window);
    POINT at = TopLeft(window);
    EXPECT_EQ(-60, at.x);
    EXPECT_EQ(-25, at.y);
    DestroyWindow(window);
}

TEST(SavedPosition, UnusablePlacesAreCentredInstead) {
    struct Saved {
        const char *x;
        const char *y;
    };
    const Saved unusable[] = {
        {nullptr, nullptr}, // nothing saved
        {"100", nullptr},   // y defaults to 9999: below every screen
        {"9999", "40"},     // "no position saved"
        {"5000", "40"},     // right of every monitor
        {"-428", "40"},     // just left of the screen, not a pixel on it
        {"12abc", "40"},    {"100", ""},          {"99999999999", "40"},
        {"0x10", "40"},     {"2147483600", "40"},
    };
    HWND window = MakeWindow();
    for (const Saved &saved : unusable) {
        WriteSettings(saved.x, saved.y);
        SetWindowPos(window, nullptr, 3, 3, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RestorePosition(window);
        POINT at = TopLeft(window);
        EXPECT_EQ(Centred().x, at.x)
            << (saved.x ? saved.x : "-") << "," << (saved.y ? saved.y : "-");
        EXPECT_EQ(Centred().y, at.y)
            << (saved.x ? saved.x : "-") << "," << (saved.y ? saved.y : "-");
    }
    // One pixel column on the screen is enough to reach it again.
    WriteSettings("-427", "700");
    RestorePosition(window);
    POINT at = TopLeft(window);
    EXPECT_EQ(-427, at.x);
    EXPECT_EQ(700, at.y);
    DestroyWindow(window);
    WriteSettings(nullptr, nullptr);
}
