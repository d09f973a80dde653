#include "engine/models/mesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/graphics_host.h"
#include "engine/graphics/graphics_log.h"
#include "engine/graphics/light.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/visibility.h"
#include "engine/models/frame.h"
#include "engine/models/material.h"
#include "engine/models/vertex_shader.h"

namespace {

constexpr int kStrides[4] = {36, 60, 52, 76};
constexpr uint32_t kKinds[4] = {VERTEX_PLAIN, VERTEX_MORPH, VERTEX_SKINNED, VERTEX_SKINNED_MORPH};
constexpr float kPi = 3.14159265358979f;

// Appends bytes to a packed vertex.
struct Packer {
    uint8_t* at;
    void Put(const void* data, size_t size) {
        std::memcpy(at, data, size);
        at += size;
    }
};

Vector3 ToVector(const float p[3]) { return {p[0], p[1], p[2]}; }

void Widen(Vector3* lo, Vector3* hi, const float p[3]) {
    lo->x = std::min(lo->x, p[0]);
    lo->y = std::min(lo->y, p[1]);
    lo->z = std::min(lo->z, p[2]);
    hi->x = std::max(hi->x, p[0]);
    hi->y = std::max(hi->y, p[1]);
    hi->z = std::max(hi->z, p[2]);
}

// The first three rows of transpose(m), i.e. its first three columns.
void SetTransposedRows(uint32_t reg, const Matrix& m, uint32_t rows) {
    Matrix t;
    t.SetTranspose(m);
    SetShaderConstants(reg, t.GetPointer(), rows);
}

void SetVector(uint32_t reg, float x, float y, float z, float w) {
    const float v[4] = {x, y, z, w};
    SetShaderConstants(reg, v, 1);
}

// A world direction in mesh space (as a normal, no translation).
Vector3 ToMeshSpace(const Vector3& direction, const Matrix& worldInverse) {
    Vector3 out;
    out.TransformNormal(direction, worldInverse);
    return out;
}

Vector3 LightDirection(int light) {
    Vector3 d{0, 0, 0};
    GetLightDirection(light, &d);
    return d;
}

void SetLightColour(uint32_t reg, int light) {
    float r = 0, g = 0, b = 0;
    GetLightColor(light, &r, &g, &b);
    SetVector(reg, r, g, b, 0.0f);
}

}  // namespace

int LayoutStride(int layout) { return layout >= 0 && layout < 4 ? kStrides[layout] : 0; }
int LayoutVertexKind(int layout) { return layout >= 0 && layout < 4 ? static_cast<int>(kKinds[layout]) : 0; }

void PackVertices(const WorkVertex* vertices, int count, int layout, uint8_t* out) {
    if (LayoutStride(layout) == 0) return;
    const bool morph = layout == 1 || layout == 3, skinned = layout == 2 || layout == 3;
    Packer p{out};
    for (int i = 0; i < count; ++i) {
        const WorkVertex& v = vertices[i];
        p.Put(v.position, 12);
        p.Put(v.normal, 12);
        if (morph) {
            p.Put(v.morphPosition, 12);
            p.Put(v.morphNormal, 12);
        }
        if (skinned) {
            p.Put(v.weights, 8);
            p.Put(&v.boneIndices, 4);
            p.Put(&v.boneIndices, 4);
        }
        p.Put(&v.diffuse, 4);
        p.Put(&v.u, 4);
        p.Put(&v.v, 4);
    }
}

void FillWorkVertices(WorkVertex* out, const float* positions, const float* normals, const float* texCoords,
                      int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        WorkVertex& v = out[i];
        std::copy_n(positions + 3 * i, 3, v.position);
        std::copy_n(positions + 3 * i, 3, v.morphPosition);
        std::copy_n(normals + 3 * i, 3, v.normal);
        std::copy_n(normals + 3 * i, 3, v.morphNormal);
        v.diffuse = 0xFFFFFFFFu;
        v.u = texCoords[2 * i];
        v.v = texCoords[2 * i + 1];
    }
}

void SetShaderConstants(uint32_t reg, const float* data, uint32_t count) {
    if (gpu::Device* device = GetDevice()) device->SetVertexShaderConstant(reg, data, count);
}

Mesh::Mesh() { world.SetIdentity(); }

Mesh::~Mesh() {
    if (shader) shader->Release();
    ReleaseDeviceObjects();
    materials.ReleaseAll();
}

