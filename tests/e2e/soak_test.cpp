// Long runs: a hundred thousand commands (a fifth of that in CI) must leave
// no GDI object and no memory behind, and two months of minute ticks must
// keep the view on today's month. soak.sh runs the first with trical's GDI trace and reads it.
#include "e2e.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const int kWarmUp = 1000;

using SoakTest = CalendarTest;

// CI runs a fifth of the full soak; TRICAL_SOAK_COMMANDS sets another count.
int Commands() {
    char text[16];
    DWORD length = GetEnvironmentVariableA("TRICAL_SOAK_COMMANDS", text, sizeof text);
    int count = length > 0 && length < sizeof text ? atoi(text) : 0;
    return count > kWarmUp ? count : 20000;
}
// TRICAL_SOAK_CHOICES=all soaks the calendar with Monday first and the
// week column, whose second font comes and goes at every repaint.
GridOptions Choices() {
    char text[8];
    DWORD length = GetEnvironmentVariableA("TRICAL_SOAK_CHOICES", text, sizeof text);
    bool all = length == 3 && strcmp(text, "all") == 0;
    return {all, all};
}

// Heap pages may settle a little after the warm-up; a leak of even a few
// bytes a command would pass this by far.
const SIZE_T kMemorySlack = 64 * 1024;

// Lines soak.sh looks for among the trace; the pid is written the way Wine's
// +pid prefix writes it.
void Mark(const char *what, DWORD processId) {
    fprintf(stderr, "trical-soak %s %04lx\n", what, static_cast<unsigned long>(processId));
    fflush(stderr);
}

SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return counters.PagefileUsage;
}

bool Command(HWND dialog, int id) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), SMTO_NORMAL, 10000,
                               &result) != 0;
}

// Every four commands come back to the month they started from.
const int kRound[4] = {kNextMonthButton, kNextYearButton, kPrevMonthButton, kPrevYearButton};

// Sets the variable for the processes this one starts; its own trace
// settings were fixed when it started.
struct ScopedTrace {
    ScopedTrace() { SetEnvironmentVariableA("WINEDEBUG", "+pid,trace+gdi"); }
    ~ScopedTrace() { SetEnvironmentVariableA("WINEDEBUG", "+pid,trace+gdi"); }
};

const Titles kJanuary = {"DECEMBER  1996", "JANUARY 1997", "FEBRUARY 1997"};

// What the minute timer delivers, delivered now.
bool TimerTick(HWND dialog) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(dialog, WM_TIMER, 9, 0, SMTO_NORMAL, 10000, &result) != 0;
}

} // namespace

TEST_F(SoakTest, ManyCommandsLeaveNothingBehind) {
    ASSERT_TRUE(RemoveSettings());
    GridOptions choices = Choices();
    if (choices.weekNumbers) {
        ASSERT_TRUE(WriteSettings(OptionsSection(true, true, false)));
    }
    // For trical only: this driver's own trace settings were fixed when it
    // started. Wine keeps handing the setting to later children of this
    // driver whatever its environment says then, so soak.sh runs this test
    // on its own.
    ASSERT_TRUE(SetEnvironmentVariableA("WINEDEBUG", "+pid,trace+gdi"));
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    const CalendarDate today = {15, 0, 1997};
    Frames fresh;
    ASSERT_TRUE(PanelsMatchThePlan(dialog_, {0, 1997}, today, &fresh, choices));

    SIZE_T warmMemory = 0;
    const int commands = Commands();
    ULONGLONG started = Now();
    for (int i = 0; i < commands; ++i) {
        ASSERT_TRUE(Command(dialog_, kRound[i % 4])) << "command " << i << " was not answered";
        if (i + 1 == kWarmUp) {
            Mark("warm", process_.dwProcessId);
            warmMemory = PrivateBytes(process_.hProcess);
        }
    }
    Mark("done", process_.dwProcessId);
    ULONGLONG took = Now() - started;
    SIZE_T endMemory = PrivateBytes(process_.hProcess);
    printf("%d commands in %llu ms; private bytes %zu after %d, %zu at the end\n", commands, took,
           warmMemory, kWarmUp, endMemory);
    ASSERT_NE(warmMemory, 0u) << "GetProcessMemoryInfo failed";
    EXPECT_LE(endMemory, warmMemory + kMemorySlack) << "trical's memory grew";

    // Still today's month, drawn exactly as at the start: with the GDI
    // objects used up, the font would have fallen back and the digits moved.
    ASSERT_TRUE(TitlesBecome(dialog_, kJanuary));
    Frames after;
    EXPECT_TRUE(FramesBecome(dialog_, fresh, &after));
    EXPECT_TRUE(CloseWithX());
}

// Two months of the minute timer, one tick per simulated minute: each tick
// moves the clock a minute and delivers the timer's message. Every day at
// noon the user steps a year away; the first tick of the next day must bring
// the view back to today's month, and no other tick may move it.
TEST_F(SoakTest, SixtyDaysOfMinuteTicksFollowTheDate) {
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(SetLocalClock(2031, 12, 31, 0, 0, 0));
    ASSERT_TRUE(Launch());
    MonthOfYear month = {11, 2031};
    Titles expected = TitlesAround(month);
    ASSERT_TRUE(TitlesBecome(dialog_, expected));

    // To 29 February 2032: across a year's end and into a leap day.
    const int kTicksPerDay = 24 * 60;
    const int kTicks = 60 * kTicksPerDay;
    int monthChanges = 0;
    for (int tick = 1; tick <= kTicks; ++tick) {
        int minute = tick % kTicksPerDay;
        ASSERT_TRUE(ShiftClock(60)) << "tick " << tick;
        ASSERT_TRUE(TimerTick(dialog_)) << "tick " << tick << " was not answered";
        if (minute == 0) {
            SYSTEMTIME now;
            GetLocalTime(&now);
            MonthOfYear todays = {now.wMonth - 1, now.wYear};
            if (todays.month != month.month || todays.year != month.year)
                ++monthChanges;
            month = todays;
            expected = TitlesAround(month);
            ASSERT_TRUE(SameTitles(ReadTitles(dialog_), expected))
                << "the first tick of " << now.wDay << "/" << now.wMonth << "/" << now.wYear
                << " left " << Describe(ReadTitles(dialog_));
        } else if (minute == 12 * 60) {
            ASSERT_TRUE(Command(dialog_, kNextYearButton));
            expected = TitlesAround({month.month, month.year + 1});
        } else if (minute % 61 == 0) {
            ASSERT_TRUE(SameTitles(ReadTitles(dialog_), expected))
                << "tick " << tick << " on the same date moved the view to "
                << Describe(ReadTitles(dialog_));
        }
    }
    EXPECT_EQ(monthChanges, 2) << "31 December to 29 February crosses two months";
    EXPECT_EQ(month.month, 1);
    EXPECT_TRUE(CloseWithX());
}
