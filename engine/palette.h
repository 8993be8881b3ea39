// The calendar's colours for the user's theme: the system's light look, a
// dark one when Windows is dark, and the system's own colours alone when a
// high-contrast theme is on. Colours are 0x00BBGGRR, as Windows keeps them.
#pragma once

#include <cstdint>

using Colour = std::uint32_t;

constexpr Colour MakeColour(int red, int green, int blue) {
    return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 |
           static_cast<Colour>(blue) << 16;
}

// The system colours a palette may take: button face, grey text, window,
// window text, and the highlight pair.
struct SystemColours {
    Colour face;
    Colour grayText;
    Colour window;
    Colour windowText;
    Colour highlight;
    Colour highlightText;
};

struct Palette {
    // Whether the calendar draws its window, frames and buttons itself
    // (dark); otherwise the system draws them as it always did.
    bool dark;
    // The panels: their ground, the days, today (on its own ground, which
    // is `ground` but in high contrast), the weekday letters, the weeks.
    Colour ground;
    Colour text;
    Colour today;
    Colour todayGround;
    Colour letters;
    Colour weeks;
    // Only while dark: the buttons at rest and pressed, and the edges of
    // buttons, frames and window.
    Colour button;
    Colour pressed;
    Colour edge;
};

// High contrast wins over the app mode: a user who needs it gets the
// theme's colours and nothing of ours.
Palette ChoosePalette(bool dark, bool highContrast, const SystemColours &system);

bool SamePalette(const Palette &a, const Palette &b);

// The WCAG 2 contrast ratio of two colours, from 1 (the same) to 21.
double ContrastRatio(Colour a, Colour b);
