#pragma once
// A small battle frame for the object and hit code until the battle scene
// runs whole frames: the fighters' updates, the HeavyShot, Shot and particle
// updates and the hit resolution, in the battle's order, then the frame count,
// the timer and the end of a fight 50 frames after a knock-out.
#include <cstdint>
#include <functional>
#include <vector>

namespace test {

void RunObjectFrame();

// Runs frames until the battle is over or `limit` frames have passed, calling
// `script` before each frame (the frame number as argument) and hashing the
// whole battle state after it. Returns the hashes, one per frame.
std::vector<uint64_t> RunScriptedBattle(const std::function<void(int32_t frame)>& script, int32_t limit);

}  // namespace test
