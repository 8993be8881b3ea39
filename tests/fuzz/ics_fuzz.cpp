// libFuzzer over the calendar file reader: whatever the text, reading it
// and asking about its days neither crashes nor hangs nor leaks, under
// AddressSanitizer and UndefinedBehaviorSanitizer.
#include <cstddef>
#include <cstdint>

#include "calendar.h"
#include "dayevents.h"
#include "ics.h"

namespace {

long long AnHourAhead(long long utcSeconds, void * /*context*/) { return utcSeconds + 3600; }

// Every byte of every name is read, so that a name out of bounds is seen.
void Sum(long long day, const char *name, int nameLength, void *context) {
    auto *sum = static_cast<unsigned long long *>(context);
    *sum += static_cast<unsigned long long>(day);
    for (int i = 0; i < nameLength; ++i)
        *sum += static_cast<unsigned char>(name[i]);
}

} // namespace

extern unsigned long long namesRead;
unsigned long long namesRead = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    EventSet set = {};
    IcsReport report;
    AddCalendarText(&set, reinterpret_cast<const char *>(data), size, &report);
    if (report.kept < 0 || report.skipped < 0 ||
        (report.skipped > 0) != (report.firstSkippedLine > 0))
        __builtin_trap();
    // The months of RFC 5545's examples, this year's and the far future.
    const int ranges[][3] = {{1997, 9, 120}, {2026, 1, 93}, {9000, 1, 31}};
    unsigned long long sum = 0;
    for (const auto &range : ranges) {
        long long from = DayNumber(range[0], range[1], 1);
        EventsIn(set, from, from + range[2] - 1, AnHourAhead, nullptr, Sum, &sum);
        // What the calendar asks: a month's days, and one day's names,
        // into a buffer just too small for some.
        sum += EventDaysOfMonth(set, range[0], range[1], AnHourAhead, nullptr);
        char names[40];
        sum += static_cast<unsigned long long>(
            EventNamesOfDay(set, from + range[2] / 2, AnHourAhead, nullptr, names, sizeof names));
    }
    FreeEvents(&set);
    // Kept where the compiler cannot see it unused, so that the names are read.
    namesRead += sum;
    return 0;
}
