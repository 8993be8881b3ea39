// The calendar's frames at the window's DPI: the panels' measure, room for
// the week column, and the window as wide as its frames.
#pragma once

#include <windows.h>

#include "layout.h"

// Pixels per inch of the monitor the window is on, or of the system before
// Windows 10 1607.
int WindowDpi(HWND window);

// Gives back the room `now` made, makes the room `weekNumbers` asks for and
// measures the panels at `dpi`. The window's width to fit goes to `width`
// (0: it keeps its own), for the caller to set, at the start together with
// its place.
FrameGeometry FitFrames(HWND dialog, const FrameGeometry &now, int dpi, bool weekNumbers,
                        int *width);

// The width FitFrames gave the window (0: none, so it keeps its own).
void FitWindowWidth(HWND dialog, int width);

// Before Windows rescales the dialog for a new DPI: the controls go back to
// the template's layout, for FitFrames to make room again at the new DPI.
// The window keeps its width until then.
FrameGeometry RemoveWeekColumn(HWND dialog, const FrameGeometry &now);
