#include "game/characters/torvi_drawing.h"

#include <algorithm>
#include <cmath>

#include "game/arena/battle_state.h"
#include "game/characters/player_drawing.h"
#include "game/characters/torvi.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"

namespace {

// Standing: the idle cycle 0 1 2 2 (it rests on 2) when no arrow is down or
// the battle menu is open; steps toward the opponent (3 4 5 4) or away
// (6 7 8 7) otherwise.
int32_t TorviStandingPose(int32_t side, bool facingLeft) {
    const int32_t step = players[side].counter / 5;
    return StandingPose(side, facingLeft, std::min(step % 4, 2), BackAndForth(3, step), BackAndForth(6, step));
}

// A dash with the aim toward the facing side steps 9 10 11 10; one with the
// aim away from it 12 13 14 13.
int32_t DashPose(const PlayerRecord& p, bool facingLeft) {
    return BackAndForth(DashingTowardFacing(p.aimAngle, facingLeft) ? 9 : 12, p.counter / 2);
}

// The blows and the waves swing through 25..36 and then loop 27..35.
int32_t BlowPose(int32_t t) {
    const int32_t pose = 25 + t / 4;
    return pose <= 36 ? pose : 27 + (t / 4 - 11) % 9;
}

TurnedPose ChoosePose(int32_t side, bool facingLeft) {
    const PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    switch (p.state) {
    case PLAYER_KNOCKED_BACK:
    case PLAYER_BLOWN_AWAY: return {43, PoseTurn::ByAim};
    case PLAYER_KNOCKED_OUT: return {t < 180 ? 43 + (t / 2) % 2 : NO_MODEL, PoseTurn::ByAim};
    case PLAYER_DASH: return {DashPose(p, facingLeft), PoseTurn::ByAim};
    case PLAYER_BURST:
    case PLAYER_SHIELD: return {StepPose(t, 15, 5, 18), PoseTurn::ByAim};
    case TORVI_CLOSE_SHOTS:
    case TORVI_RING: return {StepPose(t, 15, 4, 18), PoseTurn::ByAim};
    case TORVI_SHOT_CLOUD:
    case TORVI_REFLECTORS:
    case TORVI_LANCES: return {StepPose(t, 19, 3, 25), PoseTurn::ByAim};
    case TORVI_VOLLEY:
    case TORVI_SEED:
    case TORVI_RAIN: return {StepPose(t, 37, 4, 42), PoseTurn::MirroredOnly};
    case TORVI_BLOWS:
    case TORVI_WAVES: return {BlowPose(t), PoseTurn::ByAim};
    default: return {TorviStandingPose(side, facingLeft), PoseTurn::FacingOnly};
    }
}

}  // namespace

std::vector<CharacterModelDraw> TorviModelDraws(int32_t side) {
    const bool facingLeft = FacingLeft(side);
    return TurnedPoseDraws(side, ChoosePose(side, facingLeft), facingLeft);
}

void DrawTorvi(int32_t side) { DrawCharacterModels(side, TorviModelDraws(side)); }
