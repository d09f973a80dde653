#include "game/characters/bemo.h"

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

// C with X takes the vortex whatever else is down; otherwise V, and then A
// (which wins), change the plain wall.
int32_t ChooseBemoHighAttack(int32_t side) {
    if (ButtonDown(side, BUTTON_X)) return BEMO_VORTEX;
    int32_t state = BEMO_WALL;
    if (ButtonDown(side, BUTTON_V)) state = BEMO_STORM;
    if (ButtonDown(side, BUTTON_A)) state = BEMO_STAR;
    return state;
}

constexpr CharacterActions bemoActions{
    .neutralDashGain = 0.25,
    .trailEffect = 1002,
    .shieldParticleGroup = 20,  // colour number + 20
    .shieldInvulnerableTimer = 40,
    .hyperAttackState = BEMO_MAELSTROM,
    .highAttacks = {BEMO_WALL, BEMO_VORTEX, BEMO_STAR},
    .dashFromHit = DashBemo,
    .dashFromBurst = DashBemo,
    .dashFromBlownAway = DashBemo,
    .dashFromShield = DashKirune,  // the faster dash of the first character
    .handleButtons = HandleButtonsBemo,
    .chooseHighAttack = ChooseBemoHighAttack,
    .shieldOrder = ShieldOrder::ButtonsFirst,
};

// The particle colour numbers of the side's colour: A the first, B the second.
int32_t ColourA(int32_t side) { return ColourNumber(side, 0); }
int32_t ColourB(int32_t side) { return ColourNumber(side, 1); }

// ---------------------------------------------------------------------------
// Steps the moves share

// Every move's frame ends so: stateTimer counts on and, past closeAfter, the
// side is free; otherwise V starts bemo's dash once stateTimer is past dashAfter.
void CloseOrDash(int32_t side, float facingAngle, int32_t closeAfter, int32_t dashAfter) {
    CloseAfterOrDash(side, facingAngle, closeAfter, dashAfter, DashBemo);
}

// The opening of the four high attacks: the flash and 100 frames of
// invulnerability on frame 0, sparks on frames 0 to 4.
void HighAttackOpening(int32_t side, int32_t t) { HighOpening(side, t, 100, OpeningGlide::SlidesOn); }

int32_t HeavyShotHere(int32_t side, int32_t type, double angle) {
    return SpawnHeavyShot(type, static_cast<float>(angle), PositionOf(players[side]).data(), side);
}

int32_t ShotHere(int32_t side, int32_t type, double angle) {
    return SpawnShot(type, static_cast<float>(angle), PositionOf(players[side]).data(), side);
}

// The centre of the whirls: 2t above the side.
Point WhirlCentre(const PlayerRecord& p, int32_t t) {
    return {p.x, static_cast<float>(p.y + 2.0 * t)};
}

// The whirl's own AttackArea 202 at the centre, turning with t and growing:
// from nothing at t 10 to 1 at t 30, then t / 30.
void SpawnWhirl(int32_t side, int32_t t, const Point& centre) {
    const int32_t i = SpawnAttackArea(202, static_cast<float>(t * 0.1), centre.data(), side);
    const double scale = t < 30 ? (t - 10) * 0.05 : t / 30.0;
    attackAreaList.Adjust(i, [scale](AttackArea& a) { a.scaleY = static_cast<float>(scale); });
}

// Moves the opponent `pull` units toward the centre, along the line from the
// centre to it. It acts at once, so the opponent's own update of the frame
// sees it when bemo is side 0, and the next frame's when bemo is side 1.
void PullOpponent(int32_t side, const Point& centre, double pull) {
    PlayerRecord& o = OpponentOf(side);
    const double g = std::atan2(static_cast<double>(o.y) - centre[1], static_cast<double>(o.x) - centre[0]);
    o.x = static_cast<float>(o.x - std::cos(g) * pull);
    o.y = static_cast<float>(o.y - std::sin(g) * pull);
}

// The whirls turn the side's moveAngle a tenth of a radian a frame.
void TurnMoveAngle(PlayerRecord& p) {
    p.moveAngle += 0.1;
    if (p.moveAngle > PI_F) p.moveAngle -= TWO_PI_F;
}

