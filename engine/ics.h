// The days that events of iCalendar files (RFC 5545) fall on: holidays and
// the user's own days, read from the files' text and asked about a range of
// days at a time. Knows nothing of any window system or file system.
#pragma once

#include <cstddef>

struct IcsEvent;
struct IcsRule;
struct IcsTime;
struct IcsStart;
struct IcsReplaced;

// The events of any number of files, in memory of their own. Start it
// zeroed (EventSet set = {};) and give it back with FreeEvents.
struct EventSet {
    IcsEvent *events;
    int eventCount;
    int eventCapacity;
    IcsRule *rules;
    int ruleCount;
    int ruleCapacity;
    // Every event's RDATE and EXDATE values, and each override's RECURRENCE-ID.
    IcsTime *times;
    int timeCount;
    int timeCapacity;
    // Names and UIDs, not terminated.
    char *text;
    int textLength;
    int textCapacity;
    // Made again after each text: the short single events by their first
    // day, the rest (rules, RDATEs, long events), and the occurrences that
    // overrides replace. Without them (no memory) every event is looked at.
    IcsStart *byStart;
    int byStartCount;
    int *others;
    int otherCount;
    IcsReplaced *replaced;
    int replacedCount;
    bool indexed;
};

// What reading one text did. `kept` and `skipped` count VEVENTs; a skipped
// one was broken, cut short, repeated more often than daily, or did not fit
// in memory. `firstSkippedLine` is the line of the first one's BEGIN:VEVENT
// (lines count from 1), 0 when none was skipped.
struct IcsReport {
    int kept;
    int skipped;
    int firstSkippedLine;
};

// Reads the events of one file's text into `set` (keeping those already
// there), and fills `report`. False where the text holds no VCALENDAR.
bool AddCalendarText(EventSet *set, const char *text, size_t length, IcsReport *report);
void FreeEvents(EventSet *set);

// Local seconds since 1970-01-01 00:00 of a UTC time in seconds since then,
// in the user's time zone with its rules for that date.
using LocalTimeFn = long long (*)(long long utcSeconds, void *context);
// One day of one event's occurrence: its name in UTF-8, not terminated.
using EventDayFn = void (*)(long long day, const char *name, int nameLength, void *context);

// Calls `each` for every day from `fromDay` to `toDay` (DayNumber's) that
// an occurrence of an event covers, once a day and occurrence, in no
// particular order. `toLocal` takes UTC times to the user's (null: UTC is
// local); other times are taken as written, in their own zone's wall clock.
void EventsIn(const EventSet &set, long long fromDay, long long toDay, LocalTimeFn toLocal,
              void *localContext, EventDayFn each, void *eachContext);
