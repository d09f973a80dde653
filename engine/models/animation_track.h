#pragma once
#include "engine/core/math.h"
#include "engine/core/resource.h"

#include <cstdint>
#include <vector>

// The keys of one animation of a model file, attached to the Frames that
// carry `frameName`. Times are the file's integer ticks, in ascending order.

struct RotationKey {
    int32_t time;
    float x, y, z, w;  // the file stores w first; the loader moves it last
};

// Scale and position keys.
struct VectorKey {
    int32_t time;
    float x, y, z;
};

struct MatrixKey {
    int32_t time;
    Matrix matrix;
};

class AnimationTrack : public ResourceObject {
public:
    AnimationTrack();

    const char* GetFrameName() const { return frameName; }
    // Zero-fills the name and copies at most 255 characters.
    void SetFrameName(const char* name);

    // The loader's setters. Keys whose times go down anywhere are refused
    // (false, the track keeps its keys); equal neighbouring times are kept.
    bool SetRotationKeys(std::vector<RotationKey> keys);
    bool SetScaleKeys(std::vector<VectorKey> keys);
    bool SetPositionKeys(std::vector<VectorKey> keys);
    bool SetMatrixKeys(std::vector<MatrixKey> keys);

    int32_t GetRotationKeyCount() const { return static_cast<int32_t>(rotationKeys.size()); }
    int32_t GetScaleKeyCount() const { return static_cast<int32_t>(scaleKeys.size()); }
    int32_t GetPositionKeyCount() const { return static_cast<int32_t>(positionKeys.size()); }
    int32_t GetMatrixKeyCount() const { return static_cast<int32_t>(matrixKeys.size()); }

    // The transforms at `time` (ticks; the key is searched with the time
    // truncated, the blend factor uses it whole). Before the first key and
    // after the last they hold that key's value; a track without keys of the
    // kind gives identity.
    Matrix GetMatrixAt(float time) const;       // the nearer matrix key, never blended
    Matrix GetScaleAt(float time) const;        // scaling by the interpolated scale
    Matrix GetTranslationAt(float time) const;  // translation by the interpolated position
    // The rotation of the conjugate of the key quaternion (or of the slerp of
    // the two keys), as Direct3D's quaternion matrix gives it.
    Matrix GetRotationAt(float time) const;

private:
    char frameName[256];
    std::vector<RotationKey> rotationKeys;
    std::vector<VectorKey> scaleKeys;
    std::vector<VectorKey> positionKeys;
    std::vector<MatrixKey> matrixKeys;
};

// The index k of the key pair (k, k + 1) around `tick`: the last key at or
// before the tick, kept below count - 1. Keys sorted by time, count >= 2.
template <typename Key>
int32_t FindKey(const Key* keys, int32_t count, int32_t tick) {
    int32_t low = 0, high = count - 2;
    while (low < high) {
        const int32_t mid = low + (high - low + 1) / 2;
        if (keys[mid].time <= tick) low = mid;
        else high = mid - 1;
    }
    return low;
}

// Spherical interpolation of unit quaternions (x, y, z, w) along the
// shorter arc; nearly equal quaternions are blended linearly.
void QuaternionSlerp(const float a[4], const float b[4], float f, float out[4]);
