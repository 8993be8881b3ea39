// The screen's pixels, and the sign of a calendar's first paint read from
// them. Shared by the driver, session_probe.exe and the benchmark's driver,
// which all wait for that sign alike.
#pragma once

#include <windows.h>

#include <vector>

struct Picture {
    int width;
    int height;
    std::vector<COLORREF> pixels;
};

inline COLORREF PixelAt(const Picture &picture, int x, int y) {
    return picture.pixels[static_cast<size_t>(y) * picture.width + x];
}

// The pixels `draw` leaves on a fresh 32-bit bitmap of that size, selected
// into a memory DC it is given; empty where anything fails.
template <typename Draw> Picture DrawnPicture(int width, int height, Draw draw) {
    Picture picture = {width, height, {}};
    if (width > 0 && height > 0) {
        HDC memory = CreateCompatibleDC(nullptr);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void *bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap && bits) {
            HGDIOBJ previous = SelectObject(memory, bitmap);
            if (draw(memory)) {
                GdiFlush();
                const DWORD *row = static_cast<const DWORD *>(bits);
                picture.pixels.resize(static_cast<size_t>(width) * height);
                for (size_t i = 0; i < picture.pixels.size(); ++i) {
                    DWORD p = row[i];
                    picture.pixels[i] = RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
                }
            }
            SelectObject(memory, previous);
            DeleteObject(bitmap);
        }
        DeleteDC(memory);
    }
    if (picture.pixels.empty())
        picture.width = picture.height = 0;
    return picture;
}

inline Picture CaptureScreen(const RECT &area) {
    HDC screen = GetDC(nullptr);
    Picture picture = DrawnPicture(area.right - area.left, area.bottom - area.top, [&](HDC memory) {
        return BitBlt(memory, 0, 0, area.right - area.left, area.bottom - area.top, screen,
                      area.left, area.top, SRCCOPY);
    });
    ReleaseDC(nullptr, screen);
    return picture;
}

// Today's red, light (255, 0, 0) or dark (255, 92, 92), where the digits are
// drawn in it and not blended with the ground at their edges.
inline bool TodaysRed(COLORREF c) {
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return r >= 224 && g <= 100 && b <= 100 && g == b;
}

// A calendar's first paint is seen once today's digits show in today's red
// inside its middle frame (which shows today's month at the start). Where
// that frame is not wholly on the screen, no pixel can tell: there the
// window's own word stands for them, shown with nothing left to paint.
inline bool FirstPaintSeen(HWND dialog) {
    const int kMiddleFrame = 1069;
    HWND frame = GetDlgItem(dialog, kMiddleFrame);
    RECT area = {};
    if (frame == nullptr || IsWindowVisible(dialog) == FALSE ||
        GetWindowRect(frame, &area) == FALSE)
        return false;
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    RECT screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                   top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    RECT shown = {};
    IntersectRect(&shown, &area, &screen);
    if (EqualRect(&shown, &area) == FALSE)
        return GetUpdateRect(dialog, nullptr, FALSE) == FALSE;
    Picture picture = CaptureScreen(area);
    for (COLORREF c : picture.pixels)
        if (TodaysRed(c))
            return true;
    return false;
}
