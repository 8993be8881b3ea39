#include "layout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const CalendarDate kFarAway = {1, 0, 1900};

int CountRed(const PanelLayout &layout) {
    int red = 0;
    for (int i = 0; i < layout.dayCount; ++i)
        red += layout.days[i].colour == TextColour::red;
    return red;
}

// The letter the painter writes over column `i`: the region's letter of the
// weekday the layout puts first, counted on; here the program's own. (The
// layout's own header text is not drawn.)
std::string LetterOver(const PanelLayout &layout, int i) {
    return WeekdayLetter((i + layout.firstWeekday) % 7);
}

bool SameLayout(const PanelLayout &a, const PanelLayout &b) {
    auto sameRect = [](const PanelRect &r, const PanelRect &s) {
        return r.left == s.left && r.top == s.top && r.right == s.right && r.bottom == s.bottom;
    };
    auto sameItems = [](const TextItem *p, const TextItem *q, int n) {
        for (int i = 0; i < n; ++i)
            if (std::string(p[i].text) != q[i].text || p[i].x != q[i].x || p[i].y != q[i].y ||
                p[i].colour != q[i].colour)
                return false;
        return true;
    };
    return a.fontHeight == b.fontHeight && a.headerCount == b.headerCount &&
           a.dayCount == b.dayCount && sameRect(a.headerErase, b.headerErase) &&
           sameRect(a.erase, b.erase) && sameItems(a.header, b.header, a.headerCount) &&
           sameItems(a.days, b.days, a.dayCount) && a.weekCount == b.weekCount &&
           a.weekFontHeight == b.weekFontHeight && sameItems(a.weeks, b.weeks, a.weekCount);
}

} // namespace

TEST(CellMetrics, CurrentAndSideFrames) {
    CellMetrics current = MeasureCellMetrics(PanelKind::current, 158, 133);
    EXPECT_EQ(21, current.colWidth);
    EXPECT_EQ(16, current.rowHeight);
    CellMetrics side = MeasureCellMetrics(PanelKind::side, 116, 98);
    EXPECT_EQ(15, side.colWidth);
    EXPECT_EQ(13, side.rowHeight);
}

TEST(LayoutMonth, CurrentPanelHeaderRowsAndEraseRectangle) {
    CellMetrics metrics = MeasureCellMetrics(PanelKind::current, 158, 133);
    PanelLayout layout = LayoutMonth(PanelKind::current, metrics, 158, 133, 0, 1997, kFarAway);
    EXPECT_EQ(16, layout.fontHeight);
    ASSERT_EQ(7, layout.headerCount);
    const char *letters = "SMTWTFS";
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(std::string(1, letters[i]), LetterOver(layout, i));
        EXPECT_EQ(10 + 21 * i, layout.header[i].x);
        EXPECT_EQ(16, layout.header[i].y);
        EXPECT_EQ(TextColour::blue, layout.header[i].colour);
    }
    EXPECT_EQ(2, layout.erase.left);
    EXPECT_EQ(34, layout.erase.top);
    EXPECT_EQ(156, layout.erase.right);
    EXPECT_EQ(131, layout.erase.bottom);
    // The weekday row is cleared too, from its top down to the week area.
    EXPECT_EQ(2, layout.headerErase.left);
    EXPECT_EQ(16, layout.headerErase.top);
    EXPECT_EQ(156, layout.headerErase.right);
    EXPECT_EQ(layout.erase.top, layout.headerErase.bottom);
    // January 1997 starts on a Wednesday; week rows from y = 32 in steps of 16.
    ASSERT_EQ(31, layout.dayCount);
    EXPECT_STREQ("1", layout.days[0].text);
    EXPECT_EQ(10 + 3 * 21, layout.days[0].x);
    EXPECT_EQ(32, layout.days[0].y);
    EXPECT_STREQ("31", layout.days[30].text);
    EXPECT_EQ(10 + 5 * 21, layout.days[30].x);
    EXPECT_EQ(32 + 4 * 16, layout.days[30].y);
}

