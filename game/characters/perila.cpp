#include "game/characters/perila.h"

#include <cmath>
#include <optional>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"
#include "game/shots/player_objects.h"

namespace {

// The satellites' orders (PlayerObject type codes); each returns the
// satellite to circling (300) when it is done.
enum SatelliteOrder : int32_t {
    ORDER_SHOT = 301,
    ORDER_BEAM = 302,
    ORDER_SPIN_SHOTS = 303,
    ORDER_SPIN_HEAVY_SHOTS = 304,
    ORDER_HEAVY_SHOT = 305,
    ORDER_CURVING_SHOT = 306,
    ORDER_SWARM = 320,
    ORDER_SEEK = 330,
    ORDER_SEEK_RETURN = 331,
    ORDER_BLADES = 340,
    ORDER_WIDE_BEAM = 350,
    ORDER_RING_BEAM = 360,
};

// The high attack for the buttons held with C: V, then A, then X, the last
// one down winning.
int32_t ChooseHighAttack(int32_t side) {
    int32_t state = PERILA_BEAMS;
    if (ButtonDown(side, BUTTON_V)) state = PERILA_BEAM_VOLLEY;
    if (ButtonDown(side, BUTTON_A)) state = PERILA_SWARM;
    if (ButtonDown(side, BUTTON_X)) state = PERILA_BLADES;
    return state;
}

// The satellites' formation follows A: held through a free or dashing frame,
// they circle wide (modeFlag 1); otherwise close (0).
void NoteFormation(int32_t side) { players[side].modeFlag = ButtonHeld(side, BUTTON_A) ? 1 : 0; }

constexpr CharacterActions perilaActions{
    .neutralDashGain = 0.25,
    .trailEffect = 1002,
    .shieldParticleGroup = 20,  // colour number + 20
    .shieldInvulnerableTimer = 40,
    .hyperAttackState = PERILA_HYPER,
    .highAttacks = {PERILA_BEAMS, PERILA_BLADES, PERILA_SWARM},
    .dashFromHit = DashPerila,
    .dashFromBurst = DashKirune,  // the faster dash
    .dashFromBlownAway = DashPerila,
    .dashFromShield = DashKirune,
    .handleButtons = HandleButtonsPerila,
    .chooseHighAttack = ChooseHighAttack,
    .beforeNeutralButtons = NoteFormation,
};

// ---------------------------------------------------------------------------
// Orders

struct Order {
    int32_t type;
    int32_t timer;          // of the first satellite; a negative timer delays it
    int32_t timerStep = 0;  // added per list position, so later ones wait longer
    bool idleOnly = false;  // only satellites circling now take it
    std::optional<float> speed = std::nullopt;
    std::optional<float> slowdown = std::nullopt;
};

// Gives the order to the satellites in list order, along the side's aim. The
// list position counts every satellite, also those that an idle-only order
// passes over, so the delays keep their gaps.
void OrderSatellites(int32_t side, const Order& order) {
    PlayerRecord& p = players[side];
    for (size_t i = 0; i < p.objects.size(); ++i) {
        PlayerObject& o = p.objects[i];
        if (order.idleOnly && o.type != SATELLITE_CIRCLING) continue;
        o.heading = o.angle = p.aimAngle;
        o.timer = order.timer + order.timerStep * static_cast<int32_t>(i);
        o.type = order.type;
        if (order.speed) o.speed = *order.speed;
        if (order.slowdown) o.slowdown = *order.slowdown;
    }
}

// Sends satellite `index` at the opponent, unless it is seeking already or
// the side has no such satellite (the list is empty after a knock-out).
void SendSeeker(int32_t side, size_t index, int32_t timer) {
    std::vector<PlayerObject>& satellites = players[side].objects;
    if (index >= satellites.size()) return;
    PlayerObject& o = satellites[index];
    if (o.type == ORDER_SEEK || o.type == ORDER_SEEK_RETURN) return;
    const PlayerRecord& opponent = OpponentOf(side);
    o.heading = o.angle = static_cast<float>(std::atan2(static_cast<double>(opponent.y) - o.position[1],
                                                        static_cast<double>(opponent.x) - o.position[0]));
    o.speed = 2.0f;
    o.timer = timer;
    o.type = ORDER_SEEK;
}

// ---------------------------------------------------------------------------
// Steps the moves share

// Every move's frame ends so: the motion, stateTimer counts on and the move
// ends when it reaches endsAt; otherwise V starts the faster dash once
// stateTimer has reached dashFrom.
void FinishPerilaFrame(int32_t side, float facingAngle, int32_t endsAt, int32_t dashFrom) {
    FinishMoveFrame(side, facingAngle, DECAY_FAST, endsAt, dashFrom, DashKirune);
}

// The high attacks that open on their second frame (C, C with V).
void LateHighOpening(int32_t side, int32_t t) {
    if (t == 0) AimAtOpponent(side);
    if (t == 1) HighStartFlash(side, 100);
    if (t < 5) StartBurst(side);
}

// Those that open at once (C with A, C with X, the hyper attack) also bring
// the satellites back into the close formation.
void EarlyHighOpening(int32_t side, int32_t invulnerableTimer) {
    HighStart(side, invulnerableTimer);
    players[side].modeFlag = 0;
}

// ---------------------------------------------------------------------------
// The moves; t is stateTimer as the frame's step begins. A chain into the held
// variant keeps the running stateTimer, and the rest of that frame is still
// the first move's.

void RunVolley(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 10 && ButtonHeld(side, BUTTON_Z)) p.state = PERILA_DOUBLE_VOLLEY;
    if (t == 11) OrderSatellites(side, {.type = ORDER_SHOT, .timer = -10, .timerStep = -5, .idleOnly = true});
    FinishPerilaFrame(side, facingAngle, 41, 19);
}

