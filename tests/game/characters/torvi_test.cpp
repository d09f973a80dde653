#include "game/characters/torvi.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"
#include "tests/support/battle_hash.h"
#include "tests/support/character_moves.h"

namespace {

// The frames on which objects of one kind and code were spawned (a frame
// once per object).
struct SpawnSeen {
    ObjectKind kind;
    int32_t type;
    std::vector<int32_t> frames;
    bool operator==(const SpawnSeen&) const = default;
};

const char* KindName(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::HeavyShot: return "HeavyShot";
    case ObjectKind::Shot: return "Shot";
    case ObjectKind::AttackArea: return "AttackArea";
    case ObjectKind::Effect: return "Effect";
    }
    return "?";
}

std::ostream& operator<<(std::ostream& out, const SpawnSeen& s) {
    out << '{' << KindName(s.kind) << ' ' << s.type << " at";
    for (int32_t f : s.frames) out << ' ' << f;
    return out << '}';
}

using test::StateSeen;

// from, from + step, ... up to to.
std::vector<int32_t> Frames(int32_t from, int32_t to, int32_t step, int32_t each = 1) {
    std::vector<int32_t> frames;
    for (int32_t f = from; f <= to; f += step) frames.insert(frames.end(), static_cast<size_t>(each), f);
    return frames;
}

std::vector<InputWord> Words(InputWord first, int32_t frames, InputWord held) {
    std::vector<InputWord> words{first};
    words.insert(words.end(), static_cast<size_t>(frames), held);
    return words;
}

constexpr float HALF_PI = PI_F / 2.0f;

// Side 0 is torvi at (-100, 0); side 1 is kirune at (100, 0) and stands
// still. Only side 0's update runs.
class Torvi : public test::CharacterMovesFixture {
protected:
    Torvi() : CharacterMovesFixture(UpdateTorvi, 6) {}

    struct Run {
        std::vector<StateSeen> states;  // each change of state
        std::vector<SpawnSeen> spawns;  // all but the sparks and the rain's Shots
        int32_t draws = 0;              // random draws in all
    };

    // Runs side 0 for up to `frames` frames with word(frame) pressed each
    // frame, stopping once it is free again after a move.
    Run RunFrames(int32_t frames, const test::Script& word) {
        Run run;
        run.states = CharacterMovesFixture::RunFrames(frames, word, [&](int32_t frame, int32_t draws) {
            run.draws += draws;
            for (const SpawnRequest& r : spawns) Note(run, frame, r);
        });
        return run;
    }

    static void Note(Run& run, int32_t frame, const SpawnRequest& r) {
        if (r.kind == ObjectKind::Effect && (r.type == 1100 || r.type == 1101)) return;
        if (r.kind == ObjectKind::Shot && r.type >= 630 && r.type <= 632) return;
        for (SpawnSeen& s : run.spawns) {
            if (s.kind != r.kind || s.type != r.type) continue;
            s.frames.push_back(frame);
            return;
        }
        run.spawns.push_back({r.kind, r.type, {frame}});
    }

    std::vector<SpawnRequest> TakeSpawned(ObjectKind kind) {
        std::vector<SpawnRequest> of = Spawned(kind);
        TakeSpawns();
        return of;
    }

    // One frame of state at stateTimer t, its spawns of kind.
    std::vector<SpawnRequest> StepAt(int32_t state, int32_t t, ObjectKind kind, InputWord word = 0) {
        TakeSpawns();
        StepFrom(state, t, word);
        return TakeSpawned(kind);
    }
};

using test::AREA;
using test::EFFECT;
using test::HEAVY;
using test::SHOT;

