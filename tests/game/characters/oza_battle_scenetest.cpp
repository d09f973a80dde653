// Kirune against oza through the battle scene to a knock-out: oza goes
// through every one of its moves, the run is repeated with the same states
// frame by frame, then saved as a replay, read back and played back with the
// same states and the same result.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/player_record.h"
#include "game/characters/oza.h"
#include "game/flow/replay_file.h"
#include "tests/support/battle_run.h"

namespace {

constexpr int FRAME_LIMIT = 30000;
// Oza spends its gauge on high attacks until this frame, then saves it for
// the hyper attack.
constexpr int32_t SAVE_FOR_HYPER_FROM = 5000;

InputWord Toward(const PlayerRecord& self, const PlayerRecord& other) {
    const float dx = other.x - self.x;
    const float dy = other.y - self.y;
    InputWord toward = 0;
    if (std::fabs(dx) > 150.0f) toward |= dx > 0.0f ? INPUT_RIGHT : INPUT_LEFT;
    if (std::fabs(dy) > 60.0f) toward |= dy > 0.0f ? INPUT_UP : INPUT_DOWN;
    return toward;
}

// Kirune (side 0) drifts about, shooting and slashing now and then.
InputWord Kirune(int32_t frame) {
    if (frame % 170 < 2) return INPUT_Z;
    if (frame % 230 < 2) return INPUT_X;
    if (frame % 310 < 2) return INPUT_Z | INPUT_A;
    if (frame % 120 < 30) return INPUT_UP;
    if (frame % 120 >= 60 && frame % 120 < 90) return INPUT_DOWN;
    return 0;
}

// Oza (side 1) keeps its distance and plays its buttons in turn, one move
// every 50 frames: the shot, the volley (Z held), the moving volley, a mine,
// the spray and the fan; with a full gauge of 1.0 a high attack (C alone,
// with X, with V, with A in turn), and late in the battle the hyper attack.
InputWord Oza(const PlayerRecord& self, const PlayerRecord& other, int32_t frame) {
    if (self.state == PLAYER_KNOCKED_BACK) return frame % 4 == 0 ? INPUT_S : 0;  // a burst when it can
    if (frame >= SAVE_FOR_HYPER_FROM && self.hyperGauge >= 3.0f) return frame % 2 == 0 ? INPUT_C | INPUT_X | INPUT_Z : 0;
    if (frame < SAVE_FOR_HYPER_FROM && self.hyperGauge >= 1.0f && self.state == PLAYER_FREE) {
        constexpr InputWord highs[4] = {INPUT_C, INPUT_C | INPUT_X, INPUT_C | INPUT_V, INPUT_C | INPUT_A};
        return frame % 2 == 0 ? highs[frame / 300 % 4] : 0;
    }
    const int32_t t = frame % 50;
    constexpr InputWord moves[6] = {INPUT_Z, INPUT_Z, INPUT_Z | INPUT_V, INPUT_Z | INPUT_A, INPUT_X, INPUT_X | INPUT_A};
    const int32_t move = frame / 50 % 6;
    if (move == 1 && t < 14) return INPUT_Z;  // held through its frame 9: the volley
    if (t < 2) return moves[move];
    return t > 30 ? Toward(self, other) : 0;
}

TEST(OzaScene, EveryMoveInABattleToAKnockOutThatReplaysFrameForFrame) {
    std::set<int32_t> visited;
    const auto script = [&](int side, int32_t frame) -> InputWord {
        const PlayerRecord& self = players[side];
        if (side == 1) visited.insert(self.state);
        return side == 0 ? Kirune(frame) : Oza(self, players[0], frame);
    };
    test::BattleRun run;
    test::BattleSetup setup;
    setup.characters[1] = 3;
    setup.difficulty = DIFFICULTY_HARD;  // side 1's gauge fills a little every frame
    setup.noTimeLimit = 1;               // the fight ends by a knock-out
    run.SetScript(script);
    run.Start(setup);
    run.RunToEnd(FRAME_LIMIT);
    ASSERT_TRUE(run.ended());
    ASSERT_EQ(sceneNumber, SCENE_RESULT);
    for (int32_t state = OZA_VOLLEY; state <= OZA_HYPER; ++state)
        EXPECT_TRUE(visited.count(state)) << "oza never entered state " << state;
    for (int32_t state : {PLAYER_DASH, PLAYER_KNOCKED_BACK})
        EXPECT_TRUE(visited.count(state)) << "oza never entered state " << state;
    const int32_t loser = 1 - winnerSide;
    ASSERT_EQ(players[loser].state, PLAYER_KNOCKED_OUT);
    ASSERT_EQ(players[loser].life, 0);
    const std::vector<uint64_t> live = run.hashes();
    const BattleResult result = battleResult;

    run.Start(setup);
    run.RunToEnd(FRAME_LIMIT);
    EXPECT_EQ(run.hashes(), live);
    EXPECT_EQ(battleResult, result);

    ASSERT_TRUE(WriteReplayFile({winnerSide, players[winnerSide].bestComboDamage, players[winnerSide].bestComboHits}));
    const std::string path = replayFileName;
    run.SetScript(nullptr);  // nobody at the controls
    ASSERT_TRUE(run.StartPlayback(path.c_str()));
    run.RunToEnd(FRAME_LIMIT);
    EXPECT_EQ(sceneNumber, SCENE_RESULT);
    ASSERT_EQ(run.hashes().size(), live.size());
    for (size_t f = 0; f < live.size(); ++f) ASSERT_EQ(run.hashes()[f], live[f]) << "playback differs at frame " << f;
    EXPECT_EQ(battleResult, result);
}

}  // namespace
