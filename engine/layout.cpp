#include "layout.h"

namespace {

void PlaceText(TextItem &item, const char *text, int x, int y, TextColour colour) {
    int i = 0;
    for (; i < 3 && text[i] != '\0'; ++i)
        item.text[i] = text[i];
    item.text[i] = '\0';
    item.x = x;
    item.y = y;
    item.colour = colour;
}

} // namespace

int ScaleToDpi(int value, int dpi) {
    if (dpi <= 0)
        return value;
    return (value * dpi + 48) / 96;
}

// A length at `dpi` as it would be at 96.
static int UnscaleFromDpi(int value, int dpi) {
    if (dpi <= 0)
        return value;
    return (value * 96 + dpi / 2) / dpi;
}

// The grid is measured on the frame as it would be at 96 DPI and scaled
// back, so that it keeps the 96-DPI proportions however the frame rounds.
CellMetrics MeasureCellMetrics(PanelKind kind, int clientWidth, int clientHeight, int dpi,
                               bool weekNumbers) {
    CellMetrics metrics;
    int width = UnscaleFromDpi(clientWidth, dpi);
    int height = UnscaleFromDpi(clientHeight, dpi);
    metrics.colWidth = ScaleToDpi((width - 5) / (weekNumbers ? 8 : 7), dpi);
    metrics.rowHeight = ScaleToDpi((height - 5) / (kind == PanelKind::current ? 8 : 7), dpi);
    metrics.dpi = dpi;
    return metrics;
}

// The middle frame at 96 DPI: 105 by 82 dialog units of the template's
// font, which is 6 by 13 pixels there.
const int kCurrentFrameWidthAt96 = 158;
const int kCurrentFrameHeightAt96 = 133;

// As MulDiv rounds, for the lengths of a frame, which are never negative.
static int ScaleLength(int value, int to, int from) { return (value * to + from / 2) / from; }

// Text scaled by the full DPI would overflow frames that grew less: a
// bitmap dialog font (Wine's) takes the template only to 150% at 200%. So
// the panels follow whichever grew less, the DPI or the frames.
static int PanelDpi(FrameSize current, int dpi) {
    int byWidth = ScaleLength(current.width, 96, kCurrentFrameWidthAt96);
    int byHeight = ScaleLength(current.height, 96, kCurrentFrameHeightAt96);
    int frameDpi = byWidth < byHeight ? byWidth : byHeight;
    return frameDpi < dpi ? frameDpi : dpi;
}

FrameGeometry MeasureFrames(FrameSize current, FrameSize side, int dpi, bool weekNumbers) {
    FrameGeometry geometry = {};
    int panelDpi = PanelDpi(current, dpi);
    geometry.current =
        MeasureCellMetrics(PanelKind::current, current.width, current.height, panelDpi);
    geometry.side = MeasureCellMetrics(PanelKind::side, side.width, side.height, panelDpi);
    if (!weekNumbers)
        return geometry;
    // Measured for eight columns, the wider frame gives the seven's width again.
    geometry.added[0] = geometry.added[2] = geometry.side.colWidth;
    geometry.added[1] = geometry.current.colWidth;
    geometry.current = MeasureCellMetrics(PanelKind::current, current.width + geometry.added[1],
                                          current.height, panelDpi, true);
    geometry.side = MeasureCellMetrics(PanelKind::side, side.width + geometry.added[0], side.height,
                                       panelDpi, true);
    return geometry;
}

// Anything but a weekday is taken as Sunday, the grid there always was.
static int SaneFirstWeekday(int firstWeekday) {
    return firstWeekday >= 0 && firstWeekday < 7 ? firstWeekday : 0;
}

PanelRect GridCell(PanelKind kind, const CellMetrics &metrics, GridOptions options, int cell) {
    int top = (kind == PanelKind::current ? 2 : 1) * metrics.rowHeight;
    // The week column takes the margin's place and the days move over for it.
    int left = ScaleToDpi(kLeftMargin, metrics.dpi) + (options.weekNumbers ? metrics.colWidth : 0);
    int x = (cell % 7) * metrics.colWidth + left;
    int y = (cell / 7) * metrics.rowHeight + top;
    return {x, y, x + metrics.colWidth, y + metrics.rowHeight};
}

