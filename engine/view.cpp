#include "view.h"

#include <cstddef>

#include "focus.h"

namespace {

bool SameDate(const CalendarDate &a, const CalendarDate &b) {
    return a.day == b.day && a.month == b.month && a.year == b.year;
}

long long ShownMonths(const CalendarView &view) {
    return static_cast<long long>(view.shownYear) * 12 + view.shownMonth;
}

// The focus keeps its panel as the view steps under it.
void CarryFocus(CalendarView &view, long long before) {
    view.focus = AddMonthsKeepingDay(view.focus, ShownMonths(view) - before);
}

void ShowToday(CalendarView &view) {
    view.focus = view.today;
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
    long long before = ShownMonths(view);
    if (view.shownYear > kMinShownYear)
        --view.shownYear;
    CarryFocus(view, before);
}

void PrevMonth(CalendarView &view) {
    long long before = ShownMonths(view);
    if (view.shownMonth > 0) {
        --view.shownMonth;
    } else if (view.shownYear > kMinShownYear) {
        view.shownMonth = 11;
        --view.shownYear;
    }
    CarryFocus(view, before);
}

void NextMonth(CalendarView &view) {
    long long before = ShownMonths(view);
    if (view.shownMonth < 11) {
        ++view.shownMonth;
    } else if (view.shownYear < kMaxShownYear) {
        view.shownMonth = 0;
        ++view.shownYear;
    }
    CarryFocus(view, before);
}

void NextYear(CalendarView &view) {
    long long before = ShownMonths(view);
    if (view.shownYear < kMaxShownYear)
        ++view.shownYear;
    CarryFocus(view, before);
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
