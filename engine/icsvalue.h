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
// TEXT unescaped (\, \; \\ and \n or \N, a line break, as a space) into
// `out`, which holds value.length bytes, without the spaces at both ends;
// returns the length.
int UnescapeIcsText(IcsSlice value, char *out);
