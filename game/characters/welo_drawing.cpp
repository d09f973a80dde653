#include "game/characters/welo_drawing.h"

#include <algorithm>
#include <cmath>

#include "engine/core/math.h"
#include "engine/graphics/render_state.h"
#include "game/arena/battle_state.h"
#include "game/characters/player_drawing.h"
#include "game/characters/welo.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"

namespace {

constexpr int32_t BLEND_BODY = 1;

struct WeloPose : PoseChoice {
    bool standing = false;  // not rolled with the aim, only turned to the opponent
};

// The gun of the shooting poses 20 to 24: drawn up on 20, raised on 21, firing after.
WeloPose Gun(int32_t pose) { return {{pose, pose == 20 ? 0 : pose == 21 ? 1 : 2}}; }

// The blade follows the pose through each slash's run of five poses (25 to
// 29, 30 to 34, 35 to 39), holding its fourth picture over the last two.
WeloPose Blade(int32_t pose) {
    const int32_t run = (pose - 25) / 5;
    return {{pose, 3 + 4 * run + std::min((pose - 25) % 5, 3), true}};
}

// The lunge: poised (51), a short run-up (38, 39), then the thrust (52 to 54).
WeloPose Lunge(int32_t t) {
    const int32_t pose = t < 5 ? 51 : t < 10 ? 38 + (t / 2) % 2 : std::min(52 + (t - 10) / 4, 54);
    const int32_t blade = pose == 51 ? 15 : pose == 52 ? 16 : pose == 53 ? 18 : 19;
    return {{pose, blade, true}};
}

// The slash storm swings back and forth every ten frames, each run of poses
// starting over with its slash.
int32_t StormPose(int32_t t) {
    if (t < 5) return 25;
    if (t >= 60) return 34;
    const int32_t step = ((t - 5) % 10) / 2;
    return (t / 10) % 2 == 0 ? std::min(30 + step, 34) : std::min(25 + step, 29);
}

WeloPose ChoosePose(int32_t side, bool facingLeft) {
    const PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    const int32_t c = p.counter;
    switch (p.state) {
    case PLAYER_KNOCKED_BACK:
    case PLAYER_BLOWN_AWAY: return {{55}};
    case PLAYER_KNOCKED_OUT: return {{t < 180 ? 55 + (t / 2) % 2 : NO_MODEL}};
    case PLAYER_DASH:
        if (DashingTowardFacing(p.aimAngle, facingLeft)) return {{9 + (c / 2) % 7}};
        return {{16 + (c / 3) % 4}};
    case PLAYER_BURST:
    case PLAYER_SHIELD: return {{StepPose(t, 40, 6, 50)}};
    case WELO_SHOT: return Gun(StepPoseFrom(t, 12, 20, 20, 3, 24));
    case WELO_MOVING_SHOTS: return Gun(StepPoseFrom(t, 16, 20, 20, 3, 24));
    case WELO_CHARGED_SHOT:
    case WELO_CHASING_SHOT: return Gun(StepPoseFrom(t, 100, 20, 20, 3, 24));
    case WELO_RAY_BARRAGE:
    case WELO_HYPER: return Gun(20);
    case WELO_SLASH_1: return Blade(StepPose(t, 25, 4, 29));
    case WELO_SLASH_2: return Blade(StepPose(t, 30, 4, 34));
    case WELO_THRUST:
    case WELO_FLASH_THRUST: return Blade(StepPose(t, 35, 4, 39));
    case WELO_SLASH_STORM: return Blade(StormPose(t));
    case WELO_LUNGE: return Lunge(t);
    case WELO_VOLLEY:
    case WELO_HOMING_VOLLEY:
    case WELO_HIGH_VOLLEY: return {{StepPose(t, 40, 4, 50)}};
    default: return {{StandingCyclePose(side, facingLeft), NO_MODEL, false}, true};
    }
}

}  // namespace

std::vector<CharacterModelDraw> WeloModelDraws(int32_t side) {
    const PlayerRecord& p = players[side];
    const bool facingLeft = FacingLeft(side);
    const WeloPose choice = ChoosePose(side, facingLeft);
    const ModelTurn turn = choice.standing ? ModelTurn{false, 0, facingLeft} : TurnTowardAim(p.aimAngle);
    return PoseDraws(p, choice, turn);
}

void DrawWelo(int32_t side) {
    const std::vector<CharacterModelDraw> draws = WeloModelDraws(side);
    DrawCharacterModels(side, draws);
    // The blade is added onto the picture; what comes next blends normally.
    if (!draws.empty() && draws.back().blendMode != BLEND_BODY) SetBlendMode(BLEND_BODY);
}
