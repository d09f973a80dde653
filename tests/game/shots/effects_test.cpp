#include "game/shots/effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/arena/object_types.h"
#include "game/flow/numeric_helpers.h"
#include "tests/game/shots/object_kinds_fixture.h"

namespace {

using Effects = test::ObjectKindsFixture;

const float at[2] = {40.0f, -25.0f};

// Updates until no Effect of the type is left of the count it started with;
// returns the number of the update on which the first one ended.
int32_t UpdateOnWhichOneEnds(int32_t type) {
    const int32_t start = test::CountEffects(type);
    for (int32_t n = 1; n <= 1000; ++n) {
        UpdateEffects();
        if (test::CountEffects(type) < start) return n;
    }
    return -1;
}

TEST_F(Effects, LifetimesFollowTheirSteps) {
    const struct {
        int32_t spawnCode, type, endsOn;
    } cases[] = {
        {10, 10, 25},   {12, 11, 41},   {21, 21, 41},  {1001, 1001, 41}, {1008, 1008, 41},
        {1100, 1100, 20}, {1101, 1101, 20}, {730, 730, 51}, {740, 740, 31}, {620, 620, 51},
    };
    for (const auto& c : cases) {
        effectList.Clear();
        attackAreaList.Clear();
        SpawnEffect(c.spawnCode, 0.0f, at, 0);
        EXPECT_EQ(UpdateOnWhichOneEnds(c.type), c.endsOn) << c.spawnCode;
    }
}

// Each update adds the row's steps (and 120's turn) to the float fields in
// double, rounded once: the values follow that sum exactly, update by update.
TEST_F(Effects, StepsAreAddedInDoubleAndRoundedOnce) {
    const struct {
        int32_t code;
        double strengthStep, scaleStep, turn;
        int32_t updates;
    } cases[] = {
        {10, -0.04, 0.08, 0.0, 24}, {120, -0.1, 0.1, -0.1, 9}, {200, 0.02, -0.05, 0.0, 19}, {511, -0.075, -0.05, 0.0, 13},
    };
    for (const auto& c : cases) {
        effectList.Clear();
        SpawnEffect(c.code, 0.5f, at, 0);
        float strength = effectList[0].strength, scale = effectList[0].scale, angle = effectList[0].angle;
        for (int32_t n = 1; n <= c.updates; ++n) {
            UpdateEffects();
            strength = static_cast<float>(strength + c.strengthStep);
            scale = static_cast<float>(scale + c.scaleStep);
            angle = static_cast<float>(angle + c.turn);
            ASSERT_EQ(effectList.Size(), 1) << c.code << " " << n;
            EXPECT_EQ(effectList[0].strength, strength) << c.code << " " << n;
            EXPECT_EQ(effectList[0].scale, scale) << c.code << " " << n;
            EXPECT_EQ(effectList[0].angle, angle) << c.code << " " << n;
        }
    }
    // 1000 grows by max(0.2 - age x 0.01, 0.01) and fades by 0.025.
    effectList.Clear();
    SpawnEffect(1000, 0.0f, at, 1);
    float strength = 1.0f, scale = 0.2f;
    for (int32_t age = 1; age <= 30; ++age) {
        UpdateEffects();
        scale = static_cast<float>(scale + std::max(0.2 - age * 0.01, 0.01));
        strength = static_cast<float>(strength - 0.025);
        EXPECT_EQ(effectList[0].scale, scale) << age;
        EXPECT_EQ(effectList[0].strength, strength) << age;
    }
}

TEST_F(Effects, GrazeLineGrazesForItsFirst32Updates) {
    SpawnEffect(1003, 0.3f, at, 1);
    int32_t grazing = 0;
    for (int32_t n = 1; n <= 40; ++n) {
        // Each update draws the picture column: one RandomInt.
        EXPECT_EQ(test::RawDraws([] { UpdateEffects(); }), 2) << n;
        const Effect& e = effectList[0];
        EXPECT_GE(e.age, 0);
        EXPECT_LE(e.age, 400);
        if (e.strength >= 0.2f) {
            EXPECT_EQ(grazing, n - 1) << "grazing stops once and for all";
            ++grazing;
            EXPECT_NEAR(e.scale * 50.0f, 25.0f + 4.0f * static_cast<float>(n), 1e-3f);
        }
    }
    EXPECT_EQ(grazing, 32);
}

TEST_F(Effects, SparkBurstsAppendFiveDelayedRecords) {
    for (int32_t code : {11, 21}) {
        effectList.Clear();
        SpawnEffect(3, 0.0f, at, 0);  // unknown: nothing
        ASSERT_EQ(effectList.Size(), 0);
        SeedRandom(5);
        int32_t index = -2;
        EXPECT_EQ(test::RawDraws([&] { index = SpawnEffect(code, 2.0f, at, 1); }), 15) << code;
        EXPECT_EQ(index, 4) << "the last record's index";
        SeedRandom(5);
        ASSERT_EQ(effectList.Size(), 5);
        for (int32_t k = 0; k < 5; ++k) {
            const Effect& e = effectList[k];
            EXPECT_EQ(e.type, code);
            EXPECT_EQ(e.age, -5 * k);
            EXPECT_EQ(e.angle, RandomFloat(0.0f, TWO_PI_F));
            EXPECT_EQ(e.position[0], at[0] + RandomFloat(-20.0f, 20.0f));
            EXPECT_EQ(e.position[1], at[1] + RandomFloat(-20.0f, 20.0f));
            EXPECT_EQ(e.owner, 1);
        }
    }
    effectList.Clear();
    EXPECT_EQ(test::RawDraws([] { SpawnEffect(12, 2.0f, at, 0); }), 1);
    ASSERT_EQ(effectList.Size(), 1);
    EXPECT_EQ(effectList[0].type, 11);
    EXPECT_EQ(effectList[0].age, 0);
    EXPECT_EQ(effectList[0].position[0], at[0]);
}

TEST_F(Effects, SpawnValuesAndAngles) {
    const struct {
        int32_t code;
        float strength, scale;
        int32_t draws;
        bool keepsAngle;
    } cases[] = {
        {10, 1, 1, 0, false}, {22, 1, 0.5f, 1, false}, {900, 0, 1, 0, false}, {740, 10, 0, 0, true},
        {200, 0, 1, 0, true}, {720, 1, 1.5f, 0, true},  {1300, 0, 1, 0, true}, {311, 1, 0.2f, 0, true},
    };
    for (const auto& c : cases) {
        effectList.Clear();
        EXPECT_EQ(test::RawDraws([&] { SpawnEffect(c.code, 2.5f, at, 0); }), c.draws) << c.code;
        const Effect& e = effectList[0];
        EXPECT_EQ(e.strength, c.strength) << c.code;
        EXPECT_EQ(e.scale, c.scale) << c.code;
        if (c.keepsAngle) {
            EXPECT_EQ(e.angle, 2.5f) << c.code;
        } else {
            EXPECT_NE(e.angle, 2.5f) << c.code;
        }
    }
}

TEST_F(Effects, DelayedEffectsWaitUndrawn) {
    SpawnEffect(12, 0.0f, at, 0);  // one spark at age 0
    effectList.Adjust(0, [](Effect& e) { e.age = -3; });
    for (int32_t n = 0; n < 2; ++n) {
        UpdateEffects();
        EXPECT_EQ(effectList[0].strength, 1.0f);
        EXPECT_TRUE(EffectSprites().empty());
    }
    UpdateEffects();  // the age reaches 0: this update runs the row
    EXPECT_EQ(effectList[0].age, 0);
    EXPECT_FLOAT_EQ(effectList[0].strength, 0.975f);
    EXPECT_EQ(EffectSprites().size(), 1u);
}

TEST_F(Effects, Effect740LaysTenTrailsUpdatedInTheSameWalk) {
    SpawnEffect(740, 1.0f, at, 1);
    int32_t laid = 0;
    for (int32_t n = 1; n <= 31; ++n) {
        UpdateEffects();
        // A trail laid in this walk was updated in it too: age 1.
        int32_t fresh = 0;
        for (int32_t i : test::EffectIndices(741)) {
            if (effectList[i].age != 1) continue;
            ++fresh;
            EXPECT_EQ(effectList[i].owner, 1);
            EXPECT_EQ(effectList[i].angle, 1.0f);
            EXPECT_FLOAT_EQ(effectList[i].strength, 0.95f);
        }
        EXPECT_EQ(fresh, n % 3 == 0 && n <= 30 ? 1 : 0) << n;
        laid += fresh;
        EXPECT_EQ(test::CountEffects(740), n <= 30 ? 1 : 0) << n;
    }
    EXPECT_EQ(laid, 10);
}

TEST_F(Effects, GrazeMarkFadesInHoldsAndShrinks) {
    SpawnEffect(EFFECT_GRAZE_MARK, 1.0f, at, 0);
    EXPECT_EQ(effectList[0].angle, 0.0f);
    for (int32_t n = 1; n <= 10; ++n) UpdateEffects();
    EXPECT_NEAR(effectList[0].strength, 1.0f, 1e-5f);
    for (int32_t n = 11; n <= 20; ++n) UpdateEffects();
    EXPECT_EQ(effectList[0].scale, 1.0f);
    UpdateEffects();  // age 21
    EXPECT_FLOAT_EQ(effectList[0].scale, 0.95f);
    int32_t n = 21;
    while (effectList.Size() > 0 && n < 100) {
        UpdateEffects();
        ++n;
    }
    EXPECT_EQ(n, 40);  // the float scale reaches 0 on the 20th shrink
    // The mark is drawn upright.
    SpawnEffect(EFFECT_GRAZE_MARK, 0.0f, at, 0);
    const std::vector<ObjectSprite> sprites = EffectSprites();
    ASSERT_EQ(sprites.size(), 1u);
    EXPECT_FALSE(sprites[0].turned);
    EXPECT_EQ(sprites[0].sheet, SpriteSheet::BattleSystem);
}

TEST_F(Effects, BombHurtsBothSidesAndSparksFirst) {
    players[0].x = -100.0f;
    players[1].x = 100.0f;
    const float bombAt[2] = {0.0f, 50.0f};
    SpawnEffect(311, 0.0f, bombAt, 0);
    for (int32_t age = 1; age <= 60; ++age) {
        attackAreaList.Clear();
        const int32_t draws = test::RawDraws([] { UpdateEffects(); });
        // Six sparks, each a RandomInt (two draws) and a RandomFloat.
        EXPECT_EQ(draws, age < 6 ? 18 : 0) << age;
        if (age == 5) {
            EXPECT_EQ(test::CountEffects(1100) + test::CountEffects(1101), 30);
        }
        const bool blasts = age < 60 && age % 5 == 0;
        ASSERT_EQ(attackAreaList.Size(), blasts ? 2 : 0) << age;
        if (!blasts) continue;
        EXPECT_EQ(attackAreaList[0].owner, 0);
        EXPECT_FLOAT_EQ(attackAreaList[0].angle, static_cast<float>(std::atan2(50.0, -100.0)));
        EXPECT_EQ(attackAreaList[1].owner, 1);
        EXPECT_FLOAT_EQ(attackAreaList[1].angle, static_cast<float>(std::atan2(50.0, 100.0)));
        EXPECT_EQ(attackAreaList[1].hitShape[2], 180.0f);
    }
    EXPECT_EQ(effectList[0].type, 311);
    EXPECT_FLOAT_EQ(effectList[0].scale, 1.0f);  // grew by 0.1 up to its cap
}

TEST_F(Effects, EffectsThatLayAreas) {
    const struct {
        int32_t code;
        std::vector<int32_t> ages;  // updates that lay an area
        int32_t area;
        float radius, knockBack;
    } cases[] = {
        {310, {7, 14}, 310, 60, 3},
        {315, {5, 10, 15}, 310, 100, 3},
        {522, {4}, 530, 40, 6},
        {635, {5}, 635, 0, 1},
        {636, {5}, 635, 0, 14},
    };
    for (const auto& c : cases) {
        effectList.Clear();
        SpawnEffect(c.code, 0.5f, at, 1);
        std::vector<int32_t> laid;
        for (int32_t age = 1; age <= 30; ++age) {
            attackAreaList.Clear();
            UpdateEffects();
            if (attackAreaList.Size() == 0) continue;
            laid.push_back(age);
            const AttackArea& a = attackAreaList[0];
            EXPECT_EQ(a.type, c.area) << c.code;
            EXPECT_EQ(a.owner, 1);
            EXPECT_EQ(a.hitShape[2], c.radius) << c.code;
            EXPECT_EQ(a.knockBackSpeed, c.knockBack) << c.code;
            // Laid where the Effect stands after this update's move.
            EXPECT_EQ(a.position[0], effectList[0].position[0]) << c.code;
        }
        EXPECT_EQ(laid, c.ages) << c.code;
    }
}

TEST_F(Effects, MovesAlongTheirAngle) {
    SpawnEffect(1100, PI_F / 2.0f, at, 0);
    UpdateEffects();
    EXPECT_NEAR(effectList[0].position[0], at[0], 1e-4f);
    EXPECT_NEAR(effectList[0].position[1], at[1] + 10.0f, 1e-4f);
    // 1000 follows its owner and draws a new angle every update.
    effectList.Clear();
    SpawnEffect(1000, 0.0f, at, 1);
    EXPECT_EQ(test::RawDraws([] { UpdateEffects(); }), 1);
    EXPECT_EQ(effectList[0].position[0], players[1].x);
    EXPECT_EQ(effectList[0].position[1], players[1].y);
}

TEST_F(Effects, RingOverlays) {
    viewWidth = 320.0f;
    viewHeight = 240.0f;
    players[0].x = 0.0f;
    players[0].y = 0.0f;
    const struct {
        int32_t flash, state, stateTimer;
        float hyper;
        bool drawn;
        int32_t half;
        uint32_t colour;
    } cases[] = {
        {10, PLAYER_FREE, 0, 0, true, 40, 0x96FFFFFFu},
        {51, PLAYER_FREE, 0, 0, true, 200, 0x96FFFFFFu},
        {0, PLAYER_KNOCKED_BACK, 5, 1.0f, true, 50, 0xCDFF0000u},
        {0, PLAYER_KNOCKED_BACK, 30, 2.0f, true, 150, 0xD3FF0000u},  // 255 - 300 wraps to 211
        {0, PLAYER_KNOCKED_BACK, 5, 0.99f, false, 0, 0},
        {0, PLAYER_DASH, 5, 3.0f, false, 0, 0},
    };
    for (const auto& c : cases) {
        players[0].hitFlashCounter = c.flash;
        players[0].state = c.state;
        players[0].stateTimer = c.stateTimer;
        players[0].hyperGauge = c.hyper;
        players[0].ringPhase = 1234;
        const std::vector<ObjectSprite> sprites = EffectSprites();
        ASSERT_EQ(sprites.size(), c.drawn ? 1u : 0u) << c.flash << " " << c.stateTimer;
        if (!c.drawn) continue;
        const ObjectSprite& s = sprites[0];
        EXPECT_EQ(s.destination.right - 320, c.half);
        EXPECT_EQ(240 - s.destination.top, c.half);
        EXPECT_EQ(s.colour, c.colour);
        EXPECT_EQ(s.rotation, 1234);
        EXPECT_EQ(s.sheet, SpriteSheet::BattleSystem);
        EXPECT_EQ(s.source.left, 240);
        EXPECT_EQ(s.source.bottom, 259);
    }
}

TEST_F(Effects, PicturesBySheetAndFrame) {
    viewWidth = 320.0f;
    viewHeight = 240.0f;
    const float centre[2] = {0.0f, 0.0f};
    const struct {
        int32_t code, age;
        float strength, scale;
        SpriteSheet sheet;
        ScreenRect source;
        int32_t halfA, halfB;
        uint32_t colour;
        SpriteBlend blend;
    } cases[] = {
        {10, 3, 1, 1, SpriteSheet::BattleEffect, {100, 0, 199, 99}, 30, 30, 0xFFFFFFFFu, SpriteBlend::AlphaAdd},
        // 12 spawns a single Effect 11.
        {12, 7, 0.5f, 1, SpriteSheet::BattleEffect, {128, 100, 191, 163}, 40, 40, 0x7FFFFFFFu, SpriteBlend::Alpha},
        {1002, 6, 0.7f, 1, SpriteSheet::Ring, {120, 0, 179, 179}, 15, 80, 0xB2FFFFFFu, SpriteBlend::AlphaAdd},
        {1002, 7, 0.5f, 1, SpriteSheet::Ring, {180, 180, 239, 359}, 15, 80, 0x7FFFFFFFu, SpriteBlend::AlphaAdd},
        {31, 14, 0.5f, 1, SpriteSheet::Ring, {128, 360, 191, 423}, 20, 40, 0xBFFFFFFFu, SpriteBlend::AlphaAdd},
        {1100, 0, 1, 1.5f, SpriteSheet::Ring, {240, 200, 439, 249}, 150, 10, 0xFFFFFFFFu, SpriteBlend::AlphaAdd},
        {120, 0, 1, 1, SpriteSheet::Item, {256, 511, 511, 257}, 120, 120, 0xFFFFFFFFu, SpriteBlend::AlphaAdd},
        {110, 0, 0.5f, 1, SpriteSheet::Item, {0, 210, 499, 241}, 300, 80, 0x7F7F7FFFu, SpriteBlend::AlphaAdd},
        {610, 0, 0.1f, 1, SpriteSheet::Item, {380, 0, 439, 49}, 46, 15, 0xFFFFFFFFu, SpriteBlend::AlphaAdd},
        {520, 2, 1, 0.5f, SpriteSheet::Item, {340, 0, 419, 79}, 180, 80, 0xFFFFFFFFu, SpriteBlend::AlphaAdd},
    };
    for (const auto& c : cases) {
        effectList.Clear();
        const int32_t index = SpawnEffect(c.code, 0.0f, centre, 1);
        effectList.Adjust(index, [&](Effect& e) {
            e.age = c.age;
            e.strength = c.strength;
            e.scale = c.scale;
        });
        const uint32_t before = GetRandomState();
        const std::vector<ObjectSprite> sprites = EffectSprites();
        EXPECT_EQ(GetRandomState(), before);
        ASSERT_EQ(sprites.size(), 1u) << c.code;
        const ObjectSprite& s = sprites[0];
        EXPECT_EQ(s.sheet, c.sheet) << c.code;
        EXPECT_EQ(s.owner, 1);
        EXPECT_EQ(s.source.left, c.source.left) << c.code << " age " << c.age;
        EXPECT_EQ(s.source.top, c.source.top) << c.code << " age " << c.age;
        EXPECT_EQ(s.source.right, c.source.right) << c.code << " age " << c.age;
        EXPECT_EQ(s.source.bottom, c.source.bottom) << c.code << " age " << c.age;
        EXPECT_EQ(s.destination.right - 320, c.halfA) << c.code;
        EXPECT_EQ(240 - s.destination.top, c.halfB) << c.code;
        EXPECT_EQ(s.colour, c.colour) << c.code;
        EXPECT_EQ(s.blend, c.blend) << c.code;
    }
    // 311 is drawn twice; 401 and 740 not at all.
    effectList.Clear();
    SpawnEffect(311, 0.0f, centre, 0);
    SpawnEffect(401, 0.0f, centre, 0);
    SpawnEffect(740, 0.0f, centre, 0);
    EXPECT_EQ(EffectSprites().size(), 2u);
}

}  // namespace
