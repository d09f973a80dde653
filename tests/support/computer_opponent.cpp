#include "tests/support/computer_opponent.h"

#include <utility>

#include "engine/core/math.h"
#include "game/characters/computer_player.h"
#include "game/flow/run_state.h"

namespace test {

InputWord ComputerAtSideZero::Word(int side) {
    // Until the battle scene has reset the records they are the last battle's.
    if (side != 0 || sceneNumber != SCENE_BATTLE || sceneInitPending) return 0;
    const uint32_t gameState = GetRandomState();
    std::swap(cpuRandomWordA, wordA_);
    std::swap(cpuRandomWordB, wordB_);
    SeedRandom(randomState_);
    InputWord word = 0;
    GenerateCpuInput(&word, 0);
    randomState_ = GetRandomState();
    std::swap(cpuRandomWordA, wordA_);
    std::swap(cpuRandomWordB, wordB_);
    SeedRandom(gameState);
    return word;
}

}  // namespace test