// The end of the whirls' frames: a speed carried into the state moves the
// side once and is gone; the state ends past 100 and may dash past 85.
void CloseWhirl(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    MoveWithDecay(p, 0.0);
    p.speed = 0.0;
    CloseOrDash(side, facingAngle, 100, 85);
}

// ---------------------------------------------------------------------------
// The moves; t is stateTimer as the frame's step begins.

void RunRingShot(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 14) {
        AimAtOpponent(side);
        for (int32_t i = 0; i < 36; ++i) HeavyShotHere(side, i % 2 == 0 ? 210 : 211, p.aimAngle + i * 0.17453294);
        PlaySe(SE_LASER);
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 40, 25);
}

void RunScatter(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 12 || t == 14) HeavyShotHere(side, t == 12 ? 220 : 221, RandomFloat(-PI_F, PI_F));
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 30, 16);
}

void RunStorm(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighAttackOpening(side, t);
    if (t >= 8 && t <= 40 && t % 2 == 0) {
        const bool first = (t / 2) % 2 == 0;
        const float a = RandomFloat(-PI_F, PI_F);
        const int32_t i = HeavyShotHere(side, first ? 220 : 221, a);
        const int32_t age = RandomInt(0, 150);  // drawn even if the spawn made nothing
        heavyShotList.Adjust(i, [age](HeavyShot& h) {
            h.age = age;
            h.damage = 40;
        });
        SpawnParticles(20 + (first ? ColourA(side) : ColourB(side)), 3, 0.0f, PositionOf(p).data());
    }
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 50, 35);
}

// Five rings of 18, each a little behind and turned back from the last.
void RunWall(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighAttackOpening(side, t);
    if (t == 16) {
        AimAtOpponent(side);
        for (int32_t k = 0; k < 5; ++k)
            for (int32_t j = 0; j < 18; ++j) {
                const int32_t i = HeavyShotHere(side, j % 2 == 0 ? 210 : 211, p.aimAngle + j * 0.34906587 - k * 0.1);
                heavyShotList.Adjust(i, [k](HeavyShot& h) { h.age = -5 * k; });
            }
    }
    if (t == 16 || t == 20 || t == 24) PlaySe(SE_LASER);
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 40, 30);
}

// Held X opens the fan of seven Shots 210, thrown up on the opponent's side;
// X let go before frame 12 turns the move into the whip.
void RunFan(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 12 && !ButtonDown(side, BUTTON_X)) p.state = BEMO_WHIP;  // the timer runs on
    if (t >= 15 && t <= 21) {
        const bool opponentLeft = OpponentOf(side).x <= p.x;
        const float a = opponentLeft ? RandomFloat(PI_F / 2.0f, 2.5132742f) : RandomFloat(0.62831855f, PI_F / 2.0f);
        ShotHere(side, 210, a);
    }
    if (t == 14) PlaySe(SE_SWING_H);
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 45, 25);
}

void RunWhip(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    if (p.stateTimer == 14) {
        const int32_t i = ShotHere(side, 225, p.aimAngle);
        shotList.Adjust(i, [](Shot& s) { s.param = 0.0f; });  // flies straight
        PlaySe(SE_WHIP);
    }
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 40, 20);
}

// A spinning Shot thrown out sideways: 221 below the aim when it points into
// the right half, else 222 above it.
void RunSideShot(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 4) {
        if (std::fabs(p.aimAngle) <= PI_F / 2.0f) ShotHere(side, 221, p.aimAngle - PI_F / 2.0f);
        else ShotHere(side, 222, p.aimAngle + PI_F / 2.0f);
        PlaySe(SE_WHIP);
    }
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 40, 20);
    if (ButtonPressed(side, BUTTON_Z) && ButtonDown(side, BUTTON_A) && p.stateTimer >= 13) {
        EnterState(p, BEMO_LUNGE_STRIKE, 0);
    }
}

// Ten Shots spinning out in a star, the two turns alternating.
void RunStar(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighAttackOpening(side, t);
    if (t == 10) {
        for (int32_t i = 0; i < 10; ++i) ShotHere(side, i % 2 == 0 ? 232 : 231, p.aimAngle + i * 0.62831855);
        PlaySe(SE_WHIP);
    }
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 50, 40);
}

