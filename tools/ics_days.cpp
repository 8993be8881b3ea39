// ics_days FILE FROM TO: the days that FILE's events mark from FROM to TO
// (YYYY-MM-DD, both included), one line a day and occurrence,
// "YYYY-MM-DD<TAB>name", by day and then name; what was skipped on stderr.
// UTC times are taken to the local time zone (TZ). Read by the calendar's
// own reader; exits 0 whatever the file holds, 2 on a usage error.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "calendar.h"
#include "ics.h"

using DayName = std::pair<long long, std::string>;

static bool ParseDate(const char *text, long long *day) {
    int year = 0;
    int month = 0;
    int date = 0;
    char end = '\0';
    if (sscanf(text, "%4d-%2d-%2d%c", &year, &month, &date, &end) != 3 || month < 1 || month > 12 ||
        date < 1 || date > DaysInMonth(month, year))
        return false;
    *day = DayNumber(year, month, date);
    return true;
}

static long long ToLocal(long long utcSeconds, void * /*context*/) {
    time_t time = static_cast<time_t>(utcSeconds);
    tm local = {};
    if (localtime_r(&time, &local) == nullptr)
        return utcSeconds;
    return utcSeconds + local.tm_gmtoff;
}

static void Collect(long long day, const char *name, int nameLength, void *context) {
    static_cast<std::vector<DayName> *>(context)->emplace_back(day, std::string(name, nameLength));
}

static std::string IsoDate(long long day) {
    long long year;
    int month;
    int date;
    DateOfDayNumber(day, &year, &month, &date);
    char text[32];
    snprintf(text, sizeof text, "%04lld-%02d-%02d", year, month, date);
    return text;
}

int main(int argc, char **argv) {
    long long from = 0;
    long long to = 0;
    if (argc != 4 || !ParseDate(argv[2], &from) || !ParseDate(argv[3], &to)) {
        fprintf(stderr, "usage: ics_days FILE FROM TO (dates as YYYY-MM-DD)\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        fprintf(stderr, "ics_days: cannot read %s\n", argv[1]);
        return 0;
    }
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    tzset();
    EventSet set = {};
    IcsReport report;
    if (!AddCalendarText(&set, text.data(), text.size(), &report))
        fprintf(stderr, "ics_days: %s holds no VCALENDAR\n", argv[1]);
    if (report.skipped > 0)
        fprintf(stderr, "ics_days: skipped %d event(s), the first at line %d\n", report.skipped,
                report.firstSkippedLine);
    std::vector<DayName> days;
    EventsIn(set, from, to, ToLocal, nullptr, Collect, &days);
    FreeEvents(&set);
    std::sort(days.begin(), days.end());
    for (const DayName &day : days)
        printf("%s\t%s\n", IsoDate(day.first).c_str(), day.second.c_str());
    return 0;
}
