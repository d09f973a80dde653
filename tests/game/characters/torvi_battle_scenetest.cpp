// Kirune against torvi through the battle scene to a knock-out: torvi goes
// through every one of its moves, the blows up close, the high attacks and the
// hyper attack; the battle runs twice with the same states frame by frame,
// then is saved as a replay, read back and played back with the same states.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <set>
#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/characters/torvi.h"
#include "tests/support/character_battle.h"

namespace {

constexpr int TORVI_SIDE = 1;  // gains hyper gauge at HARD

using test::Toward;

// Torvi's controls: whenever it is free it starts the next input sequence,
// its moves in turn, one of them walking up to the opponent for the blows;
// once its gauge allows, each high attack once, and then, saving up without
// attacking, the hyper attack.
class TorviPlayer {
public:
    InputWord operator()(int32_t frame) {
        // Frame 0 is also asked for before the battle has set the fighters
        // up: nothing is started then, so each run plays the same moves.
        if (frame == 0) return 0;
        const PlayerRecord& self = players[TORVI_SIDE];
        visited_.insert(self.state);
        if (step_ < sequence_.size()) return sequence_[step_++];
        if (self.state != PLAYER_FREE) return 0;
        if (closingIn_) return CloseIn(self);
        if (frame % 7 != 0) return Wander(frame);  // a short walk between moves
        sequence_ = NextSequence(self);
        step_ = 1;
        return sequence_[0];
    }

    const std::set<int32_t>& visited() const { return visited_; }
    bool hyperDone() const { return visited_.count(TORVI_RAIN) != 0; }

private:
    static std::vector<InputWord> Repeat(InputWord word, size_t frames) { return std::vector<InputWord>(frames, word); }

    // Walks toward the opponent and strikes once within 120.
    InputWord CloseIn(const PlayerRecord& self) {
        const PlayerRecord& other = players[1 - TORVI_SIDE];
        const float dx = other.x - self.x;
        const float dy = other.y - self.y;
        if (dx * dx + dy * dy < 120.0f * 120.0f) {
            closingIn_ = false;
            sequence_ = {INPUT_A, INPUT_A | INPUT_Z};
            step_ = 1;
            return sequence_[0];
        }
        return Toward(self, other, 10.0f);
    }

    std::vector<InputWord> NextSequence(const PlayerRecord& self) {
        static const std::vector<InputWord> highs[] = {
            {INPUT_C}, {INPUT_C | INPUT_A}, {INPUT_C | INPUT_X}, {INPUT_C | INPUT_V}};
        if (highsUsed_ < 4 && self.hyperGauge >= 1.0f) return highs[highsUsed_++];
        if (highsUsed_ == 4) {
            // Saves up for the hyper attack, holding back meanwhile.
            if (self.hyperGauge < 3.0f) return {0};
            ++highsUsed_;
            return {INPUT_C | INPUT_X | INPUT_Z};
        }
        const std::vector<InputWord> moves[] = {
            {INPUT_Z},
            Repeat(INPUT_X, 40),  // the volley held, recalling the cloud's shots
            {INPUT_V, INPUT_V | INPUT_Z},
            {INPUT_A, INPUT_A | INPUT_Z},  // far off: the three shots
            {INPUT_A, INPUT_A | INPUT_X},
            {},  // up close: the blows
            Repeat(INPUT_V | INPUT_UP, 8),
            {INPUT_X},
        };
        constexpr size_t count = sizeof moves / sizeof moves[0];
        const std::vector<InputWord>& next = moves[next_++ % count];
        if (!next.empty()) return next;
        closingIn_ = true;
        return {0};
    }

    static InputWord Wander(int32_t frame) { return frame / 200 % 2 ? INPUT_DOWN : INPUT_UP; }

    std::vector<InputWord> sequence_;
    size_t step_ = 0;
    size_t next_ = 0;
    int highsUsed_ = 0;
    bool closingIn_ = false;
    std::set<int32_t> visited_;
};

TEST(TorviBattle, EveryMoveThenAKnockOutReplaysFrameForFrameAndFromItsFile) {
    test::ExpectEveryMoveThenAKnockOutReplays<TorviPlayer>(
        TORVI_SIDE, 6,
        {TORVI_SHOT_CLOUD, TORVI_VOLLEY, TORVI_CLOSE_SHOTS, TORVI_RING, TORVI_BLOWS, TORVI_REFLECTORS, TORVI_WAVES,
         TORVI_SEED, TORVI_LANCES, TORVI_STORM, TORVI_RAIN, PLAYER_DASH, PLAYER_KNOCKED_BACK});
}

}  // namespace
