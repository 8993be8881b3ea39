// Helper of end-session.sh: starts trical.exe (found beside this program),
// waits for its first paint, prints the calendar window's left and top, and
// exits, leaving the calendar running for the session to end under it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

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

// TRICAL_EXE may name the calendar (a Unix path, as Wine's Z: drive shows
// it); by default it is the one beside this program.
static std::string TricalPath() {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TRICAL_EXE", path, sizeof path);
    if (length > 0 && length < sizeof path && path[0] == '/') {
        std::string named = "Z:";
        for (const char *c = path; *c; ++c)
            named += *c == '/' ? '\\' : *c;
        return named;
    }
    length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return "";
    std::string self(path, length);
    return self.substr(0, self.find_last_of("\\/") + 1) + "trical.exe";
}

int main() {
    std::string path = TricalPath();
    if (path.empty())
        return 2;
    std::string commandLine = "\"" + path + "\"";

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        fprintf(stderr, "session_probe: cannot start %s\n", path.c_str());
        return 2;
    }
    calendarProcess = process.dwProcessId;
    ULONGLONG deadline = GetTickCount64() + 30000;
    char right[64] = "";
    // The first paint replaces the template's text of the right title.
    while (GetTickCount64() < deadline) {
        found = nullptr;
        EnumWindows(FindCalendar, 0);
        right[0] = '\0';
        if (found)
            GetDlgItemTextA(found, 1072, right, sizeof right);
        if (right[0] && strcmp(right, "FEBRUARY") != 0)
            break;
        if (WaitForSingleObject(process.hProcess, 15) != WAIT_TIMEOUT)
            break;
    }
    if (!found || !right[0] || strcmp(right, "FEBRUARY") == 0) {
        fprintf(stderr, "session_probe: no painted calendar appeared\n");
        return 2;
    }
    RECT r;
    GetWindowRect(found, &r);
    printf("%ld %ld\n", r.left, r.top);
    return 0;
}
