#include "game/characters/torvi.h"

#include <array>
#include <cmath>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_rules.h"

namespace {

// The high attack for the buttons held with C: A, then X, then V, the last
// one down winning.
int32_t ChooseHighAttack(int32_t side) {
    int32_t state = TORVI_LANCES;
    if (ButtonDown(side, BUTTON_A)) state = TORVI_WAVES;
    if (ButtonDown(side, BUTTON_X)) state = TORVI_RING;
    if (ButtonDown(side, BUTTON_V)) state = TORVI_STORM;
    return state;
}

constexpr CharacterActions torviActions{
    0.25,         // neutral dash gain
    1002,         // boosted dash trail
    20,           // shield particles: colour number + 20
    50,           // shield invulnerability
    TORVI_RAIN,
    {TORVI_LANCES, TORVI_RING, TORVI_WAVES},
    DashTorvi,    // from knock-back
    DashKirune,   // from the burst: the faster dash
    DashTorvi,    // when blown away
    DashKirune,   // from the shield
    HandleButtonsTorvi,
    ChooseHighAttack,
};

// ---------------------------------------------------------------------------
// Steps the moves share

// Every move's frame ends so: the motion, stateTimer counts on and the move
// ends when it reaches endsAt; otherwise V starts torvi's own dash once
// stateTimer has reached dashFrom.
void FinishTorviFrame(int32_t side, float facingAngle, double decay, int32_t endsAt, int32_t dashFrom) {
    FinishMoveFrame(side, facingAngle, decay, endsAt, dashFrom, DashTorvi);
}

// The side's position + (cos a * r1, sin a * r2): a point of a shot cloud,
// taken in double and rounded once.
Point ScatterPoint(const PlayerRecord& p, double a, float r1, float r2) {
    return {static_cast<float>(p.x + std::cos(a) * r1), static_cast<float>(p.y + std::sin(a) * r2)};
}

// A Shot of a cloud: a := RandomFloat(aLow, aHigh), r1 and r2 := RandomFloat(
// rLow, rHigh), b := RandomFloat(-0.3, 0.3) in this order; the Shot flies
// along the aim turned by b from the scatter point. Returns its index.
int32_t ScatterShot(int32_t side, int32_t type, float aLow, float aHigh, float rLow, float rHigh) {
    const PlayerRecord& p = players[side];
    const float a = RandomFloat(aLow, aHigh);
    const float r1 = RandomFloat(rLow, rHigh);
    const float r2 = RandomFloat(rLow, rHigh);
    const float b = RandomFloat(-0.3f, 0.3f);
    return SpawnShot(type, p.aimAngle + b, ScatterPoint(p, a, r1, r2).data(), side);
}


// A pair of reflectors either side of the aim, `spread` radians off it.
void ReflectorPair(int32_t side, double spread) {
    const PlayerRecord& p = players[side];
    for (const double a : {p.aimAngle + spread, p.aimAngle - spread})
        SpawnHeavyShot(612, static_cast<float>(a), Ahead(p, 40.0, a).data(), side);
    PlaySe(SE_GUN);
}

// Stops this side's young Shots 610 where they are, with a timer that tells
// their update they were recalled.
void RecallShots(int32_t side) {
    for (int32_t i = 0; i < shotList.Size(); ++i) {
        Shot& s = shotList[i];
        if (s.type != 610 || s.owner != side || s.age >= 200) continue;
        s.age = 999;
        s.speed = 0.0f;
    }
}

// ---------------------------------------------------------------------------
// The moves; t is stateTimer as the frame's step begins.

void RunShotCloud(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t < 25 && ArrowHeld(side)) TurnAngleToward(&p.aimAngle, GetInputAngle(buttonStates[side]), 0.02f);
    if (t >= 15 && t <= 30) {
        const float a = RandomFloat(0.0f, TWO_PI_F);
        const float b = RandomFloat(-0.3f, 0.3f);
        const float r1 = RandomFloat(0.0f, 60.0f);
        const float r2 = RandomFloat(0.0f, 60.0f);
        SpawnHeavyShot(610, p.aimAngle + b, ScatterPoint(p, a, r1, r2).data(), side);
        if (t % 5 == 0) PlaySe(SE_LASER);
    }
    FinishTorviFrame(side, facingAngle, DECAY_FAST, 61, 41);
}

