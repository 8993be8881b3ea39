// A month's title in a region's own words, without asking the region: the
// names and the picture come from Windows, and the picture is filled here.
#pragma once

// Fills a year-month picture as Windows writes them ("MMMM yyyy",
// "yyyy'年'M'月'", "yyyy. MMMM", "MMMM' de 'yyyy") with a Gregorian month and
// year: M and MM the month's number, MMM `abbreviatedName`, MMMM and longer
// `fullName`; y and yy the year's last two digits, yyy and longer the whole
// year, at least four digits. Quoted text is copied, '' is a quote, and era
// and day letters, which a month's title has no use for, are left out.
// Writes at most `size` characters with the terminating nul; returns the length.
int FormatYearMonth(const wchar_t *picture, const wchar_t *fullName, const wchar_t *abbreviatedName,
                    int monthNumber, int year, wchar_t *out, int size);
