#include "e2e.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <sstream>

#include <shlobj.h>

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

const int kFrameIds[kPanelCount] = {kPrevFrame, kCurrentFrame, kNextFrame};

// Polling interval while waiting for something on the screen or in a window.
static const DWORD kPollMs = 15;

ULONGLONG Now() { return GetTickCount64(); }

AssertionResult Eventually(const std::function<AssertionResult()> &check, ULONGLONG timeoutMs) {
    ULONGLONG deadline = Now() + timeoutMs;
    for (;;) {
        AssertionResult result = check();
        if (result || Now() >= deadline)
            return result;
        Sleep(kPollMs);
    }
}

// ---- the clock --------------------------------------------------------------

bool RealClock() {
    char value[8] = "";
    DWORD length = GetEnvironmentVariableA("TRICAL_E2E_REAL_CLOCK", value, sizeof value);
    return length > 0 && length < sizeof value && strcmp(value, "1") == 0;
}

CalendarDate StartDate() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return RealClock() ? DateOfSystemTime(now.wYear, now.wMonth, now.wDay)
                       : CalendarDate{15, 0, 1997};
}

MonthOfYear StartMonth() {
    CalendarDate start = StartDate();
    return {start.month, start.year};
}

// libfaketime in every process of this run re-reads this file at each clock
// read; it holds one offset in seconds from the real clock, "+N" or "-N".
static std::string ClockFile() { return PathFromEnvironment("FAKETIME_TIMESTAMP_FILE"); }

static bool clockOffsetKnown = false;
static long long clockOffset = 0;

static bool ReadClockOffset(long long *offset) {
    FILE *file = fopen(ClockFile().c_str(), "rb");
    if (!file)
        return false;
    char text[64] = "";
    bool ok = fgets(text, sizeof text, file) != nullptr;
    fclose(file);
    if (!ok)
        return false;
    char *end = nullptr;
    *offset = strtoll(text, &end, 10);
    return end != text;
}

static bool WriteClockOffset(long long offset) {
    std::string path = ClockFile();
    std::string fresh = path + ".new";
    FILE *file = fopen(fresh.c_str(), "wb");
    if (!file)
        return false;
    fprintf(file, "%+lld\n", offset);
    if (fclose(file) != 0)
        return false;
    // A rename, so that no reader ever sees a half-written offset.
    return MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool ClockCanBeSet() {
    char preload[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("LD_PRELOAD", preload, sizeof preload);
    if (length == 0 || length >= sizeof preload || !strstr(preload, "libfaketime"))
        return false;
    if (ClockFile().empty())
        return false;
    if (!clockOffsetKnown)
        clockOffsetKnown = ReadClockOffset(&clockOffset);
    return clockOffsetKnown;
}

// The driver's own clock is faked like trical's, so the move can be checked
// here: the driver must see the time it asked for.
static bool MoveClockTo(time_t target) {
    if (!ClockCanBeSet())
        return false;
    long long offset = clockOffset + (static_cast<long long>(target) - time(nullptr));
    if (!WriteClockOffset(offset))
        return false;
    clockOffset = offset;
    long long seen = time(nullptr);
    return seen >= target && seen <= target + 2;
}

bool SetLocalClock(int year, int month, int day, int hour, int minute, int second) {
    struct tm local = {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    time_t target = mktime(&local);
    return target != static_cast<time_t>(-1) && MoveClockTo(target);
}

bool ShiftClock(long long seconds) {
    return MoveClockTo(static_cast<time_t>(time(nullptr) + seconds));
}

// run-e2e.sh names the calendar to drive, the 32- or the 64-bit one; a
// name that leads nowhere fails the test that starts it.
static std::string TricalPath() {
    std::string why;
    return TricalPath(&why);
}

// ---- the settings file ------------------------------------------------------

// Asked of the shell, as a Windows program should, so that the calendar's
// cheaper reading of its environment is checked against it.
static std::string ShellFolder(int csidl) {
    char folder[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, folder)))
        return "";
    return folder;
}

std::string SettingsFolder() {
    std::string roaming = ShellFolder(CSIDL_APPDATA);
    return roaming.empty() ? "" : roaming + "\\Trical";
}

std::string SettingsPath() {
    std::string folder = SettingsFolder();
    return folder.empty() ? "" : folder + "\\TRICAL.INI";
}

std::string OldSettingsPath(OldPlace place) {
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return "";
    if (place == OldPlace::windowsFolder)
        return std::string(windows) + "\\TRICAL.INI";
    std::string local = ShellFolder(CSIDL_LOCAL_APPDATA);
    return local.empty() ? "" : local + "\\VirtualStore" + (windows + 2) + "\\TRICAL.INI";
}

std::string PortableSettingsPath() {
    std::string trical = TricalPath();
    return trical.substr(0, trical.find_last_of('\\') + 1) + "TRICAL.INI";
}

bool RemoveSettings(const std::string &path) {
    if (DeleteFileA(path.c_str()))
        return true;
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// Makes every missing folder on the way to the file.
static void MakeFoldersFor(const std::string &path) {
    for (size_t slash = path.find('\\', 3); slash != std::string::npos;
         slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
}

bool WriteSettings(const std::string &text, const std::string &path) {
    MakeFoldersFor(path);
    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && ok;
}

bool RemoveEventFiles() {
    std::string folder = SettingsFolder();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.ics").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return true;
    bool removed = true;
    do
        removed = RemoveSettings(folder + "\\" + found.cFileName) && removed;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return removed;
}

bool ReadSettings(std::string *text, const std::string &path) {
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    text->clear();
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0)
        text->append(buffer, n);
    fclose(file);
    return true;
}

static std::string Trim(const std::string &text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return "";
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

bool SettingsValue(const char *section, const char *key, std::string *value,
                   const std::string &path) {
    std::string text;
    if (!ReadSettings(&text, path))
        return false;
    std::istringstream lines(text);
    std::string line;
    std::string header = std::string("[") + section + "]";
    int sections = 0;
    int found = 0;
    bool inSection = false;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (!line.empty() && line[0] == '[') {
            inSection = _stricmp(line.c_str(), header.c_str()) == 0;
            sections += inSection;
            continue;
        }
        size_t equals = line.find('=');
        if (inSection && equals != std::string::npos &&
            _stricmp(Trim(line.substr(0, equals)).c_str(), key) == 0) {
            ++found;
            *value = Trim(line.substr(equals + 1));
        }
    }
    return sections == 1 && found == 1;
}

std::string ProfileValue(const char *section, const char *key) {
    // Drops the reader's cached copy, so that it reads the disc.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, nullptr);
    std::vector<char> text(1 << 18);
    DWORD length = GetPrivateProfileStringA(
        section, key, "", text.data(), static_cast<DWORD>(text.size()), SettingsPath().c_str());
    return std::string(text.data(), length);
}

AssertionResult SavedPlaceIs(int x, int y, const std::string &path) {
    std::string xText;
    std::string yText;
    bool found =
        SettingsValue("LOC", "XLOC", &xText, path) && SettingsValue("LOC", "YLOC", &yText, path);
    if (!found || xText != std::to_string(x) || yText != std::to_string(y)) {
        std::string text = "nothing";
        ReadSettings(&text, path);
        return AssertionFailure() << "expected [LOC] XLOC=" << x << " YLOC=" << y << " in " << path
                                  << ", which holds:\n"
                                  << text;
    }
    return AssertionSuccess();
}

// ---- processes and windows --------------------------------------------------

AssertionResult StartTrical(const char *arguments, PROCESS_INFORMATION *process, DWORD flags,
                            const std::string &exe) {
    *process = PROCESS_INFORMATION{};
    std::string why;
    std::string path = exe.empty() ? TricalPath(&why) : exe;
    int bits = path.empty() ? 0 : ExpectedBits(path, &why);
    if (bits == 0)
        return AssertionFailure() << why;
    std::string commandLine = "\"" + path + "\"";
    if (arguments && *arguments)
        commandLine += std::string(" ") + arguments;
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    // Once in some 1,500 starts Wine's process creation itself failed with
    // ERROR_INTERNAL_ERROR before the program ran; that is retried once.
    bool started = false;
    for (int attempt = 0; attempt < 2 && !started; ++attempt)
        started = CreateProcessA(path.c_str(), writable.data(), nullptr, nullptr, FALSE, flags,
                                 nullptr, nullptr, &startup, process) ||
                  GetLastError() != ERROR_INTERNAL_ERROR;
    if (!process->hProcess)
        return AssertionFailure() << "cannot start " << path << ", error " << GetLastError();
    if (!RunsWithBits(process->hProcess, bits, &why))
        return AssertionFailure() << why;
    return AssertionSuccess();
}

static std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct WindowSearch {
    DWORD processId;
    bool shownOnly;
    const char *className; // nullptr for any
    std::vector<HWND> found;
};

static BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    WindowSearch *search = reinterpret_cast<WindowSearch *>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->processId && owner != search->processId)
        return TRUE;
    if (search->shownOnly && !IsWindowVisible(window))
        return TRUE;
    if (search->className && ClassOf(window) != search->className)
        return TRUE;
    search->found.push_back(window);
    return TRUE;
}

