#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "engine/models/animation_track.h"
#include "engine/models/xfile_parser.h"

// What a model loader takes from a parsed X document, as plain data: the
// frame tree, the meshes with their faces, normals, texture coordinates,
// materials and skin weights, and the animations' keys. Everything here has
// been checked against the data it came from: counts never exceed the values
// present and every index lies inside what it indexes; a mesh that fails a
// check is left out (and named in `issues`), as the loader skips a mesh that
// cannot be built.

namespace xfile {

inline constexpr const char* X_ROOT_FRAME_NAME = "MASTER_FRAME";
// Meshes index their vertices with 16 bits.
inline constexpr uint32_t X_MAX_MESH_VERTICES = 65535;

struct XFrameData {
    std::string name;
    int32_t parent = -1;  // index into XModelData::frames; -1 for the root only
    Matrix local;         // FrameTransformMatrix as stored (row vectors), identity without one
};

struct XMaterialData {
    float diffuse[4] = {1, 1, 1, 1};  // faceColor r, g, b, a
    float power = 0;
    float specular[3] = {0, 0, 0};
    float emissive[3] = {0, 0, 0};
    std::string textureFilename;  // as written in TextureFilename; empty when none
};

struct XSkinWeightsData {
    std::string transformNodeName;  // the bone's frame
    std::vector<uint32_t> vertexIndices;
    std::vector<float> weights;  // one per vertex index
    Matrix matrixOffset;
};

struct XMeshData {
    std::string name;
    int32_t frame = 0;  // index into XModelData::frames
    std::vector<Vector3> positions;
    // Polygons of three or more corners, each a list of position indices.
    std::vector<std::vector<uint32_t>> faces;
    // MeshNormals: the normals and, per face, one normal index per corner
    // (both empty when the mesh has none).
    std::vector<Vector3> normals;
    std::vector<std::vector<uint32_t>> faceNormals;
    // MeshTextureCoords: one (u, v) per position, or empty.
    std::vector<std::array<float, 2>> texCoords;
    // MeshVertexColors: one A8R8G8B8 colour per position, or empty.
    std::vector<uint32_t> vertexColors;
    // One material index per face and at least one material: a mesh without
    // a material list gets one default material (white), faces beyond the
    // list's face indexes repeat its last one.
    std::vector<uint32_t> faceMaterials;
    std::vector<XMaterialData> materials;
    // XSkinMeshHeader (zeros without one) and one SkinWeights per bone.
    uint32_t maxSkinWeightsPerVertex = 0;
    uint32_t maxSkinWeightsPerFace = 0;
    std::vector<XSkinWeightsData> skinWeights;
};

// One Animation: the keys that drive the frames called frameName.
struct XAnimationData {
    std::string frameName;  // the referenced Frame's name; empty when none
    std::vector<RotationKey> rotationKeys;  // stored x, y, z, w
    std::vector<VectorKey> scaleKeys;
    std::vector<VectorKey> positionKeys;
    std::vector<MatrixKey> matrixKeys;
};

// Something left out of the model, with the name of the object it concerns.
struct XLoadIssue {
    std::string objectName;
    std::string reason;
    std::string templateName;  // of that object: "Mesh", "Frame", "Animation"
};

struct XModelData {
    // frames[0] is the root, X_ROOT_FRAME_NAME; then every Frame in file
    // order, a parent before its children.
    std::vector<XFrameData> frames;
    std::vector<XMeshData> meshes;  // in file order
    std::vector<XAnimationData> animations;
    std::vector<XLoadIssue> issues;
};

// Walks the top-level Frames, Meshes and AnimationSets of the document (other
// objects are skipped) into model data. Top-level frames and meshes hang
// under the root; references among a frame's children are not followed. An
// Animation takes the name of the Frame it references; of its AnimationKeys,
// rotation (0), scale (1), position (2) and matrix (4) keys are kept (a later
// block of one type replaces an earlier one), others ignored; a block whose
// key times go down, whose keys give the wrong number of values or whose
// count exceeds its data is left out.
XModelData ExtractModelData(const XDocument& doc);

// The texture names of a material, in the order they are tried: the image
// file named by the part after the last backslash, then the archive key that
// is this part cut at its last '.' (whole when it has none).
std::string TextureFileName(const std::string& textureFilename);
std::string TextureArchiveKey(const std::string& textureFilename);

}  // namespace xfile
