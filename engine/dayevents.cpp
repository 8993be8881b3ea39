#include "dayevents.h"

#include <cstdlib>
#include <cstring>

#include "calendar.h"

static void MarkDay(long long day, const char * /*name*/, int /*nameLength*/, void *context) {
    auto *month = static_cast<long long *>(context);
    long long date = day - month[0] + 1;
    if (date >= 1 && date <= 31)
        month[1] |= 1LL << date;
}

unsigned EventDaysOfMonth(const EventSet &set, long long year, int monthNumber, LocalTimeFn toLocal,
                          void *localContext) {
    long long first = DayNumber(year, monthNumber, 1);
    int length = DaysInMonth(monthNumber, static_cast<int>(year));
    // The month's first day, then the days marked.
    long long month[2] = {first, 0};
    EventsIn(set, first, first + length - 1, toLocal, localContext, MarkDay, month);
    return static_cast<unsigned>(month[1]);
}

struct Name {
    const char *text;
    int length;
};

// Grown as names come; where memory runs out, the names so far are listed
// and the rest counted.
struct Names {
    Name *names;
    int count;
    int capacity;
    int lost;
};

static void KeepName(long long /*day*/, const char *name, int nameLength, void *context) {
    auto *names = static_cast<Names *>(context);
    if (names->count == names->capacity) {
        int capacity = names->capacity * 2 + 8;
        auto *grown = static_cast<Name *>(realloc(names->names, capacity * sizeof(Name)));
        if (grown == nullptr) {
            ++names->lost;
            return;
        }
        names->names = grown;
        names->capacity = capacity;
    }
    names->names[names->count++] = {name, nameLength};
}

static int CompareNames(const void *a, const void *b) {
    const auto *x = static_cast<const Name *>(a);
    const auto *y = static_cast<const Name *>(b);
    int shorter = x->length < y->length ? x->length : y->length;
    int order = memcmp(x->text, y->text, static_cast<size_t>(shorter));
    return order != 0 ? order : x->length - y->length;
}

// Appends what fits of `text`, keeping room for the nul.
static void Append(char *out, int size, int *length, const char *text, int textLength) {
    int room = size - 1 - *length;
    int taken = textLength < room ? textLength : room;
    if (taken <= 0)
        return;
    memcpy(out + *length, text, static_cast<size_t>(taken));
    *length += taken;
}

int EventNamesOfDay(const EventSet &set, long long day, LocalTimeFn toLocal, void *localContext,
                    char *out, int size) {
    if (size <= 0)
        return 0;
    Names names = {};
    EventsIn(set, day, day, toLocal, localContext, KeepName, &names);
    if (names.count > 1)
        qsort(names.names, static_cast<size_t>(names.count), sizeof(Name), CompareNames);
    int length = 0;
    int listed = 0;
    int more = names.lost;
    for (int i = 0; i < names.count; ++i) {
        if (i > 0 && CompareNames(&names.names[i], &names.names[i - 1]) == 0)
            continue;
        if (listed == kListedEventNames) {
            ++more;
            continue;
        }
        if (listed++ > 0)
            Append(out, size, &length, "\r\n", 2);
        Append(out, size, &length, names.names[i].text, names.names[i].length);
    }
    free(names.names);
    if (more > 0) {
        char count[12];
        FormatNumber(more, count);
        Append(out, size, &length, "\r\nand ", 6);
        Append(out, size, &length, count, static_cast<int>(strlen(count)));
        Append(out, size, &length, " more", 5);
    }
    out[length] = '\0';
    return length;
}
