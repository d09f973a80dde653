// Nebu against kirune through the battle scene to a knock-out: a pilot walks
// nebu up to kirune and goes through every move, chain, high attack and the
// hyper attack; the battle runs twice with the same states frame by frame,
// and once more from its replay file.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/player_record.h"
#include "game/characters/nebu.h"
#include "game/flow/replay_file.h"
#include "tests/support/battle_run.h"

namespace {

constexpr int FRAME_LIMIT = 40000;
// Nebu plays side 1, which gains hyper gauge by itself at HARD.
constexpr int NEBU = 1;

// Nebu's controls: walks up to the opponent while free, then starts the next
// move of its round; follows the chains while the opponent is knocked back;
// spends the hyper gauge on the high attacks in turn and on the hyper attack.
// After two rounds of the plain moves it holds back until the hyper attack
// has come, so that the fight lasts until the gauge has filled.
class NebuPilot {
public:
    InputWord Word() {
        if (!queued_.empty()) {
            const InputWord w = queued_.front();
            queued_.pop_front();
            return w;
        }
        const PlayerRecord& self = players[NEBU];
        const PlayerRecord& other = players[1 - NEBU];
        const bool otherHit = other.state == PLAYER_KNOCKED_BACK;
        if (self.state == NEBU_CHAIN && self.stateTimer >= 11 && otherHit) return ++chains_ % 2 ? INPUT_Z : INPUT_X;
        if (self.state == NEBU_CHAIN_VOLLEY && self.stateTimer >= 11 && otherHit)
            return ++chains_ % 2 ? INPUT_X : INPUT_X | INPUT_A;
        if (self.state != PLAYER_FREE) return 0;
        // The rear storm turns into the closing ring only near the opponent.
        const bool stormNext = self.hyperGauge >= 1.0f && highs_ % 4 == 2;
        const float reach = stormNext ? 60.0f : 110.0f;
        const float dx = other.x - self.x, dy = other.y - self.y;
        if (dx * dx + dy * dy > reach * reach) {
            InputWord toward = 0;
            if (std::fabs(dx) > 10.0f) toward |= dx > 0.0f ? INPUT_RIGHT : INPUT_LEFT;
            if (std::fabs(dy) > 10.0f) toward |= dy > 0.0f ? INPUT_UP : INPUT_DOWN;
            return toward;
        }
        if (self.hyperGauge >= 3.0f && highs_ >= 4) {
            hyperDone_ = true;
            return INPUT_C | INPUT_X | INPUT_Z;
        }
        if (self.hyperGauge >= 1.0f && (highs_ < 4 || hyperDone_)) {
            constexpr InputWord highs[4] = {INPUT_C, INPUT_C | INPUT_V, INPUT_C | INPUT_X, INPUT_C | INPUT_A};
            return highs[highs_++ % 4];
        }
        if (moves_ >= 14 && !hyperDone_) return 0;
        switch (moves_++ % 7) {
        case 0: return INPUT_Z;
        case 1: Queue(INPUT_Z, 14); return INPUT_Z;  // held into the wheel
        case 2: Queue(INPUT_V | INPUT_Z, 1); return INPUT_V;  // V held from the frame before
        case 3: return INPUT_X;
        case 4: Queue(INPUT_X, 14); return INPUT_X;  // held into the beam
        case 5: return INPUT_Z | INPUT_A;
        default: return INPUT_X | INPUT_A;
        }
    }

private:
    void Queue(InputWord word, int frames) { queued_.insert(queued_.end(), frames, word); }

    std::deque<InputWord> queued_;
    int moves_ = 0;
    int highs_ = 0;
    int chains_ = 0;
    bool hyperDone_ = false;
};

// Kirune mostly stands and now and then fires a shot or a spread.
InputWord Kirune(int32_t frame) {
    if (frame % 300 == 0) return INPUT_Z;
    if (frame % 300 == 150) return INPUT_X;
    return 0;
}

TEST(NebuScene, EveryMoveToAKnockOutReplaysFrameForFrameAndFromItsFile) {
    test::BattleRun run;
    test::BattleSetup setup;
    setup.characters[NEBU] = 7;
    setup.characters[1 - NEBU] = 1;
    setup.difficulty = DIFFICULTY_HARD;
    setup.noTimeLimit = 1;  // the fight ends by a knock-out
    std::set<int32_t> visited;
    auto pilotScript = [&visited](NebuPilot& pilot) {
        return [&visited, &pilot](int side, int32_t frame) -> InputWord {
            if (side != NEBU) return Kirune(frame);
            visited.insert(players[NEBU].state);
            return pilot.Word();
        };
    };
    NebuPilot firstPilot;
    run.SetScript(pilotScript(firstPilot));
    run.Start(setup);
    run.RunToEnd(FRAME_LIMIT);
    ASSERT_TRUE(run.ended());
    ASSERT_EQ(sceneNumber, SCENE_RESULT);
    for (const int32_t state : {NEBU_TWIN_SHOT, NEBU_WHEEL, NEBU_ORBIT_SHOTS, NEBU_REAR_VOLLEY, NEBU_BEAM, NEBU_CHAIN,
                                NEBU_CHAIN_VOLLEY, NEBU_BURST_STRIKE, NEBU_SWEEP_BEAM, NEBU_STAR_BURST,
                                NEBU_REAR_STORM, NEBU_CLOSING_RING, NEBU_TRI_SPREAD, NEBU_FOUNTAIN})
        EXPECT_TRUE(visited.count(state)) << "nebu never entered state " << state;
    const int32_t loser = 1 - winnerSide;
    ASSERT_EQ(players[loser].state, PLAYER_KNOCKED_OUT);
    ASSERT_EQ(players[loser].life, 0);
    const std::vector<uint64_t> live = run.hashes();
    const BattleResult result = battleResult;

    NebuPilot secondPilot;
    run.SetScript(pilotScript(secondPilot));
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
