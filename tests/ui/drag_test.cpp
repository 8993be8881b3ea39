#include "drag.h"

#include <gtest/gtest.h>

namespace {

// The test window's, as the calendar's is its dialog's.
DragState drag;

LRESULT CALLBACK TestWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CAPTURECHANGED)
        OnCaptureLost(&drag);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(int x, int y) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWndProc;
    windowClass.lpszClassName = "DragTestWindow";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "DragTestWindow", "", WS_POPUP | WS_VISIBLE, x, y, 428, 172, nullptr,
                           nullptr, nullptr, nullptr);
}

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

POINT TopLeft(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

} // namespace

TEST(Drag, MovesByTheTravelIncludingLeftAndUp) {
    HWND window = MakeWindow(300, 200);
    OnButtonDown(window, &drag, At(50, 40));
    EXPECT_TRUE(drag.dragging);
    EXPECT_EQ(window, GetCapture());
    OnMouseMove(window, &drag, At(30, 10));
    OnMouseMove(window, &drag, At(-20, -35)); // beyond the window: negative client coordinates
    EXPECT_EQ(230, drag.dragRect.left);
    EXPECT_EQ(125, drag.dragRect.top);
    OnButtonUp(window, &drag);
    EXPECT_FALSE(drag.dragging);
    EXPECT_EQ(nullptr, drag.screenDC);
    EXPECT_EQ(nullptr, GetCapture());
    POINT at = TopLeft(window);
    EXPECT_EQ(230, at.x);
    EXPECT_EQ(125, at.y);
    DestroyWindow(window);
}

TEST(Drag, ClickWithoutMotionAndReleaseWithoutPressStayPut) {
    HWND window = MakeWindow(100, 100);
    OnButtonDown(window, &drag, At(10, 10));
    OnButtonUp(window, &drag);
    OnButtonUp(window, &drag);
    POINT at = TopLeft(window);
    EXPECT_EQ(100, at.x);
    EXPECT_EQ(100, at.y);
    EXPECT_EQ(nullptr, GetCapture());
    DestroyWindow(window);
}

TEST(Drag, LostCaptureEndsTheDragWhereItWas) {
    HWND window = MakeWindow(100, 100);
    HWND thief = MakeWindow(600, 500);
    OnButtonDown(window, &drag, At(10, 10));
    OnMouseMove(window, &drag, At(60, 70));
    SetCapture(thief); // the calendar gets WM_CAPTURECHANGED
    EXPECT_FALSE(drag.dragging);
    EXPECT_EQ(nullptr, drag.screenDC);
    OnMouseMove(window, &drag, At(90, 90)); // no drag any more: nothing follows the mouse
    OnButtonUp(window, &drag);
    POINT at = TopLeft(window);
    EXPECT_EQ(100, at.x);
    EXPECT_EQ(100, at.y);
    ReleaseCapture();
    DestroyWindow(thief);
    DestroyWindow(window);
}

TEST(Drag, PressWhileStillDraggingStartsAfresh) {
    HWND window = MakeWindow(100, 100);
    OnButtonDown(window, &drag, At(10, 10));
    OnMouseMove(window, &drag, At(200, 200));
    OnButtonDown(window, &drag, At(20, 20)); // the earlier release never came
    EXPECT_TRUE(drag.dragging);
    EXPECT_FALSE(drag.moved);
    EXPECT_EQ(100, drag.dragRect.left);
    OnMouseMove(window, &drag, At(25, 30));
    OnButtonUp(window, &drag);
    POINT at = TopLeft(window);
    EXPECT_EQ(105, at.x);
    EXPECT_EQ(110, at.y);
    DestroyWindow(window);
}
