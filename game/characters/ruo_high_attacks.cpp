// ruo's high attacks (a sword charge, a ring of clones, the power-up and, in
// power mode, a stronger charge and a grab) and its hyper attack, which
// catches the opponent, lifts it and blasts it. The grab and the hyper hold
// the opponent in knock-back and move it every fifth frame; while they hold,
// the battle zooms in through battleFadeLevel.
#include <cmath>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/characters/character_actions.h"
#include "game/characters/ruo.h"
#include "game/characters/ruo_moves.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/collision.h"
#include "game/shots/object_rules.h"

namespace ruo {
namespace {

constexpr float HOLD_FADE_LEVEL = 0.5f;

bool Within(int32_t t, int32_t from, int32_t to) { return t >= from && t <= to; }

// The contact test of the charges and grabs: 60 along the aim, 40 across.
bool Contact(int32_t side) { return TouchesOpponent(side, 60.0f, 40.0f); }

bool OpponentKnockedOut(int32_t side) { return OpponentOf(side).state == PLAYER_KNOCKED_OUT; }

// The opponent is held in knock-back at `at`, still, facing `aim` and
// heading along `heading`.
void Hold(int32_t side, const Point& at, float aim, float heading) {
    PlayerRecord& o = OpponentOf(side);
    EnterState(o, PLAYER_KNOCKED_BACK, 0);
    o.aimAngle = aim;
    o.moveAngle = heading;
    o.x = at[0];
    o.y = at[1];
    o.speed = 0.0;
}

// States 67 and 72: a charge along the aim that slows down on the opponent,
// leaving attack areas every third frame and a bigger one at 27.
void RunCharge(int32_t side, float facingAngle, bool powered) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighOpening(side, t, 100, OpeningGlide::Stops);
    if (t == 10) {
        LungeAtOpponent(side, powered ? 24.0 : 20.0);
        if (powered) PlaySe(SE_BURN);
    }
    const bool charging = Within(t, 11, 29);
    if (charging && Contact(side)) p.speed = 4.0;
    MoveWithDecay(p, DECAY_SLOWEST);
    if (charging) {
        EffectHere(side, powered ? 511 : 510, p.aimAngle);
        if (t % 4 == 0) EffectHere(side, 501, p.aimAngle);
        if (t == 27) AreaHere(side, powered ? 514 : 511, p.aimAngle);
        else if (t % 3 == 0) AreaHere(side, powered ? 513 : 510, p.aimAngle);
        if (powered) {
            const float dx = RandomFloat(-20.0f, 20.0f);
            const float dy = RandomFloat(-20.0f, 20.0f);
            EffectAt(side, 521, p.aimAngle + PI_F, {p.x + dx, p.y + dy});
        }
    }
    CloseOrDash(side, facingAngle, 50, 40);
}

// Eight clones in a ring of radius 100 (from -150 to +165 degrees), then a
// gallop at the opponent and the big cut.
void RunCloneRing(int32_t side) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighOpening(side, t, 100, OpeningGlide::Stops);
    if (t <= 21 && t % 3 == 0) {
        const double b = (t - 10) / 24.0 * TWO_PI_WIDE;
        PlayerObject clone{};
        clone.tag = 9999;
        clone.type = 420;
        clone.position[0] = static_cast<float>(p.x + std::cos(b) * 100.0);
        clone.position[1] = static_cast<float>(p.y + std::sin(b) * 100.0);
        clone.heading = clone.angle = OpponentOf(side).aimAngle;
        clone.slowdown = 0.2f;
        p.objects.push_back(clone);
    }
    MoveWithDecay(p, DECAY_SLOW);
    CloseAt(p, 70);
    if (p.stateTimer == 50) {
        GallopAim(side, 0.1, 20.0);
        EffectHere(side, 1000, 0.0f);
    }
    if (p.stateTimer == 68) {
        p.speed = 0.0;
        attackAreaList.Adjust(FinalCut(side), [](AttackArea& a) { a.knockBackSpeed = 16.0f; });
    }
}

// A ring of twelve sparks lights up one after another and the power mode
// runs for its long length, whatever it held before.
void RunPowerUp(int32_t side) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    HighOpening(side, t, 100, OpeningGlide::Stops);
    if (t == 20) {
        for (int32_t i = 0; i < 12; ++i) {
            const double a = i * PI_WIDE / 6.0;
            const Point at{static_cast<float>(p.x + std::cos(a) * 40.0),
                                          static_cast<float>(p.y + std::sin(a) * 10.0 - 10.0)};
            const int32_t effect = SpawnEffect(521, PI_F / 2.0f, at.data(), side);
            effectList.Adjust(effect, [i](Effect& e) { e.age = -2 * i; });
        }
        EffectAt(side, 501, -PI_F / 2.0f, {p.x, p.y - 20.0f});
        p.modeFlag = RUO_POWER_UP_TICKS;
        PlaySe(SE_DON);
    }
    MoveWithDecay(p, DECAY_SLOW);
    CloseAt(p, 30);
}

// A cut of the grab at (30, 0) turned by angle a; the last one is bigger.
void GrabCut(int32_t side, float a, bool last) {
    const Point at = Turned(players[side], 30.0f, 0.0f, a);
    EffectAt(side, 503, a, at);
    EffectAt(side, 520, a, at);
    if (last) EffectHere(side, 501, players[side].aimAngle);
    AreaAt(side, last ? 521 : 520, a, at);
}

