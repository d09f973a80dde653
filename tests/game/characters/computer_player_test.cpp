#include "game/characters/computer_player.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <utility>
#include <string>
#include <vector>

#include "tests/support/battle_fixture.h"
#include "tests/support/battle_hash.h"

namespace {

using Generator = void (*)(InputWord*, int32_t);

constexpr int32_t SIDE = 1;  // the side the computer plays
constexpr int32_t KNOCKED_BACK = PLAYER_KNOCKED_BACK;

struct NamedRoutine {
    const char* name;
    int32_t characterId;
    Generator routine;
};

const NamedRoutine routines[] = {
    {"kirune", 1, GenerateCpuInputKirune}, {"bemo", 2, GenerateCpuInputBemo},
    {"oza", 3, GenerateCpuInputOza},       {"perila", 4, GenerateCpuInputPerila},
    {"ruo", 5, GenerateCpuInputRuo},       {"torvi", 6, GenerateCpuInputTorvi},
    {"nebu", 7, GenerateCpuInputNebu},     {"welo", 8, GenerateCpuInputWelo},
};

// Both sides face each other at a chosen squared distance along x; the
// computer plays side 1 at difficulty NORMAL with an empty counter.
class ComputerPlayer : public test::BattleFixture {
protected:
    void SetUp() override {
        BattleFixture::SetUp();
        cpuRandomWordA = cpuRandomWordB = 0;
        difficulty = DIFFICULTY_NORMAL;
        Place(500.0f);
    }

    static PlayerRecord& self() { return players[SIDE]; }
    static PlayerRecord& opponent() { return players[1 - SIDE]; }

    // The opponent at the origin, the computer `distance` units to its right.
    static void Place(float distance) {
        opponent().x = opponent().y = 0.0f;
        self().x = distance;
        self().y = 0.0f;
    }

