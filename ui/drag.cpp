#include "drag.h"

DragState dragState;

static int SignedLow(LPARAM value) { return static_cast<short>(LOWORD(value)); }
static int SignedHigh(LPARAM value) { return static_cast<short>(HIWORD(value)); }

// Ends a drag without moving the window: the outline comes off the screen
// and the screen DC goes back, exactly once.
static void AbandonDrag() {
    if (!dragState.dragging)
        return;
    DrawFocusRect(dragState.screenDC, &dragState.dragRect);
    ReleaseDC(nullptr, dragState.screenDC);
    dragState.screenDC = nullptr;
    dragState.dragging = false;
}

void OnButtonDown(HWND dialog, LPARAM position) {
    // A press while still dragging means the last release went elsewhere.
    AbandonDrag();
    SetCapture(dialog);
    dragState.screenDC = GetDC(nullptr);
    dragState.moved = false;
    dragState.dragging = true;
    dragState.lastX = SignedLow(position);
    dragState.lastY = SignedHigh(position);
    GetWindowRect(dialog, &dragState.dragRect);
    DrawFocusRect(dragState.screenDC, &dragState.dragRect);
}

void OnMouseMove(HWND /*dialog*/, LPARAM position) {
    if (!dragState.dragging)
        return;
    dragState.moved = true;
    DrawFocusRect(dragState.screenDC, &dragState.dragRect);
    int x = SignedLow(position);
    int y = SignedHigh(position);
    OffsetRect(&dragState.dragRect, x - dragState.lastX, y - dragState.lastY);
    DrawFocusRect(dragState.screenDC, &dragState.dragRect);
    dragState.lastX = x;
    dragState.lastY = y;
}

void OnButtonUp(HWND dialog) {
    // Clear `dragging` first: releasing the capture sends WM_CAPTURECHANGED,
    // which must not abandon the drag we are finishing.
    bool finishing = dragState.dragging;
    dragState.dragging = false;
    ReleaseCapture();
    if (!finishing)
        return;
    const RECT &r = dragState.dragRect;
    DrawFocusRect(dragState.screenDC, &r);
    if (dragState.moved)
        SetWindowPos(dialog, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER);
    ReleaseDC(nullptr, dragState.screenDC);
    dragState.screenDC = nullptr;
    if (dragState.moved)
        RedrawWindow(dialog, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}

void OnCaptureLost(HWND /*dialog*/) { AbandonDrag(); }
