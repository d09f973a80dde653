#pragma once
// Small steps and pose rules that several characters' moves and pictures are
// made of. They live in their own namespace so that a character file may
// still keep a private helper of the same name.
#include <cstdint>
#include <vector>

#include "game/battle/player_record.h"
#include "game/characters/character_actions.h"

namespace moves {

// From `from` to `to`, every n-th frame.
bool Every(int32_t t, int32_t from, int32_t to, int32_t n);

double DistanceToOpponent(int32_t side);
bool OpponentKnockedBack(int32_t side);

void EffectHere(int32_t side, int32_t type, float angle);
// A HeavyShot along the aim from the side, with its sound.
void FireHeavyShot(int32_t side, int32_t type);
// Aim at the opponent and set off along the aim at speed.
void LungeAtOpponent(int32_t side, double speed);

// Sparks 1100 or 1101 at the side: the i-th turned by i steps plus a random
// angle of up to a quarter turn (the sum taken in double). Per spark the type
// is drawn first.
void Sparks(int32_t side, int32_t count, double step);
// The sparks of a high attack's opening: one in each quarter turn.
void StartBurst(int32_t side);

// Poses: `before` while t is below start, then base + (t - start) / frames,
// at most last.
int32_t StepPose(int32_t t, int32_t start, int32_t before, int32_t base, int32_t frames, int32_t last);
// A four-step cycle in which the fourth step shows the second again.
int32_t BackAndForth(int32_t first, int32_t step);
// A dash toward the opponent: forward along the aim, from the side that
// faces it.
bool DashingTowardOpponent(float aimAngle, bool facingLeft);

constexpr int32_t NO_MODEL = -1;

// The picture of a frame: a body pose (NO_MODEL: nothing) and, when it has
// one, an action Model over it, drawn additively for a blade.
struct PoseChoice {
    int32_t pose = NO_MODEL;
    int32_t action = NO_MODEL;
    bool additive = false;
};

// The Models of a choice at the side's position, both turned alike: the body
// in blend mode 1, the action in mode 1 or, additive, 2.
std::vector<CharacterModelDraw> PoseDraws(const PlayerRecord& p, const PoseChoice& choice, ModelTurn turn);

}  // namespace moves