    // The word and the number of RandomInt calls (two raw draws each).
    static std::pair<InputWord, int32_t> Run(Generator g) {
        InputWord word = 0xFFFF;
        const uint32_t before = GetRandomState();
        g(&word, SIDE);
        const int32_t draws = test::RandomDrawsSince(before);
        EXPECT_EQ(draws % 2, 0);
        return {word, draws / 2};
    }
};

// The records the golden runs walk through, frame by frame: the computer's
// counter, state and timer cycle through every state a rule names, the
// opponent takes turns standing, knocked back and in a move, gauges ramp up
// and down, the distance sweeps across every threshold, and perila's seventh
// orb changes type.
void ScriptFrame(int32_t f) {
    static constexpr int32_t states[] = {0, KNOCKED_BACK, 10, 11, 28, 29, 63, 64, 65, 77, 97, 98, 111, 112, 116};
    PlayerRecord& self = players[SIDE];
    PlayerRecord& other = players[1 - SIDE];
    self.counter = f;
    self.state = states[(f / 24) % std::size(states)];
    self.stateTimer = f % 24 + (f / 360) * 8;  // later passes reach the timers of longer moves
    self.hyperGauge = std::fmin(static_cast<float>(f % 420) / 120.0f, 3.0f);
    self.comboHits = f % 13 - 1;
    self.modeFlag = (f / 50) % 2 * 110;
    const int32_t phase = (f / 8) % 3;  // meets every chain step knocked back
    other.state = phase == 0 ? PLAYER_FREE : phase == 1 ? KNOCKED_BACK : 40;
    other.comboDamage = (f % 250) * 5 - 1;
    other.x = 0.0f;
    other.y = 0.0f;
    self.x = static_cast<float>((f * 37) % 460) - 230.0f;
    self.y = static_cast<float>((f * 53) % 380) - 190.0f;
    self.objects.resize(7);
    self.objects[6].type = (f / 40) % 2 ? 302 : 300;
}

// FNV-1a over the words, so that a table row stays one line.
uint64_t HashWords(const std::vector<InputWord>& words) {
    uint64_t h = 14695981039346656037ull;
    for (InputWord w : words) {
        for (int byte = 0; byte < 2; ++byte) {
            h ^= (w >> (8 * byte)) & 0xFF;
            h *= 1099511628211ull;
        }
    }
    return h;
}

struct Golden {
    const char* name;
    int32_t characterId;  // played through GenerateCpuInput; 0: the base word alone
    Generator base;
    int32_t difficulty;
    uint64_t words;       // HashWords of the 720 words
    uint32_t finalState;  // the generator afterwards
};

// Difficulty 0 plays the base word A whatever the character: its rows repeat
// the first one.
TEST_F(ComputerPlayer, GoldenSequencesFromASeedAndScriptedRecords) {
    const Golden cases[] = {
        {"base A", 0, GenerateRandomCpuInputA, 1, 0xd1a5d7437929d59aull, 794325030u},
        {"base B", 0, GenerateRandomCpuInputB, 1, 0xd066b6e4c48612d1ull, 653364646u},
        {"kirune", 1, nullptr, 0, 0xd1a5d7437929d59aull, 794325030u},
        {"kirune", 1, nullptr, 1, 0xdf2159d6ae1b31dbull, 2114098224u},
        {"kirune", 1, nullptr, 2, 0x130f2384dfa548e3ull, 2114098224u},
        {"bemo", 2, nullptr, 0, 0xd1a5d7437929d59aull, 794325030u},
        {"bemo", 2, nullptr, 1, 0x24adf85c75bf595bull, 3283850054u},
        {"bemo", 2, nullptr, 2, 0x2ad4969dcac31962ull, 3283850054u},
        {"oza", 3, nullptr, 0, 0xd1a5d7437929d59aull, 794325030u},
        {"oza", 3, nullptr, 1, 0x003a52b7afdcc5a6ull, 1857338864u},
        {"oza", 3, nullptr, 2, 0x1441f7546bfb3a7dull, 1857338864u},
        {"perila", 4, nullptr, 0, 0xd1a5d7437929d59aull, 794325030u},
        {"perila", 4, nullptr, 1, 0x6df6e9f74a1fb6e0ull, 254775968u},
        {"perila", 4, nullptr, 2, 0x1c6468ae597963f9ull, 254775968u},
        {"ruo", 5, nullptr, 0, 0xd1a5d7437929d59aull, 794325030u},
        {"ruo", 5, nullptr, 1, 0x2b440a45a2cfe11bull, 2543584460u},
        {"ruo", 5, nullptr, 2, 0x420828ec5f421beeull, 2543584460u},
        {"torvi", 6, nullptr, 0, 0xd1a5d7437929d59aull, 794325030u},
        {"torvi", 6, nullptr, 1, 0xbad838bee5d86d16ull, 1985242172u},
        {"torvi", 6, nullptr, 2, 0x7bd385d202cdb7a8ull, 1985242172u},
        {"nebu", 7, nullptr, 0, 0xd1a5d7437929d59aull, 794325030u},
        {"nebu", 7, nullptr, 1, 0x25365bbd58d07c6bull, 3154266502u},
        {"nebu", 7, nullptr, 2, 0xdd1535db6bd119f3ull, 3154266502u},
        {"welo", 8, nullptr, 0, 0xd1a5d7437929d59aull, 794325030u},
        {"welo", 8, nullptr, 1, 0x26370d12db09d01dull, 2114098224u},
        {"welo", 8, nullptr, 2, 0xc10c7d0f4291d40dull, 2114098224u},
    };
    for (const Golden& c : cases) {
        difficulty = c.difficulty;
        cpuRandomWordA = cpuRandomWordB = 0;
        SeedRandom(4242);
        std::vector<InputWord> words;
        for (int32_t f = 0; f < 720; ++f) {
            ScriptFrame(f);
            InputWord word = 0;
            if (c.characterId == 0) {
                c.base(&word, SIDE);
            } else {
                self().characterId = c.characterId;
                GenerateCpuInput(&word, SIDE);
            }
            words.push_back(word);
        }
        EXPECT_EQ(HashWords(words), c.words) << c.name << " at difficulty " << c.difficulty;
        EXPECT_EQ(GetRandomState(), c.finalState) << c.name << " at difficulty " << c.difficulty;
    }
}

// The k-th RandomInt(lo, hi) (from 0) that a routine drew after the
// generator stood at `before`; each RandomInt takes two raw draws.
int32_t DrawnRandomInt(uint32_t before, int32_t k, int32_t lo, int32_t hi) {
    const uint32_t now = GetRandomState();
    SeedRandom(before);
    for (int32_t i = 0; i < 2 * k; ++i) NextRandom();
    const int32_t r = RandomInt(lo, hi);
    SeedRandom(now);
    return r;
}

TEST_F(ComputerPlayer, BaseWordsDrawOnlyInsideTheirWindows) {
    const struct {
        Generator generator;
        const char* name;
        int32_t counter;
        int32_t state;
        int32_t calls;
    } cases[] = {
        {GenerateRandomCpuInputA, "A", 0, PLAYER_FREE, 4},    // new word, A window, calm window
        {GenerateRandomCpuInputA, "A", 0, KNOCKED_BACK, 5},
        {GenerateRandomCpuInputA, "A", 5, PLAYER_FREE, 2},
        {GenerateRandomCpuInputA, "A", 100, PLAYER_FREE, 2},  // 100 is past both windows
        {GenerateRandomCpuInputA, "A", 96, PLAYER_FREE, 0},
        {GenerateRandomCpuInputA, "A", 96, KNOCKED_BACK, 1},
        {GenerateRandomCpuInputA, "A", 135, PLAYER_FREE, 1},  // the A window starts again
        {GenerateRandomCpuInputA, "A", 230, PLAYER_DASH, 3},  // 230 mod 135 = 95 is just past it
        {GenerateRandomCpuInputB, "B", 0, PLAYER_FREE, 4},
        {GenerateRandomCpuInputB, "B", 29, PLAYER_FREE, 2},
        {GenerateRandomCpuInputB, "B", 30, PLAYER_FREE, 3},
        {GenerateRandomCpuInputB, "B", 61, PLAYER_FREE, 0},
        {GenerateRandomCpuInputB, "B", 61, KNOCKED_BACK, 1},
        {GenerateRandomCpuInputB, "B", 250, 40, 3},
    };
    for (const auto& c : cases) {
        self().counter = c.counter;
        self().state = c.state;
        EXPECT_EQ(Run(c.generator).second, c.calls) << c.name << " at counter " << c.counter << " state " << c.state;
    }
}

TEST_F(ComputerPlayer, BaseWordFollowsItsDrawsAndLastsBetweenTicks) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SeedRandom(seed);
        self().counter = 0;
        self().state = PLAYER_FREE;
        const uint32_t before = GetRandomState();
        const InputWord word = Run(GenerateRandomCpuInputA).first;
        InputWord expected = static_cast<InputWord>(DrawnRandomInt(before, 0, 0, 255));
        if (DrawnRandomInt(before, 1, 0, 200) < 180) expected &= ~INPUT_C;
        if (DrawnRandomInt(before, 2, 0, 200) < 140) expected |= INPUT_A;
        if (DrawnRandomInt(before, 3, 0, 200) < 180) expected &= INPUT_COUNTDOWN_MASK;
        ASSERT_EQ(word, expected) << "seed " << seed;
        EXPECT_EQ(cpuRandomWordA, word);

