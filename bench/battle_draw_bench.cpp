// Drawing one busy battle frame (stage, rim, two fighters, 300 particles,
// 60 Shots, the HUD with full dials and a combo): on the null device (the
// game's and the engine's CPU work alone) and on OpenGL with the generated
// data set (SDL_VIDEODRIVER=offscreen gives Mesa's software renderer). The
// repetitions report the median milliseconds per frame.
#include <benchmark/benchmark.h>

#include "engine/graphics/device.h"
#include "engine/graphics/graphics_host.h"
#include "engine/graphics/texture.h"
#include "game/arena/battle_assets.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_drawing.h"
#include "game/battle/battle_scene.h"
#include "game/characters/character_routines.h"
#include "game/start/game_start.h"
#include "platform/hidden_window.h"
#include "tests/game/battle/battle_engine.h"
#include "tests/support/data_set.h"

namespace {

// A host with a window of its own, or none for the null backend.
class BenchHost : public GraphicsHost {
public:
    explicit BenchHost(void* window) : window_(window) {}
    void* Window() override { return window_; }
    void ScreenSize(int* w, int* h) override { *w = 640, *h = 480; }
    bool Windowed() override { return true; }
    bool PaintDriven() override { return false; }
    bool ThreadMode() override { return false; }
    void FallBackToWindow() override {}
    void AddPresentedFrames(int) override {}
    void AddPrimitiveCount(int) override {}
    void RequestExit() override {}
    void ShowErrorBox(const char*, const char*) override {}
    void Sleep(uint32_t) override {}

private:
    void* window_;
};

void LoadBattle() {
    const char* archive = "gf\\system.dat";
    battleEffectTexture = CreateTextureFromArchive(archive, "effect", 1, nullptr);
    battlePerticleTexture = CreateTextureFromArchive(archive, "perticle", 1, nullptr);
    battleSystemTexture = CreateTextureFromArchive(archive, "system", 1, nullptr);
    battleNamePlateTexture = CreateTextureFromArchive(archive, "name_plate", 1, nullptr);
    battleRenderTarget = CreateRenderTargetTexture(1024, 1024, nullptr);
    for (int side = 0; side < 2; ++side) {
        players[side] = PlayerRecord{};
        players[side].characterId = side ? 6 : 1;
        ResetPlayerForBattle(side);
        LoadCharacterModels(side);
        players[side].hyperGauge = 3.0f;
        players[side].boostGauge = 1.5f;
        players[side].comboDamage = 123456;
        players[side].comboHits = 42;
        players[side].comboTimer = 50;
    }
    stageNumber = 1;
    LoadStage(stageNumber);
    battleFadeLevel = 1.0f;
    battleTimer = 42;
    SeedRandom(0);
    const float at[2] = {0.0f, 0.0f};
    particleList.Clear();
    shotList.Clear();
    for (int i = 0; i < 30; ++i) SpawnParticles(20 + i % 7, 10, 0.0f, at);
    for (int i = 0; i < 60; ++i) {
        const float p[2] = {static_cast<float>(i * 10 - 300), static_cast<float>(i % 7 * 30 - 90)};
        SpawnShot(120, 0.1f * static_cast<float>(i), p, i % 2);
    }
}

// A program folder holding the data set, for every repetition.
const test::DataSetFolder& Data() {
    static const test::DataSetFolder data;
    return data;
}

// Draws battle frames on the device the window gives (none: the null
// backend), with the generated data set as the program folder.
void DrawBattleFrames(benchmark::State& state, void* window) {
    if (!Data().linked()) {
        state.SkipWithError("no data set (see the message above)");
        return;
    }
    EnableTexture32Bit();
    BenchHost host(window);
    SetGraphicsHost(&host);
    {
        test::BattleEngine engine(Data().path().string());
        if (engine.started()) {
            InitGame();
            InitCharacterParams();
            LoadBattle();
            for (auto _ : state) DrawBattle();
        } else {
            state.SkipWithError("no device");
        }
    }
    SetGraphicsHost(nullptr);
    ResetGraphicsSettings();
}

void BM_DrawBattleNullDevice(benchmark::State& state) { DrawBattleFrames(state, nullptr); }

void BM_DrawBattleOpenGL(benchmark::State& state) {
    platform::HiddenGLWindow window(640, 480);
    DrawBattleFrames(state, window.handle());
}

BENCHMARK(BM_DrawBattleNullDevice)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawBattleOpenGL)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
