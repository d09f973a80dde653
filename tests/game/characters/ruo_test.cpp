#include "game/characters/ruo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_objects_fixture.h"
#include "tests/support/character_moves.h"

namespace {

using namespace test;  // Spawn, Every, Join, the kinds and NoButtons

// Side 0 is ruo at (-100, 0); the opponent (side 1, kirune) stands still at
// (100, 0) unless a test moves it. Only side 0's update runs, on an odd
// battle frame so that no power-mode tick falls in unless a test wants one.
class Ruo : public test::CharacterMovesFixture {
protected:
    Ruo() : CharacterMovesFixture(UpdateRuo, 5) {}

    void SetUp() override {
        CharacterMovesFixture::SetUp();
        battleFrame = 1;
    }

    // Frames of a state that already runs, from stateTimer `from` to `to`;
    // the spawns are kept in `spawns`.
    void RunMoveFrom(int32_t state, int32_t from, int32_t to) {
        players[0].state = state;
        players[0].stateTimer = from;
        for (int32_t t = from; t <= to && players[0].state == state; ++t) {
            Press(0, 0);
            UpdateRuo(0);
        }
    }
};

TEST_F(Ruo, MoveTimelines) {
    const std::vector<Spawn> slash = Every(0, 0, 1, EFFECT, 502, 3);
    const auto at = [](int32_t frame, std::vector<Spawn> spawns) {
        for (Spawn& s : spawns) s.frame = frame;
        return spawns;
    };
    ExpectTimelines({
        {RUO_HEAVY_SHOTS, 100.0f, Every(12, 20, 2, HEAVY, 510), 35},
        {RUO_SHOT_FAN, 100.0f, Every(10, 18, 1, HEAVY, 512), 50},
        {RUO_SPARK_FAN, 100.0f, Every(10, 18, 1, EFFECT, 522), 50},
        {RUO_SHOT_STREAM, 100.0f, Every(12, 22, 2, SHOT, 510), 30},
        {RUO_CROSSING_STREAMS, 100.0f, Every(18, 28, 2, SHOT, 510, 2), 50},
        {RUO_POWER_HEAVY_SHOT, 100.0f, {{15, HEAVY, 520}}, 39},
        {RUO_LUNGE, 100.0f, Join({Every(0, 24, 4, EFFECT, 501), {{10, AREA, 501}}, at(10, slash)}), 24},
        {RUO_STROKE_2, 100.0f, Join({{{8, AREA, 502}}, at(8, slash)}), 30},
        {RUO_STROKE_3, 100.0f, Join({{{8, AREA, 502}}, at(8, slash)}), 30},
        {RUO_FINAL_STROKE, 100.0f, Join({{{8, AREA, 503}}, at(8, slash)}), 30},
        {RUO_CLONE, 100.0f, {}, 30},
        {RUO_SWORD_CHARGE, 100.0f,
         Join({{{0, EFFECT, 1000}}, Every(11, 29, 1, EFFECT, 510), Every(12, 28, 4, EFFECT, 501),
               Every(12, 24, 3, AREA, 510), {{27, AREA, 511}}}),
         50},
        {RUO_POWER_CHARGE, 100.0f,
         Join({{{0, EFFECT, 1000}}, Every(11, 29, 1, EFFECT, 511), Every(12, 28, 4, EFFECT, 501),
               Every(12, 24, 3, AREA, 513), {{27, AREA, 514}}, Every(11, 29, 1, EFFECT, 521)}),
         50},
        {RUO_CLONE_RING, 100.0f, Join({{{0, EFFECT, 1000}, {49, EFFECT, 1000}, {67, AREA, 503}}, at(67, slash)}), 69},
        {RUO_POWER_UP, 100.0f, Join({{{0, EFFECT, 1000}}, Every(20, 20, 1, EFFECT, 521, 12), {{20, EFFECT, 501}}}),
         29},
        {RUO_GRAB, 300.0f, {{0, EFFECT, 1000}}, 59},  // out of reach: a miss
        {RUO_HYPER, 300.0f, {{0, EFFECT, 1000}}, 59},
    }, 250);
}

// The sprays, the powered charge's sparks, the spark fan and the clone are
// the random draws of ruo's moves (a spark: an int and a float, 3 draws).
TEST_F(Ruo, RandomDrawsPerFrame) {
    ExpectDrawsPerFrame({
        {RUO_SWORD_CHARGE, {{{0, 1, 2, 3, 4}, 12}}},
        {RUO_CLONE_RING, {{{0, 1, 2, 3, 4}, 12}}},
        {RUO_POWER_UP, {{{0, 1, 2, 3, 4}, 12}}},
        {RUO_GRAB, {{{0, 1, 2, 3, 4}, 12}}},
        {RUO_HYPER, {{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 24}}},
        {RUO_POWER_CHARGE, {{{0, 1, 2, 3, 4}, 12}, {{11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29}, 2}}},
        {RUO_SPARK_FAN, {{{10, 11, 12, 13, 14, 15, 16, 17, 18}, 1}}},
        {RUO_CLONE, {{{15}, 2}}},
        {RUO_HEAVY_SHOTS, {}},
        {RUO_SHOT_FAN, {}},
        {RUO_SHOT_STREAM, {}},
        {RUO_LUNGE, {}},
        {RUO_FINAL_STROKE, {}},
    }, 250, [] { players[1].x = 300.0f; });
}

// a = i x (1/n) x 2pi + RandomFloat(0, pi/2), taken in double (with the
// battle's pi, 3.1415927) and rounded once.
TEST_F(Ruo, SparkSprayCoversEachPartOfTheTurn) {
    for (const int32_t n : {4, 8}) {
        SetUp();
        SeedRandom(9);
        TakeSpawns();
        players[0].state = n == 4 ? RUO_SWORD_CHARGE : RUO_HYPER;
        players[0].stateTimer = n == 4 ? 4 : 9;
        UpdateRuo(0);
        ExpectSparks(Spawned(EFFECT), 9, n, (1.0 / n) * (2.0 * 3.1415927f));
    }
}

// The generator after the moves that draw, one after the other: a golden
// value that any change in the number or order of draws would move.
TEST_F(Ruo, GeneratorAfterTheDrawingMovesIsGolden) {
    SeedRandom(1234);
    players[0].modeFlag = 50;  // powered: two clones, the hyper's powered sparks
    players[1].x = 300.0f;
    for (const int32_t state : {RUO_POWER_CHARGE, RUO_SPARK_FAN, RUO_CLONE, RUO_CLONE_RING, RUO_POWER_UP})
        RunMove(state, 250);
    players[1].x = -20.0f;
    RunMove(RUO_GRAB, 250);
    players[0].x = -100.0f;
    players[1].x = -20.0f;
    players[1].y = players[0].y;
    RunMove(RUO_HYPER, 250);
    EXPECT_EQ(players[0].state, PLAYER_FREE);
    EXPECT_EQ(GetRandomState(), 3150990262u);
}

TEST_F(Ruo, HighAndHyperAttackChoice) {
    const struct {
        InputWord word;
        float hyperGauge;
        int32_t modeFlag;
        int32_t invulnerableTimer;
        int32_t startState;
        int32_t state;
        float gaugeLeft;
        const char* what;
    } cases[] = {
        {INPUT_C, 1.0f, 0, 0, PLAYER_FREE, RUO_SWORD_CHARGE, 0.0f, "C"},
        {INPUT_C, 1.0f, 3, 0, PLAYER_FREE, RUO_POWER_CHARGE, 0.0f, "C in power mode"},
        {INPUT_C | INPUT_X, 1.0f, 0, 0, PLAYER_FREE, RUO_CLONE_RING, 0.0f, "C with X"},
        {INPUT_C | INPUT_X, 1.0f, 3, 0, PLAYER_FREE, RUO_CLONE_RING, 0.0f, "C with X in power mode"},
        {INPUT_C | INPUT_A, 1.0f, 0, 0, PLAYER_FREE, RUO_POWER_UP, 0.0f, "C with A"},
        {INPUT_C | INPUT_A, 1.0f, 3, 0, PLAYER_FREE, RUO_GRAB, 0.0f, "C with A in power mode"},
        {INPUT_C | INPUT_X | INPUT_A, 2.5f, 0, 0, PLAYER_FREE, RUO_POWER_UP, 1.5f, "A wins over X"},
        {INPUT_C | INPUT_X | INPUT_Z, 2.5f, 0, 0, PLAYER_FREE, RUO_CLONE_RING, 1.5f, "no hyper below 3.0"},
        {INPUT_C | INPUT_X | INPUT_Z, 3.0f, 0, 0, PLAYER_FREE, RUO_HYPER, 0.0f, "hyper with Z"},
        {INPUT_C | INPUT_X | INPUT_A, 3.0f, 3, 0, PLAYER_FREE, RUO_HYPER, 0.0f, "hyper with A"},
        {INPUT_C | INPUT_Z, 3.0f, 0, 0, PLAYER_FREE, RUO_SWORD_CHARGE, 2.0f, "no hyper without X"},
        {INPUT_C | INPUT_X | INPUT_Z, 3.0f, 0, 0, RUO_SHOT_STREAM, RUO_HYPER, 0.0f, "hyper breaks off a move"},
        {INPUT_C, 1.0f, 0, -100, RUO_HYPER, RUO_SWORD_CHARGE, 0.0f, "a high attack breaks off the hyper"},
        {INPUT_C, 1.0f, 0, 59, PLAYER_FREE, RUO_SWORD_CHARGE, 0.0f, "invulnerable 59"},
        {INPUT_C, 1.0f, 0, 60, PLAYER_FREE, PLAYER_FREE, 1.0f, "invulnerable 60"},
        {INPUT_C, 0.99f, 0, 0, PLAYER_FREE, PLAYER_FREE, 0.99f, "gauge short"},
        {INPUT_C, 1.0f, 0, 0, PLAYER_KNOCKED_BACK, PLAYER_KNOCKED_BACK, 1.0f, "not in knock-back"},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.hyperGauge = c.hyperGauge;
        p.modeFlag = c.modeFlag;
        p.boostGauge = c.modeFlag ? 2.5f : 1.0f;
        p.invulnerableTimer = c.invulnerableTimer;
        p.state = c.startState;
        p.stateTimer = 5;
        Press(0, c.word);
        UpdateRuo(0);
        EXPECT_EQ(p.state, c.state) << c.what;
        EXPECT_FLOAT_EQ(p.hyperGauge, c.gaugeLeft) << c.what;
        if (c.state != c.startState) {
            EXPECT_EQ(p.stateTimer, 1) << c.what << ": the attack's first frame ran";
            EXPECT_EQ(p.invulnerableTimer, c.state == RUO_HYPER ? -100 : 100) << c.what;
        }
    }
}

TEST_F(Ruo, MoveChains) {
    const struct {
        int32_t state, stateTimer, modeFlag;
        InputWord before, word;  // the word of the frame before, of this frame
        int32_t stateAfter, stateTimerAfter;
        const char* what;
    } cases[] = {
        {RUO_SHOT_STREAM, 11, 0, INPUT_X, INPUT_X, RUO_CROSSING_STREAMS, 12, "X held at 11"},
        {RUO_SHOT_STREAM, 11, 4, INPUT_X, INPUT_X, RUO_POWER_HEAVY_SHOT, 12, "X held at 11, powered"},
        {RUO_SHOT_STREAM, 11, 0, 0, INPUT_X, RUO_SHOT_STREAM, 12, "X pressed at 11 is not held"},
        {RUO_SHOT_STREAM, 10, 0, INPUT_X, INPUT_X, RUO_SHOT_STREAM, 11, "too early"},
        {RUO_SHOT_STREAM, 12, 0, INPUT_X, INPUT_X, RUO_SHOT_STREAM, 13, "too late"},
        {RUO_LUNGE, 12, 0, INPUT_A, INPUT_A | INPUT_Z, RUO_STROKE_2, 0, "stroke 2"},
        {RUO_LUNGE, 11, 0, INPUT_A, INPUT_A | INPUT_Z, RUO_LUNGE, 12, "too early"},
        {RUO_LUNGE, 12, 0, 0, INPUT_Z, RUO_LUNGE, 13, "needs A"},
        {RUO_LUNGE, 12, 0, INPUT_A | INPUT_Z, INPUT_A | INPUT_Z, RUO_LUNGE, 13, "Z must be just pressed"},
        {RUO_STROKE_2, 12, 0, INPUT_A, INPUT_A | INPUT_Z, RUO_STROKE_3, 0, "stroke 3"},
        {RUO_STROKE_3, 12, 0, INPUT_A, INPUT_A | INPUT_Z, RUO_FINAL_STROKE, 0, "final stroke"},
        {RUO_FINAL_STROKE, 12, 0, INPUT_A, INPUT_A | INPUT_Z, RUO_FINAL_STROKE, 13, "the end of the chain"},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.state = c.state;
        p.stateTimer = c.stateTimer;
        p.modeFlag = c.modeFlag;
        p.boostGauge = c.modeFlag ? 2.5f : 1.0f;
        Press(0, c.before);
        Press(0, c.word);
        UpdateRuo(0);
        EXPECT_EQ(p.state, c.stateAfter) << c.what;
        EXPECT_EQ(p.stateTimer, c.stateTimerAfter) << c.what;
    }
}

// Each move ends past its mark, and V on its last frame starts no dash; V
// starts DashRuo once past the dash mark (never in the high attacks 69, 70,
// 71 and the hyper).
TEST_F(Ruo, MovesCloseAndTakeADashPastTheirMark) {
    ExpectMoveMarks({
        {RUO_HEAVY_SHOTS, 35, 28},   {RUO_SHOT_FAN, 50, 30},      {RUO_SPARK_FAN, 50, 30},
        {RUO_SHOT_STREAM, 30, 20},   {RUO_CROSSING_STREAMS, 50, 40}, {RUO_POWER_HEAVY_SHOT, 39, 25},
        {RUO_LUNGE, 24, 15},         {RUO_STROKE_2, 30, 15},      {RUO_STROKE_3, 30, 15},
        {RUO_FINAL_STROKE, 30, 20},  {RUO_CLONE, 30, 16},         {RUO_SWORD_CHARGE, 50, 40},
        {RUO_POWER_CHARGE, 50, 40},  {RUO_CLONE_RING, 69, NO_DASH}, {RUO_POWER_UP, 29, NO_DASH},
        {RUO_GRAB, 59, NO_DASH},     {RUO_GRAB, 199, NO_DASH},    {RUO_HYPER, 59, NO_DASH},
        {RUO_HYPER, 199, NO_DASH},
    }, 14.0, 0, [] {
        players[1].x = 300.0f;                  // out of reach
        players[1].state = PLAYER_KNOCKED_OUT;  // never caught
    });
}

TEST_F(Ruo, DashesOutOfTheSharedStates) {
    const struct {
        int32_t state, stateTimer;
        double speed;
        float gain;
        const char* what;
    } cases[] = {
        {PLAYER_FREE, 0, 14.0 - DECAY_FAST, 0.25f, "own dash start"},
        {PLAYER_DASH, 3, 14.0 - DECAY_FAST, 0.25f, "own dash start in a dash (held: no arrow cost)"},
        {PLAYER_KNOCKED_BACK, 16, 14.0, 0.3f, "DashRuo out of knock-back"},
        {PLAYER_BURST, 41, 13.0, 0.3f, "DashKirune out of the burst"},
        {PLAYER_BLOWN_AWAY, 31, 14.0, 0.3f, "DashRuo when blown away"},
        {PLAYER_SHIELD, 6, 13.0, 0.3f, "DashKirune out of the shield"},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.state = c.state;
        p.stateTimer = c.stateTimer;
        p.boostGauge = 1.0f;
        Press(0, INPUT_V);
        UpdateRuo(0);
        EXPECT_EQ(p.state, PLAYER_DASH) << c.what;
        EXPECT_DOUBLE_EQ(p.speed, c.speed) << c.what;
        // Out of the neutral state the arrows' fall of 0.001 follows the start.
        const float arrowCost = c.state == PLAYER_FREE ? 0.001f : 0.0f;
        EXPECT_FLOAT_EQ(p.boostGauge, 1.0f + c.gain - arrowCost) << c.what;
    }
}

TEST_F(Ruo, PowerModeRunsHundredTicksAndEndsAtOneBoost) {
    PlayerRecord& p = players[0];
    p.boostGauge = 2.05f;
    battleFrame = 0;
    int32_t frames = 0;
    std::vector<int32_t> draws;
    for (; frames < 1000; ++frames) {
        TakeSpawns();
        TakeSounds();
        const uint32_t before = GetRandomState();
        UpdatePlayer(0);  // with the gauge's fall of 0.01 a frame
        draws.push_back(test::RandomDrawsSince(before));
        if (frames == 0) {
            EXPECT_EQ(p.modeFlag, RUO_POWER_TICKS) << "started after the frame's tick";
            EXPECT_EQ(SpawnedTypes(EFFECT), (std::vector<int32_t>{1000})) << "no tick before the start";
            EXPECT_EQ(TakeSounds(), (std::vector<int32_t>{SE_DON}));
        }
        ++battleFrame;
        if (p.modeFlag == 0) break;
        EXPECT_GE(p.boostGauge, 2.0f) << frames;
    }
    EXPECT_EQ(frames, 400) << "the last of 100 ticks, one every 4 frames";
    EXPECT_EQ(p.boostGauge, 1.0f);
    for (size_t f = 0; f < draws.size(); ++f)
        EXPECT_EQ(draws[f], f == 0 ? 0 : f % 4 == 0 ? 2 : 0) << f;
}

TEST_F(Ruo, PowerModeTicksSparkAboveTheSide) {
    PlayerRecord& p = players[0];
    p.modeFlag = 7;
    p.boostGauge = 2.5f;
    battleFrame = 8;
    SeedRandom(3);
    const float dx = RandomFloat(-10.0f, 10.0f);
    const float dy = RandomFloat(-20.0f, 0.0f);
    SeedRandom(3);
    UpdateRuo(0);
    const std::vector<SpawnRequest> sparks = Spawned(EFFECT);
    ASSERT_EQ(sparks.size(), 1u);
    EXPECT_EQ(sparks[0].type, 521);
    EXPECT_EQ(sparks[0].angle, PI_F / 2.0f);
    EXPECT_EQ(sparks[0].position[0], p.x + dx);
    EXPECT_EQ(sparks[0].position[1], p.y + dy);
    EXPECT_EQ(p.modeFlag, 6);

    // Knocked out, the power mode stands still.
    SetUp();
    players[0].state = PLAYER_KNOCKED_OUT;
    players[0].stateTimer = 10;
    players[0].modeFlag = 7;
    players[0].boostGauge = 2.5f;
    battleFrame = 8;
    const uint32_t before = GetRandomState();
    UpdateRuo(0);
    EXPECT_EQ(players[0].modeFlag, 7);
    EXPECT_EQ(test::RandomDrawsSince(before), 0);
    EXPECT_EQ(players[0].stateTimer, 11);
}

TEST_F(Ruo, PowerUpSetsTheLongPowerModeWhateverItHeld) {
    for (const int32_t before : {0, 5, 300}) {
        SetUp();
        players[0].modeFlag = before;
        players[0].boostGauge = 2.5f;
        players[0].state = RUO_POWER_UP;
        players[0].stateTimer = 20;
        UpdateRuo(0);
        EXPECT_EQ(players[0].modeFlag, RUO_POWER_UP_TICKS) << before;
        std::vector<int32_t> ages;
        for (int32_t i = 0; i < effectList.Size(); ++i)
            if (effectList[i].type == 521) ages.push_back(effectList[i].age);
        EXPECT_EQ(ages, (std::vector<int32_t>{0, -2, -4, -6, -8, -10, -12, -14, -16, -18, -20, -22}))
            << "twelve sparks, each 2 frames after the one before";
    }
}

TEST_F(Ruo, SwordStrokesHitTwiceAsHardInPowerMode) {
    const struct {
        int32_t state;
        float knockBackPowered;
    } cases[] = {{RUO_STROKE_2, -1.0f}, {RUO_STROKE_3, -1.0f}, {RUO_FINAL_STROKE, 20.0f}};
    for (const auto& c : cases) {
        AttackArea plain{}, powered{};
        for (const int32_t modeFlag : {0, 9}) {
            SetUp();
            players[0].modeFlag = modeFlag;
            players[0].boostGauge = modeFlag ? 2.5f : 1.0f;  // 2.5 would start the power mode
            RunMove(c.state, 9);
            ASSERT_EQ(attackAreaList.Size(), 1) << c.state;
            (modeFlag ? powered : plain) = attackAreaList[0];
        }
        EXPECT_GT(plain.power, 0) << c.state;
        EXPECT_EQ(powered.power, 2 * plain.power) << c.state;
        EXPECT_EQ(powered.knockBackSpeed, c.knockBackPowered < 0 ? plain.knockBackSpeed : c.knockBackPowered)
            << c.state;
    }
}

TEST_F(Ruo, CloneAppearsAtARandomPointNearTheSide) {
    for (const int32_t modeFlag : {0, 9}) {
        SetUp();
        players[0].modeFlag = modeFlag;
        players[0].boostGauge = modeFlag ? 2.5f : 1.0f;
        players[1].aimAngle = 2.5f;
        SeedRandom(11);
        std::vector<std::pair<float, float>> points;
        for (int i = 0; i < 2; ++i) {
            const float a = RandomFloat(-PI_F, PI_F);
            const float r = RandomFloat(50.0f, 100.0f);
            points.push_back({static_cast<float>(-100.0f + std::cos(static_cast<double>(a)) * r),
                              static_cast<float>(std::sin(static_cast<double>(a)) * r)});
        }
        SeedRandom(11);
        RunMove(RUO_CLONE, 16);
        const std::vector<PlayerObject>& clones = players[0].objects;
        ASSERT_EQ(clones.size(), modeFlag ? 2u : 1u) << "a second clone at 10 in power mode";
        for (size_t i = 0; i < clones.size(); ++i) {
            const PlayerObject& o = clones[i];
            EXPECT_EQ(o.tag, 9999);
            EXPECT_EQ(o.type, 410);
            EXPECT_EQ(o.timer, 0);
            EXPECT_FLOAT_EQ(o.position[0], points[i].first);
            EXPECT_FLOAT_EQ(o.position[1], points[i].second);
            EXPECT_EQ(o.heading, 2.5f);
            EXPECT_EQ(o.angle, 2.5f);
            EXPECT_EQ(o.speed, 5.0f);
            EXPECT_EQ(o.slowdown, 0.2f);
        }
    }
}

TEST_F(Ruo, CloneRingStandsEveryFortyFiveDegrees) {
    players[1].aimAngle = -1.0f;
    RunMove(RUO_CLONE_RING, 22);
    const std::vector<PlayerObject>& clones = players[0].objects;
    ASSERT_EQ(clones.size(), 8u);
    for (size_t i = 0; i < clones.size(); ++i) {
        const double degrees = -150.0 + 45.0 * static_cast<double>(i);
        const double b = degrees * 3.141592653589793 / 180.0;
        EXPECT_NEAR(clones[i].position[0], -100.0 + 100.0 * std::cos(b), 1e-3) << i;
        EXPECT_NEAR(clones[i].position[1], 100.0 * std::sin(b), 1e-3) << i;
        EXPECT_EQ(clones[i].type, 420);
        EXPECT_EQ(clones[i].speed, 0.0f);
        EXPECT_EQ(clones[i].heading, -1.0f);
    }
}

TEST_F(Ruo, ChargeSlowsOnTheOpponentAndKeepsCutting) {
    players[1].x = -30.0f;
    RunMove(RUO_SWORD_CHARGE, 12);
    EXPECT_DOUBLE_EQ(players[0].speed, 4.0 - static_cast<double>(0.2f)) << "slowed to 4.0 on contact";
    TakeSpawns();
    RunMoveFrom(RUO_SWORD_CHARGE, 12, 30);
    EXPECT_EQ(SpawnedTypes(AREA), (std::vector<int32_t>{510, 510, 510, 510, 510, 511})) << "frames 12 to 27";
}

// Ruo at (-100, 0) rushes from frame 10 at 12 and meets an opponent at
// (-30, 0) on frame 11, 88 from where it stood.
class RuoHold : public Ruo {
protected:
    void SetUp() override {
        Ruo::SetUp();
        players[1].x = -30.0f;
    }
    // One frame of the running state; the fade level it leaves (from 1.0).
    float Step() {
        battleFadeLevel = 1.0f;
        Press(0, 0);
        UpdateRuo(0);
        return battleFadeLevel;
    }
};

TEST_F(RuoHold, GrabHoldsThirtyAheadAndCutsUntil200) {
    PlayerRecord& p = players[0];
    PlayerRecord& o = players[1];
    RunMove(RUO_GRAB, 12);
    ASSERT_EQ(p.stateTimer, 101) << "caught on frame 11";
    EXPECT_EQ(p.x, -88.0f);
    EXPECT_EQ(o.state, PLAYER_KNOCKED_BACK);
    EXPECT_EQ(o.x, -58.0f) << "held on the catch frame";
    EXPECT_EQ(o.aimAngle, p.aimAngle);
    EXPECT_EQ(o.speed, 0.0);
    std::vector<int32_t> areas;
    for (int32_t t = 101; t < 200; ++t) {
        o.x = 0.0f;  // as if it drifted
        o.stateTimer = 7;
        TakeSpawns();
        const float fade = Step();
        EXPECT_EQ(fade, t <= 169 ? 0.5f : 1.0f) << t;
        const bool held = t <= 120 && t % 5 == 0;
        EXPECT_EQ(o.x, held ? -58.0f : 0.0f) << t;
        EXPECT_EQ(o.stateTimer, held ? 0 : 7) << t;
        for (const int32_t type : SpawnedTypes(AREA)) areas.push_back(type * 1000 + t);
    }
    EXPECT_EQ(areas, (std::vector<int32_t>{520120, 520128, 520136, 520144, 520152, 520160, 520168, 521176}));
    EXPECT_EQ(p.state, PLAYER_FREE);
    EXPECT_EQ(p.stateTimer, 0);
}

TEST_F(RuoHold, NoCatchOrHoldOfAKnockedOutOpponent) {
    for (const int32_t state : {RUO_GRAB, RUO_HYPER}) {
        SetUp();
        players[1].state = PLAYER_KNOCKED_OUT;
        EXPECT_EQ(RunMove(state, 100).freeAfter, 59) << state;
        EXPECT_EQ(players[1].x, -30.0f);

        SetUp();
        RunMove(state, 12);
        ASSERT_EQ(players[0].stateTimer, 101) << state;
        players[1].state = PLAYER_KNOCKED_OUT;
        players[1].x = 0.0f;
        while (players[0].stateTimer <= 160) Step();
        EXPECT_EQ(players[1].x, 0.0f) << state;
        EXPECT_EQ(players[1].state, PLAYER_KNOCKED_OUT) << state;
    }
}

TEST_F(RuoHold, HyperLiftsTheOpponentBesideTheSideItAimedAt) {
    const struct {
        float x, opponentX;
        float aim, heldX, tiltedAim;
    } cases[] = {{-100.0f, -30.0f, 0.0f, -80.0f, PI_F / 3.0f},
                 {100.0f, 30.0f, PI_F, 80.0f, 2.0f * PI_F / 3.0f}};
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        PlayerRecord& o = players[1];
        p.x = c.x;
        o.x = c.opponentX;
        o.y = 0.0f;
        RunMove(RUO_HYPER, 12);
        ASSERT_EQ(p.stateTimer, 101) << c.x;
        EXPECT_EQ(p.invulnerableTimer, -100);
        EXPECT_EQ(p.aimAngle, c.aim);
        EXPECT_EQ(o.aimAngle, PI_F / 2.0f) << "at the catch, facing straight up";
        EXPECT_EQ(o.x, c.heldX);
        EXPECT_EQ(o.y, p.y + 20.0f);
        EXPECT_EQ(o.moveAngle, static_cast<double>(c.aim));
        for (int32_t t = 101; t <= 105; ++t) Step();
        EXPECT_EQ(o.aimAngle, c.tiltedAim) << c.x;
        EXPECT_EQ(o.x, c.heldX);
        EXPECT_EQ(o.y, p.y + 5.0f);
    }
}

