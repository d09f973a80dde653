#include "game/characters/perila_drawing.h"

#include <algorithm>
#include <cmath>

#include "game/arena/battle_state.h"
#include "game/characters/perila.h"
#include "game/characters/player_drawing.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"

namespace {

// A dash along the aim toward the opponent's side runs through poses 9..16;
// one away from it steps 17 18 19 18.
int32_t DashPose(const PlayerRecord& p, bool facingLeft) {
    return DashingTowardFacing(p.aimAngle, facingLeft) ? 9 + (p.counter / 2) % 8 : BackAndForth(17, p.counter / 2);
}

// The high and hyper attacks rise through 20..30 and then loop 22..30.
int32_t HighAttackPose(int32_t t) {
    const int32_t pose = 20 + t / 3;
    return pose > 30 ? 22 + (t / 3 - 10) % 9 : pose;
}

TurnedPose ChoosePose(int32_t side, bool facingLeft) {
    const PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    switch (p.state) {
    case PLAYER_KNOCKED_BACK:
    case PLAYER_BLOWN_AWAY: return {51, PoseTurn::ByAim};
    case PLAYER_KNOCKED_OUT: return {t < 180 ? 51 + (t / 2) % 2 : NO_MODEL, PoseTurn::ByAim};
    case PLAYER_DASH: return {DashPose(p, facingLeft), PoseTurn::ByAim};
    case PLAYER_BURST:
    case PLAYER_SHIELD: return {StepPose(t, 20, 5, 30), PoseTurn::ByAim};
    case PERILA_BEAMS:
    case PERILA_VOLLEY:
    case PERILA_DOUBLE_VOLLEY:
    case PERILA_CURVING_SHOTS: return {StepPose(t, 45, 3, 50), PoseTurn::ByAim};
    case PERILA_SPINNING_SHOTS:
    case PERILA_SPINNING_HEAVY:
    case PERILA_BEAM_VOLLEY: return {StepPose(t, 36, 3, 44), PoseTurn::ByAim};
    case PERILA_SWARM:
    case PERILA_BLADES:
    case PERILA_HYPER: return {HighAttackPose(t), PoseTurn::MirroredOnly};
    case PERILA_SEEKERS: return {StepPose(t, 31, 3, 35), PoseTurn::ByAim};
    case PERILA_MORE_SEEKERS: return {std::min(31 + (t - 18) / 3, 35), PoseTurn::ByAim};
    default: return {StandingCyclePose(side, facingLeft), PoseTurn::FacingOnly};
    }
}

}  // namespace

std::vector<CharacterModelDraw> PerilaModelDraws(int32_t side) {
    const bool facingLeft = FacingLeft(side);
    return TurnedPoseDraws(side, ChoosePose(side, facingLeft), facingLeft);
}

void DrawPerila(int32_t side) { DrawCharacterModels(side, PerilaModelDraws(side)); }
