#include "daytips.h"

#include "daydetails.h"
#include "dayevents.h"
#include "eventfiles.h"
#include "resource.h"
#include "tooltips.h"

static const int kFrameIds[kPanels] = {IDC_PREVFRAME, IDC_CURFRAME, IDC_NEXTFRAME};

// Asked at every move of the pointer, not worked out ahead for all 126
// cells: the start has no time to spare and the pointer may never come. A
// grid reaches at most a few pixels past its frame, into the gap beside
// it, so no point is on two frames' cells.
int CellAtPoint(HWND dialog, const FrameGeometry &frames, GridOptions options, POINT client) {
    for (int panel = 0; panel < kPanels; ++panel) {
        POINT at = client;
        MapWindowPoints(dialog, GetDlgItem(dialog, kFrameIds[panel]), &at, 1);
        int cell = panel == 1 ? CellAt(PanelKind::current, frames.current, options, at.x, at.y)
                              : CellAt(PanelKind::side, frames.side, options, at.x, at.y);
        if (cell >= 0)
            return panel * kGridCells + cell;
    }
    return -1;
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
void DayTipText(const CalendarDate &day, const CalendarDate &today, wchar_t *out, int size) {
    int length = DateText(day, false, out, size - 2);
    out[length++] = L'\r';
    out[length++] = L'\n';
    FormatDayPlace(today, day, out + length, size - length);
}

void AddEventNames(const EventSet &events, const CalendarDate &day, wchar_t *text, int size) {
    char names[512];
    if (day.day == 0 || EventNamesOfDay(events, DayNumber(day.year, day.month + 1, day.day),
                                        UtcToLocal, nullptr, names, sizeof names) == 0)
        return;
    int length = static_cast<int>(wcslen(text));
    if (length + 3 >= size)
        return;
    text[length++] = L'\r';
    text[length++] = L'\n';
    int written = MultiByteToWideChar(CP_UTF8, 0, names, -1, text + length, size - length);
    if (written == 0)
        text[length - 2] = L'\0';
}

// A tip's lines as one, for a reader.
static void OnOneLine(wchar_t *text) {
    for (wchar_t *c = text; *c != L'\0'; ++c)
        if (c[0] == L'\r' && c[1] == L'\n') {
            c[0] = L',';
            c[1] = L' ';
        }
}

int DayName(const EventSet &events, const CalendarDate &day, const CalendarDate &today,
            wchar_t *out, int size) {
    int length = DateText(day, false, out, size);
    const wchar_t kToday[] = L", today";
    bool isToday = day.day == today.day && day.month == today.month && day.year == today.year;
    if (isToday && length + static_cast<int>(sizeof kToday / sizeof kToday[0]) <= size)
        wcscpy(out + length, kToday);
    AddEventNames(events, day, out, size);
    OnOneLine(out);
    return static_cast<int>(wcslen(out));
}

void DayDescription(const CalendarDate &day, const CalendarDate &today, wchar_t *out, int size) {
    FormatDayPlace(today, day, out, size);
    OnOneLine(out);
}
