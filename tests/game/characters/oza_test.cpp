#include "game/characters/oza.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/particles.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "tests/support/character_moves.h"

namespace {

using namespace test;  // the fixture's spawns, kinds and helpers

// Side 0 is oza at (-100, 0); the opponent (side 1) stands still at (100, 0)
// unless a test moves it. Only side 0's update runs.
class Oza : public test::CharacterMovesFixture {
protected:
    Oza() : CharacterMovesFixture(UpdateOza) {}

    void SetUp() override {
        CharacterMovesFixture::SetUp();
        TakeSpawns();  // the cases of a table set up again
        players[0].characterId = 3;
    }
};

// The beam's areas: 320 while t / 2 is even, 321 while odd, from 0 to 80.
std::vector<Spawn> BeamAreas() {
    std::vector<Spawn> spawns;
    for (int32_t t = 0; t <= 80; ++t) spawns.push_back({t, AREA, (t / 2) % 2 == 0 ? 320 : 321});
    return spawns;
}

std::map<int32_t, std::vector<int32_t>> SoundsAt(std::initializer_list<int32_t> frames, int32_t id) {
    std::map<int32_t, std::vector<int32_t>> sounds;
    for (int32_t f : frames) sounds[f] = {id};
    return sounds;
}

TEST_F(Oza, MoveTimelines) {
    const struct {
        int32_t state;
        std::vector<Spawn> spawns;
        std::map<int32_t, std::vector<int32_t>> sounds;
        int32_t freeAfter;
    } cases[] = {
        {OZA_SHOT, {{20, HEAVY, 302}, {20, EFFECT, 320}}, SoundsAt({20}, SE_SHOOT00), 40},
        {OZA_VOLLEY, Every(10, 19, 3, HEAVY, 301), SoundsAt({10, 13, 16, 19}, SE_SHOOT00), 30},
        {OZA_MOVING_VOLLEY, Every(10, 19, 3, HEAVY, 301), SoundsAt({10, 13, 16, 19}, SE_SHOOT00), 30},
        {OZA_MINE, {{5, SHOT, 301}}, {}, 20},
        {OZA_SPRAY, Every(10, 24, 2, SHOT, 315), SoundsAt({12, 16, 20, 24}, SE_BURST), 50},
        {OZA_FAN, Every(10, 20, 2, SHOT, 310), SoundsAt({12, 16, 20}, SE_BURST), 60},
        {OZA_MINE_CROSS, Join({{{0, EFFECT, 1000}}, Every(10, 10, 1, SHOT, 301), Every(10, 10, 1, SHOT, 301),
                               Every(10, 10, 1, SHOT, 301), Every(10, 10, 1, SHOT, 301)}),
         {}, 30},
        {OZA_WIDE_FAN, Join({{{0, EFFECT, 1000}}, Every(10, 40, 2, SHOT, 310)}),
         SoundsAt({12, 16, 20, 24, 28, 32, 36, 40}, SE_BURST), 60},
        {OZA_LARGE_SHOT, {{0, EFFECT, 1000}, {40, SHOT, 320}}, SoundsAt({40}, SE_BURST), 60},
        {OZA_BEAM, Join({{{0, EFFECT, 1000}}, BeamAreas(), Every(20, 60, 5, EFFECT, 320)}), SoundsAt({20}, SE_RAY),
         90},
        {OZA_HYPER, Join({{{0, EFFECT, 1000}}, BeamAreas(), Every(20, 60, 5, EFFECT, 321), {{20, HEAVY, 310}}}),
         SoundsAt({20}, SE_RAY), 90},
    };
    for (const auto& c : cases) {
        SetUp();
        const Run run = RunMove(c.state, 200);
        EXPECT_EQ(run.spawns, c.spawns) << "state " << c.state;
        EXPECT_EQ(run.sounds, c.sounds) << "state " << c.state;
        EXPECT_EQ(run.freeAfter, c.freeAfter) << "state " << c.state;
    }
}

// The start bursts (four RandomInt and four RandomFloat calls a frame, twelve
// raw draws), the volleys' scatter, the fans and the hyper beam's width are
// the only random draws of oza's moves.
TEST_F(Oza, RandomDrawsPerFrame) {
    std::vector<int32_t> evenFrames10to40;
    for (int32_t f = 10; f <= 40; f += 2) evenFrames10to40.push_back(f);
    std::vector<int32_t> hyperHold;
    for (int32_t f = 20; f <= 60; ++f) hyperHold.push_back(f);
    ExpectDrawsPerFrame({
        {OZA_SHOT, {}},
        {OZA_MINE, {}},
        {OZA_VOLLEY, {{{10, 13, 16, 19}, 1}}},
        {OZA_MOVING_VOLLEY, {{{10, 13, 16, 19}, 1}}},
        {OZA_SPRAY, {{{10, 12, 14, 16, 18, 20, 22, 24}, 1}}},
        {OZA_FAN, {{{10, 12, 14, 16, 18, 20}, 1}}},
        {OZA_MINE_CROSS, {{{0, 1, 2, 3, 4}, 12}}},
        {OZA_WIDE_FAN, {{{0, 1, 2, 3, 4}, 12}, {evenFrames10to40, 1}}},
        {OZA_LARGE_SHOT, {{{0, 1, 2, 3, 4}, 12}}},
        {OZA_BEAM, {{{0, 1, 2, 3, 4}, 12}}},
        {OZA_HYPER, {{{0, 1, 2, 3, 4}, 12}, {hyperHold, 1}}},
    }, 200);
}

// Every move with random draws, one after the other from seed 0: the
// generator must end in the same state (the draws' order and count).
TEST_F(Oza, GoldenGeneratorStateAfterTheRandomMoves) {
    for (int32_t state : {OZA_VOLLEY, OZA_MOVING_VOLLEY, OZA_SPRAY, OZA_FAN, OZA_MINE_CROSS, OZA_WIDE_FAN,
                          OZA_LARGE_SHOT, OZA_BEAM, OZA_HYPER})
        ASSERT_GE(RunMove(state, 200).freeAfter, 0) << state;
    EXPECT_EQ(GetRandomState(), 3806484205u);
}

// a = RandomFloat(0, pi/2) + i x pi/2, taken in double and rounded once.
TEST_F(Oza, StartBurstSparksAlternateTypeAndAngleDraws) {
    SeedRandom(9);
    StepFrom(OZA_BEAM, 4, 0);
    std::vector<SpawnRequest> sparks;
    for (const SpawnRequest& r : Spawned(EFFECT))
        if (r.type == 1100 || r.type == 1101) sparks.push_back(r);
    ExpectSparks(sparks, 9, 4, 3.1415927f / 2.0);
}

// The fans: one draw per Shot, then +r while t / 2 is even and -r while odd.
TEST_F(Oza, FansSpreadToBothSidesInTurn) {
    const struct {
        int32_t state;
        int32_t type;
        float low, high;
        int32_t first, last;
    } cases[] = {
        {OZA_SPRAY, 315, -0.2f, 1.2f, 10, 24},
        {OZA_FAN, 310, 0.8f, 1.6f, 10, 20},
        {OZA_WIDE_FAN, 310, 0.8f, 2.2f, 10, 40},
    };
    for (const auto& c : cases) {
        SetUp();
        players[1].y = 200.0f;
        const float aim = static_cast<float>(std::atan2(200.0, 200.0));
        // Past the start burst, aimed at the opponent as t = 0 leaves it.
        players[0].aimAngle = aim;
        players[0].state = c.state;
        players[0].stateTimer = 5;
        SeedRandom(4);
        std::vector<float> expected;
        for (int32_t t = c.first; t <= c.last; t += 2) {
            const float r = RandomFloat(c.low, c.high);
            expected.push_back((t / 2) % 2 == 0 ? aim + r : aim - r);
        }
        SeedRandom(4);
        for (int32_t t = 5; t <= c.last; ++t) {
            Press(0, 0);
            UpdateOza(0);
        }
        std::vector<float> headings;
        for (int32_t i = 0; i < shotList.Size(); ++i) {
            EXPECT_EQ(shotList[i].type, c.type);
            EXPECT_EQ(shotList[i].position[0], -100.0f);
            headings.push_back(shotList[i].heading);
        }
        EXPECT_EQ(headings, expected) << "state " << c.state;
    }
}

TEST_F(Oza, VolleysScatterAroundAFreshAim) {
    const struct {
        int32_t state;
        float spread;
    } cases[] = {{OZA_VOLLEY, 0.1f}, {OZA_MOVING_VOLLEY, 0.2f}};
    for (const auto& c : cases) {
        SetUp();
        players[1].y = 200.0f;
        const float aim = static_cast<float>(std::atan2(200.0, 200.0));
        SeedRandom(3);
        std::vector<float> expected;
        for (int i = 0; i < 4; ++i) expected.push_back(aim + RandomFloat(-c.spread, c.spread));
        SeedRandom(3);
        players[0].aimAngle = 2.0f;  // stale: each shot aims again
        players[0].state = c.state;
        players[0].stateTimer = 5;
        for (int32_t t = 5; t <= 19; ++t) {
            Press(0, 0);
            UpdateOza(0);
        }
        ASSERT_EQ(heavyShotList.Size(), 4);
        for (int32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(heavyShotList[i].type, 301);
            EXPECT_EQ(heavyShotList[i].heading, expected[i]) << i;
        }
    }
}

// Z still down on frame 9 turns the single large shot into the volley.
TEST_F(Oza, HoldingZThroughFrameNineFiresTheVolley) {
    const struct {
        int32_t releaseAt;  // first frame without Z
        std::vector<Spawn> heavies;
        int32_t freeAfter;
    } cases[] = {
        {9, {{20, HEAVY, 302}}, 40},
        {10, Every(10, 19, 3, HEAVY, 301), 30},
        {1000, Every(10, 19, 3, HEAVY, 301), 30},
    };
    for (const auto& c : cases) {
        SetUp();
        const Run run = RunMove(OZA_SHOT, 200, [&](int32_t f) -> InputWord { return f < c.releaseAt ? INPUT_Z : 0; });
        std::vector<Spawn> heavies;
        for (const Spawn& s : run.spawns)
            if (s.kind == HEAVY) heavies.push_back(s);
        EXPECT_EQ(heavies, c.heavies) << "release at " << c.releaseAt;
        EXPECT_EQ(run.freeAfter, c.freeAfter) << "release at " << c.releaseAt;
    }
}

TEST_F(Oza, TheLargeShotFlashesAtTheMuzzle) {
    players[1].x = -100.0f;
    players[1].y = 100.0f;  // straight up
    RunMove(OZA_SHOT, 21);
    const std::vector<SpawnRequest> flash = Spawned(EFFECT);
    ASSERT_EQ(flash.size(), 1u);
    EXPECT_EQ(flash[0].angle, PI_F / 2.0f);
    EXPECT_NEAR(flash[0].position[0], -100.0f, 1e-4f);
    EXPECT_FLOAT_EQ(flash[0].position[1], 20.0f);
    EXPECT_EQ(Spawned(HEAVY)[0].position[1], 0.0f);
}

// The buttons of a frame in each state the moves start from.
TEST_F(Oza, ButtonsStartTheMoves) {
    constexpr InputWord C = INPUT_C, X = INPUT_X, Z = INPUT_Z, A = INPUT_A, V = INPUT_V, S = INPUT_S;
    const struct {
        int32_t state, stateTimer;
        float hyperGauge;
        int32_t invulnerableTimer;
        InputWord before, word;  // the word of the frame before, of this frame
        int32_t stateAfter, stateTimerAfter;
        float hyperGaugeAfter;
        const char* what;
    } cases[] = {
        {PLAYER_FREE, 0, 0.0f, 0, 0, Z, OZA_SHOT, 0, 0.05f, "Z"},
        {PLAYER_FREE, 0, 0.0f, 0, 0, Z | V, OZA_MOVING_VOLLEY, 0, 0.03f, "Z with V"},
        {PLAYER_FREE, 0, 0.0f, 0, 0, Z | A, OZA_MINE, 0, 0.04f, "Z with A"},
        {PLAYER_FREE, 0, 0.0f, 0, 0, Z | A | V, OZA_MINE, 0, 0.04f, "A wins over V"},
        {PLAYER_FREE, 0, 0.0f, 0, 0, X, OZA_SPRAY, 0, 0.02f, "X"},
        {PLAYER_FREE, 0, 0.0f, 0, 0, X | A, OZA_FAN, 0, 0.02f, "X with A"},
        {PLAYER_FREE, 0, 0.0f, 0, A, X, OZA_FAN, 0, 0.02f, "X with A just released"},
        {PLAYER_FREE, 0, 0.0f, 0, 0, Z | X, OZA_SPRAY, 0, 0.02f, "X wins over Z"},
        {PLAYER_DASH, 0, 0.0f, 0, 0, Z, OZA_SHOT, 0, 0.05f, "Z out of a dash"},
        {PLAYER_FREE, 0, 0.5f, 0, 0, S | Z, PLAYER_SHIELD, 0, 0.0f, "the shield wins, for 0.5"},
        {PLAYER_FREE, 0, 0.49f, 0, 0, S, PLAYER_FREE, 0, 0.49f, "no shield below 0.5"},
        {PLAYER_SHIELD, 6, 0.0f, 0, 0, Z, OZA_SHOT, 1, 0.05f, "Z late in the shield starts at 1"},
        {PLAYER_SHIELD, 5, 0.0f, 0, 0, Z, PLAYER_SHIELD, 6, 0.0f, "not before frame 6 of the shield"},
        {OZA_SHOT, 30, 0.0f, 0, 0, X, OZA_SHOT, 31, 0.0f, "no move out of a move"},
        // The high attacks run their first frame at once.
        {PLAYER_FREE, 0, 1.0f, 0, 0, C, OZA_BEAM, 1, 0.0f, "C"},
        {PLAYER_FREE, 0, 1.0f, 0, 0, C | X, OZA_LARGE_SHOT, 1, 0.0f, "C with X"},
        {PLAYER_FREE, 0, 1.0f, 0, 0, C | V, OZA_WIDE_FAN, 1, 0.0f, "C with V"},
        {PLAYER_FREE, 0, 1.0f, 0, 0, C | A, OZA_MINE_CROSS, 1, 0.0f, "C with A"},
        {PLAYER_FREE, 0, 1.0f, 0, 0, C | X | V, OZA_WIDE_FAN, 1, 0.0f, "V after X"},
        {PLAYER_FREE, 0, 1.0f, 0, 0, C | V | A, OZA_MINE_CROSS, 1, 0.0f, "A last"},
        {PLAYER_FREE, 0, 1.0f, 0, 0, C | X | Z, OZA_LARGE_SHOT, 1, 0.0f, "no hyper below 3.0"},
        {PLAYER_FREE, 0, 3.0f, 0, 0, C | X | Z, OZA_HYPER, 1, 0.0f, "the hyper attack for 3.0"},
        {PLAYER_FREE, 0, 3.0f, 0, 0, C | X | A, OZA_HYPER, 1, 0.0f, "with A for Z"},
        {PLAYER_FREE, 0, 3.0f, 0, 0, C | X, OZA_LARGE_SHOT, 1, 2.0f, "C with X alone keeps 2.0"},
        {PLAYER_FREE, 0, 0.99f, 0, 0, C, PLAYER_FREE, 0, 0.99f, "no high attack below 1.0"},
        {PLAYER_FREE, 0, 1.0f, 60, 0, C, PLAYER_FREE, 0, 1.0f, "not while invulnerable 60"},
        {PLAYER_FREE, 0, 1.0f, 59, 0, C, OZA_BEAM, 1, 0.0f, "invulnerable 59"},
        {OZA_HYPER, 30, 1.0f, -70, 0, C | A, OZA_MINE_CROSS, 1, 0.0f, "during the hyper attack"},
        {OZA_SPRAY, 30, 1.0f, 0, 0, C, OZA_BEAM, 1, 0.0f, "cuts a move short"},
        {PLAYER_SHIELD, 2, 1.0f, 0, 0, C, OZA_BEAM, 1, 0.0f, "out of the shield"},
        {PLAYER_BURST, 45, 1.0f, 0, 0, C, OZA_BEAM, 1, 0.0f, "out of the burst"},
        {PLAYER_BLOWN_AWAY, 3, 1.0f, 0, 0, C, OZA_BEAM, 1, 0.0f, "while blown away"},
        {PLAYER_KNOCKED_BACK, 3, 1.0f, 0, 0, C, PLAYER_KNOCKED_BACK, 4, 1.0f, "never in knock-back"},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.hyperGauge = c.hyperGauge;
        p.invulnerableTimer = c.invulnerableTimer;
        StepFrom(c.state, c.stateTimer, c.word, c.before);
        EXPECT_EQ(p.state, c.stateAfter) << c.what;
        EXPECT_EQ(p.stateTimer, c.stateTimerAfter) << c.what;
        EXPECT_FLOAT_EQ(p.hyperGauge, c.hyperGaugeAfter) << c.what;
    }
}

TEST_F(Oza, HighStartsStopTheSideAndSetItsInvulnerability) {
    const struct {
        int32_t state;
        int32_t invulnerableTimer;
    } cases[] = {{OZA_MINE_CROSS, 100}, {OZA_WIDE_FAN, 100}, {OZA_LARGE_SHOT, 50}, {OZA_BEAM, 100}, {OZA_HYPER, -100}};
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.speed = 7.0;
        p.aimAngle = 3.0f;
        players[1].y = -200.0f;
        StepFrom(c.state, 0, 0);
        EXPECT_EQ(p.invulnerableTimer, c.invulnerableTimer) << c.state;
        EXPECT_EQ(p.speed, 0.0) << c.state;
        EXPECT_EQ(p.x, -100.0f) << c.state;
        EXPECT_EQ(flashList.Size(), 1) << c.state;
        const std::vector<SpawnRequest> effects = Spawned(EFFECT);
        ASSERT_FALSE(effects.empty());
        EXPECT_EQ(effects[0].type, 1000);
        EXPECT_EQ(effects[0].angle, 0.0f);
        // Aimed at the opponent (the beam turns only from frame 11).
        EXPECT_EQ(p.aimAngle, static_cast<float>(std::atan2(-200.0, 200.0))) << c.state;
    }
}

