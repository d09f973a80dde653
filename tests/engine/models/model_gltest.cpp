// Meshes through the whole pipeline on OpenGL: the interpreted vertex
// shaders, the mesh constants and the rasteriser put a lit sphere and a
// textured plane where the perspective camera sees them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/math.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/light.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "engine/models/mesh.h"
#include "engine/models/model.h"
#include "engine/models/primitives.h"
#include "engine/models/vertex_shader.h"
#include "tests/engine/models/model_fixture.h"
#include "tests/engine/models/model_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"

namespace {

gpu::Texture* checker = nullptr;  // red, green / blue, white
// The engine texture the plane's material holds; the device sees the checker.
gpu::Texture* DeviceTextureOf(::Texture*) { return checker; }

class ModelGLTest : public ModelGLTestBase {
protected:
    void SetUp() override {
        ModelGLTestBase::SetUp();
        gpu::Texture* backup = nullptr;
        ASSERT_EQ(GetDevice()->CreateTexture(2, 2, 1, 0, gpu::D3DFMT_A8R8G8B8, gpu::D3DPOOL_SYSTEMMEM, &backup),
                  gpu::D3D_OK);
        gpu::D3DLOCKED_RECT locked{};
        ASSERT_EQ(backup->LockRect(0, &locked, nullptr, 0), gpu::D3D_OK);
        const uint32_t texels[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
        for (int y = 0; y < 2; ++y) std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, texels + 2 * y, 8);
        backup->UnlockRect(0);
        GetDevice()->CreateTexture(2, 2, 1, 0, gpu::D3DFMT_A8R8G8B8, gpu::D3DPOOL_DEFAULT, &checker);
        GetDevice()->UpdateTexture(backup, checker);
        backup->Release();
        SetDeviceTextureAccessor(DeviceTextureOf);
    }
    void TearDown() override {
        SetTexture(nullptr, 0);
        DestroyModels();
        SetDeviceTextureAccessor(nullptr);
        checker->Release();
        checker = nullptr;
        ModelGLTestBase::TearDown();
    }

    std::vector<uint32_t> ReadBackBuffer() { return test::ReadEngineBackBuffer(); }
};

TEST_F(ModelGLTest, LitSphereAndTexturedPlaneLandWhereTheCameraSeesThem) {
    ApplyCameraFacingOrigin(60);
    // One red light shining along +z, onto the faces that look at the camera.
    SetDirectionalLight(0, 1);
    SetLightColor(0, 1, 0, 0);
    Vector3 along{0, 0, 1};
    SetLightDirection(0, &along);
    SetAmbientLevel(0);

    Model* sphere = CreateSphereModel(2, 2, 2, 20, 20, nullptr);
    sphere->SetPosition(-3, 0, 0);
    sphere->Update(0);
    Model* plane = CreatePlaneModelXY(4, 4, 2, 2, 1, nullptr);
    plane->SetMeshLightingMode(LIGHTING_NONE, Model::kAll);
    plane->RebuildMeshShaders(Model::kAll);
    auto* engineTexture = new Texture;
    plane->SetTexture(0, engineTexture, Model::kAll, Model::kAll);
    engineTexture->Release();  // the material keeps it
    plane->SetPosition(3, 0, 0);
    plane->Update(0);

    ClearTarget(0xFF000000);
    ASSERT_EQ(BeginScene(), 1);
    SetRenderState(gpu::D3DRS_CULLMODE, gpu::D3DCULL_CCW);
    sphere->Draw();
    plane->Draw();
    EndScene();
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    const auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * 640 + x]; };

    // The sphere's centre projects to (195.3, 240) with a silhouette radius
    // of about 85 pixels: lit red inside, untouched outside.
    for (auto [x, y] : {std::pair{195, 240}, {195, 185}, {140, 240}, {250, 240}, {195, 295}}) {
        EXPECT_GT(at(x, y) >> 16, 0x40u) << x << "," << y;
        EXPECT_EQ(at(x, y) & 0xFFFF, 0u) << x << "," << y;
    }
    EXPECT_GT(at(195, 240) >> 16, 0xF0u);  // the centre faces the light
    for (auto [x, y] : {std::pair{195, 145}, {195, 335}, {100, 240}, {290, 240}}) {
        EXPECT_EQ(at(x, y), 0u) << x << "," << y;
    }
    // The plane spans x 361.6..527.8 and y 156.9..323.1 with its texture
    // upright: red, green on top, blue, white below.
    const struct { int x, y; uint32_t colour; } quadrants[] = {
        {403, 198, 0xFF0000}, {486, 198, 0x00FF00}, {403, 282, 0x0000FF}, {486, 282, 0xFFFFFF}};
    for (const auto& q : quadrants) {
        for (int shift : {0, 8, 16}) {
            const int got = (at(q.x, q.y) >> shift) & 0xFF, want = (q.colour >> shift) & 0xFF;
            EXPECT_NEAR(got, want, 24) << q.x << "," << q.y << " shift " << shift;
        }
    }
    for (auto [x, y] : {std::pair{355, 240}, {535, 240}, {444, 150}, {444, 330}}) {
        EXPECT_EQ(at(x, y), 0u) << x << "," << y;
    }
    SetDirectionalLight(0, 0);
    SetLightColor(0, 0, 0, 0);
}

}  // namespace
