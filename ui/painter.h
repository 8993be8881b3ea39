// Paints one month into one of the calendar's three frames, and names it
// in the title above.
#pragma once

#include <windows.h>

#include "layout.h"
#include "palette.h"
#include "view.h"
#include "weekdays.h"

// Everything a panel shows: the dialog hands it over whole.
struct PanelPicture {
    PanelKind kind;
    CellMetrics metrics;
    MonthOfYear month;
    CalendarDate today;
    GridOptions options;
    // The weekday letters, 0 = Sunday, each one character; the shortest day
    // names whole, which take their place where the letters do not tell the
    // days apart and each name fits its column; and the face that writes
    // them where Arial cannot (nullptr: Arial).
    const wchar_t (*letters)[3];
    const wchar_t (*dayNames)[kDayNameSize];
    const wchar_t *letterFace;
    const Palette *palette;
    // Bit d for each day d that an event falls on, drawn bold.
    unsigned eventDays;
    // The grid cell (0-41) of the focused day, framed where the keyboard's
    // cues are shown; -1: none in this panel.
    int focusCell = -1;
};

void DrawMonth(HWND frame, const PanelPicture &picture);
// Whether `text` fits the title control in its own font.
bool TitleFits(HWND title, const wchar_t *text);

// The grid's Arial in `height` pixels, selected into `dc` until the release.
struct GridFont {
    HFONT font;
    HGDIOBJ previous;
};
// `face` another face than Arial, for a region's letters Arial has not.
GridFont SelectGridFont(HDC dc, int height, const wchar_t *face = nullptr, int weight = FW_THIN);
void ReleaseGridFont(HDC dc, GridFont selected);