TEST(LayoutMonth, SidePanelHasNoHeader) {
    CellMetrics metrics = MeasureCellMetrics(PanelKind::side, 116, 98);
    PanelLayout layout = LayoutMonth(PanelKind::side, metrics, 116, 98, 1, 1998, kFarAway);
    EXPECT_EQ(12, layout.fontHeight);
    EXPECT_EQ(0, layout.headerCount);
    EXPECT_EQ(2, layout.erase.left);
    EXPECT_EQ(15, layout.erase.top);
    EXPECT_EQ(114, layout.erase.right);
    EXPECT_EQ(96, layout.erase.bottom);
    // February 1998: Sunday start, 28 days, rows 0-3 exactly at y = 13..52.
    ASSERT_EQ(28, layout.dayCount);
    for (int i = 0; i < 28; ++i) {
        EXPECT_EQ(10 + (i % 7) * 15, layout.days[i].x) << i;
        EXPECT_EQ(13 + (i / 7) * 13, layout.days[i].y) << i;
    }
}

TEST(LayoutMonth, SixRowsForAMonthStartingOnSaturday) {
    CellMetrics metrics = MeasureCellMetrics(PanelKind::current, 158, 133);
    PanelLayout layout = LayoutMonth(PanelKind::current, metrics, 158, 133, 7, 1998, kFarAway);
    ASSERT_EQ(31, layout.dayCount);
    EXPECT_EQ(10 + 6 * 21, layout.days[0].x);
    EXPECT_EQ(32, layout.days[0].y);
    EXPECT_EQ(10, layout.days[1].x);
    EXPECT_EQ(48, layout.days[1].y);
    EXPECT_EQ(10, layout.days[29].x);
    EXPECT_EQ(32 + 5 * 16, layout.days[29].y);
    EXPECT_EQ(31, layout.days[30].x);
    EXPECT_EQ(32 + 5 * 16, layout.days[30].y);
}

TEST(LayoutMonth, EveryMonthFitsTheGridWithoutOverlap) {
    CellMetrics metrics = MeasureCellMetrics(PanelKind::current, 158, 133);
    for (int year = 1890; year < 2110; ++year)
        for (int month = 0; month < 12; ++month) {
            PanelLayout layout =
                LayoutMonth(PanelKind::current, metrics, 158, 133, month, year, kFarAway);
            for (int i = 0; i < layout.dayCount; ++i) {
                const TextItem &day = layout.days[i];
                ASSERT_EQ(std::to_string(i + 1), day.text);
                ASSERT_GE(day.y, layout.erase.top - 2);
                ASSERT_LT(day.y + metrics.rowHeight, layout.erase.bottom + 1);
                if (i == 0)
                    continue;
                // strictly after the previous day in reading order
                ASSERT_TRUE(day.y > layout.days[i - 1].y ||
                            (day.y == layout.days[i - 1].y && day.x > layout.days[i - 1].x));
            }
        }
}

TEST(LayoutMonth, OnlyTodayInTodaysMonthIsRed) {
    CellMetrics metrics = MeasureCellMetrics(PanelKind::side, 116, 98);
    CalendarDate today = {5, 2, 1997};
    PanelLayout march = LayoutMonth(PanelKind::side, metrics, 116, 98, 2, 1997, today);
    EXPECT_EQ(1, CountRed(march));
    EXPECT_EQ(TextColour::red, march.days[4].colour);
    EXPECT_EQ(0, CountRed(LayoutMonth(PanelKind::side, metrics, 116, 98, 1, 1997, today)));
    EXPECT_EQ(0, CountRed(LayoutMonth(PanelKind::side, metrics, 116, 98, 3, 1997, today)));
    EXPECT_EQ(0, CountRed(LayoutMonth(PanelKind::side, metrics, 116, 98, 2, 1996, today)));
}

