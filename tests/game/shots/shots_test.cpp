#include "game/shots/shots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_objects_fixture.h"

namespace {

using ShotsTest = test::BattleObjectsFixture;

constexpr float at0[2] = {-100.0f, 0.0f};

int32_t Spawn(int32_t type, float angle = 0.5f, const float* pos = at0, int32_t owner = 0) {
    return SpawnShot(type, angle, pos, owner);
}

TEST_F(ShotsTest, SpawnValuesPerCode) {
    enum Angle { Given, Zero, Quarter };
    const struct {
        int32_t type;
        int32_t hitPoints, power;
        float knockBack, speed;
        Angle angle;
        float shape[3];
        int32_t age;
        float param;
        uint8_t knocksBack, vanishes;
    } cases[] = {
        {110, 30, 80, 10.0f, -4.0f, Given, {0, 0, 10}, 1, 0, 1, 1},
        {120, 10, 15, 0.0f, 18.0f, Given, {0, 0, 5}, 1, 0, 0, 1},
        {301, 300, 10, 10.0f, 0.0f, Given, {0, 0, 5}, 0, 0, 1, 1},
        {315, 30, 30, 4.0f, 12.0f, Given, {0, 0, 8}, 0, 0, 1, 1},
        {320, 50, 300, 10.0f, 3.0f, Given, {0, 0, 15}, 0, 0, 1, 1},
        {420, 20, 100, 4.0f, 12.0f, Given, {0, 0, 10}, 0, 0, 1, 1},
        {610, 180, 40, 6.0f, 0.0f, Zero, {0, 0, 0}, 0, 0, 1, 1},
        {615, 360, 50, 6.0f, 0.0f, Zero, {0, 0, 0}, 0, 0, 1, 1},
        {621, 150, 20, 6.0f, 0.0f, Zero, {10, 40, 0}, 0, 0, 1, 1},
        {631, 360, 50, 6.0f, 0.0f, Quarter, {0, 0, 0}, 0, 0, 1, 1},
        {701, 30, 100, 8.0f, 14.0f, Zero, {12, 6, 0}, 0, 0, 1, 1},
        {703, 30, 100, 8.0f, 0.0f, Given, {12, 6, 0}, 0, 0, 1, 1},
        {715, 9999, 120, 0.0f, 20.0f, Zero, {0, 0, 0}, 0, 0, 1, 1},
        {716, 9999, 20, 6.0f, 10.0f, Zero, {0, 0, 0}, 0, 0, 1, 1},
        {720, 150, 60, 6.0f, -8.0f, Given, {30, 8, 0}, 0, 1.0f, 1, 1},
        {721, 150, 20, 2.0f, 0.0f, Given, {30, 8, 0}, 0, 0, 1, 1},
        {730, 9999, 20, 2.0f, 0.0f, Given, {0, 0, 0}, 0, 0, 1, 0},
        {741, 120, 60, 6.0f, 1.0f, Given, {0, 0, 0}, 0, 0, 1, 1},
        {770, 120, 60, 2.0f, 10.0f, Given, {0, 0, 0}, 0, 0, 1, 1},
        {801, 30, 80, 10.0f, 5.0f, Given, {0, 0, 10}, 1, 0, 1, 1},
        {802, 150, 100, 10.0f, 6.0f, Given, {0, 0, 10}, 1, 0, 1, 1},
    };
    const float pos[2] = {12.0f, -7.0f};
    for (const auto& c : cases) {
        shotList.Clear();
        const uint32_t before = GetRandomState();
        ASSERT_EQ(SpawnShot(c.type, 0.5f, pos, 1), 0) << c.type;
        EXPECT_EQ(test::RandomDrawsSince(before), 0) << c.type;
        const Shot& s = shotList[0];
        EXPECT_EQ(s.type, c.type);
        EXPECT_EQ(s.hitPoints, c.hitPoints) << c.type;
        EXPECT_EQ(s.power, c.power) << c.type;
        EXPECT_EQ(s.knockBackSpeed, c.knockBack) << c.type;
        EXPECT_EQ(s.speed, c.speed) << c.type;
        EXPECT_EQ(s.heading, 0.5f) << c.type;
        const float angle = c.angle == Given ? 0.5f : c.angle == Zero ? 0.0f : 0.5f + PI_F / 2.0f;
        EXPECT_EQ(s.angle, angle) << c.type;
        for (int k = 0; k < 3; ++k) EXPECT_EQ(s.hitShape[k], c.shape[k]) << c.type << " shape " << k;
        EXPECT_EQ(s.age, c.age) << c.type;
        EXPECT_EQ(s.param, c.param) << c.type;
        EXPECT_EQ(s.knocksBack, c.knocksBack) << c.type;
        EXPECT_EQ(s.vanishesOnHit, c.vanishes) << c.type;
        EXPECT_EQ(s.owner, 1);
        EXPECT_EQ(s.targetSide, 0);
        EXPECT_EQ(s.grazed, 0);
        for (const float* p : {s.position, s.previousPosition, s.trailPosition}) {
            EXPECT_EQ(p[0], 12.0f);
            EXPECT_EQ(p[1], -7.0f);
        }
    }
}

TEST_F(ShotsTest, RandomSpawnsDrawTheAngleThenTheSpeed) {
    for (int32_t type : {210, 221, 232}) {
        shotList.Clear();
        SeedRandom(77);
        const float angle = RandomFloat(0.0f, TWO_PI_F);
        const float speed = type == 210 ? RandomFloat(2.0f, 8.0f) : 0.0f;
        const uint32_t after = GetRandomState();
        SeedRandom(77);
        Spawn(type);
        EXPECT_EQ(GetRandomState(), after) << type;
        EXPECT_EQ(shotList[0].angle, angle) << type;
        EXPECT_EQ(shotList[0].heading, 0.5f) << type;
        if (type == 210) {
            EXPECT_EQ(shotList[0].speed, speed);
        }
    }
}

TEST_F(ShotsTest, UnknownCodesAppendNothing) {
    EXPECT_EQ(Spawn(101), -1);  // kirune appends its own 101
    EXPECT_EQ(Spawn(120), 0);
    EXPECT_EQ(Spawn(999), 0);
    EXPECT_EQ(shotList.Size(), 1);
    EXPECT_EQ(SpawnedTypes(ObjectKind::Shot), (std::vector<int32_t>{101, 120, 999}));
}

TEST_F(ShotsTest, LifetimesEndOnTheirAge) {
    const struct {
        int32_t type;
        int32_t startAge;  // set after the spawn, as the character code does
        int32_t updates;   // the update that erases it; the rule sees the age before the increment
    } cases[] = {
        {221, -1, 31}, {231, -1, 71}, {301, -1, 421}, {620, -1, 521}, {621, -1, 121}, {720, -1, 51},
        {721, -1, 41}, {730, -1, 101}, {740, -1, 91}, {770, -1, 101}, {711, -1, 102}, {712, 80, 22},
        {716, 80, 22}, {610, 1000, 16}, {615, 1000, 16},
    };
    for (const auto& c : cases) {
        shotList.Clear();
        const float origin[2] = {0.0f, 0.0f};
        const int32_t index = Spawn(c.type, 0.0f, origin);
        if (c.startAge >= 0) shotList.Adjust(index, [&](Shot& s) { s.age = c.startAge; });
        EXPECT_EQ(UpdatesUntilEmpty(shotList, UpdateShots, 2000), c.updates) << c.type;
    }
}

TEST_F(ShotsTest, ActiveAgesOfTheHitShape) {
    const struct {
        int32_t type;
        int32_t age;  // after this many updates
        float shape[3];
    } cases[] = {
        {610, 30, {0, 0, 0}}, {610, 31, {0, 0, 30}}, {615, 31, {0, 0, 20}},  {630, 15, {0, 0, 0}},
        {630, 16, {0, 0, 40}}, {632, 16, {0, 0, 70}}, {740, 30, {0, 0, 0}},  {740, 31, {20, 5, 0}},
        {740, 71, {0, 0, 0}}, {770, 11, {0, 0, 10}},  {730, 10, {0, 0, 0}},  {730, 11, {100, 40, 0}},
        {730, 12, {0, 0, 0}}, {730, 81, {100, 40, 0}}, {730, 86, {0, 0, 0}}, {720, 41, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        shotList.Clear();
        const float origin[2] = {0.0f, 0.0f};
        Spawn(c.type, 0.0f, origin);
        for (int32_t n = 0; n < c.age; ++n) UpdateShots();
        ASSERT_EQ(shotList.Size(), 1) << c.type;
        for (int k = 0; k < 3; ++k) EXPECT_EQ(shotList[0].hitShape[k], c.shape[k]) << c.type << " at " << c.age;
    }
}

TEST_F(ShotsTest, ChargeShotJumpsToItsFlightAgeAndGainsPower) {
    const float origin[2] = {0.0f, 0.0f};
    Spawn(631, 0.0f, origin);
    for (int n = 0; n < 16; ++n) UpdateShots();
    EXPECT_EQ(shotList[0].age, 151);  // 15 -> 150, then the increment
    EXPECT_EQ(shotList[0].power, 80);
    EXPECT_EQ(shotList[0].speed, 0.3f);  // the flight's first gain comes in the same update
}

// The per-update gains and turns are added to the float fields in double and
// rounded once: speed, angle and heading follow that sum exactly.
TEST_F(ShotsTest, GainsAndTurnsAreAddedInDoubleAndRoundedOnce) {
    constexpr double none = 0.0;
    const struct {
        int32_t code;
        int32_t updates;
        double speedStep, angleStep, headingStep;
        bool angleIsHeading, headingTurnsElsewhere;
    } cases[] = {
        {210, 10, 0.15, 0.1, none, false, true},  // the heading turns toward -pi/2 by its own rule
        {225, 10, -0.2, -0.5, 0.012f, false, false},
        {231, 8, 2.0, 0.3, 0.08, false, false},
        {232, 8, 2.0, -0.3, -0.08, false, false},
        {420, 10, -0.2, none, none, true, false},
        {620, 8, 3.0, none, 0.08, false, false},
        {720, 10, 0.8, none, none, false, false},
        {741, 8, 0.2, -0.05, -0.05, true, false},
    };
    for (const auto& c : cases) {
        shotList.Clear();
        Spawn(c.code, 0.5f);
        float speed = shotList[0].speed, angle = shotList[0].angle, heading = shotList[0].heading;
        for (int32_t n = 1; n <= c.updates; ++n) {
            UpdateShots();
            speed = static_cast<float>(speed + c.speedStep);
            heading = static_cast<float>(heading + c.headingStep);
            angle = c.angleIsHeading ? heading : static_cast<float>(angle + c.angleStep);
            ASSERT_EQ(shotList.Size(), 1) << c.code;
            EXPECT_EQ(shotList[0].speed, speed) << c.code << " " << n;
            EXPECT_EQ(shotList[0].angle, angle) << c.code << " " << n;
            if (!c.headingTurnsElsewhere) {
                EXPECT_EQ(shotList[0].heading, heading) << c.code << " " << n;
            }
        }
    }
}

TEST_F(ShotsTest, RandomDrawsPerUpdateFollowTheRules) {
    const struct {
        int32_t type;
        int32_t update;  // 1-based
        int32_t draws;
    } cases[] = {
        // 110's trail (Effect 22) draws its angle every update, its turn on
        // ages 10 and 20 (the age starts at 1).
        {110, 10, 2}, {110, 9, 1},  {110, 11, 1}, {110, 20, 2},
        {720, 1, 1},  {720, 30, 1}, {703, 21, 1}, {703, 20, 0},  {702, 21, 0},
        // 301 draws the area's angle, then the area draws its size.
        {301, 20, 0}, {301, 21, 2}, {301, 400, 2}, {301, 401, 0},
    };
    for (const auto& c : cases) {
        shotList.Clear();
        Spawn(c.type, 0.0f);
        for (int32_t n = 1; n < c.update; ++n) UpdateShots();
        const uint32_t before = GetRandomState();
        UpdateShots();
        EXPECT_EQ(test::RandomDrawsSince(before), c.draws) << c.type << " update " << c.update;
    }
}

TEST_F(ShotsTest, ARuleThatErasesSkipsTheAgeAndTheNextShotMovesIn) {
    const float origin[2] = {0.0f, 0.0f};
    const int32_t blade = Spawn(221, 0.0f, origin);
    shotList.Adjust(blade, [](Shot& s) { s.age = 30; });
    Spawn(120, 0.0f, origin);
    UpdateShots();
    ASSERT_EQ(shotList.Size(), 1);
    EXPECT_EQ(shotList[0].type, 120);
    EXPECT_EQ(shotList[0].age, 2);  // spawned at 1 and updated in the same pass
    EXPECT_EQ(shotList[0].position[0], 18.0f);
}

TEST_F(ShotsTest, WallAndFieldEdges) {
    const struct {
        int32_t type;
        float x;
        float heading;
        std::vector<int32_t> effects;
        int32_t particles;
        bool staysInList;
    } cases[] = {
        {310, 370.0f, 0.0f, {22, 310}, 0, false},  // trail, then its end at the wall
        {315, 370.0f, 0.0f, {22, 310}, 0, false},
        {320, 370.0f, 0.0f, {22, 311}, 0, false},
        {410, 370.0f, 0.0f, {421}, 6, false},  // a burst, not an end
        {420, 370.0f, 0.0f, {421}, 6, false},
        {510, 370.0f, 0.0f, {}, 0, true},  // bounces
        {801, 370.0f, 0.0f, {}, 0, true},  // flies on
        {120, 745.0f, 0.0f, {}, 0, false},  // leaves the field with no trace
    };
    for (const auto& c : cases) {
        shotList.Clear();
        particleList.Clear();
        TakeSpawns();
        TakeSounds();
        const float pos[2] = {c.x, 0.0f};
        Spawn(c.type, c.heading, pos);
        shotList.Adjust(0, [](Shot& s) {
            s.age = 30;
            s.speed = 16.0f;
        });
        UpdateShots();
        EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), c.effects) << c.type;
        EXPECT_EQ(particleList.Size(), c.particles) << c.type;
        EXPECT_EQ(shotList.Size(), c.staysInList ? 1 : 0) << c.type;
        if (c.type == 120) {
            EXPECT_TRUE(TakeSounds().empty());
        }
    }
}