// From standing, each button input's move: the states it passes, what it
// spawns on which frames, its random draws and its gauge. Frame 0 is the
// standing frame in which the buttons are pressed.
TEST_F(Torvi, MoveTable) {
    constexpr int32_t ANY = -1;
    // The draws of a frame of the high start's four sparks (an integer and a
    // float each).
    constexpr int32_t SPARK_DRAWS = 12;
    const struct {
        const char* what;
        InputWord before;              // held over from the frame before
        std::vector<InputWord> words;  // frames 0, 1, ...; none after them
        float gauge;
        float opponentX;
        std::vector<StateSeen> states;
        std::vector<SpawnSeen> spawns;
        int32_t draws;  // ANY: the rain's draws depend on its own draws
        float gaugeAfter;
    } cases[] = {
        {"Z: a cloud of heavy shots", 0, {INPUT_Z}, 0.0f, 100.0f,
         {{0, 76}, {61, 0}}, {{HEAVY, 610, Frames(16, 31, 1)}}, 16 * 4, 0.02f},
        {"Z with V: two pairs of reflectors", INPUT_V, {INPUT_Z | INPUT_V}, 0.0f, 100.0f,
         {{0, 81}, {41, 0}}, {{HEAVY, 612, {16, 16, 18, 18}}}, 0, 0.03f},
        {"Z with A and V: A wins", INPUT_A | INPUT_V, {INPUT_Z | INPUT_A | INPUT_V}, 0.0f, 100.0f,
         {{0, 78}, {31, 0}}, {{SHOT, 621, {2, 2, 2}}}, 0, 0.01f},
        {"Z with A at exactly 140: three shots", INPUT_A, {INPUT_Z | INPUT_A}, 0.0f, 40.0f,
         {{0, 78}, {31, 0}}, {{SHOT, 621, {2, 2, 2}}}, 0, 0.01f},
        {"Z with A nearer than 140: five blows", INPUT_A, {INPUT_Z | INPUT_A}, 0.0f, 39.5f,
         {{0, 78}, {1, 80}, {31, 0}}, {{EFFECT, 630, Frames(9, 25, 4)}, {AREA, 630, Frames(9, 25, 4)}}, 5, 0.01f},
        {"X held: recall, then a shot every 6 frames", 0, Words(INPUT_X, 80, INPUT_X), 0.0f, 100.0f,
         {{0, 77}, {81, 0}}, {{SHOT, 610, Frames(13, 61, 6)}}, 9 * 4, 0.05f},
        {"X released at once: one shot, cut short at 13", 0, {INPUT_X}, 0.0f, 100.0f,
         {{0, 77}, {34, 0}}, {{SHOT, 610, {13}}}, 4, 0.05f},
        {"X released at 29", 0, Words(INPUT_X, 29, INPUT_X), 0.0f, 100.0f,
         {{0, 77}, {50, 0}}, {{SHOT, 610, {13, 19, 25}}}, 3 * 4, 0.05f},
        {"Z and X together: the X move", 0, {INPUT_Z | INPUT_X}, 0.0f, 100.0f,
         {{0, 77}, {34, 0}}, {{SHOT, 610, {13}}}, 4, 0.05f},
        {"X with A: one seed", INPUT_A, {INPUT_X | INPUT_A}, 0.0f, 100.0f,
         {{0, 84}, {31, 0}}, {{SHOT, 615, {13}}}, 4, 0.03f},
        {"C: shots ahead, then lances far off", 0, {INPUT_C}, 1.0f, 100.0f,
         {{0, 85}, {80, 0}},
         {{EFFECT, 1000, {0}}, {SHOT, 621, Frames(4, 24, 2)}, {HEAVY, 650, Frames(30, 60, 2)}},
         5 * SPARK_DRAWS + 11 * 2 + 16, 0.0f},
        {"C with A: waves", INPUT_A, {INPUT_C | INPUT_A}, 1.0f, 100.0f,
         {{0, 82}, {60, 0}}, {{EFFECT, 1000, {0}}, {EFFECT, 635, Frames(8, 36, 4)}, {EFFECT, 636, {40}}},
         5 * SPARK_DRAWS + 9, 0.0f},
        {"C with X: the ring, flashing a frame late", INPUT_X, {INPUT_C | INPUT_X}, 1.0f, 100.0f,
         {{0, 79}, {40, 0}}, {{EFFECT, 1000, {1}}, {SHOT, 620, Frames(20, 20, 1, 12)}}, 5 * SPARK_DRAWS, 0.0f},
        {"C with X and A: X over A", INPUT_X | INPUT_A, {INPUT_C | INPUT_X | INPUT_A}, 1.0f, 100.0f,
         {{0, 79}, {40, 0}}, {{EFFECT, 1000, {1}}, {SHOT, 620, Frames(20, 20, 1, 12)}}, 5 * SPARK_DRAWS, 0.0f},
        {"C with V: the storm", INPUT_V, {INPUT_C | INPUT_V}, 1.0f, 100.0f,
         {{0, 86}, {80, 0}}, {{EFFECT, 1000, {0}}, {SHOT, 610, Frames(12, 48, 3)}}, 5 * SPARK_DRAWS + 13 * 4, 0.0f},
        {"C with V, X and A: V over all", INPUT_V | INPUT_X | INPUT_A, {INPUT_C | INPUT_V | INPUT_X | INPUT_A}, 1.0f,
         100.0f, {{0, 86}, {80, 0}}, {{EFFECT, 1000, {0}}, {SHOT, 610, Frames(12, 48, 3)}}, 5 * SPARK_DRAWS + 13 * 4, 0.0f},
        {"C with X and Z, gauge 2.5: the high attack", INPUT_X | INPUT_Z, {INPUT_C | INPUT_X | INPUT_Z}, 2.5f,
         100.0f, {{0, 79}, {40, 0}}, {{EFFECT, 1000, {1}}, {SHOT, 620, Frames(20, 20, 1, 12)}}, 5 * SPARK_DRAWS, 1.5f},
        {"C with X and Z, gauge 3.0: the rain", INPUT_X | INPUT_Z, {INPUT_C | INPUT_X | INPUT_Z}, 3.0f, 100.0f,
         {{0, 87}, {100, 0}}, {{EFFECT, 1000, {0}}, {EFFECT, 620, Frames(0, 70, 2)}}, ANY, 0.0f},
        {"C with X and A, gauge 3.0: the rain", INPUT_X | INPUT_A, {INPUT_C | INPUT_X | INPUT_A}, 3.0f, 100.0f,
         {{0, 87}, {100, 0}}, {{EFFECT, 1000, {0}}, {EFFECT, 620, Frames(0, 70, 2)}}, ANY, 0.0f},
        {"C without gauge: nothing", 0, {INPUT_C}, 0.99f, 100.0f, {}, {}, 0, 0.99f},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.hyperGauge = c.gauge;
        players[1].x = c.opponentX;
        Press(0, c.before);
        float gaugeAfterFirst = 0.0f;
        const Run run = RunFrames(150, WordsThenNothing(c.words, &gaugeAfterFirst));
        if (c.states.empty()) gaugeAfterFirst = p.hyperGauge;
        EXPECT_EQ(run.states, c.states) << c.what;
        EXPECT_EQ(run.spawns, c.spawns) << c.what;
        if (c.draws != ANY) {
            EXPECT_EQ(run.draws, c.draws) << c.what;
        }
        EXPECT_FLOAT_EQ(gaugeAfterFirst, c.gaugeAfter) << c.what;
    }
}

