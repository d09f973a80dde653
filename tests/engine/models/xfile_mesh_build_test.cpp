#include "engine/models/xfile_mesh_build.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

using namespace xfile;

// A cube of 8 shared corners and 6 quads with one normal per face.
XMeshData Cube() {
    XMeshData m;
    m.positions = {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {1, 1, 1}, {1, -1, 1}};
    m.faces = {{0, 1, 2, 3}, {7, 6, 5, 4}, {4, 5, 1, 0}, {3, 2, 6, 7}, {1, 5, 6, 2}, {4, 0, 3, 7}};
    m.normals = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (uint32_t f = 0; f < 6; ++f) m.faceNormals.push_back({f, f, f, f});
    m.faceMaterials = {0, 0, 1, 1, 0, 1};
    m.materials.resize(2);
    return m;
}

bool Same(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

TEST(XMeshBuild, CornersWithOtherNormalsBecomeNewVertices) {
    const XMeshData cube = Cube();
    XMeshBuffers b;
    ASSERT_TRUE(BuildMeshBuffers(cube, &b, nullptr));
    EXPECT_TRUE(b.hasNormals);
    ASSERT_EQ(b.vertices.size(), 24u) << "each corner of the cube carries three normals";
    ASSERT_EQ(b.sourcePosition.size(), 24u);
    EXPECT_TRUE(Same(b.vertices[0].normal, {0, 0, -1})) << "a position keeps the normal of its first corner";
    std::set<std::tuple<float, float, float, float, float, float>> distinct;
    for (size_t v = 0; v < b.vertices.size(); ++v) {
        EXPECT_TRUE(Same(b.vertices[v].position, cube.positions[b.sourcePosition[v]])) << v;
        const Vector3 &p = b.vertices[v].position, &n = b.vertices[v].normal;
        distinct.insert({p.x, p.y, p.z, n.x, n.y, n.z});
    }
    EXPECT_EQ(distinct.size(), 24u);
    ASSERT_EQ(b.indices.size(), 36u);
    for (size_t t = 0; t < 12; ++t) {
        const Vector3& n = b.vertices[b.indices[3 * t]].normal;
        EXPECT_TRUE(Same(n, b.vertices[b.indices[3 * t + 1]].normal) && Same(n, b.vertices[b.indices[3 * t + 2]].normal));
        // The corners lie on the face the normal belongs to.
        for (int k = 0; k < 3; ++k) EXPECT_EQ(b.vertices[b.indices[3 * t + k]].position.Dot(n), 1.0) << t;
    }
    ASSERT_EQ(b.attributes.size(), 2u);
    EXPECT_EQ(b.attributes[0].attribId, 0u);
    EXPECT_EQ(b.attributes[0].faceStart, 0u);
    EXPECT_EQ(b.attributes[0].faceCount, 6u);
    EXPECT_EQ(b.attributes[1].attribId, 1u);
    EXPECT_EQ(b.attributes[1].faceStart, 6u);
    EXPECT_EQ(b.attributes[1].faceCount, 6u);
}

// Polygons become fans; triangles are sorted by material, file order kept
// within one, and each run names the vertices it uses.
TEST(XMeshBuild, FansSortedByMaterial) {
    XMeshData m;
    for (int i = 0; i < 9; ++i) m.positions.push_back({static_cast<float>(i), 0, 0});
    m.faces = {{0, 1, 2, 3, 4}, {5, 6, 7}, {2, 3, 4}, {6, 7, 8}};
    m.faceMaterials = {1, 0, 1, 0};
    m.materials.resize(3);
    m.texCoords.assign(9, {0.25f, 0.5f});
    m.vertexColors.assign(9, 0xFF102030u);
    XMeshBuffers b;
    ASSERT_TRUE(BuildMeshBuffers(m, &b, nullptr));
    EXPECT_FALSE(b.hasNormals);
    EXPECT_EQ(b.vertices.size(), 9u);
    EXPECT_TRUE(Same(b.vertices[4].normal, {0, 0, 0}));
    EXPECT_EQ(b.vertices[4].u, 0.25f);
    EXPECT_EQ(b.vertices[4].diffuse, 0xFF102030u);
    EXPECT_EQ(b.indices, (std::vector<uint16_t>{5, 6, 7, 6, 7, 8, 0, 1, 2, 0, 2, 3, 0, 3, 4, 2, 3, 4}));
    ASSERT_EQ(b.attributes.size(), 2u) << "material 2 has no triangles and no run";
    EXPECT_EQ(b.attributes[0].attribId, 0u);
    EXPECT_EQ(b.attributes[0].faceCount, 2u);
    EXPECT_EQ(b.attributes[0].vertexStart, 5u);
    EXPECT_EQ(b.attributes[0].vertexCount, 4u);
    EXPECT_EQ(b.attributes[1].faceStart, 2u);
    EXPECT_EQ(b.attributes[1].faceCount, 4u);
    EXPECT_EQ(b.attributes[1].vertexStart, 0u);
    EXPECT_EQ(b.attributes[1].vertexCount, 5u);
}

TEST(XMeshBuild, MissingCoordinatesAndColoursGiveZeroAndWhite) {
    XMeshData m;
    m.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    m.faces = {{0, 1, 2}};
    m.faceMaterials = {0};
    m.materials.resize(1);
    XMeshBuffers b;
    ASSERT_TRUE(BuildMeshBuffers(m, &b, nullptr));
    EXPECT_EQ(b.vertices[2].diffuse, 0xFFFFFFFFu);
    EXPECT_EQ(b.vertices[2].u, 0.0f);
    EXPECT_EQ(b.vertices[2].v, 0.0f);
}

TEST(XMeshBuild, RefusesMoreVerticesThanSixteenBitIndicesReach) {
    XMeshData m;
    const uint32_t count = 39999;  // within the limit until every corner splits
    for (uint32_t i = 0; i < count; ++i) m.positions.push_back({static_cast<float>(i), 0, 0});
    m.normals = {{0, 0, 1}, {0, 0, -1}};
    for (uint32_t n = 0; n < 2; ++n)
        for (uint32_t i = 0; i < count; i += 3) {
            m.faces.push_back({i, i + 1, i + 2});
            m.faceNormals.push_back({n, n, n});
        }
    m.faceMaterials.assign(m.faces.size(), 0);
    m.materials.resize(1);
    XMeshBuffers b;
    std::string why;
    EXPECT_FALSE(BuildMeshBuffers(m, &b, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(b.vertices.empty());
}

}  // namespace
