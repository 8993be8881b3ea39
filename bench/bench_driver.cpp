// Times trical.exe against floor.exe (a bare dialog of the same template)
// and, at start, floor_paint.exe (that dialog drawing any calendar's days)
// under Wine, each started from here, and prints one line per figure:
//   start NAME MS         process creation to the titles of the current months
//                         and today's red on the screen
//   peakmem NAME KIB KIB  peak working set and peak pagefile use at that moment
//   repaint NAME US       one month step, with its repaint, per command
//   idle NAME MS MS SECONDS  CPU time in a window of that many seconds, from
//                          Linux's scheduler and from GetProcessTimes
//   idle-day NAME MS MS SECONDS  the same, the pointer resting on a day of
//                          trical's, its tip shown and gone
// Usage: bench_driver start RUNS [choices|events] | repaint RUNS COMMANDS |
//        idle WINDOWS SECONDS
// With "choices" trical starts with every remembered choice on, with
// "events" with a holidays file of 300 events in its folder; the programs'
// names then end in "-choices" or "-events".
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "screen.h"
#include "view.h"

const int kPrevMonthButton = 1064;
const int kCloseButton = 1065;
const int kNextMonthButton = 1066;
const int kCurrentFrame = 1069;
const int kCurrentTitle = 1070;
const int kPrevTitle = 1071;
const int kNextTitle = 1072;

const DWORD kDeadlineMs = 30000;

struct Program {
    const char *name;
    std::string path;
};

struct Running {
    PROCESS_INFORMATION process;
    HWND dialog;
};

static double Seconds() {
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

static std::string Beside(const char *file) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of('\\') + 1) + file;
}

static bool Fail(const char *what, const Program &program) {
    fprintf(stderr, "bench_driver: %s: %s\n", program.name, what);
    return false;
}

struct Search {
    DWORD processId;
    HWND found;
};

