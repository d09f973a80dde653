#pragma once
// Shots: the battle's bullets with hit points, all of both sides in one list
// (shotList, in spawn order). SpawnShot (declared with the other spawners)
// gives each code its starting values; UpdateShots moves them and runs each
// code's rule once per battle frame; EndShot (declared with the other hit
// responses) leaves the effects of a Shot that ended on a hit or at the wall.
#include <cstdint>

// The codes that lay a chain behind them, and the age each link starts at.
int32_t ChainLinkAge(int32_t headType);

// Once per battle frame: every Shot in list order, Shots appended during the
// pass included. A Shot's age grows at the end of its update, so its rule sees
// the age before the increment.
void UpdateShots();
