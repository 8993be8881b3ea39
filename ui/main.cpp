// Start-up, and the hidden marker window that tells a second start we run.
#include <windows.h>

#include "caldlg.h"

static const wchar_t kMarkerClass[] = L"TRICALClass";
static const wchar_t kMarkerTitle[] = L"TRICAL";

static BOOL RegisterMarkerClass(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.style = 0;
    // The marker does nothing of its own.
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"WCODE");
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = kMarkerClass;
    return static_cast<BOOL>(RegisterClassW(&windowClass) != 0);
}

static HWND CreateMarkerWindow(HINSTANCE instance) {
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

// Which copy runs the calendar is settled by a mutex, claimed before
// anything else: looking for the marker window and making it are two steps,
// and copies started together slipped in between. The names carry the
// desktop's, as FindWindow looks on the caller's desktop only.
static const wchar_t kOwnerPrefix[] = L"Local\\Trical.Calendar.";
static const wchar_t kReadyPrefix[] = L"Local\\Trical.MarkerReady.";
const size_t kObjectNameSize = 160;
// How long a copy that lost the claim waits for the winner's marker.
const DWORD kMarkerWaitMs = 5000;

static void NameForDesktop(const wchar_t *prefix, wchar_t (&name)[kObjectNameSize]) {
    size_t used = wcslen(prefix);
    wcscpy(name, prefix);
    DWORD bytes = 0;
    if (GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name + used,
                                  static_cast<DWORD>((kObjectNameSize - used) * sizeof(wchar_t)),
                                  &bytes) == FALSE)
        name[used] = L'\0';
}

// Set by the owner once its marker window exists, so that a copy started in
// the same moment waits for it rather than looking in a loop.
static HANDLE OpenReadySignal() {
    wchar_t name[kObjectNameSize];
    NameForDesktop(kReadyPrefix, name);
    return CreateEventW(nullptr, TRUE, FALSE, name);
}

// Where the name is held by a copy running with other rights, whose mutex
// this one may not open, the marker alone decides, as it always did.
static HANDLE const kNoClaim = INVALID_HANDLE_VALUE;

// The mutex, owned, when this copy is to run the calendar; nullptr when
// another copy runs it. One abandoned by a copy that crashed or was killed is
// ours all the same.
static HANDLE ClaimCalendar() {
    wchar_t name[kObjectNameSize];
    NameForDesktop(kOwnerPrefix, name);
    HANDLE owner = CreateMutexW(nullptr, FALSE, name);
    if (owner == nullptr)
        return kNoClaim;
    DWORD claim = WaitForSingleObject(owner, 0);
    if (claim == WAIT_OBJECT_0 || claim == WAIT_ABANDONED)
        return owner;
    CloseHandle(owner);
    return nullptr;
}

// The first copy may still be starting: its marker comes within moments, or
// it never comes and this copy leaves all the same, since two calendars are
// worse than none for one click.
static void BringFirstCopyForward() {
    HANDLE ready = OpenReadySignal();
    HWND marker = FindWindowW(kMarkerClass, kMarkerTitle);
    if (marker == nullptr && ready != nullptr &&
        WaitForSingleObject(ready, kMarkerWaitMs) == WAIT_OBJECT_0)
        marker = FindWindowW(kMarkerClass, kMarkerTitle);
    if (ready != nullptr)
        CloseHandle(ready);
    if (marker != nullptr)
        BringRunningCopyForward(marker);
}

static void RunCalendar(HINSTANCE instance, HINSTANCE previousInstance) {
    if (previousInstance == nullptr && RegisterMarkerClass(instance) == FALSE)
        return;
    HANDLE ready = OpenReadySignal();
    // A copy that died after setting it may have left it set.
    if (ready != nullptr)
        ResetEvent(ready);
    HWND marker = CreateMarkerWindow(instance);
    if (marker != nullptr) {
        if (ready != nullptr)
            SetEvent(ready);
        DialogBoxParamW(instance, L"CAL", nullptr, CalDlg, 0);
        DestroyWindow(marker);
    }
    if (ready != nullptr)
        CloseHandle(ready);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR /*commandLine*/,
                    int /*showCommand*/) {
    HANDLE owner = ClaimCalendar();
    if (owner == nullptr ||
        (owner == kNoClaim && FindWindowW(kMarkerClass, kMarkerTitle) != nullptr)) {
        BringFirstCopyForward();
        return 0;
    }
    RunCalendar(instance, previousInstance);
    if (owner != kNoClaim) {
        ReleaseMutex(owner);
        CloseHandle(owner);
    }
    return 0;
}
