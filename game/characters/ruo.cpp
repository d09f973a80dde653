#include "game/characters/ruo.h"

#include <algorithm>
#include <cmath>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/characters/character_actions.h"
#include "game/characters/ruo_moves.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_rules.h"

namespace ruo {

bool Powered(int32_t side) { return players[side].modeFlag > 0; }

void GallopAim(int32_t side, double k, double cap) { LungeAtOpponent(side, std::min(DistanceToOpponent(side) * k, cap)); }

int32_t FinalCut(int32_t side) {
    const PlayerRecord& p = players[side];
    const float aim = p.aimAngle;
    const int32_t area = AreaHere(side, 503, aim);
    EffectAt(side, 502, aim, Turned(p, 35.0f, 0.0f, aim));
    EffectAt(side, 502, static_cast<float>(aim + 0.2), Turned(p, 25.0f, -15.0f, aim));
    EffectAt(side, 502, static_cast<float>(aim - 0.2), Turned(p, 25.0f, 15.0f, aim));
    return area;
}

void CloseOrDash(int32_t side, float facingAngle, int32_t closeAfter, int32_t dashAfter) {
    CloseAfterOrDash(side, facingAngle, closeAfter, dashAfter, DashRuo);
}

void CloseAt(PlayerRecord& p, int32_t end, int32_t otherEnd) {
    ++p.stateTimer;
    if (p.stateTimer == end || p.stateTimer == otherEnd) {
        EnterState(p, PLAYER_FREE, 0);
    }
}

}  // namespace ruo

namespace {

using namespace ruo;

constexpr CharacterActions ruoActions{
    0.25,         // neutral dash gain
    1002,         // boosted dash trail
    20,           // shield particles: colour number + 20
    40,           // shield invulnerability
    RUO_HYPER,
    {RUO_SWORD_CHARGE, RUO_CLONE_RING, RUO_POWER_UP},
    DashRuo,      // from knock-back
    DashKirune,   // from the burst
    DashRuo,      // when blown away
    DashKirune,   // from the shield
    HandleButtonsRuo,
};

constexpr double SWORD_GALLOP = 1.0 / 15.0;

// In power mode C alone and C with A start the powered high attacks.
constexpr HighAttackStates poweredHighAttacks{RUO_POWER_CHARGE, RUO_CLONE_RING, RUO_GRAB};

void TurnAimWithArrows(int32_t side, float maxStep) {
    if (ArrowHeld(side)) TurnAngleToward(&players[side].aimAngle, GetInputAngle(buttonStates[side]), maxStep);
}

// The fans of states 60 and 73 sweep 0.08 or 0.1 per frame about the middle
// frame 14, in the direction that depends on the half the aim points into.
double FanAngle(float aim, int32_t t, double step) {
    const double s = std::fabs(aim) <= PI_F / 2.0f ? step : -step;
    return aim + (t - 14) * s;
}

void RunHeavyShots(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t < 16) TurnAimWithArrows(side, 0.05f);
    if (t >= 12 && t <= 20 && t % 2 == 0) {
        SpawnHeavyShot(510, p.aimAngle, PositionOf(p).data(), side);
        if (t != 14 && t != 20) PlaySe(SE_SHOOT00);
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 35, 28);
}

// State 60 fans heavy shots; state 73, its power-mode form, sweeps the other
// way with sparks set a random distance out along each angle.
void RunFan(int32_t side, float facingAngle, bool sparks) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) {
        AimAtOpponent(side);
        p.boostGauge += 0.2;
    }
    if (t >= 10 && t <= 18) {
        AimAtOpponent(side);
        if (sparks) {
            const double a = FanAngle(p.aimAngle, t, 0.1);
            const float r = RandomFloat(20.0f, 60.0f);
            EffectAt(side, 522, static_cast<float>(a), Turned(p, r, 0.0f, a));
        } else {
            SpawnHeavyShot(512, static_cast<float>(FanAngle(p.aimAngle, t, -0.08)), PositionOf(p).data(), side);
        }
        if (t % 2 == 0) PlaySe(SE_SHOOT00);
    }
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 50, 30);
}