void Mesh::RebuildShader() {
    if (shader) shader->Release();
    shader = CreateVertexShader();
    ShaderKey key{vertexKind, lightingMode, texCoordMode, transformMode, 0};
    shader->Build(&key);
    shaderKey = key.shaderKey;
}

void Mesh::ReleaseDeviceObjects() {
    if (vertexBuffer) vertexBuffer->Release();
    if (indexBuffer) indexBuffer->Release();
    vertexBuffer = nullptr;
    indexBuffer = nullptr;
}

uint32_t Mesh::GetMemorySize() const {
    return static_cast<uint32_t>(vertexCount * stride + indexCount * 2 + 2592);
}

void Mesh::SetName(const char* text) {
    std::memset(name, 0, sizeof name);
    if (text) std::strncpy(name, text, sizeof name - 1);
}

void Mesh::AllocateArrays(int32_t newVertices, int32_t newIndices) {
    vertexCount = std::max(newVertices, 0);
    indexCount = std::max(newIndices, 0);
    vertices.assign(static_cast<size_t>(vertexCount), WorkVertex{});
    indices.assign(static_cast<size_t>(indexCount), 0);
}

bool Mesh::LoadVertexData(uint32_t fvf, const uint8_t* data, int32_t newVertexCount, const uint16_t* indexData,
                          int32_t newIndexCount, ProgressCallback progress) {
    constexpr uint32_t kPlainFvf = 0x152, kSkinnedFvf = 0x115A;
    if (fvf != kPlainFvf && fvf != kSkinnedFvf) return false;
    AllocateArrays(newVertexCount, newIndexCount);
    std::copy_n(indexData, indexCount, indices.begin());
    const bool skinned = fvf == kSkinnedFvf;
    const size_t sourceStride = skinned ? 48 : 36;
    for (int32_t i = 0; i < vertexCount; ++i) {
        const uint8_t* s = data + i * sourceStride;
        WorkVertex& v = vertices[i];
        std::memcpy(v.position, s, 12);
        s += 12;
        if (skinned) {
            std::memcpy(v.weights, s, 8);
            std::memcpy(&v.boneIndices, s + 8, 4);
            s += 12;
        }
        std::memcpy(v.normal, s, 12);
        std::memcpy(&v.diffuse, s + 12, 4);
        std::memcpy(&v.u, s + 16, 4);
        std::memcpy(&v.v, s + 20, 4);
        std::copy_n(v.position, 3, v.morphPosition);
        std::copy_n(v.normal, 3, v.morphNormal);
        if (((i + 1) & 0x3FF) == 0) ReportProgress(progress);
    }
    CreateBuffers(progress);
    return true;
}

void Mesh::ComputeBoundingBox() {
    if (vertices.empty() || vertexCount <= 0) {
        boxMin = boxMax = boundingCentre = {0, 0, 0};
        boundingRadius = 0.0f;
        return;
    }
    boxMin = boxMax = ToVector(vertices[0].position);
    for (int32_t i = 0; i < vertexCount; ++i) {
        Widen(&boxMin, &boxMax, vertices[i].position);
        Widen(&boxMin, &boxMax, vertices[i].morphPosition);
    }
    boundingCentre = {(boxMin.x + boxMax.x) / 2, (boxMin.y + boxMax.y) / 2, (boxMin.z + boxMax.z) / 2};
    boundingRadius = ((boxMax.x - boxMin.x) + (boxMax.y - boxMin.y) + (boxMax.z - boxMin.z)) * 0.16666667f;
}

void Mesh::ComputeVertexNormals() {
    ComputeAngleWeightedNormals(vertices, indices.data(), std::min(indices.size(), static_cast<size_t>(indexCount)));
}

void AddAngleWeightedFaceNormal(std::vector<WorkVertex>& vertices, uint32_t i0, uint32_t i1, uint32_t i2) {
    const uint32_t corner[3] = {i0, i1, i2};
    for (uint32_t c : corner) {
        if (c >= vertices.size()) return;
    }
    const Vector3 p[3] = {ToVector(vertices[i0].position), ToVector(vertices[i1].position),
                          ToVector(vertices[i2].position)};
    Vector3 n;
    n.Cross(p[1].Subtract(p[0]), p[2].Subtract(p[0]));
    n.Normalize();
    for (int c = 0; c < 3; ++c) {
        Vector3 a = p[(c + 1) % 3].Subtract(p[c]), b = p[(c + 2) % 3].Subtract(p[c]);
        a.Normalize();
        b.Normalize();
        const float angle = std::acos(std::clamp(static_cast<float>(a.Dot(b)), -1.0f, 1.0f));
        float* normal = vertices[corner[c]].normal;
        normal[0] += n.x * angle / kPi;
        normal[1] += n.y * angle / kPi;
        normal[2] += n.z * angle / kPi;
    }
}

