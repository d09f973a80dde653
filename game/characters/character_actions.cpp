#include "game/characters/character_actions.h"

#include <cmath>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_rules.h"

// ---------------------------------------------------------------------------
// Dash starters

namespace {

void StartDash(int32_t side, float fallbackAngle, double dashSpeed) {
    PlayerRecord& p = players[side];
    p.boostGauge += 0.3;
    p.counter = 0;
    p.aimAngle = InputAngleOr(side, fallbackAngle);
    p.speed = dashSpeed;
    p.state = PLAYER_DASH;  // stateTimer runs on
    p.moveAngle = p.aimAngle;
    PlaySe(SE_AIR);
}

}  // namespace

void DashKirune(int32_t side, float fallbackAngle) { StartDash(side, fallbackAngle, 13.0); }
void DashBemo(int32_t side, float fallbackAngle) { StartDash(side, fallbackAngle, 12.0); }
void DashOza(int32_t side, float fallbackAngle) { StartDash(side, fallbackAngle, 10.0); }
void DashPerila(int32_t side, float fallbackAngle) { StartDash(side, fallbackAngle, 10.0); }
void DashRuo(int32_t side, float fallbackAngle) { StartDash(side, fallbackAngle, 14.0); }
void DashTorvi(int32_t side, float fallbackAngle) { StartDash(side, fallbackAngle, 10.0); }
void DashNebu(int32_t side, float fallbackAngle) { StartDash(side, fallbackAngle, 13.0); }

void SprayDashSparks(int32_t side, int32_t count, float spread) {
    const PlayerRecord& p = players[side];
    for (int32_t i = 0; i < count; ++i) {
        const float r = RandomFloat(-spread, spread);
        const float behind = static_cast<float>(r + static_cast<double>(p.aimAngle) + PI_WIDE);
        const int32_t effect = SpawnEffect(890, behind, PositionOf(p).data(), side);
        const int32_t age = RandomInt(0, 1000);  // drawn even if the spawn made nothing
        effectList.Adjust(effect, [age](Effect& e) { e.age = age; });
    }
}

void DashWelo(int32_t side, float fallbackAngle) {
    StartDash(side, fallbackAngle, 13.0);
    SprayDashSparks(side, 10, 1.4f);
}

// ---------------------------------------------------------------------------
// Button handlers

