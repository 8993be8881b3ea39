// Recurrence rules, most of them RFC 5545's own examples (section 3.8.5.3)
// with the dates it lists, started on a date or at a floating time.
#include "calendar.h"
#include "ics_test.h"
#include "icsrule.h"
#include "icsvalue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace {

// The days of an event named "x" that starts at `start` (a DTSTART value).
std::string RuleDays(const char *start, const char *rule, const char *from, const char *to) {
    std::string days = DaysOfEvents(std::string("BEGIN:VEVENT\nDTSTART:") + start +
                                        "\nRRULE:" + rule + "\nSUMMARY:x\nEND:VEVENT\n",
                                    from, to);
    std::string dates;
    for (size_t at = 0; at < days.size(); at = days.find('|', at) + 1) {
        dates += (dates.empty() ? "" : " ") + days.substr(at, 10);
        if (days.find('|', at) == std::string::npos)
            break;
    }
    return dates;
}

struct RuleCase {
    const char *start;
    const char *rule;
    const char *from;
    const char *to;
    const char *days;
};

const RuleCase kRuleCases[] = {
    // FREQ, INTERVAL, COUNT and UNTIL.
    {"19970902T090000", "FREQ=DAILY;COUNT=10", "1997-01-01", "1997-12-31",
     "1997-09-02 1997-09-03 1997-09-04 1997-09-05 1997-09-06 1997-09-07 1997-09-08 1997-09-09 "
     "1997-09-10 1997-09-11"},
    {"19970902T090000", "FREQ=DAILY;INTERVAL=2", "1997-09-28", "1997-10-05",
     "1997-09-28 1997-09-30 1997-10-02 1997-10-04"},
    {"19970902T090000", "FREQ=DAILY;INTERVAL=10;COUNT=5", "1997-01-01", "1998-12-31",
     "1997-09-02 1997-09-12 1997-09-22 1997-10-02 1997-10-12"},
    {"20260101", "FREQ=DAILY;UNTIL=20260105", "2025-12-01", "2026-02-01",
     "2026-01-01 2026-01-02 2026-01-03 2026-01-04 2026-01-05"},
    // An UNTIL earlier in its day than the start ends the day before.
    {"20260101T090000", "FREQ=DAILY;UNTIL=20260103T080000", "2025-12-01", "2026-02-01",
     "2026-01-01 2026-01-02"},
    {"19970902T090000", "FREQ=WEEKLY;COUNT=10", "1997-01-01", "1998-12-31",
     "1997-09-02 1997-09-09 1997-09-16 1997-09-23 1997-09-30 1997-10-07 1997-10-14 1997-10-21 "
     "1997-10-28 1997-11-04"},
    {"19970902T090000", "FREQ=WEEKLY;UNTIL=19971007T000000Z;WKST=SU;BYDAY=TU,TH", "1997-01-01",
     "1997-12-31",
     "1997-09-02 1997-09-04 1997-09-09 1997-09-11 1997-09-16 1997-09-18 1997-09-23 1997-09-25 "
     "1997-09-30 1997-10-02"},
    {"19970901T090000", "FREQ=WEEKLY;INTERVAL=2;UNTIL=19971224T000000Z;WKST=SU;BYDAY=MO,WE,FR",
     "1997-11-01", "1998-01-31",
     "1997-11-10 1997-11-12 1997-11-14 1997-11-24 1997-11-26 1997-11-28 1997-12-08 1997-12-10 "
     "1997-12-12 1997-12-22"},
    // WKST decides which Sunday is in the same week as a Tuesday.
    {"19970805T090000", "FREQ=WEEKLY;INTERVAL=2;COUNT=4;BYDAY=TU,SU;WKST=MO", "1997-08-01",
     "1997-09-30", "1997-08-05 1997-08-10 1997-08-19 1997-08-24"},
    {"19970805T090000", "FREQ=WEEKLY;INTERVAL=2;COUNT=4;BYDAY=TU,SU;WKST=SU", "1997-08-01",
     "1997-09-30", "1997-08-05 1997-08-17 1997-08-19 1997-08-31"},
    // BYDAY with an ordinal in the month, BYMONTHDAY either way.
    {"19970905T090000", "FREQ=MONTHLY;COUNT=10;BYDAY=1FR", "1998-01-01", "1998-12-31",
     "1998-01-02 1998-02-06 1998-03-06 1998-04-03 1998-05-01 1998-06-05"},
    {"19970922T090000", "FREQ=MONTHLY;COUNT=6;BYDAY=-2MO", "1997-01-01", "1998-12-31",
     "1997-09-22 1997-10-20 1997-11-17 1997-12-22 1998-01-19 1998-02-16"},
    {"19970928T090000", "FREQ=MONTHLY;BYMONTHDAY=-3", "1997-09-01", "1998-02-28",
     "1997-09-28 1997-10-29 1997-11-28 1997-12-29 1998-01-29 1998-02-26"},
    {"19970930T090000", "FREQ=MONTHLY;COUNT=10;BYMONTHDAY=1,-1", "1997-01-01", "1998-12-31",
     "1997-09-30 1997-10-01 1997-10-31 1997-11-01 1997-11-30 1997-12-01 1997-12-31 1998-01-01 "
     "1998-01-31 1998-02-01"},
    // A start the rule does not give is no occurrence: the first Friday
    // the 13th after 2 September 1997 is in February 1998.
    {"19970902T090000", "FREQ=MONTHLY;BYDAY=FR;BYMONTHDAY=13", "1997-01-01", "1999-12-31",
     "1998-02-13 1998-03-13 1998-11-13 1999-08-13"},
    {"19970913T090000", "FREQ=MONTHLY;BYDAY=SA;BYMONTHDAY=7,8,9,10,11,12,13", "1997-09-01",
     "1998-02-28", "1997-09-13 1997-10-11 1997-11-08 1997-12-13 1998-01-10 1998-02-07"},
    // Days a month lacks are no occurrences.
    {"20070115T090000", "FREQ=MONTHLY;BYMONTHDAY=15,30;COUNT=5", "2007-01-01", "2007-12-31",
     "2007-01-15 2007-01-30 2007-02-15 2007-03-15 2007-03-30"},
    {"20260131", "FREQ=MONTHLY", "2026-01-01", "2026-06-30", "2026-01-31 2026-03-31 2026-05-31"},
    {"20240229", "FREQ=YEARLY", "2024-01-01", "2029-12-31", "2024-02-29 2028-02-29"},
    // YEARLY with BYMONTH, BYYEARDAY, an ordinal in the year, BYWEEKNO.
    {"19970610T090000", "FREQ=YEARLY;COUNT=10;BYMONTH=6,7", "2000-01-01", "2005-12-31",
     "2000-06-10 2000-07-10 2001-06-10 2001-07-10"},
    {"19970101T090000", "FREQ=YEARLY;INTERVAL=3;COUNT=10;BYYEARDAY=1,100,200", "1997-01-01",
     "2010-12-31",
     "1997-01-01 1997-04-10 1997-07-19 2000-01-01 2000-04-09 2000-07-18 2003-01-01 2003-04-10 "
     "2003-07-19 2006-01-01"},
    {"20230101", "FREQ=YEARLY;BYYEARDAY=60,-1", "2023-01-01", "2024-12-31",
     "2023-03-01 2023-12-31 2024-02-29 2024-12-31"},
    {"19970519T090000", "FREQ=YEARLY;BYDAY=20MO", "1997-01-01", "1999-12-31",
     "1997-05-19 1998-05-18 1999-05-17"},
    {"19970512T090000", "FREQ=YEARLY;BYWEEKNO=20;BYDAY=MO", "1997-01-01", "1999-12-31",
     "1997-05-12 1998-05-11 1999-05-17"},
    {"19970313T090000", "FREQ=YEARLY;BYMONTH=3;BYDAY=TH", "1997-01-01", "1998-12-31",
     "1997-03-13 1997-03-20 1997-03-27 1998-03-05 1998-03-12 1998-03-19 1998-03-26"},
    {"19961105T090000", "FREQ=YEARLY;INTERVAL=4;BYMONTH=11;BYDAY=TU;BYMONTHDAY=2,3,4,5,6,7,8",
     "1996-01-01", "2004-12-31", "1996-11-05 2000-11-07 2004-11-02"},
    {"20200525", "FREQ=YEARLY;BYMONTH=5;BYDAY=-1MO", "2026-01-01", "2027-12-31",
     "2026-05-25 2027-05-31"},
    // Week 1 of 2026 starts on Monday 29 December 2025, or with Sunday
    // first on 4 January; 2025 ends in week 52 and 2026 in week 53.
    {"20250101", "FREQ=YEARLY;BYWEEKNO=1;BYDAY=MO", "2025-06-01", "2026-12-31", "2025-12-29"},
    {"20250101", "FREQ=YEARLY;BYWEEKNO=1;BYDAY=MO;WKST=SU", "2025-06-01", "2026-12-31",
     "2026-01-05"},
    {"20250101", "FREQ=YEARLY;BYWEEKNO=-1;BYDAY=TH", "2025-01-01", "2026-12-31",
     "2025-12-25 2026-12-31"},
    // BYSETPOS picks from each period's days.
    {"19970904T090000", "FREQ=MONTHLY;COUNT=3;BYDAY=TU,WE,TH;BYSETPOS=3", "1997-01-01",
     "1998-12-31", "1997-09-04 1997-10-07 1997-11-06"},
    {"19970929T090000", "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-2", "1997-09-01", "1998-03-31",
     "1997-09-29 1997-10-30 1997-11-27 1997-12-30 1998-01-29 1998-02-26 1998-03-30"},
    {"20260101", "FREQ=YEARLY;BYMONTH=1,7;BYMONTHDAY=1;BYSETPOS=-1", "2026-01-01", "2027-12-31",
     "2026-07-01 2027-07-01"},
    // BYHOUR leaves the days as they are; a daily rule with BYMONTH.
    {"20260101T090000", "FREQ=DAILY;BYHOUR=9,17;BYMONTH=2;COUNT=3", "2026-01-01", "2026-12-31",
     "2026-02-01 2026-02-02 2026-02-03"},
    // Never ending, asked about the year 9000 (not a leap year).
    {"20260101", "FREQ=DAILY", "9000-02-27", "9000-03-01", "9000-02-27 9000-02-28 9000-03-01"},
    {"20260101", "FREQ=DAILY;COUNT=999999999", "9000-02-27", "9000-03-01",
     "9000-02-27 9000-02-28 9000-03-01"},
    {"20260101", "FREQ=WEEKLY;BYDAY=MO,FR;COUNT=4", "9000-01-01", "9000-12-31", ""},
    {"20260101", "FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30;COUNT=3", "2026-01-01", "2030-12-31", ""},
};

