#include "engine/core/math.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

TEST(AngleTest, SineTableEntries) {
    const struct {
        int index;
        uint32_t bits;
    } cases[] = {
        {0, 0x00000000u},
        {8192, 0x3F3504F3u},   // sin 45 degrees
        {16384, 0x3F800000u},  // exactly 1
        {32768, 0xB3BBBD2Eu},  // not 0: k is a float, a little above 2pi / 65536
        {49152, 0xBF800000u},  // exactly -1
        {65535, 0xB8C8B1FCu},
    };
    for (const auto& c : cases) EXPECT_EQ(std::bit_cast<uint32_t>(sineTable[c.index]), c.bits) << c.index;
}

TEST(AngleTest, SineAndCosineWrapAroundTheTable) {
    EXPECT_EQ(CosAngle(49152), 0.0f);  // entry 0
    EXPECT_EQ(CosAngle(0), 1.0f);
    EXPECT_EQ(CosAngle(65535), sineTable[16383]);
    EXPECT_EQ(SinAngle(static_cast<Angle16>(65536 + 8192)), sineTable[8192]);
}

TEST(AngleTest, RadianToAngleTruncatesAndWraps) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float radians;
        int expected;
    } cases[] = {
        {0.0f, 0},
        {std::numbers::pi_v<float>, 32767},  // 32767.9..., truncated
        {-1.0f, 55106},                      // -10430 kept to 16 bits
        {-std::numbers::pi_v<float>, 32769},
        {7.0f, 7476},                        // 73012 wraps past a turn
        {1e30f, 0},                          // beyond int: defined as 0
        {nan, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(RadianToAngle(c.radians), c.expected) << c.radians;
}

TEST(AngleTest, DegreeToAngleIsNotMasked) {
    const struct {
        int degrees;
        int expected;
    } cases[] = {
        {360, 65536}, {-90, -16384}, {180, 32768}, {1, 182}, {-1, -182},
        {40000, 7281777},  // the product needs more than 32 bits
    };
    for (const auto& c : cases) EXPECT_EQ(DegreeToAngle(c.degrees), c.expected) << c.degrees;
}

TEST(AngleTest, ToAngle16KeepsLowBits) {
    EXPECT_EQ(ToAngle16(65536), 0);
    EXPECT_EQ(ToAngle16(-16384), 49152);
}

TEST(AngleTest, RotateByAngle16UsesTheOldCoordinates) {
    float x = 1.0f, y = 1.0f;
    RotateByAngle16(&x, &y, 16384);
    EXPECT_NEAR(x, -1.0f, 1e-6f);
    EXPECT_NEAR(y, 1.0f, 1e-6f);  // a y computed from the new x would be -1

    x = 2.0f, y = 0.0f;
    RotateByAngle16(&x, &y, 8192);
    EXPECT_FLOAT_EQ(x, std::sqrt(2.0f));
    EXPECT_FLOAT_EQ(y, std::sqrt(2.0f));
}

}  // namespace
