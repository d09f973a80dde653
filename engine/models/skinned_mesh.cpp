#include "engine/models/skinned_mesh.h"

#include "engine/graphics/device.h"
#include "engine/graphics/graphics_host.h"
#include "engine/graphics/graphics_log.h"
#include "engine/models/frame.h"
#include "engine/models/material.h"

SkinnedMesh::SkinnedMesh() { vertexKind = VERTEX_SKINNED; }

Matrix* SkinnedMesh::FindFrame(const char* name, ResourceList* frames) {
    if (!frames) return nullptr;
    for (ResourceObject* node = frames->head; node; node = node->next) {
        auto* frame = static_cast<Frame*>(node);
        if (frame->HasName(name)) return frame->GetCombinedMatrix();
    }
    return nullptr;
}

void SkinnedMesh::LinkBones(ResourceList* frames) {
    LogGraphics("-> Find Bone...\n");
    boneMatrices.assign(boneCount, nullptr);
    for (uint32_t i = 0; i < boneCount && i < boneNames.size(); ++i) {
        boneMatrices[i] = FindFrame(boneNames[i].c_str(), frames);
        LogGraphics("    [%s] [0x%08X]\n", boneNames[i].c_str(),
                         static_cast<uint32_t>(reinterpret_cast<uintptr_t>(boneMatrices[i])));
    }
}

void SkinnedMesh::CombineMatrix(Matrix* out, const Matrix*, const Matrix* modelWorld) {
    world = *modelWorld;
    if (out) *out = world;
}

void SkinnedMesh::Draw() {
    if (!PrepareDraw()) return;
    gpu::Device* device = GetDevice();
    for (const BoneCombination& combination : boneCombinations) {
        for (uint32_t slot = 0; slot < paletteSize && slot < combination.boneIds.size(); ++slot) {
            const uint32_t bone = combination.boneIds[slot];
            if (bone == BoneCombination::kNoBone || bone >= boneCount) continue;
            // A bone whose frame is missing is drawn by its offset alone.
            Matrix palette = bone < boneOffsets.size() ? boneOffsets[bone] : Matrix();
            if (bone >= boneOffsets.size()) palette.SetIdentity();
            if (bone < boneMatrices.size() && boneMatrices[bone]) palette.Multiply(*boneMatrices[bone]);
            Matrix rows;
            rows.SetTranspose(palette);
            SetShaderConstants(kFirstBoneRegister + 3 * slot, rows.GetPointer(), 3);
        }
        Material* material = GetMaterial(static_cast<int32_t>(combination.attribId));
        if (!material) continue;
        ApplyMaterial(material);
        if (!gpu::Failed(device->DrawIndexedPrimitive(gpu::D3DPT_TRIANGLELIST, combination.vertexStart,
                                                      combination.vertexCount, combination.faceStart * 3,
                                                      combination.faceCount))) {
            GetGraphicsHost().AddPrimitiveCount(static_cast<int>(combination.faceCount));
        }
    }
}
