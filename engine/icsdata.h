// What the calendar keeps of an iCalendar event, shared by the reader, the
// recurrence and the event set.
#pragma once

#include <climits>
#include <cstdlib>

// A time as a file writes it: a date, or a date and a time of day, either
// in UTC or as written (its own zone's wall clock, or floating).
struct IcsTime {
    long long day; // DayNumber's
    int second;    // into the day, or kDateOnly
    bool utc;
    // For the event set's pool of times: what the time is to its event.
    unsigned char use;
};

const int kDateOnly = -1;
const unsigned char kUseRdate = 0;
const unsigned char kUseExdate = 1;
const unsigned char kUseRecurrenceId = 2;

const int kSecondsPerDay = 86400;
// Beyond any day asked about, and far from overflowing when days are added.
const long long kNoDay = 1LL << 52;
// No event lasts longer; a longer end is taken as this.
const long long kLongestSeconds = 20000LL * 366 * kSecondsPerDay;

enum IcsFrequency : unsigned char { kYearly, kMonthly, kWeekly, kDaily };

// An RRULE. Each BY part is a set of bits, bit n - 1 for n and a set of its
// own for -n, an empty set a part not given; weekdays are 0 (Monday) to 6.
struct IcsRule {
    IcsFrequency frequency;
    unsigned char weekStart;
    unsigned char weekdays; // BYDAY without an ordinal
    int interval;
    long long count; // 0: none
    IcsTime until;   // until.day == kNoDay: none
    unsigned months; // bit n for month n
    unsigned monthDays[1];
    unsigned monthDaysFromEnd[1];
    unsigned nthWeekday[7][2];
    unsigned nthWeekdayFromEnd[7][2];
    unsigned weekNumbers[2];
    unsigned weekNumbersFromEnd[2];
    unsigned yearDays[12];
    unsigned yearDaysFromEnd[12];
    unsigned setPositions[12];
    unsigned setPositionsFromEnd[12];
    // Worked out once the rule is complete, for each query not to.
    bool yearDayPart;
    bool weekNumberPart;
    bool setPositionPart;
    unsigned char nthWeekdays; // bit w where weekday w has an ordinal
    int mostPerPeriod;
};

// Bit n - 1 of a set of bits.
inline bool HasBit(const unsigned *bits, int n) {
    return ((bits[(n - 1) / 32] >> ((n - 1) % 32)) & 1U) != 0;
}
inline void SetBit(unsigned *bits, int n) { bits[(n - 1) / 32] |= 1U << ((n - 1) % 32); }
// How many bits are set in `words` words.
inline int CountBits(const unsigned *bits, int words) {
    int count = 0;
    for (int i = 0; i < words; ++i)
        for (unsigned rest = bits[i]; rest != 0; rest &= rest - 1)
            ++count;
    return count;
}

inline bool AnyBit(const unsigned *bits, int words) {
    unsigned any = 0;
    for (int i = 0; i < words; ++i)
        any |= bits[i];
    return any != 0;
}

// 0 (Monday) to 6 of a day number: 1 January 1970 was a Thursday.
int WeekdayOf(long long day);

struct IcsEvent {
    IcsTime start;
    // From the start to the end: whole days for an event of dates.
    long long seconds;
    int rule; // index into the set's rules, or -1
    // Its RDATEs and EXDATEs, and its RECURRENCE-ID, in the set's times,
    // by day.
    int timeFirst;
    int timeCount;
    int nameFirst;
    int nameLength;
    int uidFirst;
    int uidLength;
    bool cancelled;
    bool replaces; // has a RECURRENCE-ID: takes one occurrence's place
    bool hidden;   // an override of a cancelled event
};

// A short single event's first day, for a binary search.
struct IcsStart {
    long long day;
    int event;
};

// An occurrence of `event` that an override takes the place of.
struct IcsReplaced {
    int event;
    IcsTime when;
};

// Room for `needed` items in a malloc'd array; false where memory or the
// int count runs out, the array then as it was.
template <typename T> bool Reserve(T *&items, int &capacity, int needed) {
    if (needed <= capacity)
        return true;
    const int most = static_cast<int>(INT_MAX / 2 / sizeof(T));
    if (needed > most)
        return false;
    int grown = capacity < 16 ? 16 : capacity;
    while (grown < needed)
        grown = grown > most / 2 ? most : grown * 2;
    void *more = realloc(items, static_cast<size_t>(grown) * sizeof(T));
    if (more == nullptr)
        return false;
    items = static_cast<T *>(more);
    capacity = grown;
    return true;
}