// A mine counts while its age is below 400. Placing one with more than three
// live ones of the side's own ends the oldest (the first among equals).
TEST_F(Oza, MinePlacingEndsTheOldestOfTooManyLiveMines) {
    struct Mine {
        int32_t owner, type, age;
    };
    const struct {
        std::vector<Mine> before;
        std::vector<int32_t> agesAfter;
        const char* what;
    } cases[] = {
        {{{0, 301, 10}, {0, 301, 50}, {0, 301, 50}, {0, 301, 5}}, {10, 400, 50, 5, 0}, "four: the first oldest ends"},
        {{{0, 301, 10}, {0, 301, 50}, {0, 301, 5}}, {10, 50, 5, 0}, "three are left alone"},
        {{{0, 301, 10}, {0, 301, 500}, {0, 301, 50}, {0, 301, 5}}, {10, 500, 50, 5, 0}, "a spent mine does not count"},
        {{{0, 301, 10}, {1, 301, 90}, {0, 301, 50}, {0, 301, 5}}, {10, 90, 50, 5, 0}, "nor the opponent's"},
        {{{0, 315, 90}, {0, 301, 10}, {0, 301, 20}, {0, 301, 30}}, {90, 10, 20, 30, 0}, "nor other Shots"},
        {{{0, 301, 10}, {0, 301, 20}, {0, 301, 399}, {0, 301, 30}, {0, 301, 40}},
         {10, 20, 400, 30, 40, 0},
         "five: only the oldest"},
    };
    for (const auto& c : cases) {
        SetUp();
        for (const Mine& m : c.before) {
            Shot s{};
            s.owner = m.owner;
            s.type = m.type;
            s.age = m.age;
            shotList.Append(s);
        }
        StepFrom(OZA_MINE, 5, 0);
        std::vector<int32_t> ages;
        for (int32_t i = 0; i < shotList.Size(); ++i) ages.push_back(shotList[i].age);
        EXPECT_EQ(ages, c.agesAfter) << c.what;
        const Shot& placed = shotList[shotList.LastIndex()];
        EXPECT_EQ(placed.type, 301) << c.what;
        EXPECT_EQ(placed.owner, 0) << c.what;
        EXPECT_EQ(placed.position[0], -100.0f) << c.what;
        EXPECT_EQ(placed.heading, 0.0f) << c.what;
    }
}

