// Mouse wheels report turns in parts of a notch: a plain wheel a whole notch
// at a time, touchpads and fine wheels in smaller parts that must add up.
#pragma once

const int kWheelNotch = 120;

// Adds a turn of `delta` to what is left over in *rest and takes out the
// whole notches, positive for turns away from the user. A turn the other way
// first drops what was left over, so half a notch one way and half the other
// way is no step.
int TakeWheelNotches(int *rest, int delta);
