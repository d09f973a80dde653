// A battle start's asset loading and the stage scenery per frame, on the null
// backend (so rasterisation costs nothing) with the generated data set:
// loading character 1 for both sides (82 textures and planes each), loading
// each stage, and drawing each stage through the stage camera.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "game/battle/battle_state.h"
#include "game/battle/player_record.h"
#include "game/battle/stage_drawing.h"
#include "platform/system.h"
#include "tests/game/battle/battle_engine.h"

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

// The engine on the null backend reading the data set; null when either
// cannot be had (the benchmark then reports why and stops).
std::unique_ptr<test::BattleEngine> StartEngine(benchmark::State& state) {
    if (!Data().ok()) {
        state.SkipWithError("the datagen program could not write the data set");
        return nullptr;
    }
    auto engine = std::make_unique<test::BattleEngine>(Data().path());
    if (engine->started()) return engine;
    state.SkipWithError("no graphics device");
    return nullptr;
}

void BM_LoadCharacterOneBothSides(benchmark::State& state) {
    const auto engine = StartEngine(state);
    if (!engine) return;
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
    const auto engine = StartEngine(state);
    if (!engine) return;
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
    const auto engine = StartEngine(state);
    if (!engine) return;
    const int stage = static_cast<int>(state.range(0));
    LoadStage(stage);
    Camera* camera = CreateCamera();
    battlePaused = 0;
    for (auto _ : state) {
        BeginScene();
        test::ApplyStageView(camera, 960.0f);
        DrawStage(stage);
        EndScene();
    }
}
BENCHMARK(BM_DrawStage)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

}  // namespace
