#pragma once
// Character 4, perila. She fires nothing herself: every move waits some frames
// and then orders her seven satellites (her PlayerObjects) to attack, by
// rewriting their type code, timer and angles; the satellites' own update
// carries the order out and returns them to circling.
#include <cstdint>

// perila's move states (7 and up; the shared states are PlayerState).
enum PerilaState : int32_t {
    PERILA_BEAMS = 46,            // high attack, C: a beam from every satellite in turn
    PERILA_VOLLEY = 48,           // Z: idle satellites fire one shot each
    PERILA_DOUBLE_VOLLEY = 49,    // Z held: every satellite fires a heavy shot
    PERILA_SPINNING_SHOTS = 50,   // X held: the satellites spin and shoot outward
    PERILA_SWARM = 51,            // high attack, C with A: the satellites fly at the opponent
    PERILA_SEEKERS = 52,          // X with A: satellites 2 and 5 seek the opponent
    PERILA_MORE_SEEKERS = 53,     // X with A held: satellites 3 and 6 follow
    PERILA_SPINNING_HEAVY = 54,   // Z with V: the satellites spin and fire heavy shots
    PERILA_CURVING_SHOTS = 55,    // X: idle satellites fire curving shots
    PERILA_BLADES = 56,           // high attack, C with X: spinning blades
    PERILA_BEAM_VOLLEY = 57,      // high attack, C with V: every satellite beams at once
    PERILA_HYPER = 58,            // C with X and with Z or A: the satellites ring her and beam
};

// One battle frame of a side whose characterId is 4.
void UpdatePerila(int32_t side);
