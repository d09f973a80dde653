// Kirune against oza through the battle scene to a knock-out: oza goes
// through every one of its moves, the run is repeated with the same states
// frame by frame, then saved as a replay, read back and played back with the
// same states and the same result.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/characters/oza.h"
#include "tests/support/battle_run.h"
#include "tests/support/character_battle.h"

namespace {

constexpr int FRAME_LIMIT = 30000;

InputWord Toward(const PlayerRecord& self, const PlayerRecord& other) { return test::Toward(self, other, 150.0f, 60.0f); }

// Kirune (side 0) drifts about, shooting and slashing now and then.
InputWord Kirune(int32_t frame) {
    if (frame % 250 < 2) return INPUT_Z;
    if (frame % 410 < 2) return INPUT_X;
    if (frame % 530 < 2) return INPUT_Z | INPUT_A;
    if (frame % 120 < 30) return INPUT_UP;
    if (frame % 120 >= 60 && frame % 120 < 90) return INPUT_DOWN;
    return 0;
}

// Oza (side 1) tries each move it has not shown yet, one every 70 frames:
// the shot, the volley (Z held), the moving volley, a mine, the spray and
// the fan; the hyper attack first, once its gauge holds 3.0, then each high
// attack it has not shown yet once the gauge holds 1.0. With every move shown
// it goes on with shots, sprays and beams. It dodges up and down in between.
// The player remembers the states it has seen (the script sees each frame
// once), so each run starts with a fresh player.
class OzaPlayer {
public:
    InputWord Word(const PlayerRecord& self, const PlayerRecord& other, int32_t frame) {
        seen_.insert(self.state);
        if (self.hyperGauge >= 3.0f) return frame % 2 == 0 ? INPUT_C | INPUT_X | INPUT_Z : 0;
        const bool allShown = Shown(OZA_VOLLEY, OZA_HYPER);
        if (seen_.count(OZA_HYPER) && self.hyperGauge >= 1.0f && self.state == PLAYER_FREE) {
            constexpr struct {
                int32_t state;
                InputWord word;
            } highs[] = {{OZA_MINE_CROSS, INPUT_C | INPUT_A},
                         {OZA_WIDE_FAN, INPUT_C | INPUT_V},
                         {OZA_LARGE_SHOT, INPUT_C | INPUT_X},
                         {OZA_BEAM, INPUT_C}};
            for (const auto& h : highs)
                if (!seen_.count(h.state)) return frame % 2 == 0 ? h.word : 0;
            if (allShown) return frame % 2 == 0 ? INPUT_C : 0;
        }
        const int32_t t = frame % 70;
        constexpr struct {
            int32_t state;
            InputWord word;
            int32_t frames;  // held for
        } moves[] = {{OZA_SHOT, INPUT_Z, 2},
                     {OZA_VOLLEY, INPUT_Z, 14},  // held through its frame 9
                     {OZA_MOVING_VOLLEY, INPUT_Z | INPUT_V, 2},
                     {OZA_MINE, INPUT_Z | INPUT_A, 2},
                     {OZA_SPRAY, INPUT_X, 2},
                     {OZA_FAN, INPUT_X | INPUT_A, 2}};
        for (const auto& m : moves)
            if (!seen_.count(m.state)) return t < m.frames ? m.word : t > 60 ? Toward(self, other) : Dodge(frame);
        if (allShown && t < 2) return frame / 70 % 2 == 0 ? INPUT_Z : INPUT_X;
        return frame % 150 < 2 ? InputWord{INPUT_V} : Dodge(frame);
    }

    const std::set<int32_t>& seen() const { return seen_; }

private:
    static InputWord Dodge(int32_t frame) { return frame % 200 < 100 ? INPUT_UP : INPUT_DOWN; }
    bool Shown(int32_t from, int32_t to) const {
        for (int32_t state = from; state <= to; ++state)
            if (!seen_.count(state)) return false;
        return true;
    }

    std::set<int32_t> seen_;
};

TEST(OzaScene, EveryMoveInABattleToAKnockOutThatReplaysFrameForFrame) {
    OzaPlayer oza;
    const auto script = [&](int side, int32_t frame) -> InputWord {
        return side == 0 ? Kirune(frame) : oza.Word(players[1], players[0], frame);
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
        EXPECT_TRUE(oza.seen().count(state)) << "oza never entered state " << state;
    for (int32_t state : {PLAYER_DASH, PLAYER_KNOCKED_BACK})
        EXPECT_TRUE(oza.seen().count(state)) << "oza never entered state " << state;
    const int32_t loser = 1 - winnerSide;
    ASSERT_EQ(players[loser].state, PLAYER_KNOCKED_OUT);
    ASSERT_EQ(players[loser].life, 0);
    const std::vector<uint64_t> live = run.hashes();

    oza = OzaPlayer{};
    test::ExpectRerunAndPlaybackMatch(run, setup, live, FRAME_LIMIT);
}

}  // namespace
