#include "view.h"

#include <cstddef>

namespace {

bool SameDate(const CalendarDate &a, const CalendarDate &b) {
    return a.day == b.day && a.month == b.month && a.year == b.year;
}

void ShowToday(CalendarView &view) {
    view.shownMonth = view.today.month;
    view.shownYear = view.today.year;
    if (view.shownYear < kMinShownYear)
        view.shownYear = kMinShownYear;
    if (view.shownYear > kMaxShownYear)
        view.shownYear = kMaxShownYear;
}

} // namespace

void Init(CalendarView &view, const CalendarDate &today) {
    view.today = today;
    view.lastSeenDate = today;
    ShowToday(view);
}

void PrevYear(CalendarView &view) {
    if (view.shownYear > kMinShownYear)
        --view.shownYear;
}

void PrevMonth(CalendarView &view) {
    if (view.shownMonth > 0) {
        --view.shownMonth;
    } else if (view.shownYear > kMinShownYear) {
        view.shownMonth = 11;
        --view.shownYear;
    }
}

void NextMonth(CalendarView &view) {
    if (view.shownMonth < 11) {
        ++view.shownMonth;
    } else if (view.shownYear < kMaxShownYear) {
        view.shownMonth = 0;
        ++view.shownYear;
    }
}

void NextYear(CalendarView &view) {
    if (view.shownYear < kMaxShownYear)
        ++view.shownYear;
}

void BackToToday(CalendarView &view) { ShowToday(view); }

// Any new date counts, not only a new day number: a machine that slept from
// 5 March to 5 April has to move on too.
bool Tick(CalendarView &view, const CalendarDate &today) {
    view.today = today;
    if (SameDate(today, view.lastSeenDate))
        return false;
    view.lastSeenDate = today;
    ShowToday(view);
    return true;
}

MonthOfYear PrevNeighbour(const CalendarView &view) {
    if (view.shownMonth != 0)
        return {view.shownMonth - 1, view.shownYear};
    return {11, view.shownYear - 1};
}

MonthOfYear NextNeighbour(const CalendarView &view) {
    if (view.shownMonth < 11)
        return {view.shownMonth + 1, view.shownYear};
    return {0, view.shownYear + 1};
}

TitleText Title(int monthIndex, int year) {
    TitleText title;
    const char *name = MonthName(monthIndex);
    size_t length = 0;
    for (; name[length] != '\0'; ++length)
        title.text[length] = name[length];
    title.text[length++] = ' ';
    FormatNumber(year, title.text + length);
    return title;
}
