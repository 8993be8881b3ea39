// Where Windows starts the program. The C runtime's start-up code is left
// out (it came to a quarter of the executable: argument parsing, runtime
// relocations, thread-local storage and floating-point set-up that nothing
// here uses); msvcrt.dll still sets itself up when it loads, so its string
// and time functions behave as before.
#include <windows.h>

// Windows gives an entry point no particular stack alignment on 32-bit.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void TricalStart() {
    // The calendar takes no arguments and its dialog decides how it shows.
    ExitProcess(static_cast<UINT>(
        wWinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWDEFAULT)));
}
