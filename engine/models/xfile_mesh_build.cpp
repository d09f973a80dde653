#include "engine/models/xfile_mesh_build.h"

#include <algorithm>
#include <array>
#include <map>

namespace xfile {
namespace {

struct Triangle {
    uint32_t material;
    std::array<uint32_t, 3> corners;
};

// The vertex index of each corner of each face, splitting positions whose
// corners give different normals.
std::vector<std::vector<uint32_t>> SplitCorners(const XMeshData& mesh, XMeshBuffers* b) {
    std::vector<std::vector<uint32_t>> corners(mesh.faces.size());
    std::vector<int64_t> firstNormal(mesh.positions.size(), -1);
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> copies;  // (position, normal) -> appended vertex
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
        for (size_t k = 0; k < mesh.faces[f].size(); ++k) {
            const uint32_t p = mesh.faces[f][k];
            uint32_t vertex = p;
            if (b->hasNormals) {
                const uint32_t n = mesh.faceNormals[f][k];
                if (firstNormal[p] < 0) {
                    firstNormal[p] = n;
                    b->vertices[p].normal = mesh.normals[n];
                } else if (firstNormal[p] != n) {
                    auto [it, added] = copies.emplace(std::make_pair(p, n), static_cast<uint32_t>(b->vertices.size()));
                    if (added) {
                        b->vertices.push_back(b->vertices[p]);
                        b->vertices.back().normal = mesh.normals[n];
                        b->sourcePosition.push_back(p);
                    }
                    vertex = it->second;
                }
            }
            corners[f].push_back(vertex);
        }
    }
    return corners;
}

void AddRange(const std::vector<Triangle>& triangles, size_t start, size_t end, XMeshBuffers* b) {
    uint32_t low = UINT32_MAX, high = 0;
    for (size_t t = start; t < end; ++t)
        for (uint32_t v : triangles[t].corners) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    b->attributes.push_back({triangles[start].material, static_cast<uint32_t>(start), static_cast<uint32_t>(end - start),
                             low, high - low + 1});
}

}  // namespace

bool BuildMeshBuffers(const XMeshData& mesh, XMeshBuffers* out, std::string* why) {
    XMeshBuffers b;
    b.hasNormals = !mesh.normals.empty();
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        XMeshVertex v{mesh.positions[i], {0, 0, 0}, 0xFFFFFFFFu, 0.0f, 0.0f};
        if (!mesh.vertexColors.empty()) v.diffuse = mesh.vertexColors[i];
        if (!mesh.texCoords.empty()) {
            v.u = mesh.texCoords[i][0];
            v.v = mesh.texCoords[i][1];
        }
        b.vertices.push_back(v);
        b.sourcePosition.push_back(static_cast<uint32_t>(i));
    }
    const std::vector<std::vector<uint32_t>> corners = SplitCorners(mesh, &b);
    if (b.vertices.size() > X_MAX_MESH_VERTICES) {
        if (why) *why = "too many vertices after splitting by normals";
        return false;
    }

    std::vector<Triangle> triangles;
    for (size_t f = 0; f < corners.size(); ++f)
        for (size_t k = 1; k + 1 < corners[f].size(); ++k)
            triangles.push_back({mesh.faceMaterials[f], {corners[f][0], corners[f][k], corners[f][k + 1]}});
    std::stable_sort(triangles.begin(), triangles.end(),
                     [](const Triangle& a, const Triangle& c) { return a.material < c.material; });
    for (const Triangle& t : triangles)
        for (uint32_t v : t.corners) b.indices.push_back(static_cast<uint16_t>(v));
    for (size_t start = 0; start < triangles.size();) {
        size_t end = start;
        while (end < triangles.size() && triangles[end].material == triangles[start].material) ++end;
        AddRange(triangles, start, end, &b);
        start = end;
    }
    *out = std::move(b);
    return true;
}

namespace {

struct Influence {
    uint32_t bone;
    float weight;
};

// The three strongest influences of each position, scaled to sum to 1.
std::vector<std::vector<Influence>> PositionInfluences(const XMeshData& mesh) {
    std::vector<std::vector<Influence>> all(mesh.positions.size());
    for (uint32_t bone = 0; bone < mesh.skinWeights.size(); ++bone) {
        const XSkinWeightsData& w = mesh.skinWeights[bone];
        for (size_t i = 0; i < w.vertexIndices.size(); ++i) all[w.vertexIndices[i]].push_back({bone, w.weights[i]});
    }
    for (auto& list : all) {
        std::stable_sort(list.begin(), list.end(), [](const Influence& a, const Influence& b) { return a.weight > b.weight; });
        if (list.size() > 3) list.resize(3);
        float sum = 0;
        for (const Influence& i : list) sum += i.weight;
        if (list.empty() || !(sum > 0.0f)) list = {{0, 1.0f}};
        else
            for (Influence& i : list) i.weight /= sum;
    }
    return all;
}

// Builds the combinations one triangle at a time.
class Skinner {
public:
    Skinner(const XMeshBuffers& buffers, std::vector<std::vector<Influence>> influences, uint32_t paletteSize,
            XSkinBuffers* out)
        : buffers_(buffers), influences_(std::move(influences)), paletteSize_(paletteSize), out_(out) {}

