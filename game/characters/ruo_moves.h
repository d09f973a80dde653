#pragma once
// The steps ruo's moves share, for its normal moves (ruo.cpp) and its high
// and hyper attacks (ruo_high_attacks.cpp). t is always stateTimer as the
// frame's step begins; the closing steps see the advanced value.
#include <cstdint>

#include "game/arena/player_record.h"

namespace ruo {

bool Powered(int32_t side);

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