TEST_F(Oza, TheMineCrossIsNotLimited) {
    for (int32_t age : {10, 20, 30, 40}) {
        Shot s{};
        s.type = 301;
        s.age = age;
        shotList.Append(s);
    }
    players[0].y = 30.0f;
    StepFrom(OZA_MINE_CROSS, 10, 0);
    ASSERT_EQ(shotList.Size(), 8);
    const float points[4][2] = {{20.0f, 30.0f}, {-220.0f, 30.0f}, {-100.0f, 150.0f}, {-100.0f, -90.0f}};
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(shotList[i].age, 10 * (i + 1));
        EXPECT_EQ(shotList[4 + i].type, 301);
        EXPECT_EQ(shotList[4 + i].position[0], points[i][0]) << i;
        EXPECT_EQ(shotList[4 + i].position[1], points[i][1]) << i;
    }
}

// The beam's area of a frame: 600 ahead, its width by the frame, and on some
// frames its reach (and for the hyper beam its power).
TEST_F(Oza, BeamsWidenHoldAndNarrow) {
    const struct {
        int32_t state, t;
        int32_t type;
        float width;  // NAN: the hyper beam's random width
        float along, across;
        int32_t power;
    } cases[] = {
        {OZA_BEAM, 5, 320, 0.1f, 0, 0, 30},
        {OZA_BEAM, 9, 320, 0.1f, 0, 0, 30},
        {OZA_BEAM, 10, 321, 0.0f, 0, 0, 30},
        {OZA_BEAM, 15, 321, 0.5f, 0, 0, 30},
        {OZA_BEAM, 19, 321, 0.9f, 0, 0, 30},
        {OZA_BEAM, 20, 320, 1.0f, 590, 80, 30},
        {OZA_BEAM, 21, 320, 1.0f, 0, 0, 30},
        {OZA_BEAM, 60, 320, 1.0f, 590, 80, 30},
        {OZA_BEAM, 61, 320, 0.95f, 0, 0, 30},
        {OZA_BEAM, 80, 320, 0.0f, 0, 0, 30},
        {OZA_HYPER, 9, 320, 0.1f, 0, 0, 30},
        {OZA_HYPER, 15, 321, 1.0f, 0, 0, 30},
        {OZA_HYPER, 19, 321, 1.8f, 0, 0, 30},
        {OZA_HYPER, 20, 320, NAN, 0, 0, 30},
        {OZA_HYPER, 21, 320, NAN, 590, 120, 50},
        {OZA_HYPER, 24, 320, NAN, 590, 120, 50},
        {OZA_HYPER, 26, 321, NAN, 0, 0, 30},
        {OZA_HYPER, 62, 321, 1.8f, 0, 0, 30},
        {OZA_HYPER, 70, 321, 1.0f, 0, 0, 30},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.aimAngle = PI_F / 2.0f;
        SeedRandom(11);
        const float randomWidth = RandomFloat(1.8f, 2.4f);
        SeedRandom(11);
        StepFrom(c.state, c.t, 0);
        ASSERT_EQ(attackAreaList.Size(), 1) << c.state << " at " << c.t;
        const AttackArea& a = attackAreaList[0];
        EXPECT_EQ(a.type, c.type) << c.state << " at " << c.t;
        EXPECT_FLOAT_EQ(a.scaleY, std::isnan(c.width) ? randomWidth : c.width) << c.state << " at " << c.t;
        EXPECT_EQ(a.hitShape[0], c.along) << c.state << " at " << c.t;
        EXPECT_EQ(a.hitShape[1], c.across) << c.state << " at " << c.t;
        EXPECT_EQ(a.power, c.power) << c.state << " at " << c.t;
        EXPECT_EQ(a.angle, PI_F / 2.0f);
        EXPECT_NEAR(a.position[0], -100.0f, 1e-3f);
        EXPECT_FLOAT_EQ(a.position[1], 600.0f);
    }
    // Past frame 80 the beam is gone.
    SetUp();
    StepFrom(OZA_BEAM, 81, 0);
    EXPECT_EQ(attackAreaList.Size(), 0);
}

