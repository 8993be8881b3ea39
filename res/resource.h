// Control identifiers of the calendar dialog and the About box.
#pragma once

#define IDC_WEBADDR 1013

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
