// Page Up and Page Down step a month (with Ctrl a year), Home goes back to
// today's month, while the calendar has the keyboard: each key comes to the
// dialog as the command of its button or menu item.
#pragma once

#include <windows.h>

void InstallKeyFilter(HWND dialog);
void RemoveKeyFilter();
