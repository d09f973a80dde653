// The generated stage model, loaded from its X file with its textures from
// the model texture archive, drawn on OpenGL as the stage draws it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/graphics/light.h"
#include "engine/models/material.h"
#include "engine/models/mesh.h"
#include "engine/models/xfile_loader.h"
#include "platform/system.h"
#include "tests/engine/models/model_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"
#include "tests/support/screenshot_check.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr uint32_t kClearColour = 0x102040;

class XFileModelGLTest : public ModelGLTestBase {
protected:
    void SetUp() override {
        savedFolder_ = std::filesystem::current_path();
        // The data generator sits beside this program; it writes the whole
        // placeholder set, the stage model and its texture archive with it.
        const std::string datagen = platform::ProgramFolder() + "/datagen";
        const std::string command = "'" + datagen + "' '" + data_.path().string() + "' > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        platform::OverrideProgramFolder(data_.path().string());
        ModelGLTestBase::SetUp();
    }
    void TearDown() override {
        ModelGLTestBase::TearDown();
        SetDirectionalLight(0, 0);
        SetLightColor(0, 0, 0, 0);
        SetAmbientLevel(0);
        platform::OverrideProgramFolder("");
        std::filesystem::current_path(savedFolder_);
    }

    test::TempDir data_;
    std::filesystem::path savedFolder_;
};

// Pixel of a world point under the camera (row vectors: clip = (p, 1) x VP).
std::pair<int, int> ScreenPoint(const Camera* camera, const Vector3& p) {
    const Matrix& m = camera->viewProjection;
    float clip[4];
    for (int c = 1; c <= 4; ++c) clip[c - 1] = p.x * m.Get(1, c) + p.y * m.Get(2, c) + p.z * m.Get(3, c) + m.Get(4, c);
    return {static_cast<int>((clip[0] / clip[3] + 1) * 320), static_cast<int>((1 - clip[1] / clip[3]) * 240)};
}

TEST_F(XFileModelGLTest, GeneratedStageModelDrawsTexturedWhereTheCameraSeesIt) {
    SetModelTextureArchive("gf\\model.dat");
    Model* model = CreateModelFromXFile("gf\\model2.dat", nullptr);
    ASSERT_EQ(model->GetMeshCount(), 3);
    int textured = 0;
    for (int m = 0; m < model->GetMeshCount(); ++m)
        for (ResourceObject* node = model->GetMesh(m)->materials.head; node; node = node->next)
            if (static_cast<Material*>(node)->GetTexture(0)) ++textured;
    EXPECT_EQ(textured, 4) << "rock, cliff, pillar and halo come from the archive";

    // Lit as the stage lights it, but brighter, and with vertex colours.
    SetAmbientLevel(0.35f);
    SetLightColor(0, 1.0f, 1.0f, 0.95f);
    Vector3 direction{-8, -20, 8};
    SetLightDirection(0, &direction);
    SetDirectionalLight(0, 1);
    model->Update(0);
    model->SetMeshLightingMode(LIGHTING_VERTEX_COLOUR, Model::kAll);
    model->RebuildMeshShaders(Model::kAll);
    model->ApplyMeshLights(Model::kAll);

    Camera* camera = CreateCamera();
    camera->SetPerspective(60, 1, 2000, 0);
    const Vector3 eye{0, 160, -330}, target{0, 10, 0};
    camera->LookAt(&eye, &target, nullptr);
    camera->UpdateView();
    camera->Apply();
    Surface* depth = CreateDepthBuffer(640, 480, nullptr);
    ASSERT_EQ(depth->SetAsDepthBuffer(), 1);

    ClearTarget(0xFF000000 | kClearColour);
    ClearDepth(1.0f);
    ASSERT_EQ(BeginScene(), 1);
    SetRenderState(gpu::D3DRS_ZENABLE, 1);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 1);
    SetRenderState(gpu::D3DRS_CULLMODE, gpu::D3DCULL_NONE);
    SetTextureStageState(0, gpu::D3DTSS_COLOROP, gpu::D3DTOP_MODULATE);
    SetTextureStageState(0, gpu::D3DTSS_MAGFILTER, gpu::D3DTEXF_LINEAR);
    SetTextureStageState(0, gpu::D3DTSS_MINFILTER, gpu::D3DTEXF_LINEAR);
    model->Draw();
    EndScene();
    const std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
    const auto at = [&](std::pair<int, int> p) { return pixels[static_cast<size_t>(p.second) * 640 + p.first]; };

    // On the model: the island's top, a front pillar, the front of the halo.
    for (Vector3 p : {Vector3{0, -20, 0}, Vector3{-12, -20, -18}, Vector3{-17, -10, -19.5f}, Vector3{0, 6, -23.5f}}) {
        const auto screen = ScreenPoint(camera, p);
        ASSERT_TRUE(screen.first >= 0 && screen.first < 640 && screen.second >= 0 && screen.second < 480)
            << screen.first << "," << screen.second;
        EXPECT_NE(at(screen), kClearColour) << p.x << "," << p.y << "," << p.z;
    }
    // Beside it: the corners and the sky above the halo.
    for (std::pair<int, int> p : {std::pair{2, 2}, {637, 2}, {2, 477}, {637, 477}, {320, 10}})
        EXPECT_EQ(at(p), kClearColour) << p.first << "," << p.second;

    // The island's top shows its texture: many colours, not one flat shade.
    std::set<uint32_t> colours;
    const auto centre = ScreenPoint(camera, {0, -20, 0});
    for (int y = centre.second - 20; y <= centre.second + 20; ++y)
        for (int x = centre.first - 60; x <= centre.first + 60; ++x) colours.insert(at({x, y}));
    EXPECT_GT(colours.size(), 20u);

    // Kept for a person to look at.
    const std::string shot = ::testing::TempDir() + "xfile_model_gltest.bmp";
    SaveScreenshot(shot.c_str());
    EXPECT_EQ(test::ScreenshotFault(shot), "");
}

}  // namespace
