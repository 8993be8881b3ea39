// Helper of end-session.sh: starts the calendar TRICAL_EXE names (by
// default the trical.exe beside this program), checks its bitness,
// waits for its first paint on the screen, prints the calendar window's left and top, and
// exits, leaving the calendar running for the session to end under it.
#include "calendar_exe.h"
#include "screen.h"

#include <cstring>

static HWND found;
static DWORD calendarProcess;

static BOOL CALLBACK FindCalendar(HWND window, LPARAM) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner != calendarProcess || !IsWindowVisible(window) || strcmp(className, "#32770") != 0)
        return TRUE;
    found = window;
    return FALSE;
}

int main() {
    std::string why;
    std::string path = TricalPath(&why);
    int bits = path.empty() ? 0 : ExpectedBits(path, &why);
    if (bits == 0) {
        fprintf(stderr, "session_probe: %s\n", why.c_str());
        return 2;
    }
    std::string commandLine = "\"" + path + "\"";

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        fprintf(stderr, "session_probe: cannot start %s\n", path.c_str());
        return 2;
    }
    if (!RunsWithBits(process.hProcess, bits, &why)) {
        fprintf(stderr, "session_probe: %s\n", why.c_str());
        TerminateProcess(process.hProcess, 2);
        return 2;
    }
    calendarProcess = process.dwProcessId;
    ULONGLONG deadline = GetTickCount64() + 30000;
    char right[64] = "";
    // The titles are set before the first paint, which shows on the screen.
    bool painted = false;
    while (!painted && GetTickCount64() < deadline) {
        found = nullptr;
        EnumWindows(FindCalendar, 0);
        right[0] = '\0';
        if (found)
            GetDlgItemTextA(found, 1072, right, sizeof right);
        painted = right[0] && strcmp(right, "FEBRUARY") != 0 && FirstPaintSeen(found);
        if (!painted && WaitForSingleObject(process.hProcess, 15) != WAIT_TIMEOUT)
            break;
    }
    if (!painted) {
        fprintf(stderr, "session_probe: no painted calendar appeared\n");
        return 2;
    }
    RECT r;
    GetWindowRect(found, &r);
    printf("%ld %ld\n", r.left, r.top);
    return 0;
}
