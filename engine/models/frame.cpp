#include "engine/models/frame.h"

#include "engine/models/animation_track.h"

#include <cstring>

Frame::Frame() {
    std::memset(name, 0, sizeof name);
    local.SetIdentity();
    combined.SetIdentity();
    animated.SetIdentity();
}

void Frame::SetName(const char* text) {
    std::memset(name, 0, sizeof name);
    if (text) std::strncpy(name, text, sizeof name - 1);
}

int32_t Frame::HasName(const char* text) const { return text && std::strcmp(name, text) == 0 ? 1 : 0; }

Matrix ComputeAnimatedMatrix(const Frame& frame, float time) {
    const AnimationTrack* track = frame.track;
    if (!track) return frame.local;
    if (track->GetMatrixKeyCount() > 0) return track->GetMatrixAt(time);

    Matrix animated;
    animated.SetIdentity();
    if (track->GetScaleKeyCount() > 0) animated.Multiply(track->GetScaleAt(time));
    if (track->GetRotationKeyCount() > 0) animated.Multiply(track->GetRotationAt(time));
    if (track->GetPositionKeyCount() > 0) {
        animated.Multiply(track->GetTranslationAt(time));
    } else {
        for (int col = 1; col <= 3; ++col) animated.Set(4, col, animated.Get(4, col) + frame.local.Get(4, col));
    }
    return animated;
}

void AnimateFrames(const ResourceList& frames, float time) {
    for (ResourceObject* node = frames.GetHead(); node; node = node->next) {
        Frame* frame = static_cast<Frame*>(node);
        frame->animated = ComputeAnimatedMatrix(*frame, time);
    }
    for (ResourceObject* node = frames.GetHead(); node; node = node->next) {
        Frame* frame = static_cast<Frame*>(node);
        frame->combined = frame->animated;
        for (const Frame* up = frame->parent; up; up = up->parent) frame->combined.Multiply(up->animated);
    }
}