// The shot clouds: each shot at position + (cos a * r1, sin a * r2), along
// the aim turned by b, with the four values drawn in the order of its move.
TEST_F(Torvi, ScatteredShotsDrawTheirValuesInTheMovesOrder) {
    enum Order { A_B_R1_R2, A_R1_R2_B };
    const struct {
        int32_t state, t;
        ObjectKind kind;
        int32_t type;
        Order order;
        float aLow, aHigh, rLow, rHigh;
    } cases[] = {
        {TORVI_SHOT_CLOUD, 15, HEAVY, 610, A_B_R1_R2, 0.0f, TWO_PI_F, 0.0f, 60.0f},
        {TORVI_VOLLEY, 12, SHOT, 610, A_R1_R2_B, 0.0f, TWO_PI_F, 50.0f, 100.0f},
        {TORVI_SEED, 12, SHOT, 615, A_R1_R2_B, 0.0f, TWO_PI_F, 30.0f, 60.0f},
        {TORVI_STORM, 12, SHOT, 610, A_R1_R2_B, -PI_F, PI_F, 80.0f, 200.0f},
    };
    // Under each seed some rows draw an angle and radii whose point, taken
    // in float (a float sine or cosine, a float product), rounds apart from
    // the double one: together the three seeds do so for x and for y in
    // every row.
    for (const auto& c : cases) {
        for (const unsigned seed : {17u, 15u, 22u}) {
            SetUp();
            players[0].aimAngle = 0.25f;
            SeedRandom(seed);
            float b = 0.0f;
            const float a = RandomFloat(c.aLow, c.aHigh);
            if (c.order == A_B_R1_R2) b = RandomFloat(-0.3f, 0.3f);
            const float r1 = RandomFloat(c.rLow, c.rHigh);
            const float r2 = RandomFloat(c.rLow, c.rHigh);
            if (c.order == A_R1_R2_B) b = RandomFloat(-0.3f, 0.3f);
            SeedRandom(seed);
            const std::vector<SpawnRequest> shots =
                StepAt(c.state, c.t, c.kind, c.state == TORVI_VOLLEY ? INPUT_X : 0);
            ASSERT_EQ(shots.size(), 1u) << c.state;
            EXPECT_EQ(shots[0].type, c.type) << c.state;
            EXPECT_EQ(shots[0].angle, 0.25f + b) << c.state << " seed " << seed;
            // position + (cos a x r1, sin a x r2), taken in double and rounded once.
            EXPECT_EQ(shots[0].position[0], static_cast<float>(-100.0 + std::cos(static_cast<double>(a)) * r1))
                << c.state << " seed " << seed;
            EXPECT_EQ(shots[0].position[1], static_cast<float>(0.0 + std::sin(static_cast<double>(a)) * r2))
                << c.state << " seed " << seed;
            EXPECT_EQ(shots[0].owner, 0);
            if (c.state == TORVI_STORM) {
                ASSERT_EQ(shotList.Size(), 1);
                EXPECT_EQ(shotList[0].power, 20) << "the storm's shots hit harder";
            }
        }
    }
}

