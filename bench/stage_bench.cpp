// A battle start's asset loading and the stage scenery per frame, on the null
// backend (so rasterisation costs nothing) with the generated data set:
// loading character 1 for both sides (82 textures and planes each), loading
// each stage, and drawing each stage through the stage camera.
#include <benchmark/benchmark.h>

#include <memory>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/stage_drawing.h"
#include "tests/game/battle/battle_engine.h"
#include "tests/support/data_set.h"

namespace {

// A program folder holding the data set, for every benchmark of the run.
const test::DataSetFolder& Data() {
    static const test::DataSetFolder data;
    return data;
}

// The engine on the null backend reading the data set; null when either
// cannot be had (the benchmark then reports why and stops).
std::unique_ptr<test::BattleEngine> StartEngine(benchmark::State& state) {
    if (!Data().linked()) {
        state.SkipWithError("no data set (see the message above)");
        return nullptr;
    }
    auto engine = std::make_unique<test::BattleEngine>(Data().path().string());
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
