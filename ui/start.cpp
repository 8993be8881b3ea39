// Where Windows starts the program. The C runtime's start-up code is left
// out (it came to a quarter of the executable: argument parsing, runtime
// relocations, thread-local storage and floating-point set-up that nothing
// here uses); msvcrt.dll still sets itself up when it loads, so its string
// and time functions behave as before.
#include <windows.h>

#include "syslib.h"

// Libraries loaded by name from here on, and the ones they pull in, come
// from the system folder alone, never from the program's folder or the
// current one: comctl32 is not among Windows' known libraries, which it
// always takes from its own copies. The program's imports (kernel32, user32,
// gdi32, advapi32, msvcrt) are all known ones, loaded before this runs.
// Looked up, not imported: Windows 7 has the function only with KB2533623,
// and without it the program would not start there.
static void SearchSystemFolderOnly() {
    using SetDirectories = BOOL(WINAPI *)(DWORD);
    auto setDirectories = SystemFunction<SetDirectories>(GetModuleHandleW(L"kernel32.dll"),
                                                         "SetDefaultDllDirectories");
    if (setDirectories != nullptr)
        setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Windows gives an entry point no particular stack alignment on 32-bit.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void TricalStart() {
    SearchSystemFolderOnly();
    // The calendar takes no arguments and its dialog decides how it shows.
    ExitProcess(static_cast<UINT>(
        wWinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWDEFAULT)));
}