// The wall test takes x*x + y*y in double: (200, 317.214447) lies just
// beyond the radius 375 (a float sum rounds it onto the wall), the float
// below that y just inside.
TEST_F(ShotsTest, TheWallIsTestedInDouble) {
    const struct {
        float y;
        bool outside;
    } cases[] = {{317.214447f, true}, {std::nextafter(317.214447f, 0.0f), false}};
    for (const auto& c : cases) {
        shotList.Clear();
        const float pos[2] = {200.0f, c.y};
        Spawn(410, 0.0f, pos);
        shotList.Adjust(0, [](Shot& s) { s.speed = 0.0f; });  // stays where it is
        UpdateShots();
        EXPECT_EQ(shotList.Size(), c.outside ? 0 : 1) << c.y;
    }
}

TEST_F(ShotsTest, Bounce510HappensOnce) {
    const float pos[2] = {370.0f, 0.0f};
    Spawn(510, 0.2f, pos);
    shotList.Adjust(0, [](Shot& s) {
        s.age = 30;
        s.speed = 10.0f;
    });
    UpdateShots();
    const Shot s = shotList[0];
    EXPECT_NEAR(std::hypot(s.position[0], s.position[1]), 375.0, 1e-3);
    EXPECT_EQ(s.age, 1001);
    EXPECT_EQ(s.angle, s.heading);
    EXPECT_LT(std::cos(static_cast<double>(s.heading)), -0.9);  // turned back toward the inside
    for (int n = 0; n < 80; ++n) UpdateShots();
    ASSERT_EQ(shotList.Size(), 1);
    EXPECT_EQ(shotList[0].age, 1081);  // no second bounce: it flies out through the far wall
    EXPECT_GT(std::hypot(shotList[0].position[0], shotList[0].position[1]), 375.0);
}

