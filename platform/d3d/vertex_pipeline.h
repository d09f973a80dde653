#pragma once
// Direct3D 8 vertex processing on the CPU: the fixed-function transform,
// lighting and fog, vertex-shader outputs, then clipping, the viewport
// transform and culling, ending in screen-space primitive lists.
#include <cstdint>
#include <vector>

#include "platform/d3d/raster.h"

namespace gpu {

// Where each part of a vertex sits inside a vertex of a given FVF code.
struct FvfLayout {
    bool pretransformed = false;  // XYZRHW
    int blendWeights = 0;
    uint32_t positionOffset = 0, normalOffset = 0, pointSizeOffset = 0;
    uint32_t diffuseOffset = 0, specularOffset = 0;
    bool hasNormal = false, hasPointSize = false, hasDiffuse = false, hasSpecular = false;
    int texCount = 0;
    uint32_t texOffset[8]{};
    int texSize[8]{};             // floats per coordinate set
    uint32_t size = 0;            // bytes per vertex
};
FvfLayout DecodeFvf(uint32_t fvf);

// The fixed-function state a vertex needs.
struct TransformState {
    const uint32_t* renderStates = nullptr;
    const uint32_t (*stageStates)[32] = nullptr;
    D3DMATRIX world{}, view{}, projection{};
    D3DVIEWPORT8 viewport{};
    D3DMATERIAL8 material{};
    const D3DLIGHT8* lights = nullptr;
    const bool* lightEnabled = nullptr;
};

// A vertex after transform and lighting, before clipping: clip-space position
// (or screen position for pre-transformed input) and the attributes.
struct ClipVertex {
    float position[4];
    bool screen;  // position is already x, y, z, rhw in screen space
    float diffuse[4], specular[4];
    float fog;
    float tex[kMaxTextureStages][2];
};

// Per-draw work derived once from the state: combined matrices, lights in
// view space, the fog and colour-source choices.
class VertexProcessor {
public:
    explicit VertexProcessor(const TransformState& state);
    void ProcessFvf(const FvfLayout& layout, const uint8_t* vertex, ClipVertex* out) const;
    void ProcessProgramOutput(const VertexProgramOutput& output, ClipVertex* out) const;

private:
    struct ViewLight {
        uint32_t type;
        float position[3], direction[3];  // view space; direction points away from the light
        D3DCOLORVALUE diffuse, specular, ambient;
        float range, falloff, att0, att1, att2, cosHalfTheta, cosHalfPhi;
    };
    // Vertex colours may be null (the vertex carries none).
    void Light(const float viewPosition[3], const float viewNormal[3], const float* vertexDiffuse,
               const float* vertexSpecular, ClipVertex* out) const;
    float FogFactor(float distance) const;
    void SelectTexCoords(const float sets[8][4], int setCount, ClipVertex* out) const;

    const TransformState& state_;
    float worldView_[16], worldViewProjection_[16], normalMatrix_[9];
    std::vector<ViewLight> lights_;
    bool lighting_, fogPerVertex_, rangeFog_, specularOn_, localViewer_, normalize_;
    uint32_t fogMode_, diffuseSource_, ambientSource_, specularSource_, emissiveSource_;
};

// Fog factor of Direct3D's formulas (1 = clear, 0 = fog colour); start equal
// to end gives a sharp edge instead of a division by zero.
float ComputeFog(uint32_t mode, float distance, float start, float end, float density);

// Reads Direct3D colour bytes (A8R8G8B8 in a u32) as r, g, b, a floats.
void ColourToFloats(uint32_t colour, float out[4]);

// Turns a Direct3D primitive stream into screen-space lists: triangles in
// threes, lines in twos, points singly. `indices` null means sequential.
// Clips against the near and far planes, applies the viewport and culls by
// CULLMODE (screen y down: clockwise is the front).
PrimitiveKind AssemblePrimitives(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const uint32_t* indices,
                                 const ClipVertex* vertices, const D3DVIEWPORT8& viewport,
                                 uint32_t cullMode, std::vector<ScreenVertex>& out);

// Number of vertices a primitive stream of that many primitives reads.
uint32_t VertexCountOf(D3DPRIMITIVETYPE type, uint32_t primitiveCount);

// Direct3D matrix helpers on plain arrays (row vectors: v' = v * M).
void MultiplyMatrix(const float a[16], const float b[16], float out[16]);
void TransformPoint(const float m[16], const float v[3], float out[4]);

}  // namespace gpu
