// The calendar as a screen reader reads it, through Active Accessibility:
// the client holds three tables, one a month, named by their titles, and
// each table a cell a day, named by its long date. Each button says what it
// does. Nothing of it is loaded until a reader first asks.
#pragma once

#include <windows.h>

#include "ics.h"
#include "layout.h"
#include "options.h"
#include "region.h"
#include "view.h"

// What the accessible objects read, the dialog's own state, which lives as
// long as the dialog.
struct CalendarReading {
    HWND dialog;
    const CalendarView *view;
    const FrameGeometry *frames;
    const Region *region;
    const Choices *choices;
    // The holidays and events, whose names the days carry.
    const EventSet *events;
};

// WM_GETOBJECT for the calendar: the client's object, or 0 to leave the
// question to Windows (other objects, or no library).
LRESULT AnswerGetObject(const CalendarReading *reading, WPARAM flags, LPARAM objectId);
// Each button answers WM_GETOBJECT with what it does, not its glyph.
void NameButtons(HWND dialog);
// The focused day moved: a reader reads it, where the days have the keyboard.
void AnnounceFocus(const CalendarReading &reading);
// The view stepped: the months, their names and the focused day are new.
void AnnounceView(const CalendarReading &reading);
