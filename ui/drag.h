// Moving the captionless calendar by dragging its body.
#pragma once

#include <windows.h>

struct DragState {
    bool dragging;
    bool moved;
    HDC screenDC;
    int lastX;
    int lastY;
    RECT dragRect;
};

// `position` is a mouse message's lParam: signed 16-bit x and y. The
// state is the dialog's, kept from the press to the release.
void OnButtonDown(HWND dialog, DragState *drag, LPARAM position);
void OnMouseMove(HWND dialog, DragState *drag, LPARAM position);
void OnButtonUp(HWND dialog, DragState *drag);
// The capture went elsewhere mid-drag: the release will never come.
void OnCaptureLost(DragState *drag);