        // Outside every window the word stays, and generator B leaves it alone.
        self().counter = 96;
        EXPECT_EQ(Run(GenerateRandomCpuInputA), std::make_pair(expected, 0));
        Run(GenerateRandomCpuInputB);
        EXPECT_EQ(cpuRandomWordA, expected);

        // Knocked back, the word is cleared by a draw below 150 and stays cleared.
        self().state = KNOCKED_BACK;
        const uint32_t hit = GetRandomState();
        const InputWord knocked = Run(GenerateRandomCpuInputA).first;
        EXPECT_EQ(knocked, DrawnRandomInt(hit, 0, 0, 200) < 150 ? 0 : expected) << "seed " << seed;
        self().state = PLAYER_FREE;
        EXPECT_EQ(Run(GenerateRandomCpuInputA).first, knocked);
    }
}

TEST_F(ComputerPlayer, AimAddsTheArrowsTowardTheOpponent) {
    const struct {
        float x, y;  // the computer; the opponent stands at the origin
        InputWord before, after;
    } cases[] = {
        {50, 0, 0, INPUT_LEFT},
        {-50, 0, 0, INPUT_RIGHT},
        {0, 30, 0, INPUT_DOWN},
        {0, -30, 0, INPUT_UP},
        {-1, -1, 0, INPUT_RIGHT | INPUT_UP},
        {0, 0, 0, 0},
        {50, 50, INPUT_RIGHT | INPUT_Z, INPUT_RIGHT | INPUT_LEFT | INPUT_DOWN | INPUT_Z},  // both ways at once
    };
    for (const auto& c : cases) {
        self().x = c.x;
        self().y = c.y;
        InputWord word = c.before;
        const uint32_t before = GetRandomState();
        AimCpuAtOpponent(&word, SIDE);
        EXPECT_EQ(word, c.after) << c.x << ", " << c.y;
        EXPECT_EQ(GetRandomState(), before);
    }
}

