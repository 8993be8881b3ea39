// What the events of the calendar files say of the days on show: which days
// of a month they fall on, and the names a day's tip lists.
#pragma once

#include "ics.h"

// Bit d for each day d (1-31) of the month (1-12) that an event falls on.
unsigned EventDaysOfMonth(const EventSet &set, long long year, int monthNumber, LocalTimeFn toLocal,
                          void *localContext);

// The most names a day lists; past them, one line tells how many more.
const int kListedEventNames = 5;

// The names of the events on one day (a DayNumber) in UTF-8, a line each
// with "\r\n" between them, in the order of their bytes, each name once
// however many events bear it; past five, "and 3 more". Empty where no
// event falls on the day. Cut to fit `size` with its nul; returns the length.
int EventNamesOfDay(const EventSet &set, long long day, LocalTimeFn toLocal, void *localContext,
                    char *out, int size);
