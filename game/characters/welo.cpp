#include "game/characters/welo.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_rules.h"

namespace {

// The sparks of the dashes: ten on a dash start, one on each boosted frame.
void SprayOnNeutralDash(int32_t side) { SprayDashSparks(side, 10, 1.4f); }
void SprayOnBoostedFrame(int32_t side) { SprayDashSparks(side, 1, 1.0f); }

// Thirty sparks in every direction, long-lived, when the knocked-out side
// blows up.
void SprayOnKnockOut(int32_t side) {
    for (int32_t i = 0; i < 30; ++i) {
        const float a = RandomFloat(-PI_F, PI_F);
        const int32_t effect = SpawnEffect(890, a, PositionOf(players[side]).data(), side);
        const int32_t age = RandomInt(500, 2000);  // drawn even if the spawn made nothing
        effectList.Adjust(effect, [age](Effect& e) { e.age = age; });
    }
}

// C with X wins over C with A.
int32_t ChooseHighAttack(int32_t side) {
    if (ButtonDown(side, BUTTON_X)) return WELO_HIGH_VOLLEY;
    if (ButtonDown(side, BUTTON_A)) return WELO_SLASH_STORM;
    return WELO_RAY_BARRAGE;
}

constexpr CharacterActions weloActions{
    .neutralDashGain = 0.25,
    .trailEffect = 1002,
    .shieldParticleGroup = 20,  // colour number + 20
    .shieldInvulnerableTimer = 40,
    .hyperAttackState = WELO_HYPER,
    .highAttacks = {WELO_RAY_BARRAGE, WELO_HIGH_VOLLEY, WELO_SLASH_STORM},
    .dashFromHit = DashWelo,
    .dashFromBurst = DashWelo,
    .dashFromBlownAway = DashWelo,
    .dashFromShield = DashWelo,
    .handleButtons = HandleButtonsWelo,
    .chooseHighAttack = ChooseHighAttack,
    .burstKeepsSpeed = true,  // the burst goes on at the knock-back speed
    .afterNeutralDash = SprayOnNeutralDash,
    .afterBoostTrail = SprayOnBoostedFrame,
    .afterKnockOutBlast = SprayOnKnockOut,
};

// ---------------------------------------------------------------------------
// Steps the moves share

// Every move's frame ends so: stateTimer counts on and, on reaching endAt,
// the side is free; otherwise V starts a dash once stateTimer is dashFrom.
void CloseOrDash(int32_t side, float facingAngle, int32_t endAt, int32_t dashFrom) {
    EndAtOrDash(side, facingAngle, endAt, dashFrom, DashWelo);
}

// The point `distance` ahead of the side along its aim.
Point AlongAim(const PlayerRecord& p, double distance) { return Ahead(p, distance, p.aimAngle); }

// A charge gathers its sparks at the point 35 ahead.
Point ChargeSparks(const PlayerRecord& p) { return AlongAim(p, 35.0); }

// The blade swings half a radian to the front side of the facing, or back
// across it, depending on which half the aim points into.
float FrontSideAngle(float aim) { return TurnedOutward(aim, -0.5); }
float BackSideAngle(float aim) { return TurnedOutward(aim, 0.5); }

// A slash area at the side along angle; the spawner's knock-back and power
// unless given.
void Slash(int32_t side, float angle, float knockBackSpeed = 0.0f, int32_t power = -1) {
    Swing(side, 801, angle, knockBackSpeed, power);
}

// A thrust: a long narrow area along the aim.
void Thrust(int32_t side, int32_t power) {
    const PlayerRecord& p = players[side];
    const int32_t i = SpawnAttackArea(802, p.aimAngle, PositionOf(p).data(), side);
    attackAreaList.Adjust(i, [power](AttackArea& a) {
        a.knockBackSpeed = 4.0f;
        a.hitShape[0] = 100.0f;
        a.hitShape[1] = 20.0f;
        a.power = power;
    });
}

// The opening of the high and hyper attacks: stopped and headed along the
// aim at the opponent, the flash; then the sparks.
void HighAttackOpening(int32_t side, int32_t t, int32_t burstFrames, int32_t invulnerableTimer) {
    if (t == 0) {
        LungeAtOpponent(side, 0.0);
        HighStartFlash(side, invulnerableTimer);
    }
    if (t < burstFrames) StartBurst(side);
}

// The volleys leave from behind the side's back: 50 back along the aim, then
// the offset (distance, 0) turned by angle.
Point VolleyPoint(const PlayerRecord& p, float distance, float angle) {
    Point back;
    PlaceAround(back.data(), p, p.aimAngle, -50.0f);
    return Turned(back, distance, 0.0f, angle);
}

// A Shot 802 thrown out to one side of the aim (which one by `quotient`),
// keeping the aim as its second angle. Returns its index and its point.
std::pair<int32_t, Point> VolleyShot(int32_t side, int32_t quotient) {
    const PlayerRecord& p = players[side];
    const float r = RandomFloat(PI_F / 3.0f, 3.0f * PI_F / 4.0f);
    const float a = quotient % 2 == 0 ? p.aimAngle + r : p.aimAngle - r;
    const float d = RandomFloat(20.0f, 40.0f);
    const Point at = VolleyPoint(p, d, a + p.aimAngle);
    const int32_t i = SpawnShot(802, a, at.data(), side);
    const float aim = p.aimAngle;
    shotList.Adjust(i, [aim](Shot& s) { s.angle = aim; });
    return {i, at};
}

void VolleyFlash(int32_t side, int32_t t, const Point& at) {
    EffectAt(side, 620, players[side].aimAngle, at);
    if (t % 6 == 0) PlaySe(SE_BURST);
}

// Whether a Shot 802 of the side has flown for less than 100 frames.
bool YoungHomingShotOut(int32_t side) {
    for (int32_t i = 0; i < shotList.Size(); ++i) {
        const Shot& s = shotList[i];
        if (s.type == 802 && s.owner == side && s.age < 100) return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// The moves; t is stateTimer as the frame's step begins.

void RunShot(int32_t side, float facingAngle) {
    ShotStep(side, WELO_CHARGED_SHOT, 801);
    MoveWithDecay(players[side], DECAY_FAST);
    CloseOrDash(side, facingAngle, 31, 21);
}

// Z held charges while the arrows walk: a release before 25 fires the small
// shot, from 30 on the large one. A shot sets stateTimer to 100, from where
// the move runs out.
void RunChargedShot(int32_t side, float facingAngle) {
    ChargedShotStep(side, 101, 803, ChargeSparks);
    MoveWithDecay(players[side], DECAY_SLOW);
    CloseOrDash(side, facingAngle, 151, 116);
}

// Entered from the lunge at t 25: the large shot goes off at 30.
void RunChasingShot(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    if (p.stateTimer == 30) {
        AimAtOpponent(side);
        FireHeavyShot(side, 803);
        p.stateTimer = 100;
    }
    ChargeTail(side, ChargeSparks);
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 151, 116);
}

void RunMovingShots(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) {
        AimAtOpponent(side);
        p.boostGauge += 0.3;
    }
    if (Every(t, 10, 20, 2)) {
        AimAtOpponent(side);
        const float r = RandomFloat(-0.4f, 0.4f);
        SpawnHeavyShot(802, p.aimAngle + r, PositionOf(p).data(), side);
        PlaySe(SE_SHOOT00);
    }
    SteerMoveAngle(side, 0.08f);
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 46, 31);
}

