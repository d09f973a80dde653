#include "game/characters/kirune.h"

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

constexpr CharacterActions kiruneActions{
    0.25,         // neutral dash gain
    1001,         // boosted dash trail
    30,           // shield particles: colour number + 30
    40,           // shield invulnerability
    KIRUNE_HYPER,
    {KIRUNE_BEAM, KIRUNE_HEAVY_SHOT, KIRUNE_RUSH},
    DashKirune,   // from knock-back
    DashKirune,   // from the burst
    DashKirune,   // when blown away
    DashKirune,   // from the shield
    HandleButtonsKirune,
};

// ---------------------------------------------------------------------------
// Steps the moves share

// Every move's frame ends so: stateTimer counts on and, past closeAfter, the
// side is free; otherwise V starts a dash once stateTimer is past dashAfter.
void CloseOrDash(int32_t side, float facingAngle, int32_t closeAfter, int32_t dashAfter) {
    CloseAfterOrDash(side, facingAngle, closeAfter, dashAfter, DashKirune);
}

// The sword swings toward the outside of the facing (outward) or back across
// it (reverse), depending on which half the aim points into.
float OutwardSwordAngle(float aim) { return TurnedOutward(aim, 0.5); }
float ReverseSwordAngle(float aim) { return TurnedOutward(aim, -0.5); }

// A charge gathers its sparks at the offset (35, 0) turned by the aim.
Point ChargeSparks(const PlayerRecord& p) { return Turned(p, 35.0f, 0.0f, p.aimAngle); }

// The first frames of the three high attacks.
void HighAttackOpening(int32_t side, int32_t t) { HighOpening(side, t, 100, OpeningGlide::SlidesOn); }

// The beam HeavyShots (110, 114) are built here, not spawned: they stand 625
// ahead along the aim. Their flags take the values SpawnHeavyShot gives, and
// they hurt the opponent.
void AppendBeam(int32_t side, int32_t type) {
    const PlayerRecord& p = players[side];
    float at[2];
    PlaceAround(at, p, p.aimAngle, 625.0f);
    HeavyShot h{};
    StartProjectile(h, type, p.aimAngle, at, side);
    h.angle = p.aimAngle;
    h.vanishesOnHit = 1;
    h.knocksBack = 1;
    h.damage = 100;
    h.knockBackSpeed = 8.0f;
    heavyShotList.Append(h);
}

// The spread Shot (101) is built here too, with the values SpawnShot gives to
// the fields it leaves.
void AppendSpreadShot(int32_t side, float angle) {
    Shot s{};
    StartProjectile(s, 101, angle, PositionOf(players[side]).data(), side);
    s.angle = angle;
    s.vanishesOnHit = 1;
    s.knocksBack = 1;
    s.hitPoints = 50;
    s.power = 60;
    s.knockBackSpeed = 10.0f;
    s.speed = 14.0f;
    s.hitShape[2] = 10.0f;
    shotList.Append(s);
}

// ---------------------------------------------------------------------------
// The moves; t is stateTimer as the frame's step begins.

void RunShot(int32_t side, float facingAngle) {
    ShotStep(side, KIRUNE_CHARGED_SHOT, 101);
    MoveWithDecay(players[side], DECAY_FAST);
    CloseOrDash(side, facingAngle, 30, 20);
}

void RunMovingShots(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) {
        p.moveAngle = p.aimAngle;  // off along the aim that stood before
        p.speed = 10.0;
        p.boostGauge += 0.25;
        AimAtOpponent(side);
    }
    if (t == 5 || t == 12 || t == 19) {
        AimAtOpponent(side);
        FireHeavyShot(side, 102);
    }
    SteerMoveAngle(side, 0.08f);
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 45, 35);
}

// The charge fires the small shot 101 or the large 103; once it has fired, X
// chases an opponent that is knocked back.
void RunChargedShot(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    ChargedShotStep(side, 101, 103, ChargeSparks);
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 150, 115);
    if (ButtonPressed(side, BUTTON_X) && p.stateTimer >= 101 && OpponentKnockedBack(side)) {
        EnterState(p, KIRUNE_CHASING_SLASH, 8);
    }
}

void RunSlash1(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) {
        LungeAtOpponent(side, std::min(DistanceToOpponent(side) * 0.1, 12.0));
        if (SquaredDistance(p, OpponentOf(side)) > 32400.0) {  // farther than 180
            p.state = KIRUNE_LONG_SLASH;
            p.speed = 0.0;
        }
    }
    MoveWithDecay(p, DECAY_FAST);
    if (t == 10) {
        p.speed = 0.0;
        Swing(side, 101, OutwardSwordAngle(p.aimAngle));
    }
    CloseOrDash(side, facingAngle, 30, 20);
    if (p.stateTimer > 10 && ButtonPressed(side, BUTTON_Z) && ButtonDown(side, BUTTON_A)) {
        EnterState(p, KIRUNE_SLASH_2, 0);
    }
}

