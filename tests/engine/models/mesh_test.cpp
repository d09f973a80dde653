#include "engine/models/mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "engine/graphics/light.h"
#include "engine/graphics/render_state.h"
#include "engine/models/frame.h"
#include "engine/models/primitives.h"
#include "engine/models/skinned_mesh.h"
#include "tests/engine/models/model_fixture.h"

namespace {

class MeshTest : public ModelLayerTest {
protected:
    // A plain mesh of the given triangles with one material, not yet on a model.
    Mesh* MakeMesh(const std::vector<std::vector<float>>& positions, const std::vector<uint16_t>& indices) {
        auto* mesh = new Mesh;
        owned.push_back(mesh);
        mesh->layout = 0;
        mesh->stride = 36;
        mesh->AllocateArrays(static_cast<int32_t>(positions.size()), static_cast<int32_t>(indices.size()));
        for (size_t i = 0; i < positions.size(); ++i) {
            const float up[3] = {0, 1, 0}, uv[2] = {0, 0};
            FillWorkVertices(&mesh->vertices[i], positions[i].data(), up, uv, 1);
        }
        std::copy(indices.begin(), indices.end(), mesh->indices.begin());
        auto* material = new Material;
        material->SetIndexRange(0, static_cast<uint32_t>(indices.size() / 3));
        mesh->materials.PushBack(material);
        return mesh;
    }
    void TearDown() override {
        for (Mesh* m : owned) m->Release();
        ModelLayerTest::TearDown();
    }
    std::vector<Mesh*> owned;
};

template <typename T>
T At(const std::vector<uint8_t>& bytes, size_t offset) {
    T value;
    std::memcpy(&value, &bytes[offset], sizeof value);
    return value;
}

TEST(VertexPackingTest, EachLayoutPlacesTheWorkWordsAtItsOffsets) {
    WorkVertex v{};
    for (int i = 0; i < 3; ++i) {
        v.position[i] = 1.0f + i;
        v.normal[i] = 4.0f + i;
        v.morphPosition[i] = 7.0f + i;
        v.morphNormal[i] = 10.0f + i;
    }
    v.weights[0] = 0.25f;
    v.weights[1] = 0.5f;
    v.boneIndices = 0x04030201;
    v.diffuse = 0x80FF4020;
    v.u = 0.125f;
    v.v = 0.75f;
    struct Case {
        int layout, stride;
        size_t morph, weights, indices, diffuse;  // 0: not packed
    };
    const Case cases[] = {{0, 36, 0, 0, 0, 24}, {1, 60, 24, 0, 0, 48}, {2, 52, 0, 24, 32, 40},
                          {3, 76, 24, 48, 56, 64}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        ASSERT_EQ(LayoutStride(c.layout), c.stride);
        std::vector<uint8_t> bytes(2 * c.stride + 4, 0xEE);
        const WorkVertex two[2] = {v, v};
        PackVertices(two, 2, c.layout, bytes.data());
        EXPECT_EQ(At<uint32_t>(bytes, 2 * c.stride), 0xEEEEEEEEu);  // nothing past the second vertex
        const size_t second = c.stride;
        EXPECT_EQ(At<float>(bytes, second + 0), 1.0f);
        EXPECT_EQ(At<float>(bytes, second + 20), 6.0f);
        if (c.morph) {
            EXPECT_EQ(At<float>(bytes, second + c.morph), 7.0f);
            EXPECT_EQ(At<float>(bytes, second + c.morph + 12), 10.0f);
        }
        if (c.weights) {
            EXPECT_EQ(At<float>(bytes, second + c.weights + 4), 0.5f);
            EXPECT_EQ(At<uint32_t>(bytes, second + c.indices), 0x04030201u);
            EXPECT_EQ(At<uint32_t>(bytes, second + c.indices + 4), 0x04030201u);
        }
        EXPECT_EQ(At<uint32_t>(bytes, second + c.diffuse), 0x80FF4020u);
        EXPECT_EQ(At<float>(bytes, second + c.diffuse + 8), 0.75f);
    }
    std::vector<uint8_t> untouched(8, 0xEE);
    PackVertices(&v, 1, kLayoutUnset, untouched.data());
    EXPECT_EQ(untouched, std::vector<uint8_t>(8, 0xEE));
}

TEST_F(MeshTest, NormalsWeighEachFaceByItsAngleAtTheVertex) {
    // Two faces meeting at the origin at right angles: one in the floor
    // (normal +y), one in the wall x = 0 (normal +x), both with a right
    // angle at the origin; vertex 1 lies only in the floor.
    Mesh* mesh = MakeMesh({{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2, 0, 3, 1});
    mesh->ComputeVertexNormals();
    const float h = std::sqrt(0.5f);
    const auto normal = [&](int k) {
        const float* n = mesh->vertices[k].normal;
        return std::vector<float>{n[0], n[1], n[2]};
    };
    EXPECT_NEAR(normal(0)[0], h, 1e-6f);
    EXPECT_NEAR(normal(0)[1], h, 1e-6f);
    EXPECT_EQ(normal(2), (std::vector<float>{0, 1, 0}));
    EXPECT_EQ(normal(3), (std::vector<float>{1, 0, 0}));
    // Vertex 1 is in both with 45-degree angles: the same mix.
    EXPECT_NEAR(normal(1)[0], h, 1e-6f);
    Mesh* empty = MakeMesh({{0, 0, 0}}, {});
    empty->ComputeVertexNormals();
    EXPECT_EQ(std::vector<float>(empty->vertices[0].normal, empty->vertices[0].normal + 3),
              (std::vector<float>{0, 0, 0}));
}

TEST_F(MeshTest, MorphTargetNeedsEqualCountsAndMovesToTheMorphLayout) {
    Mesh* base = MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2});
    Mesh* target = MakeMesh({{0, 0, 5}, {1, 0, 5}, {0, 1, 5}}, {0, 1, 2});
    Mesh* other = MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {0, 1, 2});
    base->CreateBuffers(nullptr);
    const char* refused = base->SetMorphTarget(other, nullptr);
    ASSERT_NE(refused, nullptr);
    EXPECT_STREQ(refused, "\x92\xB8\x93\x5F\x90\x94\x82\xAA\x88\xEA\x92\x76\x82\xB5\x82\xDC\x82\xB9\x82\xF1");
    EXPECT_EQ(base->layout, 0);
    EXPECT_EQ(base->vertices[0].morphPosition[2], 0.0f);

    EXPECT_EQ(base->SetMorphTarget(target, nullptr), nullptr);
    EXPECT_EQ(base->layout, 1);
    EXPECT_EQ(base->stride, 60);
    EXPECT_EQ(base->vertexKind, static_cast<uint32_t>(VERTEX_MORPH));
    EXPECT_EQ(base->shaderKey, 0x10010802u);
    EXPECT_EQ(base->vertices[2].morphPosition[2], 5.0f);
    // The box covers both shapes.
    EXPECT_EQ(base->boxMin.z, 0.0f);
    EXPECT_EQ(base->boxMax.z, 5.0f);
    EXPECT_FLOAT_EQ(base->boundingRadius, (1 + 1 + 5) * 0.16666667f);

    auto* skinned = new SkinnedMesh;
    owned.push_back(skinned);
    skinned->layout = 2;
    skinned->stride = 52;
    skinned->AllocateArrays(3, 3);
    EXPECT_EQ(skinned->SetMorphTarget(target, nullptr), nullptr);
    EXPECT_EQ(skinned->layout, 3);
    EXPECT_EQ(skinned->stride, 76);
    EXPECT_EQ(skinned->vertexKind, static_cast<uint32_t>(VERTEX_SKINNED_MORPH));
}

