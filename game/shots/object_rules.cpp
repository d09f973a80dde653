#include "game/shots/object_rules.h"

#include <cmath>

#include "game/flow/numeric_helpers.h"

void RotateVector2(float v[2], double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double x = v[0];
    const double y = v[1];
    v[0] = static_cast<float>(x * c - y * s);
    v[1] = static_cast<float>(x * s + y * c);
}

void MoveAlong(float position[2], float heading, double speed) {
    position[0] = static_cast<float>(position[0] + std::cos(static_cast<double>(heading)) * speed);
    position[1] = static_cast<float>(position[1] + std::sin(static_cast<double>(heading)) * speed);
}

void PlaceAround(float position[2], const PlayerRecord& centre, double heading, double distance) {
    position[0] = static_cast<float>(centre.x + std::cos(heading) * distance);
    position[1] = static_cast<float>(centre.y + std::sin(heading) * distance);
}

float DirectionTo(const float position[2], const PlayerRecord& target) {
    return static_cast<float>(std::atan2(static_cast<double>(target.y) - position[1],
                                         static_cast<double>(target.x) - position[0]));
}

void HomeOn(float* heading, const float position[2], const PlayerRecord& target, float maxTurn) {
    TurnAngleToward(heading, DirectionTo(position, target), maxTurn);
}

void WrapAbove(float* angle) {
    if (*angle > PI_F) *angle -= TWO_PI_F;
}

void WrapBelow(float* angle) {
    if (*angle < -PI_F) *angle += TWO_PI_F;
}

void WrapTurn(float* angle, float step) {
    if (step >= 0.0f) WrapAbove(angle);
    else WrapBelow(angle);
}

bool OutsideWall(const float position[2]) {
    const double x = position[0];
    const double y = position[1];
    return x * x + y * y > 140625.0;
}

bool OutsideBox(const float position[2]) {
    return position[0] > 750.0f || position[0] < -750.0f || position[1] > 750.0f || position[1] < -750.0f;
}

int32_t ColourNumber(int32_t owner, int which) {
    const PlayerRecord& p = PlayerOf(owner);
    if (p.characterId < 1 || p.characterId > 8) return 0;
    return characterParams[p.characterId].particleColours[p.colour == 1 ? 1 : 0][which];
}

PlayerRecord& PlayerOf(int32_t side) { return players[side == 0 ? 0 : 1]; }

PlayerRecord& OpponentOf(int32_t side) { return players[side == 0 ? 1 : 0]; }
