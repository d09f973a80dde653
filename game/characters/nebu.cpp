#include "game/characters/nebu.h"

#include <array>
#include <cmath>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_rules.h"

namespace {

// The high attack of C: with V held the star burst, which X (the rear storm)
// and A (the tri-spread) win over in that order.
int32_t ChooseHighAttack(int32_t side) {
    int32_t state = NEBU_SWEEP_BEAM;
    if (ButtonDown(side, BUTTON_V)) state = NEBU_STAR_BURST;
    if (ButtonDown(side, BUTTON_X)) state = NEBU_REAR_STORM;
    if (ButtonDown(side, BUTTON_A)) state = NEBU_TRI_SPREAD;
    return state;
}

constexpr CharacterActions nebuActions{
    .neutralDashGain = 0.25,
    .trailEffect = 1002,
    .shieldParticleGroup = 20,  // colour number + 20
    .shieldInvulnerableTimer = 40,
    .hyperAttackState = NEBU_FOUNTAIN,
    .highAttacks = {NEBU_SWEEP_BEAM, NEBU_REAR_STORM, NEBU_TRI_SPREAD},
    .dashFromHit = DashNebu,
    .dashFromBurst = DashNebu,
    .dashFromBlownAway = DashNebu,
    .dashFromShield = DashKirune,  // the first character's dash
    .handleButtons = HandleButtonsNebu,
    .chooseHighAttack = ChooseHighAttack,
};

// ---------------------------------------------------------------------------
// Steps the moves share

// How a move's frame ends: the drift with its decay, stateTimer counting on
// (the side is free past endAt), and V starting a dash once stateTimer is
// past dashAfter.
struct MoveEnd {
    double decay;
    int32_t endAt;
    int32_t dashAfter;
};

void DriftEndOrDash(int32_t side, float facingAngle, const MoveEnd& end) {
    MoveWithDecay(players[side], end.decay);
    CloseAfterOrDash(side, facingAngle, end.endAt, end.dashAfter, DashNebu);
}

float TowardOpponent(int32_t side, const Point& from) { return DirectionTo(from.data(), OpponentOf(side)); }

bool OpponentCloserThan(int32_t side, double distance) {
    return SquaredDistance(players[side], OpponentOf(side)) < distance * distance;
}

// The opening of the high attacks that strike later: flash and
// invulnerability on their second frame.
void FlashAndGuard(int32_t side, int32_t t) {
    if (t != 1) return;
    AddScreenFlash();
    players[side].invulnerableTimer = 100;
}

// A Shot or HeavyShot of type 720 from a random point behind the side (up
// to 150 away, within a half turn around the back), flying along the aim.
void RearShot(int32_t side, bool heavy) {
    const PlayerRecord& p = players[side];
    const double a = RandomFloat(-PI_F / 2.0f, PI_F / 2.0f) + static_cast<double>(p.aimAngle) + PI_WIDE;
    const float alongX = RandomFloat(0.0f, 150.0f);
    const float alongY = RandomFloat(0.0f, 150.0f);
    const float at[2] = {static_cast<float>(p.x + std::cos(a) * alongX), static_cast<float>(p.y + std::sin(a) * alongY)};
    if (heavy) SpawnHeavyShot(720, p.aimAngle, at, side);
    else SpawnShot(720, p.aimAngle, at, side);
    SpawnEffect(620, p.aimAngle, at, side);
}

// The glow 50 behind the side, every fifth frame of the rear storm.
void RearGlow(int32_t side, int32_t t) {
    if (t >= 50 || t % 5 != 0) return;
    const PlayerRecord& p = players[side];
    const double back = p.aimAngle + PI_WIDE;
    SpawnEffect(720, static_cast<float>(back), Turned(p, 50.0f, 0.0f, back).data(), side);
}

// A beam is a row of AttackAreas at (600, 0) turned by the aim, one a frame from
// frame 10, 740 and 741 in turn every two frames. Its width (the second
// scale) swells from 0 at frame 10, holds the table's 1, fades to 0 at
// fadeEnd, and is then multiplied by widthFactor; the striking pieces reach
// 570 along and `across` across with their power.
struct Beam {
    int32_t swellUntil;  // below it the width is (t - 10) * swellRate
    double swellRate;
    int32_t fadeAfter;  // above it the width is (fadeEnd - t) * 0.1
    int32_t fadeEnd;
    double widthFactor;
    float across;
    int32_t power;
    int32_t missesDashingPlayer;  // 1: a dashing opponent slips through
};

constexpr Beam xBeam{30, 0.05, 40, 50, 0.8, 40.0f, 30, 1};
constexpr Beam sweepBeam{20, 0.1, 50, 60, 2.0, 100.0f, 35, 0};

void BeamPiece(int32_t side, int32_t t, const Beam& beam, bool strikes) {
    const PlayerRecord& p = players[side];
    const Point at = Turned(p, 600.0f, 0.0f, p.aimAngle);
    const int32_t i = SpawnAttackArea((t / 2) % 2 == 0 ? 740 : 741, p.aimAngle, at.data(), side);
    attackAreaList.Adjust(i, [&](AttackArea& a) {
        // The width is worked out in double and rounded once.
        double width = a.scaleY;
        if (t < beam.swellUntil) width = (t - 10) * beam.swellRate;
        else if (t > beam.fadeAfter) width = (beam.fadeEnd - t) * 0.1;
        a.scaleY = static_cast<float>(width * beam.widthFactor);
        if (!strikes) return;
        a.hitShape[0] = 570.0f;
        a.hitShape[1] = beam.across;
        a.power = beam.power;
        if (beam.missesDashingPlayer) a.missesDashingPlayer = 1;
    });
}

// The last part of the tri-spread and the fountain: a flash every ten frames
// of the first fifty.
void HighTail(int32_t side, int32_t t) {
    if (t < 50 && t % 10 == 0) EffectHere(side, 1000, 0.0f);
}

// ---------------------------------------------------------------------------
// The moves; t is stateTimer as the frame's step begins.

void RunTwinShot(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 10 && ButtonDown(side, BUTTON_Z)) EnterState(p, NEBU_WHEEL, 0);
    if (t == 12) {
        const Point upper = Turned(p, -10.0f, RandomFloat(10.0f, 50.0f), p.aimAngle);
        SpawnHeavyShot(702, TowardOpponent(side, upper), upper.data(), side);
        const Point lower = Turned(p, -10.0f, RandomFloat(-50.0f, -10.0f), p.aimAngle);
        SpawnShot(702, TowardOpponent(side, lower), lower.data(), side);
    }
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 30, 15});
}

