#pragma once
#include <cstdint>
#include <vector>

#include "engine/core/math.h"
#include "engine/core/resource.h"
#include "engine/models/material.h"
#include "engine/models/shader_fragments.h"
#include "platform/gpu_device.h"

class Camera;
class Frame;

class VertexShader;

// One vertex as a mesh keeps it in system memory (18 words); the device
// buffers are packed from it in the mesh's layout.
struct WorkVertex {
    float position[3];
    float normal[3];
    float morphPosition[3];
    float morphNormal[3];
    float weights[2];      // blend weights 0 and 1 (the third is 1 - both)
    uint32_t boneIndices;  // four bytes
    uint32_t diffuse;      // A8R8G8B8
    float u, v;
};
static_assert(sizeof(WorkVertex) == 72);

// Device vertex layouts: 0 plain, 1 with morph target, 2 skinned, 3 skinned
// with morph target; any other value packs nothing.
constexpr int kLayoutUnset = 5;
int LayoutStride(int layout);
int LayoutVertexKind(int layout);
// Packs `count` work vertices into `out` (count x stride bytes) by the layout.
void PackVertices(const WorkVertex* vertices, int count, int layout, uint8_t* out);

// Position and normal into both the plain and the morph words, white diffuse
// and u, v; the blend words are left as they are. n <= 0 writes nothing.
void FillWorkVertices(WorkVertex* out, const float* positions, const float* normals, const float* texCoords,
                      int32_t n);

// Vertex normals as the angle-weighted sum of the unit normals of the
// triangles (taken three indices at a time) that meet at each vertex,
// normalised; a flat grid gets its plane's normal. Triangles that name a
// vertex outside the array are skipped.
void AddAngleWeightedFaceNormal(std::vector<WorkVertex>& vertices, uint32_t i0, uint32_t i1, uint32_t i2);
void NormalizeVertexNormals(std::vector<WorkVertex>& vertices);
template <typename Index>
void ComputeAngleWeightedNormals(std::vector<WorkVertex>& vertices, const Index* indices, size_t indexCount) {
    for (WorkVertex& v : vertices) v.normal[0] = v.normal[1] = v.normal[2] = 0.0f;
    for (size_t t = 0; t + 2 < indexCount; t += 3) {
        AddAngleWeightedFaceNormal(vertices, indices[t], indices[t + 1], indices[t + 2]);
    }
    NormalizeVertexNormals(vertices);
}

// The model layer's drawing state that meshes read (owned by the model layer).
extern int32_t modelDrawMode;       // 1: the mesh world is multiplied by modelDrawMatrix
extern Matrix modelDrawMatrix;
extern Camera* modelProjectionCamera;  // the camera of the shadow texture modes; none is set

// A constant-table entry stored by the shader-constant setters.
struct ShaderConstantEntry {
    uint32_t kind;
    float value[4];
};

// One drawable part of a model: work vertices and 16-bit indices in system
// memory, the device buffers packed from them, materials that each draw a
// range of the indices, and a vertex shader built from the mesh's key.
class Mesh : public ResourceObject {
public:
    static constexpr int kConstantsA = 96;
    static constexpr int kConstantsB = 8;

    Mesh();
    ~Mesh() override;

    void ReleaseDeviceObjects();
    void RestoreDeviceObjects() { CreateBuffers(nullptr); }
    uint32_t GetMemorySize() const;
    const char* GetName() const { return name; }
    void SetName(const char* text);

    // Zeroed arrays for the counts (the mesh's counts are set too).
    void AllocateArrays(int32_t vertices, int32_t indices);
    // Reads vertices of the two formats a loaded mesh comes in: FVF 0x152
    // (position, normal, diffuse, uv; 36 bytes) and 0x115A (position, two
    // weights, index bytes, normal, diffuse, uv; 48 bytes), then creates the
    // buffers. False for another format.
    bool LoadVertexData(uint32_t fvf, const uint8_t* vertexData, int32_t vertexCount, const uint16_t* indexData,
                        int32_t indexCount, ProgressCallback progress);

