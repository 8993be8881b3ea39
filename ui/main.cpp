#include "main.h"

#include "caldlg.h"

HINSTANCE appInstance;

static const wchar_t kMarkerClass[] = L"TRICALClass";
static const wchar_t kMarkerTitle[] = L"TRICAL";

LRESULT CALLBACK MarkerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

BOOL RegisterMarkerClass(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.style = 0;
    windowClass.lpfnWndProc = MarkerWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"WCODE");
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = kMarkerClass;
    return static_cast<BOOL>(RegisterClassW(&windowClass) != 0);
}

HWND CreateMarkerWindow(HINSTANCE instance) {
    appInstance = instance;
    return CreateWindowExW(0, kMarkerClass, kMarkerTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           instance, nullptr);
}

static BOOL CALLBACK FindShownWindow(HWND window, LPARAM found) {
    if (IsWindowVisible(window) == FALSE)
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

// The marker owns nothing, so its last active popup is the marker itself.
// The window the user wants is the running copy's frontmost shown window
// (the calendar, or an About box above it) on the marker's thread.
static void BringRunningCopyForward(HWND marker) {
    BringWindowToTop(GetLastActivePopup(marker));
    HWND shown = nullptr;
    EnumThreadWindows(GetWindowThreadProcessId(marker, nullptr), FindShownWindow,
                      reinterpret_cast<LPARAM>(&shown));
    if (shown != nullptr) {
        SetForegroundWindow(shown);
        BringWindowToTop(shown);
    }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR /*commandLine*/,
                    int /*showCommand*/) {
    appInstance = instance;
    HWND marker = FindWindowW(kMarkerClass, kMarkerTitle);
    if (marker != nullptr) {
        BringRunningCopyForward(marker);
        return 0;
    }
    if (previousInstance == nullptr && RegisterMarkerClass(instance) == FALSE)
        return 0;
    if (CreateMarkerWindow(instance) == nullptr)
        return 0;
    DialogBoxParamW(instance, L"CAL", nullptr, CalDlg, 0);
    return 0;
}