// The arrows steer the beam of the high attack by 0.01 a frame from frame 11
// to 79, before that frame's area; the hyper beam holds its aim.
TEST_F(Oza, OnlyTheHighBeamTurnsWithTheArrows) {
    const struct {
        int32_t state, t;
        float turned;
    } cases[] = {{OZA_BEAM, 10, 0.0f}, {OZA_BEAM, 11, 0.01f}, {OZA_BEAM, 79, 0.01f}, {OZA_BEAM, 80, 0.0f},
                 {OZA_HYPER, 30, 0.0f}};
    for (const auto& c : cases) {
        SetUp();
        players[0].aimAngle = 0.0f;
        StepFrom(c.state, c.t, INPUT_UP);
        EXPECT_FLOAT_EQ(players[0].aimAngle, c.turned) << c.state << " at " << c.t;
        ASSERT_EQ(attackAreaList.Size(), 1);
        EXPECT_EQ(attackAreaList[0].angle, players[0].aimAngle);
    }
}

TEST_F(Oza, TheLargeShotAndTheHyperShotLeaveAlongTheAim) {
    players[1].y = 200.0f;
    RunMove(OZA_LARGE_SHOT, 41);
    const float aim = static_cast<float>(std::atan2(200.0, 200.0));
    ASSERT_EQ(shotList.Size(), 1);
    EXPECT_EQ(shotList[0].type, 320);
    EXPECT_EQ(shotList[0].heading, aim);
    SetUp();
    players[1].y = 200.0f;
    RunMove(OZA_HYPER, 21);
    ASSERT_EQ(heavyShotList.Size(), 1);
    EXPECT_EQ(heavyShotList[0].type, 310);
    EXPECT_EQ(heavyShotList[0].heading, aim);
}