// Twenty-four shots on a circle of 80 around the side, heavy and light in
// turn, each flying along the circle (the heavy ones one way, the light ones
// the other).
void RunWheel(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 5) {
        for (int32_t i = 0; i < 24; ++i) {
            const double b = i * 0.2617994;
            const Point at = Turned(p, 80.0f, 0.0f, b - PI_WIDE);
            if (i % 2 == 0) SpawnHeavyShot(741, static_cast<float>(b - PI_WIDE / 2.0), at.data(), side);
            else SpawnShot(741, static_cast<float>(b + PI_WIDE / 2.0), at.data(), side);
        }
    }
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 50, 30});
}

void RunOrbitShots(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t >= 10 && t <= 30 && (t - 10) % 4 == 0) {
        const float r = RandomFloat(20.0f, 60.0f);
        const float a = RandomFloat(-PI_F, PI_F);
        const Point at = Turned(p, r, 0.0f, a);
        const float g = TowardOpponent(side, at);
        if ((t - 10) % 8 == 0) {
            const int32_t i = SpawnHeavyShot(703, g, at.data(), side);
            heavyShotList.Adjust(i, [](HeavyShot& h) { h.damage = 70; });
        } else {
            const int32_t i = SpawnShot(703, g, at.data(), side);
            shotList.Adjust(i, [](Shot& s) { s.power = 70; });
        }
    }
    DriftEndOrDash(side, facingAngle, {DECAY_SLOW, 50, 35});
}

void RunRearVolley(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 10 && ButtonDown(side, BUTTON_X)) p.state = NEBU_BEAM;  // the timer runs on
    if (t >= 12 && t <= 28 && t % 2 == 0) {
        RearShot(side, (t / 2) % 2 == 0);
        PlaySe(SE_SHOOT00);
    }
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 50, 35});
}

// The beam keeps the aim of the move's start. It swells over frames 10 to 30,
// holds and fades after 40; from 20 to 40 every fourth piece strikes.
void RunBeam(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t >= 10 && t <= 50) BeamPiece(side, t, xBeam, t >= 20 && t <= 40 && t % 4 == 0);
    if (t == 20) PlaySe(SE_RAY);
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 60, 50});
}

void RunChain(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 5) {
        p.speed = 0.0;
        SpawnShot(710, p.aimAngle, PositionOf(p).data(), side);
        EffectHere(side, 740, p.aimAngle);
        PlaySe(SE_CHAIN);
    }
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 40, 30});
    // The chain goes on only while it holds the opponent, and takes over
    // whatever the frame's end or dash made of the side.
    if (t >= 11 && OpponentKnockedBack(side)) {
        if (ButtonPressed(side, BUTTON_Z)) EnterState(p, NEBU_CHAIN_VOLLEY, 0);
        else if (ButtonPressed(side, BUTTON_X)) EnterState(p, NEBU_BURST_STRIKE, 0);
    }
}