    bool Triangle(uint32_t attribId, const uint16_t* corners, std::string* why) {
        std::vector<uint32_t> bones;
        for (int k = 0; k < 3; ++k)
            for (const Influence& i : Of(corners[k]))
                if (std::find(bones.begin(), bones.end(), i.bone) == bones.end()) bones.push_back(i.bone);
        if (bones.size() > paletteSize_) {
            *why = "a triangle needs more bones than the palette holds";
            return false;
        }
        if (!Fits(attribId, bones)) Open(attribId);
        XBoneCombination& c = out_->combinations.back();
        for (uint32_t bone : bones)
            if (std::find(c.boneIds.begin(), c.boneIds.end(), bone) == c.boneIds.end())
                *std::find(c.boneIds.begin(), c.boneIds.end(), X_UNUSED_BONE) = bone;
        for (int k = 0; k < 3; ++k) out_->indices.push_back(Vertex(corners[k]));
        ++c.faceCount;
        c.vertexCount = static_cast<uint32_t>(out_->vertices.size()) - c.vertexStart;
        if (out_->vertices.size() > X_MAX_MESH_VERTICES) {
            *why = "too many vertices after splitting by bone palettes";
            return false;
        }
        return true;
    }

private:
    const std::vector<Influence>& Of(uint16_t vertex) const {
        return influences_[buffers_.sourcePosition[vertex]];
    }

    bool Fits(uint32_t attribId, const std::vector<uint32_t>& bones) const {
        if (out_->combinations.empty() || out_->combinations.back().attribId != attribId) return false;
        const std::vector<uint32_t>& ids = out_->combinations.back().boneIds;
        size_t free = static_cast<size_t>(std::count(ids.begin(), ids.end(), X_UNUSED_BONE));
        for (uint32_t bone : bones)
            if (std::find(ids.begin(), ids.end(), bone) == ids.end() && free-- == 0) return false;
        return true;
    }

    void Open(uint32_t attribId) {
        const uint32_t faces = static_cast<uint32_t>(out_->indices.size() / 3);
        const uint32_t vertices = static_cast<uint32_t>(out_->vertices.size());
        out_->combinations.push_back({attribId, faces, 0, vertices, 0, std::vector<uint32_t>(paletteSize_, X_UNUSED_BONE)});
        copies_.clear();
    }

    // The combination's own copy of a vertex, made at its first use.
    uint16_t Vertex(uint16_t source) {
        auto [it, added] = copies_.emplace(source, static_cast<uint32_t>(out_->vertices.size()));
        if (added) {
            const XMeshVertex& v = buffers_.vertices[source];
            const std::vector<uint32_t>& ids = out_->combinations.back().boneIds;
            XSkinVertex s{v.position, 0.0f, 0.0f, {0, 0, 0, 0}, v.normal, v.diffuse, v.u, v.v};
            const std::vector<Influence>& list = Of(source);
            for (size_t k = 0; k < list.size(); ++k)
                s.paletteSlots[k] = static_cast<uint8_t>(std::find(ids.begin(), ids.end(), list[k].bone) - ids.begin());
            s.weight0 = list[0].weight;
            s.weight1 = list.size() > 1 ? list[1].weight : 0.0f;
            out_->vertices.push_back(s);
        }
        return static_cast<uint16_t>(it->second);
    }

    const XMeshBuffers& buffers_;
    std::vector<std::vector<Influence>> influences_;
    uint32_t paletteSize_;
    XSkinBuffers* out_;
    std::map<uint16_t, uint32_t> copies_;
};

}  // namespace

bool BuildSkinBuffers(const XMeshData& mesh, const XMeshBuffers& buffers, uint32_t paletteSize, XSkinBuffers* out,
                      std::string* why) {
    XSkinBuffers skin;
    std::string reason;
    if (mesh.skinWeights.empty()) {
        if (why) *why = "mesh without bones";
        return false;
    }
    Skinner skinner(buffers, PositionInfluences(mesh), std::min<uint32_t>(paletteSize, 255), &skin);
    for (const XAttributeRange& range : buffers.attributes)
        for (uint32_t t = range.faceStart; t < range.faceStart + range.faceCount; ++t)
            if (!skinner.Triangle(range.attribId, &buffers.indices[3 * t], &reason)) {
                if (why) *why = reason;
                return false;
            }
    *out = std::move(skin);
    return true;
}

}  // namespace xfile
