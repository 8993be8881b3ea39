// Start-up, and the hidden marker window that tells a second start we run
// and brings this copy forward when one asks.
#include <windows.h>

#include "caldlg.h"

static const wchar_t kMarkerClass[] = L"TRICALClass";
static const wchar_t kMarkerTitle[] = L"TRICAL";

// What a second start posts to the marker. The running copy brings itself
// forward: a second start that did it would wait on a copy that has stopped
// answering, and hang with it. Registered by name, so that copies of either
// bitness mean the same by it.
static UINT showYourself;

static BOOL CALLBACK FindShownWindow(HWND window, LPARAM found) {
    if (IsWindowVisible(window) == FALSE)
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

// The marker owns nothing. The window the user wants is the frontmost shown
// one on this thread: the calendar, or an About box above it.
static void ComeForward() {
    HWND shown = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShownWindow, reinterpret_cast<LPARAM>(&shown));
    if (shown != nullptr)
        SetForegroundWindow(shown);
}

// Registering can fail, and a message 0 is WM_NULL, which anyone may send.
static LRESULT CALLBACK MarkerProc(HWND marker, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == showYourself && showYourself != 0) {
        ComeForward();
        return 0;
    }
    return DefWindowProcW(marker, message, wParam, lParam);
}

static BOOL RegisterMarkerClass(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.style = 0;
    windowClass.lpfnWndProc = MarkerProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"WCODE");
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = kMarkerClass;
    return static_cast<BOOL>(RegisterClassW(&windowClass) != 0);
}

// A second start with fewer rights than this copy (one run as administrator)
// may still ask it forward.
static HWND CreateMarkerWindow(HINSTANCE instance) {
    HWND marker = CreateWindowExW(0, kMarkerClass, kMarkerTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (marker != nullptr)
        ChangeWindowMessageFilterEx(marker, showYourself, MSGFLT_ALLOW, nullptr);
    return marker;
}

// The copy the user just started may set the foreground window, and lets
// the running copy do it. Posted, never sent: nothing here waits for it.
static void AskRunningCopyForward() {
    HWND marker = FindWindowW(kMarkerClass, kMarkerTitle);
    if (marker == nullptr)
        return;
    DWORD running = 0;
    GetWindowThreadProcessId(marker, &running);
    AllowSetForegroundWindow(running);
    PostMessageW(marker, showYourself, 0, 0);
}

// Which copy runs the calendar is settled by a mutex, claimed before
// anything else: looking for the marker window and making it are two steps,
// and copies started together slipped in between. The names carry the
// desktop's, as FindWindow looks on the caller's desktop only.
static const wchar_t kOwnerPrefix[] = L"Local\\Trical.Calendar.";
static const wchar_t kReadyPrefix[] = L"Local\\Trical.MarkerReady.";
const size_t kObjectNameSize = 160;
// How long a copy that finds the mutex held waits for the owner's marker,
// or for the mutex.
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
// the same moment waits for it rather than looking in a loop; reset as the
// owner closes, from when it saves its place until it lets go of the mutex,
// so that a copy started then waits for the mutex and runs the calendar
// itself, rather than asking one that is going away to come forward.
static HANDLE readySignal;

static HANDLE OpenReadySignal() {
    wchar_t name[kObjectNameSize];
    NameForDesktop(kReadyPrefix, name);
    return CreateEventW(nullptr, TRUE, FALSE, name);
}

// Where the name is held by a copy running with other rights, whose mutex
// this one may not open, the marker alone decides, as it always did.
static HANDLE const kNoClaim = INVALID_HANDLE_VALUE;

// The mutex, owned, when this copy is to run the calendar; nullptr when
// another copy runs it. Where another holds it, this copy waits for
// whichever comes first: the owner's marker ready, or the mutex let go by an
// owner that was closing. The owner may still be starting, and its marker
// comes within moments, or it never comes and this copy leaves all the
// same, since two calendars are worse than none for one click. The mutex
// comes first in the wait, so that it wins over a signal a crashed owner
// left set; one abandoned by a copy that crashed or was killed is ours all
// the same.
static HANDLE ClaimCalendar() {
    wchar_t name[kObjectNameSize];
    NameForDesktop(kOwnerPrefix, name);
    HANDLE owner = CreateMutexW(nullptr, FALSE, name);
    if (owner == nullptr)
        return kNoClaim;
    const HANDLE signals[] = {owner, readySignal};
    DWORD claim = readySignal != nullptr ? WaitForMultipleObjects(2, signals, FALSE, kMarkerWaitMs)
                                         : WaitForSingleObject(owner, 0);
    if (claim == WAIT_OBJECT_0 || claim == WAIT_ABANDONED_0)
        return owner;
    CloseHandle(owner);
    return nullptr;
}

static HWND ownMarker;

// The calendar dialog, with start-up's own steps: the marker once the
// calendar has settled after its first paint (a second start waits for it
// meanwhile), and the ready signal taken back as it closes, before the
// place is saved.
static INT_PTR CALLBACK CalendarWithMarker(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_DESTROY && readySignal != nullptr)
        ResetEvent(readySignal);
    INT_PTR result = CalDlg(dialog, message, wParam, lParam);
    if (message == WM_TIMER && wParam == ID_SETTLETIMER && ownMarker == nullptr) {
        auto *instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
        if (RegisterMarkerClass(instance) != FALSE)
            ownMarker = CreateMarkerWindow(instance);
        if (ownMarker != nullptr && readySignal != nullptr)
            SetEvent(readySignal);
    }
    return result;
}

static void RunCalendar(HINSTANCE instance) {
    // A copy that died after setting it may have left it set.
    if (readySignal != nullptr)
        ResetEvent(readySignal);
    DialogBoxParamW(instance, L"CAL", nullptr, CalendarWithMarker, 0);
    if (ownMarker != nullptr)
        DestroyWindow(ownMarker);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previousInstance*/, LPWSTR /*commandLine*/,
                    int /*showCommand*/) {
    showYourself = RegisterWindowMessageW(L"Trical.ShowYourself");
    readySignal = OpenReadySignal();
    HANDLE owner = ClaimCalendar();
    if (owner == nullptr ||
        (owner == kNoClaim && FindWindowW(kMarkerClass, kMarkerTitle) != nullptr)) {
        AskRunningCopyForward();
    } else {
        RunCalendar(instance);
        if (owner != kNoClaim) {
            ReleaseMutex(owner);
            CloseHandle(owner);
        }
    }
    if (readySignal != nullptr)
        CloseHandle(readySignal);
    return 0;
}
