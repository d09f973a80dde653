#include "game/characters/kirune_drawing.h"

#include <algorithm>
#include <cmath>

#include "game/battle/battle_state.h"
#include "game/battle/player_drawing.h"
#include "game/battle/numeric_helpers.h"
#include "game/characters/kirune.h"
#include "game/shots/object_rules.h"

namespace {

constexpr int32_t NO_MODEL = -1;
constexpr int32_t BLEND_BODY = 1;
constexpr int32_t BLEND_SWORD = 2;

struct PoseChoice {
    int32_t pose = NO_MODEL;
    int32_t action = NO_MODEL;
    bool sword = false;
};

// `before` while t is below start, then base + (t - start) / frames, at most last.
int32_t StepPose(int32_t t, int32_t start, int32_t before, int32_t base, int32_t frames, int32_t last) {
    return t < start ? before : std::min(base + (t - start) / frames, last);
}

// A four-step cycle in which the fourth step shows the second again.
int32_t BackAndForth(int32_t first, int32_t step) { return first + (step % 4 == 3 ? 1 : step % 4); }

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
    const PlayerRecord& p = players[side];
    const int32_t idle = BackAndForth(0, p.counter / 8);
    const bool anyArrow = ButtonDown(side, BUTTON_UP) || ButtonDown(side, BUTTON_DOWN) ||
                          ButtonDown(side, BUTTON_LEFT) || ButtonDown(side, BUTTON_RIGHT);
    if (battlePaused == 1 || !anyArrow) return idle;
    const bool towardOpponent = ButtonDown(side, facingLeft ? BUTTON_LEFT : BUTTON_RIGHT);
    return towardOpponent ? BackAndForth(3, p.counter / 5) : BackAndForth(6, p.counter / 5);
}

// A dash toward the opponent: forward along the aim, from the side that
// faces it.
bool DashingTowardOpponent(float aimAngle, bool facingLeft) {
    const float a = std::fabs(aimAngle);
    return facingLeft ? a >= PI_F / 2.0f : a <= PI_F / 2.0f;
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
        if (DashingTowardOpponent(p.aimAngle, facingLeft)) return {9 + (c / 2) % 8};
        return {BackAndForth(17, c / 3)};
    case PLAYER_BURST:
    case PLAYER_SHIELD: return {std::min(52 + t / 5, 56)};
    case PLAYER_BLOWN_AWAY: return {BackAndForth(17, c / 3)};
    case KIRUNE_SHOT: {
        const int32_t pose = StepPose(t, 12, 20, 20, 3, 24);
        return {pose, ShotAction(pose)};
    }
    case KIRUNE_MOVING_SHOTS: {
        const int32_t pose = StepPose(t, 16, 20, 20, 3, 24);
        return {pose, ShotAction(pose)};
    }
    case KIRUNE_CHARGED_SHOT: {
        const int32_t pose = StepPose(t, 100, 20, 20, 3, 24);
        return {pose, ShotAction(pose)};
    }
    case KIRUNE_SLASH_1: return Slash(StepPose(t, 0, 25, 25, 5, 30), 25, 0, 4);
    case KIRUNE_LONG_SLASH: return Slash(StepPose(t, 0, 25, 25, 3, 30), 25, 0, 4);
    case KIRUNE_SLASH_2: return Slash(StepPose(t, 0, 31, 31, 4, 36), 31, 4, 4);
    case KIRUNE_SLASH_3: return Slash(StepPose(t, 0, 37, 37, 4, 42), 37, 8, 5);
    case KIRUNE_SPREAD_SHOTS:
    case KIRUNE_RAPID_FIRE: return {StepPose(t, 0, 20, 20, 3, 24)};
    case KIRUNE_BEAM:
    case KIRUNE_HYPER: return {20, 13};
    case KIRUNE_RUSH: return Slash(StepPose(t, 15, 37, 38, 3, 42), 37, 8, 5);
    case KIRUNE_CHARGING_SLASH:
    case KIRUNE_CHASING_SLASH: return ChargingSlash(t);
    case KIRUNE_HEAVY_SHOT: return Slash(StepPose(t, 10, 25, 25, 3, 30), 25, 0, 4);
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
    const bool facingLeft = !(p.x < OpponentOf(side).x);
    const PoseChoice choice = ChoosePose(side, facingLeft);
    std::vector<CharacterModelDraw> draws;
    if (choice.pose == NO_MODEL) return draws;
    const ModelTurn turn = TurnFor(p, choice.pose, facingLeft);
    draws.push_back({CharacterModelKind::Frame, choice.pose, BLEND_BODY, p.x, p.y, turn});
    if (choice.action != NO_MODEL)
        draws.push_back(
            {CharacterModelKind::Action, choice.action, choice.sword ? BLEND_SWORD : BLEND_BODY, p.x, p.y, turn});
    return draws;
}

void DrawKirune(int32_t side) { DrawCharacterModels(side, KiruneModelDraws(side)); }
