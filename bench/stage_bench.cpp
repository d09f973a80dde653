// A battle start's asset loading and the stage scenery per frame, on the null
// backend (so rasterisation costs nothing) with the generated data set:
// loading character 1 for both sides (82 textures and planes each), loading
// each stage, and drawing each stage through the stage camera.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
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
#include "game/battle/battle_assets.h"
#include "game/battle/battle_state.h"
#include "game/battle/player_record.h"
#include "game/battle/stage_drawing.h"
#include "platform/system.h"

namespace {

// A temporary program folder with the data set written by the datagen
// program beside this one, removed at exit.
class DataFolder {
public:
    DataFolder() {
        char pattern[] = "/tmp/stage_bench_XXXXXX";
        if (!mkdtemp(pattern)) return;
        path_ = pattern;
        const std::string command = platform::ProgramFolder() + "/datagen '" + path_ + "' > /dev/null 2>&1";
        ok_ = std::system(command.c_str()) == 0;
    }
    ~DataFolder() {
        std::error_code error;
        if (!path_.empty()) std::filesystem::remove_all(path_, error);
    }
    bool ok() const { return ok_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool ok_ = false;
};

const DataFolder& Data() {
    static DataFolder data;
    return data;
}

// The engine layers the loaders use, on the null backend, reading the data.
class Engine {
public:
    explicit Engine(benchmark::State& state) {
        if (!Data().ok()) {
            state.SkipWithError("the datagen program could not write the data set");
            return;
        }
        platform::OverrideProgramFolder(Data().path());
        SetCurrentFolderToApp();
        InitializeMathTables();
        if (InitializeDirectXGraphics() != 1) {
            state.SkipWithError("no graphics device");
            return;
        }
        InitCameraList();
        InitTextureList();
        InitSurfaceList();
        InitializeVertexShaders();
        InitializeModels();
        ready_ = true;
    }
    ~Engine() {
        if (!ready_) return;
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
    bool ready() const { return ready_; }

private:
    bool ready_ = false;
};

void BM_LoadCharacterOneBothSides(benchmark::State& state) {
    Engine engine(state);
    if (!engine.ready()) return;
    for (int side = 0; side < 2; ++side) {
        players[side].characterId = 1;
        players[side].colour = side;
    }
    for (auto _ : state) {
        LoadCharacterModels(0);
        LoadCharacterModels(1);
        state.PauseTiming();
        ReleaseCharacterModels(0);
        ReleaseCharacterModels(1);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadCharacterOneBothSides)->Unit(benchmark::kMillisecond);

void BM_LoadStage(benchmark::State& state) {
    Engine engine(state);
    if (!engine.ready()) return;
    const int stage = static_cast<int>(state.range(0));
    for (auto _ : state) {
        LoadStage(stage);
        state.PauseTiming();
        ReleaseBattleModels();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadStage)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

void BM_DrawStage(benchmark::State& state) {
    Engine engine(state);
    if (!engine.ready()) return;
    const int stage = static_cast<int>(state.range(0));
    LoadStage(stage);
    Camera* camera = CreateCamera();
    camera->SetPerspective(960.0f * 0.003125f * 5.0f + 10.0f, 1.0f, 1200.0f, 0.0f);
    const Vector3 eye{0, 0, -10}, target{0, 0, 0};
    camera->LookAt(&eye, &target, nullptr);
    camera->UpdateView();
    camera->Apply();
    battlePaused = 0;
    for (auto _ : state) {
        BeginScene();
        SetBlendMode(BLEND_ALPHA);
        SetRenderState(gpu::D3DRS_ZENABLE, 1);
        SetRenderState(gpu::D3DRS_ZWRITEENABLE, 1);
        SetRenderState(gpu::D3DRS_FOGENABLE, 1);
        DrawStage(stage);
        EndScene();
    }
}
BENCHMARK(BM_DrawStage)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

}  // namespace
