#pragma once
// The engine's 2D drawing: pre-transformed vertices {x, y, z, rhw, colour}
// with z 0 and rhw 1, drawn between Begin2D and End2D.
#include <cstdint>

#include "platform/gpu_device.h"

struct Vertex2D {
    float x, y, z, rhw;
    uint32_t colour;
};
constexpr uint32_t kVertex2DFormat = gpu::D3DFVF_XYZRHW | gpu::D3DFVF_DIFFUSE;  // 68

// Prepares 2D drawing with the blend mode (BlendMode): no depth, alpha test,
// lighting or fog, no culling, solid Gouraud fill, no textures bound.
void Begin2D(int mode);
void End2D();
// Covers the pixel centres from (left, top) to (right - 1, bottom - 1).
void FillRect(const gpu::RECT* r, uint32_t colour);
// A circle outline of 1 to 64 segments; the fourth argument is not used.
void DrawCircle(float x, float y, float radius, float unused, int segments, uint32_t colour);