TEST_F(RuoHold, HyperEndsWithAnAreaOf800AndPoweredRaisesTheOpponentsBoost) {
    for (const int32_t modeFlag : {0, 50}) {
        SetUp();
        PlayerRecord& p = players[0];
        PlayerRecord& o = players[1];
        p.modeFlag = modeFlag;
        p.boostGauge = modeFlag ? 2.5f : 1.0f;
        o.boostGauge = 0.0f;
        std::vector<int32_t> burns;
        for (const auto& [frame, played] : RunMove(RUO_HYPER, 12).sounds)
            if (played == std::vector<int32_t>{SE_BURN}) burns.push_back(frame);
        while (p.stateTimer < 160) Step();
        EXPECT_EQ(burns, modeFlag ? std::vector<int32_t>{11} : std::vector<int32_t>{}) << "on the catch frame";
        float raised = 0.0f;
        for (int i = 0; i < (modeFlag ? 26 : 0); ++i) raised += 0.05;
        EXPECT_EQ(o.boostGauge, raised) << modeFlag;
        TakeSpawns();
        Step();
        const std::vector<SpawnRequest> areas = Spawned(AREA);
        ASSERT_EQ(areas.size(), 1u);
        EXPECT_EQ(areas[0].type, 521);
        EXPECT_EQ(areas[0].position[0], o.x - 20.0f);
        EXPECT_EQ(areas[0].position[1], o.y - 20.0f);
        ASSERT_EQ(attackAreaList.Size(), 1);
        EXPECT_EQ(attackAreaList[0].power, 800);
        EXPECT_EQ(attackAreaList[0].knockBackSpeed, 12.0f);
        while (p.state == RUO_HYPER) Step();
        EXPECT_EQ(p.stateTimer, 0);
    }
}

}  // namespace
