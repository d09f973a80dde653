#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/models/mesh.h"

// A run of faces drawn with one palette of bones: palette slot s holds the
// bone boneIds[s] (kNoBone for an empty slot).
struct BoneCombination {
    static constexpr uint32_t kNoBone = 0xFFFFFFFFu;
    uint32_t attribId = 0;
    uint32_t faceStart = 0, faceCount = 0;
    uint32_t vertexStart = 0, vertexCount = 0;
    std::vector<uint32_t> boneIds;
};

// A mesh whose vertices carry bone weights and palette indices; each draw
// sets the bone matrices of a combination's palette from c26 on.
class SkinnedMesh : public Mesh {
public:
    static constexpr uint32_t kFirstBoneRegister = 26;

    SkinnedMesh();

    // Points every bone at the combined matrix of the frame of its name
    // (null when no frame has it).
    void LinkBones(ResourceList* frames) override;
    void Draw() override;
    // The bones place the vertices: the mesh world is the model world alone.
    void CombineMatrix(Matrix* out, const Matrix* frameCombined, const Matrix* modelWorld) override;
    static Matrix* FindFrame(const char* name, ResourceList* frames);

    std::vector<std::string> boneNames;
    uint32_t paletteSize = 0;
    uint32_t boneCount = 0;
    std::vector<Matrix*> boneMatrices;
    std::vector<Matrix> boneOffsets;
    std::vector<BoneCombination> boneCombinations;
};
