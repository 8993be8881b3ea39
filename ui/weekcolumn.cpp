#include "weekcolumn.h"

#include "caldlg.h"
#include "options.h"
#include "painter.h"
#include "resource.h"

// Pixels added to the left, middle and right frame.
static int added[3];

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

// `sign` 1 makes the room, -1 gives it back.
static void MoveFollowers(HWND dialog, int sign) {
    for (const Follower &f : kFollowers) {
        HWND control = GetDlgItem(dialog, f.id);
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
        int push = 0;
        for (int i = 0; i < f.pushedBy; ++i)
            push += added[i];
        int widen = f.widensWith < 0 ? 0 : added[f.widensWith];
        SetWindowPos(control, nullptr, r.left + sign * push, r.top, r.right - r.left + sign * widen,
                     r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// CAL's width in dialog units (res/trical.rc). The window is as wide as that
// comes out in the dialog's font, and the room added: worked out afresh each
// time, since Windows may have resized the window for a new DPI meanwhile.
const int kTemplateWidth = 281;

static void FitWindow(HWND dialog) {
    RECT units = {0, 0, kTemplateWidth, 0};
    MapDialogRect(dialog, &units);
    RECT window;
    RECT client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    int width =
        window.right - window.left - client.right + units.right + added[0] + added[1] + added[2];
    SetWindowPos(dialog, nullptr, 0, 0, width, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool WeekColumnShown() { return added[1] > 0; }

int WeekColumnWidth() { return added[1]; }

void FitWeekColumn(HWND dialog) {
    bool shown = WeekColumnShown();
    if (shown) {
        MoveFollowers(dialog, -1);
        added[0] = added[1] = added[2] = 0;
    }
    MeasureFrames(dialog);
    if (!gridOptions.weekNumbers) {
        if (shown)
            FitWindow(dialog);
        return;
    }
    // A column as wide as the seven the frame already holds, so the days
    // keep their spacing; measured for eight, the wider frame gives the same.
    added[0] = added[2] = sideMetrics.colWidth;
    added[1] = currentMetrics.colWidth;
    MoveFollowers(dialog, 1);
    FitWindow(dialog);
    MeasureFrames(dialog);
}

void RemoveWeekColumn(HWND dialog) {
    if (!WeekColumnShown())
        return;
    MoveFollowers(dialog, -1);
    added[0] = added[1] = added[2] = 0;
}
