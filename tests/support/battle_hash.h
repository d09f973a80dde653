#pragma once
// A hash of the whole battle state: both player records with their own
// objects, every object list, the particles, the generator state, the frame
// and timer fields, the input words and button states, the view, the menu,
// the banner and the transition. Two runs of the same
// battle must give the same hash after every frame. Fields are hashed one by
// one (never padding bytes), floats by their bits.
#include <cstdint>
#include <string>
#include <vector>

namespace test {

uint64_t HashBattleState();

// The same fields one by one, in the same order, each with a hash of its own
// value and a name such as "players[1].x" or "shotList[3].age": what tells
// two runs apart once their whole-state hashes differ.
struct StateField {
    std::string name;
    uint64_t hash;
};
std::vector<StateField> BattleStateFields();

// The number of generator draws that lead from state `before` to the current
// state (-1 when more than `limit`): what a piece of code drew.
int32_t RandomDrawsSince(uint32_t before, int32_t limit = 100000);

}  // namespace test