static std::vector<HWND> FindWindows(DWORD processId, bool shownOnly, const char *className) {
    WindowSearch search = {processId, shownOnly, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ShownWindowsOf(DWORD processId) { return FindWindows(processId, true, nullptr); }

const ButtonName kButtonNames[6] = {
    {kPrevYearButton, "Previous year"},
    {kPrevMonthButton, "Previous month"},
    {kNextMonthButton, "Next month"},
    {kNextYearButton, "Next year"},
    {kCloseButton, "Close"},
    {kAboutButton, "About Trical"},
};

std::string ShownTip(DWORD processId) {
    for (HWND window : ShownWindowsOf(processId)) {
        char name[64] = "";
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) != "tooltips_class32")
            continue;
        // GetWindowText would read the window's caption, not the tip, from
        // another process.
        char text[256] = "";
        SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        return text;
    }
    return "";
}

std::vector<HWND> MarkerWindows() { return FindWindows(0, false, "TRICALClass"); }

HWND TakeForeground() {
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"e2e", WS_POPUP | WS_VISIBLE, 0, 0,
                                  80, 60, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return nullptr;
    SetForegroundWindow(window);
    if (!Eventually([&] { return AssertionResult(GetForegroundWindow() == window); })) {
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}

static bool Running(const PROCESS_INFORMATION &process) {
    return process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

HWND NewWindowOf(DWORD processId, const std::vector<HWND> &known) {
    HWND found = nullptr;
    Eventually([&] {
        // Dialogs only: a button's tooltip is a shown window of the process too.
        for (HWND window : FindWindows(processId, true, "#32770"))
            if (std::find(known.begin(), known.end(), window) == known.end())
                found = window;
        return AssertionResult(found != nullptr);
    });
    return found;
}

AssertionResult Gone(HWND window) {
    return Eventually([&] {
        return AssertionResult(!IsWindow(window) || !IsWindowVisible(window))
               << "the window is still shown";
    });
}

AssertionResult EscapeCloses(HWND about) {
    AssertionResult done = Eventually([&] {
        return AssertionResult(GetForegroundWindow() == about) << "the About box has no keyboard";
    });
    if (done)
        done = Type(VK_ESCAPE);
    return done ? Gone(about) : done;
}

// The titles are set before the first paint; its sign is on the screen.
static bool FirstPaintDone(HWND dialog) {
    std::string right = ItemText(dialog, kNextTitle);
    return !right.empty() && right != "FEBRUARY" && FirstPaintSeen(dialog);
}

HWND WaitForCalendar(const PROCESS_INFORMATION &process, ULONGLONG timeoutMs) {
    HWND found = nullptr;
    Eventually(
        [&] {
            std::vector<HWND> dialogs = FindWindows(process.dwProcessId, true, "#32770");
            // The marker comes last, once the calendar has settled after
            // its first paint: its keys and choices are in force then.
            if (dialogs.size() == 1 && FirstPaintDone(dialogs[0]) &&
                !FindWindows(process.dwProcessId, false, "TRICALClass").empty())
                found = dialogs[0];
            return AssertionResult(found || !Running(process));
        },
        timeoutMs);
    return found;
}

bool WaitForExit(const PROCESS_INFORMATION &process, ULONGLONG timeoutMs, DWORD *exitCode) {
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process.hProcess, exitCode) != 0;
}

std::string ItemText(HWND dialog, int id) {
    wchar_t wide[256] = L"";
    GetDlgItemTextW(dialog, id, wide, 256);
    char text[1024] = "";
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

Titles ReadTitles(HWND dialog) {
    return {ItemText(dialog, kPrevTitle), ItemText(dialog, kCurrentTitle),
            ItemText(dialog, kNextTitle)};
}

bool SameTitles(const Titles &a, const Titles &b) {
    return a.left == b.left && a.middle == b.middle && a.right == b.right;
}

std::string Describe(const Titles &titles) {
    return "\"" + titles.left + "\" | \"" + titles.middle + "\" | \"" + titles.right + "\"";
}

AssertionResult TitlesBecome(HWND dialog, const Titles &expected, ULONGLONG timeoutMs) {
    return Eventually(
        [&] {
            Titles seen = ReadTitles(dialog);
            return AssertionResult(SameTitles(seen, expected))
                   << "titles are " << Describe(seen) << ", expected " << Describe(expected);
        },
        timeoutMs);
}

RECT WindowRectOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

POINT CentreOf(const RECT &r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

AssertionResult WindowAt(HWND window, const RECT &expected) {
    RECT r = WindowRectOf(window);
    return AssertionResult(EqualRect(&r, &expected) != FALSE)
           << "the window is at (" << r.left << ", " << r.top << ")-(" << r.right << ", "
           << r.bottom << "), expected (" << expected.left << ", " << expected.top << ")-("
           << expected.right << ", " << expected.bottom << ")";
}

AssertionResult WindowAt(HWND window, POINT place) {
    RECT expected = WindowRectOf(window);
    OffsetRect(&expected, place.x - expected.left, place.y - expected.top);
    return WindowAt(window, expected);
}

RECT RectInParent(HWND child) {
    RECT r = WindowRectOf(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT *>(&r), 2);
    return r;
}

POINT BareBodyPoint(HWND dialog) {
    RECT client = {};
    GetClientRect(dialog, &client);
    RECT leftFrame = RectInParent(GetDlgItem(dialog, kPrevFrame));
    POINT point = {(leftFrame.left + leftFrame.right) / 2, (leftFrame.bottom + client.bottom) / 2};
    ClientToScreen(dialog, &point);
    return point;
}

POINT CentredPlace(int width, int height) {
    POINT place = {(GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (GetSystemMetrics(SM_CYSCREEN) - height) / 3};
    return place;
}

// ---- input ------------------------------------------------------------------

// Absolute mouse coordinates run 0..65535 over the screen; rounding up makes
// the system's scaling back land on exactly this pixel.
static LONG Normalised(int pixel, int extent) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

// Under Wine a move of the cursor from here warps the X pointer, and the
// calendar's own X11 connection then reports pointer motion (or entry into
// its window) that it turns into cursor moves of its own, sometimes late and
// with a place the cursor has already left. A button event sent meanwhile
// lands in the wrong place, or a drag ends short. So the cursor is moved
// first and has to stay put for this long before a button goes down or up.
static const ULONGLONG kCursorQuietMs = 150;

static INPUT MouseAt(int x, int y, DWORD buttons) {
    INPUT event = {};
    event.type = INPUT_MOUSE;
    event.mi.dx = Normalised(x, GetSystemMetrics(SM_CXSCREEN));
    event.mi.dy = Normalised(y, GetSystemMetrics(SM_CYSCREEN));
    event.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    return event;
}

static AssertionResult Send(std::vector<INPUT> events) {
    UINT count = static_cast<UINT>(events.size());
    if (SendInput(count, events.data(), sizeof(INPUT)) != count)
        return AssertionFailure() << "SendInput refused mouse input, error " << GetLastError();
    return AssertionSuccess();
}

// A late motion can also put the system's cursor back on the target while
// the X pointer stays elsewhere; a move to where the system believes the
// cursor already is does not move the X pointer, and after 100 ms the cursor
// reads as the X pointer's place again. So a move that did not take is sent
// again by way of a neighbouring pixel.
static AssertionResult MoveMouse(int x, int y) {
    AssertionResult rested = AssertionFailure();
    for (int attempt = 0; attempt < 10 && !rested; ++attempt) {
        int aside = x > 0 ? x - 1 : x + 1;
        AssertionResult sent = attempt == 0 ? Send({MouseAt(x, y, 0)})
                                            : Send({MouseAt(aside, y, 0), MouseAt(x, y, 0)});
        if (!sent)
            return sent;
        ULONGLONG arrived = Now();
        rested = Eventually(
            [&] {
                POINT cursor = {};
                if (!GetCursorPos(&cursor) || cursor.x != x || cursor.y != y)
                    arrived = Now();
                return AssertionResult(Now() - arrived >= kCursorQuietMs)
                       << "the cursor is at (" << cursor.x << ", " << cursor.y << ") instead of ("
                       << x << ", " << y << ")";
            },
            500 + kCursorQuietMs);
    }
    return rested;
}

AssertionResult Buttons(POINT p, DWORD buttons) { return Send({MouseAt(p.x, p.y, buttons)}); }

AssertionResult Click(int x, int y) {
    AssertionResult done = MoveMouse(x, y);
    return done ? Send({MouseAt(x, y, MOUSEEVENTF_LEFTDOWN), MouseAt(x, y, MOUSEEVENTF_LEFTUP)})
                : done;
}

AssertionResult RightClick(int x, int y) {
    AssertionResult done = MoveMouse(x, y);
    return done ? Send({MouseAt(x, y, MOUSEEVENTF_RIGHTDOWN), MouseAt(x, y, MOUSEEVENTF_RIGHTUP)})
                : done;
}

// One call, so both clicks fall well inside the double-click time.
AssertionResult DoubleClick(int x, int y) {
    AssertionResult done = MoveMouse(x, y);
    if (done)
        done = Send({MouseAt(x, y, MOUSEEVENTF_LEFTDOWN), MouseAt(x, y, MOUSEEVENTF_LEFTUP),
                     MouseAt(x, y, MOUSEEVENTF_LEFTDOWN), MouseAt(x, y, MOUSEEVENTF_LEFTUP)});
    return done;
}

static GUITHREADINFO ThreadInfoOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        info.hwndCapture = info.hwndFocus = nullptr;
    return info;
}

HWND CaptureOf(HWND window) { return ThreadInfoOf(window).hwndCapture; }

HWND FocusOf(HWND window) { return ThreadInfoOf(window).hwndFocus; }

AssertionResult CaptureBecomes(HWND window, HWND holder) {
    return Eventually([&] {
        return AssertionResult(CaptureOf(window) == holder)
               << "the capture is with " << CaptureOf(window) << ", expected " << holder;
    });
}

// Moves outside the window only reach it once it holds the capture, which it
// takes when it has handled the press; so the press is waited for first.
AssertionResult Drag(HWND window, POINT from, POINT to) {
    AssertionResult done = MoveMouse(from.x, from.y);
    if (done)
        done = Buttons(from, MOUSEEVENTF_LEFTDOWN);
    if (done)
        done = CaptureBecomes(window, window);
    const int steps = 4;
    for (int i = 1; i <= steps && done; ++i)
        done =
            MoveMouse(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
    if (done)
        done = Buttons(to, MOUSEEVENTF_LEFTUP);
    return done ? CaptureBecomes(window, nullptr) : done;
}

AssertionResult Type(WORD virtualKey) {
    INPUT events[2] = {};
    for (INPUT &event : events) {
        event.type = INPUT_KEYBOARD;
        event.ki.wVk = virtualKey;
    }
    events[1].ki.dwFlags = KEYEVENTF_KEYUP;
    if (SendInput(2, events, sizeof events[0]) != 2)
        return AssertionFailure() << "SendInput refused a key, error " << GetLastError();
    return AssertionSuccess();
}

AssertionResult Hover(int x, int y) { return MoveMouse(x, y); }

AssertionResult Chord(WORD modifier, WORD key) {
    INPUT events[4] = {};
    const WORD keys[4] = {modifier, key, key, modifier};
    for (int i = 0; i < 4; ++i) {
        events[i].type = INPUT_KEYBOARD;
        events[i].ki.wVk = keys[i];
        if (i >= 2)
            events[i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    if (SendInput(4, events, sizeof events[0]) != 4)
        return AssertionFailure() << "SendInput refused a key, error " << GetLastError();
    return AssertionSuccess();
}

AssertionResult Wheel(int x, int y, int delta, bool horizontal) {
    AssertionResult done = MoveMouse(x, y);
    if (!done)
        return done;
    INPUT turn = MouseAt(x, y, horizontal ? MOUSEEVENTF_HWHEEL : MOUSEEVENTF_WHEEL);
    turn.mi.mouseData = static_cast<DWORD>(delta);
    return Send({turn});
}

AssertionResult ClickButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button)
        return AssertionFailure() << "the dialog has no control " << id;
    RECT r = WindowRectOf(button);
    return Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

AssertionResult Press(HWND dialog, int id, const Titles &expected) {
    AssertionResult clicked = ClickButton(dialog, id);
    if (!clicked)
        return clicked;
    return TitlesBecome(dialog, expected);
}

AssertionResult ParkMouseAwayFrom(HWND window) {
    RECT r = WindowRectOf(window);
    int right = GetSystemMetrics(SM_CXSCREEN) - 1;
    int bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
    const POINT corners[4] = {{right, bottom}, {0, bottom}, {right, 0}, {0, 0}};
    for (const POINT &corner : corners) {
        POINT p = corner;
        if (!PtInRect(&r, p))
            return MoveMouse(p.x, p.y);
    }
    return AssertionFailure() << "the window covers every corner of the screen";
}

// ---- the clipboard ----------------------------------------------------------

bool OpenClipboardSoon() {
    return Eventually([] { return AssertionResult(OpenClipboard(nullptr) != FALSE); }, 5000);
}

bool EmptyTheClipboard() {
    if (!OpenClipboardSoon())
        return false;
    bool emptied = EmptyClipboard() != FALSE;
    CloseClipboard();
    return emptied;
}

// Opened without a window, the clipboard has no owner to ask anything of
// this thread, which does not answer messages while a test waits.
bool PutOnClipboard(const std::string &text, bool hold) {
    int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    HGLOBAL memory = units > 0 ? GlobalAlloc(GMEM_MOVEABLE, units * sizeof(wchar_t)) : nullptr;
    auto *wide = memory != nullptr ? static_cast<wchar_t *>(GlobalLock(memory)) : nullptr;
    if (wide == nullptr) {
        if (memory != nullptr)
            GlobalFree(memory);
        return false;
    }
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide, units);
    GlobalUnlock(memory);
    bool put = OpenClipboardSoon();
    if (put) {
        put = EmptyClipboard() != FALSE && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!put || !hold)
            CloseClipboard();
    }
    if (!put)
        GlobalFree(memory);
    return put;
}

std::string ClipboardText() {
    if (!OpenClipboardSoon())
        return "(the clipboard could not be opened)";
    std::string text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *held = static_cast<const wchar_t *>(GlobalLock(data))) {
            int bytes = WideCharToMultiByte(CP_UTF8, 0, held, -1, nullptr, 0, nullptr, nullptr);
            text.resize(bytes > 0 ? bytes : 1);
            WideCharToMultiByte(CP_UTF8, 0, held, -1, &text[0], bytes, nullptr, nullptr);
            text.resize(text.size() - 1);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

AssertionResult ClipboardBecomes(const std::string &expected) {
    return Eventually([&] {
        std::string seen = ClipboardText();
        return AssertionResult(seen == expected)
               << "the clipboard holds \"" << seen << "\", expected \"" << expected << "\"";
    });
}

// ---- the screen -------------------------------------------------------------

Picture CaptureClient(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT *>(&client), 2);
    return CaptureScreen(client);
}

bool SamePicture(const Picture &a, const Picture &b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

static std::string DescribeColour(COLORREF c) {
    char text[32];
    snprintf(text, sizeof text, "(%d,%d,%d)", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

std::string DescribeDifference(const Picture &a, const Picture &b) {
    if (a.width != b.width || a.height != b.height)
        return "sizes differ: " + std::to_string(a.width) + "x" + std::to_string(a.height) +
               " and " + std::to_string(b.width) + "x" + std::to_string(b.height);
    int count = 0;
    std::string first;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (PixelAt(a, x, y) != PixelAt(b, x, y) && count++ < 8)
                first += " (" + std::to_string(x) + "," + std::to_string(y) + ") " +
                         DescribeColour(PixelAt(a, x, y)) + " then " +
                         DescribeColour(PixelAt(b, x, y)) + ";";
    return std::to_string(count) + " pixels differ, first at:" + first;
}

bool SaveBitmap(const Picture &picture, const std::string &path) {
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = picture.width;
    info.biHeight = -picture.height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    std::vector<DWORD> bits;
    for (COLORREF c : picture.pixels)
        bits.push_back(static_cast<DWORD>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c));
    DWORD size = static_cast<DWORD>(bits.size() * sizeof(DWORD));
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + size;
    FILE *out = fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool ok = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
              fwrite(bits.data(), size, 1, out) == 1;
    return fclose(out) == 0 && ok;
}

COLORREF CommonestColour(const Picture &picture) {
    std::map<COLORREF, int> counts;
    for (COLORREF c : picture.pixels)
        ++counts[c];
    auto commonest =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto &a, const auto &b) { return a.second < b.second; });
    return commonest == counts.end() ? CLR_INVALID : commonest->first;
}

// ---- the three month panels ---------------------------------------------------

// Month names as the titles show them; the two longest carry a trailing blank,
// so their titles have two blanks before the year.
static const char *const kShownNames[12] = {
    "JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",       "JUNE",
    "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER ", "DECEMBER ",
};

std::string TitleOf(MonthOfYear month) {
    return std::string(kShownNames[month.month]) + " " + std::to_string(month.year);
}

Titles TitlesAround(MonthOfYear shown) {
    return {TitleOf(AddMonths(shown, -1)), TitleOf(shown), TitleOf(AddMonths(shown, 1))};
}

Titles TitlesAt(int months) { return TitlesAround(AddMonths(StartMonth(), months)); }

MonthOfYear AddMonths(MonthOfYear month, int count) {
    int index = month.year * 12 + month.month + count;
    MonthOfYear result = {index % 12, index / 12};
    if (result.month < 0) {
        result.month += 12;
        --result.year;
    }
    return result;
}

PanelPlan PlanPanel(HWND dialog, int panel, MonthOfYear month, const CalendarDate &today,
                    GridOptions options) {
    PanelPlan plan = {};
    plan.month = month;
    plan.options = options;
    plan.kind = panel == 1 ? PanelKind::current : PanelKind::side;
    RECT client = {};
    GetClientRect(GetDlgItem(dialog, kFrameIds[panel]), &client);
    plan.width = client.right;
    plan.height = client.bottom;
    plan.metrics = MeasureCellMetrics(plan.kind, plan.width, plan.height, 96, options.weekNumbers);
    plan.layout = LayoutMonth(plan.kind, plan.metrics, plan.width, plan.height, month.month,
                              month.year, today, options);
    return plan;
}

RECT CellOf(const PanelPlan &plan, const TextItem &item) {
    RECT cell = {item.x, item.y, item.x + plan.metrics.colWidth, item.y + plan.metrics.rowHeight};
    RECT whole = {0, 0, plan.width, plan.height};
    IntersectRect(&cell, &cell, &whole);
    return cell;
}

Frames CaptureFrames(HWND dialog) {
    Frames frames;
    for (int i = 0; i < kPanelCount; ++i)
        frames.panel[i] = CaptureClient(GetDlgItem(dialog, kFrameIds[i]));
    return frames;
}

bool SameFrames(const Frames &a, const Frames &b) {
    for (int i = 0; i < kPanelCount; ++i)
        if (!SamePicture(a.panel[i], b.panel[i]))
            return false;
    return true;
}

static const char *const kPanelNames[kPanelCount] = {"left", "middle", "right"};

// Wine copies a window's drawing to the screen when its thread goes idle or
// at the latest every 50 ms; a picture unchanged for longer than that is the
// one the program meant.
static const ULONGLONG kQuietMs = 120;

// Round trips through the program's message loop, so that what it had queued
// (a repaint after a move, say) has been handled before the screen is read.
static void LetProgramCatchUp(HWND window) {
    DWORD_PTR result = 0;
    for (int i = 0; i < 4; ++i)
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
}

AssertionResult SettledFramesPass(HWND dialog,
                                  const std::function<AssertionResult(const Frames &)> &check,
                                  Frames *frames) {
    LetProgramCatchUp(dialog);
    *frames = CaptureFrames(dialog);
    ULONGLONG unchangedSince = Now();
    return Eventually([&] {
        Frames now = CaptureFrames(dialog);
        if (!SameFrames(*frames, now))
            unchangedSince = Now();
        *frames = now;
        AssertionResult why = check(now);
        if (why && Now() - unchangedSince < kQuietMs)
            why = AssertionFailure() << "the screen never settled";
        return why;
    });
}

AssertionResult FramesBecome(HWND dialog, const Frames &expected, Frames *frames) {
    return SettledFramesPass(
        dialog,
        [&](const Frames &now) {
            AssertionResult why = AssertionSuccess();
            for (int i = 0; i < kPanelCount && why; ++i)
                why = AssertionResult(SamePicture(expected.panel[i], now.panel[i]))
                      << kPanelNames[i]
                      << " panel: " << DescribeDifference(expected.panel[i], now.panel[i]);
            return why;
        },
        frames);
}

// Each panel's plan, for the months around `shown`.
static void PlanPanels(HWND dialog, MonthOfYear shown, const CalendarDate &today,
                       GridOptions options, int panelDpi, PanelPlan plans[kPanelCount]) {
    for (int i = 0; i < kPanelCount; ++i)
        plans[i] = PlanPanelAtDpi(dialog, i, AddMonths(shown, i - 1), today, panelDpi, options);
}

AssertionResult WaitForSettledFrames(HWND dialog, MonthOfYear shown, const CalendarDate &today,
                                     Frames *frames, GridOptions options) {
    PanelPlan plans[kPanelCount];
    PlanPanels(dialog, shown, today, options, 96, plans);
    return SettledFramesPass(
        dialog,
        [&](const Frames &now) {
            AssertionResult why = AssertionSuccess();
            for (int i = 0; i < kPanelCount && why; ++i)
                if (!(why = DaysInked(now.panel[i], plans[i])))
                    why << " (" << kPanelNames[i] << " panel)";
            return why;
        },
        frames);
}

AssertionResult PanelsMatchThePlan(HWND dialog, MonthOfYear shown, const CalendarDate &today,
                                   Frames *frames, GridOptions options, int panelDpi) {
    PanelPlan plans[kPanelCount];
    PlanPanels(dialog, shown, today, options, panelDpi, plans);
    return SettledFramesPass(
        dialog,
        [&](const Frames &now) {
            AssertionResult why = AssertionSuccess();
            for (int i = 0; i < kPanelCount && why; ++i) {
                const PanelPlan &plan = plans[i];
                MonthOfYear month = AddMonths(shown, i - 1);
                bool todayHere = month.month == today.month && month.year == today.year;
                why = DaysInked(now.panel[i], plan);
                if (why)
                    why = NoStrayInk(now.panel[i], plan);
                if (why)
                    why = WeeksInked(now.panel[i], plan);
                if (why)
                    why = todayHere ? ColourOnlyIn(now.panel[i], kRed,
                                                   CellOf(plan, plan.layout.days[today.day - 1]))
                                    : ColourAbsent(now.panel[i], kRed);
                if (!why)
                    why << " (" << kPanelNames[i] << " panel)";
            }
            return why;
        },
        frames);
}

AssertionResult WaitForSettledClient(HWND window, Picture *picture, const Picture *expected,
                                     bool whole) {
    auto capture = [&] {
        return whole ? CaptureScreen(WindowRectOf(window)) : CaptureClient(window);
    };
    LetProgramCatchUp(window);
    *picture = capture();
    ULONGLONG unchangedSince = Now();
    return Eventually([&] {
        Picture now = capture();
        if (!SamePicture(*picture, now))
            unchangedSince = Now();
        *picture = now;
        if (expected && !SamePicture(*expected, now))
            return AssertionFailure() << DescribeDifference(*expected, now);
        return AssertionResult(Now() - unchangedSince >= kQuietMs) << "the screen never settled";
    });
}

// How far a colour's red (channel 0) or blue (2) stands above the other two.
static int Lean(COLORREF c, int channel) {
    const int values[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
    return values[channel] - std::max(values[(channel + 1) % 3], values[(channel + 2) % 3]);
}

// Pixels leaning the way a red or blue `colour` leans: exactly that colour
// where text is drawn unsmoothed, a tint of it where smoothing blends it with
// the background. Stray colour is looked for with this; the text itself
// must show the exact colour.
static bool IsTintOf(COLORREF c, COLORREF colour) {
    for (int channel : {0, 2})
        if (Lean(colour, channel) >= 64)
            return Lean(c, channel) >= 64;
    return c == colour;
}

// Text of any colour: near black, or leaning to red or blue. The grey of the
// frames' etched edges is lighter than this.
static bool IsDark(COLORREF c) {
    return GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80;
}

static bool IsInk(COLORREF c) { return IsDark(c) || IsTintOf(c, kRed) || IsTintOf(c, kBlue); }

static int CountIn(const Picture &picture, const RECT &area, bool (*match)(COLORREF, COLORREF),
                   COLORREF colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom && y < picture.height; ++y)
        for (int x = area.left; x < area.right && x < picture.width; ++x)
            if (match(PixelAt(picture, x, y), colour))
                ++count;
    return count;
}

static bool IsDayInk(COLORREF c, COLORREF) { return IsDark(c) || IsTintOf(c, kRed); }
static bool IsColour(COLORREF c, COLORREF colour) { return c == colour; }

// An item's cell where the painter clears it first (`area`: the letters' row
// or the grid), away from the frame's edge, which the last column's and row's
// cells may reach into.
static RECT ClearedCell(const PanelPlan &plan, const TextItem &item, const PanelRect &area) {
    RECT cell = CellOf(plan, item);
    RECT cleared = {area.left, area.top, area.right, area.bottom};
    IntersectRect(&cell, &cell, &cleared);
    return cell;
}

static bool Differs(COLORREF c, COLORREF ground) { return c != ground; }

AssertionResult DaysInked(const Picture &picture, const PanelPlan &plan) {
    if (picture.width != plan.width || picture.height != plan.height)
        return AssertionFailure() << "captured " << picture.width << "x" << picture.height
                                  << " for a " << plan.width << "x" << plan.height << " frame";
    COLORREF ground = CommonestColour(picture);
    std::string missing;
    for (int i = 0; i < plan.layout.dayCount; ++i)
        if (CountIn(picture, ClearedCell(plan, plan.layout.days[i], plan.layout.erase), Differs,
                    ground) == 0)
            missing += std::string(" ") + plan.layout.days[i].text;
    if (!missing.empty())
        return AssertionFailure() << "no ink in the cells of days" << missing;
    return AssertionSuccess();
}

CellInk DayInk(const Picture &picture, const PanelPlan &plan, int day) {
    COLORREF ground = CommonestColour(picture);
    RECT cell = ClearedCell(plan, plan.layout.days[day - 1], plan.layout.erase);
    CellInk ink = {0, cell.right};
    for (int y = cell.top; y < cell.bottom && y < picture.height; ++y)
        for (int x = cell.left; x < cell.right && x < picture.width; ++x)
            if (PixelAt(picture, x, y) != ground) {
                ++ink.pixels;
                ink.left = std::min(ink.left, static_cast<int>(x));
            }
    return ink;
}

AssertionResult NoStrayInk(const Picture &picture, const PanelPlan &plan) {
    std::vector<RECT> cells;
    for (int i = 0; i < plan.layout.dayCount; ++i)
        cells.push_back(CellOf(plan, plan.layout.days[i]));
    for (int i = 0; i < plan.layout.headerCount; ++i)
        cells.push_back(CellOf(plan, plan.layout.header[i]));
    for (int i = 0; i < plan.layout.weekCount; ++i)
        cells.push_back(CellOf(plan, plan.layout.weeks[i]));
    int stray = 0;
    std::string where;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            if (!IsInk(PixelAt(picture, x, y)))
                continue;
            POINT p = {x, y};
            bool inCell = false;
            for (const RECT &cell : cells)
                if (PtInRect(&cell, p)) {
                    inCell = true;
                    break;
                }
            if (!inCell && stray++ < 8)
                where += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
        }
    if (stray)
        return AssertionFailure() << stray << " ink pixels outside every cell, at" << where;
    return AssertionSuccess();
}

// The row drawn here as `headings` name it, pixel for pixel.
static AssertionResult HeadingsDrawn(const Picture &picture, const PanelPlan &plan,
                                     const char *headings) {
    wchar_t wide[64] = L"";
    MultiByteToWideChar(CP_UTF8, 0, headings, -1, wide, 64);
    std::vector<std::wstring> days;
    std::wistringstream words(wide);
    for (std::wstring day; words >> day;)
        days.push_back(day);
    if (days.size() != 7 || plan.layout.headerCount != 7)
        return AssertionFailure() << "\"" << headings << "\" is not seven headings for "
                                  << plan.layout.headerCount << " columns";
    Picture drawn = DrawnPicture(plan.width, plan.height, [&](HDC dc) {
        RECT whole = {0, 0, plan.width, plan.height};
        HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
        FillRect(dc, &whole, face);
        DeleteObject(face);
        HFONT font = CreateFontW(plan.layout.fontHeight, 0, 0, 0, FW_THIN, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, 0, L"Arial");
        HGDIOBJ previous = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kBlue);
        for (int i = 0; i < 7; ++i) {
            const std::wstring &day = days[(i + plan.layout.firstWeekday) % 7];
            TextOutW(dc, plan.layout.header[i].x, plan.layout.header[i].y, day.c_str(),
                     static_cast<int>(day.size()));
        }
        SelectObject(dc, previous);
        DeleteObject(font);
        return font != nullptr;
    });
    if (drawn.pixels.empty() || picture.width != plan.width || picture.height != plan.height)
        return AssertionFailure() << "no picture to read the headings from";
    const PanelRect &row = plan.layout.headerErase;
    int differ = 0;
    POINT first = {};
    for (int y = row.top; y < row.bottom; ++y)
        for (int x = row.left; x < row.right; ++x)
            if (PixelAt(picture, x, y) != PixelAt(drawn, x, y) && differ++ == 0)
                first = {x, y};
    if (differ)
        return AssertionFailure() << differ << " pixels of the weekday row differ from \""
                                  << headings << "\", the first at (" << first.x << "," << first.y
                                  << ")";
    return AssertionSuccess();
}

// Days since 1 January 1970 of a date (month 1-12), counted here rather
// than by the engine whose weeks are checked.
static long DayNumber(int year, int month, int day) {
    year -= month <= 2;
    long era = (year >= 0 ? year : year - 399) / 400;
    long yearOfEra = year - era * 400;
    long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
}

// The ISO week whose Thursday is `thursday`: a week belongs to the year its
// Thursday is in (`year` or one before), and week 1 holds the year's first
// Thursday.
static int IsoWeek(long thursday, int year) {
    while (DayNumber(year, 1, 1) > thursday)
        --year;
    return static_cast<int>((thursday - DayNumber(year, 1, 1)) / 7 + 1);
}

// The ISO week of the Monday of each row.
static std::string IsoWeeksOfRows(const PanelPlan &plan) {
    long first = DayNumber(plan.month.year, plan.month.month + 1, 1);
    int sundayBased = static_cast<int>((first + 4) % 7); // 1 January 1970 was a Thursday
    int firstWeekday = plan.options.firstWeekday;
    long rowStart = first - (sundayBased - firstWeekday + 7) % 7;
    std::string weeks;
    for (int row = 0; row < plan.layout.weekCount; ++row, rowStart += 7) {
        long thursday = rowStart + (8 - firstWeekday) % 7 + 3;
        weeks += (row ? " " : "") + std::to_string(IsoWeek(thursday, plan.month.year + 1));
    }
    return weeks;
}

std::string TodaysTip() {
    CalendarDate today = StartDate();
    int year = today.year;
    long day = DayNumber(year, today.month + 1, today.day);
    long mondayBased = (day + 3) % 7; // 1 January 1970 was a Thursday
    long first = DayNumber(year, 1, 1);
    SYSTEMTIME date = {};
    date.wYear = static_cast<WORD>(year);
    date.wMonth = static_cast<WORD>(today.month + 1);
    date.wDay = static_cast<WORD>(today.day);
    wchar_t wide[128] = L"";
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_LONGDATE, &date, nullptr, wide, 128, nullptr);
    char text[256] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return std::string(text) + "\r\nWeek " +
           std::to_string(IsoWeek(day - mondayBased + 3, year + 1)) + ", day " +
           std::to_string(day - first + 1) + " of " +
           std::to_string(DayNumber(year + 1, 1, 1) - first) + "\r\nToday";
}

