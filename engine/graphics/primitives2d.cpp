#include "engine/graphics/primitives2d.h"

#include <algorithm>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"

using namespace gpu;

namespace {

constexpr int kMaxCircleSegments = 64;

int blend2D = BLEND_OPAQUE;
// Drawn with BLEND_INVERT around an inverted-additive draw. Nothing fills it,
// so it covers no pixel and the mode draws as BLEND_ALPHA_ADD.
Vertex2D invertQuad[4];
Vertex2D circleVertices[kMaxCircleSegments + 1];

void DrawInvertQuad() {
    SetBlendMode(BLEND_INVERT);
    if (Device* device = GetDevice()) device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, invertQuad, sizeof(Vertex2D));
    GetGraphicsHost().AddPrimitiveCount(2);
}

}  // namespace

void Begin2D(int mode) {
    blend2D = mode;
    SetRenderState(D3DRS_ZENABLE, 0);
    SetRenderState(D3DRS_ZWRITEENABLE, 0);
    SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    SetRenderState(D3DRS_LIGHTING, 0);
    SetRenderState(D3DRS_FOGENABLE, 0);
    SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    SetFillMode(FILL_SOLID_GOURAUD);
    for (int stage = 0; stage < kCachedStages; ++stage) SetTexture(nullptr, stage);
    if (Device* device = GetDevice()) device->SetVertexShader(kVertex2DFormat);
    ClearShaderKey();
    if (mode != BLEND_INVERTED_ADD) {
        SetBlendMode(mode);
        return;
    }
    DrawInvertQuad();
    SetBlendMode(BLEND_ALPHA_ADD);
}

void End2D() {
    if (blend2D == BLEND_INVERTED_ADD) DrawInvertQuad();
}

void FillRect(const RECT* r, uint32_t colour) {
    const float left = r->left - 0.5f, top = r->top - 0.5f, right = r->right - 0.5f, bottom = r->bottom - 0.5f;
    const Vertex2D quad[4] = {{left, top, 0.0f, 1.0f, colour},
                              {right, top, 0.0f, 1.0f, colour},
                              {right, bottom, 0.0f, 1.0f, colour},
                              {left, bottom, 0.0f, 1.0f, colour}};
    if (Device* device = GetDevice()) device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(Vertex2D));
    GetGraphicsHost().AddPrimitiveCount(2);
}

void DrawCircle(float x, float y, float radius, float, int segments, uint32_t colour) {
    segments = std::clamp(segments, 1, kMaxCircleSegments);
    for (int i = 0; i <= segments; ++i) {
        // A full turn is 65536 units, so the last vertex lands on the first.
        const Angle16 a = ToAngle16(DegreeToAngle(360) * i / segments);
        circleVertices[i] = {x + CosAngle(a) * radius, y + SinAngle(a) * radius, 0.0f, 1.0f, colour};
    }
    if (Device* device = GetDevice()) {
        device->DrawPrimitiveUP(D3DPT_LINESTRIP, segments, circleVertices, sizeof(Vertex2D));
    }
    GetGraphicsHost().AddPrimitiveCount(segments);
}
