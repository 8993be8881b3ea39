// Text put on the clipboard, for any program to paste.
#pragma once

#include <windows.h>

// As Unicode text; false where the clipboard could not be had.
bool CopyText(HWND owner, const wchar_t *text);
