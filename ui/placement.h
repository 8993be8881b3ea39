// Where the calendar window stands, and the file that remembers it.
#pragma once

#include <windows.h>

// An XLOC of this value means no position was saved.
const int kNoSavedPosition = 9999;

void CenterWindow(HWND window);
// From the settings `file` the start reads (nullptr: none, so centred); the
// window takes `width` there (0: it keeps its own).
void RestorePosition(HWND dialog, const wchar_t *file, int width);
void SavePosition(HWND dialog);

// A whole signed decimal int and nothing else ("12abc", "0x10", "" and
// anything beyond the int range are refused).
bool ParseCoordinate(const char *text, int *value);