void RunShotStream(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t >= 11 && t <= 23) TurnAimWithArrows(side, 0.1f);
    // X still held: the stream goes on as crossing streams (the rest of this
    // frame is still the plain stream's).
    if (t == 11 && ButtonHeld(side, BUTTON_X)) p.state = Powered(side) ? RUO_POWER_HEAVY_SHOT : RUO_CROSSING_STREAMS;
    if (t >= 12 && t <= 22 && t % 2 == 0) {
        SpawnShot(510, p.aimAngle, PositionOf(p).data(), side);
        if (t % 4 == 0) PlaySe(SE_SWING);
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 30, 20);
}

void RunCrossingStreams(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t >= 18 && t <= 28 && t % 2 == 0) {
        const double sweep = (t - 21) * (0.25 * 0.7);
        SpawnShot(510, static_cast<float>(p.aimAngle + sweep - 0.3), PositionOf(p).data(), side);
        SpawnShot(510, static_cast<float>(p.aimAngle - sweep + 0.3), PositionOf(p).data(), side);
        if (t % 4 == 0) PlaySe(SE_SWING);
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 50, 40);
}

void RunPowerHeavyShot(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 15) {
        SpawnHeavyShot(520, 0.0f, PositionOf(p).data(), side);
        PlaySe(SE_BURN);
    }
    MoveWithDecay(p, DECAY_SLOW);
    CloseOrDash(side, facingAngle, 39, 25);
}

// Z just pressed with A down, late in a stroke, goes on to the next stroke.
void ChainTo(int32_t side, int32_t next) {
    PlayerRecord& p = players[side];
    if (p.stateTimer > 12 && ButtonPressed(side, BUTTON_Z) && ButtonDown(side, BUTTON_A)) {
        EnterState(p, next, 0);
    }
}

// Three slash Effects facing `angle`, at (`along`, 0), (`along`, -10) and
// (`along`, 10) turned by the aim.
void SlashEffects(int32_t side, double angle, float along) {
    const PlayerRecord& p = players[side];
    for (const float across : {0.0f, -10.0f, 10.0f})
        EffectAt(side, 502, static_cast<float>(angle), Turned(p, along, across, p.aimAngle));
}

void RunLunge(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) GallopAim(side, SWORD_GALLOP, 16.0);
    if (t % 4 == 0) EffectHere(side, 501, p.aimAngle);
    MoveWithDecay(p, DECAY_SLOW);
    if (t == 10) {
        p.speed = 0.0;
        AreaHere(side, 501, p.aimAngle);
        SlashEffects(side, p.aimAngle, 40.0f);
        PlaySe(SE_SWING);
    }
    CloseState(p, 24);
    ChainTo(side, RUO_STROKE_2);
    if (ButtonPressed(side, BUTTON_V) && p.stateTimer > 15) DashRuo(side, facingAngle);
}

void DoublePower(int32_t area) {
    attackAreaList.Adjust(area, [](AttackArea& a) { a.power += a.power; });
}

// Strokes 2 and 3 swing 0.8 to one side of the aim; the power mode doubles
// their power.
void RunStroke(int32_t side, float facingAngle, double swing, int32_t next) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) GallopAim(side, SWORD_GALLOP, 10.0);
    MoveWithDecay(p, DECAY_SLOW);
    if (t == 8) {
        p.speed = 0.0;
        const double angle = p.aimAngle + swing;
        const int32_t area = AreaHere(side, 502, static_cast<float>(angle));
        if (Powered(side)) DoublePower(area);
        SlashEffects(side, angle, 25.0f);
        PlaySe(SE_SWING);
    }
    CloseState(p, 30);
    ChainTo(side, next);
    if (ButtonPressed(side, BUTTON_V) && p.stateTimer > 15) DashRuo(side, facingAngle);
}

