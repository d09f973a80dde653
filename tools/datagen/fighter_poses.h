#pragma once
// What each numbered picture of a fighter shows. The battle picks a fighter's
// body pose ("mdlNN") and its action part (a weapon or a move's shape, e.g.
// "act_swNN") by state and time; these tables give, for every number the
// drawing code can pick, the kind of pose or part it stands for, so that the
// generated picture shows that pose.
#include <cstdint>

namespace datagen {

enum class PoseKind {
    Idle,
    MoveForward,   // flying toward the opponent
    MoveBackward,  // flying away from it
    DashForward,
    DashBackward,
    Shoot,   // a gun or hand held out, firing
    Slash,   // a blade swung through the run's poses
    Cast,    // a special move: arms raised, power gathering
    Shield,
    KnockedBack,
    KnockedOut,  // the second picture of the knock-out, shown in turn with the knock-back
};

// A pose and where it stands within its run of pictures: 0 for the first,
// 1 for the last.
struct PoseStep {
    PoseKind kind;
    float phase;
};

// The pose of picture `pose` of character 1 to 8 (Idle for numbers no state draws).
PoseStep FighterPose(int32_t characterId, int32_t pose);

enum class PartKind {
    None,
    Blade,        // a sword swung: the run's phase sweeps it from high to low
    BladeThrust,  // a blade held level and driven forward
    BigBlade,     // a charged blade, raised and glowing
    GunDrawn,     // a gun held low, being drawn
    GunRaised,
    GunFiring,
    PodLower,     // the lower half of a launcher about the body
    PodUpper,     // its upper half
    Cannon,
    CannonFiring,
    ArmBack,      // a fist drawn back
    ArmStrike,    // a fist driven forward
    StrikeGlow,   // the flash of a blow, in front of the fist
};

struct PartStep {
    PartKind kind;
    float phase;
};

// The action part `part` of character 1 to 8; None for characters without
// parts and numbers out of range.
PartStep FighterPart(int32_t characterId, int32_t part);

}  // namespace datagen