void RunSlash1(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) LungeAtOpponent(side, std::min(0.1 * DistanceToOpponent(side), 12.0));
    MoveWithDecay(p, DECAY_FAST);
    if (t == 10) {
        p.speed = 0.0;
        Slash(side, FrontSideAngle(p.aimAngle));
    }
    CloseOrDash(side, facingAngle, 31, 21);
    if (p.stateTimer > 10 && ButtonPressed(side, BUTTON_Z)) {
        EnterState(p, WELO_SLASH_2, 0);
    } else if (p.stateTimer > 10 && ButtonPressed(side, BUTTON_X) && OpponentKnockedBack(side)) {
        EnterState(p, WELO_LUNGE, 0);
    }
}

void RunSlash2(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) LungeAtOpponent(side, std::min(DistanceToOpponent(side) / 15.0, 10.0));
    MoveWithDecay(p, DECAY_FAST);
    if (t == 8) {
        p.speed = 0.0;
        Slash(side, BackSideAngle(p.aimAngle), 2.0f, 40);
    }
    CloseOrDash(side, facingAngle, 41, 21);
    if (p.stateTimer > 10 && ButtonPressed(side, BUTTON_Z)) {
        EnterState(p, WELO_THRUST, 0);
    }
}

void RunThrust(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) LungeAtOpponent(side, 0.0);
    MoveWithDecay(p, DECAY_SLOW);
    if (t == 8) {
        Thrust(side, 120);
        PlaySe(SE_SWING);
        p.speed = 12.0;
    }
    CloseOrDash(side, facingAngle, 41, 21);
}

