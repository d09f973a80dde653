#include "game/shots/attack_areas.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/flow/sound_tables.h"

#include "game/arena/object_types.h"
#include "game/arena/particles.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"
#include "tests/game/shots/object_kinds_fixture.h"

namespace {

using AttackAreas = test::ObjectKindsFixture;

const float at[2] = {12.0f, -30.0f};

TEST_F(AttackAreas, SpawnTableGivesStoredCodeShapeAndFlags) {
    const struct {
        int32_t code, storedAs;
        float along, across, radius;
        int32_t power;
        float knockBack, scaleX, scaleY;
        int32_t missesDashing;
        uint8_t knocksBack;
    } cases[] = {
        {10, 10, 600, 50, 0, 30, 4, 0, 0, 0, 1},
        {121, 120, 60, 10, 0, 85, 12, 0, 0, 0, 1},
        {502, 501, 0, 0, 60, 50, 1, 0, 0, 0, 1},
        {513, 510, 60, 40, 0, 95, 4, 0, 0, 0, 1},
        {514, 511, 60, 50, 0, 435, 20, 0, 0, 0, 1},
        {210, 210, 20, 10, 0, 25, 2, 0, 0, 0, 1},
        {212, 212, 20, 10, 0, 25, 2, 0, 0, 0, 1},
        {211, 211, 0, 0, 0, 25, 2, 0, 0, 0, 1},
        {213, 213, 0, 0, 0, 25, 2, 0, 0, 0, 1},
        {202, 202, 0, 0, 0, 0, 0, 0, 0, 0, 1},
        {310, 310, 0, 0, 60, 20, 3, 0, 0, 1, 1},
        {540, 540, 0, 0, 60, 10, 0, 0, 0, 1, 0},
        {640, 640, 0, 0, 50, 40, 10, 0, 0, 1, 1},
        {430, 430, 35, 15, 0, 10, 2, 1, 1, 0, 1},
        {830, 830, 0, 0, 0, 65, 6, 1, 0, 0, 1},
        {203, 203, 0, 0, 180, 1000, 20, 0, 0, 0, 1},
    };
    for (const auto& c : cases) {
        attackAreaList.Clear();
        int32_t index = -2;
        EXPECT_EQ(test::RawDraws([&] { index = SpawnAttackArea(c.code, 0.75f, at, 1); }), 0) << c.code;
        ASSERT_EQ(index, 0) << c.code;
        const AttackArea& a = attackAreaList[0];
        EXPECT_EQ(a.type, c.storedAs) << c.code;
        EXPECT_EQ(a.hitShape[0], c.along) << c.code;
        EXPECT_EQ(a.hitShape[1], c.across) << c.code;
        EXPECT_EQ(a.hitShape[2], c.radius) << c.code;
        EXPECT_EQ(a.power, c.power) << c.code;
        EXPECT_EQ(a.knockBackSpeed, c.knockBack) << c.code;
        EXPECT_EQ(a.scaleX, c.scaleX) << c.code;
        EXPECT_EQ(a.scaleY, c.scaleY) << c.code;
        EXPECT_EQ(a.missesDashingPlayer, c.missesDashing) << c.code;
        EXPECT_EQ(a.knocksBack, c.knocksBack) << c.code;
        EXPECT_EQ(a.owner, 1);
        EXPECT_EQ(a.angle, 0.75f);
        EXPECT_EQ(a.position[0], at[0]);
        EXPECT_EQ(a.position[1], at[1]);
    }
}

TEST_F(AttackAreas, EveryListedCodeSpawnsAndOnlyThose) {
    for (int32_t code = 0; code < 1400; ++code) {
        attackAreaList.Clear();
        const int32_t index = SpawnAttackArea(code, 0.0f, at, 0);
        EXPECT_EQ(index, IsSpawnableCode(ObjectKind::AttackArea, code) ? 0 : -1) << code;
    }
    attackAreaList.Clear();
    SpawnAttackArea(10, 0.0f, at, 0);
    EXPECT_EQ(SpawnAttackArea(12, 0.0f, at, 0), 0);  // unknown: the last index, nothing appended
    EXPECT_EQ(attackAreaList.Size(), 1);
}

TEST_F(AttackAreas, BurstAreasDrawTheirSizeOnce) {
    for (int32_t code : {301, 302}) {
        SeedRandom(99);
        const float expected = RandomFloat(0.9f, 1.1f);
        SeedRandom(99);
        attackAreaList.Clear();
        EXPECT_EQ(test::RawDraws([&] { SpawnAttackArea(code, 0.0f, at, 0); }), 1) << code;
        EXPECT_EQ(attackAreaList[0].scaleX, 1.0f);
        EXPECT_EQ(attackAreaList[0].scaleY, expected);
        EXPECT_EQ(attackAreaList[0].power, 30);
    }
}

TEST(RotateVector2, BothOutputsComeFromTheOldVector) {
    const struct {
        float x, y;
        double angle;
        float ex, ey;
    } cases[] = {
        {1, 0, 3.14159265358979 / 2, 0, 1},
        {0, 1, 3.14159265358979 / 2, -1, 0},
        {3, 4, 3.14159265358979, -3, -4},
        {2, 0, 0, 2, 0},
    };
    for (const auto& c : cases) {
        float v[2] = {c.x, c.y};
        RotateVector2(v, c.angle);
        EXPECT_NEAR(v[0], c.ex, 1e-6) << c.x << "," << c.y;
        EXPECT_NEAR(v[1], c.ey, 1e-6) << c.x << "," << c.y;
    }
}

TEST_F(AttackAreas, Hit221ThrowsSparksAndTheOwnerBack) {
    players[0].x = -40.0f;
    players[0].y = 30.0f;
    const float areaAt[2] = {0.0f, 0.0f};
    const int32_t index = SpawnAttackArea(221, 0.5f, areaAt, 0);
    const float victim[2] = {players[1].x, players[1].y};
    // 10 particles (4 draws each), six Effects 21 (two offset draws and 15
    // inside each spawn), six Effects 1100 (one angle draw each).
    EXPECT_EQ(test::RawDraws([&] { HitAttackArea(index, victim); }), 40 + 6 * (2 + 15) + 6);
    EXPECT_EQ(particleList.Size(), 10);
    ASSERT_EQ(test::CountEffects(21), 30);
    ASSERT_EQ(test::CountEffects(1100), 6);
    // Each spawn of 21 returns its fifth record, so only that one gets the
    // caller's delay.
    for (int32_t k = 0; k < 6; ++k) {
        const Effect& last = effectList[5 * k + 4];
        EXPECT_EQ(last.age, -5 * k) << k;
        EXPECT_EQ(effectList[5 * k + 3].age, -15) << k;
        EXPECT_LE(std::fabs(effectList[5 * k].position[0]), 50.0f);
    }
    const std::vector<int32_t> rings = test::EffectIndices(1100);
    for (size_t k = 0; k < rings.size(); ++k) {
        const Effect& e = effectList[rings[k]];
        EXPECT_EQ(e.position[0], players[1].x);
        EXPECT_NEAR(e.angle, static_cast<float>(k) * TWO_PI_F / 6.0f, 0.3f + 1e-6f);
        EXPECT_EQ(e.owner, 0);
    }
    const PlayerRecord& owner = players[0];
    EXPECT_EQ(owner.state, PLAYER_KNOCKED_BACK);
    EXPECT_EQ(owner.stateTimer, 0);
    EXPECT_EQ(owner.speed, 10.0);
    const double away = std::atan2(30.0, -40.0);
    EXPECT_FLOAT_EQ(owner.aimAngle, static_cast<float>(away));
    EXPECT_DOUBLE_EQ(owner.moveAngle, away);  // already inside [-pi, pi]
    EXPECT_EQ(attackAreaList.Size(), 1);  // the area itself is left alone
    EXPECT_EQ(TakeSounds(), std::vector<int32_t>{SE_DON});
}

TEST_F(AttackAreas, Hit501AddsFlamesWithThePowerUpCounter) {
    players[0].characterId = 5;
    const float victim[2] = {players[1].x, players[1].y};
    const struct {
        int32_t code;  // 502 is stored as 501 and answers the same
        int32_t modeFlag;
        int32_t flames;
    } cases[] = {{501, 0, 0}, {501, 1, 4}, {502, 3, 4}, {502, 0, 0}};
    for (const auto& c : cases) {
        effectList.Clear();
        particleList.Clear();
        attackAreaList.Clear();
        players[0].modeFlag = c.modeFlag;
        const int32_t index = SpawnAttackArea(c.code, 1.0f, at, 0);
        HitAttackArea(index, victim);
        const std::vector<int32_t> withFire = {SE_FIRE, SE_HIT};
        EXPECT_EQ(TakeSounds(), c.flames ? withFire : std::vector<int32_t>{SE_HIT});
        EXPECT_EQ(test::CountEffects(503), 1) << c.code;
        EXPECT_EQ(particleList.Size(), 10);
        EXPECT_EQ(particleList[0].kind, 100 + characterParams[5].particleColours[0][0]);
        const std::vector<int32_t> flames = test::EffectIndices(521);
        ASSERT_EQ(static_cast<int32_t>(flames.size()), c.flames) << c.code << " mode " << c.modeFlag;
        for (size_t k = 0; k < flames.size(); ++k) {
            const Effect& f = effectList[flames[k]];
            EXPECT_EQ(f.age, -4 * static_cast<int32_t>(k));
            EXPECT_FLOAT_EQ(f.angle, PI_F / 2.0f);
            EXPECT_GE(f.position[0], victim[0] - 15.0f);
            EXPECT_LE(f.position[0], victim[0] + 15.0f);
            EXPECT_GE(f.position[1], victim[1] - 20.0f);
            EXPECT_LE(f.position[1], victim[1]);
        }
    }
}

TEST_F(AttackAreas, OtherResponses) {
    const float victim[2] = {players[1].x, players[1].y};
    const struct {
        int32_t code;
        int32_t effect, effects, particles, particleKind;  // particleKind 0: not checked
        int32_t draws;
        std::vector<int32_t> sounds;
    } cases[] = {
        {11, 31, 1, 10, 104, 40, {}},  // no row: Effect 31 and ten sparks of colour 4, silent
        {213, 31, 1, 10, 104, 40, {}},
        {225, 0, 0, 0, 0, 0, {}},  // nothing
        {635, 631, 2, 6, 0, 2 + 24, {SE_HIT_S2}},  // two r draws, then six particles
        {730, 711, 1, 6, 0, 24 + 1, {SE_HIT_S2}},
        {311, 21, 5, 4, 101, 15 + 16, {SE_DAMAGE}},
        {102, 111, 2, 30, 0, 120, {SE_HIT_S2}},
    };
    for (const auto& c : cases) {
        effectList.Clear();
        particleList.Clear();
        attackAreaList.Clear();
        const int32_t index = SpawnAttackArea(c.code, 0.25f, at, 0);
        EXPECT_EQ(test::RawDraws([&] { HitAttackArea(index, victim); }), c.draws) << c.code;
        EXPECT_EQ(TakeSounds(), c.sounds) << c.code;
        if (c.effect) {
            EXPECT_EQ(test::CountEffects(c.effect), c.effects) << c.code;
        }
        EXPECT_EQ(effectList.Size(), c.effects) << c.code;
        EXPECT_EQ(particleList.Size(), c.particles) << c.code;
        if (c.particleKind) {
            EXPECT_EQ(particleList[0].kind, c.particleKind) << c.code;
        }
    }
    // 540 feeds the victim's boost gauge instead of knocking it back.
    effectList.Clear();
    const int32_t index = SpawnAttackArea(540, 0.0f, at, 0);
    HitAttackArea(index, victim);
    EXPECT_FLOAT_EQ(players[1].boostGauge, 0.2f);
    EXPECT_EQ(test::CountEffects(521), 1);
    // An index outside the list answers nothing.
    EXPECT_EQ(test::RawDraws([&] { HitAttackArea(7, victim); }), 0);
}

TEST_F(AttackAreas, OnlyPicturedAreasAreDrawn) {
    const float centre[2] = {0.0f, 0.0f};
    for (int32_t code = 0; code < 1000; ++code) SpawnAttackArea(code, 0.0f, centre, 1);
    const uint32_t before = GetRandomState();
    const std::vector<ObjectSprite> sprites = AttackAreaSprites();
    EXPECT_EQ(GetRandomState(), before);
    // 202, 210, 211, 212, 213, 301, 302, 312, 313, 320, 321, 430, 740, 741,
    // 830, 831; nothing else, the stored-as codes included.
    EXPECT_EQ(sprites.size(), 16u);
    for (const ObjectSprite& s : sprites) {
        EXPECT_EQ(s.sheet, SpriteSheet::Item);
        EXPECT_EQ(s.owner, 1);
        EXPECT_EQ(s.blend, SpriteBlend::AlphaAdd);
    }
}

TEST_F(AttackAreas, PictureGeometryAndAlpha) {
    viewWidth = 320.0f;  // two pixels per world unit: half-extents map one to one
    viewHeight = 240.0f;
    const float centre[2] = {10.0f, 0.0f};
    const struct {
        int32_t code;
        float scaleX;
        ScreenRect destination, source;
        uint32_t colour;
    } cases[] = {
        {210, 0, {340 - 30, 240 - 30, 340 + 30, 240 + 30}, {47, 0, 1, 47}, 0xFFFFFFFFu},  // mirrored source
        {320, 0.5f, {340 - 1200, 240 - 160, 340 + 1200, 240 + 160}, {0, 200, 299, 229}, 0x64FFFFFFu},
        {741, 0.99f, {340 - 1200, 240 - 140, 340 + 1200, 240 + 140}, {220, 240, 469, 279}, 0xF7FFFFFFu},
        {313, 0, {340 - 35, 240 - 35, 340 + 35, 240 + 35}, {400, 190, 479, 229}, 0xC8FFFFFFu},
    };
    for (const auto& c : cases) {
        attackAreaList.Clear();
        const int32_t index = SpawnAttackArea(c.code, 1.0f, centre, 0);
        attackAreaList.Adjust(index, [&](AttackArea& a) {
            a.scaleX = c.scaleX;
            a.scaleY = 1.0f;
        });
        const std::vector<ObjectSprite> sprites = AttackAreaSprites();
        ASSERT_EQ(sprites.size(), 1u) << c.code;
        const ObjectSprite& s = sprites[0];
        EXPECT_EQ(s.destination.left, c.destination.left) << c.code;
        EXPECT_EQ(s.destination.top, c.destination.top) << c.code;
        EXPECT_EQ(s.destination.right, c.destination.right) << c.code;
        EXPECT_EQ(s.destination.bottom, c.destination.bottom) << c.code;
        EXPECT_EQ(s.source.left, c.source.left) << c.code;
        EXPECT_EQ(s.source.right, c.source.right) << c.code;
        EXPECT_EQ(s.source.bottom, c.source.bottom) << c.code;
        EXPECT_EQ(s.colour, c.colour) << c.code;
        EXPECT_TRUE(s.turned);
        EXPECT_EQ(s.rotation, RadianToAngle(-1.0f)) << c.code;
    }
}

}  // namespace
