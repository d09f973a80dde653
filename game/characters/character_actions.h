#pragma once
// What every character shares by the framework of its routines: the dash
// starters and button handlers of all eight, and the skeleton of a
// character's per-frame update (knock-out, the hyper and high attack tests,
// the neutral and dash branch, knock-back with its burst, the burst, being
// blown away and the shield). Each character supplies its own values and its
// move states (7 and up); the steps they are made of are character_steps'.
#include <cstdint>

#include "game/characters/character_steps.h"

// ---------------------------------------------------------------------------
// Dash starters (side, fallbackAngle), at each character's own dash speed.

void DashKirune(int32_t side, float fallbackAngle);
void DashBemo(int32_t side, float fallbackAngle);
void DashOza(int32_t side, float fallbackAngle);
void DashPerila(int32_t side, float fallbackAngle);
void DashRuo(int32_t side, float fallbackAngle);
void DashTorvi(int32_t side, float fallbackAngle);
void DashNebu(int32_t side, float fallbackAngle);
// Also sprays ten trail Effects behind the side, each with a random age.
void DashWelo(int32_t side, float fallbackAngle);
// `count` Effects 890 behind the side's aim, each turned by a random angle
// within +-spread and given a random age of 0 to 1000.
void SprayDashSparks(int32_t side, int32_t count, float spread);

// ---------------------------------------------------------------------------
// Button handlers (side): Z, then X (which wins over Z), then the shield on S
// (which wins over both), then the hyper gauge gain of the state that stands.

using ButtonHandler = void (*)(int32_t side);

void HandleButtonsKirune(int32_t side);
void HandleButtonsBemo(int32_t side);
void HandleButtonsOza(int32_t side);
void HandleButtonsPerila(int32_t side);
void HandleButtonsRuo(int32_t side);
void HandleButtonsTorvi(int32_t side);
void HandleButtonsNebu(int32_t side);
void HandleButtonsWelo(int32_t side);

// ---------------------------------------------------------------------------
// The update skeleton.

struct HighAttackStates {
    int32_t c;       // C alone
    int32_t cWithX;  // C with X down
    int32_t cWithA;  // C with A down (wins over X)
};

// The order of the shield's late frames: most characters dash on V and then
// take the buttons; some take the buttons first and dash only when they
// started nothing (stateTimer still past 5).
enum class ShieldOrder { DashFirst, ButtonsFirst };

// A character's values for the states every character shares.
struct CharacterActions {
    double neutralDashGain;  // boostGauge gained by a dash out of the neutral branch
    int32_t trailEffect;     // Effect left every 4 frames of a boosted dash
    int32_t shieldParticleGroup;
    int32_t shieldInvulnerableTimer;
    int32_t hyperAttackState;
    HighAttackStates highAttacks;
    // The dash that V starts out of each shared state.
    DashStarter dashFromHit;
    DashStarter dashFromBurst;
    DashStarter dashFromBlownAway;
    DashStarter dashFromShield;
    ButtonHandler handleButtons;
    // Optional: the high attack for the buttons of the frame, for a character
    // whose modifiers or precedence differ from highAttacks'.
    int32_t (*chooseHighAttack)(int32_t side) = nullptr;
    // Optional: runs in the neutral and dash branch right before the button
    // handler (after the dash's speed test).
    void (*beforeNeutralButtons)(int32_t side) = nullptr;
    bool burstKeepsSpeed = false;       // a burst goes on at its knock-back speed
    void (*afterNeutralDash)(int32_t side) = nullptr;  // right after V starts a dash in the neutral branch
    void (*afterBoostTrail)(int32_t side) = nullptr;   // on every boosted dash frame, after its trail
    void (*afterKnockOutBlast)(int32_t side) = nullptr;  // after the knock-out's blast
    ShieldOrder shieldOrder = ShieldOrder::DashFirst;
};

// One frame of the character's own states (7 and up).
using MoveStep = void (*)(int32_t side, float facingAngle);

// One frame of a character: the knock-out (nothing else then), the hyper and
// high attack tests (outside knock-back), then the state's own step: the
// shared states here, the character's moves through moveStep.
void UpdateCharacter(int32_t side, const CharacterActions& actions, MoveStep moveStep);

