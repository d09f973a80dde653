#include "game/characters/nebu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <ostream>
#include <vector>

#include "engine/core/math.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/battle_hash.h"
#include "tests/support/character_moves.h"

namespace {

using namespace test;  // the fixture's spawns, kinds and helpers

struct Object {
    ObjectKind kind;
    int32_t type;
};

// The spawns of the frames from..to (every step-th), each frame's objects
// given by `at` in the order they are asked for.
std::vector<Spawn> Frames(int32_t from, int32_t to, int32_t step,
                          const std::function<std::vector<Object>(int32_t t)>& at) {
    std::vector<Spawn> spawns;
    for (int32_t t = from; t <= to; t += step)
        for (const Object& o : at(t)) spawns.push_back({t, o.kind, o.type});
    return spawns;
}

std::vector<Spawn> Once(int32_t frame, std::vector<Object> objects) {
    return Frames(frame, frame, 1, [&](int32_t) { return objects; });
}

// The pattern n times over.
std::vector<Object> Times(int32_t n, const std::vector<Object>& pattern) {
    std::vector<Object> all;
    for (int32_t i = 0; i < n; ++i) all.insert(all.end(), pattern.begin(), pattern.end());
    return all;
}

// Heavy on the frames where t / 2 is even, light on the others.
ObjectKind HeavyOnEvenHalf(int32_t t) { return (t / 2) % 2 == 0 ? HEAVY : SHOT; }
int32_t BeamArea(int32_t t) { return (t / 2) % 2 == 0 ? 740 : 741; }

// Side 0 is nebu at (-100, 0); the opponent (side 1) stands still at
// (100, 0) unless a test moves it. Only side 0's update runs.
class Nebu : public test::CharacterMovesFixture {
protected:
    Nebu() : CharacterMovesFixture(UpdateNebu) {}

    void SetUp() override {
        CharacterMovesFixture::SetUp();
        players[0].characterId = 7;
    }

