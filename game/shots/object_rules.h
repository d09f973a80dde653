#pragma once
// Small movement and lookup rules that the Shot and HeavyShot updates share.
// Positions are world units, angles radians; trigonometry is done in double
// and rounded once into the float fields.
#include <cstddef>
#include <cstdint>

#include "game/arena/player_record.h"

// Turns v in place by angle; both outputs come from the old x and y.
void RotateVector2(float v[2], double angle);

// position += (cos heading, sin heading) * speed, in double, rounded once.
void MoveAlong(float position[2], float heading, double speed);
// centre + (cos heading, sin heading) * distance: orbits and sweeps. Taken
// in double (a heading or distance worked out in double keeps its precision)
// and rounded once into the position.
void PlaceAround(float position[2], const PlayerRecord& centre, double heading, double distance);
// atan2 from a position toward a fighter.
float DirectionTo(const float position[2], const PlayerRecord& target);
// Turns heading toward the fighter by at most maxTurn (not copied to angle).
void HomeOn(float* heading, const float position[2], const PlayerRecord& target, float maxTurn);

// field += amount: the sum of a float field and a constant (or an expression
// of constants) is taken in double and rounded once into the field.
inline void AddInDouble(float* field, double amount) { *field = static_cast<float>(*field + amount); }

// One-sided wraps, chosen by the direction an angle turns: WrapAbove takes
// 2pi off an angle above pi, WrapBelow adds 2pi to one below -pi.
void WrapAbove(float* angle);
void WrapBelow(float* angle);
// The wrap for an angle that just turned by step.
void WrapTurn(float* angle, float step);

// x*x + y*y beyond the arena's radius 375, taken in double.
bool OutsideWall(const float position[2]);
// Beyond the 750 box in x or y: the object is far off the field.
bool OutsideBox(const float position[2]);

// The first (which 0) or second (which 1) particle colour number of the
// owner's character in the owner's colour; 0 for ids outside the table.
int32_t ColourNumber(int32_t owner, int which);

// The row of a per-code table (rows with a `type` field), or null.
template <class Row, std::size_t N>
const Row* FindRow(const Row (&table)[N], int32_t type) {
    for (const Row& row : table)
        if (row.type == type) return &row;
    return nullptr;
}

// The values every Shot and HeavyShot starts with: its code and owner, the
// side it can hurt, no graze yet, heading along the given angle, and the
// spawn point as its position and both ends of its last move.
template <class Record>
void StartProjectile(Record& r, int32_t type, float angle, const float position[2], int32_t owner) {
    r.type = type;
    r.owner = owner;
    r.targetSide = owner == 0 ? 1 : 0;
    r.grazed = 0;
    r.heading = angle;
    for (int k = 0; k < 2; ++k) r.position[k] = r.previousPosition[k] = r.trailPosition[k] = position[k];
}

// The record of the opponent of a side (side 0 for any side but 0's).
PlayerRecord& OpponentOf(int32_t side);
PlayerRecord& PlayerOf(int32_t side);
