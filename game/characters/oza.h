#pragma once
// Character 3, oza: a gunner. Volleys of HeavyShots on Z, mines on Z with A,
// fans of Shots on X, and on C a cross of mines, a wide fan, a large shot and
// a beam swept along the aim; the hyper attack is a wider, stronger beam.
#include <cstdint>

// oza's move states (7 and up; the shared states are PlayerState).
enum OzaState : int32_t {
    OZA_VOLLEY = 35,         // Z held through frame 9 of the shot: four small HeavyShots
    OZA_SHOT = 36,           // Z: one large HeavyShot
    OZA_MOVING_VOLLEY = 37,  // Z with V: four small HeavyShots while gliding on
    OZA_MINE = 38,           // Z with A: lays a mine (at most four stay live)
    OZA_MINE_CROSS = 39,     // high attack, C with A: four mines around the side
    OZA_FAN = 40,            // X with A
    OZA_WIDE_FAN = 41,       // high attack, C with V
    OZA_SPRAY = 42,          // X
    OZA_BEAM = 43,           // high attack, C
    OZA_LARGE_SHOT = 44,     // high attack, C with X
    OZA_HYPER = 45,          // C with X and with Z or A: the great beam
};

// One battle frame of a side whose characterId is 3.
void UpdateOza(int32_t side);