    void PlaceOpponent(float x, float y) {
        players[1].x = x;
        players[1].y = y;
    }
};

// Each move run from its start without buttons: what it spawns on which
// frame, how many random numbers each frame draws, and when it ends.
TEST_F(Nebu, MoveTimelines) {
    using Draws = test::DrawFrames;
    const auto range = [](int32_t from, int32_t to, int32_t step) {
        std::vector<int32_t> frames;
        for (int32_t f = from; f <= to; f += step) frames.push_back(f);
        return frames;
    };
    // The start burst: four sparks, each RandomInt (two draws) and RandomFloat.
    const std::vector<int32_t> burst = range(0, 4, 1);
    const struct {
        int32_t state;
        float opponentX;
        std::vector<Spawn> spawns;
        Draws draws;
        int32_t freeAfter;
    } cases[] = {
        {NEBU_TWIN_SHOT, 100, Once(12, {{HEAVY, 702}, {SHOT, 702}}), {{{12}, 2}}, 30},
        {NEBU_WHEEL, 100, Once(5, Times(12, {{HEAVY, 741}, {SHOT, 741}})), {}, 50},
        {NEBU_ORBIT_SHOTS, 100,
         Frames(10, 30, 4, [](int32_t t) { return std::vector<Object>{{(t - 10) % 8 == 0 ? HEAVY : SHOT, 703}}; }),
         {{range(10, 30, 4), 2}}, 50},
        {NEBU_REAR_VOLLEY, 100,
         Frames(12, 28, 2, [](int32_t t) { return std::vector<Object>{{HeavyOnEvenHalf(t), 720}, {EFFECT, 620}}; }),
         {{range(12, 28, 2), 3}}, 50},
        {NEBU_BEAM, 100, Frames(10, 50, 1, [](int32_t t) { return std::vector<Object>{{AREA, BeamArea(t)}}; }), {},
         60},
        {NEBU_CHAIN, 100, Once(5, {{SHOT, 710}, {EFFECT, 740}}), {}, 40},
        {NEBU_CHAIN_VOLLEY, 100, Frames(5, 30, 5, [](int32_t) { return std::vector<Object>{{SHOT, 715}, {EFFECT, 740}}; }),
         {{range(5, 30, 5), 2}}, 60},
        {NEBU_BURST_STRIKE, 100,
         Frames(12, 21, 3, [](int32_t) { return std::vector<Object>{{EFFECT, 750}, {EFFECT, 620}, {AREA, 720}}; }),
         {{range(12, 21, 3), 2}}, 40},
        {NEBU_SWEEP_BEAM, 100,
         Join({Once(0, {{EFFECT, 1000}}),
               Frames(10, 60, 1, [](int32_t t) { return std::vector<Object>{{AREA, BeamArea(t)}}; })}),
         {{burst, 12}}, 80},
        {NEBU_STAR_BURST, 100,
         Join({Once(1, {{EFFECT, 1000}}), Once(20, Times(15, {{SHOT, 717}, {EFFECT, 740}})),
               Frames(10, 40, 10, [](int32_t) { return std::vector<Object>{{EFFECT, 760}}; })}),
         {{burst, 12}, {range(10, 40, 10), 1}}, 60},
        {NEBU_REAR_STORM, 300,
         Join({Once(0, {{EFFECT, 1000}}), Frames(0, 45, 5, [](int32_t) { return std::vector<Object>{{EFFECT, 720}}; }),
               Frames(10, 50, 1,
                      [](int32_t t) { return std::vector<Object>{{t % 2 == 0 ? HEAVY : SHOT, 720}, {EFFECT, 620}}; })}),
         {{burst, 12}, {range(10, 50, 1), 3}}, 80},
        {NEBU_CLOSING_RING, 0,
         Join({Frames(0, 45, 5, [](int32_t) { return std::vector<Object>{{EFFECT, 720}}; }),
               Frames(10, 50, 2, [](int32_t t) { return std::vector<Object>{{HeavyOnEvenHalf(t), 721}, {EFFECT, 620}}; })}),
         {{range(10, 50, 2), 2}}, 80},
        {NEBU_TRI_SPREAD, 100,
         Join({Once(0, {{HEAVY, 730}, {HEAVY, 730}, {HEAVY, 730}, {SHOT, 730}, {SHOT, 730}, {SHOT, 730}}),
               Frames(0, 40, 10, [](int32_t) { return std::vector<Object>{{EFFECT, 1000}}; })}),
         {{burst, 12}}, 120},
        {NEBU_FOUNTAIN, 100,
         Join({Frames(6, 58, 2,
                      [](int32_t t) {
                          return (t / 2) % 2 == 0 ? std::vector<Object>{{HEAVY, 760}, {HEAVY, 763}}
                                                  : std::vector<Object>{{HEAVY, 762}, {HEAVY, 761}};
                      }),
               Frames(10, 50, 5, [](int32_t) { return std::vector<Object>{{AREA, 730}, {AREA, 730}}; }),
               Frames(10, 50, 10, [](int32_t) { return Times(18, {{HEAVY, 770}, {SHOT, 770}}); }),
               Frames(0, 40, 10, [](int32_t) { return std::vector<Object>{{EFFECT, 1000}}; })}),
         {{burst, 12}, {range(10, 50, 10), 2}}, 120},
    };
    for (const auto& c : cases) {
        SetUp();
        players[1].x = c.opponentX;
        const Run run = RunMove(c.state, 200);
        EXPECT_EQ(run.spawns, c.spawns) << "state " << c.state;
        EXPECT_EQ(run.freeAfter, c.freeAfter) << "state " << c.state;
        EXPECT_EQ(run.draws, test::DrawsOnFrames(run.draws.size(), c.draws)) << "state " << c.state;
        // No move changes into another without buttons.
        EXPECT_EQ(std::count(run.states.begin(), run.states.end(), c.state), c.freeAfter) << "state " << c.state;
    }
}

// The moves with random draws, one after the other from a fixed seed: the
// generator ends in the same state on every build (replays and network play
// depend on the number and order of the draws).
TEST_F(Nebu, GoldenGeneratorStateAfterTheRandomMoves) {
    SeedRandom(20261210);
    const struct {
        int32_t state;
        float opponentX;
    } moves[] = {{NEBU_TWIN_SHOT, 100},  {NEBU_ORBIT_SHOTS, 100}, {NEBU_REAR_VOLLEY, 100}, {NEBU_CHAIN_VOLLEY, 100},
                 {NEBU_BURST_STRIKE, 100}, {NEBU_SWEEP_BEAM, 100}, {NEBU_STAR_BURST, 100}, {NEBU_REAR_STORM, 300},
                 {NEBU_CLOSING_RING, 0},   {NEBU_TRI_SPREAD, 100},  {NEBU_FOUNTAIN, 100}};
    uint64_t positions = 1469598103934665603ull;  // FNV-1a over the spawn points and angles
    for (const auto& m : moves) {
        PlaceOpponent(m.opponentX, 0.0f);
        players[0].x = -100.0f;
        players[0].y = 0.0f;
        players[0].speed = 0.0;
        players[0].state = m.state;
        players[0].stateTimer = 0;
        for (int32_t frame = 0; frame < 200 && players[0].state != PLAYER_FREE; ++frame) {
            TakeSpawns();
            Press(0, 0);
            UpdateNebu(0);
            for (const SpawnRequest& r : spawns)
                for (const float v : {r.position[0], r.position[1], r.angle}) {
                    uint32_t bits;
                    std::memcpy(&bits, &v, sizeof bits);
                    positions = (positions ^ bits) * 1099511628211ull;
                }
        }
    }
    EXPECT_EQ(GetRandomState(), 1764182486u);
    EXPECT_EQ(positions, 6325194056638162659ull);
}

TEST_F(Nebu, ButtonsStartTheMovesAndEarnNoGauge) {
    const struct {
        InputWord before, word;
        int32_t state;
        const char* what;
    } cases[] = {
        {0, INPUT_Z, NEBU_TWIN_SHOT, "Z"},
        {0, INPUT_Z | INPUT_V, NEBU_TWIN_SHOT, "V pressed in the same frame is not held"},
        {INPUT_V, INPUT_Z | INPUT_V, NEBU_ORBIT_SHOTS, "V held from the frame before"},
        {0, INPUT_Z | INPUT_A, NEBU_CHAIN, "Z with A"},
        {INPUT_V | INPUT_A, INPUT_Z | INPUT_V | INPUT_A, NEBU_ORBIT_SHOTS, "held V wins over A"},
        {INPUT_A, INPUT_Z | INPUT_V | INPUT_A, NEBU_CHAIN, "pressed V does not"},
        {0, INPUT_X, NEBU_REAR_VOLLEY, "X"},
        {0, INPUT_X | INPUT_A, NEBU_BURST_STRIKE, "X with A"},
        {INPUT_V, INPUT_X | INPUT_V, NEBU_REAR_VOLLEY, "V does not change X"},
        {0, INPUT_Z | INPUT_X, NEBU_REAR_VOLLEY, "X wins over Z"},
        {0, INPUT_S | INPUT_Z, PLAYER_SHIELD, "the shield wins"},
    };
    for (const auto& c : cases) {
        SetUp();
        players[0].hyperGauge = 0.75f;
        Press(0, c.before);
        Press(0, c.word);
        UpdateNebu(0);
        EXPECT_EQ(players[0].state, c.state) << c.what;
        EXPECT_EQ(players[0].stateTimer, 0) << c.what;
        EXPECT_EQ(players[0].hyperGauge, c.state == PLAYER_SHIELD ? 0.25f : 0.75f) << c.what;
    }
}

TEST_F(Nebu, HighAndHyperAttacks) {
    const struct {
        InputWord word;
        float gauge;
        int32_t invulnerable;
        int32_t stateBefore;
        int32_t state;
        float gaugeAfter;
        const char* what;
    } cases[] = {
        {INPUT_C, 1.0f, 0, PLAYER_FREE, NEBU_SWEEP_BEAM, 0.0f, "C alone"},
        {INPUT_C | INPUT_V, 1.0f, 0, PLAYER_FREE, NEBU_STAR_BURST, 0.0f, "C with V"},
        {INPUT_C | INPUT_X, 1.0f, 0, PLAYER_FREE, NEBU_REAR_STORM, 0.0f, "C with X"},
        {INPUT_C | INPUT_A, 1.0f, 0, PLAYER_FREE, NEBU_TRI_SPREAD, 0.0f, "C with A"},
        {INPUT_C | INPUT_X | INPUT_V, 1.0f, 0, PLAYER_FREE, NEBU_REAR_STORM, 0.0f, "X wins over V"},
        {INPUT_C | INPUT_A | INPUT_X, 1.5f, 0, PLAYER_FREE, NEBU_TRI_SPREAD, 0.5f, "A wins over X"},
        {INPUT_C | INPUT_A | INPUT_V, 1.0f, 0, PLAYER_FREE, NEBU_TRI_SPREAD, 0.0f, "A wins over V"},
        {INPUT_C | INPUT_X | INPUT_Z, 3.0f, 0, PLAYER_FREE, NEBU_FOUNTAIN, 0.0f, "the hyper attack"},
        {INPUT_C | INPUT_X | INPUT_A, 4.0f, 0, PLAYER_FREE, NEBU_TRI_SPREAD, 0.0f, "hyper, then a high attack"},
        {INPUT_C | INPUT_X | INPUT_Z, 2.5f, 0, PLAYER_FREE, NEBU_REAR_STORM, 1.5f, "too little for the hyper"},
        {INPUT_C, 0.99f, 0, PLAYER_FREE, PLAYER_FREE, 0.99f, "too little for a high attack"},
        {INPUT_C, 1.0f, 60, PLAYER_FREE, PLAYER_FREE, 1.0f, "invulnerable 60"},
        {INPUT_C, 1.0f, 59, PLAYER_FREE, NEBU_SWEEP_BEAM, 0.0f, "invulnerable 59"},
        {INPUT_C, 1.0f, 0, PLAYER_KNOCKED_BACK, PLAYER_KNOCKED_BACK, 1.0f, "not while knocked back"},
        {INPUT_C, 1.0f, 0, NEBU_REAR_VOLLEY, NEBU_SWEEP_BEAM, 0.0f, "interrupts a move"},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.hyperGauge = c.gauge;
        p.invulnerableTimer = c.invulnerable;
        p.state = c.stateBefore;
        p.stateTimer = 5;
        Press(0, c.word);
        UpdateNebu(0);
        EXPECT_EQ(p.state, c.state) << c.what;
        EXPECT_FLOAT_EQ(p.hyperGauge, c.gaugeAfter) << c.what;
    }
    // The fountain makes the side invulnerable by a negative count.
    SetUp();
    players[0].hyperGauge = 3.0f;
    Press(0, INPUT_C | INPUT_X | INPUT_A);
    UpdateNebu(0);
    EXPECT_EQ(players[0].state, NEBU_FOUNTAIN);
    EXPECT_EQ(players[0].invulnerableTimer, -120);
}

TEST_F(Nebu, MoveChains) {
    const struct {
        int32_t state, stateTimer;
        InputWord before, word;
        int32_t opponentState;
        float opponentX;
        int32_t stateAfter, stateTimerAfter;
        const char* what;
    } cases[] = {
        {NEBU_TWIN_SHOT, 10, INPUT_Z, INPUT_Z, PLAYER_FREE, 100, NEBU_WHEEL, 1, "Z held at 10: the wheel"},
        {NEBU_TWIN_SHOT, 10, 0, INPUT_Z, PLAYER_FREE, 100, NEBU_WHEEL, 1, "Z pressed counts as held"},
        {NEBU_TWIN_SHOT, 10, INPUT_Z, 0, PLAYER_FREE, 100, NEBU_TWIN_SHOT, 11, "Z let go"},
        {NEBU_TWIN_SHOT, 9, INPUT_Z, INPUT_Z, PLAYER_FREE, 100, NEBU_TWIN_SHOT, 10, "too early"},
        {NEBU_REAR_VOLLEY, 10, INPUT_X, INPUT_X, PLAYER_FREE, 100, NEBU_BEAM, 11, "X held at 10: the beam"},
        {NEBU_REAR_VOLLEY, 10, 0, 0, PLAYER_FREE, 100, NEBU_REAR_VOLLEY, 11, "X let go"},
        {NEBU_CHAIN, 11, 0, INPUT_Z, PLAYER_KNOCKED_BACK, 100, NEBU_CHAIN_VOLLEY, 0, "Z on the hit"},
        {NEBU_CHAIN, 11, 0, INPUT_X, PLAYER_KNOCKED_BACK, 100, NEBU_BURST_STRIKE, 0, "X on the hit"},
        {NEBU_CHAIN, 11, 0, INPUT_Z | INPUT_X, PLAYER_KNOCKED_BACK, 100, NEBU_CHAIN_VOLLEY, 0, "Z first"},
        {NEBU_CHAIN, 11, 0, INPUT_Z, PLAYER_FREE, 100, NEBU_CHAIN, 12, "no hit, no chain"},
        {NEBU_CHAIN, 10, 0, INPUT_Z, PLAYER_KNOCKED_BACK, 100, NEBU_CHAIN, 11, "too early"},
        {NEBU_CHAIN, 40, 0, INPUT_Z, PLAYER_KNOCKED_BACK, 100, NEBU_CHAIN_VOLLEY, 0, "the chain outlives the end"},
        {NEBU_CHAIN_VOLLEY, 11, INPUT_A, INPUT_A | INPUT_X, PLAYER_KNOCKED_BACK, 100, NEBU_BURST_STRIKE, 0,
         "X with A on the hit"},
        {NEBU_CHAIN_VOLLEY, 11, 0, INPUT_X, PLAYER_KNOCKED_BACK, 100, NEBU_BEAM, 0, "X on the hit: the beam"},
        {NEBU_CHAIN_VOLLEY, 10, INPUT_A, INPUT_A | INPUT_X, PLAYER_KNOCKED_BACK, 100, NEBU_BEAM, 0,
         "A counts from 11 only"},
        {NEBU_CHAIN_VOLLEY, 11, 0, INPUT_X, PLAYER_BLOWN_AWAY, 100, NEBU_CHAIN_VOLLEY, 12, "blown away is no hit"},
        {NEBU_REAR_STORM, 9, 0, 0, PLAYER_FREE, 19, NEBU_CLOSING_RING, 10, "opponent within 120"},
        {NEBU_REAR_STORM, 9, 0, 0, PLAYER_FREE, 20, NEBU_REAR_STORM, 10, "opponent 120 away"},
        {NEBU_REAR_STORM, 8, 0, 0, PLAYER_FREE, 19, NEBU_REAR_STORM, 9, "only at 9"},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.state = c.state;
        p.stateTimer = c.stateTimer;
        players[1].x = c.opponentX;
        players[1].state = c.opponentState;
        Press(0, c.before);
        Press(0, c.word);
        UpdateNebu(0);
        EXPECT_EQ(p.state, c.stateAfter) << c.what;
        EXPECT_EQ(p.stateTimer, c.stateTimerAfter) << c.what;
    }
}

// A dash in the chain's frame is taken over by the chain, which keeps the
// dash's speed.
TEST_F(Nebu, TheChainReplacesADashOfTheSameFrame) {
    for (const int32_t state : {NEBU_CHAIN, NEBU_CHAIN_VOLLEY}) {
        SetUp();
        PlayerRecord& p = players[0];
        p.state = state;
        p.stateTimer = state == NEBU_CHAIN ? 31 : 55;  // past the dash marks
        p.counter = 50;
        players[1].state = PLAYER_KNOCKED_BACK;
        Press(0, state == NEBU_CHAIN ? INPUT_V | INPUT_Z : INPUT_V | INPUT_X);
        UpdateNebu(0);
        EXPECT_EQ(p.state, state == NEBU_CHAIN ? NEBU_CHAIN_VOLLEY : NEBU_BEAM);
        EXPECT_EQ(p.stateTimer, 0);
        EXPECT_EQ(p.speed, 13.0);
        EXPECT_EQ(p.counter, 0) << "the dash ran";
    }
}

TEST_F(Nebu, MovesEndAndTakeADashPastTheirMark) {
    ExpectMoveMarks({
        {NEBU_TWIN_SHOT, 30, 15},    {NEBU_WHEEL, 50, 30},         {NEBU_ORBIT_SHOTS, 50, 35},
        {NEBU_REAR_VOLLEY, 50, 35},  {NEBU_BEAM, 60, 50},          {NEBU_CHAIN, 40, 30},
        {NEBU_CHAIN_VOLLEY, 60, 50}, {NEBU_BURST_STRIKE, 40, 30},  {NEBU_SWEEP_BEAM, 80, 60},
        {NEBU_STAR_BURST, 60, 50},   {NEBU_REAR_STORM, 80, 60},    {NEBU_CLOSING_RING, 80, 60},
        {NEBU_TRI_SPREAD, 120, 100}, {NEBU_FOUNTAIN, 120, 100},
    }, 13.0, 0,
        [] {
            players[1].x = 300.0f;
            players[0].boostGauge = 1.0f;
        },
        [](int32_t stateAfter) {
            if (stateAfter == PLAYER_DASH) {
                EXPECT_FLOAT_EQ(players[0].boostGauge, 1.3f);
            }
        });
}

// The beams' pieces: their width (the second scale) swells and fades, and on
// the striking frames they get their reach and power (only the X beam's can
// be slipped by dashing).
TEST_F(Nebu, BeamPiecesSwellStrikeAndFade) {
    const struct {
        int32_t state, t;
        float scale;
        float along, across;
        int32_t power;
        int32_t misses;
    } cases[] = {
        {NEBU_BEAM, 10, 0.0f, 0, 0, 15, 0},
        {NEBU_BEAM, 20, static_cast<float>(static_cast<float>(0.5) * 0.8), 570, 40, 30, 1},
        {NEBU_BEAM, 21, static_cast<float>(static_cast<float>(11 * 0.05) * 0.8), 0, 0, 15, 0},
        {NEBU_BEAM, 35, static_cast<float>(1.0 * 0.8), 0, 0, 15, 0},
        {NEBU_BEAM, 40, static_cast<float>(1.0 * 0.8), 570, 40, 30, 1},
        {NEBU_BEAM, 44, static_cast<float>(static_cast<float>(6 * 0.1) * 0.8), 0, 0, 15, 0},
        {NEBU_BEAM, 50, 0.0f, 0, 0, 15, 0},
        {NEBU_SWEEP_BEAM, 10, 0.0f, 0, 0, 15, 0},
        {NEBU_SWEEP_BEAM, 15, 1.0f, 0, 0, 15, 0},
        {NEBU_SWEEP_BEAM, 21, 2.0f, 570, 100, 35, 0},
        {NEBU_SWEEP_BEAM, 22, 2.0f, 0, 0, 15, 0},
        {NEBU_SWEEP_BEAM, 48, 2.0f, 570, 100, 35, 0},
        {NEBU_SWEEP_BEAM, 51, static_cast<float>(9 * 0.1) * 2.0f, 0, 0, 15, 0},
        {NEBU_SWEEP_BEAM, 60, 0.0f, 0, 0, 15, 0},
    };
    for (const auto& c : cases) {
        SetUp();
        RunMove(c.state, c.t + 1);
        ASSERT_EQ(SpawnedTypes(AREA), std::vector<int32_t>{BeamArea(c.t)}) << c.state << " at " << c.t;
        const AttackArea& a = attackAreaList[attackAreaList.LastIndex()];
        EXPECT_FLOAT_EQ(a.scaleY, c.scale) << c.state << " at " << c.t;
        EXPECT_EQ(a.hitShape[0], c.along) << c.state << " at " << c.t;
        EXPECT_EQ(a.hitShape[1], c.across) << c.state << " at " << c.t;
        EXPECT_EQ(a.power, c.power) << c.state << " at " << c.t;
        EXPECT_EQ(a.missesDashingPlayer, c.misses) << c.state << " at " << c.t;
        EXPECT_FLOAT_EQ(a.position[0], players[0].x + 600.0f) << c.state << " at " << c.t;
    }
}

// The sweep beam keeps the aim of its start and goes along with the side,
// which moves 4.0 per held arrow from frame 10.
TEST_F(Nebu, TheSweepBeamKeepsItsDirectionAndFollowsTheSide) {
    PlaceOpponent(0.0f, 100.0f);  // up and to the right: aim pi/4
    const Run run = RunMove(NEBU_SWEEP_BEAM, 30, [](int32_t frame) { return frame >= 5 ? INPUT_UP : 0; });
    const float aim = static_cast<float>(std::atan2(100.0, 100.0));
    EXPECT_EQ(players[0].aimAngle, aim);
    EXPECT_FLOAT_EQ(players[0].y, 4.0f * 20);  // frames 10 to 29
    ASSERT_EQ(attackAreaList.Size(), 20);
    for (int32_t i = 0; i < attackAreaList.Size(); ++i) {
        const AttackArea& a = attackAreaList[i];
        EXPECT_EQ(a.angle, aim) << i;
        EXPECT_NEAR(a.position[1], 4.0f * static_cast<float>(i + 1) + 600.0f * std::sin(aim), 1e-3f) << i;
    }
    // The X beam keeps the aim with which the volley began.
    SetUp();
    PlaceOpponent(0.0f, 100.0f);
    RunMove(NEBU_REAR_VOLLEY, 11, [&](int32_t frame) {
        if (frame == 5) PlaceOpponent(100.0f, -300.0f);
        return INPUT_X;
    });
    EXPECT_EQ(players[0].state, NEBU_BEAM);
    EXPECT_EQ(attackAreaList.Size(), 0) << "the first piece comes at 11";
    Press(0, INPUT_X);
    UpdateNebu(0);
    ASSERT_EQ(attackAreaList.Size(), 1);
    EXPECT_EQ(attackAreaList[0].angle, aim);
}

TEST_F(Nebu, TheStarBurstFillsANearOpponentsBoostGauge) {
    const struct {
        float opponentX;
        bool gains;
    } cases[] = {{149.0f, true}, {150.0f, false}, {-349.0f, true}};
    for (const auto& c : cases) {
        SetUp();
        PlaceOpponent(c.opponentX, 0.0f);
        std::vector<float> gauge;
        RunMove(NEBU_STAR_BURST, 60, [&](int32_t) {
            gauge.push_back(players[1].boostGauge);
            return 0;
        });
        gauge.push_back(players[1].boostGauge);
        for (int32_t frame = 0; frame < 60; ++frame) {
            const float gain = gauge[frame + 1] - gauge[frame];
            const bool gaining = c.gains && frame >= 10 && frame <= 40;
            EXPECT_NEAR(gain, gaining ? 0.1f : 0.0f, 1e-5f) << c.opponentX << " frame " << frame;
        }
    }
}

TEST_F(Nebu, TheClosingRingShootsOnlyWhileTheOpponentIsNear) {
    const struct {
        float opponentX;
        size_t shots;
    } cases[] = {{49.0f, 21}, {50.0f, 0}, {-249.0f, 21}};
    for (const auto& c : cases) {
        SetUp();
        PlaceOpponent(c.opponentX, 0.0f);
        const Run run = RunMove(NEBU_CLOSING_RING, 100);
        const size_t shots = std::count_if(run.spawns.begin(), run.spawns.end(),
                                           [](const Spawn& s) { return s.type == 721; });
        EXPECT_EQ(shots, c.shots) << c.opponentX;
    }
    // Every shot flies at the opponent from 50 to 200 away.
    SetUp();
    PlaceOpponent(0.0f, 30.0f);
    TakeSpawns();
    RunMove(NEBU_CLOSING_RING, 11);
    const std::vector<SpawnRequest> ring = Spawned(HEAVY);
    ASSERT_EQ(ring.size(), 0u) << "frame 10 is a light shot";
    const std::vector<SpawnRequest> light = Spawned(SHOT);
    ASSERT_EQ(light.size(), 1u);
    const float dx = 0.0f - light[0].position[0], dy = 30.0f - light[0].position[1];
    const float distance = std::sqrt(dx * dx + dy * dy);
    EXPECT_GE(distance, 49.99f);
    EXPECT_LE(distance, 200.01f);
    EXPECT_NEAR(std::remainder(light[0].angle - std::atan2(dy, dx), TWO_PI_F), 0.0f, 1e-4f);
}

TEST_F(Nebu, ShotPointsFollowTheirDraws) {
    // The twin shot: two points 10 behind, above and below the aim, each
    // shot aimed at the opponent.
    SeedRandom(77);
    const float up = RandomFloat(10.0f, 50.0f);
    const float down = RandomFloat(-50.0f, -10.0f);
    SeedRandom(77);
    RunMove(NEBU_TWIN_SHOT, 13);
    const std::vector<SpawnRequest> heavy = Spawned(HEAVY), light = Spawned(SHOT);
    ASSERT_EQ(heavy.size(), 1u);
    ASSERT_EQ(light.size(), 1u);
    EXPECT_EQ(heavy[0].position[0], -110.0f);
    EXPECT_EQ(heavy[0].position[1], up);
    EXPECT_EQ(heavy[0].angle, static_cast<float>(std::atan2(0.0 - up, 210.0)));
    EXPECT_EQ(light[0].position[1], down);
    EXPECT_EQ(light[0].angle, static_cast<float>(std::atan2(0.0 - down, 210.0)));

    // The rear volley: a point behind the side, its two radii drawn after
    // the angle, x's first.
    SetUp();
    SeedRandom(78);
    const float a = RandomFloat(-PI_F / 2.0f, PI_F / 2.0f) + 0.0f + PI_F;
    const float rx = RandomFloat(0.0f, 150.0f);
    const float ry = RandomFloat(0.0f, 150.0f);
    SeedRandom(78);
    RunMove(NEBU_REAR_VOLLEY, 13);
    const std::vector<SpawnRequest> volley = Spawned(HEAVY);
    ASSERT_EQ(volley.size(), 1u);
    EXPECT_EQ(volley[0].angle, 0.0f);
    EXPECT_EQ(volley[0].position[0], static_cast<float>(-100.0 + std::cos(static_cast<double>(a)) * rx));
    EXPECT_EQ(volley[0].position[1], static_cast<float>(std::sin(static_cast<double>(a)) * ry));
    EXPECT_LE(volley[0].position[0], -100.0f) << "behind the side";

    // The burst strike: its last blow goes straight along the aim.
    SetUp();
    RunMove(NEBU_BURST_STRIKE, 22);
    ASSERT_EQ(Spawned(AREA).size(), 1u);
    EXPECT_EQ(Spawned(AREA)[0].position[1], 0.0f);
    ASSERT_EQ(attackAreaList.Size(), 4);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(attackAreaList[i].knockBackSpeed, i == 3 ? 17.0f : 2.0f) << i;
}

TEST_F(Nebu, OrbitShotsHitHarder) {
    RunMove(NEBU_ORBIT_SHOTS, 31);
    ASSERT_EQ(heavyShotList.Size(), 3);
    ASSERT_EQ(shotList.Size(), 3);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(heavyShotList[i].damage, 70) << i;
        EXPECT_EQ(shotList[i].power, 70) << i;
    }
}