// The chain of a 710 head: a link every update after the first (711, then
// 712s), each with a HeavyShot companion, the chain sound every third update,
// and on the twelfth update the end piece 713 that keeps the chain's length.
TEST_F(ShotsTest, Chain710OverTwelveUpdates) {
    players[0].x = -100.0f;
    players[1].x = 300.0f;
    const float start[2] = {-100.0f, 0.0f};
    Spawn(710, 0.0f, start);
    for (int32_t update = 1; update <= 12; ++update) {
        TakeSpawns();
        UpdateShots();
        const int32_t age = update - 1;
        const std::vector<int32_t> sounds = TakeSounds();
        EXPECT_EQ(!sounds.empty() && sounds[0] == SE_CHAIN, age % 3 == 0) << update;
        std::vector<int32_t> expectShots;
        if (age != 0) expectShots.push_back(age == 1 ? 711 : 712);
        if (age == 11) expectShots.push_back(713);
        EXPECT_EQ(SpawnedTypes(ObjectKind::Shot), expectShots) << update;
        EXPECT_EQ(SpawnedTypes(ObjectKind::HeavyShot), age != 0 ? std::vector<int32_t>{710} : std::vector<int32_t>{})
            << update;
        const std::vector<SpawnRequest> areas = Spawned(ObjectKind::AttackArea);
        ASSERT_EQ(areas.size(), age % 3 == 0 ? 1u : 0u) << update;
        if (!areas.empty()) {
            EXPECT_EQ(areas[0].type, 711);
            const float headX = -100.0f + 20.0f * static_cast<float>(update);
            EXPECT_EQ(areas[0].position[0], (-100.0f + headX) / 2.0f);
            EXPECT_NEAR(areas[0].angle, PI_F, 1e-6);
        }
    }
    // Eleven links, all aged in the pass that made them, and the end piece.
    ASSERT_EQ(shotList.Size(), 12);
    EXPECT_EQ(shotList[0].type, 711);
    EXPECT_EQ(shotList[0].position[0], -90.0f);  // 10 behind the head, which stood at -80
    for (int32_t i = 0; i < 11; ++i) EXPECT_EQ(shotList[i].age, 81 + (10 - i)) << i;
    const Shot end = shotList[11];
    EXPECT_EQ(end.type, 713);
    EXPECT_EQ(end.speed, 125.0f);  // 11 * 20 * 0.5 + 15
    EXPECT_EQ(end.age, 81);
    EXPECT_EQ(end.position[0], 140.0f);
    ASSERT_EQ(heavyShotList.Size(), 11);
    for (int32_t i = 0; i < 11; ++i) EXPECT_EQ(heavyShotList[i].age, 80);
    // The end piece lays its 711 areas on ages 81, 84 and 87 (and none at 90).
    std::vector<int32_t> areaAges;
    for (int32_t n = 0; n < 10; ++n) {
        TakeSpawns();
        const int32_t age = shotList[shotList.Size() - 1].age;
        UpdateShots();
        if (!Spawned(ObjectKind::AttackArea).empty()) areaAges.push_back(age);
    }
    EXPECT_EQ(areaAges, (std::vector<int32_t>{81, 84, 87}));
}

