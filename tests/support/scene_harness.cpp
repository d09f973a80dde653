#include "tests/support/scene_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>

#include "engine/core/math.h"
#include "engine/devices/sound.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "engine/models/vertex_shader.h"
#include "engine/startup/engine_main.h"
#include "game/flow/input_words.h"
#include "game/flow/save_files.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/start/game_start.h"
#include "platform/hidden_window.h"
#include "platform/system.h"
#include "tests/support/data_set.h"

namespace test {
namespace {

std::array<bool, 256> heldKeys;

int16_t ScriptedKeyState(int virtualKey) {
    return virtualKey >= 0 && virtualKey < 256 && heldKeys[virtualKey] ? int16_t(-32768) : int16_t(0);
}

}  // namespace

const EngineLayer& GraphicsLayer() {
    return *std::find_if(std::begin(engineLayers), std::end(engineLayers),
                         [](const EngineLayer& layer) { return layer.bit == ENGINE_INIT_GRAPHICS; });
}

SceneHarness::SceneHarness()
    : savedFolder_(std::filesystem::current_path().string()), graphics_(std::make_unique<RecordingGraphics>()) {
    Start();
}

SceneHarness::SceneHarness(OnOpenGL gl) : savedFolder_(std::filesystem::current_path().string()) {
    if (gl.prepare) gl.prepare(folder_.path().string());
    EnableTexture32Bit();
    window_ = std::make_unique<platform::HiddenGLWindow>(640, 480);
    glHost_.window = window_->handle();
    SetGraphicsHost(&glHost_);
    Start();
}

SceneHarness::SceneHarness(AsTheProgram program)
    : savedFolder_(std::filesystem::current_path().string()),
      graphics_(std::make_unique<RecordingGraphics>()),
      asTheProgram_(true),
      sound_(program.sound) {
    if (program.prepare) program.prepare(folder_.path().string());
    hasDataSet_ = program.dataSet && LinkDataSet(folder_.path());
    Start();
}

void SceneHarness::Start() {
    // Whatever an earlier test in this process left, the game starts as a
    // fresh program does.
    ResetGameState();
    platform::OverrideProgramFolder(folder_.path().string());
    SetCurrentFolderToApp();
    heldKeys.fill(false);
    SetKeyStateSource(ScriptedKeyState);
    config.soundOff = sound_ ? 0 : 1;
    soundOff = config.soundOff;
    if (sound_) {
        SetSoundOutput(SoundOutput::Manual);
        InitializeSound();
    }
    exitRequested = 0;
    InitializeMathTables();
    // The clock's seed would make every battle a test plays differ from run
    // to run; a fixed one makes a failure repeatable.
    SeedRandom(kSceneSeed);
    if (asTheProgram_) {
        EXPECT_EQ(GraphicsLayer().start(), 1);
    } else {
        EXPECT_EQ(InitializeDirectXGraphics(), 1);
        InitCameraList();
        InitTextureList();
        InitSurfaceList();
        // On OpenGL the 3-D scenery and the fighters need the shaders and
        // models, and screens that write on the back buffer the font list.
        if (window_) {
            InitializeVertexShaders();
            InitializeModels();
            InitFontList();
        }
    }
    StartGame();
}

SceneHarness::~SceneHarness() {
    // What a scene left behind goes in the engine's shut-down order: models
    // and fonts before the textures their materials and targets hold.
    if (sound_) {
        ReleaseSeTable();
        StopBgm();
        DestroySound();
        SetSoundOutput(SoundOutput::Device);
    }
    if (asTheProgram_) {
        GraphicsLayer().stop();
    } else {
        DestroyModels();
        DestroyVertexShaders();
        DestroyFontList();
        DestroySurfaceList();
        DestroyTextureList();
        DestroyCameraList();
    }
    // The lists freed every picture, model and sound the game still points
    // at: it forgets them, so a later harness does not release them again.
    ResetGameState();
    exitRequested = 0;
    platform::OverrideProgramFolder("");
    appFolder[0] = '\0';
    std::filesystem::current_path(savedFolder_);
    if (window_) {
        DestroyDirectXGraphics();
        SetGraphicsHost(nullptr);
        ResetGraphicsSettings();
    }
}

void SceneHarness::Hold(int virtualKey) { heldKeys[virtualKey & 0xFF] = true; }
void SceneHarness::Release(int virtualKey) { heldKeys[virtualKey & 0xFF] = false; }

void SceneHarness::Tap(int virtualKey) {
    Hold(virtualKey);
    RunFrames(1);
    Release(virtualKey);
}

void SceneHarness::RunFrames(int count) {
    for (int i = 0; i < count; ++i) RunSceneFrame();
}

int SceneHarness::RunUntilScene(int32_t scene, int limit) {
    for (int frames = 0; frames < limit; ++frames) {
        if (sceneNumber == scene) return frames;
        RunSceneFrame();
    }
    return sceneNumber == scene ? limit : -1;
}

}  // namespace test
