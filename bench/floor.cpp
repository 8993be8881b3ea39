// The floor of the benchmarks: the calendar's own dialog template as a bare
// dialog that paints nothing. It sets the three titles once, so that the
// driver sees the same sign of a first paint as from trical, and on a month
// step writes as many strings into one frame as trical writes into three.
#include <windows.h>

#include "resource.h"
#include "view.h"

static CalendarView view;

static void ShowTitles(HWND dialog) {
    MonthOfYear prev = PrevNeighbour(view);
    MonthOfYear next = NextNeighbour(view);
    SetDlgItemTextA(dialog, IDC_CURTITLE, Title(view.shownMonth, view.shownYear).text);
    SetDlgItemTextA(dialog, IDC_PREVTITLE, Title(prev.month, prev.year).text);
    SetDlgItemTextA(dialog, IDC_NEXTTITLE, Title(next.month, next.year).text);
}

// The weekday letters of the middle panel and the days of all three months.
static int TextsPerRepaint() {
    MonthOfYear prev = PrevNeighbour(view);
    MonthOfYear next = NextNeighbour(view);
    return 7 + DaysInMonth(prev.month + 1, prev.year) +
           DaysInMonth(view.shownMonth + 1, view.shownYear) +
           DaysInMonth(next.month + 1, next.year);
}

static void Step(HWND dialog, void (*step)(CalendarView &)) {
    step(view);
    HWND frame = GetDlgItem(dialog, IDC_CURFRAME);
    HDC dc = GetDC(frame);
    int count = TextsPerRepaint();
    for (int i = 0; i < count; ++i) {
        char text[12];
        int length = FormatInt(i % 31 + 1, text);
        TextOutA(dc, 10 + (i % 7) * 13, 20 + (i / 7 % 6) * 10, text, length);
    }
    ReleaseDC(frame, dc);
}

static INT_PTR CALLBACK FloorDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (message == WM_INITDIALOG) {
        ShowTitles(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_PREVMONTH:
        Step(dialog, PrevMonth);
        break;
    case IDC_NEXTMONTH:
        Step(dialog, NextMonth);
        break;
    case IDC_CLOSE:
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previousInstance*/, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
    Init(view);
    DialogBoxParamA(instance, "CAL", nullptr, FloorDlg, 0);
    return 0;
}
