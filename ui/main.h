// Start-up, and the hidden marker window that tells a second start we run.
#pragma once

#include <windows.h>

BOOL RegisterMarkerClass(HINSTANCE instance);
HWND CreateMarkerWindow(HINSTANCE instance);
LRESULT CALLBACK MarkerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
