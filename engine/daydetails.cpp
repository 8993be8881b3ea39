#include "daydetails.h"

// The day `months` months after `date`, its day kept where that month has
// it. The leap years repeat every 400, so a year far out is asked about as
// its place in that cycle.
static long long DayNumberAfter(const CalendarDate &date, long long months) {
    long long index = date.year * 12LL + date.month + months;
    long long year = index / 12 - (index % 12 < 0 ? 1 : 0);
    int month = static_cast<int>(index - year * 12) + 1;
    int last = DaysInMonth(month, static_cast<int>(year % 400));
    return DayNumber(year, month, date.day < last ? date.day : last);
}

// The calendar distance in months, rounded to the nearest whole month: a
// month after 31 January is the last day of February. Never negative.
static long long RoughMonths(const CalendarDate &a, const CalendarDate &b) {
    bool forward = DayNumber(a.year, a.month + 1, a.day) <= DayNumber(b.year, b.month + 1, b.day);
    const CalendarDate &from = forward ? a : b;
    const CalendarDate &to = forward ? b : a;
    long long end = DayNumber(to.year, to.month + 1, to.day);
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
    char digits[24];
    int count = 0;
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 || count < width);
    char text[40];
    int length = 0;
    if (value < 0)
        text[length++] = '-';
    for (int i = count - 1; i >= 0; --i) {
        text[length++] = digits[i];
        if (grouped && i > 0 && i % 3 == 0)
            text[length++] = ',';
    }
    text[length] = '\0';
    Put(w, text);
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
    if (days > 60 || days < -60) {
        long long months = RoughMonths(today, date);
        Put(w, " (about");
        if (months >= 12) {
            Put(w, " ");
            PutNumber(w, months / 12, 1, true);
            Put(w, months < 24 ? " year" : " years");
        }
        if (months % 12 > 0) {
            Put(w, " ");
            PutNumber(w, months % 12);
            Put(w, months % 12 == 1 ? " month" : " months");
        }
        Put(w, ")");
    }
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
