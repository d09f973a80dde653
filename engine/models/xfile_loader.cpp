#include "engine/models/xfile_loader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/core/data_files.h"
#include "engine/core/application.h"
#include "engine/graphics/device.h"
#include "engine/graphics/graphics_log.h"
#include "engine/graphics/texture.h"
#include "engine/models/animation_track.h"
#include "engine/models/frame.h"
#include "engine/models/material.h"
#include "engine/models/mesh.h"
#include "engine/models/model.h"
#include "engine/models/skinned_mesh.h"
#include "engine/models/xfile_mesh_build.h"
#include "engine/models/xfile_model_data.h"
#include "engine/models/xfile_parser.h"

namespace {

// The built vertices are handed to the mesh as the bytes of its two vertex
// formats: 0x152 (position, normal, diffuse, uv) and 0x115A (position, two
// weights, four index bytes, normal, diffuse, uv).
constexpr uint32_t kPlainFvf = 0x152, kSkinnedFvf = 0x115A;
static_assert(sizeof(xfile::XMeshVertex) == 36, "FVF 0x152 vertex");
static_assert(sizeof(xfile::XSkinVertex) == 48, "FVF 0x115A vertex");

// What the final log line counts per frame and per model, as the original
// objects measured.
constexpr uint32_t kFrameBytes = 536, kModelBytes = 272;

void LogMeshFailure(const std::string& name, const std::string& why) {
    LogGraphics("    Error : メッシュ [%s] の読み込みに失敗\n", name.c_str());
    LogGraphics("        %s\n", why.c_str());
}

// Normals for a mesh whose file gives none: the angle-weighted sum of the
// face normals at each vertex.
void ComputeMissingNormals(xfile::XMeshBuffers* buffers) {
    std::vector<WorkVertex> work(buffers->vertices.size());
    for (size_t i = 0; i < work.size(); ++i) {
        const Vector3& p = buffers->vertices[i].position;
        work[i].position[0] = p.x;
        work[i].position[1] = p.y;
        work[i].position[2] = p.z;
    }
    ComputeAngleWeightedNormals(work, buffers->indices.data(), buffers->indices.size());
    for (size_t i = 0; i < work.size(); ++i)
        buffers->vertices[i].normal.Set(work[i].normal[0], work[i].normal[1], work[i].normal[2]);
}

// The texture a material names: the image file named by the last part of
// the name, else the entry of the model texture archive keyed by that part
// without its extension. Null when neither can be had.
Texture* LoadMaterialTexture(const std::string& textureFilename, ProgressCallback progress) {
    const std::string fileName = xfile::TextureFileName(textureFilename);
    LogGraphics("    ");
    Texture* texture = CreateTextureFromFile(fileName.c_str(), 0, 0, progress);
    if (texture->IsReady()) return texture;
    texture->Release();
    const std::string key = xfile::TextureArchiveKey(textureFilename);
    LogGraphics("    ");
    texture = CreateTextureFromArchive(modelTextureArchive, key.c_str(), 1, progress);
    if (texture->IsReady()) return texture;
    texture->Release();
    return nullptr;
}

// One Material per material of the file, in order; Ambient takes the
// diffuse colour, and a texture that can be found goes on stage 0.
std::vector<Material*> CreateMaterials(Mesh* mesh, const std::vector<xfile::XMaterialData>& materials,
                                       ProgressCallback progress) {
    std::vector<Material*> made;
    for (const xfile::XMaterialData& m : materials) {
        auto* material = new Material;
        mesh->materials.PushBack(material);
        made.push_back(material);
        gpu::D3DMATERIAL8 d3d{};
        d3d.Diffuse = {m.diffuse[0], m.diffuse[1], m.diffuse[2], m.diffuse[3]};
        d3d.Ambient = d3d.Diffuse;
        d3d.Specular = {m.specular[0], m.specular[1], m.specular[2], 1.0f};
        d3d.Emissive = {m.emissive[0], m.emissive[1], m.emissive[2], 1.0f};
        d3d.Power = m.power;
        material->SetMaterial(&d3d);
        if (m.textureFilename.empty()) continue;
        if (Texture* texture = LoadMaterialTexture(m.textureFilename, progress)) {
            material->SetTexture(texture, 0);
            texture->Release();
        }
    }
    return made;
}

// Each material draws its run of the attribute-sorted triangles; a material
// that no triangle uses leaves the mesh.
void SetMaterialRanges(const std::vector<Material*>& materials, const std::vector<xfile::XAttributeRange>& ranges) {
    for (const xfile::XAttributeRange& range : ranges)
        if (range.attribId < materials.size()) materials[range.attribId]->SetIndexRange(range.faceStart * 3, range.faceCount);
    for (Material* material : materials)
        if (material->GetPrimitiveCount() == 0) material->Release();
}

// A SkinnedMesh with its bones and their palettes. Its materials stay whole:
// the combinations address them by their index in the file.
SkinnedMesh* NewSkinnedMesh(const xfile::XMeshData& data, uint32_t paletteSize, xfile::XSkinBuffers* skin) {
    auto* mesh = new SkinnedMesh;
    mesh->boneCount = static_cast<uint32_t>(data.skinWeights.size());
    mesh->paletteSize = paletteSize;
    for (const xfile::XSkinWeightsData& bone : data.skinWeights) {
        mesh->boneNames.push_back(bone.transformNodeName);
        mesh->boneOffsets.push_back(bone.matrixOffset);
    }
    mesh->boneMatrices.assign(mesh->boneCount, nullptr);
    for (xfile::XBoneCombination& c : skin->combinations)
        mesh->boneCombinations.push_back(
            {c.attribId, c.faceStart, c.faceCount, c.vertexStart, c.vertexCount, std::move(c.boneIds)});
    mesh->layout = 2;
    mesh->stride = LayoutStride(2);
    LogGraphics("    SkinnedMesh [%d BONE]\n", static_cast<int>(mesh->boneCount));
    return mesh;
}

// The mesh's arrays and device buffers from built vertices of one format.
template <typename Vertex>
void LoadVertices(Mesh* mesh, uint32_t fvf, const std::vector<Vertex>& vertices, const std::vector<uint16_t>& indices,
                  ProgressCallback progress) {
    mesh->LoadVertexData(fvf, reinterpret_cast<const uint8_t*>(vertices.data()), static_cast<int32_t>(vertices.size()),
                         indices.data(), static_cast<int32_t>(indices.size()), progress);
}

// Builds one mesh of the file onto the model; a mesh that cannot be built is
// logged and left out (false).
bool ReadMesh(Model* model, const xfile::XMeshData& data, Frame* frame, ProgressCallback progress) {
    ReportProgress(progress);
    xfile::XMeshBuffers buffers;
    std::string why;
    if (!xfile::BuildMeshBuffers(data, &buffers, &why)) {
        LogMeshFailure(data.name, why);
        return false;
    }
    if (buffers.indices.empty()) {
        LogMeshFailure(data.name, "mesh without faces");
        return false;
    }
    if (!buffers.hasNormals) ComputeMissingNormals(&buffers);

    const bool skinned = !data.skinWeights.empty();
    const uint32_t paletteSize = std::min(static_cast<uint32_t>(data.skinWeights.size()), GetMaxBoneMatrices());
    xfile::XSkinBuffers skin;
    if (skinned && !xfile::BuildSkinBuffers(data, buffers, paletteSize, &skin, &why)) {
        LogMeshFailure(data.name, why);
        return false;
    }
    ReportProgress(progress);
    Mesh* mesh = skinned ? NewSkinnedMesh(data, paletteSize, &skin) : new Mesh;
    ReportProgress(progress);
    model->meshes.PushBack(mesh);
    mesh->SetName(data.name.c_str());
    mesh->frame = frame;

    const std::vector<Material*> materials = CreateMaterials(mesh, data.materials, progress);
    ReportProgress(progress);
    if (skinned) {
        LoadVertices(mesh, kSkinnedFvf, skin.vertices, skin.indices, progress);
    } else {
        SetMaterialRanges(materials, buffers.attributes);
        mesh->layout = 0;
        mesh->stride = LayoutStride(0);
        LoadVertices(mesh, kPlainFvf, buffers.vertices, buffers.indices, progress);
    }
    ReportProgress(progress);
    LogGraphics("\tMesh { Vertex %d, Index %d, (%8.3lf,%8.3lf,%8.3lf)-(%8.3lf,%8.3lf,%8.3lf), %.3lfKB}\n",
                mesh->vertexCount, mesh->indexCount, mesh->boxMin.x, mesh->boxMin.y, mesh->boxMin.z, mesh->boxMax.x,
                mesh->boxMax.y, mesh->boxMax.z, mesh->GetMemorySize() / 1024.0);
    return true;
}

// One track per Animation of the file, driving every frame of its name.
void ReadAnimation(Model* model, const xfile::XAnimationData& data) {
    auto* track = new AnimationTrack;
    model->animationTracks.PushBack(track);
    track->SetRotationKeys(data.rotationKeys);
    track->SetScaleKeys(data.scaleKeys);
    track->SetPositionKeys(data.positionKeys);
    track->SetMatrixKeys(data.matrixKeys);
    if (data.frameName.empty()) return;
    track->SetFrameName(data.frameName.c_str());
    for (ResourceObject* node = model->frames.head; node; node = node->next) {
        auto* frame = static_cast<Frame*>(node);
        if (frame->HasName(data.frameName.c_str())) frame->SetAnimationTrack(track);
    }
}

// Frames, meshes and tracks of the model data onto the model, whose root
// frame stands for the data's frame 0. What makes the file damaged (an
// object that cannot be read, a mesh that cannot be built, no mesh at all),
// or empty when it is whole.
std::string LoadXFileObjects(Model* model, const xfile::XModelData& data, ProgressCallback progress) {
    std::vector<Frame*> frames{model->rootFrame};
    for (size_t i = 1; i < data.frames.size(); ++i) {
        ReportProgress(progress);
        auto* frame = new Frame;
        frame->parent = frames[static_cast<size_t>(data.frames[i].parent)];
        frame->SetName(data.frames[i].name.c_str());
        frame->local = data.frames[i].local;
        model->frames.PushBack(frame);
        frames.push_back(frame);
    }
    for (const xfile::XLoadIssue& issue : data.issues) {
        if (issue.templateName == "Mesh") LogMeshFailure(issue.objectName, issue.reason);
        else LogGraphics("    Error : %s [%s] %s\n", issue.templateName.c_str(), issue.objectName.c_str(),
                              issue.reason.c_str());
    }
    size_t built = 0;
    for (const xfile::XMeshData& mesh : data.meshes)
        built += ReadMesh(model, mesh, frames[static_cast<size_t>(mesh.frame)], progress) ? 1 : 0;
    for (const xfile::XAnimationData& animation : data.animations) {
        ReportProgress(progress);
        ReadAnimation(model, animation);
    }

    uint32_t meshBytes = 0;
    for (ResourceObject* node = model->meshes.head; node; node = node->next) {
        auto* mesh = static_cast<Mesh*>(node);
        mesh->LinkBones(&model->frames);
        meshBytes += mesh->GetMemorySize();
    }
    const int32_t frameCount = model->frames.GetCount();
    LogGraphics("} Frame %d / Mesh %d / %8.3lf KByteUse / Complete!\n", frameCount, model->meshes.GetCount(),
                (static_cast<double>(frameCount) * kFrameBytes + kModelBytes + meshBytes) / 1024.0);
    if (!data.issues.empty()) {
        const xfile::XLoadIssue& issue = data.issues.front();
        return issue.templateName + " [" + issue.objectName + "] " + issue.reason;
    }
    if (built < data.meshes.size()) return "a mesh cannot be built";
    if (data.meshes.empty()) return "it holds no mesh";
    return {};
}

}  // namespace

Model* CreateModelFromXFile(const char* name, ProgressCallback progress) {
    Model* model = NewModel();
    auto* root = new Frame;
    root->SetName(xfile::X_ROOT_FRAME_NAME);
    model->rootFrame = root;
    model->frames.PushBack(root);
    ReportProgress(progress);

    SetCurrentFolderToApp();
    const std::string path = name ? name : "";
    LogGraphics("%s {\n", path.c_str());
    xfile::XDocument document;
    std::string error;
    int openError = 0;
    if (!xfile::ReadXFile(path, &document, &error, &openError)) {
        ReportUnusableDataFile(path, openError ? DataFileOpenFailure(openError) : "is damaged: " + error);
        LogGraphics("ERROR 列挙オブジェクトの作成に失敗\nファイルがないか無効な可能性があります [%s]\n",
                         error.c_str());
        return model;
    }
    ReportProgress(progress);
    const std::string damage = LoadXFileObjects(model, xfile::ExtractModelData(document), progress);
    if (!damage.empty()) ReportUnusableDataFile(path, "is damaged: " + damage);
    ReportProgress(progress);
    return model;
}
