#include "game/characters/nebu_drawing.h"

#include <algorithm>
#include <cmath>

#include "game/battle/battle_state.h"
#include "game/battle/numeric_helpers.h"
#include "game/battle/player_drawing.h"
#include "game/characters/nebu.h"
#include "game/shots/object_rules.h"

namespace {

constexpr int32_t NO_MODEL = -1;
constexpr int32_t BLEND_BODY = 1;

struct PoseChoice {
    int32_t pose;
    PoseTurn turn;
};

// base up to t == start, then base + (t - start) / 3, at most last.
int32_t StepPose(int32_t t, int32_t start, int32_t base, int32_t last) {
    return t <= start ? base : std::min(base + (t - start) / 3, last);
}

// The poses f = first + t / 3, which past `loopAfter` cycle through `count`
// poses from loopFirst, counted from loopFrom.
int32_t LoopingPose(int32_t f, int32_t loopAfter, int32_t loopFirst, int32_t loopFrom, int32_t count) {
    return f > loopAfter ? loopFirst + (f - loopFrom) % count : f;
}

// A dash toward the side the character faces (straight up and down count).
bool DashingForward(float aimAngle, bool facingLeft) {
    const float a = std::fabs(aimAngle);
    return facingLeft ? a >= PI_F / 2.0f : a <= PI_F / 2.0f;
}

int32_t NeutralPose(int32_t side, bool facingLeft) {
    const int32_t step = players[side].counter / 5 % 4;
    if (battlePaused == 1 || !AnyArrowDown(side)) return step;
    return ButtonDown(side, facingLeft ? BUTTON_LEFT : BUTTON_RIGHT) ? 4 + step : 8 + step;
}

PoseChoice ChoosePose(int32_t side, bool facingLeft) {
    const PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    const int32_t c = p.counter;
    switch (p.state) {
    case PLAYER_DASH:
        if (DashingForward(p.aimAngle, facingLeft)) return {12 + c / 2 % 8, PoseTurn::RolledOnly};
        return {20 + c / 3 % 4, PoseTurn::ByAim};
    case PLAYER_KNOCKED_BACK:
    case PLAYER_BLOWN_AWAY: return {72, PoseTurn::ByAim};
    case PLAYER_BURST:
    case PLAYER_SHIELD: return {std::min(41 + t / 5, 46), PoseTurn::ByAim};
    case PLAYER_KNOCKED_OUT: return {t < 180 ? 72 + t / 2 % 2 : NO_MODEL, PoseTurn::ByAim};
    case NEBU_TWIN_SHOT:
    case NEBU_ORBIT_SHOTS:
    case NEBU_REAR_VOLLEY:
    case NEBU_REAR_STORM:
    case NEBU_CLOSING_RING:
    case NEBU_BEAM:
    case NEBU_SWEEP_BEAM: return {StepPose(t, 10, 24, 28), PoseTurn::ByAim};
    case NEBU_STAR_BURST:
    case NEBU_CHAIN:
    case NEBU_CHAIN_VOLLEY: return {LoopingPose(29 + t / 3, 40, 36, 40, 5), PoseTurn::ByAim};
    case NEBU_TRI_SPREAD: return {StepPose(t, 5, 41, 46), PoseTurn::MirroredOnly};
    case NEBU_WHEEL: return {t < 20 ? 59 : LoopingPose(59 + (t - 20) / 3, 65, 61, 65, 5), PoseTurn::ByAim};
    case NEBU_BURST_STRIKE: return {LoopingPose(66 + t / 3, 71, 67, 72, 5), PoseTurn::ByAim};
    case NEBU_FOUNTAIN: return {LoopingPose(47 + t / 3, 58, 50, 58, 9), PoseTurn::MirroredOnly};
    default: return {NeutralPose(side, facingLeft), PoseTurn::FacingOnly};  // the neutral state and any other
    }
}

}  // namespace

std::vector<CharacterModelDraw> NebuModelDraws(int32_t side) {
    const PlayerRecord& p = players[side];
    const bool facingLeft = !(p.x < OpponentOf(side).x);
    const PoseChoice choice = ChoosePose(side, facingLeft);
    if (choice.pose == NO_MODEL) return {};
    const ModelTurn turn = TurnForPose(choice.turn, p.aimAngle, facingLeft);
    return {{CharacterModelKind::Frame, choice.pose, BLEND_BODY, p.x, p.y, turn}};
}

void DrawNebu(int32_t side) { DrawCharacterModels(side, NebuModelDraws(side)); }
