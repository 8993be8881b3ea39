// The calendar against some 500 broken, odd or unwritable TRICAL.INI files:
// each time it must start, show itself where a monitor shows it, close with X
// and exit 0, and leave two plain numbers behind where it can write them.
// TRICAL_CORPUS_SEED picks another corpus.
#include "e2e.h"
#include "settings_corpus.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

// Past this many failed cases a family stops: the rest would say the same.
const int kMaxFailures = 10;

std::string HexSeed(std::uint64_t seed) {
    char text[24];
    snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(seed));
    return text;
}

std::string CaseName(std::uint64_t seed, int index, const SettingsCase &c) {
    return "case " + std::to_string(index) + " (" + KindName(c.kind) + ", seed " + HexSeed(seed) +
           "): " + c.description + "\n  bytes " + EscapeBytes(c.bytes);
}

// A [LOC] value as the program's own reader returns it, without its limit.
std::string ReadValue(const char *key) { return ProfileValue("LOC", key); }

// An optional sign and decimal digits, nothing else.
bool WholeNumber(const std::string &text, long long *value) {
    size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (i == text.size() || text.size() > 40)
        return false;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        if (magnitude < 100000000000LL)
            magnitude = magnitude * 10 + (text[i] - '0');
    }
    *value = text[0] == '-' ? -magnitude : magnitude;
    return true;
}

// What SavePosition writes: "-"? and digits without a leading zero.
bool PlainDecimal(const std::string &text, int expected) {
    std::string digits = text[0] == '-' ? text.substr(1) : text;
    if (digits.empty() || (digits[0] == '0' && digits.size() > 1))
        return false;
    for (char c : digits)
        if (c < '0' || c > '9')
            return false;
    return text == std::to_string(expected);
}

bool OnScreen(const RECT &r) {
    return r.left >= 0 && r.top >= 0 && r.right <= GetSystemMetrics(SM_CXSCREEN) &&
           r.bottom <= GetSystemMetrics(SM_CYSCREEN);
}

