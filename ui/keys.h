// Page Up and Page Down step a month (with Ctrl a year), Home goes back to
// today's month, while the calendar has the keyboard: each key comes to the
// dialog as the command of its button or menu item. The arrows move the
// focused day, End takes it to its month's end, Enter shows its tip and
// Ctrl+C copies it, each as a command of its own.
#pragma once

#include <windows.h>

// The filter serves the calendar on this thread until it is removed.
HHOOK InstallKeyFilter();
void RemoveKeyFilter(HHOOK filter);
