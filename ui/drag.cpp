#include "drag.h"

static int SignedLow(LPARAM value) { return static_cast<short>(LOWORD(value)); }
static int SignedHigh(LPARAM value) { return static_cast<short>(HIWORD(value)); }

// Ends a drag without moving the window: the outline comes off the screen
// and the screen DC goes back, exactly once.
static void AbandonDrag(DragState *drag) {
    if (!drag->dragging)
        return;
    DrawFocusRect(drag->screenDC, &drag->dragRect);
    ReleaseDC(nullptr, drag->screenDC);
    drag->screenDC = nullptr;
    drag->dragging = false;
}

void OnButtonDown(HWND dialog, DragState *drag, LPARAM position) {
    // A press while still dragging means the last release went elsewhere.
    AbandonDrag(drag);
    SetCapture(dialog);
    drag->screenDC = GetDC(nullptr);
    drag->moved = false;
    drag->dragging = true;
    drag->lastX = SignedLow(position);
    drag->lastY = SignedHigh(position);
    GetWindowRect(dialog, &drag->dragRect);
    DrawFocusRect(drag->screenDC, &drag->dragRect);
}

void OnMouseMove(HWND /*dialog*/, DragState *drag, LPARAM position) {
    if (!drag->dragging)
        return;
    drag->moved = true;
    DrawFocusRect(drag->screenDC, &drag->dragRect);
    int x = SignedLow(position);
    int y = SignedHigh(position);
    OffsetRect(&drag->dragRect, x - drag->lastX, y - drag->lastY);
    DrawFocusRect(drag->screenDC, &drag->dragRect);
    drag->lastX = x;
    drag->lastY = y;
}

void OnButtonUp(HWND dialog, DragState *drag) {
    // Clear `dragging` first: releasing the capture sends WM_CAPTURECHANGED,
    // which must not abandon the drag we are finishing.
    bool finishing = drag->dragging;
    drag->dragging = false;
    ReleaseCapture();
    if (!finishing)
        return;
    const RECT &r = drag->dragRect;
    DrawFocusRect(drag->screenDC, &r);
    if (drag->moved)
        SetWindowPos(dialog, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER);
    ReleaseDC(nullptr, drag->screenDC);
    drag->screenDC = nullptr;
    if (drag->moved)
        RedrawWindow(dialog, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}

void OnCaptureLost(DragState *drag) { AbandonDrag(drag); }
