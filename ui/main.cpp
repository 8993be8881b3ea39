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
    return RegisterClassA(&windowClass) != 0;
}

HWND CreateMarkerWindow(HINSTANCE instance) {
    appInstance = instance;
    return CreateWindowExA(0, kMarkerClass, kMarkerTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           instance, nullptr);
}

static BOOL CALLBACK FindShownWindow(HWND window, LPARAM found) {
    if (!IsWindowVisible(window))
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
    if (shown) {
        SetForegroundWindow(shown);
        BringWindowToTop(shown);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int) {
    appInstance = instance;
    HWND marker = FindWindowA(kMarkerClass, kMarkerTitle);
    if (marker) {
        BringRunningCopyForward(marker);
        return 0;
    }
    if (!previousInstance && !RegisterMarkerClass(instance))
        return 0;
    if (!CreateMarkerWindow(instance))
        return 0;
    DialogBoxParamA(instance, "CAL", nullptr, CalDlg, 0);
    return 0;
}
