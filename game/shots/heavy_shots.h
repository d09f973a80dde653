#pragma once
// HeavyShots: projectiles and beams without hit points that cancel the
// opponent's Shots, all of both sides in heavyShotList. SpawnHeavyShot and
// HitHeavyShot are declared with the other spawners and responses.
#include <cstdint>

// Once per battle frame, after the fighters' own objects and before the
// Shots: every HeavyShot in list order. The age grows first; a HeavyShot
// whose age is still negative waits.
void UpdateHeavyShots();

// The beams stand still, hit through the areas they lay and flicker their
// width through param.
bool IsBeam(int32_t type);