// An orbiting blade lays four areas 20 from its centre each update: ahead
// and behind along its angle, then to either side.
TEST_F(ShotsTest, FourPointBursts) {
    players[0].x = 0.0f;
    const float centre[2] = {0.0f, 0.0f};
    Spawn(221, 0.0f, centre);
    shotList.Adjust(0, [](Shot& s) {
        s.angle = 0.0f;
        s.speed = 0.0f;
        s.heading = -0.12f;  // the orbit turns it back to about 0: the blade sits on the fighter
    });
    UpdateShots();  // age 0: codes 210 and 212
    const std::vector<SpawnRequest> areas = Spawned(ObjectKind::AttackArea);
    ASSERT_EQ(areas.size(), 4u);
    const float angle = 0.5f;  // the angle after its first turn
    const struct {
        int32_t type;
        float angle;
    } expected[] = {{210, angle}, {210, angle + PI_F}, {212, angle + PI_F / 2.0f}, {212, angle - PI_F / 2.0f}};
    const float x = shotList[0].position[0];
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(areas[n].type, expected[n].type) << n;
        EXPECT_EQ(areas[n].angle, expected[n].angle) << n;
        EXPECT_NEAR(areas[n].position[0], x + 20.0 * std::cos(expected[n].angle), 1e-4) << n;
        EXPECT_NEAR(areas[n].position[1], 20.0 * std::sin(expected[n].angle), 1e-4) << n;
    }
    TakeSpawns();
    UpdateShots();  // age 1: codes 211 and 213
    EXPECT_EQ(SpawnedTypes(ObjectKind::AttackArea), (std::vector<int32_t>{211, 211, 213, 213}));
}

