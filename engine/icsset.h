// The event set's index, made again by the reader after each text.
#pragma once

#include "ics.h"

void IndexEvents(EventSet *set);
