// Paints one month into one of the calendar's three frames, and names it
// in the title above.
#pragma once

#include <windows.h>

#include "layout.h"
#include "view.h"

// Everything a panel shows: the dialog hands it over whole.
struct PanelPicture {
    PanelKind kind;
    CellMetrics metrics;
    MonthOfYear month;
    CalendarDate today;
    GridOptions options;
};

void DrawMonth(HWND frame, const PanelPicture &picture);
// The month's name and year, as the engine writes it.
void ShowTitle(HWND title, MonthOfYear month);

// The grid's Arial in `height` pixels, selected into `dc` until the release.
struct GridFont {
    HFONT font;
    HGDIOBJ previous;
};
GridFont SelectGridFont(HDC dc, int height);
void ReleaseGridFont(HDC dc, GridFont selected);
