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

CellMetrics MeasureCellMetrics(PanelKind kind, int clientWidth, int clientHeight) {
    CellMetrics metrics;
    metrics.colWidth = (clientWidth - 5) / 7;
    metrics.rowHeight = (clientHeight - 5) / (kind == PanelKind::current ? 8 : 7);
    return metrics;
}

PanelLayout LayoutMonth(PanelKind kind, const CellMetrics &metrics, int clientWidth,
                        int clientHeight, int monthIndex, int year, const CalendarDate &today) {
    PanelLayout layout = {};
    bool current = kind == PanelKind::current;
    int top = (current ? 2 : 1) * metrics.rowHeight;
    layout.fontHeight = current ? 16 : 12;

    if (current) {
        layout.headerCount = 7;
        layout.headerErase = {2, metrics.rowHeight, clientWidth - 2, top + 2};
        for (int i = 0; i < 7; ++i)
            PlaceText(layout.header[i], WeekdayLetter(i), i * metrics.colWidth + kLeftMargin,
                      metrics.rowHeight, TextColour::blue);
    }

    // Out to the frame's inner edge: two-digit days in the last column reach
    // past clientWidth - 6, and what is not cleared stays from the last month.
    layout.erase = {2, top + 2, clientWidth - 2, clientHeight - 2};

    int monthNumber = monthIndex + 1;
    int first = FirstWeekday(monthNumber, year);
    int n = DaysInMonth(monthNumber, year);
    for (int day = 1; day <= n; ++day) {
        int cell = first + day - 1;
        char text[12];
        FormatInt(day, text);
        TextColour colour =
            IsToday(day, monthNumber, year, today) ? TextColour::red : TextColour::black;
        PlaceText(layout.days[day - 1], text, (cell % 7) * metrics.colWidth + kLeftMargin,
                  (cell / 7) * metrics.rowHeight + top, colour);
    }
    layout.dayCount = n;
    return layout;
}