TEST_F(ComputerPlayer, DifficultyZeroOrAnUnknownCharacterPlaysTheBaseWordOnly) {
    const struct {
        int32_t difficulty;
        int32_t characterId;
        Generator expected;
    } cases[] = {
        {0, 1, GenerateRandomCpuInputA}, {0, 2, GenerateRandomCpuInputA}, {0, 3, GenerateRandomCpuInputA},
        {0, 4, GenerateRandomCpuInputA}, {0, 5, GenerateRandomCpuInputA}, {0, 6, GenerateRandomCpuInputA},
        {0, 7, GenerateRandomCpuInputA}, {0, 8, GenerateRandomCpuInputA}, {2, 0, GenerateRandomCpuInputA},
        {1, 9, GenerateRandomCpuInputA}, {1, 1, GenerateCpuInputKirune},  {1, 2, GenerateCpuInputBemo},
        {1, 3, GenerateCpuInputOza},     {1, 4, GenerateCpuInputPerila},  {1, 5, GenerateCpuInputRuo},
        {1, 6, GenerateCpuInputTorvi},   {2, 7, GenerateCpuInputNebu},    {2, 8, GenerateCpuInputWelo},
    };
    for (const auto& c : cases) {
        difficulty = c.difficulty;
        std::vector<InputWord> dispatched, direct;
        for (int pass = 0; pass < 2; ++pass) {
            cpuRandomWordA = cpuRandomWordB = 0;
            SeedRandom(77);
            for (int32_t f = 0; f < 400; ++f) {
                ScriptFrame(f);
                self().characterId = c.characterId;
                InputWord word = 0;
                (pass == 0 ? GenerateCpuInput : c.expected)(&word, SIDE);
                (pass == 0 ? dispatched : direct).push_back(word);
            }
        }
        EXPECT_EQ(dispatched, direct) << "difficulty " << c.difficulty << " character " << c.characterId;
    }
}

TEST_F(ComputerPlayer, AimWindowAddsArrowsOnlyInItsPartOfTheCounter) {
    // Kirune aims while (counter + 777) mod 300 is below 200: counters 123..299
    // and 0..22 of every 300.
    Place(-120.0f);  // the opponent is to the right: RIGHT
    opponent().y = 40.0f;  // and above: UP
    int32_t without = 0;
    for (int32_t c = 0; c < 600; ++c) {
        self().counter = c;
        const InputWord word = Run(GenerateCpuInputKirune).first;
        const bool window = (c + 777) % 300 < 200;
        if (window) {
            EXPECT_EQ(word & (INPUT_RIGHT | INPUT_UP), INPUT_RIGHT | INPUT_UP) << "counter " << c;
        } else {
            without += (word & (INPUT_RIGHT | INPUT_UP)) != (INPUT_RIGHT | INPUT_UP);
        }
    }
    EXPECT_GT(without, 100);  // outside the window the arrows are the base word's own
}

