#include "game/shots/heavy_shots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/arena/object_types.h"
#include "game/arena/particles.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/shot_drawing.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_objects_fixture.h"

namespace {

using HeavyShotsTest = test::BattleObjectsFixture;

constexpr float origin[2] = {0.0f, 0.0f};

// A HeavyShot made in place, as kirune's code makes its rays 110.
int32_t AppendRay(int32_t type, const float position[2] = origin) {
    HeavyShot h{};
    h.type = type;
    h.owner = 0;
    h.targetSide = 1;
    h.vanishesOnHit = h.knocksBack = 1;
    for (int k = 0; k < 2; ++k) h.position[k] = h.previousPosition[k] = h.trailPosition[k] = position[k];
    return heavyShotList.Append(h);
}

TEST_F(HeavyShotsTest, SpawnValuesPerCode) {
    const struct {
        int32_t type;
        float speed, param;
        float shape[3];
        int32_t damage;
        float knockBack;
    } cases[] = {
        {101, 15, 0, {12, 6, 0}, 120, 8},   {103, 16, 0, {20, 10, 0}, 140, 14}, {104, 16, 0, {0, 0, 0}, 30, 10},
        {115, 0, 0, {0, 0, 0}, 0, 8},       {121, 16, 0, {20, 60, 0}, 120, 6},  {211, 5, -0.1f, {0, 0, 0}, 50, 3},
        {220, 5, 0, {0, 0, 0}, 50, 8},      {302, 20, 0, {25, 12, 0}, 200, 8},  {402, 14, 0, {0, 0, 8}, 100, 8},
        {411, 0, 0, {0, 0, 0}, 10, 4},      {510, 12, 0, {10, 40, 0}, 30, 6},   {610, -8, 0, {40, 5, 0}, 60, 6},
        {613, 16, 0, {20, 10, 0}, 80, 6},   {720, -8, 1.0f, {30, 8, 0}, 60, 6}, {730, 0, 0, {0, 0, 0}, 20, 2},
        {741, 1, 0, {0, 0, 0}, 60, 6},      {761, 0, 0.1f, {0, 0, 0}, 0, 0},    {762, 0, -0.1f, {0, 0, 0}, 0, 0},
        {803, 16, 0, {20, 10, 0}, 80, 8},   {804, 6, 0, {0, 0, 0}, 20, 6},      {830, 30, 0, {0, 0, 160}, 75, 15},
    };
    const float pos[2] = {3.0f, 4.0f};
    for (const auto& c : cases) {
        heavyShotList.Clear();
        ASSERT_EQ(SpawnHeavyShot(c.type, 0.7f, pos, 1), 0) << c.type;
        const HeavyShot& h = heavyShotList[0];
        EXPECT_EQ(h.speed, c.speed) << c.type;
        EXPECT_EQ(h.param, c.param) << c.type;
        for (int k = 0; k < 3; ++k) EXPECT_EQ(h.hitShape[k], c.shape[k]) << c.type << " shape " << k;
        EXPECT_EQ(h.damage, c.damage) << c.type;
        EXPECT_EQ(h.knockBackSpeed, c.knockBack) << c.type;
        EXPECT_EQ(h.heading, 0.7f);
        EXPECT_EQ(h.angle, 0.7f);
        EXPECT_EQ(h.age, 0);
        EXPECT_EQ(h.targetSide, 0);
        EXPECT_EQ(h.knocksBack, 1);
        EXPECT_EQ(h.trailPosition[1], 4.0f);
    }
}

TEST_F(HeavyShotsTest, OnlyFourCodesStayAfterAHit) {
    for (int32_t code : SpawnableCodes(ObjectKind::HeavyShot)) {
        heavyShotList.Clear();
        ASSERT_EQ(SpawnHeavyShot(code, 0.0f, origin, 0), 0) << code;
        const bool stays = code == 230 || code == 730 || code == 804 || code == 830;
        EXPECT_EQ(heavyShotList[0].vanishesOnHit, stays ? 0 : 1) << code;
    }
    heavyShotList.Clear();
    EXPECT_EQ(SpawnHeavyShot(110, 0.0f, origin, 0), -1);
    EXPECT_EQ(SpawnHeavyShot(100, 0.0f, origin, 0), -1);
    EXPECT_EQ(heavyShotList.Size(), 0);
}

// The age grows first, so the events of age n happen on the n-th update.
TEST_F(HeavyShotsTest, LifetimesEndOnTheirAge) {
    const struct {
        int32_t type;
        int32_t updates;
    } cases[] = {
        {110, 101}, {115, 101}, {120, 20}, {121, 20}, {403, 75}, {411, 41}, {420, 41}, {422, 41}, {520, 401},
        {650, 21},  {710, 101}, {720, 50}, {721, 40}, {730, 100}, {750, 100}, {760, 26}, {763, 26},
        {770, 100}, {802, 28},  {804, 31}, {820, 31},
    };
    for (const auto& c : cases) {
        heavyShotList.Clear();
        if (c.type == 110) AppendRay(110);
        else SpawnHeavyShot(c.type, 0.0f, origin, 0);
        EXPECT_EQ(UpdatesUntilEmpty(heavyShotList, UpdateHeavyShots, 1000), c.updates) << c.type;
    }
}

TEST_F(HeavyShotsTest, StepOrderAgesAndTheFieldBox) {
    // The 10th update is the one of age 10: 121 slows to 5 there.
    SpawnHeavyShot(121, 0.0f, origin, 0);
    for (int n = 0; n < 10; ++n) UpdateHeavyShots();
    EXPECT_EQ(heavyShotList[0].position[0], 9.0f * 16.0f + 5.0f);
    EXPECT_EQ(heavyShotList[0].previousPosition[0], 9.0f * 16.0f);
    EXPECT_EQ(heavyShotList[0].trailPosition[0], heavyShotList[0].position[0]);

    // A waiting HeavyShot neither moves nor marks where it started, and is not drawn.
    heavyShotList.Clear();
    const float start[2] = {5.0f, 0.0f};
    SpawnHeavyShot(401, 0.0f, start, 0);
    heavyShotList.Adjust(0, [](HeavyShot& h) {
        h.age = -3;
        h.previousPosition[0] = -1.0f;
    });
    for (int n = 0; n < 2; ++n) UpdateHeavyShots();
    EXPECT_EQ(heavyShotList[0].age, -1);
    EXPECT_EQ(heavyShotList[0].position[0], 5.0f);
    EXPECT_EQ(heavyShotList[0].previousPosition[0], -1.0f);
    EXPECT_TRUE(HeavyShotSprites().empty());
    UpdateHeavyShots();  // age 0: the waiting is over
    EXPECT_EQ(heavyShotList[0].previousPosition[0], 5.0f);
    EXPECT_EQ(heavyShotList[0].position[0], 17.0f);
    EXPECT_EQ(HeavyShotSprites().size(), 1u);

    // A still beam far outside the field stays; a moving shot there goes.
    heavyShotList.Clear();
    const float far[2] = {800.0f, 0.0f};
    AppendRay(110, far);
    SpawnHeavyShot(401, PI_F, far, 0);
    AppendRay(110, far);
    UpdateHeavyShots();
    ASSERT_EQ(heavyShotList.Size(), 2);
    EXPECT_EQ(heavyShotList[0].type, 110);
    EXPECT_EQ(heavyShotList[1].type, 110);
    EXPECT_EQ(heavyShotList[1].age, 1) << "the one after the erased shot is updated";
}

// 230 and 411 make themselves grazable again when they lay their areas; 411
// also stretches its graze segment 600 back along its angle.
TEST_F(HeavyShotsTest, TypesThatClearTheirGrazeMark) {
    const struct {
        int32_t type;
        int32_t ageBefore;
        int32_t area;  // 0: none this update
    } cases[] = {{230, 4, 201}, {230, 5, 0}, {411, 4, 401}, {411, 19, 0}};
    for (const auto& c : cases) {
        heavyShotList.Clear();
        TakeSpawns();
        const float at[2] = {50.0f, 0.0f};
        SpawnHeavyShot(c.type, 0.0f, at, 0);
        heavyShotList.Adjust(0, [&](HeavyShot& h) {
            h.age = c.ageBefore;
            h.grazed = 1;
        });
        UpdateHeavyShots();
        EXPECT_EQ(heavyShotList[0].grazed, c.area ? 0 : 1) << c.type << " " << c.ageBefore;
        EXPECT_EQ(SpawnedTypes(ObjectKind::AttackArea),
                  c.area ? std::vector<int32_t>{c.area} : std::vector<int32_t>{})
            << c.type << " " << c.ageBefore;
        if (c.type == 411 && c.area) {
            EXPECT_EQ(heavyShotList[0].previousPosition[0], -550.0f);
        }
    }
}

TEST_F(HeavyShotsTest, BackwardStartersTurnAround) {
    // Each within its lifetime (720 ends at age 50).
    const struct {
        int32_t type;
        int frames;
    } cases[] = {{610, 10}, {720, 30}, {740, 60}};
    for (const auto& c : cases) {
        heavyShotList.Clear();
        SpawnHeavyShot(c.type, 0.0f, origin, 0);
        UpdateHeavyShots();
        EXPECT_LT(heavyShotList[0].position[0], 0.0f) << c.type;
        for (int n = 1; n < c.frames; ++n) UpdateHeavyShots();
        ASSERT_EQ(heavyShotList.Size(), 1) << c.type;
        EXPECT_GT(heavyShotList[0].speed, 0.0f) << c.type;
    }
}

// Ray 110: a random width on even ages below 60 (one draw each), attack
// areas of code 10 on ages 16 to 56, its sound at age 20, and a picture of a
// faint long layer with a core that shows up to age 80.
// The per-update gains and turns are added to the float fields in double and
// rounded once: speed, angle, heading and param follow that sum exactly.
TEST_F(HeavyShotsTest, GainsAndTurnsAreAddedInDoubleAndRoundedOnce) {
    const struct {
        int32_t code;
        int32_t updates;
        double speedStep, angleStep, paramStep;
        bool angleIsHeading;
    } cases[] = {
        {230, 10, 0.05, 0.1, 0.0, false},  // its heading homes by its own rule
        {720, 10, 0.8, 0.0, 0.0, true},     // param is drawn anew; only the speed is checked with it
        {740, 10, 0.1, 0.0, 0.0, true},
        {741, 8, 0.2, 0.05, 0.0, true},
        {750, 4, 0.0, 0.0, 0.2, true},
    };
    const float start[2] = {0.0f, 0.0f};
    for (const auto& c : cases) {
        heavyShotList.Clear();
        SpawnHeavyShot(c.code, 0.5f, start, 0);
        float speed = heavyShotList[0].speed, angle = 0.5f, param = heavyShotList[0].param;
        for (int32_t n = 1; n <= c.updates; ++n) {
            UpdateHeavyShots();
            speed = static_cast<float>(speed + c.speedStep);
            angle = static_cast<float>(angle + c.angleStep);
            param = static_cast<float>(param + c.paramStep);
            ASSERT_EQ(heavyShotList.Size(), 1) << c.code;
            const HeavyShot& h = heavyShotList[0];
            EXPECT_EQ(h.speed, speed) << c.code << " " << n;
            EXPECT_EQ(h.angle, angle) << c.code << " " << n;
            if (c.angleIsHeading) {
                EXPECT_EQ(h.heading, angle) << c.code << " " << n;
            }
            if (c.code != 720) {
                EXPECT_EQ(h.param, param) << c.code << " " << n;
            }
        }
    }
}

TEST_F(HeavyShotsTest, Ray110DrawsAreasAndPicture) {
    AppendRay(110);
    std::vector<int32_t> drawAges, areaAges, soundAges, coreAges;
    for (int32_t age = 1; age <= 100; ++age) {
        TakeSpawns();
        const uint32_t before = GetRandomState();
        UpdateHeavyShots();
        const int32_t draws = test::RandomDrawsSince(before);
        ASSERT_LE(draws, 1);
        if (draws == 1) drawAges.push_back(age);
        for (const SpawnRequest& r : Spawned(ObjectKind::AttackArea)) {
            EXPECT_EQ(r.type, 10);
            areaAges.push_back(age);
        }
        if (!TakeSounds().empty()) soundAges.push_back(age);
        const float param = heavyShotList[0].param;
        if (age % 2 == 0) {
            if (age < 20) EXPECT_TRUE(param >= 0.2f && param <= 0.5f) << age;
            else if (age < 60) EXPECT_TRUE(param >= 1.2f && param <= 1.8f) << age;
            else EXPECT_EQ(param, static_cast<float>((100 - age) * 0.025)) << age;  // in double, rounded once
        }
        const uint32_t drawBefore = GetRandomState();
        const std::vector<ObjectSprite> sprites = HeavyShotSprites();
        EXPECT_EQ(GetRandomState(), drawBefore) << "drawing draws no random numbers";
        ASSERT_GE(sprites.size(), 1u);
        EXPECT_EQ(sprites[0].colour, 0x64FFFFFFu);
        EXPECT_EQ(sprites[0].source.left, 256);
        EXPECT_EQ(sprites[0].destination.right - sprites[0].destination.left, 2 * 600);  // 1200 at 0.5 px a unit
        if (sprites.size() == 2) {
            coreAges.push_back(age);
            constexpr int32_t coreTops[3] = {72, 32, 112};
            EXPECT_EQ(sprites[1].source.top, coreTops[age / 2 % 3]);
            EXPECT_EQ(sprites[1].destination.bottom - sprites[1].destination.top,
                      2 * static_cast<int32_t>(0.5f * param * 80.0f));
        }
    }
    std::vector<int32_t> evenBelow60, every4, upTo80;
    for (int32_t a = 2; a < 60; a += 2) evenBelow60.push_back(a);
    for (int32_t a = 16; a < 60; a += 4) every4.push_back(a);
    for (int32_t a = 1; a <= 80; ++a) upTo80.push_back(a);
    EXPECT_EQ(drawAges, evenBelow60);
    EXPECT_EQ(areaAges, every4);
    EXPECT_EQ(soundAges, (std::vector<int32_t>{20}));
    EXPECT_EQ(coreAges, upTo80);
    UpdateHeavyShots();
    EXPECT_EQ(heavyShotList.Size(), 0);
}

TEST_F(HeavyShotsTest, HomingAndSweeps) {
    players[1].x = 100.0f;
    players[1].y = 100.0f;
    const float start[2] = {0.0f, 0.0f};
    SpawnHeavyShot(101, 0.0f, start, 0);
    UpdateHeavyShots();
    const HeavyShot h = heavyShotList[0];
    EXPECT_EQ(h.heading, 0.01f);
    EXPECT_EQ(h.angle, h.heading);
    EXPECT_NEAR(std::hypot(h.position[0], h.position[1]), 15.0, 1e-4);
    EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), (std::vector<int32_t>{101}));

    heavyShotList.Clear();
    players[0].x = -100.0f;
    players[0].y = 0.0f;
    SpawnHeavyShot(761, 1.0f, start, 0);
    for (int32_t age = 1; age <= 25; ++age) {
        UpdateHeavyShots();
        const float heading = heavyShotList[0].heading;
        EXPECT_NEAR(heading, 1.0f + 0.1f * static_cast<float>(age), 1e-5);
        EXPECT_NEAR(heavyShotList[0].position[0], -100.0 + age * 9.375 * std::cos(heading), 1e-3);
        EXPECT_NEAR(heavyShotList[0].position[1], age * 9.375 * std::sin(heading), 1e-3);
    }

    // The sweeping ray 115 keeps its offset from the owner's aim in heading
    // and closes it over its last 50 ages, 625 out from the owner.
    heavyShotList.Clear();
    players[0].aimAngle = 1.0f;
    SpawnHeavyShot(115, 0.5f, start, 0);
    for (int32_t age = 1; age <= 100; ++age) {
        UpdateHeavyShots();
        if (age <= 50) {
            EXPECT_EQ(heavyShotList[0].position[0], 0.0f) << age;
            continue;
        }
        const double a = (100 - age) * 0.02 * 0.5 + 1.0;  // in double, rounded once
        EXPECT_EQ(heavyShotList[0].angle, static_cast<float>(a)) << age;
        EXPECT_NEAR(heavyShotList[0].position[0], -100.0 + 625.0 * std::cos(a), 1e-3) << age;
    }
    EXPECT_EQ(heavyShotList[0].angle, 1.0f);
}