// The box around the ink of `ink` within `area`.
static RECT InkBox(const std::vector<bool> &ink, int inkWidth, const RECT &area) {
    RECT box = {area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (ink[static_cast<size_t>(y) * inkWidth + x]) {
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
            }
    return box;
}

// Text of colour `text` on the face: ink is what is nearer that colour than
// the face, so that smoothed text reads as its strokes whatever its colour.
static std::vector<bool> InkOf(const Picture &picture, COLORREF text) {
    int threshold = (GetGValue(text) + GetGValue(GetSysColor(COLOR_BTNFACE))) / 2;
    std::vector<bool> ink;
    for (COLORREF c : picture.pixels)
        ink.push_back(GetGValue(c) < threshold);
    return ink;
}

struct Glyphs {
    Picture picture;
    std::vector<bool> ink;
    std::vector<RECT> boxes;
};

// The characters of `alphabet` as this driver draws them in plain Arial, at
// the size whose first character is `inkHeight` pixels tall: the shapes
// that the screen's are told apart by.
static const Glyphs &GlyphsOfHeight(const std::string &alphabet, int inkHeight) {
    static std::map<std::pair<std::string, int>, Glyphs> drawn;
    Glyphs &glyphs = drawn[{alphabet, inkHeight}];
    int count = static_cast<int>(alphabet.size());
    COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    for (int size = inkHeight; glyphs.ink.empty() && size < 3 * inkHeight + 4; ++size) {
        glyphs.picture = DrawnPicture(size * 2 * count, size * 2, [&](HDC dc) {
            RECT whole = {0, 0, size * 2 * count, size * 2};
            HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
            FillRect(dc, &whole, face);
            DeleteObject(face);
            HFONT font = CreateFontA(size, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0,
                                     0, DEFAULT_QUALITY, 0, "Arial");
            HGDIOBJ previous = SelectObject(dc, font);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, grey);
            for (int i = 0; i < count; ++i)
                TextOutA(dc, i * size * 2, 0, &alphabet[i], 1);
            SelectObject(dc, previous);
            DeleteObject(font);
            return font != nullptr;
        });
        std::vector<bool> ink = InkOf(glyphs.picture, grey);
        glyphs.boxes.clear();
        for (int i = 0; i < count && !ink.empty(); ++i)
            glyphs.boxes.push_back(
                InkBox(ink, glyphs.picture.width, {i * size * 2, 0, (i + 1) * size * 2, size * 2}));
        if (!ink.empty() && glyphs.boxes[0].bottom - glyphs.boxes[0].top == inkHeight)
            glyphs.ink = ink;
    }
    return glyphs;
}