void RunLunge(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) LungeAtOpponent(side, 0.0);
    if (t == 10) {
        Thrust(side, 180);
        PlaySe(SE_SWING);
        p.speed = 12.0;
    }
    MoveWithDecay(p, DECAY_SLOW);
    if (t == 5) {
        LungeAtOpponent(side, 14.0);
        PlaySe(SE_SWING_D);
    }
    CloseOrDash(side, facingAngle, 51, 31);
    if (p.stateTimer >= 11 && ButtonPressed(side, BUTTON_Z) && OpponentKnockedBack(side)) {
        EnterState(p, WELO_CHASING_SHOT, 25);
        AimAtOpponent(side);
    }
}

void RunVolley(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 10 && ButtonDown(side, BUTTON_X)) p.state = WELO_HOMING_VOLLEY;  // the timer runs on
    if (Every(t, 12, 30, 3)) {
        AimAtOpponent(side);
        const float r = RandomFloat(-PI_F / 2.0f, PI_F / 2.0f);
        const float d = RandomFloat(20.0f, 40.0f);
        const Point at = VolleyPoint(p, d, r + p.aimAngle);
        const float angle = p.aimAngle + r / 4.0f;
        SpawnShot(801, angle, at.data(), side);
        EffectAt(side, 620, angle, at);
        if (t % 6 == 0) PlaySe(SE_BURST);
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 51, 36);
}

// Homing shots, but not while an earlier one of this side is still young.
void RunHomingVolley(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 14 && YoungHomingShotOut(side)) p.stateTimer = 25;
    if (t == 15 || t == 18 || t == 21 || t == 24) {
        const auto [shot, at] = VolleyShot(side, t / 3);
        VolleyFlash(side, t, at);
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 51, 26);
}

void RunRayBarrage(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighAttackOpening(side, t, 5, 100);
    if (Every(t, 15, 40, 5)) {
        const float along = RandomFloat(5.0f, 35.0f);
        const float across = RandomFloat(-30.0f, 30.0f);
        const Point at = Turned(PositionOf(p), along, across, p.aimAngle);
        EffectAt(side, 620, p.aimAngle, at);
        const Point ray = Turned(at, 610.0f, 0.0f, p.aimAngle);
        SpawnHeavyShot(820, p.aimAngle, ray.data(), side);
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 81, 61);
}

// Five slashes from side to side after a dash at the opponent; the first
// missing cuts the move short, the opponent still reeling at 65 takes the
// flash thrust.
void RunSlashStorm(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighAttackOpening(side, t, 5, 100);
    if (t == 5) LungeAtOpponent(side, std::min(0.2 * DistanceToOpponent(side), 14.0));
    if (t == 20 || t == 40 || t == 60) Slash(side, FrontSideAngle(p.aimAngle), 3.0f, 55);
    if (t == 30 || t == 50) Slash(side, BackSideAngle(p.aimAngle), 4.0f, 65);
    if (t == 11 && !OpponentKnockedBack(side)) {
        p.stateTimer = 61;
        p.invulnerableTimer = 50;
    }
    if (t == 65 && OpponentKnockedBack(side)) {
        EnterState(p, WELO_FLASH_THRUST, 0);  // the rest of this frame is still the storm's
    }
    MoveWithDecay(p, DECAY_SLOWEST);
    if (t == 10) {
        p.speed = 3.0;
        Slash(side, FrontSideAngle(p.aimAngle));
    }
    CloseOrDash(side, facingAngle, 81, 71);
}

