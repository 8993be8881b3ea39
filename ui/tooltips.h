// A short description under the pointer for each of the six buttons, set
// up once, the first time the pointer is over the calendar.
#pragma once

#include <windows.h>

void AddButtonTips(HWND dialog);
