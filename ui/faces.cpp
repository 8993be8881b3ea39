#include "faces.h"

#include <cwchar>

static bool Covers(HDC dc, const wchar_t *face, const wchar_t *text, int length) {
    HFONT font =
        CreateFontW(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    if (font == nullptr)
        return false;
    HGDIOBJ previous = SelectObject(dc, font);
    bool covered = true;
    for (int at = 0; covered && at < length; at += 64) {
        WORD glyphs[64];
        int count = length - at < 64 ? length - at : 64;
        // Where the face lacks one, or is a bitmap font that cannot say.
        covered = GetGlyphIndicesW(dc, text + at, count, glyphs, GGI_MARK_NONEXISTING_GLYPHS) ==
                  static_cast<DWORD>(count);
        for (int i = 0; covered && i < count; ++i)
            covered = glyphs[i] != 0xFFFF;
    }
    SelectObject(dc, previous);
    DeleteObject(font);
    return covered;
}

// A memory DC of the screen's: the screen's own costs the start a round
// trip to Wine's server.
const wchar_t *FaceFor(const wchar_t *text, const wchar_t *const faces[], int count) {
    HDC dc = CreateCompatibleDC(nullptr);
    int length = static_cast<int>(wcslen(text));
    int chosen = 0;
    while (chosen < count - 1 && !Covers(dc, faces[chosen], text, length))
        ++chosen;
    DeleteDC(dc);
    return faces[chosen];
}
