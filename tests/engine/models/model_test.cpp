#include "engine/models/model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/graphics/texture.h"
#include "engine/models/frame.h"
#include "engine/models/material.h"
#include "engine/models/mesh.h"
#include "engine/models/primitives.h"
#include "tests/engine/models/model_fixture.h"

namespace {

class ModelTest : public ModelLayerTest {
protected:
    // One model with three cube meshes of two materials each.
    Model* MakeThreeMeshModel() {
        Model* model = CreateCubeModel(1, 1, 1, nullptr);
        for (int i = 0; i < 2; ++i) {
            Model* donor = CreateCubeModel(1, 1, 1, nullptr);
            Mesh* mesh = donor->GetMesh(0);
            mesh->AddRef();
            model->meshes.PushBack(mesh);
            mesh->Release();
            mesh->frame = model->rootFrame;
            donor->Release();
        }
        for (ResourceObject* m = model->meshes.head; m; m = m->next) {
            static_cast<Mesh*>(m)->materials.PushBack(new Material);
        }
        return model;
    }
    std::vector<int32_t> Culling(const Model* model) {
        std::vector<int32_t> out;
        for (ResourceObject* m = model->meshes.head; m; m = m->next) out.push_back(static_cast<Mesh*>(m)->culling);
        return out;
    }
};

TEST_F(ModelTest, MeshIndexOutsideTheListAddressesEveryMesh) {
    Model* model = MakeThreeMeshModel();
    struct Case { uint32_t index; std::vector<int32_t> culling; };
    const Case cases[] = {{Model::kAll, {0, 0, 0}}, {3, {0, 0, 0}}, {1000, {0, 0, 0}}, {1, {1, 0, 1}}};
    for (const Case& c : cases) {
        model->SetMeshCulling(1, Model::kAll);
        model->SetMeshCulling(0, c.index);
        EXPECT_EQ(Culling(model), c.culling) << c.index;
    }
    Model* empty = NewModel();
    empty->SetMeshCulling(0, 0);
    empty->SetDiffuse(1, 1, 1, 1, 0);
    EXPECT_EQ(empty->GetMeshCount(), 0);
}

TEST_F(ModelTest, DiffuseAndTexturesFollowTheMaterialIndexRule) {
    Model* model = MakeThreeMeshModel();
    model->SetDiffuse(0.5f, 0.25f, 0.75f, 1.0f, 2);  // alpha first
    gpu::D3DMATERIAL8 m;
    model->GetMesh(2)->GetMaterial(1)->GetMaterial(&m);
    EXPECT_EQ((std::vector<float>{m.Diffuse.r, m.Diffuse.g, m.Diffuse.b, m.Diffuse.a}),
              (std::vector<float>{0.25f, 0.75f, 1.0f, 0.5f}));
    EXPECT_EQ((std::vector<float>{m.Ambient.r, m.Ambient.g, m.Ambient.b, m.Ambient.a}),
              (std::vector<float>{1, 1, 1, 1}));
    model->GetMesh(0)->GetMaterial(0)->GetMaterial(&m);
    EXPECT_EQ(m.Diffuse.r, 1.0f);

    auto* wood = new Texture;
    auto* stone = new Texture;
    model->SetTexture(0, wood, Model::kAll, 1);
    EXPECT_EQ(wood->refCount, 1 + 3);
    EXPECT_EQ(model->GetMesh(1)->GetMaterial(0)->GetTexture(0), nullptr);
    // The same texture again keeps its count.
    wood->Release();
    model->SetTexture(0, wood, 0, 1);
    EXPECT_EQ(wood->refCount, 3);
    EXPECT_EQ(model->GetMesh(0)->GetMaterial(1)->GetTexture(0), wood);
    model->SetTexture(1, stone, 0, Model::kAll);
    model->SetTexture(7, stone, 0, Model::kAll);  // no such stage: ignored
    EXPECT_EQ(stone->refCount, 3);
    model->SetTexture(1, nullptr, 0, 0);  // null clears the stage
    EXPECT_EQ(stone->refCount, 2);
    model->Release();
    EXPECT_EQ(stone->refCount, 1);
    stone->Release();
}

TEST_F(ModelTest, UpdateBuildsWorldFromScaleAxesAndPosition) {
    Model* model = CreateCubeModel(2, 2, 2, nullptr);
    model->Yaw(16384);  // a quarter turn about y: front becomes -x or +x
    model->SetScale(2, 3, 4);
    model->SetPosition(10, 20, 30);
    model->Update(0);
    Vector3 front{}, right{};
    model->GetFront(&front);
    model->GetRight(&right);
    EXPECT_NEAR(std::fabs(front.x), 1.0f, 1e-6f);
    EXPECT_NEAR(front.z, 0.0f, 1e-6f);
    // Row 1 of the world is scale.x x right, row 4 the position.
    EXPECT_NEAR(model->world.Get(1, 1), 2 * right.x, 1e-6f);
    EXPECT_NEAR(model->world.Get(3, 1), 4 * front.x, 1e-6f);
    EXPECT_EQ((std::vector<float>{model->world.Get(4, 1), model->world.Get(4, 2), model->world.Get(4, 3)}),
              (std::vector<float>{10, 20, 30}));
    Matrix meshWorld;
    model->GetMeshMatrix(0, &meshWorld);
    EXPECT_EQ(meshWorld.Get(4, 2), 20.0f);
    EXPECT_EQ(model->GetPitchAngle(), 0);
    // A front a hair above 1 (rounding) still gives a quarter turn (pi/2 x
    // 10430.378 truncated), not NaN.
    model->front = {0, 1.0000001f, 0};
    EXPECT_EQ(model->GetPitchAngle(), 16383);
    EXPECT_EQ(model->GetRollAngle(), 0);
    model->ResetTransform();
    model->Pitch(8192);
    EXPECT_NEAR(std::abs(static_cast<int16_t>(model->GetPitchAngle())), 8192, 2);
}

TEST_F(ModelTest, DiscardAndAttach) {
    Model* model = CreateCubeModel(1, 1, 1, nullptr);
    Model* first = CreateCubeModel(1, 1, 1, nullptr);
    Model* plain = CreateCubeModel(1, 1, 1, nullptr);
    EXPECT_EQ(first->DiscardMeshBuffers(), 1);
    EXPECT_EQ(first->DiscardMeshBuffers(), 0);
    EXPECT_EQ(first->GetMesh(0)->materials.GetCount(), 0);
    EXPECT_EQ(first->GetMesh(0)->enabled, 0);

    EXPECT_EQ(model->AttachModel(first), 1);
    EXPECT_EQ(first->refCount, 2);
    EXPECT_EQ(model->AttachModel(plain), 0);  // not discarded: the first stays
    EXPECT_EQ(model->attachedModel, first);
    first->Release();  // the caller's reference: the attachment keeps it alive
    EXPECT_EQ(model->AttachModel(first), 1);  // the same model again at a count of 1
    EXPECT_EQ(first->refCount, 1);
    model->SetPosition(0, 5, 0);
    model->Update(0);
    EXPECT_EQ(first->world.Get(4, 2), 5.0f);
    model->Release();
    plain->Release();
}

TEST_F(ModelTest, ScreenPositionOfPointsInFrontAndBehind) {
    ApplyCameraFacingOrigin(90);
    Model* model = NewModel();
    float out[3] = {-1, -1, -1};
    float w = 0;
    ASSERT_EQ(model->GetScreenPosition(out, &w), 1);
    EXPECT_NEAR(out[0], 320.0f, 1e-3f);
    EXPECT_NEAR(out[1], 240.0f, 1e-3f);
    EXPECT_NEAR(w, 10.0f, 1e-4f);
    model->SetPosition(0, 0, -20);
    out[0] = -7;
    EXPECT_EQ(model->GetScreenPosition(out, nullptr), 0);
    EXPECT_EQ(out[0], -7.0f);
}

TEST_F(ModelTest, MorphTargetIndexErrorsAndLookups) {
    Model* model = CreatePlaneModelXY(1, 1, 2, 2, 1, nullptr);
    Model* target = CreatePlaneModelXY(1, 1, 2, 2, 1, nullptr);
    const char* noMesh = model->SetMeshMorphTarget(1, target, 0);
    ASSERT_NE(noMesh, nullptr);
    EXPECT_EQ(static_cast<uint8_t>(noMesh[0]), 0x91u);  // CP932 lead byte of the first kanji
    const char* noTarget = model->SetMeshMorphTarget(0, target, 3);
    ASSERT_NE(noTarget, nullptr);
    EXPECT_STRNE(noMesh, noTarget);
    EXPECT_EQ(model->SetMeshMorphTarget(0, target, 0), nullptr);
    EXPECT_EQ(model->GetMesh(0)->layout, 1);
    EXPECT_EQ(model->FindFrameIndex("Frame_Plane_00"), 0);
    EXPECT_EQ(model->FindFrameIndex("nothing"), -1);
    EXPECT_EQ(model->FindMeshIndex("Mesh_Plane_01"), -1);
    EXPECT_EQ(model->PickMesh(0, 0, -5), 0);
    EXPECT_EQ(model->PickMesh(3, 0, -5), -1);
    Matrix untouched;
    untouched.Set(1, 1, 7);
    model->GetMeshMatrix(9, &untouched);
    EXPECT_EQ(untouched.Get(1, 1), 7.0f);
    model->SetShaderConstantA(96, 1, nullptr, Model::kAll);  // beyond the table: ignored
    model->SetTextureStageState(768, 1, Model::kAll, Model::kAll);
    EXPECT_EQ(model->IsCellDrawn(0, 0), 0);
}

}  // namespace
