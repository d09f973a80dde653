#include "engine/models/primitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "engine/models/frame.h"
#include "engine/models/mesh.h"
#include "tests/engine/models/model_fixture.h"

namespace {

class PrimitivesTest : public ModelLayerTest {};

std::vector<uint16_t> FirstIndices(const Mesh* mesh, size_t n) {
    return std::vector<uint16_t>(mesh->indices.begin(), mesh->indices.begin() + n);
}

TEST_F(PrimitivesTest, EachGeneratorBuildsOneMeshWithItsCountsAndIndices) {
    struct Case {
        const char* name;
        std::function<Model*()> make;
        int vertices, indices;
        std::vector<uint16_t> firstIndices;
    };
    const Case cases[] = {
        {"billboard", [] { return CreateBillboardModel(2, 4, nullptr); }, 4, 6, {0, 1, 2, 2, 1, 3}},
        {"plane 2x2", [] { return CreatePlaneModelXY(10, 6, 2, 2, 1, nullptr); }, 4, 6, {2, 1, 0, 3, 1, 2}},
        {"plane 4x3", [] { return CreatePlaneModelXZ(10, 6, 4, 3, 1, nullptr); }, 12, 36, {4, 1, 0, 5, 1, 4}},
        {"cube", [] { return CreateCubeModel(2, 4, 6, nullptr); }, 24, 36, {0, 1, 2, 3, 2, 1, 4, 5, 6}},
        {"sphere 20x20", [] { return CreateSphereModel(1, 2, 3, 20, 20, nullptr); }, 420, 2280, {0, 1, 21, 1, 22, 21}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Model* model = c.make();
        ASSERT_EQ(model->GetMeshCount(), 1);
        const Mesh* mesh = model->GetMesh(0);
        EXPECT_EQ(mesh->vertexCount, c.vertices);
        EXPECT_EQ(mesh->indexCount, c.indices);
        EXPECT_EQ(FirstIndices(mesh, c.firstIndices.size()), c.firstIndices);
        EXPECT_EQ(mesh->frame, model->rootFrame);
        EXPECT_EQ(mesh->GetMaterial(0)->GetPrimitiveCount(), static_cast<uint32_t>(c.indices / 3));
        EXPECT_NE(mesh->vertexBuffer, nullptr);
        EXPECT_EQ(mesh->shaderKey, 0x10010801u);
        for (const WorkVertex& v : mesh->vertices) EXPECT_EQ(v.diffuse, 0xFFFFFFFFu);
        model->Release();
    }
}

TEST_F(PrimitivesTest, PlaneCornersAndTextureRepeatAboutTheCentre) {
    Model* plane = CreatePlaneModelXY(10, 6, 2, 2, 1, nullptr);
    const Mesh* mesh = plane->GetMesh(0);
    // Row 0 is the bottom edge; v runs from 1 at the bottom to 0 at the top.
    const float expected[4][5] = {{-5, -3, 0, 0, 1}, {5, -3, 0, 1, 1}, {-5, 3, 0, 0, 0}, {5, 3, 0, 1, 0}};
    for (int k = 0; k < 4; ++k) {
        const WorkVertex& v = mesh->vertices[k];
        EXPECT_EQ((std::vector<float>{v.position[0], v.position[1], v.position[2], v.u, v.v}),
                  (std::vector<float>(expected[k], expected[k] + 5)));
        EXPECT_EQ(v.normal[2], -1.0f);
    }
    Model* twice = CreatePlaneModelXZ(10, 6, 2, 2, 2, nullptr);
    const WorkVertex& corner = twice->GetMesh(0)->vertices[3];
    EXPECT_EQ((std::vector<float>{corner.position[1], corner.position[2], corner.u, corner.v}),
              (std::vector<float>{0, 3, 1.5f, -0.5f}));
    EXPECT_EQ(corner.normal[2], -1.0f);  // the XZ plane keeps the XY plane's normal
}

TEST_F(PrimitivesTest, SphereRingsRunFromTheTopPoleToTheBottomPole) {
    Model* sphere = CreateSphereModel(1, 2, 3, 20, 20, nullptr);
    const Mesh* mesh = sphere->GetMesh(0);
    for (int s = 0; s <= 20; ++s) {
        const WorkVertex& top = mesh->vertices[s];
        EXPECT_NEAR(top.position[0], 0.0f, 1e-6f);
        EXPECT_EQ(top.position[1], 2.0f);
        EXPECT_NEAR(top.position[2], 0.0f, 1e-6f);
        EXPECT_EQ(mesh->vertices[19 * 21 + s].position[1], -2.0f);
    }
    // The equator point of s = 5 (theta = 3/2 pi) lies on -x; normals are the
    // positions normalised.
    const WorkVertex& side = mesh->vertices[10 * 21 + 5];
    const float phi = 10 * 3.14159265358979f / 19;
    EXPECT_NEAR(side.position[0], -std::sin(phi), 1e-5f);
    const float length = std::sqrt(side.position[0] * side.position[0] + side.position[1] * side.position[1] +
                                   side.position[2] * side.position[2]);
    EXPECT_NEAR(side.normal[0], side.position[0] / length, 1e-6f);
    EXPECT_FLOAT_EQ(side.u, 0.75f);
    EXPECT_EQ(mesh->boxMax.y, 2.0f);
    EXPECT_LT(mesh->boxMax.z, 3.0f);  // no ring lies on the equator
}

TEST_F(PrimitivesTest, ParameterErrorsGiveAListedModelWithoutFrameOrMesh) {
    const std::function<Model*()> bad[] = {
        [] { return CreatePlaneModelXY(1, 1, 1, 5, 1, nullptr); },
        [] { return CreatePlaneModelXZ(1, 1, 5, 1, 1, nullptr); },
        [] { return CreatePlaneModelXY(1, 1, 300, 300, 1, nullptr); },  // beyond 16-bit indices
        [] { return CreateSphereModel(1, 1, 1, 2, 20, nullptr); },
        [] { return CreateSphereModel(1, 1, 1, 20, 2, nullptr); },
    };
    for (size_t i = 0; i < std::size(bad); ++i) {
        const int before = modelList.GetCount();
        Model* model = bad[i]();
        EXPECT_EQ(model->rootFrame, nullptr) << i;
        EXPECT_EQ(model->GetMeshCount(), 0) << i;
        EXPECT_EQ(modelList.GetCount(), before + 1) << i;
        model->Draw();
    }
}

TEST_F(PrimitivesTest, NameCountersCountModelsPerGeneratorAndTheTwoPlanesShareOne) {
    Model* a = CreatePlaneModelXY(1, 1, 2, 2, 1, nullptr);
    Model* refused = CreatePlaneModelXY(1, 1, 1, 1, 1, nullptr);  // names nothing
    Model* b = CreatePlaneModelXZ(1, 1, 2, 2, 1, nullptr);
    Model* cube = CreateCubeModel(1, 1, 1, nullptr);
    EXPECT_STREQ(a->rootFrame->GetName(), "Frame_Plane_00");
    EXPECT_STREQ(b->rootFrame->GetName(), "Frame_Plane_01");
    EXPECT_STREQ(b->GetMesh(0)->GetName(), "Mesh_Plane_01");
    EXPECT_STREQ(cube->rootFrame->GetName(), "Frame_Cube_00");
    EXPECT_EQ(b->FindMeshIndex("Mesh_Plane_01"), 0);
    // A new start of the layer finds no model left, as at shut-down.
    for (Model* m : {a, refused, b, cube}) m->Release();
    InitializeModels();
    EXPECT_STREQ(CreateCubeModel(1, 1, 1, nullptr)->rootFrame->GetName(), "Frame_Cube_00");
}

// A square A8R8G8B8 height image whose red byte is red(i, j).
struct HeightPicture {
    HeightPicture(int width, int height, const std::function<uint8_t(int, int)>& red) : w(width), h(height) {
        pixels.assign(static_cast<size_t>(w) * h * 4, 0);
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) pixels[(static_cast<size_t>(j) * w + i) * 4 + 2] = red(i, j);
        }
    }
    HeightImage image(gpu::D3DFORMAT format = gpu::D3DFMT_A8R8G8B8) const {
        return {w, h, format, pixels.data(), w * 4};
    }
    int w, h;
    std::vector<uint8_t> pixels;
};

