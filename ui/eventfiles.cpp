#include "eventfiles.h"

#include <cwchar>

#include "settings.h"
#include "syslib.h"

// A country's holidays for a decade are some tens of kilobytes; a file this
// big is something else, and is not read at all.
const LONGLONG kLargestFile = 16LL * 1024 * 1024;

// The pattern also finds "x.icsx" through its short name; only the
// extension itself counts.
static bool IsCalendarFile(const WIN32_FIND_DATAW &found) {
    size_t length = wcslen(found.cFileName);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && length > 4 &&
           lstrcmpiW(found.cFileName + length - 4, L".ics") == 0;
}

static bool FilesIn(const wchar_t *folder, wchar_t *pattern, WIN32_FIND_DATAW *found,
                    HANDLE *search) {
    if (wcslen(folder) + 7 > MAX_PATH)
        return false;
    wcscpy(pattern, folder);
    wcscat(pattern, L"\\*.ics");
    *search = FindFirstFileW(pattern, found);
    return *search != INVALID_HANDLE_VALUE;
}

static void Mix(unsigned long long *hash, const void *data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        *hash ^= static_cast<const unsigned char *>(data)[i];
        *hash *= 1099511628211ULL;
    }
}

// FNV-1a over a file's name, size and time; summed over the files, so the
// order Windows lists them in does not count.
static unsigned long long FileSignature(const WIN32_FIND_DATAW &found) {
    unsigned long long hash = 14695981039346656037ULL;
    Mix(&hash, found.cFileName, wcslen(found.cFileName) * sizeof(wchar_t));
    Mix(&hash, &found.nFileSizeLow, sizeof found.nFileSizeLow);
    Mix(&hash, &found.nFileSizeHigh, sizeof found.nFileSizeHigh);
    Mix(&hash, &found.ftLastWriteTime, sizeof found.ftLastWriteTime);
    return hash;
}

static unsigned long long FolderSignature(const wchar_t *folder) {
    wchar_t pattern[MAX_PATH];
    WIN32_FIND_DATAW found;
    HANDLE search;
    // Not zero, so that an empty folder differs from one never looked at.
    unsigned long long signature = 1;
    if (!FilesIn(folder, pattern, &found, &search))
        return signature;
    do {
        if (IsCalendarFile(found))
            signature += FileSignature(found);
    } while (FindNextFileW(search, &found) != FALSE);
    FindClose(search);
    return signature;
}

// Shared with every writer, so that an editor or a sync client saving the
// file meanwhile is never refused; a file caught half written is read again
// at the next look, its time having changed.
static const wchar_t *ReadCalendarFile(const wchar_t *path, EventSet *events, IcsReport *report) {
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return L"could not be opened";
    LARGE_INTEGER size = {};
    const wchar_t *why = nullptr;
    char *text = nullptr;
    DWORD read = 0;
    if (GetFileSizeEx(file, &size) == FALSE)
        why = L"could not be opened";
    else if (size.QuadPart > kLargestFile)
        why = L"larger than 16 MiB";
    else if ((text = static_cast<char *>(HeapAlloc(
                  GetProcessHeap(), 0, static_cast<SIZE_T>(size.QuadPart) + 1))) == nullptr)
        why = L"too large for the memory left";
    else if (ReadFile(file, text, static_cast<DWORD>(size.QuadPart), &read, nullptr) == FALSE)
        why = L"could not be read";
    else if (!AddCalendarText(events, text, read, report))
        why = L"not an iCalendar file";
    if (text != nullptr)
        HeapFree(GetProcessHeap(), 0, text);
    CloseHandle(file);
    return why;
}

// Appends as much of `text` as fits, always terminated.
static void Tell(wchar_t *report, const wchar_t *text) {
    size_t length = wcslen(report);
    wcsncat(report, text, kEventReportSize - 1 - length);
}

// A line of the file's own.
static void TellFile(wchar_t *report, const wchar_t *name, const wchar_t *why,
                     const IcsReport &read) {
    wchar_t line[MAX_PATH + 128];
    const wchar_t *plural = read.kept == 1 ? L"" : L"s";
    if (why != nullptr)
        wsprintfW(line, L"%s: not read, %s\r\n", name, why);
    else if (read.skipped > 0)
        wsprintfW(line, L"%s: %d event%s; %d skipped, the first at line %d\r\n", name, read.kept,
                  plural, read.skipped, read.firstSkippedLine);
    else
        wsprintfW(line, L"%s: %d event%s\r\n", name, read.kept, plural);
    Tell(report, line);
}