void RunFinalStroke(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) GallopAim(side, SWORD_GALLOP, 10.0);
    MoveWithDecay(p, DECAY_SLOW);
    if (t == 8) {
        p.speed = 0.0;
        const int32_t area = FinalCut(side);
        if (Powered(side)) {
            DoublePower(area);
            attackAreaList.Adjust(area, [](AttackArea& a) { a.knockBackSpeed = 20.0f; });
        }
        PlaySe(SE_SWING_H);
    }
    CloseOrDash(side, facingAngle, 30, 20);
}

void RunClone(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 15 || (t == 10 && Powered(side))) {
        const float a = RandomFloat(-PI_F, PI_F);
        const float r = RandomFloat(50.0f, 100.0f);
        const float aim = OpponentOf(side).aimAngle;
        PlayerObject clone{};
        clone.tag = 9999;
        clone.type = 410;
        clone.position[0] = static_cast<float>(p.x + std::cos(static_cast<double>(a)) * r);
        clone.position[1] = static_cast<float>(p.y + std::sin(static_cast<double>(a)) * r);
        clone.heading = clone.angle = aim;
        clone.speed = 5.0f;
        clone.slowdown = 0.2f;
        p.objects.push_back(clone);
        PlaySe(SE_SWING);
    }
    MoveWithDecay(p, DECAY_FAST);
    CloseOrDash(side, facingAngle, 30, 16);
}

void RunRuoMove(int32_t side, float facingAngle) {
    switch (players[side].state) {
    case RUO_HEAVY_SHOTS: RunHeavyShots(side, facingAngle); return;
    case RUO_SHOT_FAN: RunFan(side, facingAngle, false); return;
    case RUO_SPARK_FAN: RunFan(side, facingAngle, true); return;
    case RUO_SHOT_STREAM: RunShotStream(side, facingAngle); return;
    case RUO_CROSSING_STREAMS: RunCrossingStreams(side, facingAngle); return;
    case RUO_POWER_HEAVY_SHOT: RunPowerHeavyShot(side, facingAngle); return;
    case RUO_LUNGE: RunLunge(side, facingAngle); return;
    case RUO_STROKE_2: RunStroke(side, facingAngle, 0.8, RUO_STROKE_3); return;
    case RUO_STROKE_3: RunStroke(side, facingAngle, -0.8, RUO_FINAL_STROKE); return;
    case RUO_FINAL_STROKE: RunFinalStroke(side, facingAngle); return;
    case RUO_CLONE: RunClone(side, facingAngle); return;
    default:
        if (!RunHighAttack(side, facingAngle)) FreeTheSide(side);
        return;
    }
}

// Each 4th frame the power mode sheds a spark and a tick; its last tick drops
// the boost gauge to 1.0. A gauge above 2.0 starts it, and while it runs the
// gauge stays at 2.0 or more.
void ServePowerMode(int32_t side) {
    PlayerRecord& p = players[side];
    if (p.modeFlag > 0 && battleFrame % 4 == 0) {
        const float dx = RandomFloat(-10.0f, 10.0f);
        const float dy = RandomFloat(-20.0f, 0.0f);
        EffectAt(side, 521, PI_F / 2.0f, {p.x + dx, p.y + dy});
        if (--p.modeFlag == 0) p.boostGauge = 1.0f;
    }
    if (p.boostGauge > 2.0f && p.modeFlag == 0) {
        p.modeFlag = RUO_POWER_TICKS;
        EffectHere(side, 1000, 0.0f);
        PlaySe(SE_DON);
    }
    if (p.modeFlag > 0 && p.boostGauge < 2.0f) p.boostGauge = 2.0f;
}

}  // namespace

void UpdateRuo(int32_t side) {
    const bool knockedOut = players[side].state == PLAYER_KNOCKED_OUT;
    CharacterActions actions = ruoActions;
    if (Powered(side)) actions.highAttacks = poweredHighAttacks;
    UpdateCharacter(side, actions, RunRuoMove);
    if (!knockedOut) ServePowerMode(side);
}
