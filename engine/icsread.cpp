// The reader: a file's text, line by line, into the event set. Each byte is
// looked at a bounded number of times, whatever the text holds.
#include "ics.h"
#include "calendar.h"
#include "icsrule.h"
#include "icsset.h"
#include "icsvalue.h"

#include <cstring>

namespace {

// A line of the file as RFC 5545 folds them back together: a line end
// (CRLF or LF) followed by a space or a tab goes, with that space.
struct LineReader {
    const char *text;
    size_t length;
    size_t at;
    int lineNumber; // where the line read last starts, from 1
    int nextLine;
    char *line;
    size_t lineLength;
    size_t capacity;
    bool lost; // part of the line did not fit in memory
};

void Append(LineReader &r, const char *piece, size_t length) {
    if (r.lost || length == 0)
        return;
    if (r.lineLength + length > r.capacity) {
        size_t grown = r.capacity < 256 ? 256 : r.capacity;
        while (grown < r.lineLength + length && grown < (size_t{1} << 30))
            grown *= 2;
        void *more = grown >= r.lineLength + length ? realloc(r.line, grown) : nullptr;
        if (more == nullptr) {
            r.lost = true;
            return;
        }
        r.line = static_cast<char *>(more);
        r.capacity = grown;
    }
    memcpy(r.line + r.lineLength, piece, length);
    r.lineLength += length;
}

// The next line, unfolded and without its line end; false at the text's end.
bool NextLine(LineReader &r) {
    if (r.at >= r.length)
        return false;
    r.lineNumber = r.nextLine;
    r.lineLength = 0;
    r.lost = false;
    for (;;) {
        const char *start = r.text + r.at;
        size_t left = r.length - r.at;
        const auto *end = static_cast<const char *>(memchr(start, '\n', left));
        size_t piece = end == nullptr ? left : static_cast<size_t>(end - start);
        Append(r, start, piece > 0 && start[piece - 1] == '\r' ? piece - 1 : piece);
        r.at += end == nullptr ? piece : piece + 1;
        if (end == nullptr)
            return true;
        r.nextLine += r.nextLine < INT_MAX ? 1 : 0;
        if (r.at >= r.length || (r.text[r.at] != ' ' && r.text[r.at] != '\t'))
            return true;
        ++r.at;
    }
}

// NAME;PARAM=VALUE,"QUOTED":VALUE, with what the calendar wants of the
// parameters.
struct ContentLine {
    IcsSlice name;
    IcsSlice value;
    bool period; // VALUE=PERIOD: each value a start and its end or length
};

// Past one parameter's values at `i`; -1 where a quote is not closed.
int SkipParameterValues(const char *line, int length, int i, IcsSlice name, ContentLine *out) {
    for (;;) {
        int first = i;
        if (i < length && line[i] == '"') {
            const void *quote = memchr(line + i + 1, '"', static_cast<size_t>(length - i - 1));
            if (quote == nullptr)
                return -1;
            i = static_cast<int>(static_cast<const char *>(quote) - line) + 1;
        } else {
            while (i < length && line[i] != ',' && line[i] != ';' && line[i] != ':')
                ++i;
        }
        if (IsWord(name, "VALUE") && IsWord({line + first, i - first}, "PERIOD"))
            out->period = true;
        if (i >= length || line[i] != ',')
            return i;
        ++i;
    }
}

bool SplitLine(const char *line, int length, ContentLine *out) {
    int i = 0;
    while (i < length && line[i] != ';' && line[i] != ':')
        ++i;
    out->name = {line, i};
    out->period = false;
    while (i < length && line[i] == ';') {
        int first = ++i;
        while (i < length && line[i] != '=' && line[i] != ';' && line[i] != ':')
            ++i;
        if (i < length && line[i] == '=')
            i = SkipParameterValues(line, length, i + 1, {line + first, i - first}, out);
        if (i < 0)
            return false;
    }
    if (i >= length)
        return false;
    out->value = {line + i + 1, length - i - 1};
    return true;
}

// The VEVENT being read.
struct Draft {
    IcsEvent event;
    IcsRule rule;
    IcsTime end;
    long long duration;
    int line;
    int timeMark;
    int textMark;
    bool broken;
    bool hasStart;
    bool hasEnd;
    bool hasDuration;
    bool hasRule;
    bool hasName;
    bool hasUid;
};

// Components are told apart by a hash of their names, in upper case.
unsigned NameHash(IcsSlice name) {
    unsigned hash = 2166136261U;
    for (int i = 0; i < name.length; ++i) {
        char c = name.text[i];
        hash = (hash ^ static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c)) *
               16777619U;
    }
    return hash;
}

const int kMostDepth = 16;

struct Reading {
    EventSet *set;
    IcsReport *report;
    unsigned nesting[kMostDepth];
    int depth;
    int deeper; // components past kMostDepth
    int lineNumber;
    bool calendar;
    bool inEvent;
    Draft draft;
};

