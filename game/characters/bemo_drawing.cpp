#include "game/characters/bemo_drawing.h"

#include <algorithm>
#include <cmath>

#include "game/arena/battle_state.h"
#include "game/characters/bemo.h"
#include "game/characters/player_drawing.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"

namespace {

constexpr int32_t BLEND_BODY = 1;
constexpr int32_t BLEND_GLOW = 2;

int32_t NeutralPose(int32_t side, bool facingLeft) {
    const int32_t c = players[side].counter / 5;
    return StandingPose(side, facingLeft, c % 8, BackAndForth(11, c), BackAndForth(8, c));
}

int32_t DashPose(const PlayerRecord& p, bool facingLeft) {
    const int32_t d = p.counter / 2;
    return DashingTowardFacing(p.aimAngle, facingLeft) ? BackAndForth(15, d) : BackAndForth(18, d);
}

// The whirls' poses: 40 to 43 while they turn, 44 to 46 once `release` is past.
int32_t WhirlPose(int32_t t, int32_t release) {
    return t < release ? StepPose(t, 40, 4, 43) : StepPose(t - release, 44, 5, 46);
}

int32_t ChoosePose(int32_t side, bool facingLeft) {
    const PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    switch (p.state) {
    case PLAYER_DASH: return DashPose(p, facingLeft);
    case PLAYER_KNOCKED_BACK:
    case PLAYER_BLOWN_AWAY: return 57;
    case PLAYER_BURST:
    case PLAYER_SHIELD: return StepPose(t, 25, 5, 30);
    case PLAYER_KNOCKED_OUT: return t < 180 ? 57 + (t / 2) % 2 : NO_MODEL;
    case BEMO_RING_SHOT: return StepPose(t, 21, 3, 30);
    case BEMO_WALL: return StepPose(t, 21, 4, 30);
    case BEMO_FAN:
    case BEMO_WHIP: return StepPose(t, 31, 3, 39);
    case BEMO_SCATTER: return StepPose(t, 47, 3, 51);
    case BEMO_VORTEX: return WhirlPose(t, 80);
    case BEMO_MAELSTROM: return WhirlPose(t, 60);
    case BEMO_SIDE_SHOT:
    case BEMO_STAR: return StepPose(t, 40, 4, 43);
    case BEMO_LUNGE_STRIKE: return StepPose(t, 52, 4, 56);
    case BEMO_STORM: return StepPose(t, 24, 3, 30);
    default: return NeutralPose(side, facingLeft);  // standing, and states bemo has no pose for
    }
}

// Tilted states roll along the aim (mirrored when it points left); the
// others only mirror, toward the aim in the moves and toward the facing when
// standing.
PoseTurn BodyTurn(int32_t state) {
    switch (state) {
    case PLAYER_KNOCKED_BACK:
    case PLAYER_KNOCKED_OUT:
    case PLAYER_DASH:
    case PLAYER_BURST:
    case PLAYER_BLOWN_AWAY:
    case PLAYER_SHIELD:
    case BEMO_SCATTER:
    case BEMO_LUNGE_STRIKE: return PoseTurn::ByAim;
    case BEMO_RING_SHOT:
    case BEMO_WALL:
    case BEMO_FAN:
    case BEMO_VORTEX:
    case BEMO_SIDE_SHOT:
    case BEMO_STAR:
    case BEMO_WHIP:
    case BEMO_STORM:
    case BEMO_MAELSTROM: return PoseTurn::MirroredOnly;
    default: return PoseTurn::FacingOnly;
    }
}

// The lunge's parts lean a tenth of a radian further up than the body.
ModelTurn PartTurn(float aimAngle) {
    const double aim = aimAngle;
    if (std::fabs(aimAngle) > PI_F / 2.0f) return {true, RadianToAngle(static_cast<float>(aim - PI_WIDE - 0.1)), true};
    return {true, RadianToAngle(static_cast<float>(aim + 0.1)), false};
}

// The lunge strike's parts over the body: the glow of the strike (parts 2 and
// 3, added) on poses 54 and 55, then the arm, part 0 before the strike and
// part 1 from it on.
void AddLungeParts(std::vector<CharacterModelDraw>& draws, const PlayerRecord& p, int32_t pose) {
    const ModelTurn turn = PartTurn(p.aimAngle);
    if (pose == 54 || pose == 55)
        draws.push_back({CharacterModelKind::Action, pose == 54 ? 2 : 3, BLEND_GLOW, p.x, p.y, turn});
    draws.push_back({CharacterModelKind::Action, pose <= 53 ? 0 : 1, BLEND_BODY, p.x, p.y, turn});
}

}  // namespace

std::vector<CharacterModelDraw> BemoModelDraws(int32_t side) {
    const PlayerRecord& p = players[side];
    const bool facingLeft = FacingLeft(side);
    const int32_t pose = ChoosePose(side, facingLeft);
    std::vector<CharacterModelDraw> draws = PoseDraws(p, {pose}, TurnForPose(BodyTurn(p.state), p.aimAngle, facingLeft));
    if (pose != NO_MODEL && p.state == BEMO_LUNGE_STRIKE) AddLungeParts(draws, p, pose);
    return draws;
}

void DrawBemo(int32_t side) { DrawCharacterModels(side, BemoModelDraws(side)); }
