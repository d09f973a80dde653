// Kirune against kirune: a scripted battle that runs to a knock-out, twice
// with the same states frame by frame, and once more from its replay file.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "engine/core/math.h"
#include "game/characters/kirune.h"
#include "tests/support/recorded_battle.h"

namespace {

// A word held for `frames` frames from frame `at` of the script's period.
// TOWARD stands for the arrow toward the opponent, HIGH for C with X, with A,
// alone or not at all in turn from period to period.
struct Hold {
    int32_t at;
    int32_t frames;
    InputWord word;
};

constexpr InputWord TOWARD = 0x8000;
constexpr InputWord HIGH = 0x4000;

// Shots, the charge, spread and rapid fire, dashes, the sword chain, the
// charging slash, the shield and the high and hyper attacks, on both sides.
constexpr Hold side0Script[] = {
    {0, 2, INPUT_Z},
    {40, 40, INPUT_Z},
    {90, 2, INPUT_X},
    {135, 12, INPUT_X},
    {175, 8, INPUT_V | TOWARD},
    {185, 2, INPUT_Z | INPUT_A},
    {198, 2, INPUT_Z | INPUT_A},
    {211, 2, INPUT_Z | INPUT_A},
    {240, 2, HIGH},
    {255, 2, INPUT_S},
    {275, 2, INPUT_X | INPUT_A},
    {282, 15, INPUT_LEFT | INPUT_DOWN},
};
constexpr int32_t side0Period = 300;

constexpr Hold side1Script[] = {
    {10, 2, INPUT_X},
    {50, 3, INPUT_V | INPUT_DOWN},
    {60, 2, INPUT_Z | INPUT_A},
    {75, 2, INPUT_Z | INPUT_A},
    {95, 2, INPUT_Z | INPUT_A},
    {160, 30, INPUT_Z},
    {220, 2, INPUT_Z | INPUT_V},
    {240, 10, INPUT_RIGHT | INPUT_UP},
};
constexpr int32_t side1Period = 260;

template <size_t N>
InputWord Scripted(const Hold (&script)[N], int32_t period, int32_t frame) {
    const int32_t t = frame % period;
    for (const Hold& h : script)
        if (t >= h.at && t < h.at + h.frames) return h.word;
    return 0;
}

// A player's word: the script, with the arrow toward the opponent filled in,
// side 0 trying a burst now and then while knocked back, side 1 starting its
// hyper attack once its gauge is full, and the chasing slash when a charged
// shot has knocked the opponent back.
InputWord PlayerWord(int side, int32_t frame) {
    InputWord word = side == 0 ? Scripted(side0Script, side0Period, frame) : Scripted(side1Script, side1Period, frame);
    const PlayerRecord& self = players[side];
    const PlayerRecord& other = players[1 - side];
    if (word & TOWARD) word = static_cast<InputWord>((word & ~TOWARD) | (self.x < other.x ? INPUT_RIGHT : INPUT_LEFT));
    if (word & HIGH) {
        constexpr InputWord variants[4] = {INPUT_C | INPUT_X, INPUT_C | INPUT_A, INPUT_C, 0};
        word = variants[frame / side0Period % 4];
    }
    if (side == 0 && self.state == PLAYER_KNOCKED_BACK && frame % 5 == 0) word |= INPUT_Z | INPUT_X;
    if (side == 1 && self.hyperGauge >= 3.0f) word = frame % 2 == 0 ? INPUT_C | INPUT_X | INPUT_Z : 0;
    if (self.state == KIRUNE_CHARGED_SHOT && self.stateTimer > 100 && other.state == PLAYER_KNOCKED_BACK)
        word = frame % 2 == 0 ? INPUT_X : 0;
    return word;
}

// Side 1 gains hyper gauge at HARD, so that its hyper attack comes too.
constexpr ReplayMatch kMatch{1, 1, 0, 1, 1, MODE_1P_VS_2P, DIFFICULTY_HARD, 0, 0};

using KiruneBattle = test::RecordedBattleFixture;

TEST_F(KiruneBattle, RunsToAKnockOutTwiceAlikeAndAgainFromItsReplay) {
    std::set<int32_t> visited;
    const std::vector<uint64_t> first = Battle(kMatch, [&](int side, int32_t frame) {
        visited.insert(players[side].state);
        return PlayerWord(side, frame);
    });
    ASSERT_EQ(battleOver, 1);
    // The script reaches the knock-back, the dash and most moves (which ones
    // exactly depends on how the fight goes).
    for (const int32_t state : {PLAYER_KNOCKED_BACK, PLAYER_KNOCKED_OUT, PLAYER_DASH})
        EXPECT_TRUE(visited.count(state)) << state;
    EXPECT_GE(std::count_if(visited.begin(), visited.end(), [](int32_t s) { return s >= KIRUNE_SHOT; }), 12);
    ReplayMatch match;
    ExpectKnockOutThatReplays(kMatch, PlayerWord, first, [] {}, &match);
    EXPECT_EQ(match.p1CharacterId, 1);
    EXPECT_EQ(match.p2CharacterId, 1);
    EXPECT_EQ(match.difficulty, DIFFICULTY_HARD);
}

}  // namespace