// The response of a HeavyShot type to a hit: its Effect, its particles, its
// sound and its follow-up HeavyShot.
TEST_F(HeavyShotsTest, HitResponses) {
    enum Place { Own, Hit, Opponent };
    const struct {
        int32_t type;
        int32_t effect;
        Place place;
        int32_t particles;
        int32_t sound;
        int32_t followUp;
    } cases[] = {
        {101, 31, Own, 15, SE_DAMAGE, 0},  {103, 31, Own, 20, SE_DAMAGE, 104}, {211, 31, Own, 10, SE_DAMAGE, 0},
        {230, 31, Hit, 10, SE_DAMAGE, 0},  {612, 31, Own, 15, SE_DAMAGE, 0},   {720, 32, Own, 15, SE_DAMAGE, 0},
        {721, 712, Hit, 5, SE_DAMAGE, 721}, {803, 31, Own, 20, SE_DAMAGE, 804}, {830, 31, Opponent, 5, SE_DAMAGE, 0},
        {121, 111, Hit, 0, SE_HIT_S, 0},   {420, 0, Own, 0, -1, 0},            {804, 0, Own, 0, -1, 0},
    };
    const float own[2] = {10.0f, 20.0f};
    const float hit[2] = {-5.0f, 7.0f};
    for (const auto& c : cases) {
        heavyShotList.Clear();
        particleList.Clear();
        SpawnHeavyShot(c.type, 0.4f, own, 0);
        heavyShotList.Adjust(0, [](HeavyShot& h) { h.age = 33; });
        TakeSpawns();
        TakeSounds();
        const uint32_t before = GetRandomState();
        HitHeavyShot(0, hit);
        const std::vector<SpawnRequest> effects = Spawned(ObjectKind::Effect);
        ASSERT_EQ(effects.size(), c.effect ? 1u : 0u) << c.type;
        if (c.effect) {
            EXPECT_EQ(effects[0].type, c.effect) << c.type;
            const float expectX = c.place == Own ? own[0] : c.place == Hit ? hit[0] : players[1].x;
            EXPECT_EQ(effects[0].position[0], expectX) << c.type;
        }
        EXPECT_EQ(particleList.Size(), c.particles) << c.type;
        EXPECT_EQ(test::RandomDrawsSince(before), 4 * c.particles + (c.type == 121 ? 1 : 0)) << c.type;
        EXPECT_EQ(TakeSounds(), c.sound >= 0 ? std::vector<int32_t>{c.sound} : std::vector<int32_t>{}) << c.type;
        ASSERT_EQ(heavyShotList.Size(), c.followUp ? 2 : 1) << c.type << " never erases itself";
        if (c.followUp) {
            EXPECT_EQ(heavyShotList[1].type, c.followUp);
            EXPECT_EQ(heavyShotList[1].heading, 0.4f);
        }
    }
    // The 721 comes back without a hit shape and at the same age.
    heavyShotList.Clear();
    SpawnHeavyShot(721, 0.4f, own, 0);
    heavyShotList.Adjust(0, [](HeavyShot& h) { h.age = 12; });
    HitHeavyShot(0, hit);
    EXPECT_EQ(heavyShotList[1].age, 12);
    EXPECT_EQ(heavyShotList[1].hitShape[0], 0.0f);
    EXPECT_EQ(heavyShotList[1].hitShape[1], 0.0f);
    // The 121 Effect turns by a random amount between pi/5 and 4pi/5.
    TakeSpawns();
    heavyShotList.Clear();
    SpawnHeavyShot(121, 0.4f, own, 0);
    HitHeavyShot(0, hit);
    const float turn = Spawned(ObjectKind::Effect)[0].angle - 0.4f;
    EXPECT_TRUE(turn >= PI_F / 5.0f - 1e-6f && turn <= 4.0f * PI_F / 5.0f + 1e-6f) << turn;
}

