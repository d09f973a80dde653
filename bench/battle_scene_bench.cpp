// Headless battle frames per second: the battle scene on the null device with
// two placeholder fighters and about 500 live particles.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "engine/core/application.h"
#include "engine/core/math.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/particles.h"
#include "game/battle/player_record.h"
#include "game/flow/game_start.h"
#include "game/flow/input_words.h"
#include "game/flow/save_files.h"
#include "game/flow/sound_tables.h"
#include "platform/system.h"

namespace {

// Ten sparks a frame live 51 updates: about 510 at any time.
constexpr int32_t SPARKS_PER_FRAME = 10;

int16_t NoKeys(int) { return 0; }

// The game started headless in a fresh folder beside the system's temporary
// files, with the sound off.
class HeadlessGame {
public:
    HeadlessGame() : folder_(std::filesystem::temp_directory_path() / "battle_scene_bench") {
        std::filesystem::create_directories(folder_);
        platform::OverrideProgramFolder(folder_.string());
        SetCurrentFolderToApp();
        SetKeyStateSource(NoKeys);
        config.soundOff = 1;
        soundOff = 1;
        InitializeMathTables();
        ok_ = InitializeDirectXGraphics() == 1;
        InitCameraList();
        InitTextureList();
        InitSurfaceList();
        StartGame();
    }
    ~HeadlessGame() {
        ReleaseBattleAssets();  // the battle never ended
        DestroySurfaceList();
        DestroyTextureList();
        DestroyCameraList();
        DestroyDirectXGraphics();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    bool ok() const { return ok_; }

private:
    std::filesystem::path folder_;
    bool ok_ = false;
};

void BM_BattleSceneFrame(benchmark::State& state) {
    HeadlessGame game;
    if (!game.ok()) {
        state.SkipWithError("no null device");
        return;
    }
    players[0].characterId = 2;
    players[1].characterId = 3;
    stageNumber = 1;
    gameMode = MODE_1P_VS_2P;
    config.noTimeLimit = 1;  // the battle never ends on its own
    sceneNumber = SCENE_BATTLE;
    sceneInitPending = 1;
    RunSceneFrame();
    const float origin[2] = {0.0f, 0.0f};
    for (int frame = 0; frame < 60; ++frame) {
        SpawnParticles(27, SPARKS_PER_FRAME, 0.0f, origin);
        RunSceneFrame();
    }
    for (auto _ : state) {
        SpawnParticles(27, SPARKS_PER_FRAME, 0.0f, origin);
        RunSceneFrame();
    }
    state.counters["particles"] = particleList.Size();
    state.counters["frames_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                              benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BattleSceneFrame);

}  // namespace