// V pressed once the new stateTimer has reached the move's mark starts oza's
// own dash; on the frame the move ends it is ignored.
TEST_F(Oza, MovesEndAndTakeADashFromTheirMark) {
    ExpectMoveMarks(EndAndDashFrom({
        {OZA_VOLLEY, 31, 16},     {OZA_SHOT, 41, 26},       {OZA_MOVING_VOLLEY, 31, 16}, {OZA_MINE, 21, 13},
        {OZA_MINE_CROSS, 31, 21}, {OZA_FAN, 61, 39},        {OZA_WIDE_FAN, 61, 51},      {OZA_SPRAY, 51, 36},
        {OZA_BEAM, 91, 81},       {OZA_LARGE_SHOT, 61, 51}, {OZA_HYPER, 91, 81},
    }), 10.0, 0, nullptr, [](int32_t stateAfter) {
        if (stateAfter != PLAYER_DASH) {
            EXPECT_EQ(players[0].speed, 0.0);
        }
    });
}

// The decelerations are single-precision values widened to double; the
// moving volley glides at a third of the usual one.
TEST_F(Oza, MovesSlowDownByTheirDeceleration) {
    const struct {
        int32_t state, t;
        double decay;
    } cases[] = {{OZA_SHOT, 30, 0.800000011920929},
                 {OZA_MOVING_VOLLEY, 25, 0.26666667064030963},
                 {OZA_MINE, 10, 0.800000011920929},
                 {OZA_BEAM, 85, 0.800000011920929},
                 {PLAYER_KNOCKED_BACK, 3, 0.800000011920929},
                 {PLAYER_BLOWN_AWAY, 3, 0.4000000059604645}};
    for (const auto& c : cases) {
        SetUp();
        players[0].speed = 5.0;
        players[0].moveAngle = PI_F;
        StepFrom(c.state, c.t, 0);
        EXPECT_EQ(players[0].speed, 5.0 - c.decay) << c.state;
        EXPECT_FLOAT_EQ(players[0].x, -105.0f) << c.state;
    }
}

