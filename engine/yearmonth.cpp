#include "yearmonth.h"

#include "calendar.h"

namespace {

struct Output {
    wchar_t *text;
    int size;
    int length;
};

void Put(Output &out, wchar_t c) {
    if (out.length + 1 < out.size)
        out.text[out.length++] = c;
}

void PutText(Output &out, const wchar_t *text) {
    for (; text != nullptr && *text != L'\0'; ++text)
        Put(out, *text);
}

// `value` in decimal with at least `digits` digits.
void PutNumber(Output &out, long long value, int digits) {
    char text[28];
    wchar_t wide[28];
    FormatNumber(value, text, digits);
    Widen(text, wide, 28);
    PutText(out, wide);
}

// Two letters the year's last two digits, more the whole year.
void PutYear(Output &out, int year, int letters) {
    if (letters > 2) {
        PutNumber(out, year, 4);
        return;
    }
    int lastTwo;
    FloorDivide(year < 0 ? -static_cast<long long>(year) : year, 100, &lastTwo);
    PutNumber(out, lastTwo, letters);
}

// Copies quoted text from just after its opening quote; '' in it is a
// quote. Returns where the picture goes on.
const wchar_t *PutQuoted(Output &out, const wchar_t *p) {
    for (; *p != L'\0'; ++p) {
        if (*p != L'\'') {
            Put(out, *p);
            continue;
        }
        if (p[1] != L'\'')
            return p + 1;
        Put(out, L'\'');
        ++p;
    }
    return p;
}

// One run of `letters` times the same letter `c`.
void PutField(Output &out, wchar_t c, int letters, const wchar_t *fullName,
              const wchar_t *abbreviatedName, int monthNumber, int year) {
    if (c == L'M' && letters <= 2)
        PutNumber(out, static_cast<unsigned>(monthNumber), letters);
    else if (c == L'M')
        PutText(out, letters == 3 ? abbreviatedName : fullName);
    else if (c == L'y')
        PutYear(out, year, letters);
    else if (c != L'g' && c != L'd')
        for (; letters > 0; --letters)
            Put(out, c);
}

// An era or a day left out may leave blanks at either end.
int Trim(wchar_t *text, int length) {
    int start = 0;
    while (start < length && text[start] == L' ')
        ++start;
    while (length > start && text[length - 1] == L' ')
        --length;
    for (int i = start; i < length; ++i)
        text[i - start] = text[i];
    length -= start;
    text[length] = L'\0';
    return length;
}

} // namespace

int FormatYearMonth(const wchar_t *picture, const wchar_t *fullName, const wchar_t *abbreviatedName,
                    int monthNumber, int year, wchar_t *out, int size) {
    if (out == nullptr || size <= 0)
        return 0;
    Output o = {out, size, 0};
    const wchar_t *p = picture != nullptr ? picture : L"";
    while (*p != L'\0') {
        if (p[0] == L'\'' && p[1] == L'\'') {
            Put(o, L'\'');
            p += 2;
        } else if (p[0] == L'\'') {
            p = PutQuoted(o, p + 1);
        } else {
            int letters = 1;
            while (p[letters] == p[0])
                ++letters;
            PutField(o, p[0], letters, fullName, abbreviatedName, monthNumber, year);
            p += letters;
        }
    }
    out[o.length] = L'\0';
    return Trim(out, o.length);
}
