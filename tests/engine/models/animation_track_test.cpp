#include "engine/models/animation_track.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

using Vec3 = std::array<float, 3>;

Vec3 Row4(const Matrix& m) { return {m.Get(4, 1), m.Get(4, 2), m.Get(4, 3)}; }
Vec3 Diagonal(const Matrix& m) { return {m.Get(1, 1), m.Get(2, 2), m.Get(3, 3)}; }

void ExpectNearMatrix(const Matrix& got, const std::array<float, 16>& expected, const char* what) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(got.GetPointer()[i], expected[i], 1e-6f) << what << " element " << i;
}

// Positions and scales share the interpolation; both are checked on each case.
struct VectorCase {
    float time;
    Vec3 expected;
};

class VectorKeys : public testing::TestWithParam<VectorCase> {};

TEST_P(VectorKeys, InterpolateLinearlyAndHoldOutsideTheKeys) {
    AnimationTrack track;
    const std::vector<VectorKey> keys = {
        {0, 0, 0, 0}, {10, 10, 20, -30}, {20, 20, 20, -30}, {40, 20, 60, 10}};
    ASSERT_TRUE(track.SetPositionKeys(keys));
    ASSERT_TRUE(track.SetScaleKeys(keys));
    const VectorCase& c = GetParam();
    const Vec3 position = Row4(track.GetTranslationAt(c.time));
    const Vec3 scale = Diagonal(track.GetScaleAt(c.time));
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(position[i], c.expected[i]) << "time " << c.time;
        EXPECT_FLOAT_EQ(scale[i], c.expected[i]) << "time " << c.time;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Times, VectorKeys,
    testing::Values(VectorCase{-5.0f, {0, 0, 0}}, VectorCase{0.0f, {0, 0, 0}}, VectorCase{5.0f, {5, 10, -15}},
                    VectorCase{10.0f, {10, 20, -30}},        // exactly on an inner key: its value
                    VectorCase{10.5f, {10.5f, 20, -30}},     // the whole time blends, not the tick
                    VectorCase{30.0f, {20, 40, -10}}, VectorCase{40.0f, {20, 60, 10}},
                    VectorCase{1e12f, {20, 60, 10}},
                    VectorCase{std::numeric_limits<float>::quiet_NaN(), {0, 0, 0}}));

TEST(AnimationTrackTest, OneKeyHoldsAtEveryTime) {
    AnimationTrack track;
    ASSERT_TRUE(track.SetPositionKeys({{7, 1, 2, 3}}));
    for (float t : {-100.0f, 0.0f, 7.0f, 8.5f, 1000.0f}) EXPECT_EQ(Row4(track.GetTranslationAt(t)), (Vec3{1, 2, 3}));
}

TEST(AnimationTrackTest, DescendingTimesAreRefusedAndEqualTimesStayFinite) {
    AnimationTrack track;
    ASSERT_TRUE(track.SetPositionKeys({{0, 0, 0, 0}, {10, 1, 1, 1}, {10, 5, 5, 5}, {20, 9, 9, 9}}));
    EXPECT_EQ(Row4(track.GetTranslationAt(10.0f)), (Vec3{5, 5, 5}));
    EXPECT_EQ(Row4(track.GetTranslationAt(15.0f)), (Vec3{7, 7, 7}));

    EXPECT_FALSE(track.SetPositionKeys({{0, 0, 0, 0}, {20, 1, 1, 1}, {10, 2, 2, 2}}));
    EXPECT_EQ(track.GetPositionKeyCount(), 4);  // the earlier keys stay
    EXPECT_FALSE(track.SetRotationKeys({{5, 0, 0, 0, 1}, {4, 0, 0, 0, 1}}));
    EXPECT_FALSE(track.SetMatrixKeys({{5, Matrix()}, {4, Matrix()}}));
    EXPECT_EQ(track.GetRotationKeyCount(), 0);
    EXPECT_EQ(track.GetMatrixKeyCount(), 0);
}