void NormalizeVertexNormals(std::vector<WorkVertex>& vertices) {
    for (WorkVertex& v : vertices) {
        Vector3 n = ToVector(v.normal);
        n.Normalize();
        v.normal[0] = n.x;
        v.normal[1] = n.y;
        v.normal[2] = n.z;
    }
}

void Mesh::CreateBuffers(ProgressCallback progress) {
    const gpu::D3DPOOL pool = IsSoftwareVertexProcessing() ? gpu::D3DPOOL_SYSTEMMEM : gpu::D3DPOOL_DEFAULT;
    ReleaseDeviceObjects();
    ReportProgress(progress);
    RebuildShader();
    ReportProgress(progress);
    gpu::Device* device = GetDevice();
    if (!device || gpu::Failed(device->CreateIndexBuffer(indexCount * 2, gpu::D3DUSAGE_WRITEONLY,
                                                          gpu::D3DFMT_INDEX16, pool, &indexBuffer))) {
        indexBuffer = nullptr;
        LogGraphics("ERROR : インデックスバッファの生成に失敗\n");
        return;
    }
    ReportProgress(progress);
    if (gpu::Failed(device->CreateVertexBuffer(vertexCount * stride, gpu::D3DUSAGE_WRITEONLY, 0, pool,
                                               &vertexBuffer))) {
        vertexBuffer = nullptr;
        LogGraphics("ERROR :頂点バッファの生成に失敗\n");
        return;
    }
    ReportProgress(progress);
    uint8_t* bytes = nullptr;
    if (!gpu::Failed(indexBuffer->Lock(0, 0, &bytes, 0))) {
        std::memcpy(bytes, indices.data(), static_cast<size_t>(indexCount) * 2);
        indexBuffer->Unlock();
    }
    ReportProgress(progress);
    if (!gpu::Failed(vertexBuffer->Lock(0, 0, &bytes, 0))) {
        PackVertices(vertices.data(), vertexCount, layout, bytes);
        vertexBuffer->Unlock();
    }
    ComputeBoundingBox();
}

const char* Mesh::SetMorphTarget(Mesh* other, ProgressCallback progress) {
    static const char kCountMismatch[] = "\x92\xB8\x93\x5F\x90\x94\x82\xAA\x88\xEA\x92\x76\x82\xB5\x82\xDC\x82\xB9\x82\xF1";
    if (!other || other->vertexCount != vertexCount) return kCountMismatch;
    for (int32_t i = 0; i < vertexCount; ++i) {
        std::copy_n(other->vertices[i].position, 3, vertices[i].morphPosition);
        std::copy_n(other->vertices[i].normal, 3, vertices[i].morphNormal);
    }
    if (layout == 0) layout = 1;
    if (layout == 2) layout = 3;
    if (LayoutStride(layout)) vertexKind = static_cast<uint32_t>(LayoutVertexKind(layout));
    stride = LayoutStride(layout);
    CreateBuffers(progress);
    return nullptr;
}

void Mesh::ApplyLights(const Matrix* modelWorld, ProgressCallback progress) {
    Matrix m;
    const Matrix* combined = frame ? &frame->combined : nullptr;
    if (combined) m.SetProduct(*combined, *modelWorld); else m = *modelWorld;
    m.Set(4, 1, 0.0f);
    m.Set(4, 2, 0.0f);
    m.Set(4, 3, 0.0f);
    m.Set(4, 4, 1.0f);
    m.Invert();
    float ambient = 0.0f;
    GetAmbientLevel(&ambient);
    Vector3 directions[kEngineLights];
    float colours[kEngineLights][3] = {};
    for (int i = 0; i < kEngineLights; ++i) {
        directions[i] = ToMeshSpace(LightDirection(i), m);
        directions[i].Normalize();
        GetLightColor(i, &colours[i][0], &colours[i][1], &colours[i][2]);
    }
    for (int32_t k = 0; k < vertexCount; ++k) {
        WorkVertex& v = vertices[k];
        Vector3 n = ToVector(v.normal);
        n.Normalize();
        float channel[3] = {0, 0, 0};
        for (int i = 0; i < kEngineLights; ++i) {
            const float d = std::max(0.0f, -static_cast<float>(n.Dot(directions[i])));
            for (int c = 0; c < 3; ++c) channel[c] += (ambient + d) * colours[i][c];
        }
        uint32_t colour = 0xFF000000u;
        for (int c = 0; c < 3; ++c) {
            const float level = std::clamp(channel[c], 0.0f, 1.0f);
            colour |= static_cast<uint32_t>(level * 255.0f) << (16 - 8 * c);
        }
        v.diffuse = colour;
        if (((k + 1) & 0x3FF) == 0) ReportProgress(progress);
    }
    CreateBuffers(progress);
}

