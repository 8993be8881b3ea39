// Apart from the palette: only the tests measure contrast, and the
// calendar's executable leaves this file, and pow() with it, out.
#include "palette.h"

#include <cmath>

static double Channel(Colour colour, int shift) {
    double value = static_cast<double>((colour >> shift) & 0xFF) / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

static double Luminance(Colour colour) {
    return 0.2126 * Channel(colour, 0) + 0.7152 * Channel(colour, 8) + 0.0722 * Channel(colour, 16);
}

double ContrastRatio(Colour a, Colour b) {
    double la = Luminance(a);
    double lb = Luminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}