// Every routine draws the hyper window; only at difficulty 2 does it press
// A+C+Z, on the counters where (draw + counter) mod 50 is below 10 while the
// opponent is knocked back and the gauge is full.
TEST_F(ComputerPlayer, HyperWindowIsDrawnEveryFrameButFiresOnlyAtHard) {
    for (const NamedRoutine& r : routines) {
        // The routines whose own rules answer a close knocked-back opponent
        // with a word of their own, which is never A+C+Z.
        const bool answers = r.characterId == 1 || r.characterId == 2 || r.characterId == 5 ||
                             r.characterId == 7 || r.characterId == 8;
        std::vector<int32_t> calls[3];
        for (int32_t level : {1, 2}) {
            difficulty = level;
            SeedRandom(99);
            cpuRandomWordA = cpuRandomWordB = 0;
            Place(100.0f);
            opponent().state = KNOCKED_BACK;
            self().hyperGauge = 3.0f;
            int32_t fired = 0;
            for (int32_t c = 1; c <= 150; ++c) {
                self().counter = c;
                const uint32_t before = GetRandomState();
                const auto [word, n] = Run(r.routine);
                calls[level].push_back(n);
                const bool window = (DrawnRandomInt(before, n - 1, 0, 100) + c) % 50 < 10;
                if (level == 2 && window) {
                    EXPECT_EQ(word, INPUT_A | INPUT_C | INPUT_Z) << r.name << " counter " << c;
                    ++fired;
                } else if (answers) {
                    EXPECT_NE(word, INPUT_A | INPUT_C | INPUT_Z) << r.name << " counter " << c << " level " << level;
                }
            }
            if (level == 2) {
                EXPECT_GT(fired, 10) << r.name;
            }
        }
        EXPECT_EQ(calls[1], calls[2]) << r.name << ": difficulty changes no draw here";
    }
}

TEST_F(ComputerPlayer, BurstAtHardAlternatesReleaseAndSByTimerParity) {
    const struct {
        int32_t damage, hits;  // the burst thresholds of the routine
    } limits[] = {{500, 5}, {800, 8}, {800, 8}, {800, 8}, {800, 4}, {1000, 10}, {500, 5}, {500, 5}};
    const struct {
        int32_t difficulty;
        int32_t state;
        float gauge;
        int32_t damageOver, hitsOver;  // added to the thresholds
        bool bursts;
    } cases[] = {
        {2, KNOCKED_BACK, 1.0f, 1, -100, true},
        {2, KNOCKED_BACK, 1.0f, -1000, 1, true},
        {2, KNOCKED_BACK, 3.0f, 1, 1, true},
        {2, KNOCKED_BACK, 1.0f, 0, 0, false},  // at the thresholds, not above
        {2, KNOCKED_BACK, 0.99f, 1, 1, false},
        {1, KNOCKED_BACK, 1.0f, 1, 1, false},
        {2, PLAYER_FREE, 1.0f, 1, 1, false},
        {2, PLAYER_BURST, 1.0f, 1, 1, false},
    };
    for (size_t i = 0; i < std::size(routines); ++i) {
        const NamedRoutine& r = routines[i];
        for (const auto& c : cases) {
            difficulty = c.difficulty;
            self().state = c.state;
            self().hyperGauge = c.gauge;
            opponent().comboDamage = limits[i].damage + c.damageOver;
            self().comboHits = limits[i].hits + c.hitsOver;
            for (int32_t t = 20; t < 26; ++t) {
                self().stateTimer = t;
                self().counter = t * 7;
                const InputWord word = Run(r.routine).first;
                // No base word and no rule holds S: it comes from the burst only.
                if (c.bursts) {
                    EXPECT_EQ(word, t % 2 ? INPUT_S : 0) << r.name << " timer " << t;
                } else {
                    EXPECT_EQ(word & INPUT_S, 0) << r.name << " timer " << t << " difficulty " << c.difficulty;
                }
            }
        }
    }
}