TEST_F(PrimitivesTest, HeightFieldSizesAndRefusals) {
    const auto flat = [](int, int) -> uint8_t { return 0; };
    struct Case {
        int width, height, meshNum;
        gpu::D3DFORMAT format;
        bool hasFrame;
        int meshes;
    };
    const Case cases[] = {
        {161, 161, 16, gpu::D3DFMT_A8R8G8B8, true, 256},
        {171, 171, 16, gpu::D3DFMT_A8R8G8B8, true, 256},  // 171 mod 10 = 1: the last ten rows are unused
        {160, 160, 16, gpu::D3DFMT_A8R8G8B8, false, 0},   // size error
        {161, 160, 16, gpu::D3DFMT_A8R8G8B8, false, 0},   // not square
        {161, 161, 16, gpu::D3DFMT_X8R8G8B8, true, 0},    // not made for wide use
        {9, 9, 0, gpu::D3DFMT_A8R8G8B8, false, 0},        // no cells
        {9, 9, 16, gpu::D3DFMT_A8R8G8B8, false, 0},       // image smaller than the grid
        {513, 513, 2, gpu::D3DFMT_A8R8G8B8, true, 0},     // 257 x 257 vertices per cell overflow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "/" + std::to_string(c.meshNum));
        const HeightPicture picture(c.width, c.height, flat);
        Model* model = CreateHeightFieldModel(picture.image(c.format), c.meshNum, 2000, 2000, 300, 10, nullptr);
        EXPECT_EQ(model->rootFrame != nullptr, c.hasFrame);
        ASSERT_EQ(model->GetMeshCount(), c.meshes);
        model->Draw();
        EXPECT_EQ(model->GetHeightAt(1, 1, nullptr), 0.0f);
        if (c.meshes) {
            EXPECT_EQ(model->GetMesh(0)->vertexCount, 121);
            EXPECT_EQ(model->GetMesh(0)->indexCount, 600);
            EXPECT_EQ(std::string(model->rootFrame->GetName()).rfind("HightField_", 0), 0u);
            EXPECT_EQ(model->GetMesh(17)->GetName(), std::string(model->rootFrame->GetName()) + "_1_1");
            EXPECT_EQ(model->gridCellsPerSide, 16);
            EXPECT_EQ(model->cellVerticesPerRow, 11);
            EXPECT_EQ(model->quadSizeX, 12.5f);
            EXPECT_EQ(model->heightFieldNodes.GetCount(), 1 + 4 + 16 + 64 + 256);
            EXPECT_EQ(model->cellFlags.size(), 256u);
            EXPECT_EQ(model->GetMesh(255)->culling, 0);
        }
        model->Release();
    }
}

