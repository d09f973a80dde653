#pragma once
// The engine layers the battle loaders and the stage drawing use (device,
// cameras, textures, surfaces, shaders, models), started on whatever device
// the current Direct3D provider gives, with `programFolder` as the program
// and current folder; the destructor releases the battle's assets, stops the
// layers and restores the folders. Header only: the benchmarks use it too.
#include <filesystem>
#include <string>

#include "engine/core/application.h"
#include "engine/core/math.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "engine/models/vertex_shader.h"
#include "game/arena/battle_assets.h"
#include "platform/system.h"

namespace test {

class BattleEngine {
public:
    explicit BattleEngine(const std::string& programFolder)
        : savedFolder_(std::filesystem::current_path().string()) {
        platform::OverrideProgramFolder(programFolder);
        SetCurrentFolderToApp();
        InitializeMathTables();
        started_ = InitializeDirectXGraphics() == 1;
        if (!started_) return;
        InitCameraList();
        InitTextureList();
        InitSurfaceList();
        InitializeVertexShaders();
        InitializeModels();
    }
    ~BattleEngine() {
        if (started_) {
            ReleaseCharacterModels(0);
            ReleaseCharacterModels(1);
            ReleaseBattleModels();
            DestroyModels();
            DestroyVertexShaders();
            DestroySurfaceList();
            DestroyTextureList();
            DestroyCameraList();
            DestroyDirectXGraphics();
        }
        platform::OverrideProgramFolder("");
        appFolder[0] = '\0';
        std::filesystem::current_path(savedFolder_);
    }
    BattleEngine(const BattleEngine&) = delete;
    BattleEngine& operator=(const BattleEngine&) = delete;

    // Whether the device started (the layers are up only then).
    bool started() const { return started_; }

private:
    std::string savedFolder_;
    bool started_ = false;
};

// What the battle frame sets before it draws the stage: the perspective
// stage camera for a view `viewWidth` units wide (eye (0, 0, -10) looking
// along +z), alpha blending, depth test, depth writes and fog on.
inline void ApplyStageView(Camera* camera, float viewWidth) {
    camera->SetPerspective(static_cast<float>(viewWidth * 0.003125 * 5.0 + 10.0), 1.0f, 1200.0f, 0.0f);
    camera->ResetAxes();
    const Vector3 eye{0, 0, -10}, target{0, 0, 0};
    camera->LookAt(&eye, &target, nullptr);
    camera->UpdateView();
    camera->Apply();
    SetBlendMode(BLEND_ALPHA);
    SetRenderState(gpu::D3DRS_ZENABLE, 1);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 1);
    SetRenderState(gpu::D3DRS_FOGENABLE, 1);
}

}  // namespace test
