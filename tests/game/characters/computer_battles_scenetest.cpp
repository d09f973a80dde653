// The computer against the computer through the real battle scene at HARD:
// every pairing of the eight characters on every stage, each fought to its
// end twice with the same states frame by frame and once more from its saved
// replay. Characters still on the stand-in fighter take part as they are, so
// a character that lands is fought here without new code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/arena/roster.h"
#include "game/battle/battle_scene.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "tests/support/battle_run.h"
#include "tests/support/computer_opponent.h"

namespace {

// The whole time limit, the start countdown and the knock-out's wind-down.
constexpr int FRAME_LIMIT = 99 * FRAMES_PER_TIMER_UNIT + 1000;
constexpr int32_t STAGE_COUNT = 9;

struct Pairing {
    int32_t side0, side1;
};

std::vector<Pairing> AllPairings() {
    std::vector<Pairing> pairings;
    for (int32_t a = 1; a <= CHARACTER_COUNT; ++a) {
        for (int32_t b = 1; b <= CHARACTER_COUNT; ++b) pairings.push_back({a, b});
    }
    return pairings;
}

struct Fought {
    std::vector<uint64_t> hashes;
    BattleResult result;
    int32_t winner;
};

// One battle to its end, from a fixed generator state (the battle start
// draws its seed from it).
Fought Fight(test::BattleRun& run, const test::BattleSetup& setup, uint32_t seed) {
    test::ComputerAtSideZero side0(seed * 7919u + 1u);
    run.SetScript(side0.Script());
    SeedRandom(seed);
    run.Start(setup);
    run.RunToEnd(FRAME_LIMIT);
    run.SetScript(nullptr);
    EXPECT_TRUE(run.ended());
    EXPECT_EQ(sceneNumber, SCENE_RESULT);
    const bool knockedOut = players[0].state == PLAYER_KNOCKED_OUT || players[1].state == PLAYER_KNOCKED_OUT;
    EXPECT_TRUE(knockedOut || battleTimer == 0) << "the battle ended neither by a knock-out nor by the time";
    for (int side = 0; side < 2; ++side) {
        const auto& words = replayInputs[side];
        EXPECT_GT(std::count_if(words.begin(), words.end(), [](InputWord w) { return w & ~INPUT_COUNTDOWN_MASK; }),
                  100)
            << "side " << side << " hardly pressed a button";
    }
    return {run.hashes(), battleResult, winnerSide};
}

// The same number of frames with the same state after each.
void ExpectSameFrames(const std::vector<uint64_t>& run, const std::vector<uint64_t>& reference, const char* what) {
    ASSERT_EQ(run.size(), reference.size()) << what;
    for (size_t f = 0; f < run.size(); ++f) ASSERT_EQ(run[f], reference[f]) << what << " differs at frame " << f;
}

class ComputerBattles : public testing::TestWithParam<Pairing> {};

TEST_P(ComputerBattles, EveryStageEndsTheSameTwiceAndFromItsReplay) {
    const Pairing pairing = GetParam();
    test::BattleRun run;
    run.UseRealDrawing(false);  // the picture carries no state these runs compare
    for (int32_t stage = 0; stage < STAGE_COUNT; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        test::BattleSetup setup;
        setup.characters[0] = pairing.side0;
        setup.characters[1] = pairing.side1;
        setup.stage = stage;
        setup.mode = MODE_1P_VS_CPU;
        setup.difficulty = DIFFICULTY_HARD;
        const uint32_t seed = static_cast<uint32_t>(pairing.side0 * 100 + pairing.side1 * 10 + stage);

        const Fought first = Fight(run, setup, seed);
        ASSERT_FALSE(first.hashes.empty());
        ASSERT_TRUE(WriteReplayFile({first.winner, players[first.winner].bestComboDamage,
                                     players[first.winner].bestComboHits}));
        const std::string path = replayFileName;

        const Fought second = Fight(run, setup, seed);
        ExpectSameFrames(second.hashes, first.hashes, "the second run");
        EXPECT_EQ(second.result, first.result);

        SeedRandom(seed + 1);  // playback takes its seed from the file
        ASSERT_TRUE(run.StartPlayback(path.c_str()));
        run.RunToEnd(FRAME_LIMIT);
        EXPECT_EQ(sceneNumber, SCENE_RESULT);
        ExpectSameFrames(run.hashes(), first.hashes, "the playback");
        EXPECT_EQ(battleResult, first.result);
        std::remove(path.c_str());
    }
}

INSTANTIATE_TEST_SUITE_P(AllPairings, ComputerBattles, testing::ValuesIn(AllPairings()),
                         [](const testing::TestParamInfo<Pairing>& info) {
                             return "c" + std::to_string(info.param.side0) + "_vs_c" +
                                    std::to_string(info.param.side1);
                         });

}  // namespace