// Slashes 2 and 3: a lunge, then at t 8 one area of the given code along the
// swing's angle, with its knock-back speed and power.
void RunFollowUpSlash(int32_t side, float facingAngle, int32_t area, float (*swingAngle)(float aim),
                      float knockBackSpeed, int32_t power) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) LungeAtOpponent(side, std::min(DistanceToOpponent(side) / 15.0, 10.0));
    MoveWithDecay(p, DECAY_FAST);
    if (t == 8) {
        p.speed = 0.0;
        Swing(side, area, swingAngle(p.aimAngle), knockBackSpeed, power);
    }
    CloseOrDash(side, facingAngle, 40, 20);
}

void RunSlash2(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    RunFollowUpSlash(side, facingAngle, 101, ReverseSwordAngle, 2.0f, 40);
    if (p.stateTimer > 10 && ButtonPressed(side, BUTTON_Z)) {
        if (ButtonDown(side, BUTTON_A)) {
            EnterState(p, KIRUNE_SLASH_3, 0);
        } else if (OpponentKnockedBack(side)) {
            EnterState(p, KIRUNE_CHARGED_SHOT, 25);
            AimAtOpponent(side);
        }
    }
}

void RunSlash3(int32_t side, float facingAngle) {
    RunFollowUpSlash(side, facingAngle, 102, [](float aim) { return aim; }, 16.0f, 120);
}

void RunLongSlash(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    MoveWithDecay(p, DECAY_FAST);
    if (p.stateTimer == 6) {
        p.speed = 0.0;
        const int32_t i = AreaHere(side, 101, p.aimAngle);
        attackAreaList.Adjust(i, [](AttackArea& a) {
            a.knockBackSpeed = 0.0f;
            a.hitShape[2] = 120.0f;
            a.power = 160;
        });
        EffectHere(side, std::fabs(p.aimAngle) <= PI_F / 2.0f ? 121 : 120, p.aimAngle);
        PlaySe(SE_SWING);
        SpawnHeavyShot(121, p.aimAngle, PositionOf(p).data(), side);
    }
    CloseOrDash(side, facingAngle, 40, 20);
    if (ButtonPressed(side, BUTTON_Z) && p.stateTimer > 12) {
        EnterState(p, KIRUNE_SHOT, 10);
        AimAtOpponent(side);
    }
}

void RunSpreadShots(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 9 && ButtonHeld(side, BUTTON_X)) p.state = KIRUNE_RAPID_FIRE;  // the timer runs on
    if (Every(t, 12, 27, 3)) {
        AimAtOpponent(side);
        const float r = RandomFloat(0.6f, 1.2f);
        const float sign = (t / 3) % 2 == 1 ? 1.0f : -1.0f;
        AppendSpreadShot(side, p.aimAngle + sign * r);
        if (t % 4 == 0) {
            EffectHere(side, 620, p.aimAngle);
            PlaySe(SE_BURST);
        }
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 40, 30);
}

void RunRapidFire(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (Every(t, 12, 30, 3)) {
        AimAtOpponent(side);
        const float dx = RandomFloat(-40.0f, 40.0f);
        const float dy = RandomFloat(-40.0f, 40.0f);
        const float at[2] = {p.x + dx, p.y + dy};
        SpawnShot(110, p.aimAngle, at, side);
        SpawnEffect(620, p.aimAngle, at, side);
        if (t % 6 == 0) PlaySe(SE_BURST);
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 50, 25);
}

void RunChargingSlash(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) LungeAtOpponent(side, 0.0);
    if (t == 10) {
        LungeAtOpponent(side, 16.0);
        PlaySe(SE_SWING_H);
    }
    if (t >= 11 && t <= 19 && TouchesOpponent(side, 60.0f, 40.0f)) p.speed = 4.0;
    if (Every(t, 11, 24, 3)) AreaHere(side, 120, p.aimAngle);
    if (t == 27) AreaHere(side, 121, p.aimAngle);
    if (Every(t, 12, 25, 4)) EffectHere(side, 1001, p.aimAngle);
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 40, 30);
}

