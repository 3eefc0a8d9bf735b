#include <gtest/gtest.h>

#include "Units.h"

namespace {

TEST(Units, ToDotsRoundsHalfADotTowardZero) {
    EXPECT_EQ(118, units::ToDots(1000, 300));
    EXPECT_EQ(30, units::ToDots(254, 300));
    EXPECT_EQ(-118, units::ToDots(-1000, 300));
    EXPECT_EQ(0, units::ToDots(5, 254));
    EXPECT_EQ(1, units::ToDots(15, 254));
    EXPECT_EQ(-1, units::ToDots(-15, 254));
    EXPECT_EQ(2, units::ToDots(16, 254));
    EXPECT_EQ(0, units::ToDots(1000, 0));
}

TEST(Units, FromDotsRoundsTheSameWay) {
    EXPECT_EQ(999, units::FromDots(118, 300));
    EXPECT_EQ(500, units::FromDots(59, 300));
    EXPECT_EQ(-999, units::FromDots(-118, 300));
    EXPECT_EQ(-500, units::FromDots(59, -300));
    EXPECT_EQ(units::kUnresolved, units::FromDots(59, 0));
    // Far outside any label the result stays a defined 32-bit value.
    EXPECT_EQ(2147483647, units::FromDots(2000000000, 1));
}

TEST(Units, DivideRoundedGoesUpAtExactHalfSteps) {
    EXPECT_DOUBLE_EQ(2.64, units::DivideRounded(792, 300, 0.01));
    EXPECT_DOUBLE_EQ(1.5, units::DivideRounded(5, 4, 0.5));    // 1.25: exactly half a step
    EXPECT_DOUBLE_EQ(1.0, units::DivideRounded(9, 8, 0.5));    // 1.125: below half a step
    EXPECT_DOUBLE_EQ(-1.5, units::DivideRounded(-5, 4, 0.5));  // up in magnitude
    EXPECT_DOUBLE_EQ(3.0, units::DivideRounded(6, 2, 0.25));
}

// Steps without an exact binary form still go up at an exact half: a font of 4 dots at 256 dpi
// is 1.125 points, shown as 1.13.
TEST(Units, DivideRoundedIsExactAtHalfStepsThatBinaryCannotHold) {
    struct Case {
        double a, b, step, expected;
    } cases[] = {
        {4 * 72, 256, 0.01, 1.13},   {1 * 72, 14400, 0.01, 0.01}, {-4 * 72, 256, 0.01, -1.13},
        {4 * 72, -256, 0.01, -1.13}, {3, 2000, 0.001, 0.002},     {1, 20, 0.1, 0.1},
        {1, 3, 0.1, 0.3},            {10, 3, 0.3, 3.3},           {7, 0.5, 0.01, 14.0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(c.expected, units::DivideRounded(c.a, c.b, c.step)) << c.a << " / " << c.b << " by " << c.step;
    }
}

}  // namespace
