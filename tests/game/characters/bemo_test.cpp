#include "game/characters/bemo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/particles.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/battle_hash.h"
#include "tests/support/character_moves.h"

namespace {

using namespace test;  // the fixture's spawns, kinds and helpers

// Side 0 is bemo at (-100, 0); the opponent (side 1, kirune) stands still at
// (100, 0) unless a test moves it. Only bemo's update runs.
class Bemo : public test::CharacterMovesFixture {
protected:
    Bemo() : CharacterMovesFixture(UpdateBemo) {}

    void SetUp() override {
        CharacterMovesFixture::SetUp();
        players[0].characterId = 2;
        players[1].characterId = 1;
        TakeSpawns();  // the cases of a table set up again in one test
    }
};

// The spawns of one frame, in order.
class Timeline {
public:
    Timeline& At(int32_t frame, ObjectKind kind, int32_t type, int32_t times = 1) {
        for (int32_t i = 0; i < times; ++i) spawns_.push_back({frame, kind, type});
        return *this;
    }
    // count spawns alternating between two codes, the first code first.
    Timeline& Alternating(int32_t frame, ObjectKind kind, int32_t even, int32_t odd, int32_t count) {
        for (int32_t i = 0; i < count; ++i) spawns_.push_back({frame, kind, i % 2 == 0 ? even : odd});
        return *this;
    }
    std::vector<Spawn> spawns() const { return spawns_; }

private:
    std::vector<Spawn> spawns_;
};

InputWord Always(InputWord word, int32_t) { return word; }

std::vector<Spawn> Storm() {
    Timeline t;
    t.At(0, EFFECT, 1000);
    for (int32_t f = 8; f <= 40; f += 2) t.At(f, HEAVY, (f / 2) % 2 == 0 ? 220 : 221);
    return t.spawns();
}

std::vector<Spawn> Wall() {
    Timeline t;
    t.At(0, EFFECT, 1000);
    for (int32_t k = 0; k < 5; ++k) t.Alternating(16, HEAVY, 210, 211, 18);
    return t.spawns();
}

std::vector<Spawn> Fan() {
    Timeline t;
    for (int32_t f = 15; f <= 21; ++f) t.At(f, SHOT, 210);
    return t.spawns();
}

// The vortex's whirls on frames 10 to last, its HeavyShot on frame `fired`.
std::vector<Spawn> Vortex(int32_t last, int32_t fired) {
    Timeline t;
    t.At(0, EFFECT, 1000);
    for (int32_t f = 10; f <= last; ++f) t.At(f, AREA, 202);
    t.At(fired, HEAVY, 230);
    return t.spawns();
}

std::vector<Spawn> Maelstrom() {
    Timeline t;
    t.At(0, EFFECT, 1000);
    for (int32_t f = 0; f <= 60; ++f) {
        if (f % 5 == 0) t.At(f, EFFECT, 200);
        t.At(f, AREA, 202);
    }
    t.At(60, EFFECT, 201).At(60, EFFECT, 202).At(60, AREA, 203);
    return t.spawns();
}

TEST_F(Bemo, MoveTimelines) {
    const InputWord holdX = INPUT_X, holdC = INPUT_C;
    const struct {
        int32_t state;
        float opponentX;
        InputWord held;  // down on every frame of the move
        std::vector<Spawn> spawns;
        int32_t freeAfter;
        const char* what;
    } cases[] = {
        {BEMO_RING_SHOT, 100.0f, 0, Timeline().Alternating(14, HEAVY, 210, 211, 36).spawns(), 40, "ring shot"},
        {BEMO_SCATTER, 100.0f, 0, {{12, HEAVY, 220}, {14, HEAVY, 221}}, 30, "scatter"},
        {BEMO_STORM, 100.0f, 0, Storm(), 50, "storm"},
        {BEMO_WALL, 100.0f, 0, Wall(), 40, "wall"},
        {BEMO_FAN, 100.0f, holdX, Fan(), 45, "fan, X held"},
        {BEMO_FAN, 100.0f, 0, {{14, SHOT, 225}}, 40, "X let go: the whip"},
        {BEMO_SIDE_SHOT, 100.0f, 0, {{4, SHOT, 221}}, 40, "side shot, opponent right"},
        {BEMO_SIDE_SHOT, -300.0f, 0, {{4, SHOT, 222}}, 40, "side shot, opponent left"},
        {BEMO_STAR, 100.0f, 0, Timeline().At(0, EFFECT, 1000).Alternating(10, SHOT, 232, 231, 10).spawns(), 50,
         "star"},
        {BEMO_LUNGE_STRIKE, 100.0f, 0, {{10, AREA, 220}}, 25, "lunge strike"},
        {BEMO_VORTEX, 100.0f, holdC, Vortex(79, 80), 100, "vortex, C held"},
        {BEMO_VORTEX, 100.0f, 0, Vortex(29, 30), 50, "vortex, C let go: 20 frames after the throw"},
        {BEMO_MAELSTROM, 100.0f, 0, Maelstrom(), 100, "maelstrom"},
    };
    for (const auto& c : cases) {
        SetUp();
        players[1].x = c.opponentX;
        const Run run = RunMove(c.state, 200, [&](int32_t f) { return Always(c.held, f); });
        EXPECT_EQ(run.spawns, c.spawns) << c.what;
        EXPECT_EQ(run.freeAfter, c.freeAfter) << c.what;
    }
}

// Generator steps per frame, the spawners' own included: RandomInt takes two
// steps, RandomFloat one; a start burst's spark three, a particle four; a
// Shot 210 draws two numbers, the Shots 221, 222, 225, 231 and 232 one.
TEST_F(Bemo, RandomDrawsPerFrame) {
    const struct {
        int32_t state;
        InputWord held;
        test::DrawFrames draws;
    } cases[] = {
        {BEMO_RING_SHOT, 0, {}},
        {BEMO_SCATTER, 0, {{{12, 14}, 1}}},
        {BEMO_STORM, 0, {{{0, 1, 2, 3, 4}, 12}, {{8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 34, 36, 38, 40}, 15}}},
        {BEMO_WALL, 0, {{{0, 1, 2, 3, 4}, 12}}},
        {BEMO_FAN, INPUT_X, {{{15, 16, 17, 18, 19, 20, 21}, 3}}},
        {BEMO_FAN, 0, {{{14}, 1}}},
        {BEMO_SIDE_SHOT, 0, {{{4}, 1}}},
        {BEMO_STAR, 0, {{{0, 1, 2, 3, 4}, 12}, {{10}, 10}}},
        {BEMO_LUNGE_STRIKE, 0, {{{10}, 2}}},
        {BEMO_VORTEX, INPUT_C, {{{0, 1, 2, 3, 4}, 12}}},
    };
    for (const auto& c : cases) {
        SetUp();
        const Run run = RunMove(c.state, 200, [&](int32_t f) { return Always(c.held, f); });
        EXPECT_EQ(run.draws, test::DrawsOnFrames(run.draws.size(), c.draws)) << "state " << c.state;
    }
    // The maelstrom sparks on each of its 61 frames and ends in 30 particles.
    SetUp();
    const Run maelstrom = RunMove(BEMO_MAELSTROM, 200);
    for (int32_t f = 0; f < 100; ++f) EXPECT_EQ(maelstrom.draws[f], f < 60 ? 12 : f == 60 ? 12 + 120 : 0) << f;
}

// The generator after every move that draws, run one after the other from
// seed 0: a change in the number or order of draws shows here.
TEST_F(Bemo, GoldenGeneratorStateAfterTheDrawingMoves) {
    const struct {
        int32_t state;
        InputWord held;
    } moves[] = {{BEMO_STORM, 0},        {BEMO_SCATTER, 0}, {BEMO_FAN, INPUT_X}, {BEMO_FAN, 0},
                 {BEMO_SIDE_SHOT, 0},    {BEMO_STAR, 0},    {BEMO_LUNGE_STRIKE, 0}, {BEMO_VORTEX, 0},
                 {BEMO_WALL, 0},         {BEMO_MAELSTROM, 0}};
    for (const auto& m : moves) RunMove(m.state, 200, [&](int32_t f) { return Always(m.held, f); });
    EXPECT_EQ(GetRandomState(), 2580202280u);
}

TEST_F(Bemo, HighAndHyperAttacksByButtonsAndGauge) {
    const struct {
        InputWord word;
        float gauge;
        int32_t invulnerableTimer;
        int32_t state;  // before: PLAYER_FREE unless said
        int32_t stateAfter;
        float gaugeAfter;
        const char* what;
    } cases[] = {
        {INPUT_C, 1.0f, 0, PLAYER_FREE, BEMO_WALL, 0.0f, "C alone: the wall"},
        {INPUT_C | INPUT_V, 1.0f, 0, PLAYER_FREE, BEMO_STORM, 0.0f, "C with V: the storm"},
        {INPUT_C | INPUT_A, 1.5f, 0, PLAYER_FREE, BEMO_STAR, 0.5f, "C with A: the star"},
        {INPUT_C | INPUT_A | INPUT_V, 1.0f, 0, PLAYER_FREE, BEMO_STAR, 0.0f, "A wins over V"},
        {INPUT_C | INPUT_X, 1.0f, 0, PLAYER_FREE, BEMO_VORTEX, 0.0f, "C with X: the vortex"},
        {INPUT_C | INPUT_X | INPUT_A | INPUT_V, 1.0f, 0, PLAYER_FREE, BEMO_VORTEX, 0.0f, "X wins over A and V"},
        {INPUT_C | INPUT_X | INPUT_Z, 2.5f, 0, PLAYER_FREE, BEMO_VORTEX, 1.5f, "short of the hyper: the vortex"},
        {INPUT_C | INPUT_X | INPUT_Z, 3.0f, 0, PLAYER_FREE, BEMO_MAELSTROM, 0.0f, "the hyper attack"},
        {INPUT_C | INPUT_X | INPUT_A, 3.5f, 59, BEMO_FAN, BEMO_MAELSTROM, 0.5f, "the hyper interrupts a move"},
        {INPUT_C, 0.99f, 0, PLAYER_FREE, PLAYER_FREE, 0.99f, "short of the gauge"},
        {INPUT_C, 2.0f, 60, PLAYER_FREE, PLAYER_FREE, 2.0f, "too soon after a high start"},
        {INPUT_C, 2.0f, 0, PLAYER_KNOCKED_BACK, PLAYER_KNOCKED_BACK, 2.0f, "none while knocked back"},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.hyperGauge = c.gauge;
        p.invulnerableTimer = c.invulnerableTimer;
        StepFrom(c.state, 0, c.word);
        EXPECT_EQ(p.state, c.stateAfter) << c.what;
        EXPECT_FLOAT_EQ(p.hyperGauge, c.gaugeAfter) << c.what;
    }
}

// In the shield the buttons come first: a move started there leaves no room
// for the dash of the same frame; a dash out of the shield runs at 13.
TEST_F(Bemo, ShieldTakesTheButtonsBeforeItsDash) {
    const struct {
        int32_t stateTimer;
        InputWord word;
        int32_t stateAfter, stateTimerAfter;
        double speed;
    } cases[] = {
        {6, INPUT_V | INPUT_Z, BEMO_SCATTER, 1, 0.0},  // Z with V down
        {6, INPUT_V, PLAYER_DASH, 7, 13.0},
        {5, INPUT_V, PLAYER_SHIELD, 6, 0.0},
        {6, INPUT_Z, BEMO_RING_SHOT, 1, 0.0},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.state = PLAYER_SHIELD;
        p.stateTimer = c.stateTimer;
        Press(0, c.word);
        UpdateBemo(0);
        EXPECT_EQ(p.state, c.stateAfter) << c.word;
        EXPECT_EQ(p.stateTimer, c.stateTimerAfter) << c.word;
        EXPECT_EQ(p.speed, c.speed) << c.word;
    }
}

// Every dash of bemo's own runs at 12; only the shield's runs at 13.
TEST_F(Bemo, DashSpeedsOutOfEachState) {
    const struct {
        int32_t state, stateTimer;
        double speed;
    } cases[] = {
        {PLAYER_FREE, 0, 12.0 - DECAY_FAST},  // the neutral dash has taken its first step
        {PLAYER_KNOCKED_BACK, 16, 12.0},      {PLAYER_BURST, 41, 12.0},
        {PLAYER_BLOWN_AWAY, 31, 12.0},        {PLAYER_SHIELD, 10, 13.0},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.state = c.state;
        p.stateTimer = c.stateTimer;
        Press(0, INPUT_V);
        UpdateBemo(0);
        EXPECT_EQ(p.state, PLAYER_DASH) << c.state;
        EXPECT_EQ(p.speed, c.speed) << c.state;
    }
}

TEST_F(Bemo, MovesCloseAndTakeADashPastTheirMark) {
    ExpectMoveMarks({
        {BEMO_RING_SHOT, 40, 25}, {BEMO_SCATTER, 30, 16},  {BEMO_STORM, 50, 35},       {BEMO_WALL, 40, 30},
        {BEMO_FAN, 45, 25},       {BEMO_WHIP, 40, 20},     {BEMO_SIDE_SHOT, 40, 20},   {BEMO_STAR, 50, 40},
        {BEMO_LUNGE_STRIKE, 25, 20}, {BEMO_VORTEX, 100, 85}, {BEMO_MAELSTROM, 100, 85},
    }, 12.0);
}

TEST_F(Bemo, SideShotChainsIntoTheLungeStrike) {
    const struct {
        int32_t stateTimer;
        InputWord before, word;
        int32_t stateAfter, stateTimerAfter;
        double speed;
        const char* what;
    } cases[] = {
        {12, INPUT_A, INPUT_A | INPUT_Z, BEMO_LUNGE_STRIKE, 0, 0.0, "Z with A held from frame 13"},
        {11, INPUT_A, INPUT_A | INPUT_Z, BEMO_SIDE_SHOT, 12, 0.0, "too early"},
        {12, 0, INPUT_Z, BEMO_SIDE_SHOT, 13, 0.0, "Z without A"},
        {12, INPUT_A | INPUT_Z, INPUT_A | INPUT_Z, BEMO_SIDE_SHOT, 13, 0.0, "Z held, not pressed"},
        {25, INPUT_A, INPUT_A | INPUT_Z | INPUT_V, BEMO_LUNGE_STRIKE, 0, 12.0, "the chain takes over the dash"},
        {40, INPUT_A, INPUT_A | INPUT_Z, PLAYER_FREE, 0, 0.0, "the move has ended"},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.state = BEMO_SIDE_SHOT;
        p.stateTimer = c.stateTimer;
        Press(0, c.before);
        Press(0, c.word);
        UpdateBemo(0);
        EXPECT_EQ(p.state, c.stateAfter) << c.what;
        EXPECT_EQ(p.stateTimer, c.stateTimerAfter) << c.what;
        EXPECT_EQ(p.speed, c.speed) << c.what;
    }
}

TEST_F(Bemo, FanOrWhipByXAtFrame12) {
    const struct {
        InputWord atFrame12;
        int32_t stateAfter;
    } cases[] = {{INPUT_X, BEMO_FAN}, {0, BEMO_WHIP}};
    for (const auto& c : cases) {
        SetUp();
        const Run run = RunMove(BEMO_FAN, 13, [&](int32_t f) { return f < 12 ? InputWord{INPUT_X} : c.atFrame12; });
        EXPECT_EQ(run.states[11], BEMO_FAN);
        EXPECT_EQ(run.states[12], c.stateAfter);
        EXPECT_EQ(players[0].stateTimer, 13) << "the timer runs on";
    }
    // The whip's Shot flies straight; the fan throws its Shots up on the
    // opponent's side of the vertical.
    SetUp();
    RunMove(BEMO_FAN, 15);
    ASSERT_EQ(shotList.Size(), 1);
    EXPECT_EQ(shotList[0].type, 225);
    EXPECT_EQ(shotList[0].param, 0.0f);
    EXPECT_EQ(shotList[0].heading, 0.0f) << "along the aim at the opponent";
    const struct {
        float opponentX;
        float low, high;
    } sides[] = {{100.0f, 0.62831855f, PI_F / 2.0f}, {-100.0f, PI_F / 2.0f, 2.5132742f}};
    for (const auto& s : sides) {
        SetUp();
        players[1].x = s.opponentX;
        RunMove(BEMO_FAN, 22, [](int32_t) { return INPUT_X; });
        ASSERT_EQ(shotList.Size(), 7) << s.opponentX;
        for (int32_t i = 0; i < 7; ++i) {
            EXPECT_EQ(shotList[i].type, 210);
            EXPECT_GE(shotList[i].heading, s.low) << s.opponentX;
            EXPECT_LE(shotList[i].heading, s.high) << s.opponentX;
        }
    }
}

TEST_F(Bemo, LungeStrikeClosesInAndStrikes40Ahead) {
    const struct {
        float opponentX, opponentY;
        double speed;
    } lunges[] = {{100.0f, 0.0f, 10.0}, {-100.0f, 200.0f, 10.0}, {300.0f, 0.0f, 14.0}, {-100.0f, 0.0f, 0.0}};
    for (const auto& l : lunges) {
        SetUp();
        players[1].x = l.opponentX;
        players[1].y = l.opponentY;
        RunMove(BEMO_LUNGE_STRIKE, 1);
        EXPECT_DOUBLE_EQ(players[0].speed, l.speed > 0.0 ? l.speed - DECAY_SLOW : 0.0) << l.opponentX;
    }
    // The strike is the strong 221 when the draw is above 180.
    for (const bool strong : {false, true}) {
        uint32_t seed = 0;
        for (;; ++seed) {
            SeedRandom(seed);
            if ((RandomInt(0, 200) > 180) == strong) break;
        }
        SetUp();
        players[0].aimAngle = PI_F / 2.0f;  // straight up, at an opponent above
        players[1].x = -100.0f;
        players[1].y = 300.0f;
        players[0].state = BEMO_LUNGE_STRIKE;
        players[0].stateTimer = 10;
        players[0].speed = 5.0;
        SeedRandom(seed);
        UpdateBemo(0);
        const std::vector<SpawnRequest> areas = Spawned(AREA);
        ASSERT_EQ(areas.size(), 1u);
        EXPECT_EQ(areas[0].type, strong ? 221 : 220);
        EXPECT_NEAR(areas[0].position[0], -100.0f, 1e-4f);
        EXPECT_FLOAT_EQ(areas[0].position[1], 40.0f);
        EXPECT_EQ(players[0].speed, 0.0) << "stops to strike";
        EXPECT_EQ(players[0].y, 0.0f);
    }
}

// Each volley of the storm: an angle, the HeavyShot, its age; 40 damage.
TEST_F(Bemo, StormVolleysTakeRandomAnglesAndAges) {
    SeedRandom(3);
    const float angle = RandomFloat(-PI_F, PI_F);
    const int32_t age = RandomInt(0, 150);
    SeedRandom(3);
    players[0].state = BEMO_STORM;
    players[0].stateTimer = 8;
    UpdateBemo(0);
    ASSERT_EQ(heavyShotList.Size(), 1);
    const HeavyShot& h = heavyShotList[0];
    EXPECT_EQ(h.type, 220);
    EXPECT_EQ(h.heading, angle);
    EXPECT_EQ(h.age, age);
    EXPECT_EQ(h.damage, 40);
    EXPECT_EQ(particleList.Size(), 3);
}

TEST_F(Bemo, RingAndWallSpreadTheirHeavyShots) {
    players[1].x = -100.0f;
    players[1].y = 100.0f;  // straight up: aim pi/2
    RunMove(BEMO_RING_SHOT, 15);
    ASSERT_EQ(heavyShotList.Size(), 36);
    for (int32_t i = 0; i < 36; ++i)
        EXPECT_EQ(heavyShotList[i].heading, static_cast<float>(PI_F / 2.0f + i * 0.17453294)) << i;

    SetUp();
    players[1].x = -100.0f;
    players[1].y = 100.0f;
    RunMove(BEMO_WALL, 17);
    ASSERT_EQ(heavyShotList.Size(), 90);
    for (int32_t k = 0; k < 5; ++k)
        for (int32_t j = 0; j < 18; ++j) {
            const HeavyShot& h = heavyShotList[k * 18 + j];
            EXPECT_EQ(h.heading, static_cast<float>(PI_F / 2.0f + j * 0.34906587 - k * 0.1)) << k << "," << j;
            EXPECT_EQ(h.age, -5 * k) << "ring " << k << " waits";
        }
}

// The vortex's HeavyShot leaves when C is let go after frame 29, or at 80;
// the longer the whirls ran, the bigger and slower it starts.
TEST_F(Bemo, VortexFiresOnReleaseOrAt80) {
    const struct {
        int32_t release;  // first frame without C; 200 for never
        int32_t fired;
        int32_t whirls;
    } cases[] = {{0, 30, 20}, {25, 30, 20}, {45, 45, 35}, {79, 79, 69}, {200, 80, 70}};
    for (const auto& c : cases) {
        SetUp();
        players[1].x = 100.0f;
        players[1].y = 0.0f;
        int32_t firedAt = -1;
        const Run run = RunMove(BEMO_VORTEX, 200, [&](int32_t f) {
            if (firedAt < 0 && heavyShotList.Size() > 0) firedAt = f - 1;
            return f < c.release ? INPUT_C : 0;
        });
        EXPECT_EQ(firedAt, c.fired) << c.release;
        EXPECT_EQ(run.freeAfter, c.fired + 20) << c.release << ": the throw sets the timer to 80, the end is at 100";
        int32_t whirls = 0;
        for (const Spawn& s : run.spawns) whirls += s.type == 202;
        EXPECT_EQ(whirls, c.whirls) << c.release;
        ASSERT_EQ(heavyShotList.Size(), 1);
        const HeavyShot& h = heavyShotList[0];
        EXPECT_FLOAT_EQ(h.param, static_cast<float>(c.fired / 30.0)) << "a real division";
    }
}

TEST_F(Bemo, VortexHeavyShotAimsAtTheOpponent) {
    players[1].x = 100.0f;
    players[1].y = 0.0f;
    RunMove(BEMO_VORTEX, 46, [](int32_t f) { return f < 45 ? INPUT_C : 0; });
    ASSERT_EQ(heavyShotList.Size(), 1);
    const HeavyShot& h = heavyShotList[0];
    EXPECT_EQ(h.type, 230);
    EXPECT_FLOAT_EQ(h.param, 1.5f);
    EXPECT_FLOAT_EQ(h.speed, 4.5f);
    EXPECT_FLOAT_EQ(h.angle, 4.5f);
    const PlayerRecord& o = players[1];
    EXPECT_FLOAT_EQ(h.heading, std::atan2(o.y - players[0].y, o.x - players[0].x));
    EXPECT_FLOAT_EQ(h.position[1], 90.0f) << "the whirls' centre, 2t above";
    EXPECT_EQ(players[0].stateTimer, 81);
}

TEST_F(Bemo, WhirlsGrowAndPullTheOpponentIn) {
    const struct {
        int32_t state;
        int32_t t;
        float scale;
        double pull;
    } cases[] = {
        {BEMO_VORTEX, 10, 0.0f, 3.0},         {BEMO_VORTEX, 20, 0.5f, 3.0},
        {BEMO_VORTEX, 29, 0.95f, 3.0},        {BEMO_VORTEX, 30, 1.0f, 3.0},
        {BEMO_VORTEX, 45, 1.5f, 3.0},         {BEMO_MAELSTROM, 0, -0.5f, 4.0},
        {BEMO_MAELSTROM, 40, 4.0f / 3.0f, 4.0}, {BEMO_MAELSTROM, 60, 2.0f, 4.0},
    };
    for (const int side : {0, 1}) {
        for (const auto& c : cases) {
            SetUp();
            PlayerRecord& p = players[side];
            PlayerRecord& o = players[1 - side];
            p.characterId = 2;
            o.characterId = 1;
            p.x = -50.0f;
            p.y = 10.0f;
            o.x = 150.0f;
            o.y = -80.0f;
            p.state = c.state;
            p.stateTimer = c.t;
            Press(side, INPUT_C);
            UpdateBemo(side);
            const double cx = -50.0, cy = 10.0 + 2.0 * c.t;
            const double g = std::atan2(-80.0 - cy, 150.0 - cx);
            EXPECT_FLOAT_EQ(o.x, static_cast<float>(150.0 - std::cos(g) * c.pull)) << side << " at " << c.t;
            EXPECT_FLOAT_EQ(o.y, static_cast<float>(-80.0 - std::sin(g) * c.pull)) << side << " at " << c.t;
            const std::vector<SpawnRequest> whirls = Spawned(AREA);
            ASSERT_FALSE(whirls.empty());
            EXPECT_EQ(whirls[0].type, 202);
            EXPECT_FLOAT_EQ(whirls[0].angle, static_cast<float>(c.t * 0.1));
            EXPECT_EQ(whirls[0].position[1], static_cast<float>(cy));
            ASSERT_GT(attackAreaList.Size(), 0);
            EXPECT_FLOAT_EQ(attackAreaList[0].scaleY, c.scale) << c.t;
        }
    }
}

// The whirls turn the side's moveAngle, a speed carried in moves it for one
// frame only, and the maelstrom makes the side invulnerable as a hyper does.
TEST_F(Bemo, WhirlStatesMoveOnlyOnce) {
    PlayerRecord& p = players[0];
    p.speed = 5.0;
    RunMove(BEMO_MAELSTROM, 1);
    EXPECT_EQ(p.invulnerableTimer, -100);
    EXPECT_FLOAT_EQ(p.x, static_cast<float>(-100.0 + 5.0 * std::cos(0.1))) << "the carried speed, turned once";
    EXPECT_EQ(p.speed, 0.0);
    const float x = p.x;
    for (int32_t f = 1; f < 40; ++f) {
        Press(0, 0);
        UpdateBemo(0);
    }
    EXPECT_EQ(p.x, x);
    EXPECT_NEAR(p.moveAngle, 4.0 - 2.0 * 3.1415927, 1e-5) << "forty turns of 0.1, wrapped once past pi";
}

}  // namespace