void RunReflectors(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 15) ReflectorPair(side, 0.8);
    if (t == 17) ReflectorPair(side, 1.2);
    FinishTorviFrame(side, facingAngle, DECAY_SLOW, 41, 31);
}

// Near the opponent (closer than 140) the move turns into the blows at once;
// the rest of this frame is still this move's.
void RunCloseShots(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) {
        AimAtOpponent(side);
        if (SquaredDistance(p, OpponentOf(side)) < 19600.0) {
            p.state = TORVI_BLOWS;
            p.speed = 0.0;
        }
    }
    if (t == 1) {
        for (const float across : {0.0f, -30.0f, 30.0f})
            SpawnShot(621, p.aimAngle, Turned(p, 30.0f, across, p.aimAngle).data(), side);
        PlaySe(SE_ECO);
    }
    FinishTorviFrame(side, facingAngle, DECAY_FAST, 31, 21);
}

void RunBlows(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (Every(t, 8, 24, 4)) {
        const float a = p.aimAngle + RandomFloat(-0.6f, 0.6f);
        const Point at = Ahead(p, 20.0, a);
        SpawnEffect(630, a, at.data(), side);
        const int32_t area = SpawnAttackArea(630, a, at.data(), side);
        if (t == 24) attackAreaList.Adjust(area, [](AttackArea& hit) { hit.knockBackSpeed = 16.0f; });
        if (t == 8) PlaySe(SE_ECO);
    }
    FinishTorviFrame(side, facingAngle, DECAY_FAST, 31, 21);
}

// Releasing X cuts the volley short: its timer jumps to 60.
void RunVolley(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 10) RecallShots(side);
    if (Every(t, 12, 60, 6)) {
        ScatterShot(side, 610, 0.0f, TWO_PI_F, 50.0f, 100.0f);
        PlaySe(SE_ECO);
    }
    if (t >= 13 && t <= 59 && !ButtonDown(side, BUTTON_X)) p.stateTimer = 60;
    FinishTorviFrame(side, facingAngle, DECAY_FAST, 81, 71);
}

void RunSeed(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 12) {
        ScatterShot(side, 615, 0.0f, TWO_PI_F, 30.0f, 60.0f);
        PlaySe(SE_ECO);
    }
    FinishTorviFrame(side, facingAngle, DECAY_FAST, 31, 21);
}

void RunLances(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighOpening(side, t, 100, OpeningGlide::Stops);
    if (Every(t, 4, 24, 2)) {
        const float along = RandomFloat(10.0f, 40.0f);
        const float across = RandomFloat(-60.0f, 60.0f);
        SpawnShot(621, p.aimAngle, Turned(p, along, across, p.aimAngle).data(), side);
        if (t == 4) PlaySe(SE_ECO);
    }
    if (Every(t, 30, 60, 2)) {
        const float a = p.aimAngle + RandomFloat(-0.4f, 0.4f);
        SpawnHeavyShot(650, a, Ahead(p, 600.0, a).data(), side);
    }
    FinishTorviFrame(side, facingAngle, DECAY_SLOW, 81, 66);
}

void RunWaves(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighOpening(side, t, 100, OpeningGlide::Stops);
    if (Every(t, 8, 40, 4)) {
        const float a = p.aimAngle + RandomFloat(-0.3f, 0.3f);
        SpawnEffect(t == 40 ? 636 : 635, a, Ahead(p, 80.0, a).data(), side);
        if (t % 8 == 0) PlaySe(SE_ECO);
    }
    FinishTorviFrame(side, facingAngle, DECAY_FAST, 61, 51);
}