    virtual void LinkBones(ResourceList* /*frames*/) {}
    void ComputeBoundingBox();
    // Angle-weighted sums of the face normals, normalised.
    void ComputeVertexNormals();
    virtual void Draw();
    virtual void DrawBoundingBox(uint32_t colour);
    void SetTextureStageState(uint32_t state, uint32_t value, uint32_t materialIndex);
    void CreateBuffers(ProgressCallback progress);
    // Null on success; a text when the vertex counts differ (nothing changes).
    const char* SetMorphTarget(Mesh* other, ProgressCallback progress);
    void SetVectorX(float v) { vectorX = v; }
    void SetVectorY(float v) { vectorY = v; }
    void SetVectorZ(float v) { vectorZ = v; }
    void SetTexOffsetU(float v) { texOffsetU = v; }
    void SetTexOffsetV(float v) { texOffsetV = v; }
    // Bakes the engine's four lights and ambient level into the vertex colours.
    void ApplyLights(const Matrix* modelWorld, ProgressCallback progress);
    virtual void CombineMatrix(Matrix* out, const Matrix* frameCombined, const Matrix* modelWorld);
    // Registers outside the tables are ignored.
    void SetShaderConstantA(uint32_t reg, uint32_t kind, const float* v);
    void SetShaderConstantB(uint32_t reg, uint32_t kind, const float* v);
    // Places the box in the world by the mesh's world matrix.
    void UpdateWorldBox();
    Material* GetMaterial(int32_t index) const;
    // Calls f on the addressed materials: one inside the list, else all.
    template <typename F>
    void ForEachMaterial(uint32_t materialIndex, F f) const {
        if (Material* one = materialIndex < static_cast<uint32_t>(materials.GetCount())
                                ? GetMaterial(static_cast<int32_t>(materialIndex)) : nullptr) {
            f(one);
            return;
        }
        for (ResourceObject* node = materials.head; node; node = node->next) f(static_cast<Material*>(node));
    }
    // Releases the shader and builds a new one from the mesh's key.
    void RebuildShader();

    char name[64] = {};
    ResourceList materials;
    Frame* frame = nullptr;
    float boundingRadius = 0.0f;
    Vector3 boundingCentre{};
    Vector3 boxMin{}, boxMax{};
    Vector3 worldBoxCorners[8] = {};
    Plane worldBoxPlanes[6] = {};
    gpu::VertexBuffer* vertexBuffer = nullptr;
    gpu::IndexBuffer* indexBuffer = nullptr;
    std::vector<WorkVertex> vertices;
    std::vector<uint16_t> indices;
    int32_t enabled = 1;
    int32_t culling = 1;
    int32_t layout = kLayoutUnset;
    int32_t stride = 0;
    int32_t vertexCount = 0;
    int32_t indexCount = 0;
    float vectorZ = 0.0f, vectorX = 0.0f, vectorY = 0.0f;
    float texOffsetU = 0.0f, texOffsetV = 0.0f;
    uint32_t vertexKind = VERTEX_PLAIN;
    uint32_t lightingMode = LIGHTING_LIGHTS;
    uint32_t texCoordMode = TEXCOORD_UV;
    uint32_t transformMode = TRANSFORM_PLAIN;
    uint32_t shaderKey = 0;
    ShaderConstantEntry shaderConstantsA[kConstantsA] = {};
    ShaderConstantEntry shaderConstantsB[kConstantsB] = {};
    VertexShader* shader = nullptr;
    Matrix world;

protected:
    // The six matrices of a draw: W, W x V, W x VP, V, VP and W inverse.
    struct DrawMatrices {
        Matrix world, worldView, worldViewProjection, view, viewProjection, worldInverse;
    };
    // Steps common to both draws: the visibility test, the constants, the
    // shader and the streams. False when the mesh is not to be drawn.
    bool PrepareDraw();
    // c11 and the textures of one material.
    void ApplyMaterial(Material* material);

private:
    void SetCommonConstants(const DrawMatrices& m);
    void SetVectorConstant(const DrawMatrices& m);
    void SetLightConstants(const DrawMatrices& m);
    void SetTexCoordConstants(const DrawMatrices& m);
    void SetTransformConstants(const DrawMatrices& m);
};

// Writes `count` registers from `reg` on; a no-op without a device.
void SetShaderConstants(uint32_t reg, const float* data, uint32_t count);