TEST_F(ShotsTest, Reflector615TurnsItsSides612IntoAimedShots) {
    const float pos[2] = {0.0f, 0.0f};
    const float near[2] = {39.0f, -39.0f};
    const float far[2] = {41.0f, 0.0f};
    SpawnHeavyShot(612, 0.0f, near, 0);
    SpawnHeavyShot(612, 0.0f, far, 0);
    SpawnHeavyShot(612, 0.0f, near, 1);  // the other side's
    Spawn(615, 0.0f, pos, 0);
    shotList.Adjust(0, [](Shot& s) { s.age = 31; });
    UpdateShots();
    EXPECT_EQ(heavyShotList[0].type, 613);
    EXPECT_EQ(heavyShotList[0].age, 40);
    EXPECT_EQ(heavyShotList[0].speed, 16.0f);  // kept: already above 12
    EXPECT_NEAR(heavyShotList[0].heading, std::atan2(39.0, 100.0 - 39.0), 1e-6);
    EXPECT_EQ(heavyShotList[0].angle, heavyShotList[0].heading);
    EXPECT_EQ(heavyShotList[1].type, 612);
    EXPECT_EQ(heavyShotList[2].type, 612);
    EXPECT_EQ(shotList[0].param, 1.0f);
    EXPECT_EQ(TakeSounds(), (std::vector<int32_t>{SE_REFLECT}));
    EXPECT_EQ(SpawnedTypes(ObjectKind::AttackArea), (std::vector<int32_t>{640}));
}

