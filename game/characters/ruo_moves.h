#pragma once
// The steps ruo's moves share, for its normal moves (ruo.cpp) and its high
// and hyper attacks (ruo_high_attacks.cpp). t is always stateTimer as the
// frame's step begins; the closing steps see the advanced value.
#include <array>
#include <cstdint>

#include "game/battle/player_record.h"

namespace ruo {

// The slowest glide, of the sword charges: 0.2 as a single-precision value.
constexpr double DECAY_CHARGE = 0.2f;

bool Powered(int32_t side);

// The side's position moved by (along, across) turned by angle.
std::array<float, 2> Offset(const PlayerRecord& p, float along, float across, double angle);
void EffectAt(int32_t side, int32_t type, float angle, const std::array<float, 2>& at);
void EffectHere(int32_t side, int32_t type, float angle);
int32_t AreaAt(int32_t side, int32_t type, float angle, const std::array<float, 2>& at);
int32_t AreaHere(int32_t side, int32_t type, float angle);

// Aims at the opponent and closes in along the aim at the distance times k,
// at most cap.
void GallopAim(int32_t side, double k, double cap);

// The big cut that ends the sword chain and the clone ring: AttackArea 503
// along the aim and three slash Effects fanned in front. Returns the area.
int32_t FinalCut(int32_t side);

// stateTimer += 1 and, past closeAfter, the side is free; otherwise V just
// pressed starts DashRuo once the advanced stateTimer is past dashAfter.
void CloseOrDash(int32_t side, float facingAngle, int32_t closeAfter, int32_t dashAfter);
// stateTimer += 1; the side is free when it then equals one of the ends.
void CloseAt(PlayerRecord& p, int32_t end, int32_t otherEnd = -1);

// The high and hyper attacks (67, 69 to 72, 75); false for other states.
bool RunHighAttack(int32_t side, float facingAngle);

}  // namespace ruo
