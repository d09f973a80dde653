#include "game/flow/numeric_helpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(WrapAngle, OneStepTowardTheHalfTurnRange) {
    const struct {
        float in;
        int turns;  // 2pi steps taken off
    } cases[] = {
        {0.5f, 0}, {PI_F, 0}, {-PI_F, 0}, {4.0f, 1}, {-4.0f, -1},
        {20.0f, 1},  // one step only: still above pi afterwards
    };
    for (const auto& c : cases) {
        float a = c.in;
        WrapAngle(&a);
        EXPECT_EQ(a, c.in - static_cast<float>(c.turns) * TWO_PI_F) << c.in;
        double d = c.in;
        WrapAngleDouble(&d);
        EXPECT_EQ(d, static_cast<double>(c.in) - c.turns * static_cast<double>(TWO_PI_F)) << c.in;
    }
}

TEST(WrapAngle, DoubleUsesTheFloatPi) {
    // Between the float pi (3.14159274...) and the double pi: above the double
    // pi, yet not above the float one, so it is left alone.
    double a = 3.1415926536;
    WrapAngleDouble(&a);
    EXPECT_EQ(a, 3.1415926536);
}

TEST(TurnAngleToward, StepsTheShorterWayAndSnaps) {
    const struct {
        float from, target, step, out;
    } cases[] = {
        {0.0f, 1.0f, 0.1f, 0.1f},
        {0.0f, -1.0f, 0.1f, -0.1f},
        {0.0f, 0.05f, 0.1f, 0.05f},        // closer than a step: snaps
        {3.0f, -3.0f, 0.1f, 3.1f},         // across pi, not back through 0
        {-3.0f, 3.0f, 0.1f, -3.1f},
        {3.1f, -3.1f, 0.1f, -3.1f},        // 0.083 apart across pi: snaps
        {7.0f, 0.0f, 0.1f, 7.0f - TWO_PI_F - 0.1f},  // start wrapped once first
        {1.0f, 1.0f, 0.0f, 1.0f},          // d = 0 with no step: unchanged
    };
    for (const auto& c : cases) {
        float a = c.from;
        TurnAngleToward(&a, c.target, c.step);
        EXPECT_FLOAT_EQ(a, c.out) << c.from << " -> " << c.target;
    }
}

TEST(TurnAngleToward, ResultIsNotWrappedAgain) {
    float a = 3.1f;
    TurnAngleToward(&a, -3.1f, 0.05f);  // 0.083 apart the short way round
    EXPECT_FLOAT_EQ(a, 3.15f);
    EXPECT_GT(a, PI_F);
}

TEST(Negate, FlipsTheSign) {
    EXPECT_EQ(Negate(1.5f), -1.5f);
    EXPECT_TRUE(std::signbit(Negate(0.0f)));
}

TEST(Digits, CountAndPick) {
    const struct {
        int32_t value, digits;
    } counts[] = {{0, 1}, {9, 1}, {10, 2}, {99, 2}, {100, 3}, {-5, 1}, {-500, 1}, {2147483647, 10}};
    for (const auto& c : counts) EXPECT_EQ(CountDigits(c.value), c.digits) << c.value;

    const struct {
        int32_t value, k, digit;
    } digits[] = {
        {2026, 1, 6}, {2026, 2, 2}, {2026, 3, 0}, {2026, 4, 2}, {2026, 5, 0},
        {-2026, 1, -6},                        // truncating remainder keeps the sign
        {2147483647, 10, 2}, {2147483647, 11, 0}, {2147483647, 40, 0},  // no overflowed power of ten
    };
    for (const auto& c : digits) EXPECT_EQ(GetDigit(c.value, c.k), c.digit) << c.value << " k " << c.k;
}

TEST(IntersectSegments, OnlyStrictCrossingsCount) {
    const struct {
        float a0[2], a1[2], b0[2], b1[2];
        bool crosses;
        const char* what;
    } cases[] = {
        {{0, 0}, {10, 10}, {0, 10}, {10, 0}, true, "an X"},
        {{0, 0}, {10, 0}, {5, -1}, {5, 1}, true, "a plus"},
        {{0, 0}, {10, 0}, {10, 0}, {20, 5}, false, "shared end point"},
        {{0, 0}, {10, 0}, {5, 0}, {5, 5}, false, "end point on the other segment"},
        {{0, 0}, {10, 0}, {2, 0}, {8, 0}, false, "collinear overlap"},
        {{0, 0}, {10, 0}, {11, -1}, {11, 1}, false, "crosses the line beyond the end"},
        {{0, 0}, {10, 0}, {0, 1}, {10, 1}, false, "parallel"},
        {{0, 0}, {0, 0}, {-1, -1}, {1, 1}, false, "a point"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IntersectSegments(c.a0, c.a1, c.b0, c.b1), c.crosses) << c.what;
        EXPECT_EQ(IntersectSegments(c.b0, c.b1, c.a0, c.a1), c.crosses) << c.what << " (swapped)";
    }
}

}  // namespace