// Six chain heads from points beside and a little behind the side, above and
// below the aim in turn, each flying at the opponent.
void RunChainVolley(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t >= 5 && t <= 30 && t % 5 == 0) {
        p.speed = 0.0;
        const float along = RandomFloat(-30.0f, -10.0f);
        float across = RandomFloat(20.0f, 80.0f);
        if ((t / 5) % 2 == 0) across = -across;
        const Point at = Turned(p, along, across, p.aimAngle);
        SpawnShot(715, TowardOpponent(side, at), at.data(), side);
        SpawnEffect(740, p.aimAngle, at.data(), side);
        PlaySe(SE_CHAIN);
    }
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 60, 50});
    if (OpponentKnockedBack(side) && ButtonPressed(side, BUTTON_X))
        EnterState(p, t >= 11 && ButtonDown(side, BUTTON_A) ? NEBU_BURST_STRIKE : NEBU_BEAM, 0);
}

// Four blows just ahead, the last one straight along the aim and hurling the
// opponent away.
void RunBurstStrike(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t >= 12 && t <= 21 && t % 3 == 0) {
        p.speed = 0.0;
        const float along = RandomFloat(20.0f, 30.0f);
        float across = RandomFloat(-20.0f, 20.0f);
        if (t == 21) across = 0.0f;
        const Point at = Turned(p, along, across, p.aimAngle);
        SpawnEffect(750, p.aimAngle, at.data(), side);
        SpawnEffect(620, p.aimAngle, at.data(), side);
        const int32_t i = SpawnAttackArea(720, p.aimAngle, at.data(), side);
        if (t == 21) attackAreaList.Adjust(i, [](AttackArea& a) { a.knockBackSpeed = 17.0f; });
        if (t == 12 || t == 18) PlaySe(SE_ECO);
    }
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 40, 30});
}

// High attack, C alone: a wide beam along the aim of its start that follows
// the side, which moves at 4.0 per held arrow meanwhile.
void RunSweepBeam(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) HighStartAndStop(side, 100);
    if (t < 5) StartBurst(side);
    if (t >= 10) MoveByArrows(side, 4.0f);
    if (t >= 10 && t <= 60) BeamPiece(side, t, sweepBeam, t >= 21 && t <= 48 && t % 3 == 0);
    if (t == 10) PlaySe(SE_RAY);
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 80, 60});
}

// High attack, C with V: three fans of five chain heads, and the opponent's
// boost gauge filling while it stays within 250.
void RunStarBurst(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 1) HighStartFlash(side, 100);
    if (t < 5) StartBurst(side);
    if (t == 20) {
        AimAtOpponent(side);
        p.speed = 0.0;
        for (const double fan : {0.0, 2.0943952, -2.0943952}) {
            const Point at = Turned(p, 60.0f, 0.0f, p.aimAngle + fan);
            for (int32_t k = 0; k < 5; ++k) {
                const float angle = static_cast<float>(p.aimAngle + fan + k * 1.2566371);
                SpawnShot(717, angle, at.data(), side);
                SpawnEffect(740, angle, at.data(), side);
            }
        }
        PlaySe(SE_FLASH);
    }
    if (t >= 10 && t <= 40) {
        if (t % 10 == 0) EffectHere(side, 760, RandomFloat(-PI_F, PI_F));
        if (OpponentCloserThan(side, 250.0)) OpponentOf(side).boostGauge += 0.1;
        if (t % 4 == 0) PlaySe(SE_FIRE);
    }
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 60, 50});
}

// High attack, C with X: shots from behind the side; an opponent within 120
// at frame 9 turns it into the closing ring.
void RunRearStorm(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    FlashAndGuard(side, t);
    if (t == 0) EffectHere(side, 1000, 0.0f);
    if (t < 5) StartBurst(side);
    RearGlow(side, t);
    if (t == 9 && OpponentCloserThan(side, 120.0)) p.state = NEBU_CLOSING_RING;  // the timer runs on
    if (t >= 10 && t <= 50) {
        RearShot(side, t % 2 == 0);
        if (t % 3 == 0) PlaySe(SE_SHOOT00);
    }
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 80, 60});
}

