#include "wheel.h"

int TakeWheelNotches(int *rest, int delta) {
    if ((delta > 0 && *rest < 0) || (delta < 0 && *rest > 0))
        *rest = 0;
    // Kept within one notch, so the sum cannot overflow.
    long long sum = static_cast<long long>(*rest) + delta;
    long long notches = sum / kWheelNotch;
    *rest = static_cast<int>(sum - notches * kWheelNotch);
    return static_cast<int>(notches);
}