TEST_F(HeavyShotsTest, PicturesFollowTheirRows) {
    const struct {
        int32_t type;
        int32_t age;
        float angle;
        int32_t halfWidth, halfHeight;
        ScreenRect source;
        SpriteSheet sheet;
        uint32_t colour;
        SpriteBlend blend;
    } cases[] = {
        {101, 5, 0.0f, 20, 10, {0, 0, 63, 23}, SpriteSheet::Item, 0xFFFFFFFF, SpriteBlend::AlphaAdd},
        {120, 5, 0.0f, 125, 100, {0, 250, 199, 449}, SpriteSheet::Item, 0xFFFFFFFF, SpriteBlend::AlphaAdd},
        {120, 12, 2.0f, 125, 100, {0, 449, 199, 251}, SpriteSheet::Item, 0xCDFFFFFF, SpriteBlend::AlphaAdd},
        {121, 5, 0.0f, 60, 80, {260, 250, 379, 409}, SpriteSheet::Ring, 0xFFFFFFFF, SpriteBlend::AlphaAdd},
        {710, 5, 0.0f, 12, 10, {50, 100, 99, 149}, SpriteSheet::Item, 0xFFFFFFFF, SpriteBlend::Alpha},
        {610, 4, 0.0f, 16, 7, {180, 0, 379, 49}, SpriteSheet::Item, 0xFFFFFFFF, SpriteBlend::AlphaAdd},
        {802, 20, 0.0f, 20, 7, {0, 0, 63, 23}, SpriteSheet::Item, 0xCDFFFFFF, SpriteBlend::AlphaAdd},
        {411, 3, 0.0f, 625, 15, {0, 100, 249, 139}, SpriteSheet::Item, 0xC8FFFFFF, SpriteBlend::AlphaAdd},
        {770, 95, 0.0f, 20, 10, {0, 75, 59, 99}, SpriteSheet::Item, 0x1EFFFFFF, SpriteBlend::AlphaAdd},
    };
    for (const auto& c : cases) {
        heavyShotList.Clear();
        const float at[2] = {40.0f, 20.0f};
        SpawnHeavyShot(c.type, c.angle, at, 1);
        heavyShotList.Adjust(0, [&](HeavyShot& h) { h.age = c.age; });
        const std::vector<ObjectSprite> sprites = HeavyShotSprites();
        ASSERT_EQ(sprites.size(), 1u) << c.type;
        const ObjectSprite& s = sprites[0];
        EXPECT_EQ(s.owner, 1);
        EXPECT_EQ(s.destination.left, 360 - c.halfWidth) << c.type;
        EXPECT_EQ(s.destination.top, 220 - c.halfHeight) << c.type;
        EXPECT_EQ(s.destination.bottom, 220 + c.halfHeight) << c.type;
        EXPECT_EQ(s.source.top, c.source.top) << c.type;
        EXPECT_EQ(s.source.bottom, c.source.bottom) << c.type;
        EXPECT_EQ(s.source.right, c.source.right) << c.type;
        EXPECT_EQ(s.sheet, c.sheet) << c.type;
        EXPECT_EQ(s.colour, c.colour) << c.type;
        EXPECT_EQ(s.blend, c.blend) << c.type;
        EXPECT_EQ(s.rotation, RadianToAngle(-c.angle)) << c.type;
    }
}

}  // namespace
