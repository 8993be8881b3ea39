// The values of an iCalendar file's properties: dates and times, durations,
// RRULEs and text.
#pragma once

#include "icsdata.h"

// A piece of a line, not terminated.
struct IcsSlice {
    const char *text;
    int length;
};

// True where `slice` is `word` (upper case) in any case.
bool IsWord(IcsSlice slice, const char *word);

// A DATE (20261225) or DATE-TIME (20261225T083000, with Z in UTC); spaces
// around it are let be. False for anything else or a day no calendar has.
bool ParseIcsTime(IcsSlice value, IcsTime *time);
// A DURATION (P3D, P1W, -PT1H30M, P1DT12H) in seconds, days as 86,400.
bool ParseIcsDuration(IcsSlice value, long long *seconds);

enum class RuleRead { ok, broken, unsupported };
// An RRULE's value; `unsupported` for rules more often than daily.
RuleRead ParseIcsRule(IcsSlice value, IcsRule *rule);
// What a rule leaves out and takes from its event's start, as RFC 5545
// says: a yearly rule with no day part falls on the start's month and day,
// a monthly one on its day, a weekly one on its weekday. An ordinal on a
// weekday means nothing to a weekly or daily rule and is let go.
void CompleteIcsRule(IcsRule *rule, long long startDay);

// TEXT unescaped (\, \; \\ and \n or \N, a line break, as a space) into
// `out`, which holds value.length bytes, without the spaces at both ends;
// returns the length.
int UnescapeIcsText(IcsSlice value, char *out);