TEST_F(PrimitivesTest, FlatFieldHasUpNormalsAndARampGivesItsHeights) {
    const HeightPicture black(33, 33, [](int, int) -> uint8_t { return 0; });
    Model* flat = CreateHeightFieldModel(black.image(), 4, 64, 64, 100, 1, nullptr);
    ASSERT_EQ(flat->GetMeshCount(), 16);
    for (ResourceObject* node = flat->meshes.head; node; node = node->next) {
        for (const WorkVertex& v : static_cast<Mesh*>(node)->vertices) {
            ASSERT_EQ((std::vector<float>{v.position[1], v.normal[0], v.normal[1], v.normal[2]}),
                      (std::vector<float>{0, 0, 1, 0}));
        }
    }
    // Red rises by 5 per column: y = 5 i x 255 / 255 = 5 i over x = 2 i - 32.
    const HeightPicture ramp(33, 33, [](int i, int) { return static_cast<uint8_t>(5 * i); });
    Model* slope = CreateHeightFieldModel(ramp.image(), 4, 64, 64, 255, 1, nullptr);
    Vector3 normal{};
    EXPECT_NEAR(slope->GetHeightAt(-31.0f, 3.3f, &normal), 2.5f, 1e-4f);
    EXPECT_NEAR(slope->GetHeightAt(20.5f, -7.0f, nullptr), 131.25f, 1e-3f);
    // The surface faces up and away from the rise (-x).
    EXPECT_LT(normal.x, 0.0f);
    EXPECT_GT(normal.y, 0.0f);
    EXPECT_NEAR(normal.x / normal.y, -2.5f, 1e-4f);
    EXPECT_EQ(slope->GetHeightAt(-32.0f, 0.0f, nullptr), 0.0f);  // on the edge: outside
    EXPECT_NEAR(slope->GetHeightAt(31.9999f, 31.9999f, nullptr), 160.0f, 1e-2f);
    // Cells share their border normals.
    const WorkVertex& left = slope->GetMesh(0)->vertices[8];
    const WorkVertex& right = slope->GetMesh(1)->vertices[0];
    EXPECT_EQ((std::vector<float>(left.normal, left.normal + 3)), (std::vector<float>(right.normal, right.normal + 3)));
}

}  // namespace