TEST_F(Nebu, TheWheelRingsTheSide) {
    RunMove(NEBU_WHEEL, 6);
    const std::vector<SpawnRequest> heavy = Spawned(HEAVY), light = Spawned(SHOT);
    ASSERT_EQ(heavy.size(), 12u);
    ASSERT_EQ(light.size(), 12u);
    for (size_t k = 0; k < 12; ++k) {
        // Both fly along the circle, the heavy ones counter-clockwise, the
        // light ones clockwise.
        const struct {
            const SpawnRequest& shot;
            float turn;
        } onCircle[] = {{heavy[k], PI_F / 2.0f}, {light[k], -PI_F / 2.0f}};
        for (const auto& [s, turn] : onCircle) {
            const float dx = s.position[0] + 100.0f, dy = s.position[1];
            EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), 80.0f, 1e-3f) << k;
            EXPECT_NEAR(std::remainder(s.angle - (std::atan2(dy, dx) + turn), TWO_PI_F), 0.0f, 1e-4f) << k;
        }
        // b = i x 0.2617994 and the angle b - pi/2, taken in double.
        const double b = static_cast<double>(2 * k) * 0.2617994;
        EXPECT_EQ(heavy[k].angle, static_cast<float>(b - 3.1415927f / 2.0)) << k;
        EXPECT_NEAR(heavy[k].position[0], -100.0f - 80.0f * std::cos(b), 1e-3f) << k;
    }
    EXPECT_NEAR(heavy[0].position[0], -180.0f, 1e-3f);
    EXPECT_NEAR(heavy[3].position[1], -80.0f, 1e-3f) << "i 6: a quarter turn on from behind";
}

