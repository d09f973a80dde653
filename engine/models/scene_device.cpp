#include "engine/models/scene_device.h"

#include <vector>

#include "engine/models/dormant_managers.h"
#include "engine/graphics/device.h"
#include "engine/models/vertex_shader_asm.h"
#include "platform/vertex_declaration.h"

const char kSceneShaderSource[] =
    "vs.1.1\n"
    "// position\n"
    "m4x4\toPos,\tv0,\tc[0]\n"
    "// colour\n"
    "mul\toD0,\tv1,\tc[4]\n"
    "// texture coordinates\n"
    "mov\toT0,\tv2\n";

namespace {

// Position, colour and texture coordinates, as the declaration loads them.
constexpr uint32_t kSceneVertexBytes = 24;

}  // namespace

struct SceneGridBuffers {
    gpu::VertexBuffer* vertices = nullptr;
    gpu::IndexBuffer* indices = nullptr;
    ~SceneGridBuffers() {
        if (vertices) vertices->Release();
        if (indices) indices->Release();
    }
};

uint32_t CreateSceneShader() {
    static constexpr uint32_t kDeclaration[] = {
        gpu::DeclStream(0), gpu::DeclRegister(0, gpu::DECL_FLOAT3), gpu::DeclRegister(1, gpu::DECL_D3DCOLOR),
        gpu::DeclRegister(2, gpu::DECL_FLOAT2), gpu::kDeclEnd,
    };
    std::vector<uint32_t> tokens;
    gpu::Device* device = GetDevice();
    if (!device || !AssembleVertexShader(kSceneShaderSource, &tokens)) return kNoSceneShader;
    uint32_t handle = kNoSceneShader;
    const uint32_t usage = IsSoftwareVertexProcessing() ? gpu::D3DUSAGE_SOFTWAREPROCESSING : 0;
    if (gpu::Failed(device->CreateVertexShader(kDeclaration, tokens.data(), &handle, usage))) return kNoSceneShader;
    return handle;
}

void DeleteSceneShader(uint32_t handle) {
    if (gpu::Device* device = GetDevice()) device->DeleteVertexShader(handle);
}

// A grid of gridWidth x gridHeight quads: (w + 1) x (h + 1) zeroed vertices
// and two triangles per quad.
SceneGridBuffers* CreateSceneGridBuffers(int gridWidth, int gridHeight) {
    gpu::Device* device = GetDevice();
    const long long vertexCount = (static_cast<long long>(gridWidth) + 1) * (static_cast<long long>(gridHeight) + 1);
    if (!device || gridWidth < 1 || gridHeight < 1 || vertexCount > 65536) return nullptr;
    const uint32_t indexCount = static_cast<uint32_t>(gridWidth) * static_cast<uint32_t>(gridHeight) * 6;
    const gpu::D3DPOOL pool = IsSoftwareVertexProcessing() ? gpu::D3DPOOL_SYSTEMMEM : gpu::D3DPOOL_DEFAULT;
    auto* buffers = new SceneGridBuffers;
    uint8_t* bytes = nullptr;
    if (gpu::Failed(device->CreateVertexBuffer(static_cast<uint32_t>(vertexCount) * kSceneVertexBytes,
                                               gpu::D3DUSAGE_WRITEONLY, 0, pool, &buffers->vertices)) ||
        gpu::Failed(device->CreateIndexBuffer(indexCount * 2, gpu::D3DUSAGE_WRITEONLY, gpu::D3DFMT_INDEX16, pool,
                                              &buffers->indices)) ||
        gpu::Failed(buffers->indices->Lock(0, 0, &bytes, 0))) {
        delete buffers;
        return nullptr;
    }
    auto* index = reinterpret_cast<uint16_t*>(bytes);
    const int row = gridWidth + 1;
    for (int j = 0; j < gridHeight; ++j) {
        for (int i = 0; i < gridWidth; ++i) {
            const int k = j * row + i;
            for (int n : {k, k + 1, k + row, k + row, k + 1, k + row + 1}) *index++ = static_cast<uint16_t>(n);
        }
    }
    buffers->indices->Unlock();
    return buffers;
}

void ReleaseSceneGridBuffers(SceneGridBuffers* buffers) { delete buffers; }

void RegisterDormantDeviceObjectWalks() {
    SetDeviceObjectWalks(DEVICE_OBJECTS_SPRITES, ReleaseSpriteDeviceObjects, RestoreSpriteDeviceObjects);
    SetDeviceObjectWalks(DEVICE_OBJECTS_LIST_SPRITES, ReleaseListSpriteDeviceObjects, RestoreListSpriteDeviceObjects);
    SetDeviceObjectWalks(DEVICE_OBJECTS_PRIMITIVES, ReleasePrimitiveDeviceObjects, RestorePrimitiveDeviceObjects);
    SetDeviceObjectWalks(DEVICE_OBJECTS_SECOND_PRIMITIVES, ReleasePrimitive2DeviceObjects,
                         RestorePrimitive2DeviceObjects);
    SetDeviceObjectWalks(DEVICE_OBJECTS_PARTICLES, ReleasePerticleDeviceObjects, RestorePerticleDeviceObjects);
    SetDeviceObjectWalks(DEVICE_OBJECTS_SCENE, ReleaseSceneDeviceObjects, RestoreSceneDeviceObjects);
}
