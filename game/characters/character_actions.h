#pragma once
// What every character shares: the dash starters and button handlers of all
// eight, and the skeleton of a character's per-frame update (knock-out, the
// hyper and high attack tests, the neutral and dash branch, knock-back with
// its burst, the burst, being blown away and the shield). Each character
// supplies its own values and its move states (7 and up).
//
// Gauges, positions and angles are floats; speed and moveAngle are doubles.
// The moves' constants are doubles (pi is the battle's single-precision pi,
// widened): an expression that mixes one with float fields is taken in
// double and rounded once where its result is stored, and distances and
// points along an angle are taken in double too. Only the decelerations are
// single-precision values (widened). Every random draw happens in the order
// the steps are written.
#include <array>
#include <cstdint>

#include "engine/core/math.h"
#include "game/battle/player_record.h"
#include "game/flow/input_words.h"

// ---------------------------------------------------------------------------
// Buttons of a side for this frame.

inline bool ButtonDown(int32_t side, ButtonSlot slot) { return buttonStates[side][slot] > BUTTON_STATE_RELEASED; }
inline bool ButtonPressed(int32_t side, ButtonSlot slot) { return buttonStates[side][slot] == BUTTON_STATE_PRESSED; }
// Down since an earlier frame (not pressed in this one).
inline bool ButtonHeld(int32_t side, ButtonSlot slot) { return buttonStates[side][slot] == BUTTON_STATE_HELD; }
// The direction of the held arrows, or fallback when no arrow is held.
float InputAngleOr(int32_t side, float fallback);
bool ArrowHeld(int32_t side);

// ---------------------------------------------------------------------------
// Motion and aim.

// The decelerations of the states: single-precision values widened to double.
constexpr double DECAY_FAST = 0.8f;
constexpr double DECAY_SLOW = 0.4f;

std::array<float, 2> PositionOf(const PlayerRecord& p);
// 0 when the side stands left of the opponent, else pi (also at equal x).
float FacingAngle(int32_t side);
float DirectionBetween(const PlayerRecord& from, const PlayerRecord& to);
double SquaredDistance(const PlayerRecord& a, const PlayerRecord& b);
void AimAtOpponent(int32_t side);
// One step along moveAngle at speed, then speed falls by decay while it is
// above 0 and is 0 otherwise (so a last step may go backwards a little).
void MoveWithDecay(PlayerRecord& p, double decay);
// Each held arrow moves the side by its character's moveSpeed.
void MoveByArrows(int32_t side);
// stateTimer += 1; past limit the side is free again with stateTimer 0.
void CloseState(PlayerRecord& p, int32_t limit);

// ---------------------------------------------------------------------------
// Dash starters (side, fallbackAngle): a dash along the held arrows, or along
// fallbackAngle when none is held, at the starter's own dash speed.

using DashStarter = void (*)(int32_t side, float fallbackAngle);

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

// The opening flash of a high or hyper attack: the burst Effect 1000, the
// screen flash and the invulnerability (negative for a hyper attack).
void HighStartFlash(int32_t side, int32_t invulnerableTimer);
// Sparks about the side, one in each of `count` sectors of `sector` radians:
// per spark the kind (1100 or 1101) is drawn first, then the angle, a random
// quarter turn into its sector (the sum taken in double).
void SparkBurst(int32_t side, int32_t count, double sector);

// One frame of the character's own states (7 and up).
using MoveStep = void (*)(int32_t side, float facingAngle);

// One frame of a character: the knock-out (nothing else then), the hyper and
// high attack tests (outside knock-back), then the state's own step: the
// shared states here, the character's moves through moveStep.
void UpdateCharacter(int32_t side, const CharacterActions& actions, MoveStep moveStep);


// ---------------------------------------------------------------------------
// The drawing skeleton. A character is drawn as a body pose (one of the side's
// characterFrameModels) and, for most moves, an action Model (the weapon or
// the move's shape, one of its characterActionModels), each placed at the
// side's position: ResetTransform, SetPosition(x, y, 0), the turns, Update(0),
// Draw. Drawing draws no random numbers and changes no state.

enum class CharacterModelKind { Frame, Action };

// How a Model is turned after it is placed: a Roll, then a Yaw of 180 degrees
// that mirrors it (so that it faces left instead of standing upside down).
struct ModelTurn {
    bool rolled;
    Angle16 roll;
    bool mirrored;
};

// The usual turn: roll by the aim, or, aiming into the left half (|aim| above
// pi/2), roll by aim - pi and mirror.
ModelTurn TurnTowardAim(float aimAngle);

// How a pose Model is turned: along the aim (TurnTowardAim), only mirrored
// when aiming into the left half, only mirrored when facing left, or rolled
// by the aim and never mirrored.
enum class PoseTurn { ByAim, MirroredOnly, FacingOnly, RolledOnly };
ModelTurn TurnForPose(PoseTurn turn, float aimAngle, bool facingLeft);

// A four-step pose cycle from first in which the fourth step shows the
// second again (first, first + 1, first + 2, first + 1).
int32_t BackAndForth(int32_t first, int32_t step);
bool AnyArrowDown(int32_t side);

struct CharacterModelDraw {
    CharacterModelKind kind;
    int32_t index;      // in the side's list of that kind
    int32_t blendMode;  // set before the Model is drawn: 1 alpha blend, 2 additive
    float x, y;
    ModelTurn turn;
};
