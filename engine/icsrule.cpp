#include "icsrule.h"

#include "calendar.h"

#include <cstring>

// Every BY part narrows the days, as RFC 5545 combines them: what it calls
// expanding is the same as keeping the days that a part allows, since the
// parts a rule leaves out are filled in from its start (CompleteIcsRule).
// The frequency and INTERVAL decide the periods, and BYSETPOS picks within
// a period.

namespace {

struct Period {
    long long first;
    long long last;
};

int DaysInMonthOfYear(int monthNumber, long long year) {
    // The leap years repeat every 400.
    int yearInCycle;
    FloorDivide(year, 400, &yearInCycle);
    return DaysInMonth(monthNumber, yearInCycle);
}

long long PeriodIndex(const IcsRule &rule, long long day) {
    if (rule.frequency == kDaily)
        return day;
    int rest;
    if (rule.frequency == kWeekly)
        return FloorDivide(day + 3 - rule.weekStart, 7, &rest);
    long long year;
    int month;
    DateOfDayNumber(day, &year, &month, &rest);
    return rule.frequency == kMonthly ? year * 12 + month - 1 : year;
}

Period PeriodDays(const IcsRule &rule, long long index) {
    if (rule.frequency == kDaily)
        return {index, index};
    if (rule.frequency == kWeekly) {
        long long first = index * 7 - 3 + rule.weekStart;
        return {first, first + 6};
    }
    if (rule.frequency == kYearly)
        return {DayNumber(index, 1, 1), DayNumber(index + 1, 1, 1) - 1};
    int month;
    long long year = FloorDivide(index, 12, &month);
    long long first = DayNumber(year, month + 1, 1);
    return {first, first + DaysInMonthOfYear(month + 1, year) - 1};
}

int NthCount(const IcsRule &rule) {
    int count = 0;
    for (int w = 0; w < 7; ++w)
        count += CountBits(rule.nthWeekday[w], 2) + CountBits(rule.nthWeekdayFromEnd[w], 2);
    return count;
}

int Least(int a, int b) { return a < b ? a : b; }

// No period of the rule holds more occurrences than this.
int MostPerPeriod(const IcsRule &rule) {
    static const int kPeriodLength[] = {366, 31, 7, 1};
    int most = kPeriodLength[rule.frequency];
    bool yearly = rule.frequency == kYearly;
    int months = rule.months == 0 ? 12 : CountBits(&rule.months, 1);
    // A week runs into two months at most.
    int monthsIn = yearly ? months : rule.frequency == kMonthly ? 1 : 2;
    if (yearly)
        most = Least(most, months * 31);
    int setPositions = CountBits(rule.setPositions, 12) + CountBits(rule.setPositionsFromEnd, 12);
    if (setPositions > 0)
        most = Least(most, setPositions);
    int monthDays = CountBits(rule.monthDays, 1) + CountBits(rule.monthDaysFromEnd, 1);
    if (monthDays > 0)
        most = Least(most, monthDays * monthsIn);
    int yearDays = CountBits(rule.yearDays, 12) + CountBits(rule.yearDaysFromEnd, 12);
    if (yearDays > 0)
        most = Least(most, yearDays);
    // Week 1's days and the next year's week 1 in the last days of December.
    int weeks = CountBits(rule.weekNumbers, 2) + CountBits(rule.weekNumbersFromEnd, 2);
    if (weeks > 0)
        most = Least(most, weeks * 14);
    unsigned weekdayBits = rule.weekdays;
    int weekdays = CountBits(&weekdayBits, 1);
    int nth = NthCount(rule);
    if (weekdays + nth > 0) {
        int perWeekday = rule.frequency == kWeekly ? 1 : yearly && rule.months == 0 ? 53 : 5;
        int nthTimes = yearly && rule.months != 0 ? months : 1;
        most = Least(most, weekdays * perWeekday * (yearly && rule.months != 0 ? months : 1) +
                               nth * nthTimes);
    }
    return most;
}

// Where an ordinal weekday counts from: the month, or the year of a yearly
// rule without BYMONTH.
bool CountsInYear(const IcsRule &rule) { return rule.frequency == kYearly && rule.months == 0; }

// Week 1 with the rule's first weekday: the week that holds 4 January, so
// at least four of its days.
long long WeekOneStart(long long year, int weekStart) {
    long long fourth = DayNumber(year, 1, 4);
    return fourth - (WeekdayOf(fourth) - weekStart + 7) % 7;
}

// One month's worth of what the day parts need to know.
struct MonthFacts {
    long long first; // its first day
    int length;
    long long year;
    long long yearFirst;
    int yearLength;
    // The starts of week 1 of the year before, this one and the two after.
    long long weekOne[4];
};

unsigned DaysUpTo(int count) { return count >= 32 ? ~0U : (1U << count) - 1; }

unsigned MonthDayMask(const IcsRule &rule, const MonthFacts &month) {
    if (rule.monthDays[0] == 0 && rule.monthDaysFromEnd[0] == 0)
        return ~0U;
    unsigned mask = rule.monthDays[0] & DaysUpTo(month.length);
    for (int k = 1; k <= month.length; ++k)
        if (HasBit(rule.monthDaysFromEnd, k))
            mask |= 1U << (month.length - k);
    return mask;
}

bool NthMatches(const IcsRule &rule, int weekday, int position, int length) {
    return HasBit(rule.nthWeekday[weekday], (position - 1) / 7 + 1) ||
           HasBit(rule.nthWeekdayFromEnd[weekday], (length - position) / 7 + 1);
}

unsigned WeekdayMask(const IcsRule &rule, const MonthFacts &month) {
    unsigned mask = 0;
    bool any = rule.weekdays != 0;
    int firstWeekday = WeekdayOf(month.first);
    int fromYearStart = static_cast<int>(month.first - month.yearFirst);
    for (int w = 0; w < 7; ++w) {
        bool plain = ((rule.weekdays >> w) & 1U) != 0;
        bool nth = ((rule.nthWeekdays >> w) & 1U) != 0;
        any = any || nth;
        if (!plain && !nth)
            continue;
        for (int day = 1 + (w - firstWeekday + 7) % 7; day <= month.length; day += 7) {
            bool year = CountsInYear(rule);
            if (plain || NthMatches(rule, w, year ? fromYearStart + day : day,
                                    year ? month.yearLength : month.length))
                mask |= 1U << (day - 1);
        }
    }
    return any ? mask : ~0U;
}

bool YearDayMatches(const IcsRule &rule, const MonthFacts &month, int dayOfYear) {
    if (!rule.yearDayPart)
        return true;
    return HasBit(rule.yearDays, dayOfYear) ||
           HasBit(rule.yearDaysFromEnd, month.yearLength - dayOfYear + 1);
}

bool WeekNumberMatches(const IcsRule &rule, const MonthFacts &month, long long day) {
    if (!rule.weekNumberPart)
        return true;
    // The week year the day is in: this one, the one before or the next.
    int which = day < month.weekOne[1] ? 0 : day < month.weekOne[2] ? 1 : 2;
    long long start = month.weekOne[which];
    long long next = month.weekOne[which + 1];
    int week = static_cast<int>(day - start) / 7 + 1;
    int weeks = static_cast<int>(next - start) / 7;
    return HasBit(rule.weekNumbers, week) || HasBit(rule.weekNumbersFromEnd, weeks - week + 1);
}

void SetYear(MonthFacts *month, long long year, const IcsRule &rule) {
    month->year = year;
    month->yearFirst = DayNumber(year, 1, 1);
    month->yearLength = 365 + (DaysInMonthOfYear(2, year) - 28);
    if (rule.weekNumberPart)
        for (int i = 0; i < 4; ++i)
            month->weekOne[i] = WeekOneStart(year - 1 + i, rule.weekStart);
}

// The days of `mask` (bit n - 1 for day n of the month) that the year's
// parts allow, to `emit` while it returns true.
template <typename Emit>
bool EmitMonth(const IcsRule &rule, const MonthFacts &month, unsigned mask, long long *work,
               Emit &emit) {
    for (; mask != 0; mask &= mask - 1) {
        int bit = 0;
        while (((mask >> bit) & 1U) == 0)
            ++bit;
        long long date = month.first + bit;
        *work += 1;
        if (YearDayMatches(rule, month, static_cast<int>(date - month.yearFirst) + 1) &&
            WeekNumberMatches(rule, month, date) && !emit(date))
            return false;
    }
    return true;
}

// Calls `emit` with every day from `a` to `b` that each BY part allows, in
// order, while it returns true; `work` counts the months and days looked at
// and stops it past `cap`. False where either stopped it.
template <typename Emit>
bool Generate(const IcsRule &rule, long long a, long long b, long long *work, long long cap,
              Emit emit) {
    long long year;
    int monthNumber;
    int day;
    DateOfDayNumber(a, &year, &monthNumber, &day);
    MonthFacts month = {};
    SetYear(&month, year, rule);
    month.first = a - (day - 1);
    while (month.first <= b) {
        month.length = DaysInMonthOfYear(monthNumber, month.year);
        if (++*work > cap)
            return false;
        if (rule.months == 0 || ((rule.months >> monthNumber) & 1U) != 0) {
            int firstDay = a > month.first ? static_cast<int>(a - month.first) + 1 : 1;
            long long lastInMonth = month.first + month.length - 1;
            int lastDay = b < lastInMonth ? static_cast<int>(b - month.first) + 1 : month.length;
            unsigned mask = (DaysUpTo(lastDay) & ~DaysUpTo(firstDay - 1)) &
                            MonthDayMask(rule, month) & WeekdayMask(rule, month);
            if (!EmitMonth(rule, month, mask, work, emit))
                return false;
        }
        month.first += month.length;
        if (++monthNumber > 12) {
            monthNumber = 1;
            SetYear(&month, month.year + 1, rule);
        }
    }
    return true;
}

// BYSETPOS's picks of a period's days, kept in order.
int PickPositions(const IcsRule &rule, long long *days, int count) {
    int kept = 0;
    for (int i = 0; i < count; ++i)
        if (HasBit(rule.setPositions, i + 1) || HasBit(rule.setPositionsFromEnd, count - i))
            days[kept++] = days[i];
    return kept;
}

struct Walk {
    const IcsRule &rule;
    long long startDay;
    long long lastDay;
    // The days asked about, and where a period's days are looked at from:
    // the start while a COUNT is counted.
    long long from;
    long long to;
    long long lookFrom;
    long long cap;
    void (*each)(long long day, void *context);
    void *context;
    long long work;
    long long counted;
};

// One period's occurrences; false once the rule has ended or the work cap
// is reached.
bool WalkPeriod(Walk &walk, Period period, bool whole, bool counting) {
    long long days[366];
    int count = 0;
    long long a = whole || period.first > walk.lookFrom ? period.first : walk.lookFrom;
    long long b = whole || period.last < walk.to ? period.last : walk.to;
    if (!Generate(walk.rule, a, b, &walk.work, walk.cap, [&days, &count](long long day) {
            days[count++] = day;
            return count < 366;
        }))
        if (walk.work > walk.cap)
            return false;
    if (whole && walk.rule.setPositionPart)
        count = PickPositions(walk.rule, days, count);
    for (int i = 0; i < count; ++i) {
        if (days[i] < walk.startDay)
            continue;
        if (days[i] > walk.lastDay || (counting && ++walk.counted > walk.rule.count))
            return false;
        if (days[i] >= walk.from && days[i] <= walk.to)
            walk.each(days[i], walk.context);
    }
    return true;
}

// Every period on the grid and no picks within one: the days run on from
// one period into the next, and are counted, where they must be, a month
// at a time.
bool RunThrough(Walk &walk, bool counting) {
    bool ended = !Generate(walk.rule, counting ? walk.startDay : walk.from, walk.to, &walk.work,
                           walk.cap, [&walk, counting](long long day) {
                               if (counting && ++walk.counted > walk.rule.count)
                                   return false;
                               if (day >= walk.from)
                                   walk.each(day, walk.context);
                               return true;
                           });
    return !ended || walk.work <= walk.cap;
}

// Period by period on the INTERVAL's grid, from the start's while a COUNT
// is counted, else from the first that reaches the days asked about.
bool WalkPeriods(Walk &walk, bool setPositions, bool counting) {
    const IcsRule &rule = walk.rule;
    long long index = PeriodIndex(rule, walk.startDay);
    int rest;
    if (counting) {
        walk.lookFrom = walk.startDay;
    } else {
        long long behind = PeriodIndex(rule, walk.from) - index;
        index += FloorDivide(behind + rule.interval - 1, rule.interval, &rest) * rule.interval;
    }
    for (;; index += rule.interval) {
        Period period = PeriodDays(rule, index);
        if (period.first > walk.to)
            return true;
        if (++walk.work > walk.cap)
            return false;
        if (!WalkPeriod(walk, period, setPositions, counting))
            return walk.work <= walk.cap;
    }
}

bool HasDayPart(const IcsRule &rule) {
    bool nth = false;
    for (int w = 0; w < 7; ++w)
        nth = nth || AnyBit(rule.nthWeekday[w], 2) || AnyBit(rule.nthWeekdayFromEnd[w], 2);
    return nth || rule.weekdays != 0 || AnyBit(rule.monthDays, 1) ||
           AnyBit(rule.monthDaysFromEnd, 1) || AnyBit(rule.yearDays, 12) ||
           AnyBit(rule.yearDaysFromEnd, 12) || AnyBit(rule.weekNumbers, 2) ||
           AnyBit(rule.weekNumbersFromEnd, 2);
}

} // namespace

