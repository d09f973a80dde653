#pragma once
// What the textured 2-D draws of a frame put on the recording device: each
// quad with the device texture bound to stage 0 when it was drawn.
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/graphics/texture.h"
#include "tests/support/recording_device.h"

namespace test {

struct DrawnQuad {
    uint32_t texture;  // low bits of the device texture, as the device recorded it
    TexturedVertex2D corner[4];

    float Left() const { return corner[0].x + 0.5f; }
    float Top() const { return corner[0].y + 0.5f; }
    float Right() const { return corner[2].x + 0.5f; }
    float Bottom() const { return corner[2].y + 0.5f; }
    uint32_t Colour() const { return corner[0].colour; }
};

// The id the recording device gives a texture's device object.
inline uint32_t DeviceId(const Texture* t) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(t->GetD3DTexture()));
}

inline std::vector<DrawnQuad> DrawnQuads(const RecordingDevice& device) {
    std::vector<DrawnQuad> quads;
    uint32_t bound = 0;
    for (const DeviceCall& call : device.calls) {
        if (call.name == "SetTexture" && call.args[0] == 0) bound = call.args[1];
        if (call.name != "DrawPrimitiveUP" || call.args[2] != sizeof(TexturedVertex2D)) continue;
        DrawnQuad q{bound, {}};
        std::memcpy(q.corner, call.vertices.data(), sizeof q.corner);
        quads.push_back(q);
    }
    return quads;
}

// The quads drawn from one texture.
inline std::vector<DrawnQuad> QuadsFrom(const RecordingDevice& device, const Texture* t) {
    std::vector<DrawnQuad> from;
    for (const DrawnQuad& q : DrawnQuads(device))
        if (q.texture == DeviceId(t)) from.push_back(q);
    return from;
}

}  // namespace test