// The fans and rings step their shots round by decimal constants, from the
// aim (the fountain's ring from -pi); each angle is taken in double and
// rounded once. The opponent stands below the side, a little to its right:
// at that aim a step or a sum taken in float rounds some angles of each move
// apart.
TEST_F(Nebu, FansAndRingsStepTheirAnglesInDouble) {
    const double aim = static_cast<float>(std::atan2(-90.0, 10.0));  // from (-100, 0) to (-90, -90)
    const double fans[] = {0.0, 2.0943952, -2.0943952};
    const struct {
        const char* what;
        int32_t state, frame;
        int32_t type;  // the shots, heavy and light, in the order asked for
        size_t count;
        std::function<double(size_t i)> angle;
    } cases[] = {
        {"star burst: three fans a third of a turn apart, five shots a fifth apart in each", NEBU_STAR_BURST, 20, 717,
         15, [&](size_t i) { return aim + fans[i / 5] + static_cast<double>(i % 5) * 1.2566371; }},
        {"tri-spread: heavy shots a third of a turn apart, the light ones a sixth on", NEBU_TRI_SPREAD, 0, 730, 6,
         [&](size_t i) { return aim + static_cast<double>(i % 3) * 2.0943952 + (i < 3 ? 0.0 : 1.0471976); }},
        {"fountain: a ring of 36 from -pi", NEBU_FOUNTAIN, 10, 770, 36,
         [](size_t i) { return static_cast<double>(i) * 0.027777778 * TWO_PI_WIDE - PI_WIDE; }},
    };
    for (const auto& c : cases) {
        SetUp();
        PlaceOpponent(-90.0f, -90.0f);
        RunMove(c.state, c.frame + 1);
        std::vector<SpawnRequest> shots;
        std::copy_if(spawns.begin(), spawns.end(), std::back_inserter(shots), [&](const SpawnRequest& r) {
            return r.type == c.type && (r.kind == HEAVY || r.kind == SHOT);
        });
        ASSERT_EQ(shots.size(), c.count) << c.what;
        for (size_t i = 0; i < c.count; ++i) {
            EXPECT_EQ(shots[i].angle, static_cast<float>(c.angle(i))) << c.what << ", shot " << i;
        }
    }
}