// The lances' near shots: (along, across) drawn along first, turned by the
// aim; the far lances 600 along an aim turned by one draw.
TEST_F(Torvi, LancesDrawAlongBeforeAcross) {
    players[0].aimAngle = HALF_PI;
    SeedRandom(5);
    const float along = RandomFloat(10.0f, 40.0f);
    const float across = RandomFloat(-60.0f, 60.0f);
    const float turn = RandomFloat(-0.4f, 0.4f);
    SeedRandom(5);
    const std::vector<SpawnRequest> shots = StepAt(TORVI_LANCES, 6, SHOT);
    ASSERT_EQ(shots.size(), 1u);
    float v[2] = {along, across};
    RotateVector2(v, HALF_PI);
    EXPECT_EQ(shots[0].type, 621);
    EXPECT_EQ(shots[0].angle, HALF_PI);
    EXPECT_EQ(shots[0].position[0], -100.0f + v[0]);
    EXPECT_EQ(shots[0].position[1], v[1]);
    EXPECT_GT(shots[0].position[1], 9.0f) << "along the aim, straight up";

    const std::vector<SpawnRequest> lances = StepAt(TORVI_LANCES, 30, HEAVY);
    ASSERT_EQ(lances.size(), 1u);
    const float a = HALF_PI + turn;
    EXPECT_EQ(lances[0].type, 650);
    EXPECT_EQ(lances[0].angle, a);
    EXPECT_FLOAT_EQ(lances[0].position[0], -100.0f + 600.0f * std::cos(a));
    EXPECT_FLOAT_EQ(lances[0].position[1], 600.0f * std::sin(a));
}

