#include "game/characters/move_helpers.h"

#include <algorithm>
#include <cmath>

#include "engine/core/math.h"
#include "game/battle/numeric_helpers.h"
#include "game/characters/character_actions.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_lists.h"
#include "game/shots/object_rules.h"

namespace moves {

bool Every(int32_t t, int32_t from, int32_t to, int32_t n) { return t >= from && t <= to && t % n == 0; }

double DistanceToOpponent(int32_t side) { return std::sqrt(SquaredDistance(players[side], OpponentOf(side))); }

bool OpponentKnockedBack(int32_t side) { return OpponentOf(side).state == PLAYER_KNOCKED_BACK; }

void EffectHere(int32_t side, int32_t type, float angle) {
    SpawnEffect(type, angle, PositionOf(players[side]).data(), side);
}

void FireHeavyShot(int32_t side, int32_t type) {
    SpawnHeavyShot(type, players[side].aimAngle, PositionOf(players[side]).data(), side);
    PlaySe(SE_SHOOT00);
}

void LungeAtOpponent(int32_t side, double speed) {
    PlayerRecord& p = players[side];
    AimAtOpponent(side);
    p.speed = speed;
    p.moveAngle = p.aimAngle;
}

void Sparks(int32_t side, int32_t count, double step) {
    for (int32_t i = 0; i < count; ++i) {
        const int32_t k = RandomInt(0, 100);
        const float a = static_cast<float>(RandomFloat(0.0f, PI_F / 2.0f) + i * step);
        EffectHere(side, k < 50 ? 1100 : 1101, a);
    }
}

void StartBurst(int32_t side) { Sparks(side, 4, PI_WIDE / 2.0); }

int32_t StepPose(int32_t t, int32_t start, int32_t before, int32_t base, int32_t frames, int32_t last) {
    return t < start ? before : std::min(base + (t - start) / frames, last);
}

int32_t BackAndForth(int32_t first, int32_t step) { return first + (step % 4 == 3 ? 1 : step % 4); }

bool DashingTowardOpponent(float aimAngle, bool facingLeft) {
    const float a = std::fabs(aimAngle);
    return facingLeft ? a >= PI_F / 2.0f : a <= PI_F / 2.0f;
}

std::vector<CharacterModelDraw> PoseDraws(const PlayerRecord& p, const PoseChoice& choice, ModelTurn turn) {
    std::vector<CharacterModelDraw> draws;
    if (choice.pose == NO_MODEL) return draws;
    draws.push_back({CharacterModelKind::Frame, choice.pose, 1, p.x, p.y, turn});
    if (choice.action != NO_MODEL)
        draws.push_back({CharacterModelKind::Action, choice.action, choice.additive ? 2 : 1, p.x, p.y, turn});
    return draws;
}

}  // namespace moves
