#pragma once
// Character 5, ruo: heavy shot volleys on Z, shot streams on X, a four-stroke
// sword chain on Z with A, a clone on X with A, five high attacks on C and a
// catch-and-blast hyper attack. Ruo keeps a power mode of its own in modeFlag:
// a count of 4-frame ticks (0 is off) that starts when the boost gauge passes
// 2.0 and changes several moves while it runs.
#include <cstdint>

// ruo's move states (7 and up; the shared states are PlayerState).
enum RuoState : int32_t {
    RUO_HEAVY_SHOTS = 59,     // Z
    RUO_SHOT_FAN = 60,        // Z with V
    RUO_SHOT_STREAM = 61,     // X
    RUO_CROSSING_STREAMS = 62,  // X held on
    RUO_LUNGE = 63,           // Z with A: the first sword stroke
    RUO_STROKE_2 = 64,
    RUO_STROKE_3 = 65,
    RUO_FINAL_STROKE = 66,
    RUO_SWORD_CHARGE = 67,    // high attack, C
    RUO_CLONE = 68,           // X with A
    RUO_CLONE_RING = 69,      // high attack, C with X
    RUO_GRAB = 70,            // high attack, C with A in power mode
    RUO_POWER_UP = 71,        // high attack, C with A
    RUO_POWER_CHARGE = 72,    // high attack, C in power mode
    RUO_SPARK_FAN = 73,       // Z with V in power mode
    RUO_POWER_HEAVY_SHOT = 74,  // X held on in power mode
    RUO_HYPER = 75,           // C with X and with Z or A
};

// The power mode's length in ticks of 4 frames: when the boost gauge passes
// 2.0, and after the power-up high attack.
constexpr int32_t RUO_POWER_TICKS = 100;
constexpr int32_t RUO_POWER_UP_TICKS = 220;

// One battle frame of a side whose characterId is 5.
void UpdateRuo(int32_t side);
