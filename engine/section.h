// One section of a settings file, read in one piece: each value the start
// needs is then found in memory rather than by opening the file again.
#pragma once

#include <cstddef>

// The value GetPrivateProfileStringW gives for `key`, found in `block`, the
// section as GetPrivateProfileSectionW gives it: `length` characters of
// "name=value" lines, each ended by a NUL. The first line whose name, less
// the blanks around it, is `key` in any case decides; a line of that name
// without "=" has no value, as has a missing one (nullptr). The value comes
// less the blanks around it and one pair of quotes around the whole of it.
const wchar_t *SectionValue(const wchar_t *block, size_t length, const wchar_t *key,
                            size_t *valueLength);