// The rules whose word does not depend on a draw: the computer at difficulty
// 1 (no hyper window, no burst), far from its opponent unless told.
TEST_F(ComputerPlayer, RulesPressTheirWords) {
    constexpr InputWord AZ = INPUT_A | INPUT_Z, AX = INPUT_A | INPUT_X, AC = INPUT_A | INPUT_C;
    const struct {
        Generator routine;
        const char* name;
        int32_t state, timer;
        bool opponentHit;
        float gauge;
        int32_t modeFlag;
        float distance;
        int32_t difficulty;
        int32_t counter;
        InputWord word;
        float height = 0.0f;  // the computer above its opponent
    } cases[] = {
        {GenerateCpuInputKirune, "kirune slash", 10, 12, true, 0, 0, 500, 1, 1, 0},
        {GenerateCpuInputKirune, "kirune slash", 10, 13, true, 0, 0, 500, 1, 1, AZ},
        {GenerateCpuInputKirune, "kirune second slash", 11, 12, true, 0, 0, 500, 1, 1, 0},
        {GenerateCpuInputKirune, "kirune close to a hit opponent", 0, 0, true, 0, 0, 199, 1, 1, AZ},
        {GenerateCpuInputBemo, "bemo side shot", 29, 14, true, 0, 0, 500, 1, 1, 0},
        {GenerateCpuInputBemo, "bemo side shot", 29, 15, true, 0, 0, 500, 1, 1, AZ},
        {GenerateCpuInputBemo, "bemo vortex held", 28, 11, false, 0, 0, 500, 1, 1, INPUT_C},
        {GenerateCpuInputBemo, "bemo vortex held", 28, 59, false, 0, 0, 500, 1, 1, INPUT_C},
        {GenerateCpuInputBemo, "bemo vortex held longer at hard", 28, 60, false, 0, 0, 500, 2, 1, INPUT_C},
        {GenerateCpuInputBemo, "bemo vortex held longer at hard", 28, 79, false, 0, 0, 500, 2, 1, INPUT_C},
        {GenerateCpuInputBemo, "bemo close to a hit opponent", 0, 0, true, 0, 0, 149, 1, 1, AZ},
        {GenerateCpuInputRuo, "ruo lunge", 63, 14, true, 0, 0, 500, 1, 1, 0},
        {GenerateCpuInputRuo, "ruo lunge", 63, 15, true, 0, 0, 500, 1, 1, AZ},
        {GenerateCpuInputRuo, "ruo second stroke", 64, 15, true, 0, 0, 500, 1, 1, AZ},
        {GenerateCpuInputRuo, "ruo third stroke", 65, 14, true, 1.0f, 110, 500, 1, 1, 0},
        {GenerateCpuInputRuo, "ruo third stroke powered", 65, 15, true, 1.0f, 110, 500, 1, 1, AC},
        {GenerateCpuInputRuo, "ruo third stroke unpowered", 65, 15, true, 1.0f, 0, 500, 1, 1, AZ},
        {GenerateCpuInputRuo, "ruo third stroke without gauge", 65, 15, true, 0.9f, 110, 500, 1, 1, AZ},
        {GenerateCpuInputRuo, "ruo high attack on the counter", 0, 0, false, 1.0f, 0, 500, 2, 88, AC},
        {GenerateCpuInputRuo, "ruo high attack on the counter", 0, 0, false, 1.0f, 0, 500, 2, 176, AC},
        {GenerateCpuInputRuo, "ruo near a hit opponent", 0, 0, true, 0, 0, 299, 1, 1, AZ},
        {GenerateCpuInputTorvi, "torvi volley held", 77, 11, false, 0, 0, 500, 1, 1, INPUT_X},
        {GenerateCpuInputTorvi, "torvi volley held", 77, 39, false, 0, 0, 500, 1, 1, INPUT_X},
        {GenerateCpuInputNebu, "nebu chain", 97, 12, true, 0, 0, 500, 1, 1, 0},
        {GenerateCpuInputNebu, "nebu chain", 97, 13, true, 0, 0, 500, 1, 1, INPUT_Z},
        {GenerateCpuInputNebu, "nebu volley", 98, 20, true, 3.0f, 0, 500, 1, 1, 0},
        {GenerateCpuInputNebu, "nebu volley to hyper", 98, 21, true, 3.0f, 0, 500, 1, 1, INPUT_A | INPUT_C | INPUT_Z},
        {GenerateCpuInputNebu, "nebu volley to high", 98, 21, true, 1.0f, 0, 500, 1, 1, INPUT_C | INPUT_X},
        {GenerateCpuInputNebu, "nebu volley up close", 98, 21, true, 0.5f, 0, 79, 1, 1, AX},
        {GenerateCpuInputNebu, "nebu volley from afar", 98, 21, true, 0.5f, 0, 80, 1, 1, INPUT_X},
        // The squared distance is taken in double: 6399.99977 here, where a
        // sum of float squares rounds to 6400.
        {GenerateCpuInputNebu, "nebu volley a hair within 80, off the axis", 98, 21, true, 0.5f, 0, 79.9964828f, 1, 1,
         AX, 0.75f},
        {GenerateCpuInputNebu, "nebu close to a hit opponent", 0, 0, true, 0, 0, 199, 1, 1, AZ},
        {GenerateCpuInputWelo, "welo slash", 111, 12, true, 0, 0, 500, 1, 1, 0},
        {GenerateCpuInputWelo, "welo back slash", 112, 13, true, 1.0f, 0, 500, 1, 1, AC},
        {GenerateCpuInputWelo, "welo back slash without gauge", 112, 13, true, 0.5f, 0, 500, 1, 1, AZ},
        {GenerateCpuInputWelo, "welo thrust", 116, 12, true, 0, 0, 500, 1, 1, 0},
        {GenerateCpuInputWelo, "welo thrust", 116, 13, true, 0, 0, 500, 1, 1, INPUT_Z},
        {GenerateCpuInputWelo, "welo near a hit opponent", 0, 0, true, 0, 0, 299, 1, 1, AX},
    };
    for (const auto& c : cases) {
        for (unsigned seed : {1u, 2u, 3u}) {
            SeedRandom(seed);
            difficulty = c.difficulty;
            self().state = c.state;
            self().stateTimer = c.timer;
            self().hyperGauge = c.gauge;
            self().modeFlag = c.modeFlag;
            self().counter = c.counter;
            opponent().state = c.opponentHit ? KNOCKED_BACK : PLAYER_FREE;
            Place(c.distance);
            self().y = c.height;
            EXPECT_EQ(Run(c.routine).first, c.word) << c.name << " timer " << c.timer << " seed " << seed;
        }
    }
}

