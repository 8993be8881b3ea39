// The iCalendar reader and the days its events mark.
#include "ics_test.h"

#include "calendar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

long long FakeLocal(long long utcSeconds, void *context) {
    return utcSeconds - *static_cast<long long *>(context);
}

long long Day(const char *iso) {
    int year = 0;
    int month = 0;
    int day = 0;
    sscanf(iso, "%d-%d-%d", &year, &month, &day);
    return DayNumber(year, month, day);
}

static void Collect(long long day, const char *name, int nameLength, void *context) {
    long long year;
    int month;
    int date;
    DateOfDayNumber(day, &year, &month, &date);
    char iso[32];
    snprintf(iso, sizeof iso, "%04lld-%02d-%02d ", year, month, date);
    static_cast<std::vector<std::string> *>(context)->push_back(iso +
                                                                std::string(name, nameLength));
}

std::string DaysOf(const EventSet &set, const char *from, const char *to, long long offset) {
    std::vector<std::string> days;
    EventsIn(set, Day(from), Day(to), FakeLocal, &offset, Collect, &days);
    std::sort(days.begin(), days.end());
    std::string joined;
    for (const std::string &day : days)
        joined += (joined.empty() ? "" : "|") + day;
    return joined;
}

std::string DaysOfEvents(const std::string &events, const char *from, const char *to,
                         long long offset) {
    std::string text = "BEGIN:VCALENDAR\nVERSION:2.0\n" + events + "END:VCALENDAR\n";
    EventSet set = {};
    IcsReport report;
    AddCalendarText(&set, text.data(), text.size(), &report);
    std::string days = DaysOf(set, from, to, offset);
    FreeEvents(&set);
    return days;
}

