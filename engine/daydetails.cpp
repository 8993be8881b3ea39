#include "daydetails.h"

// The day `months` months after `date`, its day kept where that month has
// it. The leap years repeat every 400, so a year far out is asked about as
// its place in that cycle.
static long long DayNumberAfter(const CalendarDate &date, long long months) {
    int month;
    int yearInCycle;
    long long year = FloorDivide(date.year * 12LL + date.month + months, 12, &month);
    FloorDivide(year, 400, &yearInCycle);
    int last = DaysInMonth(month + 1, yearInCycle);
    return DayNumber(year, month + 1, date.day < last ? date.day : last);
}

// The calendar distance in months from `from` to the later `to`, whose day
// number is `end`, rounded to the nearest whole month: a month after 31
// January is the last day of February.
static long long RoughMonths(const CalendarDate &from, const CalendarDate &to, long long end) {
    long long whole = (static_cast<long long>(to.year) - from.year) * 12 + (to.month - from.month);
    if (DayNumberAfter(from, whole) > end)
        --whole;
    long long start = DayNumberAfter(from, whole);
    long long next = DayNumberAfter(from, whole + 1);
    return 2 * (end - start) >= next - start ? whole + 1 : whole;
}

// Wide text written into a caller's buffer of `size`, always terminated.
// (No printf: MinGW's would weigh more than the whole calendar.)
struct Writer {
    wchar_t *out;
    int size;
    int length;
};

// The program's own words are ASCII.
static void Put(Writer &w, const char *text) {
    for (; *text != '\0' && w.length < w.size - 1; ++text)
        w.out[w.length++] = static_cast<wchar_t>(*text);
    w.out[w.length] = L'\0';
}

// At least `width` digits; with a comma between each three where `grouped`.
static void PutNumber(Writer &w, long long value, int width = 1, bool grouped = false) {
    char text[28];
    FormatNumber(value, text, width, grouped);
    Put(w, text);
}

// " (about 2 years 9 months)" from `from` to the later `to`, whose day
// number is `end`.
static void PutRoughSize(Writer &w, const CalendarDate &from, const CalendarDate &to,
                         long long end) {
    int months;
    long long years = FloorDivide(RoughMonths(from, to, end), 12, &months);
    Put(w, " (about");
    if (years > 0) {
        Put(w, " ");
        PutNumber(w, years, 1, true);
        Put(w, years == 1 ? " year" : " years");
    }
    if (months > 0) {
        Put(w, " ");
        PutNumber(w, months);
        Put(w, months == 1 ? " month" : " months");
    }
    Put(w, ")");
}

int FormatDayPlace(const CalendarDate &today, const CalendarDate &date, wchar_t *out, int size) {
    out[0] = L'\0';
    Writer w = {out, size, 0};
    long long number = DayNumber(date.year, date.month + 1, date.day);
    Put(w, "Week ");
    PutNumber(w, IsoWeek(date.day, date.month + 1, date.year));
    Put(w, ", day ");
    PutNumber(w, number - DayNumber(date.year, 1, 1) + 1);
    Put(w, " of ");
    PutNumber(w, 365 + IsLeapYear(date.year));
    Put(w, "\r\n");
    long long days = number - DayNumber(today.year, today.month + 1, today.day);
    if (days >= -1 && days <= 1) {
        Put(w, days == 0 ? "Today" : days == 1 ? "Tomorrow" : "Yesterday");
        return w.length;
    }
    if (days > 0)
        Put(w, "In ");
    PutNumber(w, days < 0 ? -days : days, 1, true);
    Put(w, days > 0 ? " days" : " days ago");
    // Past 60 days with the rough size: " (about 2 years 9 months)".
    bool ahead = days > 0;
    if (days > 60 || days < -60)
        PutRoughSize(w, ahead ? today : date, ahead ? date : today, ahead ? number : number - days);
    return w.length;
}

int FormatIsoDate(const CalendarDate &date, wchar_t *out, int size) {
    out[0] = L'\0';
    Writer w = {out, size, 0};
    if (date.year > 9999)
        Put(w, "+");
    PutNumber(w, date.year, 4);
    Put(w, "-");
    PutNumber(w, date.month + 1, 2);
    Put(w, "-");
    PutNumber(w, date.day, 2);
    return w.length;
}
