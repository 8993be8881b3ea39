// Control identifiers of the calendar dialog and the About box, and the
// commands of the calendar's menu.
#pragma once

#define IDC_WEBADDR 1013
#define IDC_EVENTFILES 1014

// The calendar dialog's width in dialog units, which the window is fitted
// to again after a change of DPI or of the week column.
#define CAL_TEMPLATE_WIDTH 281

#define IDC_PREVYEAR 1063
#define IDC_PREVMONTH 1064
#define IDC_CLOSE 1065
#define IDC_NEXTMONTH 1066
#define IDC_NEXTYEAR 1067
#define IDC_ABOUT 1068
#define IDC_CURFRAME 1069
#define IDC_CURTITLE 1070
#define IDC_PREVTITLE 1071
#define IDC_NEXTTITLE 1072
#define IDC_PREVFRAME 1075
#define IDC_NEXTFRAME 1076

// Commands of the calendar's popup menu. The resource compiler reads this
// file too and knows no C++, so the typed constants are kept from it.
#ifndef RC_INVOKED
const unsigned IDM_MONDAYFIRST = 40001;
const unsigned IDM_WEEKNUMBERS = 40002;
const unsigned IDM_ONTOP = 40003;
const unsigned IDM_AUTOSTART = 40004;
const unsigned IDM_TODAY = 40005;
const unsigned IDM_ABOUT = 40006;
const unsigned IDM_CLOSE = 40007;
const unsigned IDM_COPYLONG = 40008;
const unsigned IDM_COPYISO = 40009;
const unsigned IDM_EVENTSFOLDER = 40010;
// Commands of the keys that move the focused day, show its tip and copy it.
const unsigned IDM_FOCUSPREVDAY = 40101;
const unsigned IDM_FOCUSNEXTDAY = 40102;
const unsigned IDM_FOCUSPREVWEEK = 40103;
const unsigned IDM_FOCUSNEXTWEEK = 40104;
const unsigned IDM_FOCUSMONTHEND = 40105;
const unsigned IDM_FOCUSTIP = 40106;
const unsigned IDM_COPYFOCUS = 40107;
#endif
