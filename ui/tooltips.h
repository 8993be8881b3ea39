// A short description under the pointer for each of the six buttons, and
// the dialog's own tips over areas of it, set up the first time the
// pointer is over the calendar.
#pragma once

#include <windows.h>

// The tooltip window and what it shows, kept by the dialog from the first
// move of the pointer over it (`made`, even where the library would not
// load) until it is dropped.
struct Tips {
    bool made;
    HWND window;
    // The button last pressed; its tip stays away until the pointer leaves it.
    HWND pressedButton;
    // The area the pointer was last found on (0: none), and which of the two
    // tools holds it. The two take turns, so that from one area to the next
    // the pointer goes from tool to tool and the next tip shows anew; the
    // dialog's areas need no tool each. The tool holding an area covers the
    // whole client: where the pointer is on none, no tool is there.
    int area;
    int areaTurn;
    // The focused day's tip, shown for a key where the pointer is not.
    bool keyTipShown;
};

// Every move or press of the pointer over the calendar once it has painted
// (the library would otherwise delay the first paint, when the calendar
// opens under the pointer): `under` is the window under it, `mouseMessage`
// the message the move or press brings.
void OnPointer(Tips *tips, HWND dialog, HWND under, UINT mouseMessage);
// Destroys the tooltip window; the next pointer move makes it again.
void DropButtonTips(Tips *tips);

// Which area of the dialog's client with a tip of its own the pointer is
// on, by a number the dialog gives from 1 (0: none); the dialog gives its text when
// asked (TTN_GETDISPINFOW, one line to each "\r\n"). The tip shows after the
// usual delay, and anew for another area. With `retell` a tip on show for
// the same area asks for its text again, as what it tells has changed.
void PointAreaTip(Tips *tips, HWND dialog, int area, bool retell);
// The focused day's tip, asked for with a key: shown with its top left at
// `screen`, whatever the pointer does, until HideKeyTip. Its text is asked
// for as an area's is, from the tool IsKeyTip names.
void ShowKeyTip(Tips *tips, HWND dialog, POINT screen);
void HideKeyTip(Tips *tips, HWND dialog);
bool IsKeyTip(UINT_PTR id);
// A tip went away (TTN_POP), with the id of its tool.
void OnTipPopped(const Tips &tips, HWND dialog, UINT_PTR id);
// What a button of the calendar does, as its tip says it; nullptr for none.
const wchar_t *ButtonTipText(int id);
