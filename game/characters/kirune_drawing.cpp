#include "game/characters/kirune_drawing.h"

#include <algorithm>
#include <cmath>

#include "game/arena/battle_state.h"
#include "game/characters/kirune.h"
#include "game/characters/player_drawing.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"

namespace {

// The weapon of the shots: 13 and 14 on the first two poses, then 15.
int32_t ShotAction(int32_t pose) { return pose == 20 ? 13 : pose == 21 ? 14 : 15; }
// The sword of each slash follows its pose, holding its last picture.
PoseChoice Slash(int32_t pose, int32_t firstPose, int32_t firstSword, int32_t swords) {
    return {pose, firstSword + std::min(pose - firstPose, swords - 1), true};
}

PoseChoice ChargingSlash(int32_t t) {
    int32_t pose = 43;
    if (t >= 10) {
        const int32_t n = 43 + (t - 10) / 3;
        pose = n > 51 ? 46 + (n - 51) % 4 : n;
    }
    if (t > 35) return {pose, 17, true};
    if (pose == 43) return {pose, NO_MODEL, false};
    if (pose == 44) return {pose, 16, true};
    if (pose == 45) return {pose, 17, true};
    return {pose, pose % 2 == 0 ? 19 : 20, true};
}

int32_t NeutralPose(int32_t side, bool facingLeft) {
    const int32_t c = players[side].counter;
    return StandingPose(side, facingLeft, BackAndForth(0, c / 8), BackAndForth(3, c / 5), BackAndForth(6, c / 5));
}

PoseChoice ChoosePose(int32_t side, bool facingLeft) {
    const PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    const int32_t c = p.counter;
    switch (p.state) {
    case PLAYER_FREE: return {NeutralPose(side, facingLeft)};
    case PLAYER_KNOCKED_BACK: return {57};
    case PLAYER_KNOCKED_OUT: return {t < 180 ? 57 + (t / 2) % 2 : NO_MODEL};
    case PLAYER_DASH:
        if (DashingTowardFacing(p.aimAngle, facingLeft)) return {9 + (c / 2) % 8};
        return {BackAndForth(17, c / 3)};
    case PLAYER_BURST:
    case PLAYER_SHIELD: return {StepPose(t, 52, 5, 56)};
    case PLAYER_BLOWN_AWAY: return {BackAndForth(17, c / 3)};
    case KIRUNE_SHOT: {
        const int32_t pose = StepPoseFrom(t, 12, 20, 20, 3, 24);
        return {pose, ShotAction(pose)};
    }
    case KIRUNE_MOVING_SHOTS: {
        const int32_t pose = StepPoseFrom(t, 16, 20, 20, 3, 24);
        return {pose, ShotAction(pose)};
    }
    case KIRUNE_CHARGED_SHOT: {
        const int32_t pose = StepPoseFrom(t, 100, 20, 20, 3, 24);
        return {pose, ShotAction(pose)};
    }
    case KIRUNE_SLASH_1: return Slash(StepPose(t, 25, 5, 30), 25, 0, 4);
    case KIRUNE_LONG_SLASH: return Slash(StepPose(t, 25, 3, 30), 25, 0, 4);
    case KIRUNE_SLASH_2: return Slash(StepPose(t, 31, 4, 36), 31, 4, 4);
    case KIRUNE_SLASH_3: return Slash(StepPose(t, 37, 4, 42), 37, 8, 5);
    case KIRUNE_SPREAD_SHOTS:
    case KIRUNE_RAPID_FIRE: return {StepPose(t, 20, 3, 24)};
    case KIRUNE_BEAM:
    case KIRUNE_HYPER: return {20, 13};
    case KIRUNE_RUSH: return Slash(StepPoseFrom(t, 15, 37, 38, 3, 42), 37, 8, 5);
    case KIRUNE_CHARGING_SLASH:
    case KIRUNE_CHASING_SLASH: return ChargingSlash(t);
    case KIRUNE_HEAVY_SHOT: return Slash(StepPoseFrom(t, 10, 25, 25, 3, 30), 25, 0, 4);
    default: return {};
    }
}

ModelTurn TurnFor(const PlayerRecord& p, int32_t pose, bool facingLeft) {
    // Standing, the body only mirrors toward the opponent; dashing at it, it
    // rolls along the aim without mirroring.
    if (p.state == PLAYER_FREE) return {false, 0, facingLeft};
    if (p.state == PLAYER_DASH && pose >= 9 && pose <= 16) return {true, RadianToAngle(p.aimAngle), false};
    return TurnTowardAim(p.aimAngle);
}

}  // namespace

std::vector<CharacterModelDraw> KiruneModelDraws(int32_t side) {
    const PlayerRecord& p = players[side];
    const bool facingLeft = FacingLeft(side);
    const PoseChoice choice = ChoosePose(side, facingLeft);
    return PoseDraws(p, choice, TurnFor(p, choice.pose, facingLeft));
}

void DrawKirune(int32_t side) { DrawCharacterModels(side, KiruneModelDraws(side)); }
