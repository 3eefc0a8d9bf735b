#include <gtest/gtest.h>

#include "Units.h"

namespace {

// Half a dot (or half a hundredth) goes toward zero; a wrong inch shows on the larger values.
TEST(Units, DotsAndHundredthsRoundHalvesTowardZero) {
    const struct {
        bool toDots;
        LONG value;
        int dpi;
        LONG expected;
    } cases[] = {
        {true, 1000, 300, 118},   {true, -1000, 300, -118}, {true, 15, 254, 1},        {true, -15, 254, -1},
        {true, 16, 254, 2},       {true, 1000, 0, 0},       {true, 7500, 300, 886},    {false, 118, 300, 999},
        {false, 59, -300, -500},  {false, 886, 300, 7501},  {false, 59, 0, -2147483647 - 1},
        {false, 2000000000, 1, 2147483647},  // far outside any label the result stays a defined 32-bit value
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, c.toDots ? units::ToDots(c.value, c.dpi) : units::FromDots(c.value, c.dpi))
            << (c.toDots ? "to dots " : "from dots ") << c.value << " at " << c.dpi;
    }
}

// An exact half step goes up in magnitude, also for steps without an exact binary form: a font of
// 4 dots at 256 dpi is 1.125 points, shown as 1.13.
TEST(Units, DivideRoundedGoesUpAtExactHalfSteps) {
    const struct {
        double a, b, step, expected;
    } cases[] = {
        {792, 300, 0.01, 2.64},       {5, 4, 0.5, 1.5},             {9, 8, 0.5, 1.0},
        {-5, 4, 0.5, -1.5},           {4 * 72, 256, 0.01, 1.13},    {1 * 72, 14400, 0.01, 0.01},
        {4 * 72, -256, 0.01, -1.13},  {3, 2000, 0.001, 0.002},      {10, 3, 0.3, 3.3},
        {7, 0.5, 0.01, 14.0},         {2.75, 1, 0.5, 3.0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(c.expected, units::DivideRounded(c.a, c.b, c.step))
            << c.a << " / " << c.b << " by " << c.step;
    }
}

}  // namespace
