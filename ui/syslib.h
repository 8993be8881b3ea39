// Libraries of Windows' own, and their functions looked up by name.
#pragma once

#include <windows.h>

// Loaded from the system folder alone: a file of the same name that someone
// left beside the program (in Downloads, on a stick) is never the one taken.
// nullptr where it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t *name);

// A function of `module` as the caller's function type, for one that not
// every supported Windows has; nullptr where the module or it is missing.
template <typename Function> Function SystemFunction(HMODULE module, const char *name) {
    FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
    // Through the generic function type, which GCC takes as a cast on purpose.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}