TEST(IcsRule, RfcExamplesAndTheirParts) {
    for (const RuleCase &c : kRuleCases)
        EXPECT_EQ(c.days, RuleDays(c.start, c.rule, c.from, c.to)) << c.rule << " from " << c.start;
}

void Collect(long long day, void *context) {
    static_cast<std::vector<long long> *>(context)->push_back(day);
}

IcsRule ReadRule(const char *text, long long startDay) {
    IcsRule rule;
    EXPECT_EQ(RuleRead::ok, ParseIcsRule({text, static_cast<int>(strlen(text))}, &rule)) << text;
    CompleteIcsRule(&rule, startDay);
    return rule;
}

// The work a query costs does not grow with its distance from the start:
// a thousand months and days are enough for a week in the year 9000, of a
// rule that never ends, or one whose COUNT cannot run out by then.
TEST(IcsRule, SkipsToTheDaysAskedAbout) {
    const char *rules[] = {"FREQ=DAILY", "FREQ=WEEKLY;BYDAY=MO,TH;COUNT=999999999",
                           "FREQ=MONTHLY;BYMONTHDAY=-1;INTERVAL=7", "FREQ=YEARLY;BYSETPOS=1"};
    for (const char *text : rules) {
        IcsRule rule = ReadRule(text, Day("2026-01-01"));
        std::vector<long long> days;
        EXPECT_LE(ExpandIcsRule(rule, Day("2026-01-01"), kNoDay, Day("9000-01-01"),
                                Day("9000-12-31"), {1000, 1000}, Collect, &days)
                      .done,
                  1000)
            << text;
        EXPECT_FALSE(days.empty()) << text;
    }
}

