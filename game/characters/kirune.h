#pragma once
// Character 1, kirune: shots on Z, a three-step sword chain on Z with A,
// spread and rapid fire on X, a charging slash on X with A, three high
// attacks on C and the hyper attack.
#include <cstdint>

// kirune's move states (7 and up; the shared states are PlayerState).
enum KiruneState : int32_t {
    KIRUNE_SHOT = 7,
    KIRUNE_MOVING_SHOTS = 8,
    KIRUNE_CHARGED_SHOT = 9,
    KIRUNE_SLASH_1 = 10,
    KIRUNE_SLASH_2 = 11,
    KIRUNE_SLASH_3 = 12,
    KIRUNE_SPREAD_SHOTS = 14,
    KIRUNE_RAPID_FIRE = 15,
    KIRUNE_BEAM = 17,          // high attack, C
    KIRUNE_RUSH = 18,          // high attack, C with A
    KIRUNE_CHARGING_SLASH = 19,
    KIRUNE_CHASING_SLASH = 20,
    KIRUNE_HEAVY_SHOT = 21,    // high attack, C with X
    KIRUNE_HYPER = 22,         // C with X and with Z or A
    KIRUNE_LONG_SLASH = 23,
};

// One battle frame of a side whose characterId is 1.
void UpdateKirune(int32_t side);