namespace {

// The Z or X move of a character for the buttons of this frame.
using MoveChoice = int32_t (*)(int32_t side);

struct ButtonRules {
    int32_t character;
    MoveChoice zMove;
    MoveChoice xMove;
    bool xOnlyWithoutZ;  // X counts only when Z was not just pressed
};

// Hyper gauge earned once, by the frame on which a move starts.
struct MoveGain {
    int32_t character;
    int32_t state;
    double gain;
};

constexpr MoveGain moveGains[] = {
    {1, 7, 0.05},   {1, 8, 0.03},   {1, 10, 0.02},  {1, 14, 0.04},  {1, 19, 0.04},
    {2, 24, 0.05},  {2, 27, 0.03},  {2, 31, 0.05},  {2, 26, 0.04},  {2, 29, 0.05},
    {3, 36, 0.05},  {3, 37, 0.03},  {3, 38, 0.04},  {3, 42, 0.02},  {3, 40, 0.02},
    {4, 48, 0.03},  {4, 54, 0.04},  {4, 55, 0.03},  {4, 52, 0.04},
    {5, 59, 0.02},  {5, 60, 0.01},  {5, 73, 0.03},  {5, 63, 0.05},  {5, 61, 0.02},  {5, 68, 0.03},
    {6, 76, 0.02},  {6, 81, 0.03},  {6, 78, 0.01},  {6, 77, 0.05},  {6, 84, 0.03},
    {8, 105, 0.05}, {8, 106, 0.03}, {8, 111, 0.02}, {8, 117, 0.04}, {8, 116, 0.04},
};


void HandleButtons(int32_t side, const ButtonRules& rules) {
    PlayerRecord& p = players[side];
    const bool zPressed = ButtonPressed(side, BUTTON_Z);
    if (zPressed) EnterState(p, rules.zMove(side), 0);
    if (ButtonPressed(side, BUTTON_X) && !(rules.xOnlyWithoutZ && zPressed)) EnterState(p, rules.xMove(side), 0);
    if (ButtonPressed(side, BUTTON_S) && p.hyperGauge >= 0.5f) {
        p.hyperGauge -= 0.5;
        EnterState(p, PLAYER_SHIELD, 0);
    }
    for (const MoveGain& g : moveGains)
        if (g.character == rules.character && g.state == p.state) p.hyperGauge += g.gain;
}

// The plain move, changed by V and then by A when they are down (A wins).
int32_t WithVThenA(int32_t side, int32_t plain, int32_t withV, int32_t withA) {
    int32_t move = plain;
    if (ButtonDown(side, BUTTON_V)) move = withV;
    if (ButtonDown(side, BUTTON_A)) move = withA;
    return move;
}

int32_t WithA(int32_t side, int32_t plain, int32_t withA) { return ButtonDown(side, BUTTON_A) ? withA : plain; }

constexpr ButtonRules kiruneButtons{
    1, [](int32_t s) { return WithVThenA(s, 7, 8, 10); }, [](int32_t s) { return WithA(s, 14, 19); }, false};
constexpr ButtonRules bemoButtons{
    2, [](int32_t s) { return WithVThenA(s, 24, 27, 31); }, [](int32_t s) { return WithA(s, 26, 29); }, false};
// Oza's X counts A in any state but up, a release included.
constexpr ButtonRules ozaButtons{3, [](int32_t s) { return WithVThenA(s, 36, 37, 38); },
                                 [](int32_t s) { return buttonStates[s][BUTTON_A] != BUTTON_STATE_UP ? 40 : 42; },
                                 false};
// Perila has no Z move with A, and her X yields to a Z of the same frame.
constexpr ButtonRules perilaButtons{
    4, [](int32_t s) { return ButtonDown(s, BUTTON_V) ? 54 : 48; }, [](int32_t s) { return WithA(s, 55, 52); }, true};
// Ruo's Z with V is the powered move while its power counter runs.
constexpr ButtonRules ruoButtons{
    5, [](int32_t s) { return WithVThenA(s, 59, players[s].modeFlag > 0 ? 73 : 60, 63); },
    [](int32_t s) { return WithA(s, 61, 68); }, false};
constexpr ButtonRules torviButtons{
    6, [](int32_t s) { return WithVThenA(s, 76, 81, 78); }, [](int32_t s) { return WithA(s, 77, 84); }, false};
// Nebu tests A first and then V, which must be held from an earlier frame.
constexpr ButtonRules nebuButtons{7,
                                  [](int32_t s) {
                                      int32_t move = WithA(s, 88, 97);
                                      if (ButtonHeld(s, BUTTON_V)) move = 89;
                                      return move;
                                  },
                                  [](int32_t s) { return WithA(s, 91, 99); }, false};
constexpr ButtonRules weloButtons{
    8, [](int32_t s) { return WithVThenA(s, 105, 106, 111); }, [](int32_t s) { return WithA(s, 117, 116); }, false};

}  // namespace

void HandleButtonsKirune(int32_t side) { HandleButtons(side, kiruneButtons); }
void HandleButtonsBemo(int32_t side) { HandleButtons(side, bemoButtons); }
void HandleButtonsOza(int32_t side) { HandleButtons(side, ozaButtons); }
void HandleButtonsPerila(int32_t side) { HandleButtons(side, perilaButtons); }
void HandleButtonsRuo(int32_t side) { HandleButtons(side, ruoButtons); }
void HandleButtonsTorvi(int32_t side) { HandleButtons(side, torviButtons); }
void HandleButtonsNebu(int32_t side) { HandleButtons(side, nebuButtons); }
void HandleButtonsWelo(int32_t side) { HandleButtons(side, weloButtons); }

// ---------------------------------------------------------------------------
// The update skeleton

