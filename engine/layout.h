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

enum class TextColour { black, blue, red, grey };

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
    // The weekday of the first column, 0 = Sunday: the header's letters
    // name weekdays from it.
    int firstWeekday;
    PanelRect erase;
    int dayCount;
    TextItem days[31];
    // ISO week numbers, one for each row that holds a day of the month, in a
    // smaller font set on the days' line; none, and a height of 0, without
    // the week column.
    int weekCount;
    TextItem weeks[6];
    int weekFontHeight;
};

// How the user likes the grid. Value-initialised, it is the Sunday-first
// grid without week numbers the calendar always had.
struct GridOptions {
    // The weekday of the first column, 0 = Sunday ... 6 = Saturday.
    int firstWeekday;
    bool weekNumbers;
};

// At 96 DPI; LayoutMonth scales it, the font heights and the insets to the
// metrics' DPI.
const int kLeftMargin = 10;

// A 96-DPI length at `dpi`, rounded as MulDiv rounds.
int ScaleToDpi(int value, int dpi);
// With `weekNumbers` the frame holds eight columns, the week column and the
// seven days. A frame widened by the seven-column colWidth keeps that width.
CellMetrics MeasureCellMetrics(PanelKind kind, int clientWidth, int clientHeight, int dpi = 96,
                               bool weekNumbers = false);

// A frame's inside, in pixels.
struct FrameSize {
    int width;
    int height;
};

// The three panels' measure: the middle panel's metrics, the side panels',
// and the pixels the week column adds to the left, middle and right frame
// (all 0 without it).
struct FrameGeometry {
    CellMetrics current;
    CellMetrics side;
    int added[3];
};

// The frames as the template lays them out, without the week column, at
// the window's `dpi`. With `weekNumbers` each frame grows by a column as wide
// as its seven, so the days keep their spacing.
FrameGeometry MeasureFrames(FrameSize current, FrameSize side, int dpi, bool weekNumbers);

// The grid's cells, 0-41 row by row from the first column: where each
// stands in its frame, and which day of the month it holds (0: none).
const int kGridCells = 42;
PanelRect GridCell(PanelKind kind, const CellMetrics &metrics, GridOptions options, int cell);
int DayInCell(int cell, int monthIndex, int year, int firstWeekday);
// The cell that holds `day` of the month: DayInCell's inverse.
int CellOfDay(int day, int monthIndex, int year, int firstWeekday);
// The cell that holds a point of the frame, or -1 where the point is on
// none (the margin, the letters, the week column, below or right of the grid).
int CellAt(PanelKind kind, const CellMetrics &metrics, GridOptions options, int x, int y);

PanelLayout LayoutMonth(PanelKind kind, const CellMetrics &metrics, int clientWidth,
                        int clientHeight, int monthIndex, int year, const CalendarDate &today,
                        GridOptions options = {});
