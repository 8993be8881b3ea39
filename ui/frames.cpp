#include "frames.h"

#include "resource.h"
#include "syslib.h"

// Looked up rather than imported: user32 has GetDpiForWindow only from
// Windows 10 1607 on, and the program must still start on Windows 7.
int WindowDpi(HWND window) {
    using DpiForWindow = UINT(WINAPI *)(HWND);
    auto dpiForWindow =
        SystemFunction<DpiForWindow>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    if (dpiForWindow != nullptr)
        return static_cast<int>(dpiForWindow(window));
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// How a control follows the wider frames: the first `pushedBy` frames from
// the left push it right, and it widens with the frame `widensWith` (-1:
// none), so that a title stays centred over its frame.
struct Follower {
    int id;
    int pushedBy;
    int widensWith;
};

static const Follower kFollowers[] = {
    {IDC_PREVFRAME, 0, 0},
    {IDC_PREVTITLE, 0, 0},
    {IDC_CURFRAME, 1, 1},
    {IDC_CURTITLE, 1, 1},
    {IDC_NEXTFRAME, 2, 2},
    {IDC_NEXTTITLE, 2, 2},
    // Above the right frame, but kept at the window's right edge, X in its corner.
    {IDC_NEXTMONTH, 3, -1},
    {IDC_NEXTYEAR, 3, -1},
    {IDC_CLOSE, 3, -1},
};

// `sign` 1 makes the room, -1 gives it back. The dialog's client origin is
// looked up once: each control's own mapping costs the start a round trip to
// Wine's server.
static void MoveFollowers(HWND dialog, const int (&added)[3], int sign) {
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    for (const Follower &f : kFollowers) {
        HWND control = GetDlgItem(dialog, f.id);
        RECT r;
        GetWindowRect(control, &r);
        OffsetRect(&r, -origin.x, -origin.y);
        int push = 0;
        for (int i = 0; i < f.pushedBy; ++i)
            push += added[i];
        int widen = f.widensWith < 0 ? 0 : added[f.widensWith];
        SetWindowPos(control, nullptr, r.left + sign * push, r.top, r.right - r.left + sign * widen,
                     r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The window is as wide as the template comes out in the dialog's font, and
// the room added: worked out afresh each time, since Windows may have
// resized the window for a new DPI meanwhile.
static int FittedWidth(HWND dialog, const int (&added)[3]) {
    RECT units = {0, 0, CAL_TEMPLATE_WIDTH, 0};
    MapDialogRect(dialog, &units);
    RECT window;
    RECT client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    return window.right - window.left - client.right + units.right + added[0] + added[1] + added[2];
}

void FitWindowWidth(HWND dialog, int width) {
    if (width <= 0)
        return;
    RECT window;
    GetWindowRect(dialog, &window);
    SetWindowPos(dialog, nullptr, 0, 0, width, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static FrameSize SizeOf(HWND dialog, int frameId) {
    RECT client;
    GetClientRect(GetDlgItem(dialog, frameId), &client);
    return {client.right, client.bottom};
}

static bool WeekColumnShown(const FrameGeometry &geometry) { return geometry.added[1] > 0; }

FrameGeometry FitFrames(HWND dialog, const FrameGeometry &now, int dpi, bool weekNumbers,
                        int *width) {
    bool shown = WeekColumnShown(now);
    if (shown)
        MoveFollowers(dialog, now.added, -1);
    FrameGeometry fitted = MeasureFrames(SizeOf(dialog, IDC_CURFRAME),
                                         SizeOf(dialog, IDC_PREVFRAME), dpi, weekNumbers);
    if (weekNumbers)
        MoveFollowers(dialog, fitted.added, 1);
    *width = weekNumbers || shown ? FittedWidth(dialog, fitted.added) : 0;
    return fitted;
}

FrameGeometry RemoveWeekColumn(HWND dialog, const FrameGeometry &now) {
    FrameGeometry removed = now;
    if (!WeekColumnShown(now))
        return removed;
    MoveFollowers(dialog, now.added, -1);
    removed.added[0] = removed.added[1] = removed.added[2] = 0;
    return removed;
}
