// Kirune (side 0) against bemo (side 1) through the battle scene: bemo's pilot
// works through every one of its moves, the high attacks and the hyper attack
// among them, until one side is knocked out; twice with the same states frame
// by frame, then saved as a replay, read back and played with the same states.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <set>
#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/characters/bemo.h"
#include "tests/support/battle_run.h"
#include "tests/support/character_battle.h"

namespace {

constexpr int FRAME_LIMIT = 30000;
constexpr int BEMO = 1;

using test::Toward;

// Kirune keeps its distance and shoots now and then.
InputWord Kirune(int32_t frame) {
    const PlayerRecord& self = players[0];
    const PlayerRecord& other = players[BEMO];
    if (frame % 90 < 2) return INPUT_Z;
    if (frame % 240 < 2) return INPUT_X;
    if (std::fabs(other.x - self.x) < 120.0f && frame % 30 < 10) return self.x < other.x ? INPUT_LEFT : INPUT_RIGHT;
    return 0;
}

// Bemo's pilot: whenever bemo is free it plays the next move of its round,
// as a short sequence of words. The hyper attack comes first once the gauge
// is full; the four high attacks follow as the gauge allows, and until they
// are through bemo only moves about, so that the fight lasts.
class BemoPilot {
public:
    InputWord Next() {
        const PlayerRecord& self = players[BEMO];
        if (!words_.empty()) {
            const InputWord w = words_.front();
            words_.pop_front();
            return w;
        }
        const bool free = self.state == PLAYER_FREE || self.state == PLAYER_DASH;
        if (!free || ++rest_ < 12) return 0;
        rest_ = 0;
        if (self.hyperGauge >= 3.0f && self.invulnerableTimer < 60) {
            Play({INPUT_C | INPUT_X | INPUT_Z});
        } else if (hyperDone() && self.hyperGauge >= 1.0f && self.invulnerableTimer < 60) {
            PlayHigh(high_++ % 4);
        } else if (hyperDone() && high_ < 4) {
            PlayMove(6 + move_++ % 2);  // only dashes and steps while the gauge refills
        } else {
            PlayMove(move_++ % 8);
        }
        return Next();
    }
    bool hyperDone() const { return visited.count(BEMO_MAELSTROM) != 0; }

    std::set<int32_t> visited;

private:
    void Play(std::initializer_list<InputWord> words) { words_.insert(words_.end(), words); }
    void Hold(InputWord word, int frames) { words_.insert(words_.end(), static_cast<size_t>(frames), word); }

    void PlayMove(int which) {
        switch (which) {
        case 0: Play({INPUT_Z}); break;
        case 1: Play({INPUT_Z | INPUT_V}); break;
        case 2: Play({INPUT_Z | INPUT_A}); break;
        case 3: Hold(INPUT_X, 20); break;   // the fan
        case 4: Play({INPUT_X}); break;     // the whip
        case 5:                              // the side shot, then the lunge out of it
            Play({INPUT_X | INPUT_A});
            Hold(INPUT_A, 14);
            Play({INPUT_Z | INPUT_A});
            break;
        case 6: Play({static_cast<InputWord>(INPUT_V | Toward(players[BEMO], players[0], 40.0f))}); break;
        default: Hold(Toward(players[BEMO], players[0], 150.0f), 20); break;
        }
    }
    void PlayHigh(int which) {
        switch (which) {
        case 0:  // the vortex, C held for a while
            Play({INPUT_C | INPUT_X});
            Hold(INPUT_C, 45);
            break;
        case 1: Play({INPUT_C}); break;
        case 2: Play({INPUT_C | INPUT_V}); break;
        default: Play({INPUT_C | INPUT_A}); break;
        }
    }

    std::deque<InputWord> words_;
    int rest_ = 0;
    int move_ = 0;
    int high_ = 0;
};

TEST(BemoBattle, EveryMoveOnTheWayToAKnockOutReplaysFrameForFrame) {
    test::BattleRun run;
    test::BattleSetup setup;
    setup.characters[0] = 1;
    setup.characters[BEMO] = 2;
    setup.difficulty = DIFFICULTY_HARD;  // side 1's gauge grows a little every frame
    setup.noTimeLimit = 1;
    BemoPilot pilot;
    // On the starting frame the records still hold the last battle's end.
    const auto script = [&pilot](int side, int32_t frame) -> InputWord {
        if (frame == 0) return 0;
        pilot.visited.insert(players[BEMO].state);
        return side == BEMO ? pilot.Next() : Kirune(frame);
    };
    run.SetScript(script);
    run.Start(setup);
    run.RunToEnd(FRAME_LIMIT);
    ASSERT_TRUE(run.ended());
    ASSERT_EQ(sceneNumber, SCENE_RESULT);
    for (int32_t state = BEMO_RING_SHOT; state <= BEMO_MAELSTROM; ++state)
        EXPECT_TRUE(pilot.visited.count(state)) << "bemo never entered state " << state;
    const int32_t loser = 1 - winnerSide;
    ASSERT_EQ(players[loser].state, PLAYER_KNOCKED_OUT);
    const std::vector<uint64_t> live = run.hashes();

    pilot = BemoPilot{};
    test::ExpectRerunAndPlaybackMatch(run, setup, live, FRAME_LIMIT);
}

}  // namespace
