#include "game/characters/welo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/particles.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"
#include "tests/support/battle_hash.h"
#include "tests/support/character_moves.h"

namespace {

using namespace test;  // the fixture's spawns, kinds and helpers

// Side 0 is welo at (-100, 0); the opponent (side 1) stands still at
// (100, 0) unless a test moves it. Only side 0's update runs.
class Welo : public test::CharacterMovesFixture {
protected:
    Welo() : CharacterMovesFixture(UpdateWelo) {}
    void SetUp() override {
        CharacterMovesFixture::SetUp();
        players[0].characterId = 8;
        ResetPlayerForBattle(0);
        TakeSpawns();  // a case's trace starts empty
    }
};

// A pair of spawns on the same frames, interleaved.
std::vector<Spawn> EveryPair(int32_t from, int32_t to, int32_t step, Spawn first, Spawn second) {
    std::vector<Spawn> spawns;
    for (int32_t f = from; f <= to; f += step) {
        spawns.push_back({f, first.kind, first.type});
        spawns.push_back({f, second.kind, second.type});
    }
    return spawns;
}

// The hyper beam: an area every frame from 10 to 60 (830 on even frames),
// its spark every fourth, and the ray at the end.
std::vector<Spawn> HyperSpawns() {
    std::vector<Spawn> spawns{{0, EFFECT, 1000}};
    for (int32_t t = 10; t <= 60; ++t) {
        spawns.push_back({t, AREA, t % 2 == 0 ? 830 : 831});
        if (t % 4 == 0) spawns.push_back({t, EFFECT, 810});
    }
    spawns.push_back({60, HEAVY, 830});
    return spawns;
}

TEST_F(Welo, MoveTimelines) {
    const struct {
        int32_t state;
        int32_t stateTimer;
        float opponentX;
        int32_t opponentState;
        std::vector<Spawn> spawns;
        int32_t freeAfter;
        const char* what;
    } cases[] = {
        {WELO_SHOT, 0, 100.0f, PLAYER_FREE, {{14, HEAVY, 801}}, 30, "shot"},
        {WELO_MOVING_SHOTS, 0, 100.0f, PLAYER_FREE, Every(10, 20, 2, HEAVY, 802), 45, "moving shots"},
        {WELO_CHARGED_SHOT, 0, 100.0f, PLAYER_FREE, {{0, HEAVY, 101}}, 50, "charge let go at once"},
        {WELO_CHASING_SHOT, 25, 100.0f, PLAYER_FREE, {{5, HEAVY, 803}}, 55, "chasing shot fires at 30"},
        {WELO_SLASH_1, 0, 50.0f, PLAYER_FREE, {{10, AREA, 801}}, 30, "slash 1"},
        {WELO_SLASH_2, 0, 50.0f, PLAYER_FREE, {{8, AREA, 801}}, 40, "slash 2"},
        {WELO_THRUST, 0, 50.0f, PLAYER_FREE, {{8, AREA, 802}}, 40, "thrust"},
        {WELO_LUNGE, 0, 50.0f, PLAYER_FREE, {{10, AREA, 802}}, 50, "lunge"},
        {WELO_VOLLEY, 0, 100.0f, PLAYER_FREE, EveryPair(12, 30, 3, {0, SHOT, 801}, {0, EFFECT, 620}), 50,
         "volley"},
        {WELO_HOMING_VOLLEY, 0, 100.0f, PLAYER_FREE, EveryPair(15, 24, 3, {0, SHOT, 802}, {0, EFFECT, 620}), 50,
         "homing volley"},
        {WELO_RAY_BARRAGE, 0, 100.0f, PLAYER_FREE,
         Join({{{0, EFFECT, 1000}}, EveryPair(15, 40, 5, {0, EFFECT, 620}, {0, HEAVY, 820})}), 80, "ray barrage"},
        {WELO_SLASH_STORM, 0, 50.0f, PLAYER_FREE, {{0, EFFECT, 1000}, {10, AREA, 801}}, 30,
         "slash storm whose first slash missed: on from 62"},
        {WELO_SLASH_STORM, 0, 50.0f, PLAYER_KNOCKED_BACK,
         Join({{{0, EFFECT, 1000}}, Every(10, 60, 10, AREA, 801), {{70, AREA, 802}, {70, EFFECT, 110}},
               Every(71, 83, 3, EFFECT, 1001)}),
         115, "slash storm into the flash thrust, which starts at 1"},
        {WELO_FLASH_THRUST, 0, 50.0f, PLAYER_FREE,
         Join({{{5, AREA, 802}, {5, EFFECT, 110}}, Every(6, 18, 3, EFFECT, 1001)}), 50, "flash thrust"},
        {WELO_HIGH_VOLLEY, 0, 100.0f, PLAYER_FREE,
         Join({{{0, EFFECT, 1000}}, EveryPair(12, 30, 2, {0, SHOT, 802}, {0, EFFECT, 620})}), 50, "high volley"},
        {WELO_HYPER, 0, 100.0f, PLAYER_FREE, HyperSpawns(), 80, "hyper beam"},
    };
    for (const auto& c : cases) {
        SetUp();
        players[1].x = c.opponentX;
        players[1].state = c.opponentState;
        const Run run = RunMove(c.state, 200, NoButtons, c.stateTimer);
        EXPECT_EQ(run.spawns, c.spawns) << c.what;
        EXPECT_EQ(run.freeAfter, c.freeAfter) << c.what;
    }
}

// Which frames draw random numbers, and how many: the start bursts (three
// draws a spark: the type takes two), the aimed scatter of the shots, the beam's offsets and its
// particles (four draws a particle), and nothing in the slashes.
TEST_F(Welo, RandomDrawsPerFrame) {
    ExpectDrawsPerFrame({
        {WELO_MOVING_SHOTS, {{{10, 12, 14, 16, 18, 20}, 1}}},
        {WELO_VOLLEY, {{{12, 15, 18, 21, 24, 27, 30}, 2}}},
        {WELO_HOMING_VOLLEY, {{{15, 18, 21, 24}, 2}}},
        {WELO_RAY_BARRAGE, {{{0, 1, 2, 3, 4}, 12}, {{15, 20, 25, 30, 35, 40}, 2}}},
        {WELO_HIGH_VOLLEY, {{{0, 1, 2, 3, 4}, 12}, {{12, 14, 16, 18, 20, 22, 24, 26, 28, 30}, 3}}},
        {WELO_SLASH_STORM, {{{0, 1, 2, 3, 4}, 12}}},
        {WELO_SHOT, {}},
        {WELO_SLASH_1, {}},
        {WELO_SLASH_2, {}},
        {WELO_THRUST, {}},
        {WELO_LUNGE, {}},
        {WELO_FLASH_THRUST, {}},
    }, 200);
    SetUp();
    const Run hyper = RunMove(WELO_HYPER, 200);
    for (int32_t f = 0; f <= 80; ++f) {
        const int32_t burst = f < 50 ? 12 : 0;
        const int32_t beam = f >= 10 && f <= 60 ? 1 + 2 * 4 : 0;
        const int32_t finale = f == 60 ? 30 : 0;
        EXPECT_EQ(hyper.draws[static_cast<size_t>(f)], burst + beam + finale) << f;
    }
}

// A fixed seed, a string of moves that draw: the generator must end in the
// same state, or replays and network play of older versions break.
TEST_F(Welo, GoldenGeneratorStateAfterTheMoves) {
    SeedRandom(20261210);
    for (const int32_t state : {WELO_MOVING_SHOTS, WELO_VOLLEY, WELO_HOMING_VOLLEY, WELO_RAY_BARRAGE,
                                WELO_SLASH_STORM, WELO_HIGH_VOLLEY, WELO_HYPER}) {
        RunMove(state, 200);
        players[0].x = -100.0f;
        players[0].y = 0.0f;
        players[0].invulnerableTimer = 0;
    }
    // A neutral dash, three boosted frames, then the charge held to its loop.
    RunMove(PLAYER_FREE, 4, [](int32_t) { return InputWord(INPUT_V | INPUT_UP); });
    RunMove(WELO_CHARGED_SHOT, 30, [](int32_t) { return InputWord(INPUT_Z); });
    EXPECT_EQ(GetRandomState(), 2361628568u);
}

// Shots, Effects and the pair of the ray barrage take their random numbers in
// the written order: the first of a pair first.
TEST_F(Welo, RandomValuesGoWhereTheyBelong) {
    players[1].y = 200.0f;  // aim pi/4
    const PlayerRecord& p = players[0];

    // Ray barrage at t 15: p = (along, across) turned by the aim.
    SeedRandom(3);
    const float along = RandomFloat(5.0f, 35.0f);
    const float across = RandomFloat(-30.0f, 30.0f);
    SeedRandom(3);
    players[0].aimAngle = PI_F / 4.0f;
    RunMove(WELO_RAY_BARRAGE, 1, NoButtons, 15);
    const std::vector<SpawnRequest> flash = Spawned(EFFECT);
    ASSERT_EQ(flash.size(), 1u);
    float offset[2] = {along, across};
    RotateVector2(offset, p.aimAngle);
    EXPECT_EQ(flash[0].position[0], -100.0f + offset[0]);
    EXPECT_EQ(flash[0].position[1], 0.0f + offset[1]);
    const std::vector<SpawnRequest> rays = Spawned(HEAVY);
    ASSERT_EQ(rays.size(), 1u);
    EXPECT_NEAR(rays[0].position[0], flash[0].position[0] + 610.0f * std::cos(p.aimAngle), 1e-3f);
    EXPECT_NEAR(rays[0].position[1], flash[0].position[1] + 610.0f * std::sin(p.aimAngle), 1e-3f);

    // High volley at t 12 (quotient 6, even: thrown to aim + r), then 14 (odd).
    for (const int32_t t : {12, 14}) {
        SetUp();
        players[1].y = 200.0f;
        players[0].aimAngle = PI_F / 4.0f;
        SeedRandom(4);
        const float r = RandomFloat(PI_F / 3.0f, 3.0f * PI_F / 4.0f);
        const float d = RandomFloat(20.0f, 40.0f);
        const float speed = RandomFloat(2.0f, 6.0f);
        SeedRandom(4);
        RunMove(WELO_HIGH_VOLLEY, 1, NoButtons, t);
        ASSERT_EQ(shotList.Size(), 1) << t;
        const Shot& s = shotList[0];
        const float aim = PI_F / 4.0f;
        const float a = t == 12 ? aim + r : aim - r;
        EXPECT_EQ(s.type, 802);
        EXPECT_EQ(s.heading, a) << t;
        EXPECT_EQ(s.angle, aim) << "the second angle keeps the aim";
        EXPECT_EQ(s.speed, speed);
        EXPECT_EQ(s.power, 80);
        EXPECT_EQ(s.owner, 0);
        // 50 behind the side, then d along a + aim.
        EXPECT_NEAR(s.position[0], -100.0f - 50.0f * std::cos(aim) + d * std::cos(a + aim), 1e-3f) << t;
        EXPECT_NEAR(s.position[1], -50.0f * std::sin(aim) + d * std::sin(a + aim), 1e-3f) << t;
    }
}

TEST_F(Welo, DashesSpraySparksBehindTheAim) {
    // The neutral dash: ten sparks, each an angle then an age.
    SeedRandom(11);
    std::vector<std::pair<float, int32_t>> sparks;
    for (int i = 0; i < 10; ++i) {
        const float r = RandomFloat(-1.4f, 1.4f);
        sparks.push_back({r, RandomInt(0, 1000)});
    }
    SeedRandom(11);
    Press(0, INPUT_V | INPUT_UP);
    UpdateWelo(0);
    const float aim = players[0].aimAngle;
    EXPECT_FLOAT_EQ(aim, PI_F / 2.0f) << "dashing up";
    EXPECT_EQ(players[0].state, PLAYER_DASH);
    EXPECT_EQ(players[0].speed, 13.0 - DECAY_FAST);
    ASSERT_EQ(effectList.Size(), 10);
    for (int32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(effectList[i].type, 890);
        // r + aimAngle + pi, taken in double and rounded once.
        EXPECT_EQ(effectList[i].angle, static_cast<float>(sparks[static_cast<size_t>(i)].first +
                                                          static_cast<double>(aim) + 3.1415927f))
            << i;
        EXPECT_EQ(effectList[i].age, sparks[static_cast<size_t>(i)].second) << i;
        EXPECT_EQ(effectList[i].position[0], -100.0f) << "left where the dash began";
    }

    // Boosted: the trail 1002 on frames whose counter is a multiple of 4,
    // one more spark on every frame.
    std::vector<std::vector<int32_t>> perFrame;
    for (int32_t frame = 0; frame < 5; ++frame) {
        TakeSpawns();
        players[0].counter = frame;
        Press(0, INPUT_V | INPUT_UP);
        UpdateWelo(0);
        perFrame.push_back(SpawnedTypes(EFFECT));
    }
    const std::vector<std::vector<int32_t>> expected{{1002, 890}, {890}, {890}, {890}, {1002, 890}};
    EXPECT_EQ(perFrame, expected);

    // A dash out of knock-back sprays as the dash starter does.
    SetUp();
    players[0].state = PLAYER_KNOCKED_BACK;
    players[0].stateTimer = 16;
    Press(0, INPUT_V);
    UpdateWelo(0);
    EXPECT_EQ(players[0].state, PLAYER_DASH);
    EXPECT_EQ(SpawnedTypes(EFFECT), std::vector<int32_t>(10, 890));
}

TEST_F(Welo, TheKnockOutBlastScattersThirtyLongLivedSparks) {
    players[0].state = PLAYER_KNOCKED_OUT;
    players[0].stateTimer = 180;
    UpdateWelo(0);
    const std::vector<int32_t> types = SpawnedTypes(EFFECT);
    ASSERT_EQ(types.size(), 31u);
    EXPECT_EQ(types[0], EFFECT_KNOCK_OUT_BLAST);
    ASSERT_EQ(effectList.Size(), 31);
    for (int32_t i = 1; i < 31; ++i) {
        EXPECT_EQ(effectList[i].type, 890);
        EXPECT_GE(effectList[i].age, 500);
        EXPECT_LE(effectList[i].age, 2000);
        EXPECT_GE(effectList[i].angle, -PI_F);
        EXPECT_LE(effectList[i].angle, PI_F);
    }
    // Other knock-out frames spray nothing.
    TakeSpawns();
    UpdateWelo(0);
    EXPECT_TRUE(spawns.empty());
}

TEST_F(Welo, HighAttacksLetXWinOverA) {
    const struct {
        InputWord word;
        float gauge;
        int32_t state;
    } cases[] = {
        {INPUT_C, 1.0f, WELO_RAY_BARRAGE},
        {INPUT_C | INPUT_A, 1.0f, WELO_SLASH_STORM},
        {INPUT_C | INPUT_X, 1.0f, WELO_HIGH_VOLLEY},
        {INPUT_C | INPUT_X | INPUT_A, 1.0f, WELO_HIGH_VOLLEY},
        {INPUT_C | INPUT_X | INPUT_Z, 3.0f, WELO_HYPER},
        {INPUT_C | INPUT_X | INPUT_Z, 2.5f, WELO_HIGH_VOLLEY},
        {INPUT_C, 0.99f, PLAYER_FREE},
    };
    for (const auto& c : cases) {
        SetUp();
        players[0].hyperGauge = c.gauge;
        Press(0, c.word);
        UpdateWelo(0);
        EXPECT_EQ(players[0].state, c.state) << c.word << " with " << c.gauge;
    }
}

TEST_F(Welo, ABurstKeepsTheKnockBackSpeed) {
    PlayerRecord& p = players[0];
    p.state = PLAYER_KNOCKED_BACK;
    p.stateTimer = 3;
    p.speed = 6.0;
    p.hyperGauge = 1.0f;
    Press(0, INPUT_S);
    UpdateWelo(0);
    EXPECT_EQ(p.state, PLAYER_FREE) << "the opponent is far: free at once";
    EXPECT_EQ(p.invulnerableTimer, 60);
    EXPECT_EQ(p.speed, 6.0 - DECAY_FAST);

    // Near: the opponent is thrown and welo drifts on in the burst.
    SetUp();
    players[1].x = -50.0f;
    p.state = PLAYER_KNOCKED_BACK;
    p.speed = 6.0;
    p.hyperGauge = 1.0f;
    Press(0, INPUT_S);
    UpdateWelo(0);
    EXPECT_EQ(p.state, PLAYER_BURST);
    EXPECT_EQ(players[1].state, PLAYER_BLOWN_AWAY);
    const float x = p.x;
    UpdateWelo(0);
    EXPECT_GT(p.x, x) << "still moving at " << p.speed;
}

TEST_F(Welo, ChargedShotFiresByTheMomentOfRelease) {
    ExpectChargeByRelease({WELO_SHOT, WELO_CHARGED_SHOT, 801, 101, 803});
}

TEST_F(Welo, AHeldChargeWalksWithTheArrowsFacingTheOpponent) {
    players[1].y = 300.0f;
    Press(0, INPUT_Z);
    RunMove(WELO_CHARGED_SHOT, 60, [](int32_t) { return InputWord(INPUT_Z | INPUT_UP); });
    EXPECT_EQ(players[0].state, WELO_CHARGED_SHOT);
    EXPECT_FLOAT_EQ(players[0].y, 60 * 4.0f);
    EXPECT_FLOAT_EQ(players[0].aimAngle, static_cast<float>(std::atan2(300.0 - 240.0, 200.0)));
}

// The charge gathers its sparks at the point 35 ahead: the position + 35 x
// (cos aim, sin aim) taken in double and rounded once, not an offset turned
// as a float vector (from (-142, 17) the two are other floats).
TEST_F(Welo, ChargeSparksGatherAtThePoint35Ahead) {
    players[0].x = -142.0f;
    players[0].y = 17.0f;
    StepFrom(WELO_CHARGED_SHOT, 25, INPUT_Z, INPUT_Z);
    const double aim = std::atan2(0.0 - 17.0, 100.0 - -142.0);
    ASSERT_EQ(players[0].aimAngle, static_cast<float>(aim));
    const double a = players[0].aimAngle;
    ASSERT_EQ(particleList.Size(), 1);
    EXPECT_EQ(particleList[0].x, static_cast<float>(-142.0 + 35.0 * std::cos(a)));
    EXPECT_EQ(particleList[0].y, static_cast<float>(17.0 + 35.0 * std::sin(a)));
}

TEST_F(Welo, MoveChains) {
    ExpectChainSteps({
        {WELO_SHOT, 10, INPUT_Z, INPUT_Z, PLAYER_FREE, WELO_CHARGED_SHOT, 11, "Z held at 10"},
        {WELO_SHOT, 10, 0, INPUT_Z, PLAYER_FREE, WELO_SHOT, 11, "Z pressed at 10 is not held"},
        {WELO_VOLLEY, 10, INPUT_X, INPUT_X, PLAYER_FREE, WELO_HOMING_VOLLEY, 11, "X down at 10"},
        {WELO_VOLLEY, 10, 0, INPUT_X, PLAYER_FREE, WELO_HOMING_VOLLEY, 11, "just pressed is down too"},
        {WELO_VOLLEY, 10, 0, 0, PLAYER_FREE, WELO_VOLLEY, 11, "X up"},
        {WELO_SLASH_1, 10, 0, INPUT_Z, PLAYER_FREE, WELO_SLASH_2, 0, "slash 2 from the slash frame on"},
        {WELO_SLASH_1, 9, 0, INPUT_Z, PLAYER_FREE, WELO_SLASH_1, 10, "too early"},
        {WELO_SLASH_1, 11, 0, INPUT_X, PLAYER_KNOCKED_BACK, WELO_LUNGE, 0, "lunge on the hit"},
        {WELO_SLASH_1, 11, 0, INPUT_X, PLAYER_FREE, WELO_SLASH_1, 12, "no hit, no lunge"},
        {WELO_SLASH_1, 11, 0, INPUT_X | INPUT_Z, PLAYER_KNOCKED_BACK, WELO_SLASH_2, 0, "Z before X"},
        {WELO_SLASH_2, 11, 0, INPUT_Z, PLAYER_FREE, WELO_THRUST, 0, "thrust"},
        {WELO_SLASH_2, 11, 0, INPUT_X, PLAYER_KNOCKED_BACK, WELO_SLASH_2, 12, "no lunge from slash 2"},
        {WELO_LUNGE, 10, 0, INPUT_Z, PLAYER_KNOCKED_BACK, WELO_CHASING_SHOT, 25, "chasing shot on the hit"},
        {WELO_LUNGE, 9, 0, INPUT_Z, PLAYER_KNOCKED_BACK, WELO_LUNGE, 10, "too early"},
        {WELO_LUNGE, 10, 0, INPUT_Z, PLAYER_FREE, WELO_LUNGE, 11, "no hit, no shot"},
        {WELO_SLASH_STORM, 11, 0, 0, PLAYER_FREE, WELO_SLASH_STORM, 62, "first slash missed"},
        {WELO_SLASH_STORM, 11, 0, 0, PLAYER_KNOCKED_BACK, WELO_SLASH_STORM, 12, "first slash hit"},
        {WELO_SLASH_STORM, 65, 0, 0, PLAYER_KNOCKED_BACK, WELO_FLASH_THRUST, 1, "flash thrust"},
        {WELO_SLASH_STORM, 65, 0, 0, PLAYER_FREE, WELO_SLASH_STORM, 66, "the opponent recovered"},
    }, 50.0f);
    // The missed storm also keeps welo safe for 50 frames.
    SetUp();
    players[0].state = WELO_SLASH_STORM;
    players[0].stateTimer = 11;
    UpdateWelo(0);
    EXPECT_EQ(players[0].invulnerableTimer, 50);
}

// Each move ends on the frame whose advanced stateTimer reaches its end, and
// V starts welo's dash, with its sparks, once the advanced stateTimer has
// reached the move's dash mark.
TEST_F(Welo, MovesEndAndTakeADashFromTheirMark) {
    ExpectMoveMarks(EndAndDashFrom({
        {WELO_SHOT, 31, 21},          {WELO_MOVING_SHOTS, 46, 31},   {WELO_CHARGED_SHOT, 151, 116},
        {WELO_CHASING_SHOT, 151, 116}, {WELO_RAY_BARRAGE, 81, 61},   {WELO_SLASH_1, 31, 21},
        {WELO_SLASH_2, 41, 21},       {WELO_THRUST, 41, 21},         {WELO_SLASH_STORM, 81, 71},
        {WELO_FLASH_THRUST, 51, 41},  {WELO_LUNGE, 51, 31},          {WELO_VOLLEY, 51, 36},
        {WELO_HOMING_VOLLEY, 51, 26}, {WELO_HIGH_VOLLEY, 51, 26},    {WELO_HYPER, 81, 61},
    }), 13.0, 0,
        [] {
            players[1].x = 300.0f;
            players[1].state = PLAYER_KNOCKED_BACK;  // the storm runs on
        },
        [this](int32_t stateAfter) {
            if (stateAfter != PLAYER_DASH) return;
            const std::vector<int32_t> types = SpawnedTypes(EFFECT);
            EXPECT_EQ(std::count(types.begin(), types.end(), 890), 10) << "the dash's sparks";
        });
}

TEST_F(Welo, SlashesAndThrustsSetTheirAreas) {
    const struct {
        int32_t state;
        int32_t t;
        float opponentX;
        int32_t type;
        float angle;
        float knockBackSpeed;
        int32_t power;
        float along, across;
    } cases[] = {
        // Aiming right (0): the front side is -0.5, the back side +0.5.
        {WELO_SLASH_1, 10, 50.0f, 801, -0.5f, 2.0f, 100, 0.0f, 0.0f},
        {WELO_SLASH_2, 8, 50.0f, 801, 0.5f, 2.0f, 40, 0.0f, 0.0f},
        {WELO_THRUST, 8, 50.0f, 802, 0.0f, 4.0f, 120, 100.0f, 20.0f},
        {WELO_LUNGE, 10, 50.0f, 802, 0.0f, 4.0f, 180, 100.0f, 20.0f},
        {WELO_FLASH_THRUST, 5, 50.0f, 802, 0.0f, 4.0f, 60, 100.0f, 20.0f},
        {WELO_SLASH_STORM, 10, 50.0f, 801, -0.5f, 2.0f, 100, 0.0f, 0.0f},
        {WELO_SLASH_STORM, 20, 50.0f, 801, -0.5f, 3.0f, 55, 0.0f, 0.0f},
        {WELO_SLASH_STORM, 30, 50.0f, 801, 0.5f, 4.0f, 65, 0.0f, 0.0f},
        // Aiming left (pi): the sides swap.
        {WELO_SLASH_1, 10, -300.0f, 801, PI_F + 0.5f, 2.0f, 100, 0.0f, 0.0f},
        {WELO_SLASH_2, 8, -300.0f, 801, PI_F - 0.5f, 2.0f, 40, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        SetUp();
        players[1].x = c.opponentX;
        players[1].state = PLAYER_KNOCKED_BACK;
        players[0].state = c.state;
        players[0].stateTimer = 0;
        AimAtOpponent(0);
        players[0].stateTimer = c.t;
        UpdateWelo(0);
        const std::vector<SpawnRequest> areas = Spawned(AREA);
        ASSERT_EQ(areas.size(), 1u) << c.state << " at " << c.t;
        EXPECT_EQ(areas[0].type, c.type) << c.state << " at " << c.t;
        EXPECT_EQ(areas[0].angle, c.angle) << c.state << " at " << c.t;
        ASSERT_EQ(attackAreaList.Size(), 1);
        const AttackArea& a = attackAreaList[0];
        EXPECT_EQ(a.knockBackSpeed, c.knockBackSpeed) << c.state << " at " << c.t;
        EXPECT_EQ(a.power, c.power) << c.state << " at " << c.t;
        EXPECT_EQ(a.hitShape[0], c.along) << c.state << " at " << c.t;
        EXPECT_EQ(a.hitShape[1], c.across) << c.state << " at " << c.t;
    }
}

TEST_F(Welo, HomingVolleyWaitsForAnEarlierShotToAge) {
    const struct {
        int32_t owner;
        int32_t age;
        size_t shots;
    } cases[] = {{0, 99, 0}, {0, 100, 4}, {1, 0, 4}};
    for (const auto& c : cases) {
        SetUp();
        Shot earlier{};
        earlier.type = 802;
        earlier.owner = c.owner;
        earlier.age = c.age;
        shotList.Append(earlier);
        const Run run = RunMove(WELO_HOMING_VOLLEY, 200);
        const size_t shots = std::count_if(run.spawns.begin(), run.spawns.end(),
                                           [](const Spawn& s) { return s.kind == SHOT; });
        EXPECT_EQ(shots, c.shots) << "owner " << c.owner << ", age " << c.age;
    }
}

TEST_F(Welo, TheHyperBeamGrowsAndEndsInARay) {
    players[1].y = 200.0f;
    players[1].x = -100.0f;  // straight up
    RunMove(WELO_HYPER, 40);
    EXPECT_EQ(players[0].invulnerableTimer, -100);
    attackAreaList.Clear();  // areas last one frame; the battle empties the list
    RunMove(WELO_HYPER, 1, NoButtons, 40);
    ASSERT_EQ(attackAreaList.Size(), 1);
    const AttackArea& at40 = attackAreaList[0];  // f = 1, a hitting frame
    EXPECT_EQ(at40.type, 830);
    EXPECT_EQ(at40.scaleY, 1.0f);
    EXPECT_EQ(at40.hitShape[2], 160.0f);
    EXPECT_NEAR(at40.position[0], -100.0f, 1e-3f);
    EXPECT_FLOAT_EQ(at40.position[1], 170.0f);

    attackAreaList.Clear();
    RunMove(WELO_HYPER, 1, NoButtons, 41);  // not a hitting frame
    ASSERT_EQ(attackAreaList.Size(), 1);
    EXPECT_EQ(attackAreaList[0].type, 831);
    EXPECT_FLOAT_EQ(attackAreaList[0].scaleY, 31.0f / 30.0f);
    EXPECT_EQ(attackAreaList[0].hitShape[2], 0.0f);

    RunMove(WELO_HYPER, 1, NoButtons, 60);
    const std::vector<SpawnRequest> rays = Spawned(HEAVY);
    ASSERT_EQ(rays.size(), 1u);
    EXPECT_EQ(rays[0].type, 830);
    EXPECT_NEAR(rays[0].position[1], 283.33334f, 1e-3f);
}

}  // namespace
