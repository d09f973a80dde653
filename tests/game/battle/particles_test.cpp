#include "game/arena/particles.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/battle_fixture.h"

namespace {

using Particles = test::BattleFixture;

const float origin[2] = {0.0f, 0.0f};

// The generator state after n raw draws from seed 0.
uint32_t StateAfterDraws(int n) {
    SeedRandom(0);
    for (int i = 0; i < n; ++i) NextRandom();
    const uint32_t state = GetRandomState();
    SeedRandom(0);
    return state;
}

TEST_F(Particles, EachTypeMakesItsKindWithFourRawDrawsApiece) {
    const struct {
        int32_t type, count, kind;  // kind 0: nothing made
    } cases[] = {
        {10, 3, 100}, {14, 2, 104}, {16, 1, 106}, {20, 2, 100}, {26, 1, 106}, {27, 4, 107},
        {30, 2, 100}, {36, 1, 106}, {17, 5, 0},   {18, 5, 0},   {19, 5, 0},   {28, 5, 0},
        {29, 5, 0},   {9, 5, 0},    {37, 5, 0},   {16, 0, 0},   {12, -2, 0},
    };
    for (const auto& c : cases) {
        particleList.Clear();
        const int made = c.kind ? c.count : 0;
        const uint32_t expected = StateAfterDraws(4 * made);  // RandomInt takes two
        SpawnParticles(c.type, c.count, 0.5f, origin);
        EXPECT_EQ(particleList.Size(), made) << "type " << c.type;
        EXPECT_EQ(GetRandomState(), expected) << "type " << c.type;
        for (int32_t i = 0; i < particleList.Size(); ++i) EXPECT_EQ(particleList[i].kind, c.kind);
    }
}

TEST_F(Particles, DrawsFrameThenAngleThenSpeed) {
    const struct {
        int32_t type;
        float angleLo, angleHi, speedBase, speedRange;
        bool cone;
    } cases[] = {
        {13, -1.2f, 1.2f, 2.0f, 6.0f, true},
        {25, 0.0f, 6.2831855f, 2.0f, 10.0f, false},
        {27, 0.0f, 6.2831855f, 2.0f, 10.0f, false},
        {33, 0.0f, 6.2831855f, 1.0f, 5.0f, false},
    };
    const float given = 2.0f;
    const float position[2] = {12.5f, -40.0f};
    for (const auto& c : cases) {
        particleList.Clear();
        SeedRandom(7);
        SpawnParticles(c.type, 3, given, position);
        SeedRandom(7);
        ASSERT_EQ(particleList.Size(), 3);
        for (int32_t i = 0; i < 3; ++i) {
            const Particle& p = particleList[i];
            EXPECT_EQ(p.frame, RandomInt(0, 8)) << "type " << c.type;
            const float spread = RandomFloat(c.angleLo, c.angleHi);
            EXPECT_EQ(p.angle, c.cone ? given + spread : spread) << "type " << c.type;
            EXPECT_EQ(p.speed, c.speedBase + RandomFloat(0.0f, c.speedRange)) << "type " << c.type;
            EXPECT_EQ(p.x, 12.5f);
            EXPECT_EQ(p.y, -40.0f);
            EXPECT_EQ(p.alpha, 1.0f);
            EXPECT_EQ(p.size, 1.0f);
        }
    }
}

TEST_F(Particles, RemovedOnThe51stUpdate) {
    SpawnParticles(20, 1, 0.0f, origin);
    for (int i = 0; i < 50; ++i) UpdateParticles();
    ASSERT_EQ(particleList.Size(), 1);
    EXPECT_GT(particleList[0].alpha, 0.0f);
    EXPECT_LT(particleList[0].alpha, 1e-4f);
    UpdateParticles();
    EXPECT_EQ(particleList.Size(), 0);
}

TEST_F(Particles, MoveStraightAndFadeLinearly) {
    SpawnParticles(31, 1, 0.0f, origin);
    const Particle start = particleList[0];
    for (int i = 0; i < 25; ++i) UpdateParticles();
    const Particle& p = particleList[0];
    EXPECT_EQ(p.frame, start.frame + 25);
    EXPECT_NEAR(p.x, 25.0 * std::cos(start.angle) * start.speed, 1e-3);
    EXPECT_NEAR(p.y, 25.0 * std::sin(start.angle) * start.speed, 1e-3);
    EXPECT_NEAR(p.alpha, 0.5f, 1e-5f);
    EXPECT_NEAR(p.size, 0.5f, 1e-5f);
}

TEST_F(Particles, RemovalKeepsOrderAndSkipsNone) {
    SpawnParticles(10, 2, 0.0f, origin);  // two old ones
    for (int i = 0; i < 10; ++i) UpdateParticles();
    SpawnParticles(20, 1, 0.0f, origin);  // a young one behind them
    const int32_t youngFrame = particleList[2].frame;
    for (int i = 0; i < 41; ++i) UpdateParticles();
    // Both old ones went on the same update; the one behind them moved into
    // index 0 and was still updated in that pass.
    ASSERT_EQ(particleList.Size(), 1);
    EXPECT_EQ(particleList[0].kind, 100);
    EXPECT_EQ(particleList[0].frame, youngFrame + 41);
}

TEST_F(Particles, SpritesFollowTheViewAndTheSheetGrid) {
    Particle p{};
    p.frame = 5;  // column 2
    p.kind = 103;
    p.x = 10.0f;
    p.y = 20.0f;
    p.angle = 1.0f;
    p.alpha = 1.0f;
    p.size = 1.0f;
    particleList.Append(p);
    p.frame = 9;  // column 4; cycling kind: row 9 mod 7
    p.kind = 107;
    p.alpha = 0.5f;
    p.size = 0.5f;
    particleList.Append(p);

    const struct {
        float viewWidth;
        int32_t half, centreX, centreY, halfOfSmaller;
    } views[] = {{640.0f, 5, 330, 220, 2}, {320.0f, 10, 340, 200, 5}};  // 2.5 truncates to 2
    for (const auto& v : views) {
        viewWidth = v.viewWidth;
        viewHeight = 0.75f * v.viewWidth;
        const std::vector<ParticleSprite> sprites = ParticleSprites();
        ASSERT_EQ(sprites.size(), 2u);
        const ScreenRect& d = sprites[0].destination;
        EXPECT_EQ(d.left, v.centreX - v.half);
        EXPECT_EQ(d.right, v.centreX + v.half);
        EXPECT_EQ(d.top, v.centreY - v.half);
        EXPECT_EQ(d.bottom, v.centreY + v.half);
        EXPECT_EQ(sprites[1].destination.right - sprites[1].destination.left, 2 * v.halfOfSmaller);
    }
    const std::vector<ParticleSprite> sprites = ParticleSprites();
    EXPECT_EQ(sprites[0].source.left, 48);
    EXPECT_EQ(sprites[0].source.top, 72);
    EXPECT_EQ(sprites[0].source.right, 71);
    EXPECT_EQ(sprites[0].source.bottom, 95);
    EXPECT_EQ(sprites[1].source.left, 96);
    EXPECT_EQ(sprites[1].source.top, 48);
    EXPECT_EQ(sprites[0].rotation, RadianToAngle(1.0f));
    EXPECT_EQ(sprites[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(sprites[1].colour, 0x7FFFFFFFu);
}

TEST_F(Particles, DrawingDrawsNoRandomNumbers) {
    SpawnParticles(27, 20, 0.0f, origin);
    const uint32_t before = GetRandomState();
    ParticleSprites();
    EXPECT_EQ(GetRandomState(), before);
}

TEST(ScreenValues, TruncationIsDefinedEverywhere) {
    const struct {
        float in;
        int32_t out;
    } cases[] = {
        {2.9f, 2},
        {-2.9f, -2},
        {1e30f, SCREEN_COORDINATE_LIMIT},
        {-1e30f, -SCREEN_COORDINATE_LIMIT},
        {INFINITY, SCREEN_COORDINATE_LIMIT},
        {NAN, -SCREEN_COORDINATE_LIMIT},
    };
    for (const auto& c : cases) EXPECT_EQ(TruncateScreenValue(c.in), c.out) << c.in;
}

TEST_F(Particles, ZeroViewWidthGivesDefinedSprites) {
    viewWidth = viewHeight = 0.0f;
    SpawnParticles(20, 1, 0.0f, origin);  // at the camera: 0 / 0 is NaN, the half-size infinite
    const ScreenRect d = ParticleSprites()[0].destination;
    EXPECT_EQ(d.left, -2 * SCREEN_COORDINATE_LIMIT);
    EXPECT_EQ(d.top, -2 * SCREEN_COORDINATE_LIMIT);
    EXPECT_EQ(d.right, 0);
    EXPECT_EQ(d.bottom, 0);
}

}  // namespace
