#include "game/characters/character_steps.h"

#include <algorithm>
#include <cmath>

#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/collision.h"
#include "game/shots/object_rules.h"

// ---------------------------------------------------------------------------
// Buttons

float InputAngleOr(int32_t side, float fallback) {
    const float input = GetInputAngle(buttonStates[side]);
    return input > TWO_PI_F ? fallback : input;
}

bool ArrowHeld(int32_t side) { return GetInputAngle(buttonStates[side]) <= TWO_PI_F; }

bool AnyArrowDown(int32_t side) {
    return ButtonDown(side, BUTTON_UP) || ButtonDown(side, BUTTON_DOWN) || ButtonDown(side, BUTTON_LEFT) ||
           ButtonDown(side, BUTTON_RIGHT);
}

// ---------------------------------------------------------------------------
// Aim and motion

Point PositionOf(const PlayerRecord& p) { return {p.x, p.y}; }

float FacingAngle(int32_t side) { return players[side].x < OpponentOf(side).x ? 0.0f : PI_F; }

float DirectionBetween(const PlayerRecord& from, const PlayerRecord& to) {
    return static_cast<float>(std::atan2(static_cast<double>(to.y) - from.y, static_cast<double>(to.x) - from.x));
}

double SquaredDistance(const PlayerRecord& a, const PlayerRecord& b) {
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    return dx * dx + dy * dy;
}

double DistanceToOpponent(int32_t side) { return std::sqrt(SquaredDistance(players[side], OpponentOf(side))); }

bool OpponentKnockedBack(int32_t side) { return OpponentOf(side).state == PLAYER_KNOCKED_BACK; }

void AimAtOpponent(int32_t side) { players[side].aimAngle = DirectionBetween(players[side], OpponentOf(side)); }

void LungeAtOpponent(int32_t side, double speed) {
    PlayerRecord& p = players[side];
    AimAtOpponent(side);
    p.speed = speed;
    p.moveAngle = p.aimAngle;
}

void MoveWithDecay(PlayerRecord& p, double decay) {
    p.x = static_cast<float>(p.x + p.speed * std::cos(p.moveAngle));
    p.y = static_cast<float>(p.y + p.speed * std::sin(p.moveAngle));
    p.speed = p.speed > 0.0 ? p.speed - decay : 0.0;
}

void MoveByArrows(int32_t side) { MoveByArrows(side, characterParams[players[side].characterId].moveSpeed); }

void MoveByArrows(int32_t side, float step) {
    PlayerRecord& p = players[side];
    if (ButtonDown(side, BUTTON_UP)) p.y += step;
    if (ButtonDown(side, BUTTON_DOWN)) p.y -= step;
    if (ButtonDown(side, BUTTON_LEFT)) p.x -= step;
    if (ButtonDown(side, BUTTON_RIGHT)) p.x += step;
}

void SteerMoveAngle(int32_t side, float maxStep) {
    if (!ArrowHeld(side)) return;
    PlayerRecord& p = players[side];
    float heading = static_cast<float>(p.moveAngle);
    TurnAngleToward(&heading, GetInputAngle(buttonStates[side]), maxStep);
    p.moveAngle = heading;
}

// ---------------------------------------------------------------------------
// The close of a move's frame

void EnterState(PlayerRecord& p, int32_t state, int32_t stateTimer) {
    p.state = state;
    p.stateTimer = stateTimer;
}

void CloseState(PlayerRecord& p, int32_t limit) {
    if (++p.stateTimer > limit) EnterState(p, PLAYER_FREE, 0);
}

void CloseAfterOrDash(int32_t side, float facingAngle, int32_t closeAfter, int32_t dashAfter, DashStarter dash) {
    PlayerRecord& p = players[side];
    CloseState(p, closeAfter);
    if (ButtonPressed(side, BUTTON_V) && p.stateTimer > dashAfter) dash(side, facingAngle);
}

void EndAtOrDash(int32_t side, float facingAngle, int32_t endsAt, int32_t dashFrom, DashStarter dash) {
    CloseAfterOrDash(side, facingAngle, endsAt - 1, dashFrom - 1, dash);
}