// Keeps the aim the volley took. With the wide formation the satellites turn
// to the opponent themselves (timer 0); otherwise they fire along that aim.
void RunDoubleVolley(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    if (p.stateTimer == 15) OrderSatellites(side, {.type = ORDER_HEAVY_SHOT, .timer = p.modeFlag == 1 ? 0 : 1});
    FinishPerilaFrame(side, facingAngle, 51, 36);
}

void RunSpinningHeavy(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 10) {
        OrderSatellites(side, {.type = ORDER_SPIN_HEAVY_SHOTS, .timer = 0, .timerStep = -3});
        p.boostGauge += 0.2;
    }
    FinishPerilaFrame(side, facingAngle, 51, 31);
}

void RunCurvingShots(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 10 && ButtonHeld(side, BUTTON_X)) p.state = PERILA_SPINNING_SHOTS;
    if (t == 15) OrderSatellites(side, {.type = ORDER_CURVING_SHOT, .timer = -15, .idleOnly = true});
    FinishPerilaFrame(side, facingAngle, 41, 21);
}

void RunSpinningShots(int32_t side, float facingAngle) {
    if (players[side].stateTimer == 12) OrderSatellites(side, {.type = ORDER_SPIN_SHOTS, .timer = 0, .timerStep = -3});
    FinishPerilaFrame(side, facingAngle, 41, 21);
}

void RunSeekers(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    if (t == 0) AimAtOpponent(side);
    if (t == 5) {
        SendSeeker(side, 2, -5);
        SendSeeker(side, 5, -10);
    }
    if (t == 18 && ButtonHeld(side, BUTTON_X)) p.state = PERILA_MORE_SEEKERS;
    FinishPerilaFrame(side, facingAngle, 31, 21);
}

void RunMoreSeekers(int32_t side, float facingAngle) {
    if (players[side].stateTimer == 22) {
        SendSeeker(side, 3, -10);
        SendSeeker(side, 6, -10);
    }
    FinishPerilaFrame(side, facingAngle, 41, 31);
}

void RunBeams(int32_t side, float facingAngle) {
    const int32_t t = players[side].stateTimer;
    LateHighOpening(side, t);
    if (t == 10) OrderSatellites(side, {.type = ORDER_BEAM, .timer = -20, .timerStep = -10});
    FinishPerilaFrame(side, facingAngle, 71, 61);
}

void RunBeamVolley(int32_t side, float facingAngle) {
    const int32_t t = players[side].stateTimer;
    LateHighOpening(side, t);
    if (t == 10) OrderSatellites(side, {.type = ORDER_WIDE_BEAM, .timer = -10});
    FinishPerilaFrame(side, facingAngle, 71, 61);
}

void RunSwarm(int32_t side, float facingAngle) {
    const int32_t t = players[side].stateTimer;
    if (t == 0) EarlyHighOpening(side, 100);
    if (t < 5) StartBurst(side);
    if (t == 1) {
        OrderSatellites(side,
                        {.type = ORDER_SWARM, .timer = 0, .timerStep = -3, .speed = 20.0f, .slowdown = 1.0f});
    }
    FinishPerilaFrame(side, facingAngle, 81, 71);
}

void RunBlades(int32_t side, float facingAngle) {
    const int32_t t = players[side].stateTimer;
    if (t == 0) EarlyHighOpening(side, 100);
    if (t < 5) StartBurst(side);
    if (t == 10) OrderSatellites(side, {.type = ORDER_BLADES, .timer = 0, .timerStep = -2});
    FinishPerilaFrame(side, facingAngle, 61, 21);
}

// The hyper attack orders its satellites on its very first frame.
void RunHyper(int32_t side, float facingAngle) {
    const int32_t t = players[side].stateTimer;
    if (t == 0) EarlyHighOpening(side, -100);
    if (t < 10) SparkBurst(side, 8, PI_WIDE / 4.0);
    if (t == 0) OrderSatellites(side, {.type = ORDER_RING_BEAM, .timer = -20});
    FinishPerilaFrame(side, facingAngle, 81, 71);
}

void RunPerilaMove(int32_t side, float facingAngle) {
    switch (players[side].state) {
    case PERILA_VOLLEY: RunVolley(side, facingAngle); return;
    case PERILA_DOUBLE_VOLLEY: RunDoubleVolley(side, facingAngle); return;
    case PERILA_SPINNING_HEAVY: RunSpinningHeavy(side, facingAngle); return;
    case PERILA_CURVING_SHOTS: RunCurvingShots(side, facingAngle); return;
    case PERILA_SPINNING_SHOTS: RunSpinningShots(side, facingAngle); return;
    case PERILA_SEEKERS: RunSeekers(side, facingAngle); return;
    case PERILA_MORE_SEEKERS: RunMoreSeekers(side, facingAngle); return;
    case PERILA_BEAMS: RunBeams(side, facingAngle); return;
    case PERILA_BEAM_VOLLEY: RunBeamVolley(side, facingAngle); return;
    case PERILA_SWARM: RunSwarm(side, facingAngle); return;
    case PERILA_BLADES: RunBlades(side, facingAngle); return;
    case PERILA_HYPER: RunHyper(side, facingAngle); return;
    default: FreeTheSide(side); return;
    }
}

}  // namespace

void UpdatePerila(int32_t side) {
    PlayerRecord& p = players[side];
    const bool blast = p.state == PLAYER_KNOCKED_OUT && p.stateTimer == 180;
    UpdateCharacter(side, perilaActions, RunPerilaMove);
    // The satellites vanish with the knock-out's blast, storage and all.
    if (blast) std::vector<PlayerObject>().swap(p.objects);
}
