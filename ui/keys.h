// Page Up and Page Down step a month (with Ctrl a year), Home goes back to
// today's month, while the calendar has the keyboard.
#pragma once

#include <windows.h>

void InstallKeyFilter();
void RemoveKeyFilter();