std::string Describe(const RECT &r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// The window is where a monitor shows it, and it is either centred, wholly on
// the screen, or exactly where the file's two values say.
AssertionResult PlacedSensibly(HWND dialog, const std::string &x, const std::string &y) {
    RECT r = WindowRectOf(dialog);
    if (!MonitorFromRect(&r, MONITOR_DEFAULTTONULL))
        return AssertionFailure() << "the calendar is at " << Describe(r)
                                  << ", where no monitor shows it";
    POINT centre = CentredPlace(r.right - r.left, r.bottom - r.top);
    if (r.left == centre.x && r.top == centre.y) {
        if (!OnScreen(r))
            return AssertionFailure()
                   << "the centred calendar " << Describe(r) << " is not wholly on the screen";
        return AssertionSuccess();
    }
    long long fileX = 0;
    long long fileY = 0;
    if (!WholeNumber(x, &fileX) || !WholeNumber(y, &fileY) || fileX != r.left || fileY != r.top)
        return AssertionFailure() << "the calendar is at " << Describe(r)
                                  << ", neither centred nor where the file says: XLOC \"" << x
                                  << "\", YLOC \"" << y << "\"";
    return AssertionSuccess();
}

struct Timing {
    int cases;
    int clickedX;
    ULONGLONG totalMs;
    ULONGLONG longestMs;
};

void Report(const char *kind, const Timing &t) {
    if (t.cases == 0)
        return;
    printf("[ corpus   ] %s: %d cases (%d closed by clicking X), %llu ms, %llu ms a case, longest "
           "%llu ms\n",
           kind, t.cases, t.clickedX, t.totalMs, t.totalMs / t.cases, t.longestMs);
    fflush(stdout);
}

bool IsDirectory(const std::string &path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

const char kInnerName[] = "\\inside.txt";

// Whatever a case left at the settings path goes, read-only or a directory.
bool ClearSettingsPath() {
    std::string path = SettingsPath();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (IsDirectory(path)) {
        std::string inner = path + kInnerName;
        SetFileAttributesA(inner.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(inner.c_str());
        RemoveDirectoryA(path.c_str());
    }
    return RemoveSettings();
}

// The names in a directory, to see that nothing was added or taken.
std::string ListDirectory(const std::string &path) {
    std::string names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return "<cannot list>";
    do
        names += std::string(found.cFileName) + ";";
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

class HostileSettingsTest : public CalendarTest {
  protected:
    void SetUp() override {
        CalendarTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(ClearSettingsPath());
    }
    void TearDown() override {
        CalendarTest::TearDown();
        LetGo();
        EXPECT_TRUE(ClearSettingsPath()) << "cannot clear " << SettingsPath();
    }

    // Puts the case in place as its kind wants it.
    AssertionResult Prepare(const SettingsCase &c) {
        std::string path = SettingsPath();
        if (!ClearSettingsPath())
            return AssertionFailure() << "cannot clear " << path;
        if (c.kind == SettingsKind::directory) {
            CreateDirectoryA(SettingsFolder().c_str(), nullptr);
            if (!CreateDirectoryA(path.c_str(), nullptr))
                return AssertionFailure() << "cannot make the directory, error " << GetLastError();
            if (!c.bytes.empty() && !WriteSettings(c.bytes, path + kInnerName))
                return AssertionFailure() << "cannot write a file in the directory";
            return AssertionSuccess();
        }
        if (!WriteSettings(c.bytes))
            return AssertionFailure() << "cannot write " << path;
        if (c.kind != SettingsKind::readOnlyFile)
            return AssertionSuccess();
        if (!SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY))
            return AssertionFailure() << "cannot make it read-only, error " << GetLastError();
        HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
        if (probe == INVALID_HANDLE_VALUE)
            return AssertionSuccess();
        CloseHandle(probe);
        // Wine run by root writes through the attribute, where Windows would
        // refuse; a handle that shares only reading refuses writers here too.
        if (!warnedOfRoot_)
            printf("[ corpus   ] the read-only attribute does not stop writers here; the file "
                   "is also held open against writing\n");
        warnedOfRoot_ = true;
        heldOpen_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
        if (heldOpen_ == INVALID_HANDLE_VALUE)
            return AssertionFailure() << "cannot hold it open, error " << GetLastError();
        return AssertionSuccess();
    }

    void LetGo() {
        if (heldOpen_ != INVALID_HANDLE_VALUE)
            CloseHandle(heldOpen_);
        heldOpen_ = INVALID_HANDLE_VALUE;
    }

    // A snapshot of what the calendar must not change.
    std::string Untouchable(const SettingsCase &c) {
        std::string path = SettingsPath();
        std::string state = std::to_string(GetFileAttributesA(path.c_str())) + ":";
        std::string bytes;
        if (c.kind == SettingsKind::directory) {
            state += ListDirectory(path);
            if (ReadSettings(&bytes, path + kInnerName))
                state += bytes;
        } else if (ReadSettings(&bytes, path)) {
            state += bytes;
        }
        return state;
    }

    // The calendar as the case's three choices ask: today red in its
    // column, the window one week column per frame wider, on top or not.
    AssertionResult ShowsChoices(const bool (&choices)[3]) {
        bool mondayFirst = choices[0];
        bool weekNumbers = choices[1];
        bool onTop = choices[2];
        bool topmost = (GetWindowLongPtrA(dialog_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        if (topmost != onTop)
            return AssertionFailure() << "the calendar is " << (topmost ? "" : "not ")
                                      << "on top, though ONTOP reads " << (onTop ? "1" : "not 1");
        RECT r = WindowRectOf(dialog_);
        if ((r.right - r.left > plainWidth_) != weekNumbers)
            return AssertionFailure()
                   << "the calendar is " << r.right - r.left << " px wide, though WEEKNUM reads "
                   << (weekNumbers ? "1" : "not 1");
        Frames frames;
        AssertionResult panels = PanelsMatchThePlan(dialog_, StartMonth(), StartDate(), &frames,
                                                    {mondayFirst, weekNumbers});
        if (!panels)
            return panels << ", FIRSTDAY reading " << (mondayFirst ? "1" : "not 1");
        return AssertionSuccess();
    }

    AssertionResult RunCase(const SettingsCase &c, Timing *timing) {
        AssertionResult ready = Prepare(c);
        if (!ready)
            return ready;
        bool writable = c.kind != SettingsKind::readOnlyFile && c.kind != SettingsKind::directory;
        std::string before = writable ? "" : Untouchable(c);
        std::string x = ReadValue("XLOC");
        std::string y = ReadValue("YLOC");

        AssertionResult launched = Launch();
        if (!launched)
            return launched;
        AssertionResult placed = PlacedSensibly(dialog_, x, y);
        if (!placed)
            return placed;
        if (c.kind == SettingsKind::options) {
            AssertionResult chosen = ShowsChoices(c.choices);
            if (!chosen)
                return chosen;
        }
        RECT last = WindowRectOf(dialog_);
        RECT button = WindowRectOf(GetDlgItem(dialog_, kCloseButton));
        POINT centre = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
        RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        // Only an odd seed gives a place in reach with X off the screen.
        if (PtInRect(&screen, centre))
            ++timing->clickedX;
        AssertionResult closed = Close();
        if (!closed)
            return closed;

        if (!writable) {
            std::string after = Untouchable(c);
            if (after != before)
                return AssertionFailure()
                       << "the calendar changed what it cannot write: before "
                       << EscapeBytes(before) << ", after " << EscapeBytes(after);
            return AssertionSuccess();
        }
        std::string savedX = ReadValue("XLOC");
        std::string savedY = ReadValue("YLOC");
        if (!PlainDecimal(savedX, last.left) || !PlainDecimal(savedY, last.top)) {
            std::string file;
            ReadSettings(&file);
            return AssertionFailure() << "the calendar closed at (" << last.left << ", " << last.top
                                      << ") but the file reads XLOC \"" << savedX << "\", YLOC \""
                                      << savedY << "\"; it holds " << EscapeBytes(file);
        }
        return AssertionSuccess();
    }

    void RunKind(SettingsKind kind) {
        std::uint64_t seed = CorpusSeed();
        int first = 0;
        int end = 0;
        SettingsCaseRange(kind, &first, &end);
        ASSERT_LT(first, end);
        Timing timing = {0, 0, 0, 0};
        int failures = 0;
        for (int index = first; index < end && failures < kMaxFailures; ++index) {
            SettingsCase c = MakeSettingsCase(seed, index);
            ULONGLONG start = Now();
            AssertionResult result = RunCase(c, &timing);
            EndCalendar();
            LetGo();
            ULONGLONG took = Now() - start;
            ++timing.cases;
            timing.totalMs += took;
            if (took > timing.longestMs)
                timing.longestMs = took;
            if (!result) {
                ++failures;
                ADD_FAILURE() << CaseName(seed, index, c) << "\n  " << result.message();
            }
        }
        Report(KindName(kind), timing);
    }

    HANDLE heldOpen_ = INVALID_HANDLE_VALUE;
    // The calendar's width without the week column.
    int plainWidth_ = 0;
    bool warnedOfRoot_ = false;
};

} // namespace

TEST_F(HostileSettingsTest, RandomBytes) { RunKind(SettingsKind::randomBytes); }
TEST_F(HostileSettingsTest, Numbers) { RunKind(SettingsKind::numbers); }
TEST_F(HostileSettingsTest, Structure) { RunKind(SettingsKind::structure); }
TEST_F(HostileSettingsTest, LongLines) { RunKind(SettingsKind::longLines); }
TEST_F(HostileSettingsTest, Unicode) { RunKind(SettingsKind::unicode); }
// The calendar cannot save its place; it must still run and end cleanly.
TEST_F(HostileSettingsTest, ReadOnlyFile) { RunKind(SettingsKind::readOnlyFile); }
TEST_F(HostileSettingsTest, Directory) { RunKind(SettingsKind::directory); }
// Nothing but exactly "1" turns a choice on.
TEST_F(HostileSettingsTest, Options) {
    ASSERT_TRUE(Launch());
    RECT plain = WindowRectOf(dialog_);
    plainWidth_ = plain.right - plain.left;
    ASSERT_TRUE(Close());
    EndCalendar();
    RunKind(SettingsKind::options);
}