TEST_F(MeshTest, ApplyLightsBakesTheFourLightsIntoTheVertexColours) {
    const float colours[4][3] = {{0.5f, 0.25f, 1.0f}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    for (int i = 0; i < 4; ++i) SetLightColor(i, colours[i][0], colours[i][1], colours[i][2]);
    Vector3 down{0, -1, 0}, zero{0, 0, 0};
    SetLightDirection(0, &down);
    for (int i = 1; i < 4; ++i) SetLightDirection(i, &zero);
    SetAmbientLevel(0.1f);
    Mesh* mesh = MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {0, 1, 2});
    const float normals[3][3] = {{0, 2, 0}, {0, -1, 0}, {0, 0, 0}};
    for (int k = 0; k < 3; ++k) std::copy_n(normals[k], 3, mesh->vertices[k].normal);
    Matrix world;
    world.SetIdentity();
    mesh->ApplyLights(&world, nullptr);
    // Facing the light: (0.1 + 1) x colour, blue clamped; facing away or
    // without a normal: the ambient share alone.
    EXPECT_EQ(mesh->vertices[0].diffuse, 0xFF8C46FFu);
    EXPECT_EQ(mesh->vertices[1].diffuse, 0xFF0C0619u);
    EXPECT_EQ(mesh->vertices[2].diffuse, 0xFF0C0619u);
    SetAmbientLevel(-2.0f);  // negative sums clamp to black instead of wrapping
    mesh->ApplyLights(&world, nullptr);
    EXPECT_EQ(mesh->vertices[1].diffuse, 0xFF000000u);
    SetAmbientLevel(0.0f);
    SetLightColor(0, 0, 0, 0);
}

