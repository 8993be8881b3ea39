#include "settings.h"

#include <cwchar>

#include "section.h"
#include "syslib.h"

static const wchar_t kFileName[] = L"TRICAL.INI";
static const wchar_t kFolderName[] = L"Trical";

// Appends `tail` to the path in `path`, a MAX_PATH buffer, or fails.
static bool Append(wchar_t *path, const wchar_t *tail) {
    size_t length = wcslen(path);
    if (length + wcslen(tail) >= MAX_PATH)
        return false;
    wcscpy(path + length, tail);
    return true;
}

static bool IsAbsolute(const wchar_t *path) {
    return (path[0] != L'\0' && path[1] == L':' && path[2] == L'\\') ||
           (path[0] == L'\\' && path[1] == L'\\');
}

static bool IsFile(const wchar_t *path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The session's variable costs nothing; the shell is loaded only where it is
// missing, since loading it at every start would slow the start by much.
static bool UserFolder(const wchar_t *variable, int csidl, wchar_t *path) {
    DWORD length = GetEnvironmentVariableW(variable, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH && IsAbsolute(path))
        return true;
    path[0] = L'\0';
    HMODULE shell = LoadSystemLibrary(L"shell32.dll");
    if (shell == nullptr)
        return false;
    using FolderPath = HRESULT(WINAPI *)(HWND, int, HANDLE, DWORD, wchar_t *);
    auto folderPath = SystemFunction<FolderPath>(shell, "SHGetFolderPathW");
    bool ok = folderPath != nullptr && SUCCEEDED(folderPath(nullptr, csidl, nullptr, 0, path)) &&
              IsAbsolute(path);
    FreeLibrary(shell);
    return ok;
}

static bool BesideProgram(wchar_t *path) {
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    wchar_t *name = path;
    for (wchar_t *c = path; *c != L'\0'; ++c)
        if (*c == L'\\' || *c == L'/')
            name = c + 1;
    *name = L'\0';
    return Append(path, kFileName);
}

static bool InUserFolder(wchar_t *path) {
    const int kAppData = 0x001a; // CSIDL_APPDATA, the roaming folder
    return UserFolder(L"APPDATA", kAppData, path) && Append(path, L"\\") &&
           Append(path, kFolderName) && Append(path, L"\\") && Append(path, kFileName);
}

static bool InWindowsFolder(wchar_t *path) {
    UINT length = GetWindowsDirectoryW(path, MAX_PATH);
    return length > 0 && length < MAX_PATH && Append(path, L"\\") && Append(path, kFileName);
}

// Where Windows put a 32-bit program's writes to its own folder: the
// folder's path, less its drive, under the user's VirtualStore.
static bool InVirtualStore(wchar_t *path) {
    const int kLocalAppData = 0x001c; // CSIDL_LOCAL_APPDATA
    wchar_t windows[MAX_PATH];
    return InWindowsFolder(windows) && windows[1] == L':' &&
           UserFolder(L"LOCALAPPDATA", kLocalAppData, path) && Append(path, L"\\VirtualStore") &&
           Append(path, windows + 2);
}

static bool FindSettingsFile(wchar_t *path, bool *portable) {
    *portable = BesideProgram(path) && IsFile(path);
    return *portable || InUserFolder(path);
}

// Anything at the user's place, even a folder of that name, means the old
// files have had their one reading.
bool SettingsFileToRead(wchar_t *path) {
    bool portable = false;
    bool found = FindSettingsFile(path, &portable);
    if (found && (portable || GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES))
        return true;
    wchar_t old[MAX_PATH];
    if ((InVirtualStore(old) && IsFile(old)) || (InWindowsFolder(old) && IsFile(old))) {
        wcscpy(path, old);
        return true;
    }
    return found;
}

bool SettingsFile(wchar_t *path) {
    bool portable = false;
    return FindSettingsFile(path, &portable);
}

bool SettingsFolder(wchar_t *path) {
    if (!SettingsFile(path))
        return false;
    path[wcslen(path) - wcslen(kFileName) - 1] = L'\0';
    return true;
}

// Without a name the profile functions would go to WIN.INI.
void ReadSection(const wchar_t *file, const wchar_t *name, SettingsSection *section) {
    section->file = file;
    section->name = name;
    // The length is the size less two where the section did not fit.
    DWORD length =
        file != nullptr ? GetPrivateProfileSectionW(name, section->block, kSectionSize, file) : 0;
    section->whole = length < kSectionSize - 2;
    section->length = section->whole ? length : 0;
}

bool ReadSetting(const SettingsSection &section, const wchar_t *key, const wchar_t *fallback,
                 char *text, int size) {
    if (size < 2 || section.file == nullptr)
        return false;
    wchar_t wide[64];
    size_t length = 0;
    if (section.whole) {
        const wchar_t *value = SectionValue(section.block, section.length, key, &length);
        if (value == nullptr) {
            value = fallback;
            length = wcslen(fallback);
        }
        // Too long, it fails below as it did when read alone.
        length = length < 63 ? length : 63;
        wmemcpy(wide, value, length);
        wide[length] = L'\0';
    } else {
        length = GetPrivateProfileStringW(section.name, key, fallback, wide, 64, section.file);
    }
    if (static_cast<int>(length) >= size - 1 || length >= 63)
        return false;
    // The values are plain ASCII; anything else must not pass for a digit.
    for (size_t i = 0; i <= length; ++i)
        text[i] = wide[i] < 128 ? static_cast<char>(wide[i]) : '?';
    return true;
}

void WriteSetting(const wchar_t *section, const wchar_t *key, const char *value) {
    wchar_t file[MAX_PATH] = {};
    bool portable = false;
    if (!FindSettingsFile(file, &portable))
        return;
    if (!portable) {
        wchar_t folder[MAX_PATH];
        wcscpy(folder, file);
        folder[wcslen(folder) - wcslen(kFileName) - 1] = L'\0';
        CreateDirectoryW(folder, nullptr);
    }
    wchar_t wide[32];
    int i = 0;
    for (; value != nullptr && i < 31 && value[i] != '\0'; ++i)
        wide[i] = static_cast<unsigned char>(value[i]);
    wide[i] = L'\0';
    WritePrivateProfileStringW(section, key, value != nullptr ? wide : nullptr, file);
}
