// Kirune against perila through the battle scene to a knock-out: perila goes
// through every one of her moves, the high attacks and the hyper attack; the
// battle runs twice with the same states frame by frame, then is saved as a
// replay, read back and played back with the same states.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <set>
#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/characters/perila.h"
#include "tests/support/character_battle.h"

namespace {

constexpr int PERILA_SIDE = 1;  // gains hyper gauge at HARD
constexpr int32_t SPARE_BELOW = 1500;

// Perila's controls: whenever she is free she starts the next input sequence,
// her moves in turn; once her gauge allows, each high attack once and then
// the hyper attack. The sequences are kept here, so one player object plays
// one battle.
class PerilaPlayer {
public:
    InputWord operator()(int32_t frame) {
        const PlayerRecord& self = players[PERILA_SIDE];
        visited_.insert(self.state);
        if (step_ < sequence_.size()) return sequence_[step_++];
        if (self.state != PLAYER_FREE) return 0;
        if (frame % 7 != 0) return Wander(frame);  // a short walk between moves
        sequence_ = NextSequence(self);
        if (sequence_.empty()) return Wander(frame);
        step_ = 1;
        return sequence_[0];
    }

    const std::set<int32_t>& visited() const { return visited_; }
    bool hyperDone() const { return visited_.count(PERILA_HYPER) != 0; }

private:
    static std::vector<InputWord> Repeat(InputWord word, size_t frames) { return std::vector<InputWord>(frames, word); }

    std::vector<InputWord> NextSequence(const PlayerRecord& self) {
        static const std::vector<InputWord> highs[] = {
            {INPUT_C}, {INPUT_C | INPUT_V}, {INPUT_C | INPUT_A}, {INPUT_C | INPUT_X}};
        if (highsUsed_ < 4 && self.hyperGauge >= 1.0f) return highs[highsUsed_++];
        if (highsUsed_ == 4 && self.hyperGauge >= 3.0f) {
            ++highsUsed_;
            return {INPUT_C | INPUT_X | INPUT_Z};
        }
        // A nearly beaten opponent is spared until the hyper attack has come:
        // she only walks, and her gauge fills from what she grazes and takes.
        if (highsUsed_ <= 4 && players[1 - PERILA_SIDE].life < SPARE_BELOW) return {};
        const std::vector<InputWord> moves[] = {
            {INPUT_Z},
            Repeat(INPUT_Z, 14),
            {INPUT_V, INPUT_V | INPUT_Z},
            {INPUT_X},
            Repeat(INPUT_X, 14),
            {INPUT_X | INPUT_A},
            Repeat(INPUT_X | INPUT_A, 22),
            Repeat(INPUT_V | INPUT_UP, 8),
            Repeat(INPUT_A, 30),  // the wide formation
        };
        constexpr size_t count = sizeof moves / sizeof moves[0];
        return moves[next_++ % count];
    }

    static InputWord Wander(int32_t frame) { return frame / 200 % 2 ? INPUT_DOWN : INPUT_UP; }

    std::vector<InputWord> sequence_;
    size_t step_ = 0;
    size_t next_ = 0;
    int highsUsed_ = 0;
    std::set<int32_t> visited_;
};

TEST(PerilaBattle, EveryMoveThenAKnockOutReplaysFrameForFrameAndFromItsFile) {
    test::ExpectEveryMoveThenAKnockOutReplays<PerilaPlayer>(
        PERILA_SIDE, 4,
        {PERILA_BEAMS, PERILA_VOLLEY, PERILA_DOUBLE_VOLLEY, PERILA_SPINNING_SHOTS, PERILA_SWARM, PERILA_SEEKERS,
         PERILA_MORE_SEEKERS, PERILA_SPINNING_HEAVY, PERILA_CURVING_SHOTS, PERILA_BLADES, PERILA_BEAM_VOLLEY,
         PERILA_HYPER, PLAYER_DASH, PLAYER_KNOCKED_BACK});
}

}  // namespace
