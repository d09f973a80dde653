#pragma once
// Contacts between the fighters and the battle objects, settled once per
// battle frame after everything has moved.
//
// A hit shape is {along, across, radius} with a position and an angle: a
// radius above 0 is a disc (two discs meet by an axis-aligned square test), an
// along extent above 0 a rectangle reaching along and across to each side of
// the angle; {0, 0, 0} touches nothing.
#include <cstdint>

bool CheckHitShapes(const float positionA[2], const float positionB[2], const float shapeA[3],
                    const float shapeB[3], float angleA, float angleB);

// The whole resolution in its order: Shots against areas, Shots and
// HeavyShots; then, unless a side is knocked out or the timer is out, the
// fighters against HeavyShots, Shots and areas, grazing and the knock-out.
void ResolveHits();

void HitShotsWithAttackAreas();
void HitShotsWithShots();
void HitHeavyShotsWithShots();
// One fighter (the victim) against the opponent's objects.
void HitPlayersWithHeavyShots(int32_t side);
void HitPlayersWithShots(int32_t side);
void HitPlayersWithAttackAreas(int32_t side);
// Objects whose last move crosses a graze line of the other side.
void GrazeShots();
