#include "layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const CalendarDate kFarAway = {1, 0, 1900};

int CountRed(const PanelLayout &layout) {
    int red = 0;
    for (int i = 0; i < layout.dayCount; ++i)
        red += layout.days[i].colour == TextColour::red;
    return red;
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
        EXPECT_EQ(std::string(1, letters[i]), layout.header[i].text);
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