// A metrics made before it had a DPI ({colWidth, rowHeight}, dpi 0) and one
// measured at 96 lay out exactly as the 96-DPI calendar always did.
TEST(LayoutMonthDpi, NinetySixAndUnsetAreTheOldLayout) {
    const CellMetrics unset[2] = {{21, 16, 0}, {15, 13, 0}};
    const int sizes[2][2] = {{158, 133}, {116, 98}};
    const PanelKind kinds[2] = {PanelKind::current, PanelKind::side};
    for (int k = 0; k < 2; ++k) {
        CellMetrics at96 = MeasureCellMetrics(kinds[k], sizes[k][0], sizes[k][1], 96);
        EXPECT_EQ(96, at96.dpi);
        for (int month = 0; month < 12; month += 5) {
            PanelLayout old =
                LayoutMonth(kinds[k], unset[k], sizes[k][0], sizes[k][1], month, 1997, kFarAway);
            EXPECT_TRUE(SameLayout(
                old, LayoutMonth(kinds[k], at96, sizes[k][0], sizes[k][1], month, 1997, kFarAway)))
                << "kind " << k << " month " << month;
        }
    }
    PanelLayout old = LayoutMonth(PanelKind::current, unset[0], 158, 133, 0, 1997, kFarAway);
    EXPECT_EQ(16, old.fontHeight);
    EXPECT_EQ(10 + 3 * 21, old.days[0].x);
    EXPECT_EQ(2, old.erase.left);
    EXPECT_EQ(34, old.erase.top);
}

// At 150% and 200% the panel is the 96-DPI one enlarged: fonts, margin and
// insets scale, and with the frame scaled too every letter and number lands
// where the 96-DPI one lands, scaled, give or take a pixel. The 96-DPI cells
// are an even number of pixels, so that 150% has whole cells as well.
TEST(LayoutMonthDpi, HighDpiIsTheNinetySixPictureScaled) {
    struct Case {
        PanelKind kind;
        int width;
        int height;
        int fontHeight;
    };
    const Case cases[] = {{PanelKind::current, 159, 133, 16}, {PanelKind::side, 117, 103, 12}};
    for (const Case &c : cases) {
        CellMetrics base = MeasureCellMetrics(c.kind, c.width, c.height);
        for (int dpi : {144, 192}) {
            SCOPED_TRACE("dpi " + std::to_string(dpi) + " font " + std::to_string(c.fontHeight));
            int width = ScaleToDpi(c.width, dpi);
            int height = ScaleToDpi(c.height, dpi);
            CellMetrics metrics = MeasureCellMetrics(c.kind, width, height, dpi);
            EXPECT_EQ(dpi, metrics.dpi);
            for (int month = 0; month < 12; month += 4) {
                PanelLayout small =
                    LayoutMonth(c.kind, base, c.width, c.height, month, 2024, kFarAway);
                PanelLayout big =
                    LayoutMonth(c.kind, metrics, width, height, month, 2024, kFarAway);
                EXPECT_EQ(c.fontHeight * dpi / 96, big.fontHeight);
                EXPECT_EQ(2 * dpi / 96, big.erase.left);
                EXPECT_EQ(width - 2 * dpi / 96, big.erase.right);
                EXPECT_EQ(height - 2 * dpi / 96, big.erase.bottom);
                ASSERT_EQ(small.dayCount, big.dayCount);
                ASSERT_EQ(small.headerCount, big.headerCount);
                auto near = [&](const TextItem &a, const TextItem &b) {
                    return std::abs(a.x * dpi / 96 - b.x) <= 1 &&
                           std::abs(a.y * dpi / 96 - b.y) <= 1;
                };
                for (int i = 0; i < big.dayCount; ++i)
                    EXPECT_TRUE(near(small.days[i], big.days[i]))
                        << "day " << i + 1 << " at (" << big.days[i].x << "," << big.days[i].y
                        << "), at 96 (" << small.days[i].x << "," << small.days[i].y << ")";
                for (int i = 0; i < big.headerCount; ++i)
                    EXPECT_TRUE(near(small.header[i], big.header[i])) << "letter " << i;
                if (big.headerCount > 0) {
                    EXPECT_EQ(big.erase.top, big.headerErase.bottom);
                }
            }
        }
    }
}

// The frame grows by one seven-column width for the week column; measured
// with eight columns it must keep that width, or the days would move.
class WidenedFrame : public testing::TestWithParam<int> {};

