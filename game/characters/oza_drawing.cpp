#include "game/characters/oza_drawing.h"

#include <algorithm>
#include <cmath>

#include "game/battle/battle_state.h"
#include "game/battle/numeric_helpers.h"
#include "game/battle/player_drawing.h"
#include "game/characters/oza.h"
#include "game/shots/object_rules.h"

namespace {

constexpr int32_t NO_MODEL = -1;
constexpr int32_t BLEND_ALPHA = 1;

// How the state's Models are turned: along the aim (mirrored when it points
// into the left half), toward the opponent only, or only mirrored by the aim.
enum class Orientation { Aimed, Facing, Mirrored };

struct Picture {
    int32_t pose = NO_MODEL;
    int32_t partBefore = NO_MODEL;  // drawn under the body
    int32_t partAfter = NO_MODEL;   // drawn over the body
    Orientation orientation = Orientation::Aimed;
};

// A four-step cycle in which the fourth step shows the second again.
int32_t BackAndForth(int32_t first, int32_t step) { return first + (step % 4 == 3 ? 1 : step % 4); }

// A pose count n that runs past last starts over in the loop first..last.
int32_t LoopPast(int32_t n, int32_t first, int32_t last) {
    return n > last ? first + (n - last) % (last - first + 1) : n;
}

int32_t MovementPose(int32_t side, bool facingLeft) {
    const int32_t step = players[side].counter / 5;
    const bool anyArrow = ButtonDown(side, BUTTON_UP) || ButtonDown(side, BUTTON_DOWN) ||
                          ButtonDown(side, BUTTON_LEFT) || ButtonDown(side, BUTTON_RIGHT);
    if (battlePaused == 1 || !anyArrow) return BackAndForth(0, step);
    const bool towardOpponent = ButtonDown(side, facingLeft ? BUTTON_LEFT : BUTTON_RIGHT);
    return BackAndForth(towardOpponent ? 3 : 6, step);
}

// Dashing along the side that faces the opponent, or away from it.
bool AimsTowardFacing(float aimAngle, bool facingLeft) {
    const float a = std::fabs(aimAngle);
    return facingLeft ? a >= PI_F / 2.0f : a <= PI_F / 2.0f;
}

// The volleys: the gun raised (part 0, then 1 behind the body), then the
// firing poses looping over 18..20.
Picture Volley(int32_t t) {
    const int32_t pose = t < 8 ? std::min(15 + t / 4, 16) : LoopPast(16 + (t - 8) / 3, 18, 20);
    return {pose, t < 4 ? 0 : 1, NO_MODEL};
}

// The fans and the large shot: the gun's two halves about the body (parts 2
// and 3, then 4 and 5), the firing poses looping over 23..26.
Picture Fan(int32_t t) {
    const int32_t pose = t < 10 ? std::min(21 + t / 4, 23) : LoopPast(23 + (t - 10) / 3, 23, 26);
    return {pose, t < 4 ? 2 : 4, t < 4 ? 3 : 5};
}

// The beams: the cannon (part 6, then 7) over the body once it is raised.
Picture BeamPicture(int32_t t) {
    const int32_t pose = t < 20 ? std::min(30 + t / 5, 31) : LoopPast(32 + (t - 8) / 3, 34, 37);
    return {pose, NO_MODEL, pose == 30 ? NO_MODEL : pose == 31 ? 6 : 7};
}

Picture ChoosePicture(int32_t side, bool facingLeft) {
    const PlayerRecord& p = players[side];
    const int32_t t = p.stateTimer;
    switch (p.state) {
    case PLAYER_KNOCKED_BACK:
    case PLAYER_BLOWN_AWAY: return {38};
    case PLAYER_KNOCKED_OUT: return {t < 180 ? 38 + (t / 2) % 2 : NO_MODEL};
    case PLAYER_DASH: return {BackAndForth(AimsTowardFacing(p.aimAngle, facingLeft) ? 9 : 12, p.counter / 2)};
    case PLAYER_BURST:
    case PLAYER_SHIELD: return {std::min(15 + t / 5, 20)};
    case OZA_VOLLEY:
    case OZA_SHOT:
    case OZA_MOVING_VOLLEY: return Volley(t);
    case OZA_MINE:
    case OZA_MINE_CROSS: return {std::min(27 + t / 4, 30), NO_MODEL, NO_MODEL, Orientation::Mirrored};
    case OZA_FAN:
    case OZA_WIDE_FAN:
    case OZA_SPRAY:
    case OZA_LARGE_SHOT: return Fan(t);
    case OZA_BEAM:
    case OZA_HYPER: return BeamPicture(t);
    default: return {MovementPose(side, facingLeft), NO_MODEL, NO_MODEL, Orientation::Facing};
    }
}

ModelTurn TurnFor(Orientation orientation, float aimAngle, bool facingLeft) {
    switch (orientation) {
    case Orientation::Aimed: return TurnTowardAim(aimAngle);
    case Orientation::Facing: return {false, 0, facingLeft};
    case Orientation::Mirrored: return {false, 0, std::fabs(aimAngle) > PI_F / 2.0f};
    }
    return TurnTowardAim(aimAngle);
}

}  // namespace

std::vector<CharacterModelDraw> OzaModelDraws(int32_t side) {
    const PlayerRecord& p = players[side];
    const bool facingLeft = !(p.x < OpponentOf(side).x);
    const Picture picture = ChoosePicture(side, facingLeft);
    std::vector<CharacterModelDraw> draws;
    if (picture.pose == NO_MODEL) return draws;
    const ModelTurn turn = TurnFor(picture.orientation, p.aimAngle, facingLeft);
    const auto part = [&](int32_t index) {
        if (index != NO_MODEL) draws.push_back({CharacterModelKind::Action, index, BLEND_ALPHA, p.x, p.y, turn});
    };
    part(picture.partBefore);
    draws.push_back({CharacterModelKind::Frame, picture.pose, BLEND_ALPHA, p.x, p.y, turn});
    part(picture.partAfter);
    return draws;
}

void DrawOza(int32_t side) { DrawCharacterModels(side, OzaModelDraws(side)); }
