#pragma once
#include "engine/core/math.h"
#include "engine/core/resource.h"

#include <cstdint>

class AnimationTrack;

// A node of a model's frame hierarchy. `local` is the transform read from the
// model file; `animated` is the local transform at the current time and
// `combined` the product up to the root: animated(self) x animated(parent) x ...
class Frame : public ResourceObject {
public:
    Frame();

    const char* GetName() const { return name; }
    Matrix* GetCombinedMatrix() { return &combined; }
    // Zero-fills the name and copies at most 255 characters (null: empty).
    void SetName(const char* text);
    // 1 when the name equals the text byte for byte, else 0.
    int32_t HasName(const char* text) const;
    // The track belongs to the model's track list; the frame keeps no reference.
    void SetAnimationTrack(AnimationTrack* t) { track = t; }

    Frame* parent = nullptr;
    char name[256];
    Matrix local;
    Matrix combined;
    Matrix animated;
    AnimationTrack* track = nullptr;
};

// The frame's local transform at `time`: the local matrix without a track; the
// nearer matrix key when the track has matrix keys; otherwise scale x rotation
// x translation of the keys it has, where a track without position keys keeps
// the local matrix's translation.
Matrix ComputeAnimatedMatrix(const Frame& frame, float time);

// Sets every frame's animated matrix at `time`, then every frame's combined
// matrix. `frames` holds Frames only (a model's frame list).
void AnimateFrames(const ResourceList& frames, float time);
