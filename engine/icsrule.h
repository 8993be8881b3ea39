// Where an RRULE puts its occurrences.
#pragma once

#include "icsdata.h"

// What a rule leaves out and takes from its event's start, as RFC 5545
// says: a yearly rule with no day part falls on the start's month and day,
// a monthly one on its day, a weekly one on its weekday. An ordinal on a
// weekday means nothing to a weekly or daily rule and is let go.
void CompleteIcsRule(IcsRule *rule, long long startDay);

// Calls `each` with the day of every occurrence that `rule` gives an event
// starting on `startDay`, from `from` to `to`, none after `lastDay` (the
// UNTIL in the start's own terms). The days are those of the start's own
// time zone. The start's day is an occurrence only where the rule gives it.
//
// The rule is worked out only as far as the days asked need it: periods
// before `from` are stepped over by arithmetic unless a COUNT might run out
// before `to`, which an upper bound of occurrences per period tells. Then
// the periods are counted from the start. Either way no more than `workCap`
// months and days are looked at; returns false where that cut it short,
// and the occurrences beyond were not told.
bool ExpandIcsRule(const IcsRule &rule, long long startDay, long long lastDay, long long from,
                   long long to, long long workCap, void (*each)(long long day, void *context),
                   void *context);
