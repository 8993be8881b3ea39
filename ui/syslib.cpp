#include "syslib.h"

#include <cwchar>

// Windows 7 knows LOAD_LIBRARY_SEARCH_SYSTEM32 only with KB2533623, and
// without it refuses the flag as an invalid parameter. The full path then;
// the library's own dependencies are looked for beside it first.
HMODULE LoadSystemLibrary(const wchar_t *name) {
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + wcslen(name) >= MAX_PATH)
        return nullptr;
    path[length] = L'\\';
    wcscpy(path + length + 1, name);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
