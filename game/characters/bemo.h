#pragma once
// Character 2, bemo: a ring of shots and a scatter of homing shots on Z, a
// fan of Shots or a whip on X, a side shot chaining into a lunge strike, and
// four high attacks (storm, wall, star, vortex) besides the maelstrom, whose
// whirls pull the opponent in.
#include <cstdint>

// bemo's move states (the shared states are PlayerState).
enum BemoState : int32_t {
    BEMO_RING_SHOT = 24,      // Z
    BEMO_WALL = 25,           // high attack, C
    BEMO_FAN = 26,            // X
    BEMO_SCATTER = 27,        // Z with V
    BEMO_VORTEX = 28,         // high attack, C with X
    BEMO_SIDE_SHOT = 29,      // X with A
    BEMO_STAR = 30,           // high attack, C with A
    BEMO_LUNGE_STRIKE = 31,   // Z with A, or Z again out of the side shot
    BEMO_WHIP = 32,           // X released before the fan opens
    BEMO_STORM = 33,          // high attack, C with V
    BEMO_MAELSTROM = 34,      // hyper attack
};

// One battle frame of a side whose characterId is 2.
void UpdateBemo(int32_t side);