// The character of `alphabet` whose shape, laid over the one in `box` on the
// screen, differs from it in the fewest pixels.
static char ReadGlyph(const std::vector<bool> &ink, int inkWidth, const RECT &box,
                      const std::string &alphabet) {
    const Glyphs &glyphs = GlyphsOfHeight(alphabet, box.bottom - box.top);
    char best = '?';
    int fewest = INT_MAX;
    for (size_t i = 0; i < alphabet.size() && !glyphs.ink.empty(); ++i) {
        const RECT &shape = glyphs.boxes[i];
        int width = std::max(box.right - box.left, shape.right - shape.left);
        int height = std::max(box.bottom - box.top, shape.bottom - shape.top);
        int differ = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                bool seen = box.left + x < box.right && box.top + y < box.bottom &&
                            ink[static_cast<size_t>(box.top + y) * inkWidth + box.left + x];
                bool drawn = shape.left + x < shape.right && shape.top + y < shape.bottom &&
                             glyphs.ink[static_cast<size_t>(shape.top + y) * glyphs.picture.width +
                                        shape.left + x];
                differ += seen != drawn;
            }
        if (differ < fewest) {
            fewest = differ;
            best = alphabet[i];
        }
    }
    return best;
}

AssertionResult WeeksInked(const Picture &picture, const PanelPlan &plan, const char *expected) {
    std::string weeks = expected ? expected : IsoWeeksOfRows(plan);
    COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    std::vector<bool> ink = InkOf(picture, grey);
    // The last row's cell may reach into the frame's edge, which is drawn
    // inside the frame, in grey too.
    const PanelRect &erase = plan.layout.erase;
    std::vector<RECT> cells;
    std::string read;
    for (int i = 0; i < plan.layout.weekCount; ++i) {
        RECT cell = ClearedCell(plan, plan.layout.weeks[i], erase);
        cells.push_back(cell);
        if (CountIn(
                picture, cell, [](COLORREF c, COLORREF) { return IsInk(c); }, 0) > 0 ||
            CountIn(picture, cell, IsColour, grey) == 0)
            return AssertionFailure() << "week cell " << i << " is not written in grey";
        read += i ? " " : "";
        // Each digit is a run of columns with ink, apart from the next.
        auto inkIn = [&](int left, int right) {
            return InkBox(ink, picture.width, {left, cell.top, right, cell.bottom});
        };
        for (int x = cell.left, end = x; x < cell.right; x = ++end) {
            while (end < cell.right && inkIn(end, end + 1).left == end)
                ++end;
            if (end > x)
                read += ReadGlyph(ink, picture.width, inkIn(x, end), "0123456789");
        }
    }
    if (read != weeks)
        return AssertionFailure() << "the week column reads \"" << read << "\", expected \""
                                  << weeks << "\"";
    // The week column itself, where rows without a week must stay bare.
    int columnLeft = plan.layout.weekCount > 0 ? plan.layout.weeks[0].x : erase.left;
    RECT column = {columnLeft, erase.top, columnLeft + plan.metrics.colWidth, erase.bottom};
    int stray = CountIn(picture, column, IsColour, grey);
    for (const RECT &cell : cells)
        stray -= CountIn(picture, cell, IsColour, grey);
    if (stray != 0)
        return AssertionFailure() << stray << " grey pixels in the week column outside its "
                                  << plan.layout.weekCount << " weeks";
    return AssertionSuccess();
}