TEST_P(WidenedFrame, KeepsTheColumnWidthWithEightColumns) {
    int dpi = GetParam();
    const struct {
        PanelKind kind;
        int width, height;
    } frames[] = {{PanelKind::current, 158, 133}, {PanelKind::side, 116, 98}};
    for (const auto &f : frames)
        for (int width = ScaleToDpi(f.width, dpi) - 1; width <= ScaleToDpi(f.width, dpi) + 1;
             ++width) {
            int height = ScaleToDpi(f.height, dpi);
            int seven = MeasureCellMetrics(f.kind, width, height, dpi).colWidth;
            EXPECT_EQ(seven, MeasureCellMetrics(f.kind, width + seven, height, dpi, true).colWidth)
                << "width " << width;
        }
}

INSTANTIATE_TEST_SUITE_P(Dpi, WidenedFrame, testing::Values(96, 120, 144, 192));

TEST(LayoutMonth, MondayFirstLettersAndColumns) {
    CellMetrics metrics = MeasureCellMetrics(PanelKind::current, 158, 133);
    auto layout = [&](int monthIndex, int year) {
        return LayoutMonth(PanelKind::current, metrics, 158, 133, monthIndex, year, kFarAway,
                           GridOptions{true, false});
    };
    PanelLayout february = layout(1, 1998);
    const char *letters = "MTWTFSS";
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(std::string(1, letters[i]), LetterOver(february, i));
        EXPECT_EQ(10 + 21 * i, february.header[i].x);
        EXPECT_EQ(TextColour::blue, february.header[i].colour);
    }
    const struct {
        int monthIndex, year, day, column, row;
    } cells[] = {
        {1, 1998, 1, 6, 0},  // Sunday 1 February 1998, in the last column
        {1, 1998, 2, 0, 1},  // and the Monday after it on the next row
        {1, 1998, 28, 5, 4}, // a Saturday
        {0, 1997, 1, 2, 0},  // a Wednesday
        {7, 1998, 31, 0, 5}, // a Monday alone in the sixth row
    };
    for (const auto &c : cells) {
        PanelLayout month = layout(c.monthIndex, c.year);
        EXPECT_EQ(10 + 21 * c.column, month.days[c.day - 1].x) << c.monthIndex << " " << c.day;
        EXPECT_EQ(32 + 16 * c.row, month.days[c.day - 1].y) << c.monthIndex << " " << c.day;
    }
}

struct WeekRows {
    PanelKind kind;
    int monthIndex;
    int year;
    bool mondayFirst;
    int count;
    int weeks[6];
};

class WeekNumbers : public testing::TestWithParam<WeekRows> {};

TEST_P(WeekNumbers, GreyOnTheDaysLineInTheirOwnColumn) {
    const WeekRows &w = GetParam();
    bool current = w.kind == PanelKind::current;
    int width = current ? 179 : 131;
    int height = current ? 133 : 98;
    CellMetrics metrics = MeasureCellMetrics(w.kind, width, height, 96, true);
    auto layout = [&](bool weekNumbers) {
        return LayoutMonth(w.kind, metrics, width, height, w.monthIndex, w.year, kFarAway,
                           GridOptions{w.mondayFirst, weekNumbers});
    };
    PanelLayout weeks = layout(true);
    EXPECT_EQ(current ? 12 : 10, weeks.weekFontHeight);
    ASSERT_EQ(w.count, weeks.weekCount);
    int top = current ? 32 : 13;
    EXPECT_EQ(top + (w.count - 1) * metrics.rowHeight, weeks.days[weeks.dayCount - 1].y);
    for (int r = 0; r < w.count; ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        EXPECT_EQ(std::to_string(w.weeks[r]), weeks.weeks[r].text);
        EXPECT_EQ(TextColour::grey, weeks.weeks[r].colour);
        EXPECT_EQ(10, weeks.weeks[r].x);
        // The smaller cell's bottom on the days' bottom: 16 - 12 or 12 - 10 down.
        EXPECT_EQ(top + r * metrics.rowHeight + (current ? 4 : 2), weeks.weeks[r].y);
    }
    // Otherwise the letters and days only move one column right.
    for (int i = 0; i < weeks.dayCount; ++i)
        weeks.days[i].x -= metrics.colWidth;
    for (int i = 0; i < weeks.headerCount; ++i)
        weeks.header[i].x -= metrics.colWidth;
    weeks.weekCount = 0;
    weeks.weekFontHeight = 0;
    EXPECT_TRUE(SameLayout(layout(false), weeks));
}

