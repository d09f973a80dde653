// Vertices per second of a skinned mesh drawn through the device: the mesh
// constants, the bone palette, the interpreted skinning shader (three bones,
// four directional lights, uv coordinates, view fog), clipping and primitive
// assembly, on the null backend so rasterisation costs nothing.
#include <benchmark/benchmark.h>

#include "engine/core/math.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/models/model.h"
#include "engine/models/skinned_mesh.h"
#include "engine/models/vertex_shader.h"

namespace {

constexpr int kVertexCount = 4095;  // 1365 triangles

SkinnedMesh* MakeSkinnedMesh() {
    auto* mesh = new SkinnedMesh;
    mesh->layout = 2;
    mesh->stride = LayoutStride(2);
    mesh->lightingMode = LIGHTING_LIGHTS;
    mesh->transformMode = TRANSFORM_VIEW;
    mesh->culling = 0;
    mesh->AllocateArrays(kVertexCount, kVertexCount);
    for (int i = 0; i < kVertexCount; ++i) {
        WorkVertex& v = mesh->vertices[i];
        const float p[3] = {0.001f * static_cast<float>(i % 97) - 0.05f, 0.001f * static_cast<float>(i % 89) - 0.04f,
                            0.5f + 0.0001f * static_cast<float>(i % 83)};
        const float n[3] = {0, 0, -1}, uv[2] = {0.5f, 0.5f};
        FillWorkVertices(&v, p, n, uv, 1);
        v.weights[0] = 0.5f;
        v.weights[1] = 0.3f;
        v.boneIndices = 0x00020100;
        mesh->indices[i] = static_cast<uint16_t>(i);
    }
    mesh->materials.PushBack(new Material);
    mesh->boneCount = mesh->paletteSize = 3;
    mesh->boneOffsets.resize(3);
    for (Matrix& m : mesh->boneOffsets) m.SetIdentity();
    mesh->boneMatrices.assign(3, nullptr);
    mesh->boneCombinations = {{0, 0, kVertexCount / 3, 0, kVertexCount, {0, 1, 2}}};
    mesh->CreateBuffers(nullptr);
    return mesh;
}

void BM_SkinnedMeshDraw(benchmark::State& state) {
    InitializeMathTables();
    if (InitializeDirectXGraphics() != 1) {
        state.SkipWithError("no graphics device");
        return;
    }
    InitCameraList();
    InitializeVertexShaders();
    InitializeModels();
    SkinnedMesh* mesh = MakeSkinnedMesh();
    if (mesh->shader->GetHandle() == VertexShader::kNoHandle) state.SkipWithError("shader not built");
    for (auto _ : state) {
        BeginScene();
        mesh->Draw();
        EndScene();
    }
    state.SetItemsProcessed(state.iterations() * kVertexCount);
    mesh->Release();
    DestroyModels();
    DestroyVertexShaders();
    DestroyCameraList();
    DestroyDirectXGraphics();
}
BENCHMARK(BM_SkinnedMeshDraw)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