// Its flash and invulnerability come one frame after the aim.
void RunRing(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t < 5) StartBurst(side);
    if (t == 1) HighStartFlash(side, 100);
    if (t == 20) {
        for (int32_t k = 0; k < 12; ++k)
            SpawnShot(620, static_cast<float>(k * PI_WIDE / 6.0), PositionOf(p).data(), side);
        PlaySe(SE_ECO);
    }
    FinishTorviFrame(side, facingAngle, DECAY_FAST, 41, 31);
}

void RunStorm(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighOpening(side, t, 100, OpeningGlide::Stops);
    if (Every(t, 12, 50, 3)) {
        const int32_t shot = ScatterShot(side, 610, -PI_F, PI_F, 80.0f, 200.0f);
        shotList.Adjust(shot, [](Shot& s) { s.power = 20; });
        if (t % 6 == 0) PlaySe(SE_ECO);
    }
    FinishTorviFrame(side, facingAngle, DECAY_FAST, 81, 71);
}

// One shot of the rain: from 400 beyond the opponent on the side the aim
// points away from, falling diagonally across it. Per shot the offset is
// drawn x first, then the code, then the angle.
void RainShot(int32_t side) {
    const PlayerRecord& p = players[side];
    const bool aimRight = std::fabs(p.aimAngle) <= PI_F / 2.0f;
    const double quarter = PI_WIDE / 4.0;
    const Point source = Turned(OpponentOf(side), 400.0f, 0.0f, aimRight ? 3.0 * quarter : quarter);
    float offset[2];
    offset[0] = RandomFloat(-200.0f, 200.0f);
    offset[1] = RandomFloat(-100.0f, 50.0f);
    RotateVector2(offset, aimRight ? quarter : -quarter);
    const float at[2] = {source[0] + offset[0], source[1] + offset[1]};
    int32_t type = 630;
    if (RandomInt(0, 100) >= 25) type = RandomInt(0, 100) < 50 ? 631 : 632;
    const double fall = aimRight ? -quarter : -3.0 * quarter;
    const float angle = static_cast<float>(RandomFloat(-0.2f, 0.2f) + fall);
    SpawnShot(type, angle, at, side);
    SpawnEffect(620, -PI_F / 4.0f, at, side);
}

void RunRain(int32_t side, float facingAngle) {
    const int32_t t = players[side].stateTimer;
    if (t == 0) HighStartAndStop(side, -150);
    if (t < 10) SparkBurst(side, 8, PI_WIDE / 4.0);
    if (Every(t, 0, 70, 2)) {
        RainShot(side);
        if (t % 8 == 0) PlaySe(SE_ECO);
    }
    if (Every(t, 0, 70, 10)) AddScreenFlash();
    FinishTorviFrame(side, facingAngle, DECAY_FAST, 101, 91);
}

void RunTorviMove(int32_t side, float facingAngle) {
    switch (players[side].state) {
    case TORVI_SHOT_CLOUD: RunShotCloud(side, facingAngle); return;
    case TORVI_REFLECTORS: RunReflectors(side, facingAngle); return;
    case TORVI_CLOSE_SHOTS: RunCloseShots(side, facingAngle); return;
    case TORVI_BLOWS: RunBlows(side, facingAngle); return;
    case TORVI_VOLLEY: RunVolley(side, facingAngle); return;
    case TORVI_SEED: RunSeed(side, facingAngle); return;
    case TORVI_LANCES: RunLances(side, facingAngle); return;
    case TORVI_WAVES: RunWaves(side, facingAngle); return;
    case TORVI_RING: RunRing(side, facingAngle); return;
    case TORVI_STORM: RunStorm(side, facingAngle); return;
    case TORVI_RAIN: RunRain(side, facingAngle); return;
    default: FreeTheSide(side); return;
    }
}

}  // namespace

void UpdateTorvi(int32_t side) { UpdateCharacter(side, torviActions, RunTorviMove); }
