// The calendar file reader natively: how fast it reads a large file, and
// how long marking three months (93 days) or naming one day takes with it
// loaded. The file is made here: ten years of eight countries' public
// holidays, one VEVENT a holiday and year as holiday files have them, and
// 10,000 of the user's own events, 1,000 of them recurring.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "calendar.h"
#include "ics.h"

namespace {

// A small deterministic generator, so that every run reads the same file.
unsigned Next(unsigned *state) {
    *state = *state * 1103515245U + 12345U;
    return (*state >> 8) & 0xFFFFFF;
}

std::string Date(int year, int month, int day) {
    char text[16];
    snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
    return text;
}

std::string Event(const std::string &uid, const std::string &lines, const std::string &name) {
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTAMP:20260101T000000Z\r\n" + lines +
           "SUMMARY:" + name +
           "\r\nDESCRIPTION:Made for the benchmark\\, with a description long enough to\r\n  be "
           "folded once\\, as calendar programs fold theirs.\r\nEND:VEVENT\r\n";
}

std::string Holidays() {
    std::string text;
    for (int country = 0; country < 8; ++country)
        for (int year = 2020; year < 2030; ++year)
            for (int h = 0; h < 12; ++h) {
                int month = 1 + (h * 7 + country) % 12;
                int day = 1 + (h * 11 + country * 3) % 27;
                text += Event("holiday-" + std::to_string(country) + "-" + std::to_string(year) +
                                  "-" + std::to_string(h),
                              "DTSTART;VALUE=DATE:" + Date(year, month, day) +
                                  "\r\nDTEND;VALUE=DATE:" + Date(year, month, day + 1) + "\r\n",
                              "Holiday " + std::to_string(h) + " of country " +
                                  std::to_string(country));
            }
    return text;
}

const char *const kRules[] = {
    "FREQ=WEEKLY;BYDAY=MO,WE",
    "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1",
    "FREQ=YEARLY",
    "FREQ=DAILY;COUNT=30",
    "FREQ=MONTHLY;BYMONTHDAY=15;UNTIL=20281231T235959Z",
    "FREQ=WEEKLY;INTERVAL=2;BYDAY=FR;COUNT=200",
    "FREQ=YEARLY;BYMONTH=11;BYDAY=4TH",
};

std::string OwnEvents() {
    std::string text;
    unsigned state = 1;
    for (int i = 0; i < 10000; ++i) {
        int year = 2020 + static_cast<int>(Next(&state) % 10);
        int month = 1 + static_cast<int>(Next(&state) % 12);
        int day = 1 + static_cast<int>(Next(&state) % 25);
        int hour = static_cast<int>(Next(&state) % 24);
        std::string start = Date(year, month, day);
        std::string lines;
        char time[32];
        snprintf(time, sizeof time, "T%02d3000", hour);
        if (i % 10 == 0) {
            lines = "DTSTART;TZID=Europe/Berlin:" + start + time +
                    "\r\nDURATION:PT1H\r\nRRULE:" + kRules[(i / 10) % 7] +
                    "\r\nEXDATE;TZID=Europe/Berlin:" + Date(year, month, day < 21 ? day + 7 : day) +
                    time + "\r\n";
        } else if (i % 3 == 0) {
            lines = "DTSTART;VALUE=DATE:" + start + "\r\nDTEND;VALUE=DATE:" +
                    Date(year, month, day + 1 + static_cast<int>(Next(&state) % 3)) + "\r\n";
        } else {
            lines = "DTSTART:" + start + time + (i % 3 == 1 ? "Z" : "") + "\r\nDTEND:" + start +
                    time + (i % 3 == 1 ? "Z" : "") + "\r\n";
        }
        text += Event("own-" + std::to_string(i), lines, "Own event " + std::to_string(i));
    }
    return text;
}

const std::string &LargeCalendar() {
    static const std::string text =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Trical//bench//EN\r\n" + Holidays() +
        OwnEvents() + "END:VCALENDAR\r\n";
    return text;
}

long long OneHourAhead(long long utcSeconds, void * /*context*/) { return utcSeconds + 3600; }

// The days on the screen that have events, as the calendar draws them bold.
struct Marks {
    long long from;
    bool days[93];
};

void Mark(long long day, const char * /*name*/, int /*nameLength*/, void *context) {
    auto *marks = static_cast<Marks *>(context);
    marks->days[day - marks->from] = true;
}

void Read(benchmark::State &state) {
    const std::string &text = LargeCalendar();
    IcsReport report = {};
    for (auto _ : state) {
        EventSet set = {};
        AddCalendarText(&set, text.data(), text.size(), &report);
        benchmark::DoNotOptimize(report);
        FreeEvents(&set);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
    char label[64];
    snprintf(label, sizeof label, "%.1f MiB, %d events",
             static_cast<double>(text.size()) / (1 << 20), report.kept);
    state.SetLabel(label);
}

// Three months on the screen, stepped a month at a time over the ten years.
void MarkThreeMonths(benchmark::State &state) {
    const std::string &text = LargeCalendar();
    EventSet set = {};
    IcsReport report;
    AddCalendarText(&set, text.data(), text.size(), &report);
    int step = 0;
    long long marked = 0;
    for (auto _ : state) {
        long long from = DayNumber(2020 + step / 12, 1 + step % 12, 1);
        Marks marks = {from, {}};
        EventsIn(set, from, from + 92, OneHourAhead, nullptr, Mark, &marks);
        for (bool day : marks.days)
            marked += day ? 1 : 0;
        step = (step + 1) % 120;
    }
    char label[64];
    snprintf(label, sizeof label, "%.1f of 93 days marked",
             static_cast<double>(marked) / static_cast<double>(state.iterations()));
    state.SetLabel(label);
    FreeEvents(&set);
}

void CountNames(long long /*day*/, const char * /*name*/, int /*nameLength*/, void *context) {
    ++*static_cast<int *>(context);
}

void NameOneDay(benchmark::State &state) {
    const std::string &text = LargeCalendar();
    EventSet set = {};
    IcsReport report;
    AddCalendarText(&set, text.data(), text.size(), &report);
    long long day = DayNumber(2024, 6, 1);
    int names = 0;
    for (auto _ : state) {
        EventsIn(set, day, day, OneHourAhead, nullptr, CountNames, &names);
        day = day == DayNumber(2029, 6, 1) ? DayNumber(2024, 6, 1) : day + 1;
    }
    benchmark::DoNotOptimize(names);
    FreeEvents(&set);
}

double Min(const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); }
double Max(const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); }

} // namespace

BENCHMARK(Read)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Min)
    ->ComputeStatistics("max", Max);
BENCHMARK(MarkThreeMonths)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", Min)
    ->ComputeStatistics("max", Max);
BENCHMARK(NameOneDay)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", Min)
    ->ComputeStatistics("max", Max);

BENCHMARK_MAIN();
