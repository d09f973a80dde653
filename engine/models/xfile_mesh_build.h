#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "engine/models/xfile_model_data.h"

// Turns an X mesh's polygons into what a Mesh draws: one vertex per distinct
// (position, normal) corner, triangles with 16-bit indices sorted by material,
// and the runs of triangles of each material.

namespace xfile {

// Position, normal, diffuse colour (A8R8G8B8) and one pair of texture
// coordinates: the plain mesh vertex (36 bytes).
struct XMeshVertex {
    Vector3 position;
    Vector3 normal;
    uint32_t diffuse;
    float u, v;
};

// The triangles [faceStart, faceStart + faceCount) use material attribId and
// the vertices [vertexStart, vertexStart + vertexCount).
struct XAttributeRange {
    uint32_t attribId;
    uint32_t faceStart, faceCount;
    uint32_t vertexStart, vertexCount;
};

struct XMeshBuffers {
    std::vector<XMeshVertex> vertices;
    std::vector<uint16_t> indices;  // three per triangle
    // One run per material that has triangles, in material order.
    std::vector<XAttributeRange> attributes;
    // The position index each vertex came from (for bone weights).
    std::vector<uint32_t> sourcePosition;
    // False when the file gave no normals: every normal is then zero and
    // the caller computes them.
    bool hasNormals = false;
};

// Vertex i of the data keeps the first normal its corners give it; a corner
// with another normal makes a new vertex, appended after the positions.
// Texture coordinates and colours follow the position (missing ones give
// (0, 0) and white). Polygons are split into the fan (a, b, c), (a, c, d), ...
// and triangles are sorted by material, keeping file order within one.
// Fails with a reason when the vertices outgrow 16-bit indices.
bool BuildMeshBuffers(const XMeshData& mesh, XMeshBuffers* out, std::string* why);


// A skinned vertex: position, two explicit blend weights (the third is
// 1 - weight0 - weight1), four palette slots (the first three used), normal,
// diffuse colour and texture coordinates.
struct XSkinVertex {
    Vector3 position;
    float weight0, weight1;
    uint8_t paletteSlots[4];
    Vector3 normal;
    uint32_t diffuse;
    float u, v;
};

inline constexpr uint32_t X_UNUSED_BONE = 0xFFFFFFFFu;

// Triangles drawn with one palette of bones: boneIds[slot] is the bone
// (an index into XMeshData::skinWeights) of each slot, X_UNUSED_BONE for the
// slots left empty.
struct XBoneCombination {
    uint32_t attribId;
    uint32_t faceStart, faceCount;
    uint32_t vertexStart, vertexCount;
    std::vector<uint32_t> boneIds;  // paletteSize entries
};

struct XSkinBuffers {
    std::vector<XSkinVertex> vertices;
    std::vector<uint16_t> indices;
    std::vector<XBoneCombination> combinations;
};

// Skins the built buffers of a mesh with its SkinWeights (at least one). Each vertex keeps
// its three strongest influences (a vertex without any follows bone 0),
// scaled to sum to 1. Triangles go into combinations in their material
// order; a combination is closed when the next triangle's bones do not fit
// in the palette beside its own, and each combination has its own copies of
// the vertices it uses. Fails when one triangle needs more bones than the
// palette holds or the copies outgrow 16-bit indices.
bool BuildSkinBuffers(const XMeshData& mesh, const XMeshBuffers& buffers, uint32_t paletteSize, XSkinBuffers* out,
                      std::string* why);

}  // namespace xfile
