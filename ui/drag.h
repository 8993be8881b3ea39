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

extern DragState dragState;

// `position` is a mouse message's lParam: signed 16-bit x and y.
void OnButtonDown(HWND dialog, LPARAM position);
void OnMouseMove(HWND dialog, LPARAM position);
void OnButtonUp(HWND dialog);
// The capture went elsewhere mid-drag: the release will never come.
void OnCaptureLost(HWND dialog);
