#include "game/characters/perila_drawing.h"

#include <algorithm>
#include <cmath>

#include "game/battle/battle_state.h"
#include "game/battle/numeric_helpers.h"
#include "game/battle/player_drawing.h"
#include "game/characters/perila.h"
#include "game/shots/object_rules.h"

namespace {

constexpr int32_t NO_POSE = -1;
constexpr int32_t BLEND_BODY = 1;

struct Pose {
    int32_t pose;
    PoseTurn turn;
};

// Standing: steps toward the opponent (3 4 5 4) or away (6 7 8 7), and the
// idle cycle (0 1 2 1) when no arrow is down or the battle menu is open.
int32_t StandingPose(int32_t side, bool facingLeft) {
    const int32_t step = players[side].counter / 5;
    if (!AnyArrowDown(side) || battlePaused == 1) return BackAndForth(0, step);
    return BackAndForth(ButtonDown(side, facingLeft ? BUTTON_LEFT : BUTTON_RIGHT) ? 3 : 6, step);
}

// A dash along the aim toward the opponent's side runs through poses 9..16;
// one away from it steps 17 18 19 18.
int32_t DashPose(const PlayerRecord& p, bool facingLeft) {
    const float a = std::fabs(p.aimAngle);
    const bool forward = facingLeft ? a >= PI_F / 2.0f : a <= PI_F / 2.0f;
    return forward ? 9 + (p.counter / 2) % 8 : BackAndForth(17, p.counter / 2);
}

// The high and hyper attacks rise through 20..30 and then loop 22..30.
int32_t HighAttackPose(int32_t t) {
    const int32_t pose = 20 + t / 3;
    return pose > 30 ? 22 + (t / 3 - 10) % 9 : pose;
}

Pose ChoosePose(int32_t side, bool facingLeft) {
    const PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    switch (p.state) {
    case PLAYER_KNOCKED_BACK:
    case PLAYER_BLOWN_AWAY: return {51, PoseTurn::ByAim};
    case PLAYER_KNOCKED_OUT: return {t < 180 ? 51 + (t / 2) % 2 : NO_POSE, PoseTurn::ByAim};
    case PLAYER_DASH: return {DashPose(p, facingLeft), PoseTurn::ByAim};
    case PLAYER_BURST:
    case PLAYER_SHIELD: return {std::min(20 + t / 5, 30), PoseTurn::ByAim};
    case PERILA_BEAMS:
    case PERILA_VOLLEY:
    case PERILA_DOUBLE_VOLLEY:
    case PERILA_CURVING_SHOTS: return {std::min(45 + t / 3, 50), PoseTurn::ByAim};
    case PERILA_SPINNING_SHOTS:
    case PERILA_SPINNING_HEAVY:
    case PERILA_BEAM_VOLLEY: return {std::min(36 + t / 3, 44), PoseTurn::ByAim};
    case PERILA_SWARM:
    case PERILA_BLADES:
    case PERILA_HYPER: return {HighAttackPose(t), PoseTurn::MirroredOnly};
    case PERILA_SEEKERS: return {std::min(31 + t / 3, 35), PoseTurn::ByAim};
    case PERILA_MORE_SEEKERS: return {std::min(31 + (t - 18) / 3, 35), PoseTurn::ByAim};
    default: return {StandingPose(side, facingLeft), PoseTurn::FacingOnly};
    }
}

}  // namespace

std::vector<CharacterModelDraw> PerilaModelDraws(int32_t side) {
    const PlayerRecord& p = players[side];
    const bool facingLeft = !(p.x < OpponentOf(side).x);
    const Pose pose = ChoosePose(side, facingLeft);
    if (pose.pose == NO_POSE) return {};
    return {{CharacterModelKind::Frame, pose.pose, BLEND_BODY, p.x, p.y, TurnForPose(pose.turn, p.aimAngle, facingLeft)}};
}

void DrawPerila(int32_t side) { DrawCharacterModels(side, PerilaModelDraws(side)); }