void CompleteIcsRule(IcsRule *rule, long long startDay) {
    long long year;
    int month;
    int day;
    DateOfDayNumber(startDay, &year, &month, &day);
    if (!HasDayPart(*rule)) {
        if (rule->frequency == kYearly && rule->months == 0)
            rule->months = 1U << month;
        if (rule->frequency == kYearly || rule->frequency == kMonthly)
            SetBit(rule->monthDays, day);
        if (rule->frequency == kWeekly)
            rule->weekdays = static_cast<unsigned char>(1U << WeekdayOf(startDay));
    }
    if (rule->frequency == kWeekly || rule->frequency == kDaily)
        for (int w = 0; w < 7; ++w) {
            if (AnyBit(rule->nthWeekday[w], 2) || AnyBit(rule->nthWeekdayFromEnd[w], 2))
                rule->weekdays = static_cast<unsigned char>(rule->weekdays | 1U << w);
            memset(rule->nthWeekday[w], 0, sizeof rule->nthWeekday[w]);
            memset(rule->nthWeekdayFromEnd[w], 0, sizeof rule->nthWeekdayFromEnd[w]);
        }
    rule->yearDayPart = AnyBit(rule->yearDays, 12) || AnyBit(rule->yearDaysFromEnd, 12);
    rule->weekNumberPart = AnyBit(rule->weekNumbers, 2) || AnyBit(rule->weekNumbersFromEnd, 2);
    rule->setPositionPart = AnyBit(rule->setPositions, 12) || AnyBit(rule->setPositionsFromEnd, 12);
    rule->nthWeekdays = 0;
    for (int w = 0; w < 7; ++w)
        if (AnyBit(rule->nthWeekday[w], 2) || AnyBit(rule->nthWeekdayFromEnd[w], 2))
            rule->nthWeekdays = static_cast<unsigned char>(rule->nthWeekdays | 1U << w);
    rule->mostPerPeriod = MostPerPeriod(*rule);
}

IcsWork ExpandIcsRule(const IcsRule &rule, long long startDay, long long lastDay, long long from,
                      long long to, IcsWorkCaps caps, void (*each)(long long day, void *context),
                      void *context) {
    long long lo = from > startDay ? from : startDay;
    long long hi = to < lastDay ? to : lastDay;
    if (lo > hi)
        return {0, false};
    Walk walk = {rule, startDay, lastDay, lo, hi, lo, caps.days, each, context, 0, 0};
    int rest;
    long long periods =
        FloorDivide(PeriodIndex(rule, hi) - PeriodIndex(rule, startDay), rule.interval, &rest) + 1;
    // Whether the COUNT might run out before the last day asked about.
    bool counting = rule.count > 0 && periods * rule.mostPerPeriod > rule.count;
    if (counting)
        walk.cap = caps.counting;
    if (!rule.setPositionPart && rule.interval == 1)
        RunThrough(walk, counting);
    else
        WalkPeriods(walk, rule.setPositionPart, counting);
    return {walk.work, counting};
}
