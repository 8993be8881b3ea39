// A stranger's file under the name of a library of Windows' own, planted
// beside a copy of the calendar. Whoever loads it finds it refusing to stay,
// and it leaves a file beside itself: its own name with ".loaded" added.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t trace[MAX_PATH + 8] = L"";
    DWORD length = GetModuleFileNameW(self, trace, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        lstrcatW(trace, L".loaded");
        HANDLE file = CreateFileW(trace, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    return FALSE;
}