// The high-attack rules of oza, perila (gauge 1.0 to 2.5) and torvi (1.0 to
// 2.2) draw their chance only inside the gauge window; the bounds are the
// decimal values, so a gauge of 2.2f (just above 2.2) is outside torvi's.
TEST_F(ComputerPlayer, HighAttackRulesDrawOnlyInsideTheirGaugeWindow) {
    const struct {
        Generator routine;
        const char* name;
        float gauge;
        bool draws;
    } cases[] = {
        {GenerateCpuInputOza, "oza", 0.99f, false},
        {GenerateCpuInputOza, "oza", 1.0f, true},
        {GenerateCpuInputOza, "oza", 2.5f, true},
        {GenerateCpuInputOza, "oza", std::nextafter(2.5f, 3.0f), false},
        {GenerateCpuInputPerila, "perila", 1.0f, true},
        {GenerateCpuInputPerila, "perila", 2.5f, true},
        {GenerateCpuInputPerila, "perila", std::nextafter(2.5f, 3.0f), false},
        {GenerateCpuInputTorvi, "torvi", 0.99f, false},
        {GenerateCpuInputTorvi, "torvi", 1.0f, true},
        {GenerateCpuInputTorvi, "torvi", std::nextafter(2.2f, 0.0f), true},
        {GenerateCpuInputTorvi, "torvi", 2.2f, false},
    };
    for (const auto& c : cases) {
        opponent().state = KNOCKED_BACK;
        Place(100.0f);
        self().counter = 5;
        const auto drawsAt = [&](float gauge) {
            SeedRandom(7);
            self().hyperGauge = gauge;
            return Run(c.routine).second;
        };
        EXPECT_EQ(drawsAt(c.gauge) - drawsAt(0.5f), c.draws ? 1 : 0) << c.name << " at gauge " << c.gauge;
    }
}

