#include "engine/models/height_field_node.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A grid of g x g cells, cell (i, j) a unit square over [i, i + 1] x [j, j + 1]
// with height i + j; the "meshes" are addresses into an array of tags.
class HeightFieldTreeTest : public testing::Test {
protected:
    static constexpr int32_t kGrid = 16;

    void Build() {
        root = new HeightFieldNode;
        nodes.PushBack(root);
        BuildHeightFieldNode(root, 0, 0, kGrid, kGrid, [this](int32_t index) {
            const float i = static_cast<float>(index % kGrid), j = static_cast<float>(index / kGrid);
            return HeightFieldCell{MeshOf(index), {i, 0, j}, {i + 1, i + j, j + 1}};
        }, &nodes);
    }
    Mesh* MeshOf(int32_t index) { return reinterpret_cast<Mesh*>(&tags[index]); }

    char tags[kGrid * kGrid] = {};
    ResourceList nodes;
    HeightFieldNode* root = nullptr;
};

TEST_F(HeightFieldTreeTest, SixteenBySixteenGridHas341NodesWithTheRootFirst) {
    Build();
    EXPECT_EQ(nodes.GetCount(), 1 + 4 + 16 + 64 + 256);
    EXPECT_EQ(nodes.GetHead(), root);
    int leaves = 0;
    for (ResourceObject* n = nodes.GetHead(); n; n = n->next) {
        const auto* node = static_cast<const HeightFieldNode*>(n);
        if (!node->cellMesh) continue;
        ++leaves;
        EXPECT_EQ(node->cellMesh, MeshOf(node->cellIndex));
        const int32_t i = static_cast<int32_t>(node->boxMin.x), j = static_cast<int32_t>(node->boxMin.z);
        EXPECT_EQ(node->cellIndex, kGrid * j + i);
    }
    EXPECT_EQ(leaves, kGrid * kGrid);
    // The root's box is the union of every cell's box.
    EXPECT_EQ(root->boxMin.x, 0);
    EXPECT_EQ(root->boxMax.x, 16);
    EXPECT_EQ(root->boxMax.y, 30);
    EXPECT_EQ(root->boxMax.z, 16);
    // Child 1 covers the cells from column 8 of the first eight rows.
    EXPECT_EQ(root->children[1]->boxMin.x, 8);
    EXPECT_EQ(root->children[1]->boxMax.z, 8);
}

TEST_F(HeightFieldTreeTest, DrawVisitsOnlyTheVisibleQuadrant) {
    Build();
    std::vector<int32_t> flags(kGrid * kGrid, 0);
    std::vector<Mesh*> drawn;
    int tested = 0;
    int32_t count = 0;
    // Only boxes reaching into the first quadrant (x and z below 8) are seen.
    root->Draw(&count, flags.data(),
               [&tested](const HeightFieldNode& n) {
                   ++tested;
                   return n.boxMin.x < 8 && n.boxMin.z < 8;
               },
               [&drawn](Mesh* mesh) { drawn.push_back(mesh); });
    EXPECT_EQ(count, 64);
    ASSERT_EQ(drawn.size(), 64u);
    for (int32_t j = 0; j < kGrid; ++j) {
        for (int32_t i = 0; i < kGrid; ++i) EXPECT_EQ(flags[kGrid * j + i], i < 8 && j < 8 ? 1 : 0) << i << "," << j;
    }
    // The hidden quadrants are not entered: root, its 4 children, and the
    // 4 + 16 + 64 nodes below the one visible child.
    EXPECT_EQ(tested, 1 + 4 + 4 + 16 + 64);
}

TEST(HeightFieldEmptyTest, EmptyGridLooksUpNoCell) {
    ResourceList nodes;
    auto* root = new HeightFieldNode;
    nodes.PushBack(root);
    bool looked = false;
    BuildHeightFieldNode(root, 0, 0, 0, 0, [&looked](int32_t) {
        looked = true;
        return HeightFieldCell{};
    }, &nodes);
    EXPECT_FALSE(looked);
    EXPECT_EQ(nodes.GetCount(), 1);
    int32_t count = 0;
    root->Draw(&count, nullptr, [](const HeightFieldNode&) { return true; }, [](Mesh*) { FAIL(); });
    EXPECT_EQ(count, 0);
}

}  // namespace
