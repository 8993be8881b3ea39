#include "daytips.h"

#include "daydetails.h"
#include "resource.h"
#include "tooltips.h"

static const int kFrameIds[kPanels] = {IDC_PREVFRAME, IDC_CURFRAME, IDC_NEXTFRAME};

// A tool for each cell, in the dialog's client coordinates. (The frames are
// looked up once each: under Wine every lookup asks its server.)
void PlaceDayTips(HWND dialog, const FrameGeometry &frames, GridOptions options) {
    RECT cells[kDayTools];
    HWND frame = nullptr;
    for (int i = 0; i < kDayTools; ++i) {
        int panel = i / kGridCells;
        bool current = panel == 1;
        if (i % kGridCells == 0)
            frame = GetDlgItem(dialog, kFrameIds[panel]);
        PanelRect r = GridCell(current ? PanelKind::current : PanelKind::side,
                               current ? frames.current : frames.side, options, i % kGridCells);
        cells[i] = {r.left, r.top, r.right, r.bottom};
        MapWindowPoints(frame, dialog, reinterpret_cast<POINT *>(&cells[i]), 2);
    }
    PlaceAreaTips(dialog, cells, kDayTools, kFirstDayTool);
}

int DateText(const CalendarDate &day, bool iso, wchar_t *out, int size) {
    SYSTEMTIME date = {};
    date.wYear = static_cast<WORD>(day.year);
    date.wMonth = static_cast<WORD>(day.month + 1);
    date.wDay = static_cast<WORD>(day.day);
    // The count Windows gives holds the terminating nul.
    int written = iso || day.year < 1601 || day.year > 30827
                      ? 0
                      : GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_LONGDATE, &date, nullptr,
                                        out, size, nullptr);
    return written > 0 ? written - 1 : FormatIsoDate(day, out, size);
}

// A line for each: the date, then the week and day, then the distance.
void DayDetails(const CalendarDate &day, const CalendarDate &today, wchar_t *out, int size) {
    int length = DateText(day, false, out, size - 2);
    out[length++] = L'\r';
    out[length++] = L'\n';
    FormatDayPlace(today, day, out + length, size - length);
}