void Mesh::CombineMatrix(Matrix* out, const Matrix* frameCombined, const Matrix* modelWorld) {
    if (frameCombined) world.SetProduct(*frameCombined, *modelWorld); else world = *modelWorld;
    if (out) *out = world;
}

void Mesh::UpdateWorldBox() { TransformBoxCorners(boxMin, boxMax, worldBoxCorners, worldBoxPlanes, world); }

void Mesh::SetShaderConstantA(uint32_t reg, uint32_t kind, const float* v) {
    if (reg >= kConstantsA) return;
    shaderConstantsA[reg].kind = kind;
    if (v) std::copy_n(v, 4, shaderConstantsA[reg].value);
}

void Mesh::SetShaderConstantB(uint32_t reg, uint32_t kind, const float* v) {
    if (reg >= kConstantsB) return;
    shaderConstantsB[reg].kind = kind;
    if (v) std::copy_n(v, 4, shaderConstantsB[reg].value);
}

Material* Mesh::GetMaterial(int32_t index) const {
    return static_cast<Material*>(materials.GetAt(index));
}

void Mesh::SetTextureStageState(uint32_t state, uint32_t value, uint32_t materialIndex) {
    ForEachMaterial(materialIndex, [=](Material* m) { m->SetStageStateOverride(state, value); });
}

// ---------------------------------------------------------------------------
// Drawing

void Mesh::SetCommonConstants(const DrawMatrices&) {
    SetVector(0, 0.5f, -0.5f, 1.0f, 765.01f);
    const float start = GetFogStart(), end = GetFogEnd();
    if (end != start) {
        SetVector(1, texOffsetU, texOffsetV, -1.0f / (end - start), end / (end - start));
    } else {
        SetVector(1, texOffsetU, texOffsetV, 0.0f, 1.0f);  // no fog instead of a division by zero
    }
    Vector3 camera{0, 0, 0};
    GetCurrentCameraPosition(&camera);
    float ambient = 0.0f;
    GetAmbientLevel(&ambient);
    SetVector(2, camera.x, camera.y, camera.z, ambient);
}

void Mesh::SetVectorConstant(const DrawMatrices& m) {
    SetVector(12, vectorX, vectorY, vectorZ, 0.0f);
    SetTransposedRows(20, m.worldViewProjection, 4);
}

void Mesh::SetLightConstants(const DrawMatrices& m) {
    if (lightingMode == LIGHTING_LIGHTS) {
        for (int i = 0; i < kEngineLights; ++i) {
            const Vector3 d = ToMeshSpace(LightDirection(i), m.worldInverse);
            SetVector(3 + i, -d.x, -d.y, -d.z, 0.0f);
            SetLightColour(7 + i, i);
        }
    } else if (lightingMode == LIGHTING_HEMISPHERE) {
        const Vector3 d = ToMeshSpace(LightDirection(0), m.worldInverse);
        const Vector3 up = ToMeshSpace({0.0f, 1.0f, 0.0f}, m.worldInverse);
        SetVector(3, -d.x, -d.y, -d.z, 0.0f);
        SetVector(4, up.x, up.y, up.z, 0.0f);
        SetLightColour(7, 0);
        SetLightColour(8, 1);
    }
}