void RunFlashThrust(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) LungeAtOpponent(side, 0.0);
    if (Every(t, 5, 20, 3)) EffectHere(side, 1001, p.aimAngle);
    MoveWithDecay(p, DECAY_FAST);
    if (t == 5) {
        Thrust(side, 60);
        EffectHere(side, 110, p.aimAngle);
        PlaySe(SE_FLASH);
        p.speed = 18.0;
    }
    CloseOrDash(side, facingAngle, 51, 41);
}

void RunHighVolley(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighAttackOpening(side, t, 5, 100);
    if (Every(t, 12, 30, 2)) {
        const auto [shot, at] = VolleyShot(side, t / 2);
        shotList.Adjust(shot, [](Shot& s) { s.power = 80; });
        const float speed = RandomFloat(2.0f, 6.0f);  // drawn even if the spawn made nothing
        shotList.Adjust(shot, [speed](Shot& s) { s.speed = speed; });
        VolleyFlash(side, t, at);
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 51, 26);
}

// One frame of the growing beam: an area whose far end and width grow with
// f (0 at t 10, 5/3 at t 60), hitting every fourth frame. f and its products
// are taken in double and rounded once where they are stored.
void BeamStep(int32_t side, int32_t t) {
    const PlayerRecord& p = players[side];
    const double f = (t - 10) / 30.0;
    const int32_t i = SpawnAttackArea(t % 2 == 0 ? 830 : 831, p.aimAngle, AlongAim(p, 170.0 * f).data(), side);
    const bool hits = t % 4 == 0;
    attackAreaList.Adjust(i, [f, hits](AttackArea& a) {
        a.scaleY = static_cast<float>(f);
        if (hits) a.hitShape[2] = static_cast<float>(160.0 * f);
    });
    if (hits) EffectAt(side, 810, p.aimAngle, AlongAim(p, 25.0));
    const float o = RandomFloat(-30.0f, 30.0f);
    SpawnParticles(ColourNumber(side, 0) + 10, 2, p.aimAngle - PI_F,
                   Turned(PositionOf(p), static_cast<float>(170.0 * f), o, p.aimAngle).data());
}

// The beam's end: ten sparks around and the ray at its far end.
void BeamFinale(int32_t side) {
    const PlayerRecord& p = players[side];
    SparkBurst(side, 10, PI_WIDE / 5.0);
    SpawnHeavyShot(830, p.aimAngle, AlongAim(p, 283.33334).data(), side);
    PlaySe(SE_RAY);
}

void RunHyper(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighAttackOpening(side, t, 50, -100);
    if (t >= 10 && t <= 60) BeamStep(side, t);
    if (t == 60) BeamFinale(side);
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 81, 61);
}

void RunWeloMove(int32_t side, float facingAngle) {
    switch (players[side].state) {
    case WELO_SHOT: RunShot(side, facingAngle); return;
    case WELO_MOVING_SHOTS: RunMovingShots(side, facingAngle); return;
    case WELO_CHARGED_SHOT: RunChargedShot(side, facingAngle); return;
    case WELO_CHASING_SHOT: RunChasingShot(side, facingAngle); return;
    case WELO_RAY_BARRAGE: RunRayBarrage(side, facingAngle); return;
    case WELO_SLASH_1: RunSlash1(side, facingAngle); return;
    case WELO_SLASH_2: RunSlash2(side, facingAngle); return;
    case WELO_THRUST: RunThrust(side, facingAngle); return;
    case WELO_SLASH_STORM: RunSlashStorm(side, facingAngle); return;
    case WELO_FLASH_THRUST: RunFlashThrust(side, facingAngle); return;
    case WELO_LUNGE: RunLunge(side, facingAngle); return;
    case WELO_VOLLEY: RunVolley(side, facingAngle); return;
    case WELO_HOMING_VOLLEY: RunHomingVolley(side, facingAngle); return;
    case WELO_HIGH_VOLLEY: RunHighVolley(side, facingAngle); return;
    case WELO_HYPER: RunHyper(side, facingAngle); return;
    default: FreeTheSide(side); return;
    }
}

}  // namespace

void UpdateWelo(int32_t side) { UpdateCharacter(side, weloActions, RunWeloMove); }
