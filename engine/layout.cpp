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
CellMetrics MeasureCellMetrics(PanelKind kind, int clientWidth, int clientHeight, int dpi) {
    CellMetrics metrics;
    int width = UnscaleFromDpi(clientWidth, dpi);
    int height = UnscaleFromDpi(clientHeight, dpi);
    metrics.colWidth = ScaleToDpi((width - 5) / 7, dpi);
    metrics.rowHeight = ScaleToDpi((height - 5) / (kind == PanelKind::current ? 8 : 7), dpi);
    metrics.dpi = dpi;
    return metrics;
}

PanelLayout LayoutMonth(PanelKind kind, const CellMetrics &metrics, int clientWidth,
                        int clientHeight, int monthIndex, int year, const CalendarDate &today) {
    PanelLayout layout = {};
    bool current = kind == PanelKind::current;
    int top = (current ? 2 : 1) * metrics.rowHeight;
    layout.fontHeight = ScaleToDpi(current ? 16 : 12, metrics.dpi);
    int margin = ScaleToDpi(kLeftMargin, metrics.dpi);
    int inset = ScaleToDpi(2, metrics.dpi);

    if (current) {
        layout.headerCount = 7;
        layout.headerErase = {inset, metrics.rowHeight, clientWidth - inset, top + inset};
        for (int i = 0; i < 7; ++i)
            PlaceText(layout.header[i], WeekdayLetter(i), i * metrics.colWidth + margin,
                      metrics.rowHeight, TextColour::blue);
    }

    // Out to the frame's inner edge: two-digit days in the last column reach
    // past clientWidth - 6, and what is not cleared stays from the last month.
    layout.erase = {inset, top + inset, clientWidth - inset, clientHeight - inset};

    int monthNumber = monthIndex + 1;
    int first = FirstWeekday(monthNumber, year);
    int n = DaysInMonth(monthNumber, year);
    for (int day = 1; day <= n; ++day) {
        int cell = first + day - 1;
        char text[12];
        FormatInt(day, text);
        TextColour colour =
            IsToday(day, monthNumber, year, today) ? TextColour::red : TextColour::black;
        PlaceText(layout.days[day - 1], text, (cell % 7) * metrics.colWidth + margin,
                  (cell / 7) * metrics.rowHeight + top, colour);
    }
    layout.dayCount = n;
    return layout;
}