void Skip(Reading &reading) {
    EventSet *set = reading.set;
    set->timeCount = reading.draft.timeMark;
    set->textLength = reading.draft.textMark;
    if (reading.report->skipped++ == 0)
        reading.report->firstSkippedLine = reading.draft.line;
}

// From the start to the end, DTEND's or DURATION's; an event of dates lasts
// one day at least, a timed one no time at least.
long long EventSeconds(const Draft &draft) {
    const IcsTime &start = draft.event.start;
    long long seconds = 0;
    if (draft.hasEnd)
        seconds = (draft.end.day - start.day) * kSecondsPerDay +
                  (draft.end.second < 0 ? 0 : draft.end.second) -
                  (start.second < 0 ? 0 : start.second);
    else if (draft.hasDuration)
        seconds = draft.duration;
    if (seconds > kLongestSeconds)
        seconds = kLongestSeconds;
    if (start.second != kDateOnly)
        return seconds < 0 ? 0 : seconds;
    int rest;
    long long days =
        seconds > 0 ? FloorDivide(seconds + kSecondsPerDay - 1, kSecondsPerDay, &rest) : 1;
    return days * kSecondsPerDay;
}

int CompareDays(const void *a, const void *b) {
    long long x = static_cast<const IcsTime *>(a)->day;
    long long y = static_cast<const IcsTime *>(b)->day;
    return x < y ? -1 : x > y ? 1 : 0;
}

void FinishEvent(Reading &reading) {
    Draft &draft = reading.draft;
    EventSet *set = reading.set;
    if (draft.broken || !draft.hasStart) {
        Skip(reading);
        return;
    }
    draft.event.seconds = EventSeconds(draft);
    draft.event.rule = -1;
    if (draft.hasRule) {
        if (!Reserve(set->rules, set->ruleCapacity, set->ruleCount + 1)) {
            Skip(reading);
            return;
        }
        CompleteIcsRule(&draft.rule, draft.event.start.day);
        draft.event.rule = set->ruleCount;
    }
    if (!Reserve(set->events, set->eventCapacity, set->eventCount + 1)) {
        Skip(reading);
        return;
    }
    if (draft.hasRule)
        set->rules[set->ruleCount++] = draft.rule;
    draft.event.timeFirst = draft.timeMark;
    draft.event.timeCount = set->timeCount - draft.timeMark;
    // By day, for a binary search.
    if (draft.event.timeCount > 1)
        qsort(set->times + draft.timeMark, static_cast<size_t>(draft.event.timeCount),
              sizeof *set->times, CompareDays);
    set->events[set->eventCount++] = draft.event;
    ++reading.report->kept;
}

// Room for `length` more bytes of text; the draft is broken without it.
char *TextRoom(Reading &reading, int length) {
    EventSet *set = reading.set;
    if (length > INT_MAX / 2 - set->textLength ||
        !Reserve(set->text, set->textCapacity, set->textLength + length)) {
        reading.draft.broken = true;
        return nullptr;
    }
    return set->text + set->textLength;
}

void ReadTime(Draft &draft, IcsSlice value, IcsTime *time, bool *has) {
    if (*has)
        return;
    *has = ParseIcsTime(value, time);
    draft.broken = draft.broken || !*has;
}

void OnStart(Reading &r, const ContentLine &line) {
    ReadTime(r.draft, line.value, &r.draft.event.start, &r.draft.hasStart);
}

void OnEnd(Reading &r, const ContentLine &line) {
    ReadTime(r.draft, line.value, &r.draft.end, &r.draft.hasEnd);
}

void OnDuration(Reading &r, const ContentLine &line) {
    if (r.draft.hasDuration)
        return;
    r.draft.hasDuration = ParseIcsDuration(line.value, &r.draft.duration);
    r.draft.broken = r.draft.broken || !r.draft.hasDuration;
}

void OnRule(Reading &r, const ContentLine &line) {
    if (r.draft.hasRule)
        return;
    r.draft.hasRule = ParseIcsRule(line.value, &r.draft.rule) == RuleRead::ok;
    r.draft.broken = r.draft.broken || !r.draft.hasRule;
}

// RDATE, EXDATE and RECURRENCE-ID: lists of times, a PERIOD's by its start.
void AddTimes(Reading &r, const ContentLine &line, unsigned char use) {
    EventSet *set = r.set;
    IcsSlice rest = line.value;
    do {
        const void *comma = memchr(rest.text, ',', static_cast<size_t>(rest.length));
        int length = comma == nullptr
                         ? rest.length
                         : static_cast<int>(static_cast<const char *>(comma) - rest.text);
        IcsSlice item = {rest.text, length};
        const void *slash = memchr(item.text, '/', static_cast<size_t>(item.length));
        if (line.period && slash != nullptr)
            item.length = static_cast<int>(static_cast<const char *>(slash) - item.text);
        IcsTime time = {};
        if (!ParseIcsTime(item, &time) ||
            !Reserve(set->times, set->timeCapacity, set->timeCount + 1)) {
            r.draft.broken = true;
            return;
        }
        time.use = use;
        set->times[set->timeCount++] = time;
        rest.text += comma == nullptr ? length : length + 1;
        rest.length -= comma == nullptr ? length : length + 1;
    } while (rest.length > 0);
}

