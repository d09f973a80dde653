#pragma once
// The steps that the eight characters' moves and pictures are made of: the
// side's buttons, aiming and gliding, the close or dash that ends a move's
// frame, points around a fighter, spawning at the side, the openings of the
// high attacks with their sparks, and the pose rules of the pictures. Each
// character keeps only its own moves and poses.
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
#include <vector>

#include "engine/core/math.h"
#include "game/arena/player_record.h"
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
bool AnyArrowDown(int32_t side);

// ---------------------------------------------------------------------------
// Aim and motion.

// The decelerations of the states: single-precision values widened to double.
constexpr double DECAY_FAST = 0.8f;
constexpr double DECAY_SLOW = 0.4f;
constexpr double DECAY_SLOWEST = 0.2f;

using Point = std::array<float, 2>;

Point PositionOf(const PlayerRecord& p);
// 0 when the side stands left of the opponent, else pi (also at equal x).
float FacingAngle(int32_t side);
float DirectionBetween(const PlayerRecord& from, const PlayerRecord& to);
double SquaredDistance(const PlayerRecord& a, const PlayerRecord& b);
double DistanceToOpponent(int32_t side);
bool OpponentKnockedBack(int32_t side);
void AimAtOpponent(int32_t side);
// Aim at the opponent and set off along the aim at speed.
void LungeAtOpponent(int32_t side, double speed);
// One step along moveAngle at speed, then speed falls by decay while it is
// above 0 and is 0 otherwise (so a last step may go backwards a little).
void MoveWithDecay(PlayerRecord& p, double decay);
// Each held arrow moves the side by step (its character's moveSpeed unless
// a move says otherwise).
void MoveByArrows(int32_t side);
void MoveByArrows(int32_t side, float step);
// A held arrow turns moveAngle toward it by at most maxStep (the turn is
// taken on the heading rounded to a float).
void SteerMoveAngle(int32_t side, float maxStep);

// ---------------------------------------------------------------------------
// The close of a move's frame.

// A dash starter (side, fallbackAngle): a dash along the held arrows, or along
// fallbackAngle when none is held, at the starter's own dash speed.
using DashStarter = void (*)(int32_t side, float fallbackAngle);

// The record goes into state with its stateTimer (a chain may enter a move
// part way).
void EnterState(PlayerRecord& p, int32_t state, int32_t stateTimer);
// stateTimer += 1; past limit the side is free again with stateTimer 0.
void CloseState(PlayerRecord& p, int32_t limit);
// Closes the state past closeAfter; otherwise V just pressed starts `dash`
// once the advanced stateTimer is past dashAfter (a move that ends in the
// frame takes no dash: its stateTimer is 0 again).
void CloseAfterOrDash(int32_t side, float facingAngle, int32_t closeAfter, int32_t dashAfter, DashStarter dash);
// The same told by the stateTimer at which the move ends and the first one
// from which V dashes.
void EndAtOrDash(int32_t side, float facingAngle, int32_t endsAt, int32_t dashFrom, DashStarter dash);
// A move's frame ends so: the glide with its deceleration, then EndAtOrDash.
void FinishMoveFrame(int32_t side, float facingAngle, double decay, int32_t endsAt, int32_t dashFrom,
                     DashStarter dash);
// A state the character has no move for (set from outside) frees the side
// rather than holding it forever.
void FreeTheSide(int32_t side);

// ---------------------------------------------------------------------------
// Points and spawns. t is the stateTimer of the frame's step.

// From `from` to `to`, every n-th frame.
bool Every(int32_t t, int32_t from, int32_t to, int32_t n);
// A fighter's position + distance x (cos angle, sin angle).
Point Ahead(const PlayerRecord& p, double distance, double angle);
// A point + the offset (along, across) turned by angle.
Point Turned(const Point& from, float along, float across, double angle);
Point Turned(const PlayerRecord& from, float along, float across, double angle);

void EffectAt(int32_t side, int32_t type, float angle, const Point& at);
void EffectHere(int32_t side, int32_t type, float angle);
int32_t AreaAt(int32_t side, int32_t type, float angle, const Point& at);
int32_t AreaHere(int32_t side, int32_t type, float angle);
// A HeavyShot along the aim from the side, with its sound.
void FireHeavyShot(int32_t side, int32_t type);
// A sword swing: AttackArea `type` at the side along angle, with its
// knock-back speed and power when a power is given (otherwise the area's
// own), and the swing's sound.
void Swing(int32_t side, int32_t type, float angle, float knockBackSpeed = 0.0f, int32_t power = -1);
// The shot of Z: aimed on frame 0; Z still held from an earlier frame on
// frame 10 turns it into the charge (the timer runs on); aimed again and the
// HeavyShot fired on frame 14.
void ShotStep(int32_t side, int32_t chargeState, int32_t heavyShot);
// The side's shape (along the aim, across it) against the opponent's.
bool TouchesOpponent(int32_t side, float along, float across);
// The aim turned by `turn` toward the outside of the facing: added when the
// aim points into the right half (straight up and down included), taken off
// when it points into the left.
float TurnedOutward(float aim, double turn);