TEST_F(Oza, TheMovingVolleyAddsToTheBoostGaugeAtItsStart) {
    players[0].boostGauge = 1.0f;
    players[0].speed = 10.0;
    StepFrom(OZA_MOVING_VOLLEY, 0, 0);
    EXPECT_FLOAT_EQ(players[0].boostGauge, 1.25f);
    EXPECT_EQ(players[0].speed, 10.0 - DECAY_FAST / 3.0) << "no new speed: it glides on";
}

// The shared states with oza's values: which dash each takes and how fast,
// the neutral dash's gain and the boosted dash's trail.
TEST_F(Oza, SharedStatesUseOzasDashesAndValues) {
    const struct {
        int32_t state, stateTimer;
        int32_t stateAfter;
        double speedAfter;
        const char* what;
    } cases[] = {
        {PLAYER_KNOCKED_BACK, 16, PLAYER_DASH, 10.0, "knock-back: oza's dash"},
        {PLAYER_KNOCKED_BACK, 15, PLAYER_KNOCKED_BACK, 0.0, "not before 16"},
        {PLAYER_BURST, 41, PLAYER_DASH, 13.0, "burst: the faster dash"},
        {PLAYER_BURST, 40, PLAYER_BURST, 0.0, "not before 41"},
        {PLAYER_BLOWN_AWAY, 31, PLAYER_DASH, 10.0, "blown away: oza's dash"},
        {PLAYER_SHIELD, 6, PLAYER_DASH, 13.0, "shield: the faster dash"},
        {PLAYER_FREE, 0, PLAYER_DASH, 10.0 - DECAY_FAST, "neutral dash"},
    };
    for (const auto& c : cases) {
        SetUp();
        StepFrom(c.state, c.stateTimer, INPUT_V);
        EXPECT_EQ(players[0].state, c.stateAfter) << c.what;
        EXPECT_EQ(players[0].speed, c.speedAfter) << c.what;
    }

    SetUp();
    PlayerRecord& p = players[0];
    StepFrom(PLAYER_FREE, 0, INPUT_V);
    EXPECT_FLOAT_EQ(p.boostGauge, 0.2f - 0.001f);
    // Held on below 9.0: boosted to 9.0, with the trail Effect 1002 every
    // fourth frame.
    TakeSpawns();
    p.counter = 4;
    p.speed = 5.0;
    Press(0, INPUT_V);
    UpdateOza(0);
    EXPECT_EQ(p.speed, 9.0 - DECAY_FAST);
    EXPECT_EQ(SpawnedTypes(EFFECT), std::vector<int32_t>{1002});

    // The shield's particles: colour number 3 + 20, the fast all-round burst
    // (the group of 30 would stay below 6 a frame).
    SetUp();
    StepFrom(PLAYER_SHIELD, 5, 0);
    ASSERT_EQ(particleList.Size(), 20);
    float fastest = 0.0f;
    for (int32_t i = 0; i < 20; ++i) {
        EXPECT_EQ(particleList[i].kind, 100 + 3);
        fastest = std::max(fastest, particleList[i].speed);
    }
    EXPECT_GT(fastest, 6.0f);
    EXPECT_EQ(p.invulnerableTimer, 40);
}