AssertionResult HeadingsRead(const Picture &picture, const PanelPlan &plan, const char *headings) {
    COLORREF ground = CommonestColour(picture);
    std::vector<bool> drawn;
    for (COLORREF c : picture.pixels)
        drawn.push_back(c != ground);
    const PanelLayout &layout = plan.layout;
    for (int i = 0; i < layout.headerCount; ++i) {
        RECT cell = ClearedCell(plan, layout.header[i], layout.headerErase);
        RECT letter = InkBox(drawn, picture.width, cell);
        RECT days = {};
        for (int d = 0; d < layout.dayCount; ++d)
            if (layout.days[d].x == layout.header[i].x) {
                RECT day = ClearedCell(plan, layout.days[d], layout.erase);
                day = InkBox(drawn, picture.width, day);
                UnionRect(&days, &days, &day);
            }
        // Twice the distance between the two middles.
        int off = (letter.left + letter.right) - (days.left + days.right);
        if (IsRectEmpty(&letter) || IsRectEmpty(&days) ||
            std::abs(off) > 2 * plan.metrics.colWidth / 3)
            return AssertionFailure()
                   << "weekday letter " << i << " has ink at x " << letter.left << "-"
                   << letter.right << ", its column's days at " << days.left << "-" << days.right;
    }
    return headings == nullptr ? AssertionSuccess() : HeadingsDrawn(picture, plan, headings);
}

