#include "clipboard.h"

#include <cstring>
#include <cwchar>

// The memory becomes the clipboard's once SetClipboardData takes it; it is
// freed here only where it never got there.
bool CopyText(HWND owner, const wchar_t *text) {
    if (OpenClipboard(owner) == FALSE)
        return false;
    EmptyClipboard();
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void *held = memory != nullptr ? GlobalLock(memory) : nullptr;
    if (held != nullptr) {
        memcpy(held, text, bytes);
        GlobalUnlock(memory);
    }
    HANDLE given = held != nullptr ? SetClipboardData(CF_UNICODETEXT, memory) : nullptr;
    // cppcheck takes SetClipboardData to free the memory even where it fails.
    if (given == nullptr && memory != nullptr)
        // cppcheck-suppress doubleFree
        GlobalFree(memory);
    CloseClipboard();
    return given != nullptr;
}