// Entered from the charged shot with stateTimer 8; contact cuts it to 25.
void RunChasingSlash(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 10) {
        LungeAtOpponent(side, 18.0);
        PlaySe(SE_SWING_H);
    }
    if (t >= 11 && t <= 24 && TouchesOpponent(side, 40.0f, 40.0f)) {
        p.speed = 4.0;
        AreaHere(side, 122, p.aimAngle);
        p.stateTimer = 25;
    }
    if (Every(p.stateTimer, 12, 25, 4)) EffectHere(side, 1001, p.aimAngle);
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 50, 40);
}

void RunBeam(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighAttackOpening(side, t);
    if (t == 5) AppendBeam(side, 110);
    if (Every(t, 25, 60, 5)) SpawnEffect(620, p.aimAngle, Turned(p, 25.0f, 0.0f, p.aimAngle).data(), side);
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 80, 40);
}

void RunRush(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighAttackOpening(side, t);
    if (t == 15) {
        LungeAtOpponent(side, 12.0);
        if (p.invulnerableTimer < 20) p.invulnerableTimer = 20;
        AreaHere(side, 110, p.aimAngle);
        EffectHere(side, 110, p.aimAngle);
        PlaySe(SE_FLASH);
    }
    if (Every(t, 15, 30, 3)) EffectHere(side, 1001, p.aimAngle);
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 40, 30);
}

void RunHeavyShot(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighAttackOpening(side, t);
    if (t == 15) {
        AimAtOpponent(side);
        SpawnHeavyShot(120, p.aimAngle, PositionOf(p).data(), side);
        PlaySe(SE_SWING_H);
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 50, 40);
}

// The hyper beam: one beam 114 along the aim and four 115 fanned around it,
// each keeping its offset from the aim in its heading.
void FireHyperBeams(int32_t side) {
    const PlayerRecord& p = players[side];
    AppendBeam(side, 114);
    const double offsets[4] = {-PI_WIDE / 6.0, -PI_WIDE / 4.0, PI_WIDE / 6.0, PI_WIDE / 4.0};
    for (const double offset : offsets) {
        const double a = p.aimAngle + offset;
        float at[2];
        PlaceAround(at, p, a, 625.0);
        const int32_t i = SpawnHeavyShot(115, static_cast<float>(a), at, side);
        heavyShotList.Adjust(i, [offset](HeavyShot& h) { h.heading = static_cast<float>(offset); });
    }
}

void RunHyper(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) HighStart(side, -130);
    if (t < 10) StartBurst(side);
    if (t < 50) StartBurst(side);
    if (t == 10) {
        AimAtOpponent(side);
        FireHyperBeams(side);
    }
    if (Every(t, 25, 60, 5)) {
        SpawnEffect(140, p.aimAngle, Turned(p, 25.0f, 0.0f, p.aimAngle).data(), side);
        for (const double turn : {-PI_WIDE / 6.0, PI_WIDE / 6.0}) {
            const double a = p.aimAngle + turn;
            SpawnEffect(140, static_cast<float>(a), Turned(p, 30.0f, 0.0f, a).data(), side);
        }
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 130, 110);
}

void RunKiruneMove(int32_t side, float facingAngle) {
    switch (players[side].state) {
    case KIRUNE_SHOT: RunShot(side, facingAngle); return;
    case KIRUNE_MOVING_SHOTS: RunMovingShots(side, facingAngle); return;
    case KIRUNE_CHARGED_SHOT: RunChargedShot(side, facingAngle); return;
    case KIRUNE_SLASH_1: RunSlash1(side, facingAngle); return;
    case KIRUNE_SLASH_2: RunSlash2(side, facingAngle); return;
    case KIRUNE_SLASH_3: RunSlash3(side, facingAngle); return;
    case KIRUNE_LONG_SLASH: RunLongSlash(side, facingAngle); return;
    case KIRUNE_SPREAD_SHOTS: RunSpreadShots(side, facingAngle); return;
    case KIRUNE_RAPID_FIRE: RunRapidFire(side, facingAngle); return;
    case KIRUNE_CHARGING_SLASH: RunChargingSlash(side, facingAngle); return;
    case KIRUNE_CHASING_SLASH: RunChasingSlash(side, facingAngle); return;
    case KIRUNE_BEAM: RunBeam(side, facingAngle); return;
    case KIRUNE_RUSH: RunRush(side, facingAngle); return;
    case KIRUNE_HEAVY_SHOT: RunHeavyShot(side, facingAngle); return;
    case KIRUNE_HYPER: RunHyper(side, facingAngle); return;
    default: FreeTheSide(side); return;
    }
}

}  // namespace

void UpdateKirune(int32_t side) { UpdateCharacter(side, kiruneActions, RunKiruneMove); }
