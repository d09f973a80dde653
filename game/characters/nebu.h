#pragma once
// Character 7, nebu: paired shots that grow into a wheel on Z, shots from
// orbiting points on Z with V held, a volley from behind that turns into a
// beam on X, a chain that continues only while the opponent is knocked back
// on Z with A, a strike on X with A, four high attacks on C and the fountain
// hyper attack.
#include <cstdint>

// nebu's move states (the shared states are PlayerState).
enum NebuState : int32_t {
    NEBU_TWIN_SHOT = 88,       // Z
    NEBU_ORBIT_SHOTS = 89,     // Z with V held from an earlier frame
    NEBU_STAR_BURST = 90,      // high attack, C with V
    NEBU_REAR_VOLLEY = 91,     // X
    NEBU_TRI_SPREAD = 92,      // high attack, C with A
    NEBU_REAR_STORM = 93,      // high attack, C with X
    NEBU_CLOSING_RING = 94,    // the rear storm with the opponent near
    NEBU_WHEEL = 95,           // the twin shot with Z still held
    NEBU_CHAIN = 97,           // Z with A
    NEBU_CHAIN_VOLLEY = 98,    // Z after the chain hit
    NEBU_BURST_STRIKE = 99,    // X with A, or X after a chain hit
    NEBU_FOUNTAIN = 102,       // hyper attack: C with X and with Z or A
    NEBU_BEAM = 103,           // the rear volley with X still held
    NEBU_SWEEP_BEAM = 104,     // high attack, C alone
};

// One battle frame of a side whose characterId is 7.
void UpdateNebu(int32_t side);
