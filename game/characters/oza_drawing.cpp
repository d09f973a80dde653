#include "game/characters/oza_drawing.h"

#include <algorithm>
#include <cmath>

#include "game/arena/battle_state.h"
#include "game/characters/oza.h"
#include "game/characters/player_drawing.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/object_rules.h"

namespace {

constexpr int32_t BLEND_ALPHA = 1;

// The state's Models, all turned alike: along the aim (mirrored when it points
// into the left half), toward the opponent only, or only mirrored by the aim.
struct Picture {
    int32_t pose = NO_MODEL;
    int32_t partBefore = NO_MODEL;  // drawn under the body
    int32_t partAfter = NO_MODEL;   // drawn over the body
    PoseTurn turn = PoseTurn::ByAim;
};

// A pose count n that runs past last starts over in the loop first..last.
int32_t LoopPast(int32_t n, int32_t first, int32_t last) {
    return n > last ? first + (n - last) % (last - first + 1) : n;
}

// The volleys: the gun raised (part 0, then 1 behind the body), then the
// firing poses looping over 18..20.
Picture Volley(int32_t t) {
    const int32_t pose = t < 8 ? StepPose(t, 15, 4, 16) : LoopPast(16 + (t - 8) / 3, 18, 20);
    return {pose, t < 4 ? 0 : 1, NO_MODEL};
}

// The fans and the large shot: the gun's two halves about the body (parts 2
// and 3, then 4 and 5), the firing poses looping over 23..26.
Picture Fan(int32_t t) {
    const int32_t pose = t < 10 ? StepPose(t, 21, 4, 23) : LoopPast(23 + (t - 10) / 3, 23, 26);
    return {pose, t < 4 ? 2 : 4, t < 4 ? 3 : 5};
}

// The beams: the cannon (part 6, then 7) over the body once it is raised.
Picture BeamPicture(int32_t t) {
    const int32_t pose = t < 20 ? StepPose(t, 30, 5, 31) : LoopPast(32 + (t - 8) / 3, 34, 37);
    return {pose, NO_MODEL, pose == 30 ? NO_MODEL : pose == 31 ? 6 : 7};
}

Picture ChoosePicture(int32_t side, bool facingLeft) {
    const PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    switch (p.state) {
    case PLAYER_KNOCKED_BACK:
    case PLAYER_BLOWN_AWAY: return {38};
    case PLAYER_KNOCKED_OUT: return {t < 180 ? 38 + (t / 2) % 2 : NO_MODEL};
    case PLAYER_DASH: return {BackAndForth(DashingTowardFacing(p.aimAngle, facingLeft) ? 9 : 12, p.counter / 2)};
    case PLAYER_BURST:
    case PLAYER_SHIELD: return {StepPose(t, 15, 5, 20)};
    case OZA_VOLLEY:
    case OZA_SHOT:
    case OZA_MOVING_VOLLEY: return Volley(t);
    case OZA_MINE:
    case OZA_MINE_CROSS: return {StepPose(t, 27, 4, 30), NO_MODEL, NO_MODEL, PoseTurn::MirroredOnly};
    case OZA_FAN:
    case OZA_WIDE_FAN:
    case OZA_SPRAY:
    case OZA_LARGE_SHOT: return Fan(t);
    case OZA_BEAM:
    case OZA_HYPER: return BeamPicture(t);
    default: return {StandingCyclePose(side, facingLeft), NO_MODEL, NO_MODEL, PoseTurn::FacingOnly};
    }
}

}  // namespace

std::vector<CharacterModelDraw> OzaModelDraws(int32_t side) {
    const PlayerRecord& p = players[side];
    const bool facingLeft = FacingLeft(side);
    const Picture picture = ChoosePicture(side, facingLeft);
    std::vector<CharacterModelDraw> draws;
    if (picture.pose == NO_MODEL) return draws;
    const ModelTurn turn = TurnForPose(picture.turn, p.aimAngle, facingLeft);
    const auto part = [&](int32_t index) {
        if (index != NO_MODEL) draws.push_back({CharacterModelKind::Action, index, BLEND_ALPHA, p.x, p.y, turn});
    };
    part(picture.partBefore);
    draws.push_back({CharacterModelKind::Frame, picture.pose, BLEND_ALPHA, p.x, p.y, turn});
    part(picture.partAfter);
    return draws;
}

void DrawOza(int32_t side) { DrawCharacterModels(side, OzaModelDraws(side)); }
