#include "clipboard.h"

#include <cstring>
#include <cwchar>

// Another program may hold the clipboard open for a moment (a clipboard
// manager reading what was just copied, a remote desktop passing it on).
// This runs on the calendar's own thread, so it waits half a second at most.
static bool OpenClipboardSoon(HWND owner) {
    const ULONGLONG kPatienceMs = 500;
    ULONGLONG until = GetTickCount64() + kPatienceMs;
    while (OpenClipboard(owner) == FALSE) {
        if (GetTickCount64() >= until)
            return false;
        Sleep(10);
    }
    return true;
}

// The text is made ready before the clipboard is emptied, so that a copy
// that fails leaves the user's clipboard as it was. The memory becomes the
// clipboard's once SetClipboardData takes it; it is freed here only where
// it never got there.
bool CopyText(HWND owner, const wchar_t *text) {
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr)
        return false;
    void *held = GlobalLock(memory);
    if (held == nullptr) {
        GlobalFree(memory);
        return false;
    }
    memcpy(held, text, bytes);
    GlobalUnlock(memory);
    bool given = false;
    if (OpenClipboardSoon(owner)) {
        given = EmptyClipboard() != FALSE && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        CloseClipboard();
    }
    // cppcheck takes SetClipboardData to free the memory even where it fails.
    if (!given)
        // cppcheck-suppress doubleFree
        GlobalFree(memory);
    return given;
}