// Shots from random points around the opponent, aimed at it, while it stays
// within 150.
void RunClosingRing(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    RearGlow(side, t);
    if (t >= 10 && t <= 50 && t % 2 == 0 && OpponentCloserThan(side, 150.0)) {
        const float a = RandomFloat(-PI_F, PI_F);
        const float r = RandomFloat(50.0f, 200.0f);
        const Point at = Turned(OpponentOf(side), r, 0.0f, a);
        if ((t / 2) % 2 == 0) SpawnHeavyShot(721, a + PI_F, at.data(), side);
        else SpawnShot(721, a + PI_F, at.data(), side);
        SpawnEffect(620, a, at.data(), side);
        PlaySe(SE_SHOOT00);
    }
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 80, 60});
}

// High attack, C with A: six shots a sixth of a turn apart, then the side
// creeps at half speed, aiming all the while.
void RunTriSpread(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    FlashAndGuard(side, t);
    if (t < 5) StartBurst(side);
    if (t == 0) {
        const float position[2] = {p.x, p.y};
        for (int32_t k = 0; k < 3; ++k)
            SpawnHeavyShot(730, static_cast<float>(p.aimAngle + k * 2.0943952), position, side);
        for (int32_t k = 0; k < 3; ++k)
            SpawnShot(730, static_cast<float>(p.aimAngle + k * 2.0943952 + 1.0471976), position, side);
    }
    if (t >= 21 && t <= 89) {
        MoveByArrows(side, 1.25f);
        AimAtOpponent(side);
    }
    HighTail(side, t);
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 120, 100});
}

// The hyper attack: columns of HeavyShots rising from the side, blasts to
// both sides of it and rings of 36 shots from a point beside it.
void RunFountain(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) {
        AimAtOpponent(side);
        AddScreenFlash();
        p.invulnerableTimer = -120;
    }
    if (t < 5) StartBurst(side);
    const float up = -PI_F / 2.0f;
    if (t >= 6 && t <= 58 && t % 2 == 0) {
        const bool first = (t / 2) % 2 == 0;
        SpawnHeavyShot(first ? 760 : 762, up, PositionOf(p).data(), side);
        SpawnHeavyShot(first ? 763 : 761, up, PositionOf(p).data(), side);
    }
    if (t >= 10 && t <= 50 && t % 5 == 0) {
        const float right[2] = {p.x + 120.0f, p.y};
        SpawnAttackArea(730, 0.0f, right, side);
        const float left[2] = {p.x - 120.0f, p.y};
        SpawnAttackArea(730, PI_F, left, side);
    }
    if (t >= 10 && t <= 50 && t % 10 == 0) {
        const float dx = RandomFloat(50.0f, 100.0f);
        const float dy = RandomFloat(-50.0f, 50.0f);
        const float at[2] = {(t / 20) % 2 == 0 ? p.x - dx : p.x + dx, p.y + dy};
        for (int32_t i = 0; i < 36; ++i) {
            const float a = static_cast<float>(i * 0.027777778 * TWO_PI_WIDE - PI_WIDE);
            if (i % 2 == 0) SpawnHeavyShot(770, a, at, side);
            else SpawnShot(770, a, at, side);
        }
    }
    HighTail(side, t);
    DriftEndOrDash(side, facingAngle, {DECAY_FAST, 120, 100});
}

void RunNebuMove(int32_t side, float facingAngle) {
    switch (players[side].state) {
    case NEBU_TWIN_SHOT: RunTwinShot(side, facingAngle); return;
    case NEBU_WHEEL: RunWheel(side, facingAngle); return;
    case NEBU_ORBIT_SHOTS: RunOrbitShots(side, facingAngle); return;
    case NEBU_REAR_VOLLEY: RunRearVolley(side, facingAngle); return;
    case NEBU_BEAM: RunBeam(side, facingAngle); return;
    case NEBU_CHAIN: RunChain(side, facingAngle); return;
    case NEBU_CHAIN_VOLLEY: RunChainVolley(side, facingAngle); return;
    case NEBU_BURST_STRIKE: RunBurstStrike(side, facingAngle); return;
    case NEBU_SWEEP_BEAM: RunSweepBeam(side, facingAngle); return;
    case NEBU_STAR_BURST: RunStarBurst(side, facingAngle); return;
    case NEBU_REAR_STORM: RunRearStorm(side, facingAngle); return;
    case NEBU_CLOSING_RING: RunClosingRing(side, facingAngle); return;
    case NEBU_TRI_SPREAD: RunTriSpread(side, facingAngle); return;
    case NEBU_FOUNTAIN: RunFountain(side, facingAngle); return;
    default: FreeTheSide(side); return;
    }
}

}  // namespace

void UpdateNebu(int32_t side) { UpdateCharacter(side, nebuActions, RunNebuMove); }
