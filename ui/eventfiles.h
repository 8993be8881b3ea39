// The holidays and the user's own days: every iCalendar file (*.ics) in the
// folder of the calendar's settings, read, looked at again for changes, and
// told of in the About box. Nothing is ever written into them.
#pragma once

#include <windows.h>

#include "ics.h"

const int kEventReportSize = 2048;

struct EventFiles {
    EventSet events;
    // Of the folder's files as last read: their names, sizes and times.
    unsigned long long signature;
    bool read;
    // Each file with its number of events, or why it was not read.
    wchar_t report[kEventReportSize];
};

// Reads the folder's files again where one was added, changed or removed
// since they were last read, or where none has been; true when it did and
// there were or are events to show.
bool RefreshEventFiles(EventFiles *files);
void FreeEventFiles(EventFiles *files);

// A UTC time (seconds since 1970) in the user's time zone, with the rules
// Windows has for its date: the calendar's LocalTimeFn.
long long UtcToLocal(long long utcSeconds, void *context);

// Opens the folder in Explorer, making it first where it does not exist.
void OpenEventsFolder(HWND owner);
