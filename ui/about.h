// The About box. Opened with DialogBoxParam, its parameter is nonzero while
// the calendar is kept on top.
#pragma once

#include <windows.h>

extern "C" INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