namespace {

void RunKnockedOut(int32_t side, const CharacterActions& actions) {
    PlayerRecord& p = players[side];
    if (p.stateTimer == 0) SpawnEffect(EFFECT_KNOCK_OUT, 0.0f, PositionOf(p).data(), side);
    if (p.stateTimer == 180) {
        SpawnEffect(EFFECT_KNOCK_OUT_BLAST, 0.0f, PositionOf(p).data(), side);
        SpawnParticles(27, 50, 0.0f, PositionOf(p).data());
        PlaySe(SE_DEAD);
        if (actions.afterKnockOutBlast) actions.afterKnockOutBlast(side);
    }
    ++p.stateTimer;
}

// The hyper attack (C with X and with Z or A), then the high attack (C).
void RunAttackTests(int32_t side, const CharacterActions& actions) {
    PlayerRecord& p = players[side];
    if (!ButtonPressed(side, BUTTON_C) || p.invulnerableTimer >= 60) return;
    if (ButtonDown(side, BUTTON_X) && (ButtonDown(side, BUTTON_Z) || ButtonDown(side, BUTTON_A)) &&
        p.hyperGauge >= 3.0f) {
        p.hyperGauge -= 3.0;
        EnterState(p, actions.hyperAttackState, 0);
        PlaySe(SE_HIGH_A);
    }
    if (p.hyperGauge >= 1.0f) {
        p.hyperGauge -= 1.0;
        int32_t state = actions.highAttacks.c;
        if (ButtonDown(side, BUTTON_X)) state = actions.highAttacks.cWithX;
        if (ButtonDown(side, BUTTON_A)) state = actions.highAttacks.cWithA;
        if (actions.chooseHighAttack) state = actions.chooseHighAttack(side);
        EnterState(p, state, 0);
        PlaySe(SE_HIGH);
    }
}

void RunNeutralOrDash(int32_t side, float facingAngle, const CharacterActions& actions) {
    PlayerRecord& p = players[side];
    const CharacterParams& params = characterParams[p.characterId];
    if (ButtonPressed(side, BUTTON_V)) {
        p.boostGauge += actions.neutralDashGain;
        p.counter = 0;
        p.aimAngle = InputAngleOr(side, facingAngle);
        p.speed = params.dashSpeed;
        p.moveAngle = p.aimAngle;
        PlaySe(SE_AIR);
        if (actions.afterNeutralDash) actions.afterNeutralDash(side);
    }
    // The boost holds only a dash that ran before this frame.
    if (ButtonDown(side, BUTTON_V) && p.state == PLAYER_DASH) {
        if (p.speed < params.boostSpeed) {
            p.speed = params.boostSpeed;
            p.boostGauge += 0.014;
        }
        if (ArrowHeld(side)) TurnAngleToward(&p.aimAngle, GetInputAngle(buttonStates[side]), 0.08f);
        p.moveAngle = p.aimAngle;
        if (p.counter % 4 == 0) SpawnEffect(actions.trailEffect, p.aimAngle, PositionOf(p).data(), side);
        if (actions.afterBoostTrail) actions.afterBoostTrail(side);
    } else {
        MoveByArrows(side);
        // Kept at 0 or more, as everywhere: a gauge below 0 would lessen the
        // damage the side takes in this frame's hits.
        p.boostGauge -= 0.001;
        if (p.boostGauge < 0.0f) p.boostGauge = 0.0f;
    }
    // The speed is tested before it falls, so the dash's last step may go
    // backwards by less than the decay.
    const double speed = p.speed;
    MoveWithDecay(p, DECAY_FAST);
    if (speed <= 0.0) {
        p.speed = 0.0;
        p.state = PLAYER_FREE;
    } else {
        p.state = PLAYER_DASH;
    }
    if (actions.beforeNeutralButtons) actions.beforeNeutralButtons(side);
    actions.handleButtons(side);
}

void RunKnockedBack(int32_t side, float facingAngle, const CharacterActions& actions) {
    PlayerRecord& p = players[side];
    MoveWithDecay(p, DECAY_FAST);
    if (p.stateTimer > 15 && ButtonPressed(side, BUTTON_V)) actions.dashFromHit(side, facingAngle);
    PlayerRecord& opponent = OpponentOf(side);
    const bool burstButtons =
        (ButtonDown(side, BUTTON_Z) && ButtonDown(side, BUTTON_X)) || ButtonDown(side, BUTTON_S);
    // No burst while the opponent's hyper attack runs (its timer negative).
    if (burstButtons && p.hyperGauge >= 1.0f && opponent.invulnerableTimer >= 0) {
        p.hyperGauge -= 1.0;
        EnterState(p, PLAYER_BURST, 30);
        if (!actions.burstKeepsSpeed) p.speed = 0.0;
        SpawnEffect(1000, 0.0f, PositionOf(p).data(), side);
        p.invulnerableTimer = 60;
        PlaySe(SE_SHIELD);
        if (SquaredDistance(p, opponent) < 10000.0) {
            const float away = DirectionBetween(p, opponent);
            opponent.state = PLAYER_BLOWN_AWAY;
            opponent.stateTimer = 0;
            opponent.aimAngle = away;
            opponent.moveAngle = away;
            opponent.speed = 12.0;
            SpawnParticles(ColourNumber(side, 0) + 10, 20, away, PositionOf(opponent).data());
            p.stateTimer = 0;
        }
    }
    // A far burst keeps stateTimer 30 and so ends here at once.
    CloseState(p, 20);
}

void RunBurst(int32_t side, float facingAngle, const CharacterActions& actions) {
    PlayerRecord& p = players[side];
    MoveWithDecay(p, DECAY_FAST);
    if (p.stateTimer > 40 && ButtonPressed(side, BUTTON_V)) actions.dashFromBurst(side, facingAngle);
    CloseState(p, 50);
}

void RunBlownAway(int32_t side, float facingAngle, const CharacterActions& actions) {
    PlayerRecord& p = players[side];
    MoveWithDecay(p, DECAY_SLOW);
    if (p.stateTimer > 30 && ButtonPressed(side, BUTTON_V)) actions.dashFromBlownAway(side, facingAngle);
    CloseState(p, 40);
}

void RunShield(int32_t side, float facingAngle, const CharacterActions& actions) {
    PlayerRecord& p = players[side];
    if (p.stateTimer == 0) {
        p.aimAngle = DirectionBetween(p, OpponentOf(side));
        p.moveAngle = p.aimAngle;
        p.speed = 0.0;
    }
    if (p.stateTimer == 5) {
        SpawnParticles(ColourNumber(side, 0) + actions.shieldParticleGroup, 20, 0.0f, PositionOf(p).data());
        p.invulnerableTimer = actions.shieldInvulnerableTimer;
        PlaySe(SE_SHIELD);
    }
    if (p.stateTimer > 5) {
        if (actions.shieldOrder == ShieldOrder::ButtonsFirst) {
            actions.handleButtons(side);
            if (p.stateTimer > 5 && ButtonPressed(side, BUTTON_V)) actions.dashFromShield(side, facingAngle);
        } else {
            if (ButtonPressed(side, BUTTON_V)) actions.dashFromShield(side, facingAngle);
            actions.handleButtons(side);  // a second shield starts over
        }
    }
    // A move started here passes this step too: it begins at stateTimer 1.
    CloseState(p, 20);
}

}  // namespace

void UpdateCharacter(int32_t side, const CharacterActions& actions, MoveStep moveStep) {
    PlayerRecord& p = players[side];
    const float facingAngle = FacingAngle(side);
    if (p.state == PLAYER_KNOCKED_OUT) {
        RunKnockedOut(side, actions);
        return;
    }
    if (p.state != PLAYER_KNOCKED_BACK) RunAttackTests(side, actions);
    switch (p.state) {
    case PLAYER_FREE:
    case PLAYER_DASH: RunNeutralOrDash(side, facingAngle, actions); return;
    case PLAYER_KNOCKED_BACK: RunKnockedBack(side, facingAngle, actions); return;
    case PLAYER_BURST: RunBurst(side, facingAngle, actions); return;
    case PLAYER_BLOWN_AWAY: RunBlownAway(side, facingAngle, actions); return;
    case PLAYER_SHIELD: RunShield(side, facingAngle, actions); return;
    default: moveStep(side, facingAngle); return;
    }
}
