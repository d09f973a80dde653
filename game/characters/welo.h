#pragma once
// Character 8, welo: a gun and a blade. Heavy shots on Z (held: a charge),
// moving shots on Z with V, a three-step slash chain on Z with A, volleys fired
// from behind her back on X, a lunging thrust on X with A, three high attacks
// on C and a growing beam as hyper attack. Her dashes leave sprays of sparks.
#include <cstdint>

// welo's move states (the shared states are PlayerState).
enum WeloState : int32_t {
    WELO_SHOT = 105,
    WELO_MOVING_SHOTS = 106,
    WELO_CHARGED_SHOT = 107,
    WELO_CHASING_SHOT = 108,   // the charge entered from the lunge at 25: the large shot leaves at 30
    WELO_RAY_BARRAGE = 109,    // high attack, C
    WELO_SLASH_1 = 111,
    WELO_SLASH_2 = 112,
    WELO_THRUST = 113,
    WELO_SLASH_STORM = 114,    // high attack, C with A
    WELO_FLASH_THRUST = 115,
    WELO_LUNGE = 116,
    WELO_VOLLEY = 117,
    WELO_HOMING_VOLLEY = 118,
    WELO_HIGH_VOLLEY = 119,    // high attack, C with X (wins over A)
    WELO_HYPER = 120,          // C with X and with Z or A
};

// One battle frame of a side whose characterId is 8.
void UpdateWelo(int32_t side);
