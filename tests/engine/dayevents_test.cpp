// What the calendar shows of the events: the days of a month they mark, and
// the names a day's tip lists.
#include "dayevents.h"

#include <gtest/gtest.h>

#include <string>

#include "calendar.h"
#include "ics_test.h"

namespace {

std::string AllDay(const char *date, const char *name) {
    return std::string("BEGIN:VEVENT\nDTSTART;VALUE=DATE:") + date + "\nSUMMARY:" + name +
           "\nEND:VEVENT\n";
}

// Freed by the test's end.
struct Calendar {
    EventSet set = {};
    explicit Calendar(const std::string &events) {
        std::string text = "BEGIN:VCALENDAR\nVERSION:2.0\n" + events + "END:VCALENDAR\n";
        IcsReport report;
        AddCalendarText(&set, text.data(), text.size(), &report);
    }
    ~Calendar() { FreeEvents(&set); }
};

TEST(DayEvents, TheDaysOfAMonthTheyFallOn) {
    // Across the turn of November, and a UTC evening that is the next
    // day, and year, an hour east of Greenwich.
    Calendar calendar("BEGIN:VEVENT\nDTSTART;VALUE=DATE:20261130\nDTEND;VALUE=DATE:20261203\n"
                      "SUMMARY:Trip\nEND:VEVENT\n" +
                      AllDay("20261225", "Christmas Day") +
                      "BEGIN:VEVENT\nDTSTART:20261231T233000Z\nSUMMARY:Late\nEND:VEVENT\n");
    struct Case {
        long long year;
        int month;
        long long offset;
        unsigned days;
    } const cases[] = {
        {2026, 11, 0, 1u << 30},
        {2026, 12, 0, 1u << 1 | 1u << 2 | 1u << 25 | 1u << 31},
        {2026, 12, -3600, 1u << 1 | 1u << 2 | 1u << 25},
        {2027, 1, -3600, 1u << 1},
        {2027, 1, 0, 0},
    };
    for (const Case &c : cases) {
        long long offset = c.offset;
        EXPECT_EQ(c.days, EventDaysOfMonth(calendar.set, c.year, c.month, FakeLocal, &offset))
            << c.year << "-" << c.month << " offset " << c.offset;
    }
}

TEST(DayEvents, TheNamesADayLists) {
    std::string eight;
    for (const char *name : {"H", "C", "A", "G", "E", "B", "F", "D"})
        eight += AllDay("20270301", name);
    Calendar calendar(AllDay("20261224", "Zeta") + AllDay("20261224", "Alpha") +
                      AllDay("20261224", "Alpha") + AllDay("20261224", "Alpha Centauri") + eight);
    struct Case {
        const char *day;
        int size;
        const char *names;
    } const cases[] = {
        // In byte order, a name borne by two events once.
        {"2026-12-24", 64, "Alpha\r\nAlpha Centauri\r\nZeta"},
        {"2027-03-01", 64, "A\r\nB\r\nC\r\nD\r\nE\r\nand 3 more"},
        {"2026-12-25", 64, ""},
        // Cut to the room there is, and terminated.
        {"2026-12-24", 4, "Alp"},
    };
    for (const Case &c : cases) {
        char out[64];
        memset(out, 'x', sizeof out);
        int length = EventNamesOfDay(calendar.set, Day(c.day), nullptr, nullptr, out, c.size);
        EXPECT_STREQ(c.names, out) << c.day;
        EXPECT_EQ(static_cast<int>(strlen(c.names)), length) << c.day;
    }
}

} // namespace
