// Page Up and Page Down step a month (with Ctrl a year), Home goes back to
// today's month, while the calendar has the keyboard: each key comes to the
// dialog as the command of its button or menu item.
#pragma once

#include <windows.h>

// The filter serves the calendar on this thread until it is removed.
HHOOK InstallKeyFilter();
void RemoveKeyFilter(HHOOK filter);
