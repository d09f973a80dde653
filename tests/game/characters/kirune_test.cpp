#include "game/characters/kirune.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/particles.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/battle_hash.h"
#include "tests/support/character_moves.h"

namespace {

using namespace test;  // the fixture's spawns, kinds and helpers

// Side 0 is kirune at (-100, 0); the opponent (side 1) stands still at
// (100, 0) unless a test moves it. Only side 0's update runs.
class Kirune : public test::CharacterMovesFixture {
protected:
    Kirune() : CharacterMovesFixture(UpdateKirune) {}
};

TEST_F(Kirune, MoveTimelines) {
    ExpectTimelines({
        {KIRUNE_SHOT, 100.0f, {{14, HEAVY, 101}}, 30},
        {KIRUNE_MOVING_SHOTS, 100.0f, {{5, HEAVY, 102}, {12, HEAVY, 102}, {19, HEAVY, 102}}, 45},
        {KIRUNE_SLASH_1, 50.0f, {{10, AREA, 101}}, 30},
        {KIRUNE_SLASH_2, 50.0f, {{8, AREA, 101}}, 40},
        {KIRUNE_SLASH_3, 50.0f, {{8, AREA, 102}}, 40},
        {KIRUNE_LONG_SLASH, 100.0f, {{6, AREA, 101}, {6, EFFECT, 121}, {6, HEAVY, 121}}, 40},
        {KIRUNE_SPREAD_SHOTS, 100.0f, {{12, EFFECT, 620}, {24, EFFECT, 620}}, 40},
        {KIRUNE_RAPID_FIRE, 100.0f, Join({Every(12, 30, 3, SHOT, 110), Every(12, 30, 3, EFFECT, 620)}), 50},
        {KIRUNE_CHARGING_SLASH, 300.0f,
         Join({Every(12, 24, 3, AREA, 120), {{27, AREA, 121}}, Every(12, 24, 4, EFFECT, 1001)}), 40},
        {KIRUNE_BEAM, 100.0f, Join({{{0, EFFECT, 1000}}, Every(25, 60, 5, EFFECT, 620)}), 80},
        {KIRUNE_RUSH, 100.0f,
         Join({{{0, EFFECT, 1000}, {15, AREA, 110}, {15, EFFECT, 110}}, Every(15, 30, 3, EFFECT, 1001)}), 40},
        {KIRUNE_HEAVY_SHOT, 100.0f, {{0, EFFECT, 1000}, {15, HEAVY, 120}}, 50},
        {KIRUNE_HYPER, 100.0f,
         Join({{{0, EFFECT, 1000}}, Every(10, 10, 1, HEAVY, 115), Every(10, 10, 1, HEAVY, 115),
               Every(10, 10, 1, HEAVY, 115), Every(10, 10, 1, HEAVY, 115), Every(25, 60, 5, EFFECT, 140),
               Every(25, 60, 5, EFFECT, 140), Every(25, 60, 5, EFFECT, 140)}),
         130},
    }, 200);
}

// The start bursts, the spread and rapid fire volleys and the charge's sparks
// are the only random draws of kirune's moves.
TEST_F(Kirune, RandomDrawsPerFrame) {
    ExpectDrawsPerFrame({
        {KIRUNE_BEAM, {{{0, 1, 2, 3, 4}, 12}}},
        {KIRUNE_RUSH, {{{0, 1, 2, 3, 4}, 12}}},
        {KIRUNE_HEAVY_SHOT, {{{0, 1, 2, 3, 4}, 12}}},
        {KIRUNE_SPREAD_SHOTS, {{{12, 15, 18, 21, 24, 27}, 1}}},
        {KIRUNE_RAPID_FIRE, {{{12, 15, 18, 21, 24, 27, 30}, 2}}},
        {KIRUNE_SHOT, {}},
        {KIRUNE_SLASH_1, {}},
        {KIRUNE_CHARGING_SLASH, {}},
    }, 200);
    SetUp();
    const Run hyper = RunMove(KIRUNE_HYPER, 200);
    for (int32_t f = 0; f < 60; ++f) EXPECT_EQ(hyper.draws[f], f < 10 ? 24 : f < 50 ? 12 : 0) << f;
}

// a = RandomFloat(0, pi/2) + i x pi/2, taken in double and rounded once.
TEST_F(Kirune, StartBurstSparksCoverTheFourQuarters) {
    SeedRandom(9);
    players[0].state = KIRUNE_HEAVY_SHOT;
    players[0].stateTimer = 4;
    UpdateKirune(0);
    ExpectSparks(Spawned(EFFECT), 9, 4, 3.1415927f / 2.0);
}

TEST_F(Kirune, ChargedShotFiresByTheMomentOfRelease) {
    ExpectChargeByRelease({KIRUNE_SHOT, KIRUNE_CHARGED_SHOT, 101, 101, 103});
}

TEST_F(Kirune, SlashOneTurnsIntoTheLongSlashBeyond180) {
    const struct {
        float opponentX;
        int32_t state;
        double speed;
    } cases[] = {{80.0f, KIRUNE_SLASH_1, 12.0 - DECAY_FAST}, {81.0f, KIRUNE_LONG_SLASH, 0.0},
                 {0.0f, KIRUNE_SLASH_1, 10.0 - DECAY_FAST}};
    for (const auto& c : cases) {
        SetUp();
        players[1].x = c.opponentX;
        RunMove(KIRUNE_SLASH_1, 1);
        EXPECT_EQ(players[0].state, c.state) << c.opponentX;
        EXPECT_DOUBLE_EQ(players[0].speed, c.speed) << c.opponentX;
    }
}

TEST_F(Kirune, MoveChains) {
    ExpectChainSteps({
        {KIRUNE_SHOT, 10, INPUT_Z, INPUT_Z, PLAYER_FREE, KIRUNE_CHARGED_SHOT, 11, "Z held at 10"},
        {KIRUNE_SHOT, 10, 0, INPUT_Z, PLAYER_FREE, KIRUNE_SHOT, 11, "Z pressed at 10 is not held"},
        {KIRUNE_SPREAD_SHOTS, 9, INPUT_X, INPUT_X, PLAYER_FREE, KIRUNE_RAPID_FIRE, 10, "X held at 9"},
        {KIRUNE_SLASH_1, 11, INPUT_A, INPUT_A | INPUT_Z, PLAYER_FREE, KIRUNE_SLASH_2, 0, "slash 2"},
        {KIRUNE_SLASH_1, 11, 0, INPUT_Z, PLAYER_FREE, KIRUNE_SLASH_1, 12, "slash 1 needs A"},
        {KIRUNE_SLASH_1, 9, INPUT_A, INPUT_A | INPUT_Z, PLAYER_FREE, KIRUNE_SLASH_1, 10, "too early"},
        {KIRUNE_SLASH_2, 11, INPUT_A, INPUT_A | INPUT_Z, PLAYER_FREE, KIRUNE_SLASH_3, 0, "slash 3"},
        {KIRUNE_SLASH_2, 11, 0, INPUT_Z, PLAYER_KNOCKED_BACK, KIRUNE_CHARGED_SHOT, 25, "charge on the hit"},
        {KIRUNE_SLASH_2, 11, 0, INPUT_Z, PLAYER_FREE, KIRUNE_SLASH_2, 12, "no hit, no charge"},
        {KIRUNE_LONG_SLASH, 12, 0, INPUT_Z, PLAYER_FREE, KIRUNE_SHOT, 10, "the shot after the long slash"},
        {KIRUNE_LONG_SLASH, 11, 0, INPUT_Z, PLAYER_FREE, KIRUNE_LONG_SLASH, 12, "too early"},
        {KIRUNE_CHARGED_SHOT, 100, 0, INPUT_X, PLAYER_KNOCKED_BACK, KIRUNE_CHASING_SLASH, 8, "chase"},
        {KIRUNE_CHARGED_SHOT, 99, 0, INPUT_X, PLAYER_KNOCKED_BACK, KIRUNE_CHARGED_SHOT, 100, "too early"},
        {KIRUNE_CHARGED_SHOT, 100, 0, INPUT_X, PLAYER_FREE, KIRUNE_CHARGED_SHOT, 101, "no hit, no chase"},
    }, 50.0f);
}

TEST_F(Kirune, MovesCloseAndTakeADashPastTheirMark) {
    ExpectMoveMarks({
        {KIRUNE_SHOT, 30, 20},         {KIRUNE_MOVING_SHOTS, 45, 35}, {KIRUNE_CHARGED_SHOT, 150, 115},
        {KIRUNE_SLASH_1, 30, 20},      {KIRUNE_SLASH_2, 40, 20},      {KIRUNE_SLASH_3, 40, 20},
        {KIRUNE_LONG_SLASH, 40, 20},   {KIRUNE_SPREAD_SHOTS, 40, 30}, {KIRUNE_RAPID_FIRE, 50, 25},
        {KIRUNE_CHARGING_SLASH, 40, 30}, {KIRUNE_CHASING_SLASH, 50, 40}, {KIRUNE_BEAM, 80, 40},
        {KIRUNE_RUSH, 40, 30},         {KIRUNE_HEAVY_SHOT, 50, 40},   {KIRUNE_HYPER, 130, 110},
    }, 13.0, 0, [] { players[1].x = 300.0f; });  // out of reach of the slashes
}

TEST_F(Kirune, SpreadShotsAreBuiltWithAlternatingRandomAngles) {
    players[1].y = 200.0f;
    const float aim = static_cast<float>(std::atan2(200.0, 200.0));
    SeedRandom(5);
    std::vector<float> offsets;
    for (int i = 0; i < 6; ++i) offsets.push_back(RandomFloat(0.6f, 1.2f));
    SeedRandom(5);
    RunMove(KIRUNE_SPREAD_SHOTS, 28);
    ASSERT_EQ(shotList.Size(), 6);
    for (int32_t i = 0; i < 6; ++i) {
        const Shot& s = shotList[i];
        const float sign = i % 2 == 0 ? -1.0f : 1.0f;  // frames 12, 15, ...: t / 3 even, odd, ...
        EXPECT_EQ(s.type, 101);
        EXPECT_EQ(s.hitPoints, 50);
        EXPECT_EQ(s.power, 60);
        EXPECT_EQ(s.knockBackSpeed, 10.0f);
        EXPECT_EQ(s.speed, 14.0f);
        EXPECT_EQ(s.param, 0.0f);
        EXPECT_EQ(s.owner, 0);
        EXPECT_EQ(s.targetSide, 1);
        EXPECT_EQ(s.age, 0);
        EXPECT_EQ(s.vanishesOnHit, 1);
        EXPECT_EQ(s.knocksBack, 1);
        EXPECT_EQ(s.hitShape[0], 0.0f);
        EXPECT_EQ(s.hitShape[1], 0.0f);
        EXPECT_EQ(s.hitShape[2], 10.0f);
        EXPECT_EQ(s.heading, aim + sign * offsets[i]) << i;
        EXPECT_EQ(s.angle, s.heading);
        EXPECT_EQ(s.position[0], -100.0f);
        EXPECT_EQ(s.trailPosition[1], 0.0f);
    }
}

TEST_F(Kirune, RapidFireScattersAroundTheSide) {
    SeedRandom(6);
    std::vector<std::pair<float, float>> points;
    for (int i = 0; i < 7; ++i) {
        const float dx = RandomFloat(-40.0f, 40.0f);
        const float dy = RandomFloat(-40.0f, 40.0f);
        points.push_back({-100.0f + dx, 0.0f + dy});
    }
    SeedRandom(6);
    RunMove(KIRUNE_RAPID_FIRE, 31);
    const std::vector<SpawnRequest> shots = Spawned(SHOT);
    ASSERT_EQ(shots.size(), 1u) << "the last volley";
    EXPECT_EQ(shots[0].position[0], points[6].first);
    EXPECT_EQ(shots[0].position[1], points[6].second);
    const std::vector<SpawnRequest> flashes = Spawned(EFFECT);
    ASSERT_EQ(flashes.size(), 1u);
    EXPECT_EQ(flashes[0].position[0], points[6].first);
    EXPECT_EQ(shotList.Size(), 7);
}

TEST_F(Kirune, BeamsStand625AheadAndTheHyperFansFourMore) {
    const struct {
        int32_t state;
        int32_t frame;
        int32_t type;
    } cases[] = {{KIRUNE_BEAM, 5, 110}, {KIRUNE_HYPER, 10, 114}};
    for (const auto& c : cases) {
        SetUp();
        players[1].x = -100.0f;
        players[1].y = 100.0f;  // straight up from side 0
        RunMove(c.state, c.frame + 1);
        ASSERT_GE(heavyShotList.Size(), 1);
        const HeavyShot& h = heavyShotList[0];
        EXPECT_EQ(h.type, c.type);
        EXPECT_EQ(h.damage, 100);
        EXPECT_EQ(h.knockBackSpeed, 8.0f);
        EXPECT_EQ(h.owner, 0);
        EXPECT_EQ(h.targetSide, 1);
        EXPECT_EQ(h.speed, 0.0f);
        EXPECT_EQ(h.heading, PI_F / 2.0f);
        EXPECT_EQ(h.angle, PI_F / 2.0f);
        EXPECT_NEAR(h.position[0], -100.0f, 1e-3f);
        EXPECT_FLOAT_EQ(h.position[1], 625.0f);
        EXPECT_EQ(h.trailPosition[1], h.position[1]);
    }
    // The four side beams keep their offset from the aim in their heading.
    const float offsets[4] = {-PI_F / 6.0f, -PI_F / 4.0f, PI_F / 6.0f, PI_F / 4.0f};
    ASSERT_EQ(heavyShotList.Size(), 5);
    for (int32_t i = 0; i < 4; ++i) {
        const HeavyShot& h = heavyShotList[i + 1];
        EXPECT_EQ(h.type, 115);
        EXPECT_EQ(h.heading, offsets[i]);
        EXPECT_EQ(h.angle, PI_F / 2.0f + offsets[i]);
        EXPECT_NEAR(h.position[0], -100.0f + 625.0f * std::cos(PI_F / 2.0f + offsets[i]), 1e-3f);
    }
    EXPECT_EQ(players[0].invulnerableTimer, -130);
}

// Offsets (d, 0) turned by an angle a are turned as float vectors: d cos a
// and d sin a each rounded to float, then added to the float position. From
// (-142, 17), aimed at (100, 0), each of these points is another float than
// the position + d x (cos a, sin a) taken in double.
TEST_F(Kirune, OffsetsTurnedByTheAimAreTurnedAsFloatVectors) {
    constexpr double sixth = double{3.1415927f} / 6.0;  // the battle's pi is the float one
    const struct {
        const char* what;
        int32_t state;
        InputWord held;
        int32_t effect;  // the Effect placed there; 0: the charge's particle
        std::vector<std::pair<float, double>> offsets;  // d, and a less the aim
    } cases[] = {
        {"beam flash", KIRUNE_BEAM, 0, 620, {{25.0f, 0.0}}},
        {"hyper flashes", KIRUNE_HYPER, 0, 140, {{25.0f, 0.0}, {30.0f, -sixth}, {30.0f, sixth}}},
        {"charge sparks", KIRUNE_CHARGED_SHOT, INPUT_Z, 0, {{35.0f, 0.0}}},
    };
    const float aim = static_cast<float>(std::atan2(0.0 - 17.0, 100.0 - -142.0));
    for (const auto& c : cases) {
        SetUp();
        players[0].x = -142.0f;
        players[0].y = 17.0f;
        players[0].aimAngle = aim;
        TakeSpawns();
        StepFrom(c.state, 25, c.held, c.held);
        std::vector<std::pair<float, float>> points;
        for (const SpawnRequest& r : Spawned(EFFECT))
            if (r.type == c.effect) points.emplace_back(r.position[0], r.position[1]);
        if (c.effect == 0)
            for (int32_t i = 0; i < particleList.Size(); ++i) points.emplace_back(particleList[i].x, particleList[i].y);
        ASSERT_EQ(points.size(), c.offsets.size()) << c.what;
        for (size_t i = 0; i < points.size(); ++i) {
            const auto [d, turn] = c.offsets[i];
            const double a = aim + turn;
            const float turnedX = static_cast<float>(d * std::cos(a) - 0.0 * std::sin(a));
            const float turnedY = static_cast<float>(d * std::sin(a) + 0.0 * std::cos(a));
            EXPECT_EQ(points[i].first, -142.0f + turnedX) << c.what << " " << i;
            EXPECT_EQ(points[i].second, 17.0f + turnedY) << c.what << " " << i;
        }
    }
}

TEST_F(Kirune, SlashesSetTheirAreas) {
    const struct {
        int32_t state;
        int32_t frame;
        int32_t type;
        float angle;  // side 0 aims along 0
        float knockBackSpeed;
        int32_t power;
        float radius;
    } cases[] = {
        {KIRUNE_SLASH_1, 10, 101, 0.5f, 2.0f, 120, 60.0f},    // the table's values, swung outward
        {KIRUNE_SLASH_2, 8, 101, -0.5f, 2.0f, 40, 60.0f},     // swung back
        {KIRUNE_SLASH_3, 8, 102, 0.0f, 16.0f, 120, 60.0f},
        {KIRUNE_LONG_SLASH, 6, 101, 0.0f, 0.0f, 160, 120.0f},
    };
    for (const auto& c : cases) {
        SetUp();
        players[1].x = 50.0f;
        RunMove(c.state, c.frame + 1);
        const std::vector<SpawnRequest> areas = Spawned(AREA);
        ASSERT_EQ(areas.size(), 1u) << c.state;
        EXPECT_EQ(areas[0].type, c.type) << c.state;
        EXPECT_EQ(areas[0].angle, c.angle) << c.state;
        ASSERT_GT(attackAreaList.Size(), 0) << c.state;
        const AttackArea& a = attackAreaList[attackAreaList.LastIndex()];
        EXPECT_EQ(a.knockBackSpeed, c.knockBackSpeed) << c.state;
        EXPECT_EQ(a.power, c.power) << c.state;
        EXPECT_EQ(a.hitShape[2], c.radius) << c.state;
    }
}

TEST_F(Kirune, ChargingSlashesSlowDownOnContact) {
    // Charging slash: at 16 toward an opponent 30 ahead, contact from frame 11.
    players[1].x = -40.0f;
    RunMove(KIRUNE_CHARGING_SLASH, 12);
    EXPECT_EQ(players[0].speed, 4.0 - DECAY_SLOW);

    // Chasing slash: contact cuts it short with area 122 and no more trail.
    SetUp();
    players[1].x = -60.0f;
    players[0].stateTimer = 8;
    players[0].state = KIRUNE_CHASING_SLASH;
    std::vector<Spawn> seen;
    for (int32_t frame = 8; frame < 40; ++frame) {
        TakeSpawns();
        Press(0, 0);
        UpdateKirune(0);
        for (const SpawnRequest& r : spawns) seen.push_back({frame, r.kind, r.type});
    }
    EXPECT_EQ(seen, (std::vector<Spawn>{{11, AREA, 122}}));
}

TEST_F(Kirune, MovingShotsSetOffAlongTheOldAimAndSteerWithArrows) {
    PlayerRecord& p = players[0];
    p.aimAngle = 1.0f;
    p.boostGauge = 1.0f;
    RunMove(KIRUNE_MOVING_SHOTS, 1);
    EXPECT_FLOAT_EQ(p.boostGauge, 1.25f);
    EXPECT_EQ(p.aimAngle, 0.0f) << "aimed at the opponent";
    EXPECT_FLOAT_EQ(p.x, -100.0f + 10.0f * std::cos(1.0f));
    const double heading = p.moveAngle;
    Press(0, INPUT_DOWN);
    UpdateKirune(0);
    EXPECT_FLOAT_EQ(static_cast<float>(p.moveAngle), static_cast<float>(heading) - 0.08f);
}

}  // namespace