TEST(AnimationTrackTest, TrackWithoutKeysOfAKindGivesIdentity) {
    AnimationTrack track;
    Matrix identity;
    identity.SetIdentity();
    for (const Matrix& m : {track.GetMatrixAt(3), track.GetScaleAt(3), track.GetTranslationAt(3), track.GetRotationAt(3)}) {
        for (int i = 0; i < 16; ++i) EXPECT_EQ(m.GetPointer()[i], identity.GetPointer()[i]);
    }
}

const float kS45 = std::sqrt(0.5f);  // sin and cos of 45 degrees

// A rotation key (0, 0, s, c) turns by the conjugate (0, 0, -s, c): a quarter
// turn key gives Direct3D's rotation about z by -90 degrees.
TEST(AnimationTrackTest, RotationKeyGivesTheConjugateRotation) {
    AnimationTrack track;
    ASSERT_TRUE(track.SetRotationKeys({{0, 0, 0, kS45, kS45}}));
    ExpectNearMatrix(track.GetRotationAt(0), {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "quarter turn");
}

TEST(AnimationTrackTest, RotationSlerpsAlongTheShorterArc) {
    const float c = std::cos(0.25f * 3.14159265f), s = std::sin(0.25f * 3.14159265f);
    const std::array<float, 16> eighthTurn = {c, -s, 0, 0, s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    struct Case { const char* what; float sign; };
    for (const Case& k : {Case{"as given", 1.0f}, Case{"negated second key", -1.0f}}) {
        AnimationTrack track;
        ASSERT_TRUE(track.SetRotationKeys({{0, 0, 0, 0, 1}, {10, 0, 0, k.sign * kS45, k.sign * kS45}}));
        ExpectNearMatrix(track.GetRotationAt(5.0f), eighthTurn, k.what);
    }
    AnimationTrack same;  // equal keys: the linear fallback, no division by sin 0
    ASSERT_TRUE(same.SetRotationKeys({{0, 0, 0, kS45, kS45}, {10, 0, 0, kS45, kS45}}));
    ExpectNearMatrix(same.GetRotationAt(5.0f), {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "equal keys");
}

TEST(AnimationTrackTest, MatrixKeysPickTheNearerKey) {
    Matrix a, b, c;
    a.SetTranslation(1, 0, 0);
    b.SetTranslation(2, 0, 0);
    c.SetTranslation(3, 0, 0);
    AnimationTrack track;
    ASSERT_TRUE(track.SetMatrixKeys({{0, a}, {10, b}, {20, c}}));
    struct Case { float time; float x; };
    for (const Case& k : {Case{-1, 1}, Case{5.0f, 1}, Case{5.1f, 2}, Case{10, 2}, Case{15, 2}, Case{15.5f, 3}, Case{99, 3}}) {
        EXPECT_EQ(track.GetMatrixAt(k.time).Get(4, 1), k.x) << "time " << k.time;
    }
}

TEST(AnimationTrackTest, FindKeyGivesTheLastKeyAtOrBeforeTheTick) {
    struct Key { int32_t time; };
    const Key keys[] = {{0}, {10}, {20}, {30}, {40}, {50}, {60}, {70}};
    for (int32_t tick = 1; tick < 70; ++tick) {
        const int32_t k = FindKey(keys, 8, tick);
        EXPECT_LE(keys[k].time, tick);
        EXPECT_GT(keys[k + 1].time, tick);
    }
}

TEST(AnimationTrackTest, FrameNameIsCutAt255Characters) {
    AnimationTrack track;
    const std::string longName(300, 'n');
    track.SetFrameName(longName.c_str());
    EXPECT_EQ(std::string(track.GetFrameName()), longName.substr(0, 255));
    track.SetFrameName(nullptr);
    EXPECT_EQ(std::string(track.GetFrameName()), "");
}

}  // namespace