// A rule that gives nothing, ever, while its COUNT is not used up stops at
// its work cap, and a query of it takes no time.
TEST(IcsRule, ARuleThatGivesNothingStops) {
    const char *text = "FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30;COUNT=5";
    IcsRule rule = ReadRule(text, Day("2026-01-01"));
    std::vector<long long> days;
    EXPECT_GT(ExpandIcsRule(rule, Day("2026-01-01"), kNoDay, Day("9000-01-01"), Day("9000-12-31"),
                            {10000, 10000}, Collect, &days)
                  .done,
              10000);
    EXPECT_TRUE(days.empty());
    auto begun = std::chrono::steady_clock::now();
    EXPECT_EQ("", RuleDays("20260101", text, "9000-01-01", "9000-03-31"));
    EXPECT_EQ("", RuleDays("20260101", "FREQ=DAILY;INTERVAL=2;BYMONTH=2;BYMONTHDAY=30;COUNT=5",
                           "9000-01-01", "9000-03-31"));
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::milliseconds(100));
    // Twenty thousand of them share one pool of work: at their own caps
    // they would take half a minute.
    std::string events;
    for (int i = 0; i < 20000; ++i)
        events += "BEGIN:VEVENT\nDTSTART:20260101\nRRULE:FREQ=DAILY;INTERVAL=2;BYMONTH=2;"
                  "BYMONTHDAY=30;COUNT=5\nEND:VEVENT\n";
    events += "BEGIN:VEVENT\nDTSTART:20260101\nRRULE:FREQ=DAILY\nSUMMARY:x\nEND:VEVENT\n";
    begun = std::chrono::steady_clock::now();
    EXPECT_EQ("9000-01-01 x|9000-01-02 x", DaysOfEvents(events, "9000-01-01", "9000-01-02"));
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(2));
}

} // namespace
