#pragma once
// Character 6, torvi: a slow fighter that scatters clouds of shots about
// itself, recalls its own shots to hang in the air, throws close blows when
// the opponent is near, and as the hyper attack rains shots down on the
// opponent from far off.
#include <cstdint>

// torvi's move states (7 and up; the shared states are PlayerState).
enum TorviState : int32_t {
    TORVI_SHOT_CLOUD = 76,     // Z: a cloud of heavy shots, steered by the arrows
    TORVI_VOLLEY = 77,         // X: recalls its shots, then fires while X is held
    TORVI_CLOSE_SHOTS = 78,    // Z with A: three shots ahead
    TORVI_RING = 79,           // high attack, C with X: twelve shots all round
    TORVI_BLOWS = 80,          // Z with A near the opponent: five blows
    TORVI_REFLECTORS = 81,     // Z with V: two pairs of reflectors
    TORVI_WAVES = 82,          // high attack, C with A: waves ahead
    TORVI_SEED = 84,           // X with A: one slow shot
    TORVI_LANCES = 85,         // high attack, C: shots ahead, then far lances
    TORVI_STORM = 86,          // high attack, C with V: a wide cloud of strong shots
    TORVI_RAIN = 87,           // hyper attack: shots rain onto the opponent
};

// One battle frame of a side whose characterId is 6.
void UpdateTorvi(int32_t side);
