#include "game/characters/perila.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "engine/core/math.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/battle_hash.h"
#include "tests/support/character_moves.h"

namespace {

constexpr int32_t UNTOUCHED = INT_MIN;
constexpr int32_t SATELLITES = 7;

// The satellites given an order in one frame: its code, and each
// satellite's start timer (UNTOUCHED for those left alone).
struct OrderSeen {
    int32_t frame;
    int32_t type;
    std::vector<int32_t> timers;
    bool operator==(const OrderSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const OrderSeen& o) {
    out << "{frame " << o.frame << ", type " << o.type << ", timers";
    for (int32_t t : o.timers) out << ' ' << (t == UNTOUCHED ? std::string("-") : std::to_string(t));
    return out << '}';
}

using test::StateSeen;

// Every satellite the same timer, or timers first, first + step, ...
std::vector<int32_t> Timers(int32_t first, int32_t step = 0) {
    std::vector<int32_t> timers;
    for (int32_t i = 0; i < SATELLITES; ++i) timers.push_back(first + step * i);
    return timers;
}

// `first`, then `held` on the next `frames` frames.
std::vector<InputWord> Words(InputWord first, int32_t frames, InputWord held) {
    std::vector<InputWord> words{first};
    words.insert(words.end(), static_cast<size_t>(frames), held);
    return words;
}

std::vector<InputWord> Then(std::vector<InputWord> words, std::initializer_list<InputWord> more) {
    words.insert(words.end(), more);
    return words;
}

// Side 0 is perila at (-100, 0) with her seven circling satellites; side 1
// is kirune at (100, 0) and stands still. Only side 0's update runs, so the
// satellites keep whatever order they were given.
class Perila : public test::CharacterMovesFixture {
protected:
    Perila() : CharacterMovesFixture(UpdatePerila, 4) {}

    struct Run {
        std::vector<StateSeen> states;  // each change of state
        std::vector<OrderSeen> orders;
        std::vector<int32_t> effects;   // frames of Effect 1000 (the high start)
        std::vector<int32_t> draws;     // random draws per frame
    };

    // Runs side 0 for `frames` frames with word(frame) pressed each frame,
    // stopping once it is free again after a move.
    Run RunFrames(int32_t frames, const test::Script& word) {
        Run run;
        std::vector<PlayerObject> before = players[0].objects;
        run.states = CharacterMovesFixture::RunFrames(frames, word, [&](int32_t frame, int32_t draws) {
            run.draws.push_back(draws);
            for (const SpawnRequest& r : Spawned(ObjectKind::Effect))
                if (r.type == 1000) run.effects.push_back(frame);
            RecordOrders(frame, before, run);
            before = players[0].objects;
        });
        return run;
    }

