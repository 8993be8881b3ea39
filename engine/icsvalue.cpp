#include "icsvalue.h"

#include "calendar.h"

#include <cstring>

namespace {

// Numbers past this are as good as endless to a calendar, and sums of a few
// of them stay far from overflowing.
const long long kLargestNumber = 1000000000000000LL;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// `count` digits at `text`.
int Digits(const char *text, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

bool AllDigits(const char *text, int count) {
    for (int i = 0; i < count; ++i)
        if (!IsDigit(text[i]))
            return false;
    return true;
}

IcsSlice Trimmed(IcsSlice slice) {
    while (slice.length > 0 && (slice.text[0] == ' ' || slice.text[0] == '\t')) {
        ++slice.text;
        --slice.length;
    }
    while (slice.length > 0 &&
           (slice.text[slice.length - 1] == ' ' || slice.text[slice.length - 1] == '\t'))
        --slice.length;
    return slice;
}

// A decimal number with an optional sign, within -largest to largest.
bool ParseNumber(IcsSlice text, long long *value) {
    text = Trimmed(text);
    int i = 0;
    bool negative = false;
    if (i < text.length && (text.text[i] == '+' || text.text[i] == '-'))
        negative = text.text[i++] == '-';
    if (i == text.length)
        return false;
    long long number = 0;
    for (; i < text.length; ++i) {
        if (!IsDigit(text.text[i]))
            return false;
        if (number < kLargestNumber)
            number = number * 10 + (text.text[i] - '0');
    }
    *value = negative ? -number : number;
    return true;
}

// The next piece of `rest` up to `separator`, taken off it.
IcsSlice NextPiece(IcsSlice *rest, char separator) {
    const void *found = memchr(rest->text, separator, static_cast<size_t>(rest->length));
    int length = found == nullptr ? rest->length
                                  : static_cast<int>(static_cast<const char *>(found) - rest->text);
    IcsSlice piece = {rest->text, length};
    int taken = found == nullptr ? length : length + 1;
    rest->text += taken;
    rest->length -= taken;
    return piece;
}

// MO to SU as 0-6, or -1.
int WeekdayCode(IcsSlice text) {
    static const char *const kCodes[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
    for (int w = 0; w < 7; ++w)
        if (IsWord(text, kCodes[w]))
            return w;
    return -1;
}

// A signed entry of a BY list, 1 to `most` either way.
bool SetSigned(IcsSlice item, int most, unsigned *fromStart, unsigned *fromEnd) {
    long long value;
    if (!ParseNumber(item, &value) || value == 0 || value > most || value < -most)
        return false;
    if (value > 0)
        SetBit(fromStart, static_cast<int>(value));
    else
        SetBit(fromEnd, static_cast<int>(-value));
    return true;
}

// A BYDAY entry: MO, 3MO, -1MO, +2TU.
bool SetWeekday(IcsSlice item, IcsRule *rule) {
    item = Trimmed(item);
    if (item.length < 2)
        return false;
    int weekday = WeekdayCode({item.text + item.length - 2, 2});
    if (weekday < 0)
        return false;
    if (item.length == 2) {
        rule->weekdays = static_cast<unsigned char>(rule->weekdays | 1U << weekday);
        return true;
    }
    return SetSigned({item.text, item.length - 2}, 53, rule->nthWeekday[weekday],
                     rule->nthWeekdayFromEnd[weekday]);
}

bool SetFrequency(IcsSlice value, IcsRule *rule, RuleRead *read) {
    static const char *const kNames[] = {"YEARLY", "MONTHLY", "WEEKLY", "DAILY"};
    for (int f = 0; f < 4; ++f)
        if (IsWord(value, kNames[f])) {
            rule->frequency = static_cast<IcsFrequency>(f);
            return true;
        }
    if (IsWord(value, "HOURLY") || IsWord(value, "MINUTELY") || IsWord(value, "SECONDLY"))
        *read = RuleRead::unsupported;
    return false;
}

bool SetPositive(IcsSlice value, long long *out) {
    long long number;
    if (!ParseNumber(value, &number) || number < 1)
        return false;
    *out = number;
    return true;
}

// Each entry of a comma list through `set`.
template <typename Set> bool EachEntry(IcsSlice list, Set set) {
    if (list.length == 0)
        return false;
    while (list.length > 0)
        if (!set(NextPiece(&list, ',')))
            return false;
    return true;
}

bool SetListPart(IcsSlice name, IcsSlice value, IcsRule *rule) {
    if (IsWord(name, "BYMONTH"))
        return EachEntry(value, [rule](IcsSlice item) {
            long long month;
            if (!ParseNumber(item, &month) || month < 1 || month > 12)
                return false;
            rule->months |= 1U << month;
            return true;
        });
    if (IsWord(name, "BYDAY"))
        return EachEntry(value, [rule](IcsSlice item) { return SetWeekday(item, rule); });
    struct Part {
        const char *name;
        int most;
        unsigned *fromStart;
        unsigned *fromEnd;
    };
    const Part parts[] = {
        {"BYMONTHDAY", 31, rule->monthDays, rule->monthDaysFromEnd},
        {"BYYEARDAY", 366, rule->yearDays, rule->yearDaysFromEnd},
        {"BYWEEKNO", 53, rule->weekNumbers, rule->weekNumbersFromEnd},
        {"BYSETPOS", 366, rule->setPositions, rule->setPositionsFromEnd},
    };
    for (const Part &part : parts)
        if (IsWord(name, part.name))
            return EachEntry(value, [&part](IcsSlice item) {
                return SetSigned(item, part.most, part.fromStart, part.fromEnd);
            });
    // BYHOUR, BYMINUTE and BYSECOND place a daily or rarer rule's
    // occurrences within their day, never on another day; the calendar
    // marks days, so they are let be, like any part it does not know.
    return true;
}

// One NAME=VALUE of a rule.
bool SetPart(IcsSlice name, IcsSlice value, IcsRule *rule, RuleRead *read) {
    if (IsWord(name, "FREQ"))
        return SetFrequency(value, rule, read);
    if (IsWord(name, "INTERVAL")) {
        long long interval;
        if (!SetPositive(value, &interval))
            return false;
        rule->interval = interval > INT_MAX ? INT_MAX : static_cast<int>(interval);
        return true;
    }
    if (IsWord(name, "COUNT"))
        return SetPositive(value, &rule->count);
    if (IsWord(name, "UNTIL"))
        return ParseIcsTime(value, &rule->until);
    if (IsWord(name, "WKST")) {
        int weekday = WeekdayCode(Trimmed(value));
        rule->weekStart = static_cast<unsigned char>(weekday);
        return weekday >= 0;
    }
    return SetListPart(name, value, rule);
}

// One number and its unit of a DURATION at `*at`, added to `total`: weeks
// or days, or after the T hours, minutes or seconds.
bool DurationPart(IcsSlice value, int *at, bool inTime, long long *total) {
    int i = *at;
    long long number = 0;
    for (; i < value.length && IsDigit(value.text[i]); ++i)
        if (number < 1000000000)
            number = number * 10 + (value.text[i] - '0');
    if (i == *at || i == value.length)
        return false;
    char unit = Upper(value.text[i]);
    *at = i + 1;
    const char *units = inTime ? "HMS" : "WD";
    const long long sizes[] = {inTime ? 3600 : 7LL * kSecondsPerDay, inTime ? 60 : kSecondsPerDay,
                               1};
    const char *found = unit == '\0' ? nullptr : strchr(units, unit);
    if (found == nullptr)
        return false;
    *total += number * sizes[found - units];
    if (*total > kLongestSeconds)
        *total = kLongestSeconds;
    return true;
}

} // namespace

int WeekdayOf(long long day) {
    int weekday;
    FloorDivide(day + 3, 7, &weekday);
    return weekday;
}

bool IsWord(IcsSlice slice, const char *word) {
    int i = 0;
    for (; i < slice.length && word[i] != '\0'; ++i)
        if (Upper(slice.text[i]) != word[i])
            return false;
    return i == slice.length && word[i] == '\0';
}

bool ParseIcsTime(IcsSlice value, IcsTime *time) {
    value = Trimmed(value);
    const char *t = value.text;
    bool date = value.length == 8;
    bool utc = value.length == 16 && Upper(t[15]) == 'Z';
    if (!date && value.length != 15 && !utc)
        return false;
    if (!AllDigits(t, 8) || (!date && (Upper(t[8]) != 'T' || !AllDigits(t + 9, 6))))
        return false;
    int year = Digits(t, 4);
    int month = Digits(t + 4, 2);
    int day = Digits(t + 6, 2);
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(month, year))
        return false;
    time->day = DayNumber(year, month, day);
    time->utc = utc;
    time->second = kDateOnly;
    if (date)
        return true;
    int hour = Digits(t + 9, 2);
    int minute = Digits(t + 11, 2);
    int second = Digits(t + 13, 2);
    if (hour > 23 || minute > 59 || second > 60)
        return false;
    // A leap second is the last of its minute here.
    time->second = hour * 3600 + minute * 60 + (second == 60 ? 59 : second);
    return true;
}

bool ParseIcsDuration(IcsSlice value, long long *seconds) {
    value = Trimmed(value);
    int i = 0;
    bool negative = false;
    if (i < value.length && (value.text[i] == '+' || value.text[i] == '-'))
        negative = value.text[i++] == '-';
    if (i == value.length || Upper(value.text[i++]) != 'P')
        return false;
    bool inTime = false;
    bool any = false;
    long long total = 0;
    while (i < value.length) {
        if (Upper(value.text[i]) == 'T' && !inTime) {
            inTime = true;
            ++i;
        } else if (DurationPart(value, &i, inTime, &total)) {
            any = true;
        } else {
            return false;
        }
    }
    *seconds = negative ? -total : total;
    return any;
}

RuleRead ParseIcsRule(IcsSlice value, IcsRule *rule) {
    memset(rule, 0, sizeof *rule);
    rule->frequency = kDaily;
    rule->interval = 1;
    rule->until.day = kNoDay;
    RuleRead read = RuleRead::broken;
    bool frequency = false;
    IcsSlice rest = Trimmed(value);
    while (rest.length > 0) {
        IcsSlice part = NextPiece(&rest, ';');
        if (part.length == 0)
            continue;
        IcsSlice name = NextPiece(&part, '=');
        if (!SetPart(Trimmed(name), part, rule, &read))
            return read;
        frequency = frequency || IsWord(Trimmed(name), "FREQ");
    }
    return frequency ? RuleRead::ok : RuleRead::broken;
}

int UnescapeIcsText(IcsSlice value, char *out) {
    int length = 0;
    for (int i = 0; i < value.length; ++i) {
        char c = value.text[i];
        if (c == '\\' && i + 1 < value.length) {
            char next = value.text[++i];
            if (next == 'n' || next == 'N')
                next = ' ';
            else if (next != ',' && next != ';' && next != '\\')
                out[length++] = c;
            c = next;
        }
        out[length++] = c;
    }
    IcsSlice trimmed = Trimmed({out, length});
    memmove(out, trimmed.text, static_cast<size_t>(trimmed.length));
    return trimmed.length;
}
