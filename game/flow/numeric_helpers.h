#pragma once
// Small numeric helpers shared by the battle and the replay and transition
// code: angle wrapping and turning, decimal digits and segment crossing.
// Angles are radians.
#include <cstdint>

// The single-precision pi and 2pi that every angle rule of the battle uses.
constexpr float PI_F = 3.1415927f;
constexpr float TWO_PI_F = 6.2831855f;
// The same values widened, for the moves' expressions that mix pi with their
// other constants: those are taken in double and rounded once where the
// result is stored (an angle or a position of a spawned object).
constexpr double PI_WIDE = PI_F;
constexpr double TWO_PI_WIDE = TWO_PI_F;

// One wrap step toward [-pi, pi]: subtracts or adds 2pi at most once.
void WrapAngle(float* a);
// The same on a double, with the float constants widened (not the double pi).
void WrapAngleDouble(double* a);
// Turns *angle toward target by at most maxStep the shorter way round; snaps
// to target when closer than maxStep. The result is not wrapped again.
void TurnAngleToward(float* angle, float target, float maxStep);
float Negate(float x);
// Number of decimal digits; 1 for any value below 10, negatives included.
int32_t CountDigits(int32_t value);
// Decimal digit k (1 = units) with truncating signed division and remainder.
int32_t GetDigit(int32_t value, int32_t k);
// True when the segments cross strictly: touching, an end point on the other
// segment's line and collinear segments give false.
bool IntersectSegments(const float a0[2], const float a1[2], const float b0[2], const float b1[2]);