INSTANTIATE_TEST_SUITE_P(Table, WeekNumbers,
                         testing::Values(
                             // January 2021 starts on a Friday in week 53 of 2020; Sunday-first,
                             // the 31st sits alone in a sixth row and shows the week after it.
                             WeekRows{PanelKind::current, 0, 2021, false, 6, {53, 1, 2, 3, 4, 5}},
                             WeekRows{PanelKind::current, 0, 2021, true, 5, {53, 1, 2, 3, 4}},
                             // February 2015 fills four Sunday-first rows and leaves two empty.
                             WeekRows{PanelKind::side, 1, 2015, false, 4, {6, 7, 8, 9}},
                             WeekRows{PanelKind::side, 1, 2015, true, 5, {5, 6, 7, 8, 9}}));

// January 2021 begins on a Friday, in week 53 of 2020, under each of the
// seven first days a region can have: the letters run from that day, the
// 1st stands in its column, and each row shows the week of its Monday.
struct FirstDayCase {
    int firstWeekday;
    const char *letters;
    int firstColumn;
    int rows;
    int weeks[6];
};

class AnyFirstDay : public testing::TestWithParam<FirstDayCase> {};

TEST_P(AnyFirstDay, LettersDaysAndWeeks) {
    const FirstDayCase &c = GetParam();
    CellMetrics metrics = MeasureCellMetrics(PanelKind::current, 179, 133, 96, true);
    PanelLayout month = LayoutMonth(PanelKind::current, metrics, 179, 133, 0, 2021, kFarAway,
                                    GridOptions{c.firstWeekday, true});
    int left = 10 + metrics.colWidth;
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(std::string(1, c.letters[i]), LetterOver(month, i)) << "letter " << i;
    for (int day = 1; day <= 31; ++day) {
        int cell = c.firstColumn + day - 1;
        EXPECT_EQ(left + (cell % 7) * metrics.colWidth, month.days[day - 1].x) << "day " << day;
        EXPECT_EQ(32 + (cell / 7) * metrics.rowHeight, month.days[day - 1].y) << "day " << day;
    }
    ASSERT_EQ(c.rows, month.weekCount);
    for (int r = 0; r < c.rows; ++r)
        EXPECT_EQ(std::to_string(c.weeks[r]), month.weeks[r].text) << "row " << r;
    // The cells the pointer is asked about: each day's where it was laid out,
    // the cells before the 1st and after the 31st none.
    for (int cell = 0; cell < kGridCells; ++cell) {
        int day = DayInCell(cell, 0, 2021, c.firstWeekday);
        int expected =
            cell >= c.firstColumn && cell < c.firstColumn + 31 ? cell - c.firstColumn + 1 : 0;
        EXPECT_EQ(expected, day) << "cell " << cell;
        PanelRect r =
            GridCell(PanelKind::current, metrics, GridOptions{c.firstWeekday, true}, cell);
        EXPECT_EQ(metrics.colWidth, r.right - r.left);
        GridOptions options = {c.firstWeekday, true};
        EXPECT_EQ(cell, CellAt(PanelKind::current, metrics, options, r.left, r.top));
        EXPECT_EQ(cell, CellAt(PanelKind::current, metrics, options, r.right - 1, r.bottom - 1));
        if (day > 0) {
            EXPECT_EQ(month.days[day - 1].x, r.left) << "cell " << cell;
            EXPECT_EQ(month.days[day - 1].y, r.top) << "cell " << cell;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AnyFirstDay,
    testing::Values(FirstDayCase{0, "SMTWTFS", 5, 6, {53, 1, 2, 3, 4, 5}},
                    FirstDayCase{1, "MTWTFSS", 4, 5, {53, 1, 2, 3, 4}},
                    // From Tuesday to Friday the row's Monday is already in January.
                    FirstDayCase{2, "TWTFSSM", 3, 5, {1, 2, 3, 4, 5}},
                    FirstDayCase{3, "WTFSSMT", 2, 5, {1, 2, 3, 4, 5}},
                    FirstDayCase{4, "TFSSMTW", 1, 5, {1, 2, 3, 4, 5}},
                    FirstDayCase{5, "FSSMTWT", 0, 5, {1, 2, 3, 4, 5}},
                    // Saturday first, as in Iran: Monday 28 December is the first row's.
                    FirstDayCase{6, "SSMTWTF", 6, 6, {53, 1, 2, 3, 4, 5}}));

// Round the grid lie the margin or the week column, the letters and the
// frame's edges: the pointer is on no day there, in either kind of panel.
TEST(CellAt, NothingRoundTheGrid) {
    for (PanelKind kind : {PanelKind::current, PanelKind::side}) {
        for (bool weeks : {false, true}) {
            CellMetrics m = MeasureCellMetrics(kind, 179, 133, 96, weeks);
            GridOptions options = {1, weeks};
            PanelRect first = GridCell(kind, m, options, 0);
            PanelRect last = GridCell(kind, m, options, kGridCells - 1);
            const int around[][2] = {{first.left - 1, first.top},
                                     {first.left, first.top - 1},
                                     {last.right, last.top},
                                     {last.left, last.bottom},
                                     {0, 0}};
            for (const auto &p : around)
                EXPECT_EQ(-1, CellAt(kind, m, options, p[0], p[1]))
                    << "at " << p[0] << "," << p[1] << (weeks ? " with weeks" : "");
        }
    }
    EXPECT_EQ(-1, CellAt(PanelKind::side, CellMetrics{0, 0, 96}, {}, 20, 20));
}

// The panels follow the DPI, or the frames where those grew less; the week
// column adds a column of each frame's own width, which keeps the spacing.
TEST(MeasureFrames, FollowTheDpiOrTheFramesAndMakeRoomForTheWeekColumn) {
    struct Case {
        FrameSize current;
        FrameSize side;
        int dpi;
        bool weekNumbers;
        CellMetrics wantCurrent;
        CellMetrics wantSide;
        int wantAdded[3];
    };
    const Case cases[] = {
        {{158, 133}, {116, 98}, 96, false, {21, 16, 96}, {15, 13, 96}, {0, 0, 0}},
        {{158, 133}, {116, 98}, 96, true, {21, 16, 96}, {15, 13, 96}, {15, 21, 15}},
        {{237, 200}, {174, 147}, 144, false, {32, 24, 144}, {23, 20, 144}, {0, 0, 0}},
        {{237, 200}, {174, 147}, 144, true, {32, 24, 144}, {23, 20, 144}, {23, 32, 23}},
        // A bitmap dialog font (Wine's) grows the template only to 150% at 200%.
        {{237, 200}, {174, 147}, 192, true, {32, 24, 144}, {23, 20, 144}, {23, 32, 23}},
        // Frames that grew more than the DPI leave the DPI in charge.
        {{237, 200}, {174, 147}, 120, false, {33, 24, 120}, {24, 20, 120}, {0, 0, 0}},
    };
    for (const Case &c : cases) {
        FrameGeometry got = MeasureFrames(c.current, c.side, c.dpi, c.weekNumbers);
        std::string where = std::to_string(c.dpi) + " DPI, week numbers " +
                            std::to_string(c.weekNumbers) + ", frame " +
                            std::to_string(c.current.width);
        EXPECT_EQ(c.wantCurrent.colWidth, got.current.colWidth) << where;
        EXPECT_EQ(c.wantCurrent.rowHeight, got.current.rowHeight) << where;
        EXPECT_EQ(c.wantCurrent.dpi, got.current.dpi) << where;
        EXPECT_EQ(c.wantSide.colWidth, got.side.colWidth) << where;
        EXPECT_EQ(c.wantSide.rowHeight, got.side.rowHeight) << where;
        EXPECT_EQ(c.wantSide.dpi, got.side.dpi) << where;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(c.wantAdded[i], got.added[i]) << where << ", frame " << i;
    }
}
