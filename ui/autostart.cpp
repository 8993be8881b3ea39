#include "autostart.h"

#include <windows.h>

#include <cwchar>

static const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
static const wchar_t kValueName[] = L"Trical";

// The full path in quotes, as Windows needs it where the path holds blanks.
// `command` holds MAX_PATH + 2.
static bool OwnCommand(wchar_t *command) {
    DWORD length = GetModuleFileNameW(nullptr, command + 1, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    command[0] = L'"';
    command[length + 1] = L'"';
    command[length + 2] = L'\0';
    return true;
}

bool StartsWithWindows() {
    wchar_t own[MAX_PATH + 2];
    HKEY key;
    if (!OwnCommand(own) ||
        RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    // One more than a path of ours can be, so a longer value cannot match.
    wchar_t held[MAX_PATH + 3] = {};
    DWORD size = sizeof held - sizeof held[0];
    DWORD type = 0;
    LONG status =
        RegQueryValueExW(key, kValueName, nullptr, &type, reinterpret_cast<BYTE *>(held), &size);
    RegCloseKey(key);
    // Windows compares paths without regard to case.
    return status == ERROR_SUCCESS && type == REG_SZ && lstrcmpiW(held, own) == 0;
}

void ToggleStartWithWindows() {
    bool on = StartsWithWindows();
    wchar_t own[MAX_PATH + 2];
    HKEY key;
    if (!OwnCommand(own) || RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0,
                                            KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (on)
        RegDeleteValueW(key, kValueName);
    else
        RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(own),
                       static_cast<DWORD>((wcslen(own) + 1) * sizeof own[0]));
    RegCloseKey(key);
}