// One shot of the rain for each half of the aim: the source 400 beyond the
// opponent (upper left for an aim into the right half, straight up
// included; upper right otherwise), the offset drawn x first, then the code,
// then the angle; its graze picture always at -pi/4.
TEST_F(Torvi, RainFallsFromTheSideTheAimPointsAwayFrom) {
    const struct {
        const char* what;
        float aim;
        double sourceTurn, offsetTurn;
        double fall;  // the angle is RandomFloat(-0.2, 0.2) + fall, taken in double
        bool fromLeft;
    } cases[] = {
        {"aim right", 0.0f, 3.0 * PI_F / 4.0f, PI_F / 4.0f, -3.1415927f / 4.0, true},
        {"aim straight up", HALF_PI, 3.0 * PI_F / 4.0f, PI_F / 4.0f, -3.1415927f / 4.0, true},
        {"aim left", 2.0f, PI_F / 4.0f, -PI_F / 4.0f, -3.0 * 3.1415927f / 4.0, false},
    };
    for (const auto& c : cases) {
        for (const uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
            SetUp();
            players[1].y = 30.0f;
            SeedRandom(seed);
            float offset[2];
            offset[0] = RandomFloat(-200.0f, 200.0f);
            offset[1] = RandomFloat(-100.0f, 50.0f);
            const int32_t k = RandomInt(0, 100);
            int32_t type = 630;
            if (k >= 25) type = RandomInt(0, 100) < 50 ? 631 : 632;
            const float angle = static_cast<float>(RandomFloat(-0.2f, 0.2f) + c.fall);
            const uint32_t after = GetRandomState();
            float source[2] = {400.0f, 0.0f};
            RotateVector2(source, c.sourceTurn);
            RotateVector2(offset, c.offsetTurn);
            const float at[2] = {100.0f + source[0] + offset[0], 30.0f + source[1] + offset[1]};

            SeedRandom(seed);
            players[0].aimAngle = c.aim;
            players[0].state = TORVI_RAIN;
            players[0].stateTimer = 12;  // past the sparks
            TakeSpawns();
            UpdateTorvi(0);
            EXPECT_EQ(GetRandomState(), after) << c.what << " seed " << seed;
            const std::vector<SpawnRequest> shots = Spawned(SHOT);
            const std::vector<SpawnRequest> effects = Spawned(EFFECT);
            ASSERT_EQ(shots.size(), 1u);
            ASSERT_EQ(effects.size(), 1u);
            EXPECT_EQ(shots[0].type, type) << c.what;
            EXPECT_EQ(shots[0].angle, angle) << c.what;
            EXPECT_EQ(shots[0].position[0], at[0]) << c.what;
            EXPECT_EQ(shots[0].position[1], at[1]) << c.what;
            EXPECT_EQ(source[0] < 0.0f, c.fromLeft) << c.what;
            EXPECT_GT(source[1], 0.0f) << c.what << ": from above";
            EXPECT_EQ(effects[0].type, 620);
            EXPECT_EQ(effects[0].angle, -PI_F / 4.0f) << c.what;
            EXPECT_EQ(effects[0].position[0], at[0]);
        }
    }
}

// The rain's flashes: every 10 frames to 70 and the high start's on frame 0;
// eight sparks a frame for 10 frames.
TEST_F(Torvi, RainFlashesAndSparks) {
    players[0].state = TORVI_RAIN;
    std::vector<int32_t> sparksPerFrame;
    int32_t flashes = 0;
    for (int32_t t = 0; t < 101; ++t) {
        TakeSpawns();
        const int32_t before = flashList.Size();
        UpdateTorvi(0);
        flashes += flashList.Size() - before;
        int32_t sparks = 0;
        for (const SpawnRequest& r : Spawned(EFFECT)) sparks += r.type == 1100 || r.type == 1101;
        sparksPerFrame.push_back(sparks);
        if (t == 0) {
            EXPECT_EQ(players[0].invulnerableTimer, -150);
        }
    }
    EXPECT_EQ(players[0].state, PLAYER_FREE);
    EXPECT_EQ(flashes, 9);
    for (int32_t t = 0; t < 101; ++t) EXPECT_EQ(sparksPerFrame[t], t < 10 ? 8 : 0) << t;
}

// The X volley recalls, at its frame 10, this side's Shots 610 younger than
// 200 frames: they stop where they are with the timer 999.
TEST_F(Torvi, VolleyRecallsOnlyItsOwnYoungShots) {
    const struct {
        const char* what;
        int32_t type, owner, age;
        bool recalled;
    } cases[] = {
        {"own, young", 610, 0, 0, true},
        {"own, 199 frames", 610, 0, 199, true},
        {"own, 200 frames", 610, 0, 200, false},
        {"own, recalled already", 610, 0, 999, false},
        {"the opponent's", 610, 1, 10, false},
        {"another code", 615, 0, 10, false},
    };
    for (const auto& c : cases) {
        SetUp();
        const float at[2] = {0.0f, 0.0f};
        SpawnShot(c.type, 0.0f, at, c.owner);
        shotList[0].age = c.age;
        shotList[0].speed = 6.0f;
        players[0].state = TORVI_VOLLEY;
        for (const int32_t t : {9, 10, 11}) {
            EXPECT_TRUE(StepAt(TORVI_VOLLEY, t, SHOT, INPUT_X).empty()) << "no shot of its own yet";
            if (t == 9) {
                EXPECT_EQ(shotList[0].age, c.age) << c.what;
            }
        }
        EXPECT_EQ(shotList[0].age, c.recalled ? 999 : c.age) << c.what;
        EXPECT_EQ(shotList[0].speed, c.recalled ? 0.0f : 6.0f) << c.what;
    }
}

