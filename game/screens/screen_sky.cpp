#include "game/screens/screen_sky.h"

#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "engine/models/primitives.h"
#include "game/flow/run_state.h"

namespace {
// Mesh lighting mode of the sky: the texture as it is, without lights.
constexpr uint32_t kSkyLightingMode = 256;
constexpr uint32_t kSkyTransformMode = 0x20000000;
}  // namespace

Model* CreateScreenSky() {
    Model* sky = CreateSphereModel(1000.0f, 1000.0f, 1000.0f, 100, 100, nullptr);
    Texture* texture = CreateTextureFromArchive("gf\\system.dat", "select_sky", 1, nullptr);
    sky->SetTexture(0, texture, Model::kAll, Model::kAll);
    texture->Release();
    sky->SetMeshLightingMode(kSkyLightingMode, Model::kAll);
    sky->SetDiffuse(1.0f, 1.0f, 1.0f, 1.0f, Model::kAll);
    sky->SetMeshTransformMode(kSkyTransformMode, Model::kAll);
    sky->ApplyMeshLights(Model::kAll);
    sky->RebuildMeshShaders(Model::kAll);
    return sky;
}

void BeginScreenSkyFrame() {
    ClearTarget(0xFF111111);
    ClearDepth(1.0f);
    SetBlendMode(BLEND_ALPHA);
    SetRenderState(gpu::D3DRS_ZENABLE, 1);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 1);
    SetRenderState(gpu::D3DRS_FOGENABLE, 1);
    gameCamera->SetPerspective(30.0f, 1.0f, 2000.0f, 0.0f);
    gameCamera->ResetAxes();
    const Vector3 eye{0.0f, 250.0f, 0.0f}, target{0.0f, -100.0f, 0.0f};
    gameCamera->LookAt(&eye, &target, nullptr);
    gameCamera->UpdateView();
    gameCamera->Apply();
}

void DrawScreenSky(Model* sky, float& textureOffset) {
    textureOffset -= 0.002f;
    if (textureOffset < 0.0f) textureOffset += 1.0f;
    sky->ResetTransform();
    sky->SetMeshTexOffsetV(textureOffset, Model::kAll);
    sky->Update(0.0f);
    sky->Draw();
}