AssertionResult ColourOnlyIn(const Picture &picture, COLORREF colour, const RECT &area) {
    RECT whole = {0, 0, picture.width, picture.height};
    int exactInside = CountIn(picture, area, IsColour, colour);
    int tinted = CountIn(picture, whole, IsTintOf, colour);
    int tintedInside = CountIn(picture, area, IsTintOf, colour);
    if (exactInside == 0 || tintedInside != tinted)
        return AssertionFailure() << exactInside << " pixels of " << DescribeColour(colour)
                                  << " in (" << area.left << "," << area.top << ")-(" << area.right
                                  << "," << area.bottom << "), and " << tinted - tintedInside
                                  << " of its tint outside";
    return AssertionSuccess();
}

AssertionResult ColourAbsent(const Picture &picture, COLORREF colour) {
    RECT whole = {0, 0, picture.width, picture.height};
    int tinted = CountIn(picture, whole, IsTintOf, colour);
    if (tinted)
        return AssertionFailure() << tinted << " pixels of " << DescribeColour(colour)
                                  << " or its tint";
    return AssertionSuccess();
}

// The program lays a panel out for its window's DPI.
PanelPlan PlanPanelAtDpi(HWND dialog, int panel, MonthOfYear month, const CalendarDate &today,
                         int dpi, GridOptions options) {
    PanelPlan plan = PlanPanel(dialog, panel, month, today, options);
    plan.metrics = MeasureCellMetrics(plan.kind, plan.width, plan.height, dpi, options.weekNumbers);
    plan.layout = LayoutMonth(plan.kind, plan.metrics, plan.width, plan.height, month.month,
                              month.year, today, options);
    return plan;
}

