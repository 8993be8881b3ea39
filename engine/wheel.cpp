#include "wheel.h"

int TakeWheelNotches(int *rest, int delta) {
    if ((delta > 0 && *rest < 0) || (delta < 0 && *rest > 0))
        *rest = 0;
    // The delta's whole notches first: what is left of it and the rest, both
    // of the delta's sign and within a notch, then make at most one more,
    // and nothing overflows.
    int left = *rest + delta % kWheelNotch;
    *rest = left % kWheelNotch;
    return delta / kWheelNotch + left / kWheelNotch;
}