// The close shots stand 30 ahead and 30 either side, turned by the aim; the
// blows come 20 ahead, the last one knocking back at 16.
TEST_F(Torvi, CloseShotsAndBlowsStandAroundTheAim) {
    players[0].aimAngle = HALF_PI;
    const std::vector<SpawnRequest> shots = StepAt(TORVI_CLOSE_SHOTS, 1, SHOT);
    ASSERT_EQ(shots.size(), 3u);
    const float expected[3][2] = {{-100.0f, 30.0f}, {-70.0f, 30.0f}, {-130.0f, 30.0f}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(shots[i].position[0], expected[i][0], 1e-4) << i;
        EXPECT_NEAR(shots[i].position[1], expected[i][1], 1e-4) << i;
        EXPECT_EQ(shots[i].angle, HALF_PI);
    }

    for (const int32_t t : {8, 12, 16, 20, 24}) {
        SeedRandom(static_cast<unsigned>(t));
        const float a = HALF_PI + RandomFloat(-0.6f, 0.6f);
        SeedRandom(static_cast<unsigned>(t));
        attackAreaList.Clear();
        const std::vector<SpawnRequest> areas = StepAt(TORVI_BLOWS, t, AREA);
        ASSERT_EQ(areas.size(), 1u) << t;
        EXPECT_EQ(areas[0].angle, a) << t;
        EXPECT_FLOAT_EQ(areas[0].position[0], -100.0f + 20.0f * std::cos(a)) << t;
        EXPECT_FLOAT_EQ(areas[0].position[1], 20.0f * std::sin(a)) << t;
        ASSERT_EQ(attackAreaList.Size(), 1) << t;
        EXPECT_EQ(attackAreaList[0].knockBackSpeed == 16.0f, t == 24) << t;
    }
}

// The angles aim +- 0.8 (frame 15) and +- 1.2 (frame 17) are taken in double
// and rounded once, and each reflector stands 40 out along its double angle.
// Aimed at 0 a float sum would give the same angles; aimed at 0.7 it rounds
// three of the four apart.
TEST_F(Torvi, ReflectorsStand40OutEitherSideOfTheAim) {
    for (const float aim : {0.0f, 0.7f}) {
        for (const auto& [t, spread] : {std::pair{15, 0.8}, std::pair{17, 1.2}}) {
            SetUp();
            players[0].aimAngle = aim;
            const std::vector<SpawnRequest> reflectors = StepAt(TORVI_REFLECTORS, t, HEAVY);
            ASSERT_EQ(reflectors.size(), 2u) << t;
            const double angles[2] = {aim + spread, aim - spread};
            for (int i = 0; i < 2; ++i) {
                EXPECT_EQ(reflectors[i].type, 612);
                EXPECT_EQ(reflectors[i].angle, static_cast<float>(angles[i])) << "aim " << aim << " frame " << t;
                EXPECT_EQ(reflectors[i].position[0], static_cast<float>(-100.0 + 40.0 * std::cos(angles[i])))
                    << "aim " << aim << " frame " << t;
                EXPECT_EQ(reflectors[i].position[1], static_cast<float>(40.0 * std::sin(angles[i])))
                    << "aim " << aim << " frame " << t;
            }
        }
    }
}

// The cloud's aim follows the arrows by 0.02 a frame before frame 25 only.
TEST_F(Torvi, ShotCloudSteersItsAimBeforeFrame25) {
    const struct {
        int32_t t;
        InputWord arrows;
        float aimAfter;
    } cases[] = {
        {3, INPUT_UP, 0.02f}, {24, INPUT_DOWN, -0.02f}, {25, INPUT_UP, 0.0f}, {3, 0, 0.0f},
    };
    for (const auto& c : cases) {
        SetUp();
        players[0].aimAngle = 0.0f;
        StepAt(TORVI_SHOT_CLOUD, c.t, HEAVY, c.arrows);
        EXPECT_FLOAT_EQ(players[0].aimAngle, c.aimAfter) << c.t;
    }
}

