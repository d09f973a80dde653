#pragma once
#include <cstdint>

#include "engine/core/resource.h"
#include "platform/gpu_device.h"

class Texture;

// One part of a mesh drawn with one colour and up to two textures: a range of
// the mesh's index buffer drawn as one triangle list.
class Material : public ResourceObject {
public:
    static constexpr int kStages = 2;
    static constexpr int kStageStates = 768;
    static constexpr uint32_t kStateUnset = 0xFFFFFFFFu;

    Material();
    ~Material() override;

    void SetIndexRange(uint32_t start, uint32_t count) { startIndex = start; primitiveCount = count; }
    void SetMaterial(const gpu::D3DMATERIAL8* m) { if (m) material = *m; }
    gpu::D3DMATERIAL8* GetMaterialPtr() { return &material; }
    void GetMaterial(gpu::D3DMATERIAL8* out) const { if (out) *out = material; }
    // Takes a reference on the new texture before dropping the one the stage
    // held, so setting the same texture again keeps it alive. Stages other
    // than 0 and 1 are ignored.
    void SetTexture(Texture* texture, uint32_t stage);
    Texture* GetTexture(uint32_t stage) const { return stage < kStages ? textures[stage] : nullptr; }
    uint32_t GetStartIndex() const { return startIndex; }
    uint32_t GetPrimitiveCount() const { return primitiveCount; }
    // Stored only: no drawing step applies the overrides. States outside
    // the table are ignored.
    void SetStageStateOverride(uint32_t state, uint32_t value);

    Texture* textures[kStages] = {nullptr, nullptr};
    uint32_t stageStateOverrides[kStageStates];
    gpu::D3DMATERIAL8 material;
    uint32_t startIndex = 0;
    uint32_t primitiveCount = 0;
};
