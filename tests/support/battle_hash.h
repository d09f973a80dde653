#pragma once
// A hash of the whole battle state: both player records with their own
// objects, every object list, the particles, the generator state, the frame
// and timer fields, the input words and button states, the view, the menu,
// the banner and the transition. Two runs of the same
// battle must give the same hash after every frame. Fields are hashed one by
// one (never padding bytes), floats by their bits.
#include <cstdint>

namespace test {

uint64_t HashBattleState();

// The number of generator draws that lead from state `before` to the current
// state (-1 when more than `limit`): what a piece of code drew.
int32_t RandomDrawsSince(uint32_t before, int32_t limit = 100000);

}  // namespace test