TEST_F(MeshTest, DrawCullsSharesTheShaderKeyAndSkipsDepthTextures) {
    ApplyCameraFacingOrigin(60);
    Model* model = CreatePlaneModelXY(2, 2, 2, 2, 1, nullptr);
    Model* twin = CreatePlaneModelXY(2, 2, 2, 2, 1, nullptr);
    model->Update(0);
    twin->Update(0);
    auto* device = graphics.device();
    const auto primitives = [&] { return graphics.host.primitives; };

    ASSERT_EQ(BeginScene(), 1);
    device->ClearCalls();
    model->Draw();
    twin->Draw();
    EXPECT_EQ(primitives(), 4);
    EXPECT_EQ(device->CallsNamed("SetVertexShader").size(), 1u);  // equal keys: set once

    model->SetPosition(500, 0, 0);  // far outside the view
    model->Update(0);
    model->Draw();
    EXPECT_EQ(primitives(), 4);
    model->SetMeshCulling(0, Model::kAll);
    model->Draw();
    EXPECT_EQ(primitives(), 6);

    // A draw with its own vertex format forgets the key: the next mesh sets its shader again.
    device->ClearCalls();
    model->DrawBoundingBoxes(0xFFFFFFFF);
    twin->Draw();
    EXPECT_EQ(device->CallsNamed("SetVertexShader").size(), 2u);
    EXPECT_EQ(device->CallsNamed("DrawPrimitiveUP").size(), 1u);
    EndScene();
}

using Vec4 = std::vector<float>;

// The last value the device got for each constant register.
std::map<uint32_t, Vec4> LastConstants(const test::RecordingDevice& device) {
    std::map<uint32_t, Vec4> out;
    for (const test::DeviceCall& call : device.CallsNamed("SetVertexShaderConstant")) {
        for (uint32_t r = 0; r < call.args[1]; ++r) {
            out[call.args[0] + r] = Vec4(call.matrix.begin() + 4 * r, call.matrix.begin() + 4 * r + 4);
        }
    }
    return out;
}

TEST_F(MeshTest, DrawSetsTheConstantsOfItsModes) {
    ApplyCameraFacingOrigin(60);
    SetFog(10, 110, 0);
    SetAmbientLevel(0.25f);
    SetLightColor(0, 0.5f, 0.25f, 1.0f);
    SetLightColor(1, 0.0f, 1.0f, 0.0f);
    Vector3 down{0, -1, 0};
    SetLightDirection(0, &down);
    Model* model = CreatePlaneModelXY(2, 2, 2, 2, 1, nullptr);
    model->SetScale(2, 2, 2);
    model->SetPosition(1, 2, 3);
    model->SetMeshTexOffsetU(0.25f, Model::kAll);
    model->SetMeshTexOffsetV(0.5f, Model::kAll);
    model->SetMeshVectorX(7, Model::kAll);
    model->SetMeshVectorZ(9, Model::kAll);
    model->Update(0);
    struct Case {
        uint32_t lighting, texCoord, transform;
        uint32_t fogEnable;
        std::map<uint32_t, Vec4> expected;  // registers and values (x, y, z, w)
        std::vector<uint32_t> unset;
    };
    // The mesh world W scales by 2 and moves to (1, 2, 3): W inverse halves
    // directions, and the view puts the origin at depth 13.
    const std::map<uint32_t, Vec4> common = {
        {0, {0.5f, -0.5f, 1.0f, 765.01f}}, {1, {0.25f, 0.5f, -0.01f, 1.1f}}, {2, {0, 0, -10, 0.25f}},
        {11, {1, 1, 1, 1}}, {12, {7, 0, 9, 0}}};
    const Case cases[] = {
        {LIGHTING_LIGHTS, TEXCOORD_UV, TRANSFORM_PLAIN, 0, {{3, {0, 0.5f, 0, 0}}, {7, {0.5f, 0.25f, 1, 0}}}, {13, 16}},
        {LIGHTING_HEMISPHERE, TEXCOORD_UV, TRANSFORM_VIEW, 1,
         {{3, {0, 0.5f, 0, 0}}, {4, {0, 0.5f, 0, 0}}, {8, {0, 1, 0, 0}}, {15, {0, 0, 2, 13}}}, {16}},
        {LIGHTING_NONE, TEXCOORD_TOON_UV, TRANSFORM_WORLD, 1, {{3, {0, -0.5f, 0, 0}}, {13, {2, 0, 0, 1}}}, {7, 16}},
        {LIGHTING_NONE, TEXCOORD_REFLECTION_UV, TRANSFORM_PLAIN, 0, {{16, {2, 0, 0, 1}}, {19, {0, 0, 0, 1}}},
         {3, 13}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lighting | c.texCoord | c.transform);
        model->SetMeshLightingMode(c.lighting, Model::kAll);
        model->SetMeshTexCoordMode(c.texCoord, Model::kAll);
        model->SetMeshTransformMode(c.transform, Model::kAll);
        model->RebuildMeshShaders(Model::kAll);
        graphics.device()->ClearCalls();
        ASSERT_EQ(BeginScene(), 1);
        model->Draw();
        EndScene();
        const std::map<uint32_t, Vec4> got = LastConstants(*graphics.device());
        std::map<uint32_t, Vec4> expected = c.expected;
        expected.insert(common.begin(), common.end());
        for (const auto& [reg, value] : expected) {
            ASSERT_TRUE(got.count(reg)) << "c" << reg;
            for (int k = 0; k < 4; ++k) EXPECT_NEAR(got.at(reg)[k], value[k], 1e-5f) << "c" << reg << "[" << k << "]";
        }
        for (uint32_t reg : c.unset) EXPECT_FALSE(got.count(reg)) << "c" << reg;
        EXPECT_NEAR(got.at(23)[3], 13.0f, 1e-4f);  // the clip w of the mesh origin is its view depth
        EXPECT_EQ(renderStateCache[gpu::D3DRS_FOGENABLE], c.fogEnable);
    }
    SetAmbientLevel(0.0f);
    SetLightColor(0, 0, 0, 0);
    SetLightColor(1, 0, 0, 0);
}