    static void RecordOrders(int32_t frame, const std::vector<PlayerObject>& before, Run& run) {
        const std::vector<PlayerObject>& after = players[0].objects;
        OrderSeen seen{frame, 0, std::vector<int32_t>(after.size(), UNTOUCHED)};
        for (size_t i = 0; i < after.size(); ++i) {
            if (after[i].type == before[i].type && after[i].timer == before[i].timer) continue;
            seen.type = after[i].type;
            seen.timers[i] = after[i].timer;
        }
        if (seen.type != 0) run.orders.push_back(seen);
    }
};

// From standing, each button input's move: the states it passes, the orders
// it gives, its high start and the frame on which it ends. Frame 0 is the
// standing frame in which the button is pressed (the high attacks run their
// first step in that frame too).
TEST_F(Perila, MoveTable) {
    const struct {
        const char* what;
        InputWord before;  // held over from the frame before
        std::vector<InputWord> words;  // frames 0, 1, ...; none after them
        float gauge;
        std::vector<StateSeen> states;
        std::vector<OrderSeen> orders;
        std::vector<int32_t> highStarts;
        float gaugeAfter;
    } cases[] = {
        {"Z", 0, {INPUT_Z}, 0.0f,
         {{0, 48}, {41, 0}}, {{12, 301, Timers(-10, -5)}}, {}, 0.03f},
        {"Z held through t 10", 0, Words(INPUT_Z, 11, INPUT_Z), 0.0f,
         {{0, 48}, {11, 49}, {51, 0}}, {{16, 305, Timers(1)}}, {}, 0.03f},
        {"Z pressed anew at t 10 does not chain", 0, Then(Words(INPUT_Z, 9, INPUT_Z), {0, INPUT_Z}), 0.0f,
         {{0, 48}, {41, 0}}, {{12, 301, Timers(-10, -5)}}, {}, 0.03f},
        {"Z with A held: the wide formation fires at once", INPUT_A, Words(INPUT_Z | INPUT_A, 11, INPUT_Z | INPUT_A), 0.0f,
         {{0, 48}, {11, 49}, {51, 0}}, {{16, 305, Timers(0)}}, {}, 0.03f},
        {"Z with V", INPUT_V, {INPUT_Z | INPUT_V}, 0.0f,
         {{0, 54}, {51, 0}}, {{11, 304, Timers(0, -3)}}, {}, 0.04f},
        {"Z and X together: the Z move", 0, {INPUT_Z | INPUT_X}, 0.0f,
         {{0, 48}, {41, 0}}, {{12, 301, Timers(-10, -5)}}, {}, 0.03f},
        {"X", 0, {INPUT_X}, 0.0f,
         {{0, 55}, {41, 0}}, {{16, 306, Timers(-15)}}, {}, 0.03f},
        {"X held through t 10", 0, Words(INPUT_X, 11, INPUT_X), 0.0f,
         {{0, 55}, {11, 50}, {41, 0}}, {{13, 303, Timers(0, -3)}}, {}, 0.03f},
        {"X with A", INPUT_A, {INPUT_X | INPUT_A}, 0.0f,
         {{0, 52}, {31, 0}},
         {{6, 330, {UNTOUCHED, UNTOUCHED, -5, UNTOUCHED, UNTOUCHED, -10, UNTOUCHED}}}, {}, 0.04f},
        {"X with A held through t 18", INPUT_A, Words(INPUT_X | INPUT_A, 19, INPUT_X | INPUT_A), 0.0f,
         {{0, 52}, {19, 53}, {41, 0}},
         {{6, 330, {UNTOUCHED, UNTOUCHED, -5, UNTOUCHED, UNTOUCHED, -10, UNTOUCHED}},
          {23, 330, {UNTOUCHED, UNTOUCHED, UNTOUCHED, -10, UNTOUCHED, UNTOUCHED, -10}}},
         {}, 0.04f},
        {"C", 0, {INPUT_C}, 1.0f,
         {{0, 46}, {70, 0}}, {{10, 302, Timers(-20, -10)}}, {1}, 0.0f},
        {"C with V", INPUT_V, {INPUT_C | INPUT_V}, 1.0f,
         {{0, 57}, {70, 0}}, {{10, 350, Timers(-10)}}, {1}, 0.0f},
        {"C with A", INPUT_A, {INPUT_C | INPUT_A}, 1.0f,
         {{0, 51}, {80, 0}}, {{1, 320, Timers(0, -3)}}, {0}, 0.0f},
        {"C with A and V: A over V", INPUT_A | INPUT_V, {INPUT_C | INPUT_A | INPUT_V}, 1.0f,
         {{0, 51}, {80, 0}}, {{1, 320, Timers(0, -3)}}, {0}, 0.0f},
        {"C with X", INPUT_X, {INPUT_C | INPUT_X}, 1.0f,
         {{0, 56}, {60, 0}}, {{10, 340, Timers(0, -2)}}, {0}, 0.0f},
        {"C with X and A: X over A", INPUT_X | INPUT_A, {INPUT_C | INPUT_X | INPUT_A}, 1.0f,
         {{0, 56}, {60, 0}}, {{10, 340, Timers(0, -2)}}, {0}, 0.0f},
        {"C with X and Z, gauge 2.5: the high attack", INPUT_X | INPUT_Z, {INPUT_C | INPUT_X | INPUT_Z}, 2.5f,
         {{0, 56}, {60, 0}}, {{10, 340, Timers(0, -2)}}, {0}, 1.5f},
        {"C with X and Z, gauge 3.0: the hyper attack", INPUT_X | INPUT_Z, {INPUT_C | INPUT_X | INPUT_Z}, 3.0f,
         {{0, 58}, {80, 0}}, {{0, 360, Timers(-20)}}, {0}, 0.0f},
        {"C with X and A, gauge 3.0: the hyper attack", INPUT_X | INPUT_A, {INPUT_C | INPUT_X | INPUT_A}, 3.0f,
         {{0, 58}, {80, 0}}, {{0, 360, Timers(-20)}}, {0}, 0.0f},
        {"C without gauge: nothing", 0, {INPUT_C}, 0.99f, {}, {}, {}, 0.99f},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.hyperGauge = c.gauge;
        Press(0, c.before);
        float gaugeAfterFirst = 0.0f;
        const Run run = RunFrames(120, WordsThenNothing(c.words, &gaugeAfterFirst));
        if (c.states.empty()) gaugeAfterFirst = p.hyperGauge;
        EXPECT_EQ(run.states, c.states) << c.what;
        EXPECT_EQ(run.orders, c.orders) << c.what;
        EXPECT_EQ(run.effects, c.highStarts) << c.what;
        EXPECT_FLOAT_EQ(gaugeAfterFirst, c.gaugeAfter) << c.what;
    }
}

// The sparks of the high starts are the only random draws of her moves:
// frames 0 to 4 of the high attacks, twice as many on frames 0 to 9 of the
// hyper attack.
TEST_F(Perila, RandomDrawsPerFrame) {
    const struct {
        int32_t state;
        int32_t burstFrames;
        int32_t drawsPerFrame;
    } cases[] = {
        {PERILA_BEAMS, 5, 12},  {PERILA_BEAM_VOLLEY, 5, 12}, {PERILA_SWARM, 5, 12}, {PERILA_BLADES, 5, 12},
        {PERILA_HYPER, 10, 24}, {PERILA_VOLLEY, 0, 0},       {PERILA_SPINNING_HEAVY, 0, 0},
        {PERILA_CURVING_SHOTS, 0, 0}, {PERILA_SEEKERS, 0, 0},
    };
    for (const auto& c : cases) {
        SetUp();
        players[0].state = c.state;
        const Run run = RunFrames(200, [](int32_t) { return InputWord{0}; });
        ASSERT_GT(run.draws.size(), 30u);
        for (size_t f = 0; f < run.draws.size(); ++f)
            EXPECT_EQ(run.draws[f], static_cast<int32_t>(f) < c.burstFrames ? c.drawsPerFrame : 0)
                << "state " << c.state << " frame " << f;
    }
}

// Kind first, then angle, spark by spark, one spark in each sector: quarter
// turns for the high attacks, eighth turns for the hyper attack.
// a = RandomFloat(0, pi/2) + i x sector, taken in double and rounded once.
TEST_F(Perila, SparksAlternateKindAndAngleInTheirSectors) {
    const struct {
        int32_t state;
        int32_t sparks;
        double sector;
    } cases[] = {{PERILA_SWARM, 4, 3.1415927f / 2.0}, {PERILA_HYPER, 8, 3.1415927f / 4.0}};
    for (const auto& c : cases) {
        SetUp();
        TakeSpawns();
        SeedRandom(9);
        players[0].state = c.state;
        players[0].stateTimer = 4;
        UpdatePerila(0);
        ExpectSparks(Spawned(ObjectKind::Effect), 9, c.sparks, c.sector);
    }
}

// The generator after every move with draws, one after the other from seed
// 0: any change in the number or order of draws shows here.
TEST_F(Perila, GeneratorStateAfterTheMovesWithDraws) {
    for (const int32_t state : {PERILA_BEAMS, PERILA_BEAM_VOLLEY, PERILA_SWARM, PERILA_BLADES, PERILA_HYPER}) {
        players[0].state = state;
        players[0].stateTimer = 0;
        RunFrames(200, [](int32_t) { return InputWord{0}; });
        ASSERT_EQ(players[0].state, PLAYER_FREE);
    }
    EXPECT_EQ(GetRandomState(), 0x886E48E0u);
}

TEST_F(Perila, OrdersCarryTheAimAndTheSwarmItsSpeed) {
    PlayerRecord& p = players[0];
    players[1].x = -100.0f;
    players[1].y = 100.0f;  // straight up
    p.state = PERILA_SWARM;
    RunFrames(2, [](int32_t) { return InputWord{0}; });
    for (const PlayerObject& o : p.objects) {
        EXPECT_EQ(o.type, 320);
        EXPECT_EQ(o.heading, PI_F / 2.0f);
        EXPECT_EQ(o.angle, PI_F / 2.0f);
        EXPECT_EQ(o.speed, 20.0f);
        EXPECT_EQ(o.slowdown, 1.0f);
    }
    // Other orders leave speed and slow-down as they were.
    SetUp();
    players[0].state = PERILA_BLADES;
    RunFrames(11, [](int32_t) { return InputWord{0}; });
    for (const PlayerObject& o : players[0].objects) {
        EXPECT_EQ(o.type, 340);
        EXPECT_EQ(o.heading, 0.0f);
        EXPECT_EQ(o.speed, 5.0f);
        EXPECT_EQ(o.slowdown, 0.2f);
    }
}

// An order for idle satellites passes over the busy ones, which keep their
// own order, and the others keep the delays of their list positions.
TEST_F(Perila, IdleOnlyOrdersPassOverBusySatellites) {
    const struct {
        int32_t state;
        int32_t orderAt;
        int32_t type;
        int32_t first, step;
    } cases[] = {{PERILA_VOLLEY, 11, 301, -10, -5}, {PERILA_CURVING_SHOTS, 15, 306, -15, 0}};
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.objects[1].type = 305;
        p.objects[1].timer = 7;
        p.objects[4].type = 331;
        p.objects[4].timer = 3;
        p.state = c.state;
        p.stateTimer = c.orderAt;
        UpdatePerila(0);
        for (int32_t i = 0; i < SATELLITES; ++i) {
            const PlayerObject& o = p.objects[i];
            if (i == 1 || i == 4) {
                EXPECT_EQ(o.type, i == 1 ? 305 : 331) << i;
                EXPECT_EQ(o.timer, i == 1 ? 7 : 3) << i;
            } else {
                EXPECT_EQ(o.type, c.type) << i;
                EXPECT_EQ(o.timer, c.first + c.step * i) << i;
            }
        }
    }
}

// Seekers: each addressed satellite turns from where it is toward the
// opponent, unless it is seeking already or missing.
TEST_F(Perila, SeekersSkipSatellitesAlreadySeekingOrMissing) {
    const struct {
        const char* what;
        int32_t count;     // satellites left in the list
        int32_t busy;      // index already seeking (type 330), -1 none
        std::vector<int32_t> seekers;
    } cases[] = {
        {"all seven", 7, -1, {2, 5}},
        {"satellite 2 seeking already", 7, 2, {5}},
        {"only three left", 3, -1, {2}},
        {"none left", 0, -1, {}},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.objects.resize(static_cast<size_t>(c.count));
        for (size_t i = 0; i < p.objects.size(); ++i) {
            p.objects[i].position[0] = -100.0f;
            p.objects[i].position[1] = 10.0f * static_cast<float>(i);
        }
        if (c.busy >= 0) p.objects[c.busy].type = 330;
        p.state = PERILA_SEEKERS;
        p.stateTimer = 5;
        UpdatePerila(0);
        std::vector<int32_t> seekers;
        for (int32_t i = 0; i < c.count; ++i) {
            const PlayerObject& o = p.objects[i];
            if (o.type != 330 || i == c.busy) continue;
            seekers.push_back(i);
            const float towardOpponent = static_cast<float>(std::atan2(0.0 - o.position[1], 100.0 - -100.0));
            EXPECT_EQ(o.heading, towardOpponent) << c.what;
            EXPECT_EQ(o.angle, towardOpponent) << c.what;
            EXPECT_EQ(o.speed, 2.0f) << c.what;
            EXPECT_EQ(o.timer, i == 2 ? -5 : -10) << c.what;
        }
        EXPECT_EQ(seekers, c.seekers) << c.what;
        EXPECT_EQ(p.state, PERILA_SEEKERS) << c.what << ": the move goes on";
        EXPECT_EQ(p.stateTimer, 6) << c.what;
    }
}

// The formation flag follows A held on free and dashing frames only; the
// swarm, the blades and the hyper attack clear it.
TEST_F(Perila, FormationFlagFollowsAHeldWhileFreeOrDashing) {
    const struct {
        const char* what;
        int32_t state;
        float gauge;
        InputWord before, word;
        int32_t flagBefore, flagAfter;
    } cases[] = {
        {"free, A held", PLAYER_FREE, 0.0f, INPUT_A, INPUT_A, 0, 1},
        {"free, A just pressed", PLAYER_FREE, 0.0f, 0, INPUT_A, 0, 0},
        {"free, A released", PLAYER_FREE, 0.0f, INPUT_A, 0, 1, 0},
        {"dashing, A held", PLAYER_DASH, 0.0f, INPUT_A, INPUT_A, 0, 1},
        {"a move keeps it", PERILA_VOLLEY, 0.0f, 0, 0, 1, 1},
        {"knocked back keeps it", PLAYER_KNOCKED_BACK, 0.0f, INPUT_A, INPUT_A, 0, 0},
        {"free, A held with Z: the volley starts", PLAYER_FREE, 0.0f, INPUT_A, INPUT_A | INPUT_Z, 0, 1},
        {"the swarm clears it", PLAYER_FREE, 1.0f, INPUT_A, INPUT_A | INPUT_C, 1, 0},
        {"the blades clear it", PERILA_VOLLEY, 1.0f, INPUT_X, INPUT_X | INPUT_C, 1, 0},
        {"the hyper attack clears it", PERILA_VOLLEY, 3.0f, INPUT_X | INPUT_A, INPUT_X | INPUT_A | INPUT_C, 1, 0},
        {"the beams leave it", PERILA_VOLLEY, 1.0f, 0, INPUT_C, 1, 1},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.state = c.state;
        p.stateTimer = 20;
        p.speed = c.state == PLAYER_DASH ? 5.0 : 0.0;
        p.hyperGauge = c.gauge;
        p.modeFlag = c.flagBefore;
        Press(0, c.before);
        Press(0, c.word);
        UpdatePerila(0);
        EXPECT_EQ(p.modeFlag, c.flagAfter) << c.what;
    }
}

// Each move ends when its stateTimer reaches its end, and V starts the
// faster dash (13.0) once it has reached the move's dash mark; a move that
// ends in the frame does not dash.
TEST_F(Perila, MovesEndAndTakeTheFasterDashFromTheirMark) {
    ExpectMoveMarks(EndAndDashFrom({
        {PERILA_VOLLEY, 41, 19},        {PERILA_DOUBLE_VOLLEY, 51, 36}, {PERILA_SPINNING_HEAVY, 51, 31},
        {PERILA_CURVING_SHOTS, 41, 21}, {PERILA_SPINNING_SHOTS, 41, 21}, {PERILA_SEEKERS, 31, 21},
        {PERILA_MORE_SEEKERS, 41, 31},  {PERILA_BEAMS, 71, 61},         {PERILA_BEAM_VOLLEY, 71, 61},
        {PERILA_SWARM, 81, 71},         {PERILA_BLADES, 61, 21},        {PERILA_HYPER, 81, 71},
    }), 13.0);
}

TEST_F(Perila, ShieldAndBoostedDashUseHerParticlesAndTrail) {
    // Colour number 6 + 20: kind 106, flying faster than the group 30 could.
    ExpectShieldFrameFive(40, 106);
    float fastest = 0.0f;
    for (int32_t i = 0; i < particleList.Size(); ++i) fastest = std::max(fastest, particleList[i].speed);
    EXPECT_GT(fastest, 6.0f);
    ExpectBoostedDashTrail(8.0);  // her boost speed
}

// A move started from the shield skips its first step: it keeps the aim the
// shield took toward the opponent.
TEST_F(Perila, AMoveFromTheShieldKeepsTheShieldsAim) {
    PlayerRecord& p = players[0];
    p.state = PLAYER_SHIELD;
    p.stateTimer = 6;
    p.aimAngle = 0.5f;  // as the shield left it
    Press(0, INPUT_Z);
    UpdatePerila(0);
    EXPECT_EQ(p.state, PERILA_VOLLEY);
    EXPECT_EQ(p.stateTimer, 1);
    Press(0, 0);
    UpdatePerila(0);
    EXPECT_EQ(p.aimAngle, 0.5f);
}

// The high attacks keep the side's speed: started in a dash, she slides on.
TEST_F(Perila, HighAttacksSlideOnAtTheDashSpeed) {
    PlayerRecord& p = players[0];
    p.state = PLAYER_DASH;
    p.speed = 9.0;
    p.moveAngle = PI_F / 2.0f;
    p.hyperGauge = 1.0f;
    Press(0, INPUT_C);
    UpdatePerila(0);
    EXPECT_EQ(p.state, PERILA_BEAMS);
    EXPECT_DOUBLE_EQ(p.speed, 9.0 - DECAY_FAST);
    EXPECT_FLOAT_EQ(p.y, 9.0f);
    EXPECT_EQ(p.aimAngle, 0.0f) << "aimed at the opponent";
}

// The satellites vanish, storage and all, in the frame of the knock-out's
// blast.
TEST_F(Perila, SatellitesVanishWithTheKnockOutBlast) {
    PlayerRecord& p = players[0];
    p.state = PLAYER_KNOCKED_OUT;
    p.stateTimer = 179;
    UpdatePerila(0);
    EXPECT_EQ(p.objects.size(), 7u);
    UpdatePerila(0);
    EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), std::vector<int32_t>{1301});
    EXPECT_TRUE(p.objects.empty());
    EXPECT_EQ(p.objects.capacity(), 0u);
    EXPECT_EQ(p.stateTimer, 181);
    // Her moves without satellites give no orders and do not fail.
    p.state = PERILA_MORE_SEEKERS;
    p.stateTimer = 22;
    UpdatePerila(0);
    p.state = PERILA_BEAMS;
    p.stateTimer = 10;
    UpdatePerila(0);
    EXPECT_EQ(p.stateTimer, 11);
}

}  // namespace
