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

// A strip of triangles (0,1,2), (1,3,2), (2,3,4), ... over `positions`
// vertices, all of material 0 unless told, with the given bone weights.
XMeshData Strip(uint32_t positions, std::vector<std::vector<std::pair<uint32_t, float>>> weights, uint32_t bones) {
    XMeshData m;
    for (uint32_t i = 0; i < positions; ++i) m.positions.push_back({static_cast<float>(i), 0, 0});
    for (uint32_t i = 0; i + 2 < positions; ++i) m.faces.push_back(i % 2 ? std::vector<uint32_t>{i, i + 2, i + 1}
                                                                        : std::vector<uint32_t>{i, i + 1, i + 2});
    m.faceMaterials.assign(m.faces.size(), 0);
    m.materials.resize(2);
    m.skinWeights.resize(bones);
    for (uint32_t v = 0; v < weights.size(); ++v)
        for (auto [bone, w] : weights[v]) {
            m.skinWeights[bone].vertexIndices.push_back(v);
            m.skinWeights[bone].weights.push_back(w);
        }
    return m;
}

XSkinBuffers Skin(const XMeshData& m, uint32_t palette, bool* ok = nullptr, std::string* why = nullptr) {
    XMeshBuffers b;
    EXPECT_TRUE(BuildMeshBuffers(m, &b, nullptr));
    XSkinBuffers s;
    const bool built = BuildSkinBuffers(m, b, palette, &s, why);
    if (ok) *ok = built;
    else EXPECT_TRUE(built);
    return s;
}

// The bone of a vertex's palette slot k in its combination.
uint32_t BoneOf(const XSkinBuffers& s, const XBoneCombination& c, uint16_t vertex, int k) {
    return c.boneIds[s.vertices[vertex].paletteSlots[k]];
}

TEST(XSkinBuild, StrongestThreeInfluencesScaledAndPaletteSlotsPointAtTheirBones) {
    const XMeshData m = Strip(4, {{{0, 1.0f}}, {{0, 0.5f}, {1, 0.5f}}, {{0, 0.1f}, {1, 0.4f}, {2, 0.3f}, {3, 0.2f}}, {}}, 4);
    const XSkinBuffers s = Skin(m, 23);
    ASSERT_EQ(s.combinations.size(), 1u);
    const XBoneCombination& c = s.combinations[0];
    EXPECT_EQ(c.faceStart, 0u);
    EXPECT_EQ(c.faceCount, 2u);
    EXPECT_EQ(c.vertexCount, 4u);
    ASSERT_EQ(c.boneIds.size(), 23u);
    EXPECT_EQ(std::count(c.boneIds.begin(), c.boneIds.end(), X_UNUSED_BONE), 19);
    ASSERT_EQ(s.indices.size(), 6u);
    auto vertexOf = [&](float x) {
        for (uint16_t v = 0; v < s.vertices.size(); ++v)
            if (s.vertices[v].position.x == x) return v;
        ADD_FAILURE() << "no vertex at " << x;
        return uint16_t{0};
    };
    const uint16_t v0 = vertexOf(0), v1 = vertexOf(1), v2 = vertexOf(2), v3 = vertexOf(3);
    EXPECT_EQ(BoneOf(s, c, v0, 0), 0u);
    EXPECT_EQ(s.vertices[v0].weight0, 1.0f);
    EXPECT_EQ(s.vertices[v0].weight1, 0.0f);
    EXPECT_EQ(s.vertices[v1].weight0 + s.vertices[v1].weight1, 1.0f);
    // Bones 1, 2 and 3 of weights 0.4, 0.3 and 0.2, scaled by 1 / 0.9; bone 0 dropped.
    EXPECT_EQ(BoneOf(s, c, v2, 0), 1u);
    EXPECT_EQ(BoneOf(s, c, v2, 1), 2u);
    EXPECT_EQ(BoneOf(s, c, v2, 2), 3u);
    EXPECT_NEAR(s.vertices[v2].weight0, 0.4f / 0.9f, 1e-6);
    EXPECT_NEAR(s.vertices[v2].weight1, 0.3f / 0.9f, 1e-6);
    EXPECT_NEAR(1.0f - s.vertices[v2].weight0 - s.vertices[v2].weight1, 0.2f / 0.9f, 1e-6);
    EXPECT_EQ(BoneOf(s, c, v3, 0), 0u) << "a vertex without influences follows bone 0";
    EXPECT_EQ(s.vertices[v3].weight0, 1.0f);
}

TEST(XSkinBuild, FullPaletteOrNewMaterialStartsACombinationWithItsOwnVertices) {
    // Triangle 0 uses bones 0, 1, 2; triangle 1 adds bone 3; triangle 2 bone 3 only.
    XMeshData m = Strip(5, {{{0, 1}}, {{1, 1}}, {{2, 1}}, {{3, 1}}, {{3, 1}}}, 4);
    XSkinBuffers s = Skin(m, 3);
    ASSERT_EQ(s.combinations.size(), 2u);
    EXPECT_EQ(s.combinations[0].faceCount, 1u);
    EXPECT_EQ(s.combinations[1].faceStart, 1u);
    EXPECT_EQ(s.combinations[1].faceCount, 2u);
    EXPECT_EQ(s.combinations[1].vertexStart, 3u) << "vertices 1 and 2 are copied into the second combination";
    EXPECT_EQ(s.combinations[1].vertexCount, 4u);
    EXPECT_EQ(s.vertices.size(), 7u);
    for (const XBoneCombination& c : s.combinations)
        for (uint32_t t = c.faceStart; t < c.faceStart + c.faceCount; ++t)
            for (int k = 0; k < 3; ++k) {
                const uint16_t v = s.indices[3 * t + k];
                EXPECT_GE(v, c.vertexStart);
                EXPECT_LT(v, c.vertexStart + c.vertexCount);
                EXPECT_EQ(BoneOf(s, c, v, 0), static_cast<uint32_t>(std::min(s.vertices[v].position.x, 3.0f)));
            }

    m.faceMaterials = {0, 0, 1};
    s = Skin(m, 23);
    ASSERT_EQ(s.combinations.size(), 2u) << "one palette fits, but materials draw apart";
    EXPECT_EQ(s.combinations[1].attribId, 1u);
}

TEST(XSkinBuild, RefusesTrianglesBeyondThePaletteAndMeshesWithoutBones) {
    bool ok = true;
    std::string why;
    Skin(Strip(3, {{{0, 0.5f}, {1, 0.5f}}, {{2, 1}}, {{3, 1}}}, 4), 3, &ok, &why);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(why.empty());
    Skin(Strip(3, {}, 0), 23, &ok, &why);
    EXPECT_FALSE(ok);
}

}  // namespace
