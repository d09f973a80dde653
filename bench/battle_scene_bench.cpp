// Headless battle frames per second: the battle scene on the null device with
// two fighters of the generated data set (their pictures and models), its
// stage and about 500 live particles, drawn (argument 1) and with the drawing
// left out (0); and the playback of a whole recorded battle that runs to its
// time limit (99 seconds of play), drawn and not. Without the data set (build target data_set)
// the benchmarks stop with a message.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/core/application.h"
#include "engine/core/math.h"
#include "game/arena/battle_assets.h"
#include "game/arena/battle_state.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/save_files.h"
#include "game/flow/sound_tables.h"
#include "game/start/game_start.h"
#include "platform/system.h"
#include "tests/support/battle_run.h"
#include "tests/support/data_set.h"
#include "tests/support/scene_harness.h"

namespace {

// Ten sparks a frame live 51 updates: about 510 at any time.
constexpr int32_t SPARKS_PER_FRAME = 10;

int16_t NoKeys(int) { return 0; }

// The game started headless as the program starts it (every graphics layer,
// on the null device) in a fresh folder holding the data set, with the sound
// off.
class HeadlessGame {
public:
    HeadlessGame() {
        if (!folder_.linked()) {
            problem_ = "no data set (see the message above)";
            return;
        }
        platform::OverrideProgramFolder(folder_.path().string());
        SetCurrentFolderToApp();
        SetKeyStateSource(NoKeys);
        config.soundOff = 1;
        soundOff = 1;
        InitializeMathTables();
        if (test::GraphicsLayer().start() != 1) {
            problem_ = "no null device";
            return;
        }
        started_ = true;
        StartGame();
    }
    ~HeadlessGame() {
        if (started_) {
            ReleaseBattleAssets();  // the battle never ended
            test::GraphicsLayer().stop();
        }
        SetKeyStateSource(nullptr);
        platform::OverrideProgramFolder("");
    }
    // Why the game did not start; null when it did.
    const char* problem() const { return problem_; }

private:
    test::DataSetFolder folder_;
    bool started_ = false;
    const char* problem_ = nullptr;
};

constexpr const char* kNotLoaded = "the battle's pictures did not load from the data set";

// Whether the battle that has started holds its pictures, both fighters'
// frames and its stage: a damaged data set would be measured as an empty
// battle.
bool BattleDataLoaded() {
    const auto loaded = [](const auto& list) {
        return !list.empty() && std::all_of(list.begin(), list.end(), [](const auto* p) { return p != nullptr; });
    };
    return battleEffectTexture && battlePerticleTexture && battleSystemTexture && loaded(characterFrameTextures[0]) &&
           loaded(characterFrameTextures[1]) && loaded(stageTextures);
}

// Drawn (DrawBattle), or the battle's update with only the overlays whose
// draws carry state (flashes, banner, menu, the transition that ends it).
void UseDrawing(bool drawn) { SetBattleDrawing(drawn ? nullptr : test::DrawBattleOverlays); }

void BM_BattleSceneFrame(benchmark::State& state) {
    HeadlessGame game;
    if (game.problem()) {
        state.SkipWithError(game.problem());
        return;
    }
    UseDrawing(state.range(0) != 0);
    players[0].characterId = 2;
    players[1].characterId = 3;
    stageNumber = 1;
    gameMode = MODE_1P_VS_2P;
    config.noTimeLimit = 1;  // the battle never ends on its own
    sceneNumber = SCENE_BATTLE;
    sceneInitPending = 1;
    RunSceneFrame();
    if (BattleDataLoaded()) {
        const float origin[2] = {0.0f, 0.0f};
        for (int frame = 0; frame < 60; ++frame) {
            SpawnParticles(27, SPARKS_PER_FRAME, 0.0f, origin);
            RunSceneFrame();
        }
        for (auto _ : state) {
            SpawnParticles(27, SPARKS_PER_FRAME, 0.0f, origin);
            RunSceneFrame();
        }
    } else {
        state.SkipWithError(kNotLoaded);
    }
    state.counters["particles"] = particleList.Size();
    state.counters["frames_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                              benchmark::Counter::kIsRate);
    UseDrawing(true);
}
// Frames per second count wall-clock seconds (UseRealTime): on a loaded
// machine the CPU time of the main thread alone would overstate the rate.
BENCHMARK(BM_BattleSceneFrame)->ArgName("drawn")->Arg(1)->Arg(0)->UseRealTime();

// A recording in which both sides walk to and fro and fire now and then but
// rarely meet, so the battle lasts until the clock runs out (with a shot
// every 45 frames instead, side 0 fell after 1,700 frames).
void RecordWalkingBattle() {
    StartReplayRecording({2, 3, 0, 1, 1, MODE_1P_VS_2P, DIFFICULTY_NORMAL, 12345, 0});
    for (int32_t frame = 0; frame < 20000; ++frame) {
        for (int side = 0; side < 2; ++side) {
            InputWord word = (frame / 90 + side) % 2 ? INPUT_LEFT : INPUT_RIGHT;
            if (frame % 400 == 0) word |= INPUT_Z;
            RecordReplayInput(side, word);
        }
    }
}

void BM_ReplayPlayback(benchmark::State& state) {
    HeadlessGame game;
    if (game.problem()) {
        state.SkipWithError(game.problem());
        return;
    }
    RecordWalkingBattle();
    if (!MakeReplayFileName(replayFileName) || !WriteReplayFile({})) {
        state.SkipWithError("the replay could not be written");
        return;
    }
    // The battle's end forgets the name.
    const std::string path = replayFileName;
    UseDrawing(state.range(0) != 0);
    int64_t frames = 0;
    for (auto _ : state) {
        replayPlayback = 1;
        if (ReadReplayFile(path.c_str()) != 0) {
            state.SkipWithError("the replay could not be read");
            break;
        }
        ApplyPlaybackMatch();
        sceneNumber = SCENE_BATTLE;
        sceneInitPending = 1;
        RunSceneFrame();  // the start, which loads the battle
        ++frames;
        if (!BattleDataLoaded()) {
            state.SkipWithError(kNotLoaded);
            break;
        }
        while (sceneNumber == SCENE_BATTLE && !sceneInitPending) {
            RunSceneFrame();
            ++frames;
        }
        if (battleTimer != 0) {
            state.SkipWithError("the recorded battle ended before its time limit");
            break;
        }
    }
    replayPlayback = 0;
    UseDrawing(true);
    state.counters["frames_per_battle"] = static_cast<double>(frames) / static_cast<double>(state.iterations());
    state.counters["frames_per_second"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplayPlayback)->ArgName("drawn")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
