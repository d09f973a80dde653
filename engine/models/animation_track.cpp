#include "engine/models/animation_track.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace {

template <typename Key>
bool Ascending(const std::vector<Key>& keys) {
    for (size_t i = 1; i < keys.size(); ++i) {
        if (keys[i].time < keys[i - 1].time) return false;
    }
    return true;
}

template <typename Key>
bool Store(std::vector<Key>& target, std::vector<Key>&& keys) {
    if (!Ascending(keys)) return false;
    target = std::move(keys);
    return true;
}

// The time truncated to whole ticks; NaN counts as before every key.
int32_t TickOf(float time) {
    if (!(time > static_cast<float>(INT32_MIN))) return INT32_MIN;
    if (!(time < static_cast<float>(INT32_MAX))) return INT32_MAX;
    return static_cast<int32_t>(time);
}

// Where `time` falls among the keys: the pair (index, index + 1) and the
// blend factor between them. A time outside the keys gives the first or last
// key with factor 0; keys of equal time give factor 0.
struct KeySpan {
    int32_t index;
    float factor;
};

template <typename Key>
KeySpan Locate(const std::vector<Key>& keys, float time) {
    const int32_t count = static_cast<int32_t>(keys.size());
    const int32_t tick = TickOf(time);
    if (tick <= keys.front().time) return {0, 0.0f};
    if (tick >= keys.back().time) return {count - 1, 0.0f};
    const int32_t k = FindKey(keys.data(), count, tick);
    const float start = static_cast<float>(keys[k].time);
    const float length = static_cast<float>(keys[k + 1].time) - start;
    return {k, length > 0.0f ? (time - start) / length : 0.0f};
}

VectorKey Interpolate(const std::vector<VectorKey>& keys, float time) {
    const KeySpan span = Locate(keys, time);
    VectorKey v = keys[span.index];
    if (span.factor != 0.0f) {
        const VectorKey& next = keys[span.index + 1];
        v.x += (next.x - v.x) * span.factor;
        v.y += (next.y - v.y) * span.factor;
        v.z += (next.z - v.z) * span.factor;
    }
    return v;
}

// Identity without keys, else the matrix `build` makes of the interpolated value.
Matrix FromVectorKeys(const std::vector<VectorKey>& keys, float time, void (Matrix::*build)(float, float, float)) {
    Matrix m;
    m.SetIdentity();
    if (keys.empty()) return m;
    const VectorKey v = Interpolate(keys, time);
    (m.*build)(v.x, v.y, v.z);
    return m;
}

}  // namespace

void QuaternionSlerp(const float a[4], const float b[4], float f, float out[4]) {
    float dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
    float sign = 1.0f;
    if (dot < 0.0f) {
        sign = -1.0f;
        dot = -dot;
    }
    float wa = 1.0f - f, wb = f;
    if (1.0f - dot > 0.001f) {
        const float theta = std::acos(dot);
        const float s = std::sin(theta);
        wa = std::sin(theta * (1.0f - f)) / s;
        wb = std::sin(theta * f) / s;
    }
    for (int i = 0; i < 4; ++i) out[i] = wa * a[i] + sign * wb * b[i];
}

AnimationTrack::AnimationTrack() { std::memset(frameName, 0, sizeof frameName); }

void AnimationTrack::SetFrameName(const char* name) {
    std::memset(frameName, 0, sizeof frameName);
    if (name) std::strncpy(frameName, name, sizeof frameName - 1);
}

bool AnimationTrack::SetRotationKeys(std::vector<RotationKey> keys) { return Store(rotationKeys, std::move(keys)); }
bool AnimationTrack::SetScaleKeys(std::vector<VectorKey> keys) { return Store(scaleKeys, std::move(keys)); }
bool AnimationTrack::SetPositionKeys(std::vector<VectorKey> keys) { return Store(positionKeys, std::move(keys)); }
bool AnimationTrack::SetMatrixKeys(std::vector<MatrixKey> keys) { return Store(matrixKeys, std::move(keys)); }

Matrix AnimationTrack::GetMatrixAt(float time) const {
    Matrix m;
    m.SetIdentity();
    if (matrixKeys.empty()) return m;
    const KeySpan span = Locate(matrixKeys, time);
    return matrixKeys[span.index + (span.factor > 0.5f ? 1 : 0)].matrix;
}

Matrix AnimationTrack::GetScaleAt(float time) const { return FromVectorKeys(scaleKeys, time, &Matrix::SetScaling); }

Matrix AnimationTrack::GetTranslationAt(float time) const {
    return FromVectorKeys(positionKeys, time, &Matrix::SetTranslation);
}

Matrix AnimationTrack::GetRotationAt(float time) const {
    Matrix m;
    m.SetIdentity();
    if (rotationKeys.empty()) return m;
    const KeySpan span = Locate(rotationKeys, time);
    const RotationKey& k = rotationKeys[span.index];
    float q[4] = {k.x, k.y, k.z, k.w};
    if (span.factor != 0.0f) {
        const RotationKey& n = rotationKeys[span.index + 1];
        const float next[4] = {n.x, n.y, n.z, n.w};
        const float from[4] = {q[0], q[1], q[2], q[3]};
        QuaternionSlerp(from, next, span.factor, q);
    }
    // The slerp of the conjugates is the conjugate of the slerp, and the
    // matrix of the conjugate is what SetRotationQuaternion builds.
    m.SetRotationQuaternion(q);
    return m;
}