namespace {

struct EventCase {
    const char *what;
    const char *events;
    const char *days; // from 2026-01-01 to 2026-01-31, UTC 5 hours ahead
};

const EventCase kEventCases[] = {
    {"folded with a space, a tab, CRLF",
     "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:2026\r\n 0105\nSUMMARY:Long na\n me and\r\n\t more\n"
     "END:VEVENT\n",
     "2026-01-05 Long name and more"},
    {"escapes, line breaks, spaces at the ends, UTF-8",
     "BEGIN:VEVENT\nDTSTART:20260105\nSUMMARY:  a\\, b\\; c\\\\ d\\nE\\Nf \xC3\xA9\\n "
     "\nEND:VEVENT\n",
     "2026-01-05 a, b; c\\ d E f \xC3\xA9"},
    {"names and parameters in any case, quoted parameter values",
     "begin:vevent\ndtStart;Value=Date:20260105\nSummary;X-A=\"a:b;c,d\";X-B=e,\"f:\":Quoted\n"
     "End:VEvent\n",
     "2026-01-05 Quoted"},
    {"no SUMMARY", "BEGIN:VEVENT\nDTSTART:20260105\nEND:VEVENT\n", "2026-01-05 "},
    {"DTEND exclusive, DURATION in days and weeks",
     "BEGIN:VEVENT\nDTSTART;VALUE=DATE:20260105\nDTEND;VALUE=DATE:20260108\nSUMMARY:a\n"
     "END:VEVENT\nBEGIN:VEVENT\nDTSTART;VALUE=DATE:20260110\nDURATION:P2D\nSUMMARY:b\n"
     "END:VEVENT\nBEGIN:VEVENT\nDTSTART;VALUE=DATE:20260120\nDURATION:P1W\nSUMMARY:c\n"
     "END:VEVENT\n",
     "2026-01-05 a|2026-01-06 a|2026-01-07 a|2026-01-10 b|2026-01-11 b|2026-01-20 c|"
     "2026-01-21 c|2026-01-22 c|2026-01-23 c|2026-01-24 c|2026-01-25 c|2026-01-26 c"},
    {"an end not after the start is one day",
     "BEGIN:VEVENT\nDTSTART;VALUE=DATE:20260105\nDTEND;VALUE=DATE:20260103\nSUMMARY:a\n"
     "END:VEVENT\n",
     "2026-01-05 a"},
    {"timed: over midnight, to midnight, no end, hours of DURATION",
     "BEGIN:VEVENT\nDTSTART:20260105T220000\nDTEND:20260106T020000\nSUMMARY:a\nEND:VEVENT\n"
     "BEGIN:VEVENT\nDTSTART;TZID=\"Europe/Berlin\":20260110T200000\nDTEND;TZID=Europe/Berlin:"
     "20260111T000000\nSUMMARY:b\nEND:VEVENT\n"
     "BEGIN:VEVENT\nDTSTART:20260115T235959\nSUMMARY:c\nEND:VEVENT\n"
     "BEGIN:VEVENT\nDTSTART:20260120T230000\nDURATION:PT26H\nSUMMARY:d\nEND:VEVENT\n",
     "2026-01-05 a|2026-01-06 a|2026-01-10 b|2026-01-15 c|2026-01-20 d|2026-01-21 d|2026-01-22 d"},
    {"UTC taken to local time, 5 hours behind",
     "BEGIN:VEVENT\nDTSTART:20260105T030000Z\nDTEND:20260105T040000Z\nSUMMARY:a\nEND:VEVENT\n"
     "BEGIN:VEVENT\nDTSTART:20260110T200000Z\nDTEND:20260111T050000Z\nSUMMARY:b\nEND:VEVENT\n",
     "2026-01-04 a|2026-01-10 b"},
    {"a UTC rule repeats in UTC, each occurrence taken to local time",
     "BEGIN:VEVENT\nDTSTART:20260105T020000Z\nRRULE:FREQ=DAILY;COUNT=2\nSUMMARY:a\nEND:VEVENT\n",
     "2026-01-04 a|2026-01-05 a"},
    {"RDATE and EXDATE lists on several lines, by date and by time",
     "BEGIN:VEVENT\nDTSTART:20260105T090000\nRRULE:FREQ=DAILY;COUNT=5\nSUMMARY:a\n"
     "EXDATE:20260106T090000,20260107T100000\nEXDATE:20260108T090000\n"
     "RDATE:20260120T090000,20260105T090000\nRDATE;VALUE=DATE:20260125\n"
     "RDATE;VALUE=PERIOD:20260128T090000/PT1H\nEND:VEVENT\n"
     "BEGIN:VEVENT\nDTSTART;VALUE=DATE:20260110\nRRULE:FREQ=DAILY;COUNT=3\nSUMMARY:b\n"
     "EXDATE;VALUE=DATE:20260111\nEND:VEVENT\n",
     "2026-01-05 a|2026-01-07 a|2026-01-09 a|2026-01-10 b|2026-01-12 b|2026-01-20 a|2026-01-25 a|"
     "2026-01-28 a"},
    {"an EXDATE in UTC of a local rule",
     "BEGIN:VEVENT\nDTSTART;TZID=X:20260105T090000\nRRULE:FREQ=DAILY;COUNT=2\nSUMMARY:a\n"
     "EXDATE:20260106T140000Z\nEND:VEVENT\n",
     "2026-01-05 a"},
    {"RECURRENCE-ID moves one, cancels one, of any order; CANCELLED",
     "BEGIN:VEVENT\nUID:r\nRECURRENCE-ID:20260112T090000\nDTSTART:20260113T150000\n"
     "SUMMARY:moved\nEND:VEVENT\n"
     "BEGIN:VEVENT\nUID:r\nDTSTART:20260105T090000\nRRULE:FREQ=WEEKLY;COUNT=3\nSUMMARY:a\n"
     "END:VEVENT\n"
     "BEGIN:VEVENT\nUID:r\nRECURRENCE-ID:20260119T090000\nDTSTART:20260119T090000\n"
     "STATUS:CANCELLED\nEND:VEVENT\n"
     "BEGIN:VEVENT\nUID:gone\nDTSTART:20260107\nSTATUS:cancelled\nSUMMARY:b\nEND:VEVENT\n",
     "2026-01-05 a|2026-01-13 moved"},
    {"an override of a cancelled event, one of an event not there",
     "BEGIN:VEVENT\nUID:c\nDTSTART:20260105\nRRULE:FREQ=DAILY\nSTATUS:CANCELLED\nEND:VEVENT\n"
     "BEGIN:VEVENT\nUID:c\nRECURRENCE-ID;VALUE=DATE:20260106\nDTSTART:20260107\nSUMMARY:a\n"
     "END:VEVENT\nBEGIN:VEVENT\nUID:d\nRECURRENCE-ID:20260106\nDTSTART:20260108\nSUMMARY:b\n"
     "END:VEVENT\n",
     "2026-01-08 b"},
    {"a negative DURATION, a second SUMMARY, an event reaching in from before",
     "BEGIN:VEVENT\nDTSTART;VALUE=DATE:20260105\nDURATION:-P2D\nSUMMARY:a\nSUMMARY:b\n"
     "END:VEVENT\nBEGIN:VEVENT\nDTSTART;VALUE=DATE:20251230\nDTEND;VALUE=DATE:20260103\n"
     "SUMMARY:c\nEND:VEVENT\n",
     "2026-01-01 c|2026-01-02 c|2026-01-05 a"},
    {"an UNTIL in UTC of a rule of dates, taken to local time",
     "BEGIN:VEVENT\nDTSTART;VALUE=DATE:20260105\nRRULE:FREQ=DAILY;UNTIL=20260107T030000Z\n"
     "SUMMARY:a\nEND:VEVENT\n",
     "2026-01-05 a|2026-01-06 a"},
    {"an alarm's and a time zone's lines are not the event's; no event in other components",
     "BEGIN:VTIMEZONE\nTZID:X\nBEGIN:STANDARD\nDTSTART:20260101T030000\nRRULE:FREQ=DAILY\n"
     "END:STANDARD\nEND:VTIMEZONE\nBEGIN:VTODO\nBEGIN:VEVENT\nDTSTART:20260102\nEND:VEVENT\n"
     "END:VTODO\nBEGIN:VEVENT\nSUMMARY:a\nBEGIN:VALARM\nSUMMARY:alarm\nDTSTART:20260103\n"
     "END:VALARM\nDTSTART:20260105\nEND:VEVENT\n",
     "2026-01-05 a"},
};

TEST(IcsEvents, DaysAndNames) {
    for (const EventCase &c : kEventCases)
        EXPECT_EQ(c.days, DaysOfEvents(c.events, "2026-01-01", "2026-01-31", 5 * 3600)) << c.what;
}

struct ReportCase {
    const char *what;
    const char *text;
    bool calendar;
    int kept;
    int skipped;
    int firstSkippedLine;
};

const ReportCase kReportCases[] = {
    {"not iCalendar", "hello\nworld", false, 0, 0, 0},
    {"empty", "", false, 0, 0, 0},
    {"a byte-order mark and CRLF",
     "\xEF\xBB\xBF"
     "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n"
     "DTSTART:20260101\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
     true, 1, 0, 0},
    {"cut short", "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20260101\n", true, 0, 1, 2},
    {"closed by the calendar's END",
     "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20260101\n"
     "END:VCALENDAR\n",
     true, 0, 1, 2},
    {"broken values skipped, the rest kept",
     "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20260101\n"
     "END:VEVENT\nBEGIN:VEVENT\nDTSTART:2026011\nEND:VEVENT\nBEGIN:VEVENT\nDTSTART:20260101\n"
     "DURATION:P\nEND:VEVENT\nBEGIN:VEVENT\nDTSTART:20260101\nRRULE:FREQ=DAILY;INTERVAL=0\n"
     "END:VEVENT\nBEGIN:VEVENT\nDTSTART:20260101\nRRULE:FREQ=MINUTELY\nEND:VEVENT\n"
     "BEGIN:VEVENT\nDTSTART:20260101T246000\nEND:VEVENT\nBEGIN:VEVENT\nDTSTART:20260101\n"
     "EXDATE:2026\nEND:VEVENT\nBEGIN:VEVENT\nDTSTART:20260101\nRRULE:BYDAY=MO\nEND:VEVENT\n"
     "garbage\nEND:VEVENT\nBEGIN:VEVENT\nDTSTART:20260102\nEND:VEVENT\nEND:VCALENDAR\n",
     true, 2, 7, 5},
};

TEST(IcsReader, ReportsWhatItKeptAndSkipped) {
    for (const ReportCase &c : kReportCases) {
        EventSet set = {};
        IcsReport report;
        EXPECT_EQ(c.calendar, AddCalendarText(&set, c.text, strlen(c.text), &report)) << c.what;
        EXPECT_EQ(c.kept, report.kept) << c.what;
        EXPECT_EQ(c.skipped, report.skipped) << c.what;
        EXPECT_EQ(c.firstSkippedLine, report.firstSkippedLine) << c.what;
        FreeEvents(&set);
    }
}

// An override read from another file than its event, and a set given back
// and filled again.
TEST(IcsReader, OverridesAcrossTextsAndASetUsedAgain) {
    const char *texts[] = {
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:u\nDTSTART:20260105\nRRULE:FREQ=DAILY;COUNT=3\n"
        "SUMMARY:a\nEND:VEVENT\nEND:VCALENDAR\n",
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:u\nRECURRENCE-ID;VALUE=DATE:20260106\n"
        "DTSTART:20260110\nSUMMARY:b\nEND:VEVENT\nEND:VCALENDAR\n",
    };
    EventSet set = {};
    for (int round = 0; round < 2; ++round) {
        IcsReport report;
        for (const char *text : texts)
            EXPECT_TRUE(AddCalendarText(&set, text, strlen(text), &report));
        EXPECT_EQ("2026-01-05 a|2026-01-07 a|2026-01-10 b",
                  DaysOf(set, "2026-01-01", "2026-01-31"));
        EXPECT_EQ("", DaysOf(set, "2026-01-31", "2026-01-01"));
        FreeEvents(&set);
        EXPECT_EQ(0, set.eventCount);
        EXPECT_EQ(nullptr, set.events);
    }
}

std::string FileText(const char *name) {
    std::ifstream file(std::string(TRICAL_ICS_DIR "/") + name, std::ios::binary);
    EXPECT_TRUE(file.good()) << name;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The test files together in one set, and every shorter piece of one of
// them, as a file cut short, changes nothing else.
TEST(IcsReader, TheTestFilesTogether) {
    struct File {
        const char *name;
        int kept;
        int skipped;
        int firstSkippedLine;
    };
    const File files[] = {
        {"holidays.ics", 12, 0, 0}, {"personal.ics", 9, 0, 0}, {"broken.ics", 3, 5, 8}};
    EventSet set = {};
    for (const File &file : files) {
        std::string text = FileText(file.name);
        IcsReport report;
        EXPECT_TRUE(AddCalendarText(&set, text.data(), text.size(), &report));
        EXPECT_EQ(file.kept, report.kept) << file.name;
        EXPECT_EQ(file.skipped, report.skipped) << file.name;
        EXPECT_EQ(file.firstSkippedLine, report.firstSkippedLine) << file.name;
    }
    EXPECT_EQ("2026-03-01 Good before|2026-03-02 Quote left open|2026-03-03 Good after|"
              "2026-03-31 Pay rent|2026-04-03 Good Friday|2026-04-06 Easter Monday|"
              "2026-04-30 Pay rent|2026-05-01 Labour Day|2026-05-14 Ascension Day|"
              "2026-05-25 Memorial Day|2026-05-25 Whit Monday|2026-05-29 Pay rent",
              DaysOf(set, "2026-03-01", "2026-05-31"));
    EXPECT_EQ("2028-02-29 Leap day|2028-02-29 Pay rent", DaysOf(set, "2028-02-27", "2028-02-29"));
    FreeEvents(&set);
    std::string text = FileText("personal.ics");
    for (size_t length = 0; length < text.size(); length += 7) {
        EventSet cut = {};
        IcsReport report;
        AddCalendarText(&cut, text.data(), length, &report);
        EXPECT_LE(report.kept, 9);
        EXPECT_LE(report.skipped, 1);
        FreeEvents(&cut);
    }
}

} // namespace