// ---- the menu and the choices -----------------------------------------------

HWND WaitForMenu(DWORD processId, bool shown, ULONGLONG timeoutMs) {
    std::vector<HWND> menus;
    Eventually(
        [&] {
            menus = FindWindows(processId, true, "#32768");
            return AssertionResult(menus.empty() != shown);
        },
        timeoutMs);
    return menus.empty() ? nullptr : menus[0];
}

// Once the menu has been drawn: rows of it with dark text right of the tick
// margin, each a run of rows less than three apart; an item's row band is
// its run's.
static std::vector<bool> MenuTicks(const Picture &picture, size_t items) {
    int margin = GetSystemMetrics(SM_CXMENUCHECK) + 2;
    std::vector<bool> ticks;
    int runTop = -1;
    int runBottom = -1;
    auto closeRun = [&]() {
        if (runTop < 0 || ticks.size() >= items)
            return;
        RECT tickArea = {0, runTop - 2, margin, runBottom + 3};
        ticks.push_back(CountIn(picture, tickArea, IsDayInk, 0) > 0);
    };
    for (int y = 0; y < picture.height; ++y) {
        RECT row = {margin, y, picture.width, y + 1};
        if (CountIn(picture, row, IsDayInk, 0) == 0)
            continue;
        if (runTop >= 0 && y - runBottom >= 3) {
            closeRun();
            runTop = -1;
        }
        if (runTop < 0)
            runTop = y;
        runBottom = y;
    }
    closeRun();
    return ticks;
}

AssertionResult MenuTicksAre(HWND menu, const std::vector<bool> &expected) {
    Picture picture;
    AssertionResult settled = WaitForSettledClient(menu, &picture);
    if (!settled)
        return settled;
    return Eventually([&] {
        std::vector<bool> ticks = MenuTicks(CaptureClient(menu), expected.size());
        std::string seen;
        for (bool tick : ticks)
            seen += tick ? "1" : "0";
        return AssertionResult(ticks == expected) << "the menu's first items show ticks " << seen;
    });
}

std::string OptionsSection(bool mondayFirst, bool weekNumbers, bool onTop) {
    return std::string("[OPTIONS]\r\nFIRSTDAY=") + (mondayFirst ? "1" : "0") +
           "\r\nWEEKNUM=" + (weekNumbers ? "1" : "0") + "\r\nONTOP=" + (onTop ? "1" : "0") + "\r\n";
}

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

AssertionResult RunValueIs(const std::string &expected) {
    return Eventually([&] {
        char text[1024] = "";
        DWORD size = sizeof text - 1;
        DWORD type = 0;
        LONG status =
            RegGetValueA(HKEY_CURRENT_USER, kRunKey, "Trical", RRF_RT_ANY, &type, text, &size);
        bool none = status == ERROR_FILE_NOT_FOUND;
        bool held = status == ERROR_SUCCESS && type == REG_SZ;
        return AssertionResult(expected.empty() ? none : held && expected == text)
               << "the Run value is " << (none ? "missing" : "\"" + std::string(text) + "\"")
               << ", expected " << (expected.empty() ? "none" : expected);
    });
}

