#include "settings_corpus.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// splitmix64: small, and the same numbers on every compiler and machine.
struct Rng {
    std::uint64_t state;
};

std::uint64_t Next(Rng &rng) {
    std::uint64_t z = (rng.state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

int Below(Rng &rng, int n) { return static_cast<int>(Next(rng) % static_cast<std::uint64_t>(n)); }

bool Chance(Rng &rng, int percent) { return Below(rng, 100) < percent; }

template <size_t N> const char *PickOf(Rng &rng, const char *const (&items)[N]) {
    return items[Below(rng, static_cast<int>(N))];
}

std::string RandomBytes(Rng &rng, size_t length) {
    std::string bytes(length, '\0');
    for (char &c : bytes)
        c = static_cast<char>(Next(rng) & 0xff);
    return bytes;
}

// Printable text that often forms lines, sections and keys.
std::string RandomText(Rng &rng, size_t length) {
    static const char kAlphabet[] = "[]=;#LOCXYlocxy0123456789+- \t\"abcz";
    std::string text;
    while (text.size() < length) {
        int r = Below(rng, 20);
        if (r == 0)
            text += Chance(rng, 50) ? "\r\n" : "\n";
        else
            text += kAlphabet[Below(rng, static_cast<int>(sizeof kAlphabet - 1))];
    }
    return text;
}

std::string Digits(Rng &rng, int count) {
    std::string digits;
    for (int i = 0; i < count; ++i)
        digits += static_cast<char>('0' + (i == 0 ? 1 + Below(rng, 9) : Below(rng, 10)));
    return digits;
}

// A place from which the whole calendar, X included, stays on a 1024x768 screen.
std::string SafeNumber(Rng &rng) { return std::to_string(-8 + Below(rng, 569)); }

// One value for XLOC or YLOC; `what` names its sort.
std::string ValueText(Rng &rng, std::string *what) {
    static const char *const kBoundaries[] = {
        "2147483647",  "-2147483648", "2147483648",           "-2147483649",
        "4294967295",  "-4294967295", "9999999999",           "-9999999999",
        "99999999999", "0000000000",  "9223372036854775807",  "-9223372036854775808",
        "-0",          "+0",          "18446744073709551615",
    };
    // These wrap round to small, reachable numbers in 32 or 64 bits.
    static const char *const kWrapping[] = {
        "4294967396", "4294967496", "-4294967196",           "18446744073709551716",
        "8589934792", "4294967297", "-18446744073709551516",
    };
    static const char *const kSuffixes[] = {"abc", "px", " 200", ".5",   "e3", ";x", "\t#c", "-",
                                            "+",   "%",  "\x01", "\xff", "0x", ",5", " ",    "\""};
    static const char *const kPrefixes[] = {"0x", "x", "--", "+-", "-+", "$", "#", "- ", "+ ", "'"};
    static const char *const kOddForms[] = {"0x64", "1e2",  "100.0", "1,000", "1_000",
                                            "1 00", "0100", "00",    "0o144", "0b1100100"};
    static const char *const kEmptyish[] = {"", "-", "+", " ", "\t", "\"\"", "''", "=", "=100"};
    static const char *const kHighBytes[] = {"\xb2\xb3",
                                             "\xbd",
                                             "1\xb9",
                                             "\xd9\xa1\xd9\xa0\xd9\xa0",
                                             "\xef\xbc\x91\xef\xbc\x90\xef\xbc\x90",
                                             "\xa0"
                                             "100"};
    switch (Below(rng, 13)) {
    case 0:
    case 1:
        *what = "in reach";
        return SafeNumber(rng);
    case 2: {
        *what = "in reach, decorated";
        int value = -8 + Below(rng, 569);
        std::string digits = std::to_string(value < 0 ? -value : value);
        while (digits.size() < 10 && Chance(rng, 40))
            digits = "0" + digits;
        std::string text = (value < 0 ? "-" : Chance(rng, 50) ? "+" : "") + digits;
        if (Chance(rng, 30))
            text = " \t"[Below(rng, 2)] + text;
        if (Chance(rng, 30))
            text += " \t"[Below(rng, 2)];
        if (Chance(rng, 20))
            text = "\"" + text + "\"";
        return text;
    }
    case 3:
        *what = "huge";
        return (Chance(rng, 50) ? "-" : "") + Digits(rng, 11 + Below(rng, 30));
    case 4:
        *what = "int boundary";
        return PickOf(rng, kBoundaries);
    case 5:
        *what = "wraps to a small number";
        return PickOf(rng, kWrapping);
    case 6:
        // Wholly off the screen: a calendar hanging above it could not be
        // closed with a click on X.
        *what = "negative";
        return "-" + Digits(rng, 4 + Below(rng, 7));
    case 7:
        *what = "trailing text";
        return SafeNumber(rng) + PickOf(rng, kSuffixes);
    case 8:
        *what = "leading text";
        return PickOf(rng, kPrefixes) + std::to_string(Below(rng, 500));
    case 9:
        *what = "other notation";
        return PickOf(rng, kOddForms);
    case 10:
        *what = "empty or a sign";
        return PickOf(rng, kEmptyish);
    case 11:
        *what = Chance(rng, 50) ? "off the screen" : "9999";
        if (*what == "9999")
            return "9999";
        return Chance(rng, 50) ? std::to_string(1024 + Below(rng, 100000))
                               : "-" + std::to_string(430 + Below(rng, 100000));
    default:
        *what = "bytes above 127";
        return PickOf(rng, kHighBytes);
    }
}

const char *Eol(Rng &rng) { return Chance(rng, 50) ? "\r\n" : "\n"; }

std::string LocFile(const std::string &x, const std::string &y, const std::string &eol) {
    return "[LOC]" + eol + "XLOC=" + x + eol + "YLOC=" + y + eol;
}

std::string EolName(const std::string &eol) { return eol == "\r\n" ? "CRLF" : "LF"; }

void MakeRandomBytes(Rng &rng, SettingsCase *c) {
    std::string eol = Eol(rng);
    switch (Below(rng, 5)) {
    case 0: {
        size_t length = 1 + Below(rng, Chance(rng, 80) ? 2048 : 8192);
        c->bytes = RandomBytes(rng, length);
        c->description = "random bytes";
        break;
    }
    case 1:
        c->bytes = RandomText(rng, 1 + Below(rng, 1024));
        c->description = "random ini-like text";
        break;
    case 2:
        c->bytes = "[LOC]" + eol + "XLOC=" + RandomBytes(rng, 1 + Below(rng, 64));
        if (Chance(rng, 50))
            c->bytes += eol + "YLOC=" + RandomBytes(rng, 1 + Below(rng, 64));
        c->description = "[LOC] with random bytes for values, " + EolName(eol);
        break;
    case 3: {
        std::string bytes = LocFile(SafeNumber(rng), SafeNumber(rng), eol);
        int flips = 1 + Below(rng, 4);
        for (int i = 0; i < flips; ++i) {
            size_t at = Below(rng, static_cast<int>(bytes.size()));
            char byte = static_cast<char>(Next(rng) & 0xff);
            switch (Below(rng, 3)) {
            case 0:
                bytes[at] = byte;
                break;
            case 1:
                bytes.insert(at, 1, byte);
                break;
            default:
                bytes.erase(at, 1);
            }
        }
        c->bytes = bytes;
        c->description =
            "a good file with " + std::to_string(flips) + " bytes changed, " + EolName(eol);
        break;
    }
    default:
        c->bytes = RandomBytes(rng, 1 + Below(rng, 512)) + eol +
                   LocFile(SafeNumber(rng), SafeNumber(rng), eol);
        c->description = "random bytes before a good file, " + EolName(eol);
    }
}

void MakeNumbers(Rng &rng, SettingsCase *c) {
    std::string eol = Eol(rng);
    std::string xWhat, yWhat;
    std::string x = ValueText(rng, &xWhat);
    std::string y = ValueText(rng, &yWhat);
    c->bytes = LocFile(x, y, eol);
    c->description = "XLOC " + xWhat + ", YLOC " + yWhat + ", " + EolName(eol);
}

// Mostly places in reach, so that a file that is read shows where it puts the window.
std::string StructureValue(Rng &rng) {
    std::string what;
    return Chance(rng, 70) ? SafeNumber(rng) : ValueText(rng, &what);
}

void MakeStructure(Rng &rng, SettingsCase *c) {
    std::string e = Eol(rng);
    std::string x = StructureValue(rng);
    std::string y = StructureValue(rng);
    std::string x2 = StructureValue(rng);
    std::string y2 = StructureValue(rng);
    std::string &b = c->bytes;
    std::string &d = c->description;
    switch (Below(rng, 24)) {
    case 0:
        d = "empty file";
        return;
    case 1:
        b = e + e + "  \t" + e + " ";
        d = "blank lines only";
        return;
    case 2:
        b = "[LOC]" + std::string(Chance(rng, 50) ? e : "");
        d = "[LOC] and nothing in it";
        return;
    case 3:
        b = "XLOC=" + x + e + "YLOC=" + y + e;
        d = "keys without a section";
        return;
    case 4:
        b = "XLOC=" + x + e + "YLOC=" + y + e + "[LOC]" + e;
        d = "keys before an empty [LOC]";
        return;
    case 5:
        b = "[LOC]" + e + "YLOC=" + y + e;
        d = "no XLOC";
        return;
    case 6:
        b = "[LOC]" + e + "XLOC=" + x + e;
        d = "no YLOC";
        return;
    case 7:
        b = LocFile(x, y, e) + LocFile(x2, y2, e);
        d = "[LOC] twice";
        return;
    case 8:
        b = "[LOC]" + e + "XLOC=" + x + e + "YLOC=" + y + e + "XLOC=" + x2 + e + "YLOC=" + y2 + e;
        d = "each key twice";
        return;
    case 9:
        b = "[OTHER]" + e + "XLOC=" + x + e + "YLOC=" + y + e + "[LOC]" + e + "ZLOC=1" + e;
        d = "the keys in another section";
        return;
    case 10:
        b = std::string(PickOf(rng, {"[loc]", "[Loc]", "[lOC]"})) + e +
            PickOf(rng, {"xloc=", "Xloc=", "xLOC="}) + x + e + PickOf(rng, {"yloc=", "YLoc="}) + y +
            e;
        d = "names in other cases";
        return;
    case 11:
        b = std::string(PickOf(rng, {" [LOC] ", "\t[LOC]", "[ LOC ]", "[LOC ]"})) + e +
            "  XLOC  =  " + x + "  " + e + "\tYLOC\t=\t" + y + "\t" + e;
        d = "spaces and tabs around names";
        return;
    case 12:
        b = std::string(PickOf(rng, {"[LOC", "LOC]", "[[LOC]]", "[]", "[LOC]]"})) + e +
            "XLOC=" + x + e + "YLOC=" + y + e;
        d = "a broken section header";
        return;
    case 13:
        b = "[LOC]\rXLOC=" + x + "\rYLOC=" + y + "\r";
        d = "CR line ends";
        return;
    case 14: {
        b = LocFile(x, y, e);
        size_t at = Below(rng, static_cast<int>(b.size()) + 1);
        b.insert(at, 1, '\0');
        d = "a NUL byte at " + std::to_string(at);
        return;
    }
    case 15:
        b = "[LOC]" + e + "XLOC=" + x + e + "YLOC=" + y;
        d = "no line end after YLOC";
        return;
    case 16:
        for (int i = 0; i < 200; ++i)
            b += "[S" + std::to_string(i) + "]" + e + "XLOC=" + std::to_string(i) + e;
        b += LocFile(x, y, e);
        d = "200 sections before [LOC]";
        return;
    case 17:
        b = "[LOC]" + e + PickOf(rng, {"XLOC ", "XLOC:", "XLOC\t", "XLOC"}) + x + e +
            PickOf(rng, {"YLOC ", "YLOC:", "YLOC="}) + y + e;
        d = "keys without '='";
        return;
    case 18:
        b = "[LOC]" + e + PickOf(rng, {";", "#", "//"}) + "XLOC=" + x + e + "YLOC=" + y + e;
        d = "XLOC commented out";
        return;
    case 19:
        b = "[LOC]" + e + "=" + x + e + "XLOC==" + x + e + "YLOC=" + y + e;
        d = "an empty key and '=='";
        return;
    case 20:
        b = "[LOC]" + e + "XLOC=" + x + e + "[OTHER]" + e + "[LOC]" + e + "YLOC=" + y + e;
        d = "XLOC and YLOC in two [LOC] sections";
        return;
    case 21:
        b = "[LOC]\r\nXLOC=" + x + "\nYLOC=" + y + "\r";
        d = "mixed line ends";
        return;
    case 22:
        b = std::string(PickOf(rng, {"[LOC]junk", "[LOC] ; note", "[LOC]=1", "[LOC][X]"})) + e +
            "XLOC=" + x + e + "YLOC=" + y + e;
        d = "text after the section header";
        return;
    default:
        b = "[LOC]" + e + "XLOC=" + PickOf(rng, {"\"", "'", "\"\""}) + x + e + "YLOC='" + y + "'" +
            e;
        d = "quotes around values";
        return;
    }
}

void MakeLongLines(Rng &rng, SettingsCase *c) {
    std::string e = Eol(rng);
    size_t n = 10000 + Below(rng, 60000);
    std::string x = SafeNumber(rng);
    std::string y = SafeNumber(rng);
    std::string &b = c->bytes;
    std::string what;
    switch (Below(rng, 11)) {
    case 0:
        b = ";" + RandomText(rng, n) + e + LocFile(x, y, e);
        // RandomText breaks lines; a comment of one line it must stay.
        for (size_t i = 1; i < n; ++i)
            if (b[i] == '\r' || b[i] == '\n')
                b[i] = ' ';
        what = "comment line before [LOC]";
        break;
    case 1:
        b = LocFile(Digits(rng, static_cast<int>(n)), y, e);
        what = "digits for XLOC";
        break;
    case 2:
        b = LocFile(std::string(n, ' ') + x, y, e);
        what = "spaces, then a place in reach, for XLOC";
        break;
    case 3:
        b = LocFile(std::string(n, '0') + x, y, e);
        what = "zeros, then a place in reach, for XLOC";
        break;
    case 4:
        b = "[LOC]" + e + std::string(n, 'K') + "=1" + e + "XLOC=" + x + e + "YLOC=" + y + e;
        what = "key name in [LOC]";
        break;
    case 5:
        b = "[" + std::string(n, 'S') + "]" + e + "XLOC=1" + e + LocFile(x, y, e);
        what = "section name before [LOC]";
        break;
    case 6:
        b = "[LOC]" + e + "XLOC=" + x + e + std::string(n, '#') + e + "YLOC=" + y + e;
        what = "line between XLOC and YLOC";
        break;
    case 7:
        b = LocFile(x, y, e) + "[T]" + e + "V=" + std::string(n, 'v');
        what = "last line, with no line end";
        break;
    case 8:
        for (int i = 0; b.size() < n; ++i)
            b += "K" + std::to_string(i) + "=" + std::to_string(i) + e;
        b = "[LOC]" + e + b + "XLOC=" + x + e + "YLOC=" + y + e;
        what = "of short lines in [LOC], before the keys";
        break;
    case 9:
        n = 65536 + Below(rng, 64);
        b = LocFile(x, y, e) + RandomText(rng, 64) + std::string(n, 'z') + e;
        what = "line just past 64 KiB after [LOC]";
        break;
    default:
        b = LocFile(x, std::string(n, 'y'), e);
        what = "letters for YLOC";
        break;
    }
    c->description = std::to_string(n) + " bytes: " + what + ", " + EolName(e);
}

// Each byte as one UTF-16 unit.
std::string Utf16(const std::string &text, bool bigEndian) {
    std::string wide;
    for (char c : text) {
        char unit[2] = {c, '\0'};
        if (bigEndian)
            wide += std::string(1, '\0') + c;
        else
            wide.append(unit, 2);
    }
    return wide;
}

std::string Unit(unsigned value, bool bigEndian) {
    char lo = static_cast<char>(value & 0xff);
    char hi = static_cast<char>(value >> 8);
    return bigEndian ? std::string(1, hi) + lo : std::string(1, lo) + hi;
}

const char kUtf16LeBom[] = "\xff\xfe";
const char kUtf16BeBom[] = "\xfe\xff";
const char kUtf8Bom[] = "\xef\xbb\xbf";

// A [LOC] file whose values hold characters that only UTF-16 can carry.
std::string WideValues(Rng &rng, const std::string &eol, std::string *what) {
    static const unsigned kUnits[] = {0xff11, 0x0661, 0x06f1, 0x0966, 0x00b2,
                                      0x2212, 0xfeff, 0x0000, 0xd800, 0xdc00};
    unsigned unit = kUnits[Below(rng, static_cast<int>(sizeof kUnits / sizeof kUnits[0]))];
    char name[16];
    snprintf(name, sizeof name, "U+%04X", unit);
    *what = std::string("XLOC with ") + name;
    std::string x = SafeNumber(rng);
    size_t at = Below(rng, static_cast<int>(x.size()) + 1);
    std::string before = Utf16("[LOC]" + eol + "XLOC=" + x.substr(0, at), false);
    std::string after = Utf16(x.substr(at) + eol + "YLOC=" + SafeNumber(rng) + eol, false);
    return before + Unit(unit, false) + after;
}

void MakeUnicode(Rng &rng, SettingsCase *c) {
    std::string e = Eol(rng);
    std::string what;
    std::string good = LocFile(SafeNumber(rng), SafeNumber(rng), e);
    std::string odd = LocFile(ValueText(rng, &what), ValueText(rng, &what), e);
    std::string text = Chance(rng, 50) ? good : odd;
    std::string &b = c->bytes;
    std::string &d = c->description;
    switch (Below(rng, 12)) {
    case 0:
        b = kUtf16LeBom + Utf16(text, false);
        d = "UTF-16LE with its BOM";
        break;
    case 1:
        b = kUtf16BeBom + Utf16(text, true);
        d = "UTF-16BE with its BOM";
        break;
    case 2:
        b = Chance(rng, 50) ? kUtf16LeBom : kUtf16BeBom;
        d = "a UTF-16 BOM alone";
        break;
    case 3:
        b = kUtf16LeBom + text;
        d = "UTF-16LE BOM before 8-bit text";
        break;
    case 4:
        b = kUtf16LeBom + Utf16(text, false) + "\x0a";
        d = "UTF-16LE with a stray last byte";
        break;
    case 5:
        b = kUtf8Bom + text;
        d = "UTF-8 with its BOM";
        break;
    case 6:
        b = Utf16(text, false);
        d = "UTF-16LE without a BOM";
        break;
    case 7:
        b = kUtf16LeBom + WideValues(rng, e, &d);
        break;
    case 8: {
        size_t n = 10000 + Below(rng, 20000);
        b = kUtf16LeBom + Utf16(std::string(n, ';') + e + good, false);
        d = "UTF-16LE, a " + std::to_string(n) + "-character line before [LOC]";
        break;
    }
    case 9:
        b = kUtf16BeBom + Utf16(text, false);
        d = "UTF-16BE BOM before UTF-16LE text";
        break;
    case 10:
        b = kUtf8Bom + std::string("[LOC]") + e + "XLOC=\xef\xbc\x91\xef\xbc\x90" + e +
            "YLOC=\xd9\xa1\xd9\xa0" + e;
        d = "UTF-8, fullwidth and Arabic-Indic digits";
        break;
    default:
        b = std::string("\xff\xfe\0\0", 4);
        for (char ch : text)
            b += std::string(1, ch) + std::string(3, '\0');
        d = "UTF-32LE with its BOM";
        break;
    }
    d += ", " + EolName(e);
}

// One value for FIRSTDAY, WEEKNUM or ONTOP: now and then a good one, mostly
// something that a lenient reader would take for "on".
std::string ChoiceValue(Rng &rng) {
    static const char *const kValues[] = {
        "1",
        "0",
        "",
        "2",
        "-1",
        "+1",
        "01",
        "10",
        "1.0",
        "0x1",
        "true",
        "TRUE",
        "yes",
        "on",
        "I",
        "l",
        "1abc",
        "1;on",
        "\"1\"1",
        "'1",
        "1 1",
        "\t1x",
        "11",
        "00",
        "-0",
        "1e0",
        "4294967297",
        "\x01",
        "1\x01",
        "\xb9",
        "\xef\xbc\x91",
        "\xd9\xa1",
        "=1",
        "1=",
        "[1]",
        "one",
        "0001",
        "1/1",
        "Monday",
        "monday",
    };
    return PickOf(rng, kValues);
}

void MakeOptions(Rng &rng, SettingsCase *c) {
    static const char *const kKeys[] = {"FIRSTDAY", "WEEKNUM", "ONTOP"};
    std::string e = Eol(rng);
    std::string options;
    // The values of each name in the order written, and the name written first.
    std::vector<std::string> values[3];
    int firstKey = -1;
    for (int k = 0; k < 3; ++k) {
        if (Chance(rng, 15))
            continue;
        std::string name = kKeys[k];
        if (Chance(rng, 10))
            for (char &ch : name)
                ch = static_cast<char>(ch | 0x20);
        firstKey = firstKey < 0 ? k : firstKey;
        values[k].push_back(ChoiceValue(rng));
        options += name + "=" + values[k].back() + e;
        if (Chance(rng, 10)) {
            values[k].push_back(ChoiceValue(rng));
            options += name + "=" + values[k].back() + e;
        }
    }
    bool read = true;
    std::string &b = c->bytes;
    switch (Below(rng, 6)) {
    case 0:
        b = LocFile(SafeNumber(rng), SafeNumber(rng), e) + "[OPTIONS]" + e + options;
        c->description = "[OPTIONS] after [LOC]";
        break;
    case 1:
        b = "[OPTIONS]" + e + options + LocFile(SafeNumber(rng), SafeNumber(rng), e);
        c->description = "[OPTIONS] before [LOC]";
        break;
    case 2:
        b = "[LOC]" + e + options + "XLOC=" + SafeNumber(rng) + e + "YLOC=" + SafeNumber(rng) + e;
        c->description = "the choices in [LOC]";
        read = false;
        break;
    case 3:
        b = LocFile(SafeNumber(rng), SafeNumber(rng), e) +
            PickOf(rng, {"[OPTION]", "[ OPTIONS ]", "[options]", "[OPTIONS", "OPTIONS"}) + e +
            options;
        c->description = "an odd [OPTIONS] header";
        // Section names are matched in any case, without the blanks
        // inside their brackets.
        read =
            b.find("[options]") != std::string::npos || b.find("[ OPTIONS ]") != std::string::npos;
        break;
    case 4:
        b = LocFile(SafeNumber(rng), SafeNumber(rng), e) + "[OPTIONS]" + e + options + "[OPTIONS]" +
            e + options;
        c->description = "[OPTIONS] twice";
        break;
    default:
        b = LocFile(SafeNumber(rng), SafeNumber(rng), e) + "[OPTIONS]" + e + ";" + options;
        c->description = "[OPTIONS] with its first line commented out";
        if (firstKey >= 0)
            values[firstKey].erase(values[firstKey].begin());
        break;
    }
    c->description += ", " + EolName(e);
    for (int k = 0; k < 3; ++k)
        c->choices[k] = read && !values[k].empty() && values[k][0] == "1";
}

struct KindCount {
    SettingsKind kind;
    int count;
};

const KindCount kCounts[kSettingsKindCount] = {
    {SettingsKind::randomBytes, 110}, {SettingsKind::numbers, 170}, {SettingsKind::structure, 110},
    {SettingsKind::longLines, 50},    {SettingsKind::unicode, 60},  {SettingsKind::readOnlyFile, 6},
    {SettingsKind::directory, 2},     {SettingsKind::options, 60},
};

} // namespace

std::uint64_t CorpusSeed() {
    const char *text = getenv("TRICAL_CORPUS_SEED");
    if (!text || !*text)
        return kDefaultCorpusSeed;
    return strtoull(text, nullptr, 0);
}

const char *KindName(SettingsKind kind) {
    switch (kind) {
    case SettingsKind::randomBytes:
        return "random bytes";
    case SettingsKind::numbers:
        return "numbers";
    case SettingsKind::structure:
        return "structure";
    case SettingsKind::longLines:
        return "long lines";
    case SettingsKind::unicode:
        return "unicode";
    case SettingsKind::readOnlyFile:
        return "read-only file";
    case SettingsKind::directory:
        return "directory";
    case SettingsKind::options:
        return "options";
    }
    return "?";
}

int SettingsCaseCount() {
    int total = 0;
    for (const KindCount &k : kCounts)
        total += k.count;
    return total;
}

void SettingsCaseRange(SettingsKind kind, int *first, int *end) {
    *first = 0;
    for (const KindCount &k : kCounts) {
        if (k.kind == kind) {
            *end = *first + k.count;
            return;
        }
        *first += k.count;
    }
    *end = *first;
}

SettingsCase MakeSettingsCase(std::uint64_t seed, int index) {
    SettingsCase c = {SettingsKind::randomBytes, "", "", {false, false, false}};
    int first = 0;
    for (const KindCount &k : kCounts) {
        if (index < first + k.count) {
            c.kind = k.kind;
            break;
        }
        first += k.count;
    }
    Rng rng = {seed ^ (static_cast<std::uint64_t>(index) + 1) * 0xd1b54a32d192ed03ULL};
    Next(rng);
    switch (c.kind) {
    case SettingsKind::randomBytes:
        MakeRandomBytes(rng, &c);
        break;
    case SettingsKind::numbers:
        MakeNumbers(rng, &c);
        break;
    case SettingsKind::structure:
        MakeStructure(rng, &c);
        break;
    case SettingsKind::longLines:
        MakeLongLines(rng, &c);
        break;
    case SettingsKind::unicode:
        MakeUnicode(rng, &c);
        break;
    case SettingsKind::options:
        MakeOptions(rng, &c);
        break;
    case SettingsKind::readOnlyFile:
    case SettingsKind::directory: {
        // The content of one of the other sorts, in turn.
        SettingsCase inner = {};
        void (*const makers[])(Rng &, SettingsCase *) = {MakeNumbers, MakeStructure,
                                                         MakeRandomBytes, MakeUnicode};
        makers[(index - first) % 4](rng, &inner);
        c.bytes = inner.bytes;
        c.description = "holding " + inner.description;
        break;
    }
    }
    return c;
}

std::string EscapeBytes(const std::string &bytes, size_t limit) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes.size() > limit && i == limit / 2) {
            size_t skip = bytes.size() - limit;
            text += "...(" + std::to_string(skip) + " bytes)...";
            i += skip - 1;
            continue;
        }
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\')
            text += "\\\\";
        else if (c == '"')
            text += "\\\"";
        else if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\t')
            text += "\\t";
        else if (c >= 0x20 && c < 0x7f)
            text += static_cast<char>(c);
        else {
            static const char kHex[] = "0123456789abcdef";
            text += "\\x";
            text += kHex[c >> 4];
            text += kHex[c & 15];
        }
    }
    return "\"" + text + "\" (" + std::to_string(bytes.size()) + " bytes)";
}
