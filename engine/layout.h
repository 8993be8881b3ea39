// Where each letter and number of a month panel goes, without drawing it.
#pragma once

#include "calendar.h"

enum class PanelKind { current, side };

struct CellMetrics {
    int colWidth;
    int rowHeight;
    // Pixels per inch of the frame; 0, as a metrics of two fields leaves it,
    // is taken as 96.
    int dpi;
};

enum class TextColour { black, blue, red };

struct TextItem {
    char text[4];
    int x;
    int y;
    TextColour colour;
};

struct PanelRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct PanelLayout {
    int fontHeight;
    int headerCount; // 7 for the current panel, 0 for a side panel
    TextItem header[7];
    // Cleared before the letters are drawn: smoothed text drawn twice over
    // itself in transparent mode grows heavier with every repaint.
    PanelRect headerErase;
    PanelRect erase;
    int dayCount;
    TextItem days[31];
};

// At 96 DPI; LayoutMonth scales it, the font heights and the insets to the
// metrics' DPI.
const int kLeftMargin = 10;

// A 96-DPI length at `dpi`, rounded as MulDiv rounds.
int ScaleToDpi(int value, int dpi);
CellMetrics MeasureCellMetrics(PanelKind kind, int clientWidth, int clientHeight, int dpi = 96);
PanelLayout LayoutMonth(PanelKind kind, const CellMetrics &metrics, int clientWidth,
                        int clientHeight, int monthIndex, int year, const CalendarDate &today);