void Mesh::SetTexCoordConstants(const DrawMatrices& m) {
    const auto setToonLight = [&m] {
        const Vector3 d = ToMeshSpace(LightDirection(0), m.worldInverse);
        SetVector(3, d.x, d.y, d.z, 0.0f);
    };
    switch (texCoordMode) {
    case TEXCOORD_TOON_UV: case TEXCOORD_UV_TOON:
        setToonLight();
        break;
    case TEXCOORD_STEALTH_UV: case TEXCOORD_UV_STEALTH:
        SetTransposedRows(16, m.worldView, 4);
        break;
    case TEXCOORD_REFLECTION_UV: case TEXCOORD_UV_REFLECTION:
        SetTransposedRows(16, m.world, 4);
        break;
    case TEXCOORD_SHADOW_UV: case TEXCOORD_UV_SHADOW:
        if (modelProjectionCamera) {
            Matrix viewProjection, product;
            modelProjectionCamera->GetViewProjection(&viewProjection);
            product.SetProduct(m.world, viewProjection);
            SetTransposedRows(16, product, 4);
        }
        break;
    case TEXCOORD_TOON_REFLECTION: case TEXCOORD_REFLECTION_TOON:
        setToonLight();
        SetTransposedRows(16, m.world, 4);
        break;
    default:
        break;
    }
}

void Mesh::SetTransformConstants(const DrawMatrices& m) {
    SetRenderState(gpu::D3DRS_FOGENABLE, transformMode == TRANSFORM_PLAIN ? 0 : 1);
    if (transformMode == TRANSFORM_VIEW) SetTransposedRows(13, m.worldView, 3);
    if (transformMode == TRANSFORM_WORLD) SetTransposedRows(13, m.world, 3);
}

bool Mesh::PrepareDraw() {
    gpu::Device* device = GetDevice();
    if (!enabled || !device || !vertexBuffer || !indexBuffer || !shader) return false;
    if (culling && !IsVisible(worldBoxCorners, worldBoxPlanes)) return false;
    DrawMatrices m;
    m.world = world;
    if (modelDrawMode == 1) m.world.Multiply(modelDrawMatrix);
    GetCurrentView(&m.view);
    GetCurrentViewProjection(&m.viewProjection);
    m.worldView.SetProduct(m.world, m.view);
    m.worldViewProjection.SetProduct(m.world, m.viewProjection);
    if (!m.worldInverse.SetInverse(m.world)) m.worldInverse.SetIdentity();
    SetCommonConstants(m);
    SetVectorConstant(m);
    SetLightConstants(m);
    SetTexCoordConstants(m);
    SetTransformConstants(m);
    // A shader that failed to build is never marked as set, so a later mesh
    // with the same key sets its own shader.
    if (!CheckAndSetShaderKey(shaderKey) && !SetVertexShaderObject(shader)) {
        ClearShaderKey();
        return false;
    }
    device->SetStreamSource(0, vertexBuffer, static_cast<uint32_t>(stride));
    device->SetIndices(indexBuffer, 0);
    SetRenderState(gpu::D3DRS_SOFTWAREVERTEXPROCESSING, IsSoftwareVertexProcessing() ? 1 : 0);
    return true;
}

void Mesh::ApplyMaterial(Material* material) {
    SetShaderConstants(11, &material->GetMaterialPtr()->Diffuse.r, 1);
    const bool depthPicture = lightingMode == LIGHTING_DEPTH;
    ::SetTexture(depthPicture ? nullptr : material->GetTexture(0), 0);
    ::SetTexture(depthPicture ? nullptr : material->GetTexture(1), 1);
}

void Mesh::Draw() {
    if (!PrepareDraw()) return;
    gpu::Device* device = GetDevice();
    for (ResourceObject* node = materials.head; node; node = node->next) {
        auto* material = static_cast<Material*>(node);
        ApplyMaterial(material);
        if (!gpu::Failed(device->DrawIndexedPrimitive(gpu::D3DPT_TRIANGLELIST, 0, vertexCount,
                                                      material->GetStartIndex(), material->GetPrimitiveCount()))) {
            GetGraphicsHost().AddPrimitiveCount(static_cast<int>(material->GetPrimitiveCount()));
        }
    }
}

void Mesh::DrawBoundingBox(uint32_t colour) {
    gpu::Device* device = GetDevice();
    if (!device) return;
    static constexpr int kEdges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                          {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    struct LineVertex { float x, y, z; uint32_t colour; };
    LineVertex lines[24];
    for (int e = 0; e < 12; ++e) {
        for (int k = 0; k < 2; ++k) {
            const Vector3& c = worldBoxCorners[kEdges[e][k]];
            lines[2 * e + k] = {c.x, c.y, c.z, colour};
        }
    }
    for (int stage = 0; stage < 4; ++stage) ::SetTexture(nullptr, stage);
    device->SetVertexShader(gpu::D3DFVF_XYZ | gpu::D3DFVF_DIFFUSE);
    ClearShaderKey();
    device->DrawPrimitiveUP(gpu::D3DPT_LINELIST, 12, lines, sizeof(LineVertex));
}
