// Which face can write a region's names where the calendar's own cannot:
// MS Sans Serif and Arial have no Japanese, say.
#pragma once

#include <windows.h>

// The first of `faces` that has a glyph for each character of `text`, or
// the last one, which Windows is to link to fonts that have them.
const wchar_t *FaceFor(const wchar_t *text, const wchar_t *const faces[], int count);
