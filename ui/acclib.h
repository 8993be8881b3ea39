// Active Accessibility's library, and the automation library's strings that
// its answers are made of: loaded from the system folder the first time a
// screen reader asks, never at start and never through the import table.
#pragma once

#include <windows.h>

#include <oleacc.h>

struct AccessLibrary {
    LRESULT(WINAPI *resultFromObject)(REFIID, WPARAM, LPUNKNOWN);
    HRESULT(WINAPI *createStdObject)(HWND, LONG, REFIID, void **);
    BSTR(WINAPI *allocString)(const OLECHAR *);
};

// nullptr where a library or one of its functions is missing.
const AccessLibrary *LoadAccessLibrary();
// A string for the caller to free; S_FALSE with none where `text` is empty.
HRESULT GiveString(const wchar_t *text, BSTR *out);
// QueryInterface of an object that is IAccessible and nothing more: it, and
// the two interfaces it extends.
HRESULT QueryAccessible(IAccessible *object, REFIID id, void **out);
