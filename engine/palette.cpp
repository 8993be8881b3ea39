#include "palette.h"

// The ground of Windows' own dark windows. Red and blue are lightened until
// each reads at 4.5:1 or better on it; the edges are there to be seen, not
// read (3:1). A constant of its own, so that it is not writable data.
static const Palette kDark = {true,
                              MakeColour(32, 32, 32),
                              MakeColour(240, 240, 240),
                              MakeColour(255, 92, 92),
                              MakeColour(32, 32, 32),
                              MakeColour(90, 160, 255),
                              MakeColour(160, 160, 160),
                              MakeColour(51, 51, 51),
                              MakeColour(24, 24, 24),
                              MakeColour(106, 106, 106)};

Palette ChoosePalette(bool dark, bool highContrast, const SystemColours &system) {
    if (highContrast)
        return {false,
                system.window,
                system.windowText,
                system.highlightText,
                system.highlight,
                system.windowText,
                system.grayText,
                system.face,
                system.face,
                system.windowText};
    if (!dark)
        return {false,       system.face,           MakeColour(0, 0, 0), MakeColour(255, 0, 0),
                system.face, MakeColour(0, 0, 255), system.grayText,     system.face,
                system.face, system.windowText};
    return kDark;
}

bool SamePalette(const Palette &a, const Palette &b) {
    return a.dark == b.dark && a.ground == b.ground && a.text == b.text && a.today == b.today &&
           a.todayGround == b.todayGround && a.letters == b.letters && a.weeks == b.weeks &&
           a.button == b.button && a.pressed == b.pressed && a.edge == b.edge;
}