void FinishMoveFrame(int32_t side, float facingAngle, double decay, int32_t endsAt, int32_t dashFrom,
                     DashStarter dash) {
    MoveWithDecay(players[side], decay);
    EndAtOrDash(side, facingAngle, endsAt, dashFrom, dash);
}

void FreeTheSide(int32_t side) { EnterState(players[side], PLAYER_FREE, 0); }

// ---------------------------------------------------------------------------
// Points and spawns

bool Every(int32_t t, int32_t from, int32_t to, int32_t n) { return t >= from && t <= to && t % n == 0; }

Point Ahead(const PlayerRecord& p, double distance, double angle) {
    Point at;
    PlaceAround(at.data(), p, angle, distance);
    return at;
}

Point Turned(const Point& from, float along, float across, double angle) {
    float offset[2] = {along, across};
    RotateVector2(offset, angle);
    return {from[0] + offset[0], from[1] + offset[1]};
}

Point Turned(const PlayerRecord& from, float along, float across, double angle) {
    return Turned(PositionOf(from), along, across, angle);
}

void EffectAt(int32_t side, int32_t type, float angle, const Point& at) { SpawnEffect(type, angle, at.data(), side); }

void EffectHere(int32_t side, int32_t type, float angle) { EffectAt(side, type, angle, PositionOf(players[side])); }

int32_t AreaAt(int32_t side, int32_t type, float angle, const Point& at) {
    return SpawnAttackArea(type, angle, at.data(), side);
}

int32_t AreaHere(int32_t side, int32_t type, float angle) { return AreaAt(side, type, angle, PositionOf(players[side])); }

void FireHeavyShot(int32_t side, int32_t type) {
    SpawnHeavyShot(type, players[side].aimAngle, PositionOf(players[side]).data(), side);
    PlaySe(SE_SHOOT00);
}

void Swing(int32_t side, int32_t type, float angle, float knockBackSpeed, int32_t power) {
    const int32_t i = AreaHere(side, type, angle);
    if (power >= 0) {
        attackAreaList.Adjust(i, [&](AttackArea& a) {
            a.knockBackSpeed = knockBackSpeed;
            a.power = power;
        });
    }
    PlaySe(SE_SWING);
}

void ShotStep(int32_t side, int32_t chargeState, int32_t heavyShot) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 10 && ButtonHeld(side, BUTTON_Z)) p.state = chargeState;
    if (t == 14) {
        AimAtOpponent(side);
        FireHeavyShot(side, heavyShot);
    }
}

bool TouchesOpponent(int32_t side, float along, float across) {
    const PlayerRecord& p = players[side];
    const PlayerRecord& o = OpponentOf(side);
    const float shape[3] = {along, across, 0.0f};
    return CheckHitShapes(PositionOf(p).data(), PositionOf(o).data(), shape, o.hitShape, p.aimAngle, o.aimAngle);
}

float TurnedOutward(float aim, double turn) {
    return static_cast<float>(std::fabs(aim) <= PI_F / 2.0f ? aim + turn : aim - turn);
}

// ---------------------------------------------------------------------------
// Openings

void HighStartFlash(int32_t side, int32_t invulnerableTimer) {
    EffectHere(side, 1000, 0.0f);
    AddScreenFlash();
    players[side].invulnerableTimer = invulnerableTimer;
}

void HighStart(int32_t side, int32_t invulnerableTimer) {
    AimAtOpponent(side);
    HighStartFlash(side, invulnerableTimer);
}

void HighStartAndStop(int32_t side, int32_t invulnerableTimer) {
    HighStart(side, invulnerableTimer);
    players[side].speed = 0.0;
}

void SparkBurst(int32_t side, int32_t count, double sector, const Point& at) {
    for (int32_t i = 0; i < count; ++i) {
        const int32_t kind = RandomInt(0, 100);
        const float a = static_cast<float>(RandomFloat(0.0f, PI_F / 2.0f) + i * sector);
        EffectAt(side, kind < 50 ? 1100 : 1101, a, at);
    }
}

void SparkBurst(int32_t side, int32_t count, double sector) {
    SparkBurst(side, count, sector, PositionOf(players[side]));
}

void StartBurst(int32_t side) { SparkBurst(side, 4, PI_WIDE / 2.0); }