// Into a set of their own, which takes the old one's place once all are read.
static void ReadFolder(const wchar_t *folder, EventFiles *files) {
    EventSet events = {};
    wchar_t *report = files->report;
    report[0] = L'\0';
    int count = 0;
    wchar_t pattern[MAX_PATH];
    WIN32_FIND_DATAW found;
    HANDLE search;
    if (FilesIn(folder, pattern, &found, &search)) {
        do {
            if (!IsCalendarFile(found) || wcslen(folder) + 1 + wcslen(found.cFileName) >= MAX_PATH)
                continue;
            wchar_t path[MAX_PATH];
            wcscpy(path, folder);
            wcscat(path, L"\\");
            wcscat(path, found.cFileName);
            IcsReport read = {};
            const wchar_t *why = ReadCalendarFile(path, &events, &read);
            TellFile(report, found.cFileName, why, read);
            ++count;
        } while (FindNextFileW(search, &found) != FALSE);
        FindClose(search);
    }
    Tell(report,
         count > 0 ? L"Holidays and events, from " : L"No holidays or events: no .ics file in ");
    Tell(report, folder);
    Tell(report, L".");
    FreeEvents(&files->events);
    files->events = events;
}

bool RefreshEventFiles(EventFiles *files) {
    wchar_t folder[MAX_PATH];
    if (!SettingsFolder(folder))
        return false;
    unsigned long long signature = FolderSignature(folder);
    if (files->read && signature == files->signature)
        return false;
    int before = files->events.eventCount;
    ReadFolder(folder, files);
    files->signature = signature;
    files->read = true;
    // No events before or after: nothing on the screen changes.
    return before > 0 || files->events.eventCount > 0;
}

void FreeEventFiles(EventFiles *files) { FreeEvents(&files->events); }

// FILETIME counts 100 ns from 1601; the reader counts seconds from 1970.
const long long kSecondsFrom1601To1970 = 11644473600LL;
const long long kTicksPerSecond = 10000000LL;

static FILETIME FileTimeOf(long long seconds) {
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<ULONGLONG>(seconds + kSecondsFrom1601To1970) * kTicksPerSecond;
    return {ticks.LowPart, ticks.HighPart};
}

long long UtcToLocal(long long utcSeconds, void * /*context*/) {
    // Outside what a SYSTEMTIME holds (1601 to 30827), as written.
    if (utcSeconds < -kSecondsFrom1601To1970 || utcSeconds > 900000000000LL)
        return utcSeconds;
    FILETIME utcTime = FileTimeOf(utcSeconds);
    SYSTEMTIME utc;
    SYSTEMTIME local;
    FILETIME localTime;
    if (FileTimeToSystemTime(&utcTime, &utc) == FALSE ||
        SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) == FALSE ||
        SystemTimeToFileTime(&local, &localTime) == FALSE)
        return utcSeconds;
    ULARGE_INTEGER ticks;
    ticks.LowPart = localTime.dwLowDateTime;
    ticks.HighPart = localTime.dwHighDateTime;
    return static_cast<long long>(ticks.QuadPart / kTicksPerSecond) - kSecondsFrom1601To1970;
}

// The shell may hand the folder to extensions of its own, which want COM;
// both libraries stay loaded, as what the shell starts may still use them.
void OpenEventsFolder(HWND owner) {
    wchar_t folder[MAX_PATH];
    if (!SettingsFolder(folder))
        return;
    CreateDirectoryW(folder, nullptr);
    using Initialize = HRESULT(WINAPI *)(void *, DWORD);
    auto initialize = SystemFunction<Initialize>(LoadSystemLibrary(L"ole32.dll"), "CoInitializeEx");
    if (initialize != nullptr)
        initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    using Execute = HINSTANCE(WINAPI *)(HWND, const wchar_t *, const wchar_t *, const wchar_t *,
                                        const wchar_t *, int);
    auto execute = SystemFunction<Execute>(LoadSystemLibrary(L"shell32.dll"), "ShellExecuteW");
    if (execute != nullptr)
        execute(owner, L"open", folder, nullptr, nullptr, SW_SHOWNORMAL);
}