int CellAt(PanelKind kind, const CellMetrics &metrics, GridOptions options, int x, int y) {
    PanelRect first = GridCell(kind, metrics, options, 0);
    // Checked before dividing, which would round the margin into column 0.
    if (x < first.left || y < first.top || metrics.colWidth <= 0 || metrics.rowHeight <= 0)
        return -1;
    int column = (x - first.left) / metrics.colWidth;
    int row = (y - first.top) / metrics.rowHeight;
    return column < 7 && row < 6 ? row * 7 + column : -1;
}

static int FirstCell(int monthIndex, int year, int firstWeekday) {
    return (FirstWeekday(monthIndex + 1, year) + 7 - SaneFirstWeekday(firstWeekday)) % 7;
}

int DayInCell(int cell, int monthIndex, int year, int firstWeekday) {
    int day = cell - FirstCell(monthIndex, year, firstWeekday) + 1;
    return day >= 1 && day <= DaysInMonth(monthIndex + 1, year) ? day : 0;
}

int CellOfDay(int day, int monthIndex, int year, int firstWeekday) {
    return FirstCell(monthIndex, year, firstWeekday) + day - 1;
}

PanelLayout LayoutMonth(PanelKind kind, const CellMetrics &metrics, int clientWidth,
                        int clientHeight, int monthIndex, int year, const CalendarDate &today,
                        GridOptions options) {
    PanelLayout layout = {};
    bool current = kind == PanelKind::current;
    int top = (current ? 2 : 1) * metrics.rowHeight;
    layout.fontHeight = ScaleToDpi(current ? 16 : 12, metrics.dpi);
    int margin = ScaleToDpi(kLeftMargin, metrics.dpi);
    int inset = ScaleToDpi(2, metrics.dpi);
    int left = GridCell(kind, metrics, options, 0).left;
    int firstWeekday = SaneFirstWeekday(options.firstWeekday);
    layout.firstWeekday = firstWeekday;

    if (current) {
        layout.headerCount = 7;
        layout.headerErase = {inset, metrics.rowHeight, clientWidth - inset, top + inset};
        for (int i = 0; i < 7; ++i)
            PlaceText(layout.header[i], WeekdayLetter((i + firstWeekday) % 7),
                      i * metrics.colWidth + left, metrics.rowHeight, TextColour::blue);
    }

    // Out to the frame's inner edge: two-digit days in the last column reach
    // past clientWidth - 6, and what is not cleared stays from the last month.
    layout.erase = {inset, top + inset, clientWidth - inset, clientHeight - inset};

    int monthNumber = monthIndex + 1;
    int first = FirstCell(monthIndex, year, firstWeekday);
    int n = DaysInMonth(monthNumber, year);
    for (int day = 1; day <= n; ++day) {
        PanelRect cell = GridCell(kind, metrics, options, first + day - 1);
        char text[12];
        FormatNumber(day, text);
        TextColour colour =
            IsToday(day, monthNumber, year, today) ? TextColour::red : TextColour::black;
        PlaceText(layout.days[day - 1], text, cell.left, cell.top, colour);
    }
    layout.dayCount = n;

    if (options.weekNumbers) {
        // Not below 10 px at 96 DPI: Arial of 8 pixels to the em and less is
        // drawn smoothed in grey, which grey text cannot afford.
        layout.weekFontHeight = ScaleToDpi(current ? 12 : 10, metrics.dpi);
        // Every row down to the last day's holds at least one day of the month.
        layout.weekCount = (first + n - 1) / 7 + 1;
        for (int row = 0; row < layout.weekCount; ++row) {
            // A row is its Monday's week, wherever in the row Monday stands,
            // perhaps in a neighbouring month.
            int monday = row * 7 - first + 1 + (8 - firstWeekday) % 7;
            char text[12];
            FormatNumber(IsoWeek(monday, monthNumber, year), text);
            // Bottoms level with the day cells', so the numbers sit on the days' line.
            PlaceText(layout.weeks[row], text, margin,
                      row * metrics.rowHeight + top + layout.fontHeight - layout.weekFontHeight,
                      TextColour::grey);
        }
    }
    return layout;
}
