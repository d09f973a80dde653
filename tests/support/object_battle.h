#pragma once
// A small battle frame for the object and hit code until the battle scene
// runs whole frames: the attack areas cleared, the fighters' updates, a
// script standing in for the characters' own actions, the fighters' own
// objects, the HeavyShot, Shot, Effect and particle updates and the hit
// resolution, in the battle's order, then the
// frame count, the timer and the end of a fight 50 frames after a knock-out.
#include <cstdint>
#include <functional>
#include <vector>

namespace test {

using BattleScript = std::function<void(int32_t frame)>;

void RunObjectFrame(const BattleScript& script);

// Runs frames until the battle is over or `limit` frames have passed, hashing
// the whole battle state after each. Returns the hashes, one per frame.
std::vector<uint64_t> RunScriptedBattle(const BattleScript& script, int32_t limit);

}  // namespace test
