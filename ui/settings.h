// Which TRICAL.INI the calendar keeps its settings in, and reading and
// writing one value of it.
#pragma once

#include <windows.h>

// A TRICAL.INI beside trical.exe when one stands there (a calendar carried
// on a stick), otherwise the user's own, %APPDATA%\Trical\TRICAL.INI.
// `path` holds MAX_PATH; false when neither can be found.
bool SettingsFile(wchar_t *path);
// The folder that file is in, which may not exist yet, without a
// backslash at its end.
bool SettingsFolder(wchar_t *path);

// The file the start reads its settings from: the settings file once it
// exists; until then the file an older Trical kept in the Windows folder, or
// Windows' per-user copy of it, so that an update keeps the user's place.
// `path` holds MAX_PATH; false when there is no file to read. Found once
// for all the values the start reads, as each look costs a few calls.
bool SettingsFileToRead(wchar_t *path);

const int kSectionSize = 1024;

// One section of the file the start reads, read in one piece: each opening
// of the file costs the start as much as a move of the window.
struct SettingsSection {
    const wchar_t *file;
    const wchar_t *name;
    // The section's "name=value" lines; where they did not all fit (`whole`
    // false), each value is read from the file after all.
    wchar_t block[kSectionSize];
    DWORD length;
    bool whole;
};

// Section `name` of `file` (nullptr: none, so every value is missing).
void ReadSection(const wchar_t *file, const wchar_t *name, SettingsSection *section);

// Reads one value of the section, or `fallback` where it is missing, as
// ASCII into `text`. False when there is no file or the value does not fit
// `size`.
bool ReadSetting(const SettingsSection &section, const wchar_t *key, const wchar_t *fallback,
                 char *text, int size);

// Writes one value to the settings file, making its folder first; a
// `value` of nullptr takes the key out. A write that fails changes
// nothing, and is not reported.
void WriteSetting(const wchar_t *section, const wchar_t *key, const char *value);