// A burst out of knock-back with the opponent 100 or more away costs 1.0,
// spawns its Effect, gives 60 frames of invulnerability and frees the side
// in the same frame; closer, it throws the opponent.
TEST_F(Oza, BurstsOutOfKnockBack) {
    const struct {
        float opponentX;
        int32_t stateAfter, opponentState;
    } cases[] = {{0.0f, PLAYER_FREE, PLAYER_FREE}, {-1.0f, PLAYER_BURST, PLAYER_BLOWN_AWAY}};
    for (const auto& c : cases) {
        SetUp();
        players[0].hyperGauge = 1.0f;
        players[1].x = c.opponentX;
        StepFrom(PLAYER_KNOCKED_BACK, 3, INPUT_S);
        EXPECT_EQ(players[0].state, c.stateAfter) << c.opponentX;
        EXPECT_EQ(players[0].hyperGauge, 0.0f);
        EXPECT_EQ(players[0].invulnerableTimer, 60);
        EXPECT_EQ(SpawnedTypes(EFFECT), std::vector<int32_t>{1000});
        EXPECT_EQ(players[1].state, c.opponentState) << c.opponentX;
    }
}

TEST_F(Oza, KnockOutExplodesAt180AndNothingElseRuns) {
    PlayerRecord& p = players[0];
    p.hyperGauge = 3.0f;
    StepFrom(PLAYER_KNOCKED_OUT, 0, INPUT_C | INPUT_X | INPUT_Z);
    EXPECT_EQ(SpawnedTypes(EFFECT), std::vector<int32_t>{1300});
    EXPECT_EQ(p.state, PLAYER_KNOCKED_OUT);
    EXPECT_EQ(p.hyperGauge, 3.0f);
    TakeSpawns();
    StepFrom(PLAYER_KNOCKED_OUT, 180, 0);
    EXPECT_EQ(SpawnedTypes(EFFECT), std::vector<int32_t>{1301});
    EXPECT_EQ(particleList.Size(), 50);
    EXPECT_EQ(p.stateTimer, 181);
}

}  // namespace
