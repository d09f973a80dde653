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

}  // namespace xfile