TEST_F(Nebu, TheFountainBlastsBothSidesAndRingsFromBesideIt) {
    players[0].x = 10.0f;
    players[0].y = 20.0f;
    RunMove(NEBU_FOUNTAIN, 10);
    const uint32_t before = GetRandomState();
    const float dx = RandomFloat(50.0f, 100.0f);
    const float dy = RandomFloat(-50.0f, 50.0f);
    SeedRandom(before);
    TakeSpawns();
    Press(0, 0);
    UpdateNebu(0);
    const std::vector<SpawnRequest> areas = Spawned(AREA);
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_EQ(areas[0].position[0], 130.0f);
    EXPECT_EQ(areas[0].angle, 0.0f);
    EXPECT_EQ(areas[1].position[0], -110.0f);
    EXPECT_EQ(areas[1].angle, PI_F);
    const std::vector<SpawnRequest> rings = Spawned(SHOT);
    ASSERT_EQ(rings.size(), 18u);
    EXPECT_EQ(rings[0].position[0], 10.0f - dx) << "frame 10: on the left";
    EXPECT_EQ(rings[0].position[1], 20.0f + dy);
}

TEST_F(Nebu, SharedStatesUseNebusValues) {
    // The shield: invulnerable for 40 from its fifth frame.
    players[0].state = PLAYER_SHIELD;
    players[0].stateTimer = 5;
    UpdateNebu(0);
    EXPECT_EQ(players[0].invulnerableTimer, 40);
    // A boosted dash leaves trail 1002.
    SetUp();
    players[0].state = PLAYER_DASH;
    players[0].speed = 5.0;
    players[0].counter = 8;
    Press(0, INPUT_V);
    Press(0, INPUT_V);
    UpdateNebu(0);
    EXPECT_EQ(SpawnedTypes(EFFECT), std::vector<int32_t>{1002});
    // A neutral dash gains 0.25 of the boost gauge, less the step's 0.001.
    SetUp();
    Press(0, INPUT_V);
    UpdateNebu(0);
    EXPECT_FLOAT_EQ(players[0].boostGauge, 0.249f);
    EXPECT_EQ(players[0].state, PLAYER_DASH);
    // A burst with no opponent within 100 frees the side in the same frame.
    SetUp();
    players[0].state = PLAYER_KNOCKED_BACK;
    players[0].hyperGauge = 1.0f;
    Press(0, INPUT_S);
    UpdateNebu(0);
    EXPECT_EQ(players[0].state, PLAYER_FREE);
    EXPECT_EQ(players[0].invulnerableTimer, 60);
    EXPECT_EQ(players[1].state, PLAYER_FREE);
}

}  // namespace