static BOOL CALLBACK FindDialog(HWND window, LPARAM data) {
    Search *search = reinterpret_cast<Search *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (owner != search->processId || !IsWindowVisible(window) || strcmp(name, "#32770") != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

// The title names the month's year, in whatever words the user's region
// has for the month; the template's own titles name 1996.
static bool TitleIs(HWND dialog, int id, MonthOfYear month) {
    wchar_t text[64] = L"";
    GetDlgItemTextW(dialog, id, text, 64);
    char year[12];
    FormatNumber(month.year, year);
    wchar_t wideYear[12];
    Widen(year, wideYear, 12);
    return wcsstr(text, wideYear) != nullptr;
}

static CalendarView TodaysView() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    CalendarView view;
    Init(view, DateOfSystemTime(now.wYear, now.wMonth, now.wDay));
    return view;
}

// The shown calendar of that process, once its titles name the current
// month and its neighbours and its first paint shows today on the screen:
// the same sign from trical and from both floors.
static HWND WaitForFirstPaint(const PROCESS_INFORMATION &process) {
    CalendarView view = TodaysView();
    MonthOfYear shown = {view.shownMonth, view.shownYear};
    double deadline = Seconds() + kDeadlineMs / 1000.0;
    do {
        Search search = {process.dwProcessId, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        HWND dialog = search.found;
        if (dialog != nullptr && TitleIs(dialog, kCurrentTitle, shown) &&
            TitleIs(dialog, kPrevTitle, PrevNeighbour(view)) &&
            TitleIs(dialog, kNextTitle, NextNeighbour(view)) && FirstPaintSeen(dialog))
            return dialog;
        if (WaitForSingleObject(process.hProcess, 1) != WAIT_TIMEOUT)
            return nullptr;
    } while (Seconds() < deadline);
    return nullptr;
}

static bool Start(const Program &program, Running *running, double *ms) {
    std::string commandLine = "\"" + program.path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    running->process = PROCESS_INFORMATION{};
    double begin = Seconds();
    if (!CreateProcessA(program.path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &running->process))
        return Fail("CreateProcess failed", program);
    running->dialog = WaitForFirstPaint(running->process);
    if (ms)
        *ms = (Seconds() - begin) * 1000.0;
    if (running->dialog == nullptr)
        return Fail("no calendar with the current months", program);
    return true;
}

// Ends it as its X button does, and waits for it to be gone: trical runs
// once per desktop and keeps its place in the prefix's TRICAL.INI.
static bool Close(const Program &program, Running *running) {
    PostMessageA(running->dialog, WM_COMMAND, kCloseButton, 0);
    bool ended = WaitForSingleObject(running->process.hProcess, kDeadlineMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(running->process.hProcess, 1);
    CloseHandle(running->process.hThread);
    CloseHandle(running->process.hProcess);
    return ended || Fail("did not end on X", program);
}

static bool TimeStart(const Program &program, bool print) {
    Running running;
    double ms = 0;
    if (!Start(program, &running, &ms)) {
        Close(program, &running);
        return false;
    }
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    bool measured = GetProcessMemoryInfo(running.process.hProcess, &memory, sizeof memory) != 0;
    if (print) {
        printf("start %s %.2f\n", program.name, ms);
        if (measured)
            printf("peakmem %s %llu %llu\n", program.name,
                   static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024),
                   static_cast<unsigned long long>(memory.PeakPagefileUsage / 1024));
    }
    return Close(program, &running);
}

// Half the commands step forward, half step back to where they began. Only
// trical names the month in its titles, which shows that the steps were
// handled and painted.
static bool TimeRepaint(const Program &program, int commands, bool isTrical) {
    Running running;
    if (!Start(program, &running, nullptr)) {
        Close(program, &running);
        return false;
    }
    CalendarView view = TodaysView();
    int half = commands / 2;
    double begin = Seconds();
    for (int i = 0; i < half; ++i)
        SendMessageA(running.dialog, WM_COMMAND, kNextMonthButton, 0);
    double middle = Seconds();
    for (int i = 0; i < half; ++i)
        NextMonth(view);
    bool stepped = TitleIs(running.dialog, kCurrentTitle, {view.shownMonth, view.shownYear});
    double paused = Seconds() - middle;
    for (int i = 0; i < half; ++i)
        SendMessageA(running.dialog, WM_COMMAND, kPrevMonthButton, 0);
    double elapsed = Seconds() - begin - paused;
    printf("repaint %s %.3f\n", program.name, elapsed * 1e6 / (2 * half));
    bool closed = Close(program, &running);
    if (isTrical && !stepped)
        return Fail("the titles did not follow the steps", program);
    return closed;
}

static ULONGLONG CpuTime100ns(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
    ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
    return k.QuadPart + u.QuadPart;
}

// Wine counts another process's CPU time in the kernel's 10 ms ticks, as
// coarse as the whole idle budget. The scheduler's own count in nanoseconds
// is read from the Linux side, which Wine shows as drive Z:.
static std::string ReadLinuxFile(const std::string &path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

static bool AllDigits(const char *name) {
    for (; *name != '\0'; ++name)
        if (*name < '0' || *name > '9')
            return false;
    return true;
}

// The Linux process that runs a program: wine64 gives it the program's
// Windows path as its command line. Only this driver starts these copies.
static std::string LinuxProcessOf(const std::string &windowsPath) {
    std::string pid;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE)
        return pid;
    do {
        if (!AllDigits(entry.cFileName))
            continue;
        std::string line = ReadLinuxFile(std::string("Z:\\proc\\") + entry.cFileName + "\\cmdline");
        if (line.size() >= windowsPath.size() &&
            _strnicmp(line.c_str(), windowsPath.c_str(), windowsPath.size()) == 0)
            pid = entry.cFileName;
    } while (pid.empty() && FindNextFileA(search, &entry));
    FindClose(search);
    return pid;
}

// Nanoseconds on a CPU so far, summed over the process's threads.
static double SchedulerMs(const std::string &pid) {
    std::string tasks = "Z:\\proc\\" + pid + "\\task\\";
    double ns = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((tasks + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    do {
        if (AllDigits(entry.cFileName))
            ns += atof(ReadLinuxFile(tasks + entry.cFileName + "\\schedstat").c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return ns / 1e6;
}

// Waits until neither process has used CPU for a second, so that the
// windows measure the idle calendar and not the tail of its start.
static bool WaitForQuiet(const std::string *pids, int count) {
    double deadline = Seconds() + kDeadlineMs / 1000.0;
    double last = -1;
    double since = Seconds();
    while (Seconds() < deadline) {
        double total = 0;
        for (int i = 0; i < count; ++i)
            total += SchedulerMs(pids[i]);
        if (total != last) {
            last = total;
            since = Seconds();
        } else if (Seconds() - since >= 1.0) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

// The CPU time of both in a window of `seconds`, on a line of its own.
static void TimeWindow(const char *label, const Program *programs, const Running *running,
                       const std::string *pids, int seconds) {
    ULONGLONG ticksBefore[2];
    double before[2];
    for (int i = 0; i < 2; ++i) {
        ticksBefore[i] = CpuTime100ns(running[i].process.hProcess);
        before[i] = SchedulerMs(pids[i]);
    }
    Sleep(static_cast<DWORD>(seconds) * 1000);
    for (int i = 0; i < 2; ++i) {
        double ticks =
            static_cast<double>(CpuTime100ns(running[i].process.hProcess) - ticksBefore[i]) / 1e4;
        printf("%s %s %.3f %.0f %d\n", label, programs[i].name, SchedulerMs(pids[i]) - before[i],
               ticks, seconds);
    }
    fflush(stdout);
}

// Whether trical shows a tooltip.
static bool TipShown(DWORD processId) {
    HWND tip = nullptr;
    while ((tip = FindWindowExA(nullptr, tip, "tooltips_class32", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(tip, &owner);
        if (owner == processId && IsWindowVisible(tip))
            return true;
    }
    return false;
}

// One more window, the pointer resting on the 8th to 20th of trical's middle
// month, after its tip has shown and gone by itself: a tooltip control that
// keeps looking for the pointer costs CPU for as long as it rests.
static bool RestOnADay(const Program *programs, Running *running, const std::string *pids,
                       int seconds) {
    RECT frame;
    GetWindowRect(GetDlgItem(running[0].dialog, kCurrentFrame), &frame);
    POINT day = {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
    // Both opened round the pointer; the floor goes where it covers nothing.
    SetWindowPos(running[1].dialog, nullptr, frame.right + 400, frame.bottom + 400, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetCursorPos(day.x, day.y);
    double deadline = Seconds() + kDeadlineMs / 1000.0;
    while (!TipShown(running[0].process.dwProcessId) && Seconds() < deadline)
        Sleep(50);
    if (!TipShown(running[0].process.dwProcessId))
        return Fail("showed no tip over a day", programs[0]);
    while (TipShown(running[0].process.dwProcessId) && Seconds() < deadline)
        Sleep(50);
    if (!WaitForQuiet(pids, 2))
        return Fail("kept using CPU with the pointer on a day", programs[0]);
    TimeWindow("idle-day", programs, running, pids, seconds);
    return true;
}

// Both programs run side by side, unused, for consecutive windows.
static bool TimeIdle(const Program *programs, int windows, int seconds) {
    Running running[2];
    std::string pids[2];
    bool ok = true;
    int started = 0;
    for (; started < 2 && ok; ++started) {
        ok = Start(programs[started], &running[started], nullptr);
        pids[started] = LinuxProcessOf(programs[started].path);
        if (ok && pids[started].empty())
            ok = Fail("no Linux process found", programs[started]);
    }
    if (ok && !WaitForQuiet(pids, 2))
        ok = Fail("kept using CPU after its start", programs[0]);
    for (int w = 0; w < windows && ok; ++w)
        TimeWindow("idle", programs, running, pids, seconds);
    if (ok)
        ok = RestOnADay(programs, running, pids, seconds);
    for (int i = 0; i < started; ++i)
        ok = Close(programs[i], &running[i]) && ok;
    return ok;
}

// Trical's own TRICAL.INI in the prefix: [OPTIONS] all on, or gone.
static bool SetChoices(bool on) {
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("APPDATA", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder - 20)
        return false;
    std::string path = std::string(folder) + "\\Trical";
    CreateDirectoryA(path.c_str(), nullptr);
    path += "\\TRICAL.INI";
    if (!on)
        return WritePrivateProfileStringA("OPTIONS", nullptr, nullptr, path.c_str()) != 0;
    bool ok = true;
    for (const char *key : {"FIRSTDAY", "WEEKNUM", "ONTOP"})
        ok = WritePrivateProfileStringA("OPTIONS", key, "1", path.c_str()) != 0 && ok;
    return ok;
}

// A country's public holidays for ten years, as published: 300 single
// all-day events, in trical's folder; or none.
static bool SetEvents(bool on) {
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("APPDATA", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder - 30)
        return false;
    std::string path = std::string(folder) + "\\Trical";
    CreateDirectoryA(path.c_str(), nullptr);
    path += "\\holidays.ics";
    if (!on)
        return DeleteFileA(path.c_str()) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND;
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Trical bench//EN\r\n";
    for (int year = 2021; year <= 2030; ++year)
        for (int i = 0; i < 30; ++i) {
            char event[200];
            snprintf(event, sizeof event,
                     "BEGIN:VEVENT\r\nUID:%d-%d@holidays.example.org\r\n"
                     "DTSTART;VALUE=DATE:%04d%02d%02d\r\nSUMMARY:Holiday %d\r\nEND:VEVENT\r\n",
                     year, i, year, i % 12 + 1, i / 12 * 9 + 1, i);
            text += event;
        }
    text += "END:VCALENDAR\r\n";
    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
}

int main(int argc, char **argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: bench_driver start RUNS | repaint RUNS COMMANDS | "
                        "idle WINDOWS SECONDS\n");
        return 2;
    }
    std::string mode = argv[1];
    int runs = atoi(argv[2]);
    int extra = argc > 3 ? atoi(argv[3]) : 0;
    bool choices = mode == "start" && argc > 3 && strcmp(argv[3], "choices") == 0;
    bool events = mode == "start" && argc > 3 && strcmp(argv[3], "events") == 0;
    Program programs[3] = {{"trical", Beside("trical.exe")},
                           {"floor", Beside("floor.exe")},
                           {"floor-paint", Beside("floor_paint.exe")}};
    if (choices) {
        programs[0].name = "trical-choices";
        programs[1].name = "floor-choices";
        programs[2].name = "floor-paint-choices";
    }
    if (events) {
        programs[0].name = "trical-events";
        programs[1].name = "floor-events";
        programs[2].name = "floor-paint-events";
    }
    // The floor that paints is timed only for the start.
    int count = mode == "start" ? 3 : 2;
    bool ok = SetChoices(choices) && SetEvents(events);
    if (!ok)
        fprintf(stderr, "bench_driver: cannot write trical's choices or holidays\n");
    if (mode == "idle")
        ok = TimeIdle(programs, runs, extra);
    // A B A B ... (A B C at start), after one unprinted round that warms the prefix and the
    // file cache and leaves trical's TRICAL.INI as every later run sees it.
    for (int i = 0; i < count && ok && mode == "start"; ++i)
        ok = TimeStart(programs[i], false);
    for (int run = 0; run < runs && ok && mode != "idle"; ++run) {
        for (int i = 0; i < count && ok; ++i) {
            if (mode == "start")
                ok = TimeStart(programs[i], true);
            else
                ok = TimeRepaint(programs[i], extra, i == 0);
        }
        fflush(stdout);
    }
    if (choices)
        ok = SetChoices(false) && ok;
    if (events)
        ok = SetEvents(false) && ok;
    return ok ? 0 : 1;
}
