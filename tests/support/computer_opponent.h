#pragma once
// The computer player at the controls of side 0, for battles of the computer
// against the computer. The game lets the computer play side 1 only; side 0's
// routine runs here, before the frame, on a generator and random base words
// of its own, and its word is pressed through side 0's controls like a
// person's. The game's generator and base words are left exactly as they
// were, so side 1's draws, the recording and its playback are those of a
// match against a person who pressed the same words.
#include <cstdint>

#include "game/flow/input_words.h"
#include "tests/support/battle_run.h"

namespace test {

class ComputerAtSideZero {
public:
    explicit ComputerAtSideZero(uint32_t seed) : randomState_(seed) {}

    // Side 0's word for the coming frame: the routine of its character, run
    // only once the battle is set up; nothing for side 1 or before that.
    InputWord Word(int side);
    // A script for BattleRun, which must not outlive this object.
    InputScript Script() {
        return [this](int side, int32_t) { return Word(side); };
    }

private:
    uint32_t randomState_;
    InputWord wordA_ = 0;
    InputWord wordB_ = 0;
};

}  // namespace test
