#include "game/characters/oza.h"

#include <algorithm>
#include <iterator>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "game/characters/character_actions.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_rules.h"

namespace {

// C alone, then with X, then with V, then with A: the last that is down wins.
int32_t OzaHighAttack(int32_t side) {
    int32_t state = OZA_BEAM;
    if (ButtonDown(side, BUTTON_X)) state = OZA_LARGE_SHOT;
    if (ButtonDown(side, BUTTON_V)) state = OZA_WIDE_FAN;
    if (ButtonDown(side, BUTTON_A)) state = OZA_MINE_CROSS;
    return state;
}

constexpr CharacterActions ozaActions{
    .neutralDashGain = 0.2,
    .trailEffect = 1002,
    .shieldParticleGroup = 20,  // colour number + 20
    .shieldInvulnerableTimer = 40,
    .hyperAttackState = OZA_HYPER,
    .highAttacks = {OZA_BEAM, OZA_LARGE_SHOT, OZA_MINE_CROSS},
    .dashFromHit = DashOza,
    .dashFromBurst = DashKirune,  // the faster dash
    .dashFromBlownAway = DashOza,
    .dashFromShield = DashKirune,
    .handleButtons = HandleButtonsOza,
    .chooseHighAttack = OzaHighAttack,  // with V as well
};

// The moving volley glides to a stop three times as slowly as the rest.
constexpr double DECAY_GLIDE = DECAY_FAST / 3.0;

// ---------------------------------------------------------------------------
// Steps the moves share; t is stateTimer as the frame's step begins.

// The muzzle: 20 ahead of the side along its aim.
void MuzzleEffect(int32_t side, int32_t type) {
    const PlayerRecord& p = players[side];
    EffectAt(side, type, p.aimAngle, Ahead(p, 20.0, p.aimAngle));
}

bool EvenFrame(int32_t t, int32_t from, int32_t to) { return t >= from && t <= to && t % 2 == 0; }

// One Shot of a fan: r drawn once, then turned to one side of the aim or the
// other by the frame (t / 2 even: +r).
void FanShot(int32_t side, int32_t t, int32_t type, float rLow, float rHigh) {
    const float r = RandomFloat(rLow, rHigh);
    const float aim = players[side].aimAngle;
    SpawnShot(type, (t / 2) % 2 == 0 ? aim + r : aim - r, PositionOf(players[side]).data(), side);
    if (t % 4 == 0) PlaySe(SE_BURST);
}

// A small HeavyShot of a volley, aimed afresh and scattered by up to spread.
void VolleyShot(int32_t side, float spread) {
    AimAtOpponent(side);
    const float r = RandomFloat(-spread, spread);
    SpawnHeavyShot(301, players[side].aimAngle + r, PositionOf(players[side]).data(), side);
    PlaySe(SE_SHOOT00);
}

bool VolleyFrame(int32_t t) { return t == 10 || t == 13 || t == 16 || t == 19; }

// Before a mine is laid: when the side has more than three live mines, the
// oldest (the first found among equals) is set to the age at which a mine
// stops acting, so at most four stay live.
constexpr int32_t MINE_SPENT_AGE = 400;

void LimitMines(int32_t side) {
    int32_t live = 0;
    int32_t oldest = -1;
    for (int32_t i = 0; i < shotList.Size(); ++i) {
        const Shot& s = shotList[i];
        if (s.owner != side || s.type != 301 || s.age >= MINE_SPENT_AGE) continue;
        ++live;
        if (oldest < 0 || s.age > shotList[oldest].age) oldest = i;
    }
    if (live > 3) shotList[oldest].age = MINE_SPENT_AGE;
}

// The beam of the high attack and the hyper attack: an AttackArea 600 ahead
// along the aim every frame from 0 to 80, its two pictures alternating every
// two frames, widening, holding (and hurting on some frames) and narrowing.
void Beam(int32_t side, int32_t t, bool hyper) {
    if (t > 80) return;
    const PlayerRecord& p = players[side];
    const int32_t index = AreaAt(side, (t / 2) % 2 == 0 ? 320 : 321, p.aimAngle, Ahead(p, 600.0, p.aimAngle));
    const bool holding = t >= 20 && t <= 60;
    // The hyper beam flickers in width while it holds.
    const float holdWidth = holding && hyper ? RandomFloat(1.8f, 2.4f) : 0.0f;
    attackAreaList.Adjust(index, [&](AttackArea& a) {
        if (t < 10) a.scaleY = 0.1f;
        else if (t < 20) a.scaleY = static_cast<float>((t - 10) * (hyper ? 0.2 : 0.1));
        else if (t > 60) a.scaleY = static_cast<float>((80 - t) * (hyper ? 0.1 : 0.05));
        if (holding && hyper) a.scaleY = holdWidth;
        if (holding && !hyper && t % 4 == 0) {
            a.hitShape[0] = 590.0f;
            a.hitShape[1] = 80.0f;
        }
        if (holding && hyper && t % 3 == 0) {
            a.hitShape[0] = 590.0f;
            a.hitShape[1] = 120.0f;
            a.power = 50;
        }
    });
}

// ---------------------------------------------------------------------------
// The moves: each frame's own step, t being stateTimer as the frame begins.
// The motion, the count and the end or dash follow (RunOzaMove).

void ShotStep(int32_t side, int32_t t) {
    PlayerRecord& p = players[side];
    if (t == 0) AimAtOpponent(side);
    if (t == 9 && ButtonDown(side, BUTTON_Z)) p.state = OZA_VOLLEY;  // the rest of this frame stays the shot's
    if (t == 20) {
        AimAtOpponent(side);
        SpawnHeavyShot(302, p.aimAngle, PositionOf(p).data(), side);
        MuzzleEffect(side, 320);
        PlaySe(SE_SHOOT00);
    }
}

void VolleyStep(int32_t side, int32_t t) {
    if (VolleyFrame(t)) VolleyShot(side, 0.1f);
}

void MovingVolleyStep(int32_t side, int32_t t) {
    if (t == 0) {
        AimAtOpponent(side);
        players[side].boostGauge += 0.25;
    }
    if (VolleyFrame(t)) VolleyShot(side, 0.2f);
}

void MineStep(int32_t side, int32_t t) {
    if (t == 0) AimAtOpponent(side);
    if (t == 5) {
        LimitMines(side);
        SpawnShot(301, 0.0f, PositionOf(players[side]).data(), side);
    }
}

void SprayStep(int32_t side, int32_t t) {
    if (t == 0) AimAtOpponent(side);
    if (EvenFrame(t, 10, 24)) FanShot(side, t, 315, -0.2f, 1.2f);
}

void FanStep(int32_t side, int32_t t) {
    if (t == 0) AimAtOpponent(side);
    if (EvenFrame(t, 10, 20)) FanShot(side, t, 310, 0.8f, 1.6f);
}

// Four mines at once, 120 away on each side; these are not limited.
void MineCrossStep(int32_t side, int32_t t) {
    HighOpening(side, t, 100, OpeningGlide::Stops);
    if (t != 10) return;
    const PlayerRecord& p = players[side];
    const float offsets[4][2] = {{120.0f, 0.0f}, {-120.0f, 0.0f}, {0.0f, 120.0f}, {0.0f, -120.0f}};
    for (const auto& o : offsets) {
        const float at[2] = {p.x + o[0], p.y + o[1]};
        SpawnShot(301, 0.0f, at, side);
    }
}

void WideFanStep(int32_t side, int32_t t) {
    HighOpening(side, t, 100, OpeningGlide::Stops);
    if (EvenFrame(t, 10, 40)) FanShot(side, t, 310, 0.8f, 2.2f);
}

void LargeShotStep(int32_t side, int32_t t) {
    HighOpening(side, t, 50, OpeningGlide::Stops);
    if (t == 40) {
        SpawnShot(320, players[side].aimAngle, PositionOf(players[side]).data(), side);
        PlaySe(SE_BURST);
    }
}

bool MuzzleFrame(int32_t t) { return t >= 20 && t <= 60 && t % 5 == 0; }

// The beam can be steered slowly with the arrows.
void BeamStep(int32_t side, int32_t t) {
    PlayerRecord& p = players[side];
    HighOpening(side, t, 100, OpeningGlide::Stops);
    if (t >= 11 && t <= 79 && ArrowHeld(side))
        TurnAngleToward(&p.aimAngle, GetInputAngle(buttonStates[side]), 0.01f);
    Beam(side, t, false);
    if (MuzzleFrame(t)) MuzzleEffect(side, 320);
    if (t == 20) PlaySe(SE_RAY);
}

void HyperStep(int32_t side, int32_t t) {
    HighOpening(side, t, -100, OpeningGlide::Stops);
    Beam(side, t, true);
    if (MuzzleFrame(t)) MuzzleEffect(side, 321);
    if (t == 20) {
        PlaySe(SE_RAY);
        SpawnHeavyShot(310, players[side].aimAngle, PositionOf(players[side]).data(), side);
    }
}

struct Move {
    int32_t state;
    void (*step)(int32_t side, int32_t t);
    double decay;
    int32_t endsAt;    // the stateTimer at which the move is over
    int32_t dashFrom;  // the first stateTimer from which V starts a dash
};

constexpr Move moves[] = {
    {OZA_VOLLEY, VolleyStep, DECAY_FAST, 31, 16},
    {OZA_SHOT, ShotStep, DECAY_FAST, 41, 26},
    {OZA_MOVING_VOLLEY, MovingVolleyStep, DECAY_GLIDE, 31, 16},
    {OZA_MINE, MineStep, DECAY_FAST, 21, 13},
    {OZA_MINE_CROSS, MineCrossStep, DECAY_FAST, 31, 21},
    {OZA_FAN, FanStep, DECAY_FAST, 61, 39},
    {OZA_WIDE_FAN, WideFanStep, DECAY_FAST, 61, 51},
    {OZA_SPRAY, SprayStep, DECAY_FAST, 51, 36},
    {OZA_BEAM, BeamStep, DECAY_FAST, 91, 81},
    {OZA_LARGE_SHOT, LargeShotStep, DECAY_FAST, 61, 51},
    {OZA_HYPER, HyperStep, DECAY_FAST, 91, 81},
};

void RunOzaMove(int32_t side, float facingAngle) {
    PlayerRecord& p = players[side];
    // Looked up once: a move that turns into another keeps its own values
    // for the rest of the frame.
    const Move* move = std::find_if(std::begin(moves), std::end(moves), [&](const Move& m) { return m.state == p.state; });
    if (move == std::end(moves)) {
        FreeTheSide(side);
        return;
    }
    move->step(side, p.stateTimer);
    FinishMoveFrame(side, facingAngle, move->decay, move->endsAt, move->dashFrom, DashOza);
}

}  // namespace

void UpdateOza(int32_t side) { UpdateCharacter(side, ozaActions, RunOzaMove); }