// The high start (C alone, with A, with V, and the hyper attack) aims, stops
// the side and makes it invulnerable on the first frame; the ring (C with X)
// has no high start: it aims and slides on, and turns invulnerable a frame
// later.
TEST_F(Torvi, HighStartsStopTheSideAndTheRingTurnsInvulnerableAFrameLate) {
    const struct {
        int32_t state;
        int32_t invulnerableAfterFirst, invulnerableAfterSecond;
        double speedAfterFirst;
    } cases[] = {
        {TORVI_LANCES, 100, 100, 0.0},      {TORVI_WAVES, 100, 100, 0.0},
        {TORVI_STORM, 100, 100, 0.0},       {TORVI_RAIN, -150, -150, 0.0},
        {TORVI_RING, 0, 100, 5.0 - DECAY_FAST},
    };
    for (const auto& c : cases) {
        SetUp();
        players[0].state = c.state;
        players[0].speed = 5.0;  // sliding along +x into the attack
        UpdateTorvi(0);
        EXPECT_EQ(players[0].invulnerableTimer, c.invulnerableAfterFirst) << c.state;
        EXPECT_EQ(players[0].aimAngle, 0.0f) << c.state << ": aimed at the opponent";
        EXPECT_EQ(players[0].speed, c.speedAfterFirst) << c.state;
        EXPECT_EQ(players[0].x, c.speedAfterFirst == 0.0 ? -100.0f : -95.0f) << c.state;
        UpdateTorvi(0);
        EXPECT_EQ(players[0].invulnerableTimer, c.invulnerableAfterSecond) << c.state;
    }
}

// Each move ends when its stateTimer reaches its end, and V starts torvi's
// own dash (10.0) once it has reached the move's dash mark; a move that ends
// in the frame does not dash.
TEST_F(Torvi, MovesEndAndDashFromTheirMark) {
    ExpectMoveMarks(EndAndDashFrom({
        {TORVI_SHOT_CLOUD, 61, 41}, {TORVI_REFLECTORS, 41, 31}, {TORVI_CLOSE_SHOTS, 31, 21},
        {TORVI_BLOWS, 31, 21},      {TORVI_VOLLEY, 81, 71},     {TORVI_SEED, 31, 21},
        {TORVI_LANCES, 81, 66},     {TORVI_WAVES, 61, 51},      {TORVI_RING, 41, 31},
        {TORVI_STORM, 81, 71},      {TORVI_RAIN, 101, 91},
    }), 10.0, INPUT_X);
}

// The slow-down of each move: the reflectors and the lances slide on at 0.4
// a frame, the others at 0.8.
TEST_F(Torvi, MovesSlowDownAtTheirOwnRate) {
    for (const int32_t state : {TORVI_SHOT_CLOUD, TORVI_REFLECTORS, TORVI_VOLLEY, TORVI_LANCES, TORVI_STORM}) {
        SetUp();
        players[0].state = state;
        players[0].stateTimer = 40;
        players[0].speed = 5.0;
        Press(0, INPUT_X);
        UpdateTorvi(0);
        const bool slow = state == TORVI_REFLECTORS || state == TORVI_LANCES;
        EXPECT_EQ(players[0].speed, 5.0 - (slow ? DECAY_SLOW : DECAY_FAST)) << state;
        EXPECT_FLOAT_EQ(players[0].x, -95.0f) << state;
    }
}

TEST_F(Torvi, ShieldHoldsLongerAndTheDashLeavesItsTrail) {
    // Colour number 4 + 20: kind 104, not the 4 + 30 of the first character.
    ExpectShieldFrameFive(50, 104);
    ExpectBoostedDashTrail(6.0);  // its boost speed
}

// The generator after every move with draws, one after the other from seed
// 0: any change in the number or order of draws shows here.
TEST_F(Torvi, GeneratorStateAfterTheMovesWithDraws) {
    players[1].x = -60.0f;
    players[1].y = 50.0f;
    for (const int32_t state : {TORVI_SHOT_CLOUD, TORVI_VOLLEY, TORVI_SEED, TORVI_BLOWS, TORVI_LANCES, TORVI_WAVES,
                                TORVI_RING, TORVI_STORM, TORVI_RAIN}) {
        players[0].state = state;
        players[0].stateTimer = 0;
        RunFrames(200, [](int32_t) { return InputWord{INPUT_X}; });
        ASSERT_EQ(players[0].state, PLAYER_FREE) << state;
    }
    EXPECT_EQ(GetRandomState(), 0xA0281F1Cu);
}

}  // namespace