bool WriteRunValue(const std::string &value) {
    return RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, "Trical", REG_SZ, value.c_str(),
                           static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool RemoveRunValue() {
    LONG status = RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Trical");
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::string QuotedTricalPath() { return "\"" + TricalPath() + "\""; }

static const int kTitleIds[kPanelCount] = {kPrevTitle, kCurrentTitle, kNextTitle};
static const int kButtonIds[] = {kAboutButton,     kPrevYearButton, kPrevMonthButton,
                                 kNextMonthButton, kNextYearButton, kCloseButton};

Layout LayoutOf(HWND dialog) {
    Layout layout;
    layout.window = WindowRectOf(dialog);
    for (int i = 0; i < kPanelCount; ++i) {
        layout.frames[i] = RectInParent(GetDlgItem(dialog, kFrameIds[i]));
        layout.titles[i] = RectInParent(GetDlgItem(dialog, kTitleIds[i]));
    }
    layout.close = RectInParent(GetDlgItem(dialog, kCloseButton));
    return layout;
}

AssertionResult WidenedAndClear(HWND dialog, const Layout &base, int panelDpi) {
    Layout now = LayoutOf(dialog);
    int pushed = 0;
    for (int i = 0; i < kPanelCount; ++i) {
        const RECT &b = base.frames[i];
        // Group boxes have no border: the rectangle is the client area.
        CellMetrics metrics = MeasureCellMetrics(i == 1 ? PanelKind::current : PanelKind::side,
                                                 b.right - b.left, b.bottom - b.top, panelDpi);
        RECT frame = b;
        RECT title = base.titles[i];
        OffsetRect(&frame, pushed, 0);
        OffsetRect(&title, pushed, 0);
        frame.right += metrics.colWidth;
        title.right += metrics.colWidth;
        if (!EqualRect(&frame, &now.frames[i]) || !EqualRect(&title, &now.titles[i]))
            return AssertionFailure()
                   << "frame " << i << " or its title is not one column of " << metrics.colWidth
                   << " px wider, " << pushed << " px further right";
        pushed += metrics.colWidth;
    }
    int grown = (now.window.right - now.window.left) - (base.window.right - base.window.left);
    RECT close = base.close;
    OffsetRect(&close, pushed, 0);
    if (grown != pushed || !EqualRect(&close, &now.close))
        return AssertionFailure() << "the window grew by " << grown << " px, not " << pushed
                                  << ", or X left the right edge";
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<RECT> all(now.frames, now.frames + kPanelCount);
    for (int id : kButtonIds)
        all.push_back(RectInParent(GetDlgItem(dialog, id)));
    size_t solid = all.size();
    all.insert(all.end(), now.titles, now.titles + kPanelCount);
    for (size_t i = 0; i < all.size(); ++i) {
        RECT inside;
        UnionRect(&inside, &all[i], &client);
        if (!EqualRect(&inside, &client))
            return AssertionFailure() << "control " << i << " is cut by the window";
        // Titles stand in their frames' top edges; they must only miss the buttons.
        for (size_t j = i + 1; j < all.size(); ++j) {
            RECT overlap;
            bool titleAndFrame = i < kPanelCount && j >= solid;
            if (!titleAndFrame && IntersectRect(&overlap, &all[i], &all[j]))
                return AssertionFailure() << "controls " << i << " and " << j << " overlap";
        }
    }
    return AssertionSuccess();
}

// ---- the fixture ----------------------------------------------------------

void CalendarTest::SetUp() {
    ASSERT_TRUE(MarkerWindows().empty()) << "a trical from an earlier test is still running";
    ASSERT_TRUE(RemoveEventFiles());
    if (RealClock())
        return;
    ASSERT_TRUE(ClockCanBeSet()) << "the clock can only be set when run by run-e2e.sh";
    ASSERT_TRUE(SetLocalClock(1997, 1, 15, 12, 0, 0));
}

void CalendarTest::TearDown() { EndCalendar(); }

void StartedCalendarTest::SetUp() {
    CalendarTest::SetUp();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(Launch());
}

void CalendarTest::EndCalendar() {
    if (!process_.hProcess)
        return;
    DWORD code = 0;
    if (Running(process_)) {
        // The test failed before closing it; the close is not what is tested.
        for (HWND dialog : FindWindows(process_.dwProcessId, false, "#32770"))
            if (GetDlgItem(dialog, kCloseButton))
                PostMessageA(dialog, WM_COMMAND, kCloseButton, 0);
        if (!WaitForExit(process_, 20000, &code)) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 20000);
            ADD_FAILURE() << "trical had to be terminated";
        }
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = PROCESS_INFORMATION{};
    dialog_ = nullptr;
}

// The suggested rectangle lives in the calendar's own memory, where the
// message's pointer must point.
AssertionResult CalendarTest::SendDpiChange(int dpi, const RECT &suggested) {
    void *remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof suggested,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote)
        return AssertionFailure() << "VirtualAllocEx, error " << GetLastError();
    bool written =
        WriteProcessMemory(process_.hProcess, remote, &suggested, sizeof suggested, nullptr) != 0;
    DWORD_PTR result = 0;
    bool sent = written && SendMessageTimeoutA(dialog_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                               reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 10000,
                                               &result) != 0;
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    if (!sent)
        return AssertionFailure() << "WM_DPICHANGED not delivered";
    return AssertionSuccess();
}

// Posted messages are handled in turn. The titles are compared with
// themselves, whatever words the region gives them.
AssertionResult CalendarTest::HandledSinceTheChange() {
    Titles before = ReadTitles(dialog_);
    if (!PostMessageA(dialog_, WM_COMMAND, kNextMonthButton, 0))
        return AssertionFailure() << "cannot post a step, error " << GetLastError();
    AssertionResult moved = Eventually([&] {
        Titles now = ReadTitles(dialog_);
        return AssertionResult(!SameTitles(now, before)) << "still " << Describe(now);
    });
    if (!moved)
        return moved;
    if (!PostMessageA(dialog_, WM_COMMAND, kPrevMonthButton, 0))
        return AssertionFailure() << "cannot post a step, error " << GetLastError();
    return TitlesBecome(dialog_, before);
}

AssertionResult CalendarTest::Launch(const char *arguments, const std::string &exe) {
    AssertionResult started = StartTrical(arguments, &process_, 0, exe);
    if (!started)
        return started;
    dialog_ = WaitForCalendar(process_, 30000);
    if (!dialog_) {
        DWORD code = 0;
        if (!Running(process_) && GetExitCodeProcess(process_.hProcess, &code))
            return AssertionFailure()
                   << "trical ended with exit code " << code << " without showing the calendar";
        std::vector<HWND> shown = FindWindows(process_.dwProcessId, true, "#32770");
        if (shown.size() == 1) {
            RECT r = WindowRectOf(shown[0]);
            return AssertionFailure() << "the calendar appeared at (" << r.left << ", " << r.top
                                      << ") but its titles were never set";
        }
        return AssertionFailure() << "no calendar window appeared";
    }
    return AssertionSuccess();
}

static AssertionResult EndsWithCodeZero(const PROCESS_INFORMATION &process) {
    DWORD code = 0;
    if (!WaitForExit(process, 30000, &code))
        return AssertionFailure() << "trical did not end after it was closed";
    if (code != 0)
        return AssertionFailure() << "trical ended with exit code " << code;
    return AssertionSuccess();
}

AssertionResult CalendarTest::DragTo(POINT place) {
    RECT from = WindowRectOf(dialog_);
    POINT grip = BareBodyPoint(dialog_);
    AssertionResult dragged =
        Drag(dialog_, grip, {grip.x + place.x - from.left, grip.y + place.y - from.top});
    return dragged ? Eventually([&] { return WindowAt(dialog_, place); }) : dragged;
}

AssertionResult CalendarTest::CloseWithX() {
    AssertionResult clicked = ClickButton(dialog_, kCloseButton);
    if (!clicked)
        return clicked;
    return EndsWithCodeZero(process_);
}

AssertionResult CalendarTest::Close() {
    RECT button = WindowRectOf(GetDlgItem(dialog_, kCloseButton));
    POINT centre = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (PtInRect(&screen, centre))
        return CloseWithX();
    if (!PostMessageA(dialog_, WM_COMMAND, kCloseButton, 0))
        return AssertionFailure() << "cannot post the close command, error " << GetLastError();
    return EndsWithCodeZero(process_);
}
