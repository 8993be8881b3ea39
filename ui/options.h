// The choices the user makes from the menu and the settings file keeps:
// the first day of the week, week numbers and keep on top. Each toggle
// saves at once; the calendar applies them.
#pragma once

#include <windows.h>

#include "layout.h"
#include "tooltips.h"

// What FIRSTDAY holds: Monday ("1") or Sunday ("0"), as the user chose and
// older versions wrote them, or nothing else, and the region decides.
enum class FirstDay { region, sunday, monday };

struct Choices {
    FirstDay firstDay;
    bool weekNumbers;
    bool keepOnTop;
};

// Reads the three from `file` (nullptr: there is none); of WEEKNUM and
// ONTOP anything but "1" is off.
Choices LoadChoices(const wchar_t *file);

// The grid's first weekday, 0 = Sunday, where the region's is `regionDay`.
int FirstWeekday(const Choices &choices, int regionDay);
// The grid the choices give: its first weekday, and the week numbers where
// `frames` have made their column.
GridOptions ChosenGrid(const Choices &choices, int regionDay, const FrameGeometry &frames);
// Monday first, the menu's one item for it, turned on or off: off goes back
// to the region's day, or to Sunday where the region's day is Monday.
void ToggleMondayFirst(Choices &choices, int regionDay);
// Week numbers or keep on top, turned on or off.
void ToggleChoice(Choices &choices, bool Choices::*choice);
// Puts the window above or among normal windows; `tips` the window's own
// tooltip, where it has one (nullptr: none).
void ApplyKeepOnTop(HWND window, bool onTop, Tips *tips);
