// Kirune against kirune through the battle scene to a knock-out: twice with
// the same states frame by frame, then saved as a replay, read back and played
// back with the same states and the same result.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/flow/replay_file.h"
#include "tests/support/battle_run.h"

namespace {

constexpr int FRAME_LIMIT = 30000;

// Side 0 closes in and slashes; side 1 keeps shooting, charging and slipping
// away upward now and then. Both take the arrows toward the other.
InputWord Fighter(int side, int32_t frame) {
    const PlayerRecord& self = players[side];
    const PlayerRecord& other = players[1 - side];
    const float dx = other.x - self.x;
    const float dy = other.y - self.y;
    InputWord toward = 0;
    if (std::fabs(dx) > 40.0f) toward |= dx > 0.0f ? INPUT_RIGHT : INPUT_LEFT;
    if (std::fabs(dy) > 40.0f) toward |= dy > 0.0f ? INPUT_UP : INPUT_DOWN;
    if (side == 0) {
        if (toward && frame % 50 < 40) return toward;
        return frame % 14 < 2 ? INPUT_Z | INPUT_A : frame % 97 == 0 ? INPUT_V : 0;
    }
    if (frame % 45 < 2) return INPUT_X;
    if (frame % 130 < 12) return INPUT_UP;
    if (frame % 211 < 30) return INPUT_Z;
    return frame % 300 < 2 ? INPUT_C | INPUT_X : 0;
}

TEST(KiruneScene, AKnockOutReplaysFrameForFrameAndFromItsFile) {
    test::BattleRun run;
    test::BattleSetup setup;
    setup.noTimeLimit = 1;  // the fight ends by a knock-out
    run.SetScript(Fighter);
    run.Start(setup);
    run.RunToEnd(FRAME_LIMIT);
    ASSERT_TRUE(run.ended());
    ASSERT_EQ(sceneNumber, SCENE_RESULT);
    const int32_t loser = 1 - winnerSide;
    ASSERT_EQ(players[loser].state, PLAYER_KNOCKED_OUT);
    ASSERT_EQ(players[loser].life, 0);
    const std::vector<uint64_t> live = run.hashes();
    const BattleResult result = battleResult;
    // Each unpaused frame recorded both sides' final words.
    EXPECT_EQ(replayInputs[0].size(), static_cast<size_t>(battleFrame));
    EXPECT_EQ(replayInputs[1].size(), static_cast<size_t>(battleFrame));

    run.Start(setup);
    run.RunToEnd(FRAME_LIMIT);
    EXPECT_EQ(run.hashes(), live);
    EXPECT_EQ(battleResult, result);

    test::ExpectPlaybackMatches(run, live, FRAME_LIMIT);
}

}  // namespace
