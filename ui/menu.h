// The calendar's popup menu: its choices, and Today, About and Close.
#pragma once

#include <windows.h>

#include "options.h"

// Opens the menu, `choices` ticked as they stand and Monday first as the
// grid shows it, and runs it until the user picks or leaves it; the pick
// comes back to the dialog as WM_COMMAND. `position` is WM_CONTEXTMENU's
// lParam: the pointer on the screen, or -1, -1 from the keyboard. Over a
// day, two items to copy its long and its ISO date come first.
void ShowMenu(HWND dialog, LPARAM position, const Choices &choices, bool mondayFirst,
              const wchar_t *longDate = nullptr, const wchar_t *isoDate = nullptr);