// EndShot's answer per code: the Effect (code, angle, place), the particles
// (count and colour kind), the sound and what is spawned in the Shot's place.
TEST_F(ShotsTest, EndShotResponses) {
    // Side 0 plays character 1 in colour 0: colour numbers 4 and 6.
    enum Place { Own, Hit };
    const float heading = 0.25f;
    const struct {
        int32_t type;
        int32_t effect;
        float effectAngle;
        Place effectPlace;
        int32_t particles;
        int32_t kind;
        int32_t sound;
        int32_t reborn;
    } cases[] = {
        {110, 21, 0.0f, Own, 10, 101, SE_DAMAGE, 0},
        {802, 21, 0.0f, Own, 10, 101, SE_DAMAGE, 0},
        {120, 0, 0.0f, Own, 3, 102, -1, 0},
        {210, 21, 0.0f, Own, 10, 101, SE_BOMB, 0},
        {301, 21, 0.0f, Own, 0, 0, SE_BOMB, 0},
        {315, 310, 0.0f, Own, 0, 0, SE_BOMB, 0},
        {320, 311, 0.0f, Own, 0, 0, SE_DON, 0},
        {420, 21, 0.0f, Own, 10, 104, SE_BOMB, 0},
        {615, 31, heading, Own, 15, 104, SE_DAMAGE, 0},
        {621, 31, heading, Own, 10, 104, SE_DAMAGE, 0},
        {632, 31, heading, Own, 10, 104, SE_DAMAGE, 632},
        {702, 31, heading, Own, 10, 104, SE_DAMAGE, 0},
        {715, 730, heading, Hit, 15, 104, -1, 713},
        {712, 31, heading, Own, 15, 104, SE_DAMAGE, 711},
        {721, 711, heading + PI_F / 2.0f, Hit, 5, 104, SE_DAMAGE, 721},
        {730, 32, heading, Own, 5, 106, SE_DAMAGE, 0},
        {770, 31, heading, Own, 5, 104, SE_DAMAGE, 0},
    };
    const float own[2] = {10.0f, 20.0f};
    const float hit[2] = {-5.0f, 7.0f};
    for (const auto& c : cases) {
        shotList.Clear();
        particleList.Clear();
        flashList.Clear();
        Spawn(c.type, heading, own);
        shotList.Adjust(0, [](Shot& s) { s.age = 37; });
        TakeSpawns();
        TakeSounds();
        EndShot(0, hit);
        const std::vector<SpawnRequest> effects = Spawned(ObjectKind::Effect);
        ASSERT_EQ(effects.size(), c.effect ? 1u : 0u) << c.type;
        if (c.effect) {
            EXPECT_EQ(effects[0].type, c.effect) << c.type;
            EXPECT_EQ(effects[0].angle, c.effectAngle) << c.type;
            const float* place = c.effectPlace == Own ? own : hit;
            EXPECT_EQ(effects[0].position[0], place[0]) << c.type;
            EXPECT_EQ(effects[0].owner, 0);
        }
        ASSERT_EQ(particleList.Size(), c.particles) << c.type;
        if (c.particles) {
            EXPECT_EQ(particleList[0].kind, c.kind) << c.type;
        }
        EXPECT_EQ(TakeSounds(), c.sound >= 0 ? std::vector<int32_t>{c.sound} : std::vector<int32_t>{}) << c.type;
        EXPECT_EQ(flashList.Size(), c.type == 320 ? 1 : 0) << c.type;
        ASSERT_EQ(shotList.Size(), c.reborn ? 2 : 1) << c.type << " never erases its own Shot";
        if (c.reborn) {
            const Shot fresh = shotList[1];
            EXPECT_EQ(fresh.type, c.reborn) << c.type;
            EXPECT_EQ(fresh.age, 37) << c.type;
            EXPECT_EQ(fresh.position[0], own[0]) << c.type;
            EXPECT_EQ(fresh.heading, heading) << c.type;
            EXPECT_EQ(fresh.hitShape[0], 0.0f) << c.type;
            EXPECT_EQ(fresh.hitShape[1], 0.0f) << c.type;
        }
    }
}

TEST_F(ShotsTest, ChargeShotEndedComesBackWhole) {
    const float own[2] = {10.0f, 20.0f};
    Spawn(630, 0.3f, own);
    for (int n = 0; n < 20; ++n) UpdateShots();
    shotList.Adjust(0, [](Shot& s) { s.hitPoints = -40; });
    EndShot(0, own);
    shotList.Erase(0);
    ASSERT_EQ(shotList.Size(), 1);
    const Shot fresh = shotList[0];
    EXPECT_EQ(fresh.type, 630);
    EXPECT_EQ(fresh.hitPoints, 360);
    EXPECT_EQ(fresh.age, 155);  // 15 updates to the charge at 150, then 5 more
    EXPECT_EQ(fresh.angle, 0.3f + PI_F / 2.0f);
}

TEST_F(ShotsTest, EndShotOutsideTheListDoesNothing) {
    const float at[2] = {0.0f, 0.0f};
    EndShot(0, at);
    EndShot(-1, at);
    EXPECT_TRUE(spawns.empty());
    EXPECT_EQ(particleList.Size(), 0);
}

}  // namespace