// A lunge at a twentieth of the distance (at most 14), then the strike 40
// ahead; one strike in ten or so is the strong one.
void RunLungeStrike(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) {
        AimAtOpponent(side);
        p.speed = std::min(DistanceToOpponent(side) * 0.05, 14.0);
        p.moveAngle = p.aimAngle;
    }
    if (t == 10) {
        const Point at = Turned(p, 40.0f, 0.0f, p.aimAngle);  // (40, 0) turned by the aim
        p.speed = 0.0;
        const int32_t r = RandomInt(0, 200);
        AreaAt(side, r <= 180 ? 220 : 221, p.aimAngle, at);
        PlaySe(SE_SWING_H);
    }
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 25, 20);
}

// Whirls above the side pull the opponent in while C stays down (at least to
// frame 29, at most to 79); letting go after 29, or frame 80, throws the
// vortex HeavyShot at the opponent, the stronger the longer it was held.
void RunVortex(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) {
        AimAtOpponent(side);
        p.moveAngle = p.aimAngle;
    }
    HighAttackOpening(side, t);
    if (t >= 10 && t <= 80) {
        const Point centre = WhirlCentre(p, t);
        TurnMoveAngle(p);
        const bool held = ButtonDown(side, BUTTON_C);
        if ((t < 80 && held) || t < 30) {
            SpawnWhirl(side, t, centre);
            PullOpponent(side, centre, 3.0);
        }
        if ((t > 29 && !held) || t == 80) {
            const int32_t i = SpawnHeavyShot(230, static_cast<float>(t * 0.1), centre.data(), side);
            const float toward = DirectionBetween(p, OpponentOf(side));
            heavyShotList.Adjust(i, [t, toward](HeavyShot& h) {
                h.heading = toward;
                h.param = static_cast<float>(t / 30.0);
                h.speed = static_cast<float>(6.0 - (t - 30) * 0.1);
            });
            p.stateTimer = 80;
            PlaySe(SE_SWING_H);
        }
    }
    CloseWhirl(side, facingAngle);
}

// Sixty frames of whirls pulling harder, then the blast at their centre.
void RunMaelstrom(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) {
        AimAtOpponent(side);
        p.moveAngle = p.aimAngle;
        HighStartFlash(side, -100);
    }
    if (t <= 60) {
        const Point centre = WhirlCentre(p, t);
        StartBurst(side);
        if (t % 5 == 0) SpawnEffect(200, 0.0f, centre.data(), side);
        TurnMoveAngle(p);
        SpawnWhirl(side, t, centre);
        PullOpponent(side, centre, 4.0);
        if (t == 60) {
            SpawnEffect(201, 0.0f, centre.data(), side);
            SpawnEffect(202, 0.0f, centre.data(), side);
            SpawnAttackArea(203, DirectionTo(centre.data(), OpponentOf(side)), centre.data(), side);
            SpawnParticles(20 + ColourA(side), 15, 0.0f, centre.data());
            SpawnParticles(20 + ColourB(side), 15, 0.0f, centre.data());
        }
    }
    CloseWhirl(side, facingAngle);
}

void RunBemoMove(int32_t side, float facingAngle) {
    switch (players[side].state) {
    case BEMO_RING_SHOT: RunRingShot(side, facingAngle); return;
    case BEMO_WALL: RunWall(side, facingAngle); return;
    case BEMO_FAN: RunFan(side, facingAngle); return;
    case BEMO_SCATTER: RunScatter(side, facingAngle); return;
    case BEMO_VORTEX: RunVortex(side, facingAngle); return;
    case BEMO_SIDE_SHOT: RunSideShot(side, facingAngle); return;
    case BEMO_STAR: RunStar(side, facingAngle); return;
    case BEMO_LUNGE_STRIKE: RunLungeStrike(side, facingAngle); return;
    case BEMO_WHIP: RunWhip(side, facingAngle); return;
    case BEMO_STORM: RunStorm(side, facingAngle); return;
    case BEMO_MAELSTROM: RunMaelstrom(side, facingAngle); return;
    default: FreeTheSide(side); return;
    }
}

}  // namespace

// bemo's shield takes the buttons before its dash.
void UpdateBemo(int32_t side) { UpdateCharacter(side, bemoActions, RunBemoMove); }