void HighOpening(int32_t side, int32_t t, int32_t invulnerableTimer, OpeningGlide glide) {
    if (t == 0) {
        if (glide == OpeningGlide::Stops) HighStartAndStop(side, invulnerableTimer);
        else HighStart(side, invulnerableTimer);
    }
    if (t < 5) StartBurst(side);
}

// ---------------------------------------------------------------------------
// The charged shot

void ChargedShotStep(int32_t side, int32_t small, int32_t large, ChargeSparkPoint sparksAt) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    const bool zDown = ButtonDown(side, BUTTON_Z);
    if (t <= 40) {
        MoveByArrows(side);
        AimAtOpponent(side);
    }
    if (t < 25 && !zDown) {
        FireHeavyShot(side, small);
        p.stateTimer = 100;
    }
    if (t >= 30 && t < 40 && !zDown) {
        FireHeavyShot(side, large);
        p.stateTimer = 100;
    }
    ChargeTail(side, sparksAt);
}

void ChargeTail(int32_t side, ChargeSparkPoint sparksAt) {
    PlayerRecord& p = players[side];
    if (p.stateTimer == 40) p.stateTimer = 30;
    if (p.stateTimer >= 25 && p.stateTimer < 40)
        SpawnParticles(ColourNumber(side, 0) + 10, 1, p.aimAngle + PI_F, sparksAt(p).data());
}

// ---------------------------------------------------------------------------
// Pictures

ModelTurn TurnTowardAim(float aimAngle) {
    if (std::fabs(aimAngle) > PI_F / 2.0f) return {true, RadianToAngle(aimAngle - PI_F), true};
    return {true, RadianToAngle(aimAngle), false};
}

ModelTurn TurnForPose(PoseTurn turn, float aimAngle, bool facingLeft) {
    switch (turn) {
    case PoseTurn::ByAim: return TurnTowardAim(aimAngle);
    case PoseTurn::MirroredOnly: return {false, 0, std::fabs(aimAngle) > PI_F / 2.0f};
    case PoseTurn::RolledOnly: return {true, RadianToAngle(aimAngle), false};
    case PoseTurn::FacingOnly: break;
    }
    return {false, 0, facingLeft};
}

std::vector<CharacterModelDraw> PoseDraws(const PlayerRecord& p, const PoseChoice& choice, ModelTurn turn) {
    std::vector<CharacterModelDraw> draws;
    if (choice.pose == NO_MODEL) return draws;
    draws.push_back({CharacterModelKind::Frame, choice.pose, 1, p.x, p.y, turn});
    if (choice.action != NO_MODEL)
        draws.push_back({CharacterModelKind::Action, choice.action, choice.additive ? 2 : 1, p.x, p.y, turn});
    return draws;
}

std::vector<CharacterModelDraw> TurnedPoseDraws(int32_t side, const TurnedPose& pose, bool facingLeft) {
    const PlayerRecord& p = players[side];
    return PoseDraws(p, {pose.pose}, TurnForPose(pose.turn, p.aimAngle, facingLeft));
}

bool FacingLeft(int32_t side) { return !(players[side].x < OpponentOf(side).x); }

int32_t BackAndForth(int32_t first, int32_t step) { return first + (step % 4 == 3 ? 1 : step % 4); }

int32_t StepPose(int32_t t, int32_t base, int32_t frames, int32_t last) { return std::min(base + t / frames, last); }

int32_t StepPoseFrom(int32_t t, int32_t start, int32_t before, int32_t base, int32_t frames, int32_t last) {
    return t < start ? before : std::min(base + (t - start) / frames, last);
}

int32_t StandingCyclePose(int32_t side, bool facingLeft) {
    const int32_t step = players[side].counter / 5;
    return StandingPose(side, facingLeft, BackAndForth(0, step), BackAndForth(3, step), BackAndForth(6, step));
}

bool DashingTowardFacing(float aimAngle, bool facingLeft) {
    const float a = std::fabs(aimAngle);
    return facingLeft ? a >= PI_F / 2.0f : a <= PI_F / 2.0f;
}

int32_t StandingPose(int32_t side, bool facingLeft, int32_t idle, int32_t toward, int32_t away) {
    if (battlePaused == 1 || !AnyArrowDown(side)) return idle;
    return ButtonDown(side, facingLeft ? BUTTON_LEFT : BUTTON_RIGHT) ? toward : away;
}
