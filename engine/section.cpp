#include "section.h"

static bool Blank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Trims the blanks off both ends of [*begin, *end).
static void Trim(const wchar_t **begin, const wchar_t **end) {
    while (*begin < *end && Blank(**begin))
        ++*begin;
    while (*end > *begin && Blank((*end)[-1]))
        --*end;
}

static wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c; }

static bool SameName(const wchar_t *name, const wchar_t *end, const wchar_t *key) {
    for (; name < end; ++name, ++key)
        if (*key == L'\0' || AsciiUpper(*name) != AsciiUpper(*key))
            return false;
    return *key == L'\0';
}

const wchar_t *SectionValue(const wchar_t *block, size_t length, const wchar_t *key,
                            size_t *valueLength) {
    const wchar_t *const blockEnd = block + length;
    for (const wchar_t *line = block; line < blockEnd;) {
        const wchar_t *lineEnd = line;
        while (lineEnd < blockEnd && *lineEnd != L'\0')
            ++lineEnd;
        const wchar_t *equals = line;
        while (equals < lineEnd && *equals != L'=')
            ++equals;
        const wchar_t *name = line;
        const wchar_t *nameEnd = equals;
        Trim(&name, &nameEnd);
        if (SameName(name, nameEnd, key)) {
            if (equals == lineEnd)
                return nullptr;
            const wchar_t *value = equals + 1;
            const wchar_t *valueEnd = lineEnd;
            Trim(&value, &valueEnd);
            if (valueEnd - value >= 2 && (*value == L'"' || *value == L'\'') &&
                valueEnd[-1] == *value) {
                ++value;
                --valueEnd;
            }
            *valueLength = static_cast<size_t>(valueEnd - value);
            return value;
        }
        line = lineEnd + 1;
    }
    return nullptr;
}
