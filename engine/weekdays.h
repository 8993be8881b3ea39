// What heads the calendar's seven columns in a region's own words: a letter
// a day, as the program always had, unless the letters fail to tell the days
// apart ("C T T T T T T" for the Vietnamese "CN T2 T3 T4 T5 T6 T7").
#pragma once

// Room for one of a region's shortest day names and its terminating nul. A
// longer name is not kept, and taken as one that fits no column.
const int kDayNameSize = 5;

// No two of the seven names begin with the same character (a UTF-16
// surrogate pair taken whole). Empty names all begin alike.
bool FirstCharactersDiffer(const wchar_t (*names)[kDayNameSize]);

// The whole names head the columns where their first characters do not tell
// the days apart and each name, `widths[i]` pixels wide in the letters' font,
// fits the `room` of a column; elsewhere their first characters do. An empty
// name fits no column.
bool WholeDayNames(const wchar_t (*names)[kDayNameSize], const int widths[7], int room);
