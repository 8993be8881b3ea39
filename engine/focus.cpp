#include "focus.h"

namespace {

long long MonthCount(int month, long long year) { return year * 12 + month; }

bool InShownYears(long long year) { return year >= kMinShownYear && year <= kMaxShownYear; }

} // namespace

CalendarDate AddMonthsKeepingDay(const CalendarDate &day, long long months) {
    int month = 0;
    long long year = FloorDivide(MonthCount(day.month, day.year) + months, 12, &month);
    int last = DaysInMonth(month + 1, static_cast<int>(year));
    return {day.day < last ? day.day : last, month, static_cast<int>(year)};
}

int PanelOfDay(const CalendarView &view, const CalendarDate &day) {
    long long away = MonthCount(day.month, day.year) - MonthCount(view.shownMonth, view.shownYear);
    return away >= -1 && away <= 1 ? static_cast<int>(away) + 1 : -1;
}

bool MoveFocus(CalendarView &view, FocusMove move) {
    const CalendarDate &from = view.focus;
    CalendarDate to = from;
    if (move == FocusMove::monthEnd) {
        to.day = DaysInMonth(from.month + 1, from.year);
    } else {
        const int kDays[] = {-1, 1, -7, 7};
        long long year = 0;
        int monthNumber = 0;
        DateOfDayNumber(DayNumber(from.year, from.month + 1, from.day) +
                            kDays[static_cast<int>(move)],
                        &year, &monthNumber, &to.day);
        // Beyond the int years the date has no place; short of them the
        // view's own limit stops it below.
        if (year < kMinShownYear - 1 || year > kMaxShownYear + 1)
            return false;
        to.month = monthNumber - 1;
        to.year = static_cast<int>(year);
    }
    if (PanelOfDay(view, to) < 0) {
        if (!InShownYears(to.year))
            return false;
        view.shownMonth = to.month;
        view.shownYear = to.year;
    }
    view.focus = to;
    return true;
}
