// Hostile TRICAL.INI files, made from a seed and an index so that any one of
// them can be made again from the two numbers a failure prints.
#pragma once

#include <cstdint>
#include <string>

enum class SettingsKind {
    randomBytes, // noise, and good files with noise in them
    numbers,     // a well-formed [LOC] with odd values
    structure,   // sections and keys missing, doubled, misspelt or misplaced
    longLines,   // lines of tens of KB
    unicode,     // byte-order marks, UTF-16 content
    readOnlyFile,
    directory, // TRICAL.INI is a directory; the bytes go in a file inside it
    options,   // a good [LOC] and an [OPTIONS] with odd values, names and places
};
const int kSettingsKindCount = 8;

struct SettingsCase {
    SettingsKind kind;
    std::string bytes;
    std::string description;
    // Of the options kind: whether FIRSTDAY, WEEKNUM and ONTOP are on, as
    // the file was made to say. Windows' reader takes the first [OPTIONS]
    // section and the first line of each name in it, names in any case and
    // blanks around values dropped; only exactly "1" is on.
    bool choices[3];
};

const std::uint64_t kDefaultCorpusSeed = 0x74726963616c2121ULL;

// TRICAL_CORPUS_SEED (decimal, or hexadecimal with 0x) if set, else the default.
std::uint64_t CorpusSeed();

const char *KindName(SettingsKind kind);
int SettingsCaseCount();
// The indexes [*first, *end) of the cases of one kind.
void SettingsCaseRange(SettingsKind kind, int *first, int *end);
SettingsCase MakeSettingsCase(std::uint64_t seed, int index);

// The bytes as C-style escapes, shortened in the middle past `limit` bytes.
std::string EscapeBytes(const std::string &bytes, size_t limit = 160);
