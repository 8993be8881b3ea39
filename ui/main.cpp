#include "main.h"

#include "caldlg.h"

HINSTANCE appInstance;

static const char kMarkerClass[] = "TRICALClass";
static const char kMarkerTitle[] = "TRICAL";

LRESULT CALLBACK MarkerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL RegisterMarkerClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.style = 0;
    windowClass.lpfnWndProc = MarkerWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "WCODE");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = kMarkerClass;
    return static_cast<BOOL>(RegisterClassA(&windowClass) != 0);
}

HWND CreateMarkerWindow(HINSTANCE instance) {
    appInstance = instance;
    return CreateWindowExA(0, kMarkerClass, kMarkerTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
    appInstance = instance;
    HWND marker = FindWindowA(kMarkerClass, kMarkerTitle);
    if (marker != nullptr) {
        BringRunningCopyForward(marker);
        return 0;
    }
    if (previousInstance == nullptr && RegisterMarkerClass(instance) == FALSE)
        return 0;
    if (CreateMarkerWindow(instance) == nullptr)
        return 0;
    DialogBoxParamA(instance, "CAL", nullptr, CalDlg, 0);
    return 0;
}
