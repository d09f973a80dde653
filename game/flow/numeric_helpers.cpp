#include "game/flow/numeric_helpers.h"

#include <cmath>

void WrapAngle(float* a) {
    if (*a > PI_F) *a -= TWO_PI_F;
    else if (*a < -PI_F) *a += TWO_PI_F;
}

void WrapAngleDouble(double* a) {
    constexpr double pi = PI_F;
    constexpr double twoPi = TWO_PI_F;
    if (*a > pi) *a -= twoPi;
    else if (*a < -pi) *a += twoPi;
}

void TurnAngleToward(float* angle, float target, float maxStep) {
    WrapAngle(angle);
    WrapAngle(&target);
    float d = target - *angle;
    if (d > PI_F) d -= TWO_PI_F;
    else if (d < -PI_F) d += TWO_PI_F;
    if (std::fabs(d) < maxStep) *angle = target;
    else if (d > 0.0f) *angle += maxStep;
    else if (d < 0.0f) *angle -= maxStep;
}

float Negate(float x) { return x * -1.0f; }

int32_t CountDigits(int32_t value) {
    int32_t digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

int32_t GetDigit(int32_t value, int32_t k) {
    // The divisor is built in 64 bits: digits past the tenth are 0 instead of
    // an overflowed power of ten.
    int64_t divisor = 1;
    for (int32_t i = 1; i < k && divisor <= INT32_MAX; ++i) divisor *= 10;
    return static_cast<int32_t>(value / divisor % 10);
}

namespace {

// Cross product of (b - a) and (p - a), taken in double so that products of
// two of them keep their sign for the small values of nearly touching lines.
double Side(const float a[2], const float b[2], const float p[2]) {
    return (static_cast<double>(b[0]) - a[0]) * (static_cast<double>(p[1]) - a[1]) -
           (static_cast<double>(b[1]) - a[1]) * (static_cast<double>(p[0]) - a[0]);
}

}  // namespace

bool IntersectSegments(const float a0[2], const float a1[2], const float b0[2], const float b1[2]) {
    return Side(a0, a1, b0) * Side(a0, a1, b1) < 0.0 && Side(b0, b1, a0) * Side(b0, b1, a1) < 0.0;
}
