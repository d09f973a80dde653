#include "game/characters/nebu_drawing.h"

#include <algorithm>
#include <cmath>

#include "game/arena/battle_state.h"
#include "game/characters/nebu.h"
#include "game/characters/player_drawing.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"

namespace {


// The poses f = first + t / 3, which past `loopAfter` cycle through `count`
// poses from loopFirst, counted from loopFrom.
int32_t LoopingPose(int32_t f, int32_t loopAfter, int32_t loopFirst, int32_t loopFrom, int32_t count) {
    return f > loopAfter ? loopFirst + (f - loopFrom) % count : f;
}

int32_t NeutralPose(int32_t side, bool facingLeft) {
    const int32_t step = players[side].counter / 5 % 4;
    return StandingPose(side, facingLeft, step, 4 + step, 8 + step);
}

TurnedPose ChoosePose(int32_t side, bool facingLeft) {
    const PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    const int32_t c = p.counter;
    switch (p.state) {
    case PLAYER_DASH:
        if (DashingTowardFacing(p.aimAngle, facingLeft)) return {12 + c / 2 % 8, PoseTurn::RolledOnly};
        return {20 + c / 3 % 4, PoseTurn::ByAim};
    case PLAYER_KNOCKED_BACK:
    case PLAYER_BLOWN_AWAY: return {72, PoseTurn::ByAim};
    case PLAYER_BURST:
    case PLAYER_SHIELD: return {StepPose(t, 41, 5, 46), PoseTurn::ByAim};
    case PLAYER_KNOCKED_OUT: return {t < 180 ? 72 + t / 2 % 2 : NO_MODEL, PoseTurn::ByAim};
    case NEBU_TWIN_SHOT:
    case NEBU_ORBIT_SHOTS:
    case NEBU_REAR_VOLLEY:
    case NEBU_REAR_STORM:
    case NEBU_CLOSING_RING:
    case NEBU_BEAM:
    case NEBU_SWEEP_BEAM: return {StepPoseFrom(t, 10, 24, 24, 3, 28), PoseTurn::ByAim};
    case NEBU_STAR_BURST:
    case NEBU_CHAIN:
    case NEBU_CHAIN_VOLLEY: return {LoopingPose(29 + t / 3, 40, 36, 40, 5), PoseTurn::ByAim};
    case NEBU_TRI_SPREAD: return {StepPoseFrom(t, 5, 41, 41, 3, 46), PoseTurn::MirroredOnly};
    case NEBU_WHEEL: return {t < 20 ? 59 : LoopingPose(59 + (t - 20) / 3, 65, 61, 65, 5), PoseTurn::ByAim};
    case NEBU_BURST_STRIKE: return {LoopingPose(66 + t / 3, 71, 67, 72, 5), PoseTurn::ByAim};
    case NEBU_FOUNTAIN: return {LoopingPose(47 + t / 3, 58, 50, 58, 9), PoseTurn::MirroredOnly};
    default: return {NeutralPose(side, facingLeft), PoseTurn::FacingOnly};  // the neutral state and any other
    }
}

}  // namespace

std::vector<CharacterModelDraw> NebuModelDraws(int32_t side) {
    const bool facingLeft = FacingLeft(side);
    return TurnedPoseDraws(side, ChoosePose(side, facingLeft), facingLeft);
}

void DrawNebu(int32_t side) { DrawCharacterModels(side, NebuModelDraws(side)); }
