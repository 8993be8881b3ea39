// What the iCalendar tests share: a text's days as "YYYY-MM-DD name" lines.
#pragma once

#include <string>

#include "ics.h"

// UTC is this many seconds ahead (east) of the user, in place of the
// Windows zone: `context` points to the offset.
long long FakeLocal(long long utcSeconds, void *context);

// The day number of "YYYY-MM-DD".
long long Day(const char *iso);

// The days `set` marks from `from` to `to`, "YYYY-MM-DD name" sorted and
// joined by "|"; UTC times `offset` seconds from local.
std::string DaysOf(const EventSet &set, const char *from, const char *to, long long offset = 0);

// The same of one calendar's text, `events` wrapped in a VCALENDAR.
std::string DaysOfEvents(const std::string &events, const char *from, const char *to,
                         long long offset = 0);
