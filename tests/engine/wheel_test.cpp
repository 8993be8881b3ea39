#include "wheel.h"

#include <climits>

#include <gtest/gtest.h>

TEST(Wheel, WholeNotchesStepAtOnceAndPartsAddUp) {
    int rest = 0;
    EXPECT_EQ(1, TakeWheelNotches(&rest, 120));
    EXPECT_EQ(-3, TakeWheelNotches(&rest, -360));
    EXPECT_EQ(0, rest);

    // A touchpad's small parts: nothing until they make a notch.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0, TakeWheelNotches(&rest, 30)) << i;
    EXPECT_EQ(1, TakeWheelNotches(&rest, 30));
    EXPECT_EQ(0, rest);
    EXPECT_EQ(0, TakeWheelNotches(&rest, 100));
    EXPECT_EQ(1, TakeWheelNotches(&rest, 50));
    EXPECT_EQ(30, rest);
}

TEST(Wheel, TurningBackDropsWhatWasLeftOver) {
    int rest = 0;
    EXPECT_EQ(0, TakeWheelNotches(&rest, 90));
    EXPECT_EQ(0, TakeWheelNotches(&rest, -60));
    EXPECT_EQ(-60, rest);
    EXPECT_EQ(-1, TakeWheelNotches(&rest, -60));
    EXPECT_EQ(0, TakeWheelNotches(&rest, 119));
    EXPECT_EQ(0, TakeWheelNotches(&rest, -119));
}

TEST(Wheel, ExtremeTurnsDoNotOverflow) {
    int rest = 119;
    EXPECT_EQ(INT_MAX / 120 + 1, TakeWheelNotches(&rest, INT_MAX));
    rest = -119;
    EXPECT_EQ(INT_MIN / 120 - 1, TakeWheelNotches(&rest, INT_MIN));
    EXPECT_GT(rest, -120);
}