void OnRdate(Reading &r, const ContentLine &line) { AddTimes(r, line, kUseRdate); }
void OnExdate(Reading &r, const ContentLine &line) { AddTimes(r, line, kUseExdate); }

void OnRecurrenceId(Reading &r, const ContentLine &line) {
    if (r.draft.event.replaces)
        return;
    AddTimes(r, line, kUseRecurrenceId);
    r.draft.event.replaces = true;
}

void OnUid(Reading &r, const ContentLine &line) {
    char *room =
        r.draft.hasUid || line.value.length == 0 ? nullptr : TextRoom(r, line.value.length);
    if (room == nullptr)
        return;
    memcpy(room, line.value.text, static_cast<size_t>(line.value.length));
    r.draft.event.uidFirst = r.set->textLength;
    r.draft.event.uidLength = line.value.length;
    r.set->textLength += line.value.length;
    r.draft.hasUid = true;
}

void OnSummary(Reading &r, const ContentLine &line) {
    char *room =
        r.draft.hasName || line.value.length == 0 ? nullptr : TextRoom(r, line.value.length);
    if (room == nullptr)
        return;
    r.draft.event.nameFirst = r.set->textLength;
    r.draft.event.nameLength = UnescapeIcsText(line.value, room);
    r.set->textLength += r.draft.event.nameLength;
    r.draft.hasName = true;
}

void OnStatus(Reading &r, const ContentLine &line) {
    IcsSlice value = line.value;
    while (value.length > 0 && value.text[value.length - 1] == ' ')
        --value.length;
    r.draft.event.cancelled = IsWord(value, "CANCELLED");
}

struct Property {
    const char *name;
    void (*read)(Reading &r, const ContentLine &line);
};

const Property kProperties[] = {
    {"DTSTART", OnStart},     {"DTEND", OnEnd},
    {"DURATION", OnDuration}, {"RRULE", OnRule},
    {"RDATE", OnRdate},       {"EXDATE", OnExdate},
    {"UID", OnUid},           {"SUMMARY", OnSummary},
    {"STATUS", OnStatus},     {"RECURRENCE-ID", OnRecurrenceId},
};

void BeginComponent(Reading &r, IcsSlice name) {
    if (r.depth == kMostDepth) {
        ++r.deeper;
        return;
    }
    unsigned hash = NameHash(name);
    if (r.depth == 0 && IsWord(name, "VCALENDAR"))
        r.calendar = true;
    if (r.depth == 1 && IsWord(name, "VEVENT") && r.nesting[0] == NameHash({"VCALENDAR", 9})) {
        memset(&r.draft, 0, sizeof r.draft);
        r.draft.line = r.lineNumber;
        r.draft.timeMark = r.set->timeCount;
        r.draft.textMark = r.set->textLength;
        r.inEvent = true;
    }
    r.nesting[r.depth++] = hash;
}

// An END closes the innermost component of its name and any left open in
// it; an END of none that is open is let be.
void EndComponent(Reading &r, IcsSlice name) {
    if (r.deeper > 0) {
        --r.deeper;
        return;
    }
    unsigned hash = NameHash(name);
    int level = r.depth - 1;
    while (level >= 0 && r.nesting[level] != hash)
        --level;
    if (level < 0)
        return;
    r.depth = level;
    if (r.inEvent && level <= 1) {
        r.inEvent = false;
        if (level == 1)
            FinishEvent(r);
        else
            Skip(r);
    }
}

void ReadLine(Reading &r, const ContentLine &line) {
    if (IsWord(line.name, "BEGIN")) {
        BeginComponent(r, line.value);
        return;
    }
    if (IsWord(line.name, "END")) {
        EndComponent(r, line.value);
        return;
    }
    // Only the event's own lines, not those of an alarm in it.
    if (!r.inEvent || r.depth != 2 || r.deeper > 0)
        return;
    const int count = sizeof kProperties / sizeof kProperties[0];
    int i = 0;
    while (i < count && !IsWord(line.name, kProperties[i].name))
        ++i;
    if (i < count)
        kProperties[i].read(r, line);
}

} // namespace

bool AddCalendarText(EventSet *set, const char *text, size_t length, IcsReport *report) {
    *report = {};
    LineReader lines = {text, length, 0, 1, 1, nullptr, 0, 0, false};
    if (length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0)
        lines.at = 3;
    Reading reading = {};
    reading.set = set;
    reading.report = report;
    while (NextLine(lines)) {
        ContentLine line;
        reading.lineNumber = lines.lineNumber;
        // A line too long for memory is as good as a broken one.
        if (lines.lost || lines.lineLength > INT_MAX ||
            !SplitLine(lines.line, static_cast<int>(lines.lineLength), &line)) {
            reading.draft.broken = reading.draft.broken || lines.lost;
            continue;
        }
        ReadLine(reading, line);
    }
    if (reading.inEvent)
        Skip(reading);
    free(lines.line);
    IndexEvents(set);
    return reading.calendar;
}
