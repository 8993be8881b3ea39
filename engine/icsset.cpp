// The event set: its index, and the days its events fall on.
#include "icsset.h"

#include "calendar.h"
#include "icsdata.h"
#include "icsrule.h"

#include <cstring>

namespace {

// Single events up to this long are found by their first day; longer ones
// are looked at on every query, as rules are.
const long long kShortDays = 62;
const long long kShortSeconds = kShortDays * kSecondsPerDay;
// A UTC time's local day lies within this many days of its UTC day.
const long long kZoneDays = 2;
// The work of a rule, in months and days looked at and days told of its
// occurrences, is held per query to what the days asked about need (8 a
// day and some), and beyond that to a share of a pool of all rules'. A
// COUNT counted from the start draws on the share alone: some 5,000 years
// a month at a time, or 180 of a rule every other day, but no more than
// the pool, however many rules a file holds.
const long long kOwnWork = 1024;
const long long kMostShare = 1LL << 16;
const long long kPool = 1LL << 22;
// Days asked about lie within this of 1970, far from overflowing in seconds.
const long long kFarthestDay = 1LL << 40;
const int kMostSameUid = 8;

int Compare(long long a, long long b) { return a < b ? -1 : a > b ? 1 : 0; }

int CompareStarts(const void *a, const void *b) {
    return Compare(static_cast<const IcsStart *>(a)->day, static_cast<const IcsStart *>(b)->day);
}

int CompareReplaced(const void *a, const void *b) {
    return Compare(static_cast<const IcsReplaced *>(a)->event,
                   static_cast<const IcsReplaced *>(b)->event);
}

struct UidEntry {
    unsigned long long hash;
    int event;
};

int CompareUids(const void *a, const void *b) {
    unsigned long long x = static_cast<const UidEntry *>(a)->hash;
    unsigned long long y = static_cast<const UidEntry *>(b)->hash;
    return x < y ? -1 : x > y ? 1 : 0;
}

unsigned long long UidHash(const EventSet &set, const IcsEvent &event) {
    unsigned long long hash = 14695981039346656037ULL;
    for (int i = 0; i < event.uidLength; ++i)
        hash = (hash ^ static_cast<unsigned char>(set.text[event.uidFirst + i])) * 1099511628211ULL;
    return hash;
}

bool SameUid(const EventSet &set, const IcsEvent &a, const IcsEvent &b) {
    return a.uidLength == b.uidLength && memcmp(set.text + a.uidFirst, set.text + b.uidFirst,
                                                static_cast<size_t>(a.uidLength)) == 0;
}

const IcsTime *RecurrenceId(const EventSet &set, const IcsEvent &event) {
    for (int i = 0; i < event.timeCount; ++i)
        if (set.times[event.timeFirst + i].use == kUseRecurrenceId)
            return &set.times[event.timeFirst + i];
    return nullptr;
}

// The first of `count` entries sorted by hash with `hash` or a greater one.
int FirstUid(const UidEntry *uids, int count, unsigned long long hash) {
    int low = 0;
    int high = count;
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (uids[middle].hash < hash)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// The occurrences the override `index` takes the place of, in
// `set->replaced`; an override of a cancelled event is hidden with it.
bool LinkOverride(EventSet *set, const UidEntry *uids, int count, int index, int *capacity) {
    IcsEvent &event = set->events[index];
    const IcsTime *when = RecurrenceId(*set, event);
    if (!event.replaces || when == nullptr)
        return true;
    unsigned long long hash = UidHash(*set, event);
    // An event of the same UID in more calendars than a few is not one to
    // honour, and would make linking take the square of the events.
    int last = FirstUid(uids, count, hash) + kMostSameUid;
    for (int i = FirstUid(uids, count, hash); i < count && i < last && uids[i].hash == hash; ++i) {
        const IcsEvent &master = set->events[uids[i].event];
        if (!SameUid(*set, master, event))
            continue;
        event.hidden = event.hidden || master.cancelled;
        if (!Reserve(set->replaced, *capacity, set->replacedCount + 1))
            return false;
        set->replaced[set->replacedCount++] = {uids[i].event, *when};
    }
    return true;
}

// Each override with the events of its UID. False where memory ran out.
bool LinkOverrides(EventSet *set, UidEntry *uids) {
    int count = 0;
    for (int i = 0; i < set->eventCount; ++i)
        if (!set->events[i].replaces && set->events[i].uidLength > 0)
            uids[count++] = {UidHash(*set, set->events[i]), i};
    if (count > 1)
        qsort(uids, static_cast<size_t>(count), sizeof *uids, CompareUids);
    int capacity = 0;
    for (int i = 0; i < set->eventCount; ++i)
        if (!LinkOverride(set, uids, count, i, &capacity))
            return false;
    if (set->replacedCount > 1)
        qsort(set->replaced, static_cast<size_t>(set->replacedCount), sizeof *set->replaced,
              CompareReplaced);
    return true;
}

bool HasRdate(const EventSet &set, const IcsEvent &event) {
    for (int i = 0; i < event.timeCount; ++i)
        if (set.times[event.timeFirst + i].use == kUseRdate)
            return true;
    return false;
}

bool Shown(const IcsEvent &event) { return !event.cancelled && !event.hidden; }

bool IsShortSingle(const EventSet &set, const IcsEvent &event) {
    return event.rule < 0 && event.seconds <= kShortSeconds && !HasRdate(set, event);
}

void ClearIndex(EventSet *set) {
    free(set->byStart);
    free(set->others);
    free(set->replaced);
    set->byStart = nullptr;
    set->others = nullptr;
    set->replaced = nullptr;
    set->byStartCount = 0;
    set->otherCount = 0;
    set->replacedCount = 0;
    set->indexed = false;
}

} // namespace

void IndexEvents(EventSet *set) {
    ClearIndex(set);
    size_t count = static_cast<size_t>(set->eventCount);
    for (size_t i = 0; i < count; ++i)
        set->events[i].hidden = false;
    auto *uids = static_cast<UidEntry *>(malloc(count * sizeof(UidEntry) + 1));
    bool linked = uids != nullptr && LinkOverrides(set, uids);
    free(uids);
    if (!linked) {
        // Without the links every override shows beside the occurrence it
        // would have taken the place of.
        free(set->replaced);
        set->replaced = nullptr;
        set->replacedCount = 0;
    }
    set->byStart = static_cast<IcsStart *>(malloc(count * sizeof(IcsStart) + 1));
    set->others = static_cast<int *>(malloc(count * sizeof(int) + 1));
    if (set->byStart == nullptr || set->others == nullptr) {
        ClearIndex(set);
        return;
    }
    for (int i = 0; i < set->eventCount; ++i) {
        const IcsEvent &event = set->events[i];
        if (!Shown(event))
            continue;
        if (IsShortSingle(*set, event))
            set->byStart[set->byStartCount++] = {event.start.day, i};
        else
            set->others[set->otherCount++] = i;
    }
    if (set->byStartCount > 1)
        qsort(set->byStart, static_cast<size_t>(set->byStartCount), sizeof *set->byStart,
              CompareStarts);
    set->indexed = true;
}

void FreeEvents(EventSet *set) {
    ClearIndex(set);
    free(set->events);
    free(set->rules);
    free(set->times);
    free(set->text);
    memset(set, 0, sizeof *set);
}

namespace {

struct Query {
    const EventSet &set;
    long long from;
    long long to;
    LocalTimeFn toLocal;
    void *localContext;
    EventDayFn each;
    void *eachContext;
    long long ownWork;
    long long *pool;
};

long long Local(const Query &q, long long utcSeconds) {
    return q.toLocal == nullptr ? utcSeconds : q.toLocal(utcSeconds, q.localContext);
}

long long SecondsOf(const IcsTime &time) {
    return time.day * kSecondsPerDay + (time.second < 0 ? 0 : time.second);
}

// Whether an occurrence starting at `a` is the one `b` names (an EXDATE, a
// RECURRENCE-ID): by date for an event of dates or a date, else by time, a
// UTC one taken to local time where the other is not in UTC.
bool SameOccurrence(const Query &q, const IcsEvent &event, const IcsTime &a, const IcsTime &b) {
    if (event.start.second == kDateOnly || b.second == kDateOnly)
        return a.day == b.day;
    if (a.utc == b.utc)
        return a.day == b.day && a.second == b.second;
    long long x = a.utc ? Local(q, SecondsOf(a)) : SecondsOf(a);
    long long y = b.utc ? Local(q, SecondsOf(b)) : SecondsOf(b);
    return x == y;
}

// The first of an event's times, which the reader sorts by day, on `day`
// or after it.
int FirstTime(const EventSet &set, const IcsEvent &event, long long day) {
    int low = event.timeFirst;
    int high = event.timeFirst + event.timeCount;
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (set.times[middle].day < day)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

bool Excluded(const Query &q, int index, const IcsTime &occurrence) {
    const EventSet &set = q.set;
    const IcsEvent &event = set.events[index];
    int end = event.timeFirst + event.timeCount;
    for (int i = FirstTime(set, event, occurrence.day - kZoneDays);
         i < end && set.times[i].day <= occurrence.day + kZoneDays; ++i)
        if (set.times[i].use == kUseExdate && SameOccurrence(q, event, occurrence, set.times[i]))
            return true;
    int low = 0;
    int high = set.replacedCount;
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (set.replaced[middle].event < index)
            low = middle + 1;
        else
            high = middle;
    }
    for (; low < set.replacedCount && set.replaced[low].event == index; ++low)
        if (SameOccurrence(q, event, occurrence, set.replaced[low].when))
            return true;
    return false;
}

// The local days an occurrence starting at `start` covers, those asked
// about; returns how many.
long long Tell(const Query &q, const IcsEvent &event, const IcsTime &start) {
    long long first = start.day;
    long long last;
    int rest;
    if (event.start.second == kDateOnly) {
        last = first + FloorDivide(event.seconds, kSecondsPerDay, &rest) - 1;
    } else {
        long long begin = SecondsOf(start);
        long long end = begin + event.seconds;
        if (start.utc) {
            begin = Local(q, begin);
            end = Local(q, end);
        }
        first = FloorDivide(begin, kSecondsPerDay, &rest);
        last = FloorDivide(end, kSecondsPerDay, &rest);
        // An end at midnight is the end of the day before.
        if (end > begin && rest == 0)
            --last;
        if (last < first)
            last = first;
    }
    const char *name = q.set.text == nullptr ? "" : q.set.text + event.nameFirst;
    long long told = 0;
    for (long long day = first < q.from ? q.from : first; day <= last && day <= q.to; ++day) {
        q.each(day, name, event.nameLength, q.eachContext);
        ++told;
    }
    return told;
}

// UNTIL as the last day an occurrence may start on, in the start's terms.
long long LastRuleDay(const Query &q, const IcsEvent &event, const IcsRule &rule) {
    const IcsTime &until = rule.until;
    if (until.day == kNoDay || until.second == kDateOnly)
        return until.day;
    long long seconds =
        until.utc && !event.start.utc ? Local(q, SecondsOf(until)) : SecondsOf(until);
    int rest;
    long long day = FloorDivide(seconds, kSecondsPerDay, &rest);
    return event.start.second == kDateOnly || event.start.second <= rest ? day : day - 1;
}

struct RuleWalk {
    const Query &q;
    int index;
    long long cap;
    long long told; // days told, held to the cap: occurrences may overlap
    bool found;     // for Repeats: the rule gave the day
};

void TellRuleDay(long long day, void *context) {
    auto &walk = *static_cast<RuleWalk *>(context);
    const IcsEvent &event = walk.q.set.events[walk.index];
    IcsTime start = {day, event.start.second, event.start.utc, 0};
    if (walk.told <= walk.cap && !Excluded(walk.q, walk.index, start))
        walk.told += Tell(walk.q, event, start);
}

void FindRuleDay(long long /*day*/, void *context) {
    static_cast<RuleWalk *>(context)->found = true;
}

// Whether an RDATE names an occurrence the rule (or DTSTART, without one)
// gives already.
bool Repeats(const Query &q, int index, const IcsTime &time) {
    const IcsEvent &event = q.set.events[index];
    bool sameTime = event.start.second == time.second && event.start.utc == time.utc;
    if (event.rule < 0 || !sameTime)
        return sameTime && event.start.day == time.day && event.rule < 0;
    const IcsRule &rule = q.set.rules[event.rule];
    RuleWalk walk = {q, index, q.ownWork, 0, false};
    ExpandIcsRule(rule, event.start.day, LastRuleDay(q, event, rule), time.day, time.day,
                  {q.ownWork, q.ownWork}, FindRuleDay, &walk);
    return walk.found;
}

void TellEvent(const Query &q, int index) {
    const EventSet &set = q.set;
    const IcsEvent &event = set.events[index];
    int rest;
    long long from = q.from - FloorDivide(event.seconds, kSecondsPerDay, &rest) - 1 - kZoneDays;
    long long to = q.to + kZoneDays;
    if (event.rule >= 0) {
        const IcsRule &rule = set.rules[event.rule];
        long long share = *q.pool < kMostShare ? *q.pool : kMostShare;
        RuleWalk walk = {q, index, q.ownWork + share, 0, false};
        // Counted from the start the rule takes from the pool only, so that
        // many rules that count far add up to no more than the pool.
        IcsWork work = ExpandIcsRule(rule, event.start.day, LastRuleDay(q, event, rule), from, to,
                                     {walk.cap, share}, TellRuleDay, &walk);
        long long charged = work.counted ? work.done : work.done + walk.told - q.ownWork;
        if (charged > share)
            charged = share;
        if (charged > 0)
            *q.pool -= charged;
    } else if (event.start.day >= from && event.start.day <= to &&
               !Excluded(q, index, event.start)) {
        Tell(q, event, event.start);
    }
    int end = event.timeFirst + event.timeCount;
    for (int i = FirstTime(set, event, from); i < end && set.times[i].day <= to; ++i) {
        IcsTime time = set.times[i];
        if (time.use != kUseRdate)
            continue;
        // A date for a timed event: at the event's time of day.
        if (time.second == kDateOnly) {
            time.second = event.start.second;
            time.utc = event.start.utc;
        }
        if (!Repeats(q, index, time) && !Excluded(q, index, time))
            Tell(q, event, time);
    }
}

} // namespace

void EventsIn(const EventSet &set, long long fromDay, long long toDay, LocalTimeFn toLocal,
              void *localContext, EventDayFn each, void *eachContext) {
    fromDay = fromDay < -kFarthestDay ? -kFarthestDay : fromDay;
    toDay = toDay > kFarthestDay ? kFarthestDay : toDay;
    if (fromDay > toDay)
        return;
    long long pool = kPool;
    Query q = {set, fromDay, toDay, toLocal, localContext, each, eachContext, 0, &pool};
    q.ownWork = kOwnWork + 8 * (toDay - fromDay + 1);
    if (!set.indexed) {
        for (int i = 0; i < set.eventCount; ++i)
            if (Shown(set.events[i]))
                TellEvent(q, i);
        return;
    }
    // The short single events that may reach into the days asked about.
    long long first = fromDay - kShortDays - 1 - kZoneDays;
    int low = 0;
    int high = set.byStartCount;
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (set.byStart[middle].day < first)
            low = middle + 1;
        else
            high = middle;
    }
    for (; low < set.byStartCount && set.byStart[low].day <= toDay + kZoneDays; ++low)
        TellEvent(q, set.byStart[low].event);
    for (int i = 0; i < set.otherCount; ++i)
        TellEvent(q, set.others[i]);
}
