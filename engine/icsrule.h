// Where an RRULE puts its occurrences.
#pragma once

#include "icsdata.h"

// What a rule leaves out and takes from its event's start, as RFC 5545
// says: a yearly rule with no day part falls on the start's month and day,
// a monthly one on its day, a weekly one on its weekday. An ordinal on a
// weekday means nothing to a weekly or daily rule and is let go.
void CompleteIcsRule(IcsRule *rule, long long startDay);

// How many months and days a rule may look at: where the days asked about
// are all it needs, and where a COUNT is counted from its start.
struct IcsWorkCaps {
    long long days;
    long long counting;
};

// How many it looked at, and whether it counted from the start.
struct IcsWork {
    long long done;
    bool counted;
};

// Calls `each` with the day of every occurrence that `rule` gives an event
// starting on `startDay`, from `from` to `to`, none after `lastDay` (the
// UNTIL in the start's own terms). The days are those of the start's own
// time zone. The start's day is an occurrence only where the rule gives it.
//
// The rule is worked out only as far as the days asked need it: periods
// before `from` are stepped over by arithmetic unless a COUNT might run out
// before `to`, which an upper bound of occurrences per period tells. Then
// the periods are counted from the start, a month at a time where every
// period is on the grid and BYSETPOS picks none. Either way the months and
// days looked at are counted, and past the cap the rule is left there, the
// occurrences beyond not told.
IcsWork ExpandIcsRule(const IcsRule &rule, long long startDay, long long lastDay, long long from,
                      long long to, IcsWorkCaps caps, void (*each)(long long day, void *context),
                      void *context);