// The chain steps that draw for their button: the draw before the hyper
// window's decides.
TEST_F(ComputerPlayer, DrawnChainStepsFollowTheirDraw) {
    const struct {
        Generator routine;
        const char* name;
        int32_t state;
        int32_t atMost;  // a draw up to this presses `low`, above it `high`
        InputWord low, high;
    } cases[] = {
        {GenerateCpuInputKirune, "kirune", 11, 100, INPUT_Z, INPUT_A | INPUT_Z},
        {GenerateCpuInputWelo, "welo", 111, 150, INPUT_X, INPUT_A | INPUT_Z},
    };
    for (const auto& c : cases) {
        int32_t seen[2] = {0, 0};
        for (unsigned seed = 1; seed <= 60; ++seed) {
            SeedRandom(seed);
            self().state = c.state;
            self().stateTimer = 13;
            self().counter = static_cast<int32_t>(seed);
            opponent().state = KNOCKED_BACK;
            const uint32_t before = GetRandomState();
            const auto [word, n] = Run(c.routine);
            const bool low = DrawnRandomInt(before, n - 2, 0, 200) <= c.atMost;
            EXPECT_EQ(word, low ? c.low : c.high) << c.name << " seed " << seed;
            ++seen[low];
        }
        EXPECT_GT(seen[0], 0) << c.name;
        EXPECT_GT(seen[1], 0) << c.name;
    }
}

TEST_F(ComputerPlayer, PerilasFormationKeepsZAndDropsX) {
    // The seventh orb's type decides; a shorter list (emptied at a knock-out)
    // is read safely and changes nothing.
    const struct {
        size_t objects;
        int32_t seventhType;
        bool formation;
    } cases[] = {{7, 302, true}, {9, 302, true}, {7, 300, false}, {6, 302, false}, {0, 0, false}};
    for (const auto& c : cases) {
        self().objects.assign(c.objects, PlayerObject{});
        for (auto& o : self().objects) o.type = 302;
        if (c.objects >= 7) self().objects[6].type = c.seventhType;
        SeedRandom(5);
        int32_t withX = 0;
        for (int32_t counter = 0; counter < 200; ++counter) {
            self().counter = counter;
            const InputWord word = Run(GenerateCpuInputPerila).first;
            if (c.formation) {
                EXPECT_TRUE(word & INPUT_Z) << counter;
                EXPECT_FALSE(word & INPUT_X) << counter;
            }
            withX += (word & INPUT_X) != 0;
        }
        if (!c.formation) {
            EXPECT_GT(withX, 0) << c.objects << " objects";
        }
    }
}

// Side 1's word by game mode: the computer plays it against the computer and
// in the arcade (unmasked by the countdown), and in practice it runs and draws
// but the dummy stands still; a paused battle draws nothing.
TEST_F(ComputerPlayer, ReadPlayerInputRunsTheComputerForSideOneByMode) {
    const struct {
        int32_t mode;
        uint8_t paused;
        bool computerDraws;
        bool computerWord;
    } cases[] = {
        {MODE_1P_VS_CPU, 0, true, true},  {MODE_ARCADE, 0, true, true},      {MODE_PRACTICE, 0, true, false},
        {MODE_1P_VS_CPU, 1, false, false}, {MODE_ARCADE, 1, false, false},   {MODE_PRACTICE, 1, false, false},
        {MODE_1P_VS_2P, 0, false, false},
    };
    difficulty = DIFFICULTY_HARD;
    self().characterId = 5;
    startCountdown = 150;  // a human's word would be all masked
    for (const auto& c : cases) {
        for (int32_t counter = 0; counter < 40; ++counter) {
            self().counter = counter;
            SeedRandom(counter + 1);
            cpuRandomWordA = 0;
            InputWord expected = 0;
            GenerateCpuInput(&expected, SIDE);
            const uint32_t after = GetRandomState();

            SeedRandom(counter + 1);
            cpuRandomWordA = 0;
            gameMode = c.mode;
            battlePaused = c.paused;
            inputWords[SIDE] = 0xFFFF;
            const uint32_t before = GetRandomState();
            ReadPlayerInput(SIDE);
            EXPECT_EQ(inputWords[SIDE], c.computerWord ? expected : 0) << "mode " << c.mode << " counter " << counter;
            EXPECT_EQ(GetRandomState(), c.computerDraws ? after : before) << "mode " << c.mode;
        }
    }
}

}  // namespace
