#include "tools/datagen/fighter_poses.h"

#include <span>

#include "game/arena/roster.h"

namespace datagen {
namespace {

// A run of pictures first..last that one kind of pose or part steps through.
template <typename Kind>
struct Run {
    int32_t first, last;
    Kind kind;
};

using P = PoseKind;

// The runs as the characters' drawing code steps through them. Where two
// states share pictures, the earlier run here wins; the shield shares its
// pictures with an attack in every character but kirune, and those show the
// guard.
constexpr Run<PoseKind> KIRUNE_POSES[] = {
    {0, 2, P::Idle},       {3, 5, P::MoveForward},  {6, 8, P::MoveBackward}, {9, 16, P::DashForward},
    {17, 19, P::DashBackward}, {20, 24, P::Shoot},  {25, 30, P::Slash},      {31, 36, P::Slash},
    {37, 42, P::Slash},    {43, 51, P::Cast},       {52, 56, P::Shield},     {57, 57, P::KnockedBack},
    {58, 58, P::KnockedOut},
};
constexpr Run<PoseKind> BEMO_POSES[] = {
    {0, 7, P::Idle},      {8, 10, P::MoveBackward}, {11, 13, P::MoveForward}, {15, 17, P::DashForward},
    {18, 20, P::DashBackward}, {21, 24, P::Shoot},  {25, 30, P::Shield},      {31, 39, P::Slash},
    {40, 46, P::Cast},    {47, 51, P::Shoot},       {52, 56, P::Slash},       {57, 57, P::KnockedBack},
    {58, 58, P::KnockedOut},
};
constexpr Run<PoseKind> OZA_POSES[] = {
    {0, 2, P::Idle},      {3, 5, P::MoveForward}, {6, 8, P::MoveBackward}, {9, 11, P::DashForward},
    {12, 14, P::DashBackward}, {15, 20, P::Shield}, {21, 26, P::Shoot},    {27, 29, P::Cast},
    {30, 37, P::Shoot},   {38, 38, P::KnockedBack}, {39, 39, P::KnockedOut},
};
constexpr Run<PoseKind> PERILA_POSES[] = {
    {0, 2, P::Idle},      {3, 5, P::MoveForward}, {6, 8, P::MoveBackward}, {9, 16, P::DashForward},
    {17, 19, P::DashBackward}, {20, 30, P::Shield}, {31, 35, P::Cast},     {36, 44, P::Slash},
    {45, 50, P::Shoot},   {51, 51, P::KnockedBack}, {52, 52, P::KnockedOut},
};
constexpr Run<PoseKind> RUO_POSES[] = {
    {0, 7, P::Idle},      {8, 10, P::MoveForward}, {11, 13, P::MoveBackward}, {14, 16, P::DashForward},
    {17, 19, P::DashBackward}, {20, 23, P::Shoot}, {24, 28, P::Shoot},       {29, 32, P::Shield},
    {33, 35, P::Slash},   {36, 37, P::Cast},       {38, 41, P::Slash},       {42, 46, P::Slash},
    {47, 47, P::KnockedBack}, {48, 48, P::KnockedOut},
};
constexpr Run<PoseKind> TORVI_POSES[] = {
    {0, 2, P::Idle},      {3, 5, P::MoveForward}, {6, 8, P::MoveBackward}, {9, 11, P::DashForward},
    {12, 14, P::DashBackward}, {15, 18, P::Shield}, {19, 24, P::Cast},     {25, 36, P::Slash},
    {37, 42, P::Shoot},   {43, 43, P::KnockedBack}, {44, 44, P::KnockedOut},
};
constexpr Run<PoseKind> NEBU_POSES[] = {
    {0, 3, P::Idle},      {4, 7, P::MoveForward}, {8, 11, P::MoveBackward}, {12, 19, P::DashForward},
    {20, 23, P::DashBackward}, {24, 28, P::Shoot}, {29, 40, P::Cast},       {41, 46, P::Shield},
    {47, 58, P::Shoot},   {59, 65, P::Slash},     {66, 71, P::Slash},       {72, 72, P::KnockedBack},
    {73, 73, P::KnockedOut},
};
constexpr Run<PoseKind> WELO_POSES[] = {
    {0, 2, P::Idle},      {3, 5, P::MoveForward}, {6, 8, P::MoveBackward}, {9, 15, P::DashForward},
    {16, 19, P::DashBackward}, {20, 24, P::Shoot}, {25, 29, P::Slash},     {30, 34, P::Slash},
    {35, 39, P::Slash},   {40, 50, P::Shield},    {51, 51, P::Cast},        {52, 54, P::Slash},
    {55, 55, P::KnockedBack}, {56, 56, P::KnockedOut},
};

// In roster order.
constexpr std::span<const Run<PoseKind>> POSES[CHARACTER_COUNT] = {KIRUNE_POSES, BEMO_POSES, OZA_POSES,  PERILA_POSES,
                                                     RUO_POSES,    TORVI_POSES, NEBU_POSES, WELO_POSES};

using A = PartKind;

constexpr Run<PartKind> KIRUNE_PARTS[] = {
    {0, 3, A::Blade},     {4, 7, A::Blade},        {8, 12, A::Blade},       {13, 13, A::GunDrawn},
    {14, 14, A::GunRaised}, {15, 15, A::GunFiring}, {16, 20, A::BigBlade},
};
constexpr Run<PartKind> BEMO_PARTS[] = {{0, 0, A::ArmBack}, {1, 1, A::ArmStrike}, {2, 3, A::StrikeGlow}};
// Parts 2 and 4 are drawn under the body, 3 and 5 over it.
constexpr Run<PartKind> OZA_PARTS[] = {
    {0, 0, A::GunRaised}, {1, 1, A::GunFiring}, {2, 2, A::PodLower},  {3, 3, A::PodUpper},
    {4, 4, A::PodLower},  {5, 5, A::PodUpper},  {6, 6, A::Cannon},    {7, 7, A::CannonFiring},
};
constexpr Run<PartKind> WELO_PARTS[] = {
    {0, 0, A::GunDrawn}, {1, 1, A::GunRaised}, {2, 2, A::GunFiring},        {3, 6, A::Blade},
    {7, 10, A::Blade},   {11, 14, A::BladeThrust}, {15, 19, A::BladeThrust},
};

constexpr std::span<const Run<PartKind>> PARTS[CHARACTER_COUNT] = {KIRUNE_PARTS, BEMO_PARTS, OZA_PARTS, {}, {}, {}, {}, WELO_PARTS};

template <typename Kind>
bool Find(std::span<const Run<Kind>> runs, int32_t n, Kind* kind, float* phase) {
    for (const Run<Kind>& run : runs) {
        if (n < run.first || n > run.last) continue;
        *kind = run.kind;
        *phase = run.last > run.first ? static_cast<float>(n - run.first) / static_cast<float>(run.last - run.first) : 0.0f;
        return true;
    }
    return false;
}

}  // namespace

PoseStep FighterPose(int32_t characterId, int32_t pose) {
    PoseStep step{PoseKind::Idle, 0.0f};
    if (FindRosterEntry(characterId)) Find(POSES[characterId - 1], pose, &step.kind, &step.phase);
    return step;
}

PartStep FighterPart(int32_t characterId, int32_t part) {
    PartStep step{PartKind::None, 0.0f};
    if (FindRosterEntry(characterId)) Find(PARTS[characterId - 1], part, &step.kind, &step.phase);
    return step;
}

}  // namespace datagen