TEST_F(MeshTest, LoadedVerticesOfBothFormatsFillTheWorkWords) {
    struct Skinned { float p[3], w0, w1; uint32_t bones; float n[3]; uint32_t colour; float u, v; };
    const Skinned skinned[3] = {{{1, 2, 3}, 0.25f, 0.5f, 0x00020105, {0, 0, 1}, 0xFF102030, 0.5f, 0.75f},
                                {{4, 5, 6}, 1, 0, 0, {0, 1, 0}, 0xFFFFFFFF, 0, 0},
                                {{7, 8, 9}, 1, 0, 0, {1, 0, 0}, 0xFFFFFFFF, 0, 0}};
    const uint16_t triangle[3] = {0, 1, 2};
    Mesh* mesh = MakeMesh({}, {});
    mesh->layout = 2;
    mesh->stride = 52;
    ASSERT_TRUE(mesh->LoadVertexData(0x115A, reinterpret_cast<const uint8_t*>(skinned), 3, triangle, 3, nullptr));
    const WorkVertex& v = mesh->vertices[0];
    EXPECT_EQ((Vec4{v.position[2], v.morphPosition[2], v.weights[0], v.weights[1]}), (Vec4{3, 3, 0.25f, 0.5f}));
    EXPECT_EQ(v.boneIndices, 0x00020105u);
    EXPECT_EQ((Vec4{v.normal[2], v.morphNormal[2], v.u, v.v}), (Vec4{1, 1, 0.5f, 0.75f}));
    EXPECT_EQ(v.diffuse, 0xFF102030u);
    EXPECT_EQ(mesh->boxMax.z, 9.0f);
    EXPECT_NE(mesh->vertexBuffer, nullptr);
    EXPECT_FALSE(mesh->LoadVertexData(0x112, reinterpret_cast<const uint8_t*>(skinned), 3, triangle, 3, nullptr));
}

TEST_F(MeshTest, SkinnedDrawSkipsMissingMaterialsAndBones) {
    auto* mesh = new SkinnedMesh;
    owned.push_back(mesh);
    mesh->layout = 2;
    mesh->stride = 52;
    mesh->AllocateArrays(3, 3);
    for (int k = 0; k < 3; ++k) mesh->vertices[k].position[k % 2] = 1.0f;
    mesh->indices = {0, 1, 2};
    mesh->materials.PushBack(new Material);
    mesh->boneCount = 2;
    mesh->paletteSize = 2;
    mesh->boneNames = {"present", "missing"};
    mesh->boneOffsets.resize(2);
    mesh->boneOffsets[0].SetIdentity();
    mesh->boneOffsets[1].SetIdentity();
    mesh->boneCombinations = {{0, 0, 1, 0, 3, {0, 1}}, {5, 0, 1, 0, 3, {1, BoneCombination::kNoBone}}};
    mesh->culling = 0;
    ResourceList frames;
    auto* frame = new Frame;
    frame->SetName("present");
    frames.PushBack(frame);
    mesh->LinkBones(&frames);
    EXPECT_EQ(mesh->boneMatrices[0], frame->GetCombinedMatrix());
    EXPECT_EQ(mesh->boneMatrices[1], nullptr);
    mesh->CreateBuffers(nullptr);
    ASSERT_EQ(mesh->shaderKey, 0x10010804u);
    ASSERT_EQ(BeginScene(), 1);
    mesh->Draw();
    EndScene();
    EXPECT_EQ(graphics.host.primitives, 1);  // the combination of material 5 is skipped
}

}  // namespace