// A rush that catches the opponent, holds it at (30, 0) turned by the aim
// and cuts it up.
void RunGrab(int32_t side) {
    PlayerRecord& p = players[side];
    const auto holdAhead = [&] { Hold(side, Turned(p, 30.0f, 0.0f, p.aimAngle), p.aimAngle, p.aimAngle); };
    HighOpening(side, p.stateTimer, 100, OpeningGlide::Stops);
    if (p.stateTimer == 10) LungeAtOpponent(side, 12.0);
    if (Within(p.stateTimer, 11, 19) && !OpponentKnockedOut(side) && Contact(side)) {
        p.speed = 0.0;
        p.stateTimer = 100;
        holdAhead();
        AddScreenFlash();
    }
    // From here on the steps see the timer of a catch in this frame.
    const int32_t t = p.stateTimer;
    if (Within(t, 116, 119)) StartBurst(side);
    if (Within(t, 100, 120) && t % 5 == 0 && !OpponentKnockedOut(side)) {
        p.speed = 0.0;
        holdAhead();
    }
    if (Within(t, 120, 175) && t % 8 == 0) GrabCut(side, p.aimAngle + RandomFloat(-0.6f, 0.6f), false);
    if (t == 176) GrabCut(side, p.aimAngle, true);
    if (Within(t, 101, 169)) battleFadeLevel = HOLD_FADE_LEVEL;
    MoveWithDecay(p, DECAY_SLOW);
    CloseAt(p, 60, 200);
}

// The hyper's hold: ruo turns straight to the side it aimed at, with the
// opponent 8 ahead of it and `up` above, facing straight up at the catch and
// then tilted a sixth of a turn away from ruo.
void LiftHold(int32_t side, float up, bool tilted) {
    PlayerRecord& p = players[side];
    const bool right = std::fabs(p.aimAngle) <= PI_F / 2.0f;
    p.aimAngle = right ? 0.0f : PI_F;
    const float aim = !tilted ? PI_F / 2.0f : right ? PI_F / 3.0f : 2.0f * PI_F / 3.0f;
    Hold(side, {p.x + (right ? 8.0f : -8.0f), p.y + up}, aim, p.aimAngle);
}

void RunHyper(int32_t side) {
    PlayerRecord& p = players[side];
    if (p.stateTimer == 0) HighStartAndStop(side, -100);
    if (p.stateTimer < 10) SparkBurst(side, 8, TWO_PI_WIDE / 8.0);
    if (p.stateTimer == 10) LungeAtOpponent(side, 12.0);
    // The catch shows the opponent held 20 up, facing straight up; the hold
    // every fifth frame begins with the next multiple of 5.
    bool caught = false;
    if (Within(p.stateTimer, 11, 19) && !OpponentKnockedOut(side) && Contact(side)) {
        p.stateTimer = 100;
        p.speed = 0.0;
        LiftHold(side, 20.0f, false);
        AddScreenFlash();
        caught = true;
    }
    const int32_t t = p.stateTimer;
    const bool holding = Within(t, 100, 160);
    if (holding && t % 5 == 0 && !caught) {
        if (!OpponentKnockedOut(side)) {
            p.speed = 0.0;
            LiftHold(side, 5.0f, true);
        }
        EffectAt(side, 501, -PI_F / 2.0f, {p.x, p.y - 15.0f});
    }
    if (holding) {
        const float dx = RandomFloat(-50.0f, 50.0f);
        const float at[2] = {p.x + dx, p.y};
        SpawnParticles(ColourNumber(side, 0) + 10, 2, PI_F / 2.0f, at);
    }
    if (Powered(side) && Within(t, 100, 150) && t % 2 == 0) {
        const float dx = RandomFloat(-60.0f, 60.0f);
        const float dy = RandomFloat(-40.0f, 0.0f);
        EffectAt(side, 521, PI_F / 2.0f, {p.x + dx, p.y + dy});
        OpponentOf(side).boostGauge += 0.05;  // the opponent takes more damage
        if (t == 100) PlaySe(SE_BURN);
    }
    if (t == 160) {
        const PlayerRecord& o = OpponentOf(side);
        const Point low{o.x - 20.0f, o.y - 20.0f};
        EffectAt(side, 503, PI_F / 2.0f, PositionOf(o));
        EffectAt(side, 520, PI_F / 2.0f, PositionOf(o));
        EffectAt(side, 520, PI_F / 2.0f, {o.x + 20.0f, o.y - 20.0f});
        EffectAt(side, 520, PI_F / 2.0f, low);
        EffectHere(side, 501, PI_F / 2.0f);
        const int32_t area = AreaAt(side, 521, PI_F / 2.0f, low);
        attackAreaList.Adjust(area, [](AttackArea& a) {
            a.knockBackSpeed = 12.0f;
            a.power = 800;
        });
        SparkBurst(side, 8, TWO_PI_WIDE / 8.0, low);
    }
    if (Within(t, 101, 169)) battleFadeLevel = HOLD_FADE_LEVEL;
    MoveWithDecay(p, DECAY_SLOW);
    CloseAt(p, 60, 200);
}

}  // namespace

bool RunHighAttack(int32_t side, float facingAngle) {
    switch (players[side].state) {
    case RUO_SWORD_CHARGE: RunCharge(side, facingAngle, false); return true;
    case RUO_POWER_CHARGE: RunCharge(side, facingAngle, true); return true;
    case RUO_CLONE_RING: RunCloneRing(side); return true;
    case RUO_POWER_UP: RunPowerUp(side); return true;
    case RUO_GRAB: RunGrab(side); return true;
    case RUO_HYPER: RunHyper(side); return true;
    default: return false;
    }
}

}  // namespace ruo
