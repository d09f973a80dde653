#include "game/characters/ruo_drawing.h"

#include <algorithm>
#include <cmath>

#include "game/arena/battle_state.h"
#include "game/characters/player_drawing.h"
#include "game/characters/ruo.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"

namespace {

// The sword swing loop of the charges and the rush of the holds.
int32_t Swing(int32_t t) { return 38 + (t / 3) % 4; }
// The wind-up of the charges and the holds, then the swing loop.
int32_t WindUpThenSwing(int32_t t) { return t < 10 ? StepPose(t, 36, 4, 37) : Swing(t); }

// Free flight: the idle loop with no arrow held (and while the menu is open),
// otherwise flying toward or away from the opponent.
int32_t FlightPose(int32_t side, bool opponentLeft) {
    const int32_t g = players[side].counter / 5;
    return StandingPose(side, opponentLeft, g % 8, BackAndForth(8, g), BackAndForth(11, g));
}

int32_t DashPose(const PlayerRecord& p, bool opponentLeft) {
    return BackAndForth(DashingTowardFacing(p.aimAngle, opponentLeft) ? 14 : 17, p.counter / 2);
}

// The hold of the grab: rush, then cuts that flip between two sweeps every 8
// frames, then the swing loop.
int32_t GrabPose(int32_t t) {
    if (t < 120) return WindUpThenSwing(t);
    if (t <= 180) return ((t / 8) % 2 == 0 ? 37 : 42) + (t % 8) / 2;
    return 43 + (t / 3) % 4;
}

// The hyper: rush, then the lift (42 to 46, then looping 43 to 46), then the
// recovery.
int32_t HyperPose(int32_t t) {
    if (t < 100) return WindUpThenSwing(t);
    if (t <= 160) {
        const int32_t q = (t - 100) / 3;
        return q <= 4 ? 42 + q : 43 + (q - 4) % 4;
    }
    return StepPose(t - 160, 29, 4, 32);
}

int32_t PowerUpPose(int32_t t) {
    const int32_t pose = 23 - t / 4;
    return pose <= 20 ? 21 : pose == 21 ? 20 : pose;
}

// The pose of a state, turned along the aim; free flight (mirrored toward
// the opponent, never rolled) for states ruo has no own pose for.
TurnedPose ChoosePose(int32_t side, bool opponentLeft) {
    const PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    switch (p.state) {
    case PLAYER_KNOCKED_BACK:
    case PLAYER_BLOWN_AWAY: return {47};
    case PLAYER_KNOCKED_OUT: return {t < 180 ? 47 + (t / 2) % 2 : NO_MODEL};
    case PLAYER_DASH: return {DashPose(p, opponentLeft)};
    case PLAYER_BURST:
    case PLAYER_SHIELD: return {StepPose(t, 29, 5, 32)};
    case RUO_HEAVY_SHOTS:
    case RUO_SHOT_FAN: return {StepPose(t, 20, 4, 23)};
    case RUO_SHOT_STREAM:
    case RUO_CROSSING_STREAMS: return {StepPose(t, 24, 4, 28)};
    case RUO_LUNGE:
    case RUO_SWORD_CHARGE: return {WindUpThenSwing(t)};
    case RUO_STROKE_2:
    case RUO_SPARK_FAN: return {t < 8 ? 42 : 43 + (t / 3) % 4};
    case RUO_STROKE_3: return {StepPose(t, 29, 4, 32)};
    case RUO_FINAL_STROKE: return {StepPose(t, 33, 3, 35)};
    case RUO_CLONE:
    case RUO_CLONE_RING: return {t < 50 ? StepPose(t, 29, 4, 32) : 35};
    case RUO_GRAB: return {GrabPose(t)};
    case RUO_POWER_UP: return {PowerUpPose(t)};
    case RUO_HYPER: return {HyperPose(t)};
    default: return {FlightPose(side, opponentLeft), PoseTurn::FacingOnly};
    }
}

}  // namespace

std::vector<CharacterModelDraw> RuoModelDraws(int32_t side) {
    const bool opponentLeft = OpponentOf(side).x <= players[side].x;
    return TurnedPoseDraws(side, ChoosePose(side, opponentLeft), opponentLeft);
}

void DrawRuo(int32_t side) { DrawCharacterModels(side, RuoModelDraws(side)); }