// ---------------------------------------------------------------------------
// The openings of the high and hyper attacks.

// The burst Effect 1000 at the side, the screen flash and the invulnerability
// (negative for a hyper attack).
void HighStartFlash(int32_t side, int32_t invulnerableTimer);
// Aimed at the opponent, then the flash.
void HighStart(int32_t side, int32_t invulnerableTimer);
// The same, and the side stops.
void HighStartAndStop(int32_t side, int32_t invulnerableTimer);
// Sparks 1100 or 1101 at a point, the i-th turned by i sectors plus a random
// quarter turn (the sum taken in double): per spark the kind is drawn first,
// then the angle.
void SparkBurst(int32_t side, int32_t count, double sector, const Point& at);
void SparkBurst(int32_t side, int32_t count, double sector);
// The sparks of a high attack's opening: one in each quarter turn.
void StartBurst(int32_t side);
// The first frames of a high attack: at t 0 the high start (the side stops
// when the attack's glide says so), the sparks on t 0 to 4.
enum class OpeningGlide { SlidesOn, Stops };
void HighOpening(int32_t side, int32_t t, int32_t invulnerableTimer, OpeningGlide glide);

// ---------------------------------------------------------------------------
// The charged shot: walking with the arrows and aimed while Z stays down up to
// frame 40, a release before 25 fires `small`, one from 30 on fires `large`
// (a shot sets stateTimer to 100, from where the move runs out); while Z is
// held the charge loops from 40 back to 30, gathering sparks from 25 at the
// point in front of the side that sparksAt gives.
using ChargeSparkPoint = Point (*)(const PlayerRecord& p);
void ChargedShotStep(int32_t side, int32_t small, int32_t large, ChargeSparkPoint sparksAt);
// The loop and the sparks alone, for a charge entered part way.
void ChargeTail(int32_t side, ChargeSparkPoint sparksAt);

// ---------------------------------------------------------------------------
// Pictures. A character is drawn as a body pose (one of the side's
// characterFrameModels) and, for some moves, action Models (the weapon or the
// move's shape, of its characterActionModels), each placed at the side's
// position: ResetTransform, SetPosition(x, y, 0), the turns, Update(0), Draw.
// Drawing draws no random numbers and changes no state.

enum class CharacterModelKind { Frame, Action };

constexpr int32_t NO_MODEL = -1;

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

struct CharacterModelDraw {
    CharacterModelKind kind;
    int32_t index;      // in the side's list of that kind
    int32_t blendMode;  // set before the Model is drawn: 1 alpha blend, 2 additive
    float x, y;
    ModelTurn turn;
};

// The picture of a frame: a body pose (NO_MODEL: nothing) and, when it has
// one, an action Model over it, drawn additively for a blade.
struct PoseChoice {
    int32_t pose = NO_MODEL;
    int32_t action = NO_MODEL;
    bool additive = false;
};

// The Models of a choice at the side's position, both turned alike: the body
// in blend mode 1, the action in mode 1 or, additive, 2.
std::vector<CharacterModelDraw> PoseDraws(const PlayerRecord& p, const PoseChoice& choice, ModelTurn turn);

// A body pose alone and how it is turned.
struct TurnedPose {
    int32_t pose = NO_MODEL;
    PoseTurn turn = PoseTurn::ByAim;
};
// The pose at the side's position in blend mode 1, turned as it says.
std::vector<CharacterModelDraw> TurnedPoseDraws(int32_t side, const TurnedPose& pose, bool facingLeft);

// Facing left: the side's x is not less than the opponent's (the side of
// facingAngle pi).
bool FacingLeft(int32_t side);
// A four-step cycle from first in which the fourth step shows the second again
// (first, first + 1, first + 2, first + 1).
int32_t BackAndForth(int32_t first, int32_t step);
// base + t / frames, at most last.
int32_t StepPose(int32_t t, int32_t base, int32_t frames, int32_t last);
// `before` while t is below start, then base + (t - start) / frames, at most
// last.
int32_t StepPoseFrom(int32_t t, int32_t start, int32_t before, int32_t base, int32_t frames, int32_t last);
// The standing cycles of most characters, a step every 5 frames: idle 0 1 2 1,
// toward the facing side 3 4 5 4, away 6 7 8 7.
int32_t StandingCyclePose(int32_t side, bool facingLeft);
// A dash along an aim toward the side the fighter faces (straight up and down
// count for both).
bool DashingTowardFacing(float aimAngle, bool facingLeft);

// The pose of a standing fighter: `idle` while no arrow is down or the battle
// menu is open, else `toward` when the arrow toward the facing side is down,
// else `away`.
int32_t StandingPose(int32_t side, bool facingLeft, int32_t idle, int32_t toward, int32_t away);
