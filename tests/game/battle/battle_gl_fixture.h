#pragma once
// A battle test on OpenGL: the generated pictures and stage model in a
// temporary program folder, a hidden 640x480 window and the battle's engine layers on its
// device. Pictures go to a folder beside the test programs' folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "game/battle/battle_drawing.h"
#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/player_record.h"
#include "game/flow/game_start.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "platform/hidden_window.h"
#include "platform/system.h"
#include "tests/game/battle/battle_engine.h"
#include "tests/support/back_buffer_pixels.h"
#include "tests/support/recording_device.h"
#include "tests/support/temp_dir.h"
#include "tools/datagen/model_set.h"
#include "tools/datagen/picture_set.h"

namespace test {

class BattleGLFixture : public ::testing::Test {
protected:
    explicit BattleGLFixture(std::string screensFolder) : screensFolder_(std::move(screensFolder)) {}

    void SetUp() override {
        screens_ = std::filesystem::path(platform::ProgramFolder()).parent_path() / screensFolder_;
        std::filesystem::create_directories(screens_);
        ASSERT_TRUE(datagen::WritePictureSet(data_.path().string()));
        ASSERT_TRUE(datagen::WriteModelSet(data_.path().string()));
        EnableTexture32Bit();
        window_ = std::make_unique<platform::HiddenGLWindow>(640, 480);
        host_.window = window_->handle();
        SetGraphicsHost(&host_);
        engine_ = std::make_unique<BattleEngine>(data_.path().string());
        ASSERT_TRUE(engine_->started());
    }
    void TearDown() override {
        engine_.reset();
        SetGraphicsHost(nullptr);
        ResetGraphicsSettings();
    }

    TempDir data_;
    std::filesystem::path screens_;

private:
    std::string screensFolder_;
    FakeGraphicsHost host_;
    std::unique_ptr<platform::HiddenGLWindow> window_;
    std::unique_ptr<BattleEngine> engine_;
};

// A battle scene test on that device: the game initialised with its sound
// off and no key held; the battle's assets released afterwards.
class BattleSceneGLFixture : public BattleGLFixture {
protected:
    explicit BattleSceneGLFixture(std::string screensFolder) : BattleGLFixture(std::move(screensFolder)) {}

    void SetUp() override {
        BattleGLFixture::SetUp();
        if (HasFatalFailure()) return;
        InitGame();
        InitCharacterParams();
        config.soundOff = 1;
        SetKeyStateSource([](int) -> int16_t { return 0; });
    }
    void TearDown() override {
        SetKeyStateSource(nullptr);
        ReleaseBattleAssets();
        transitionSprite = nullptr;
        gameCamera = nullptr;
        BattleGLFixture::TearDown();
    }

    // A battle of characters id0 (side 0) and id1 in their first costumes on
    // a stage in a game mode, through the battle scene for `frames` frames,
    // its seed (and so the computer's play) the same every run.
    static void PlayBattle(int32_t id0, int32_t id1, int32_t stage, int32_t mode, int32_t frames) {
        players[0].characterId = id0;
        players[1].characterId = id1;
        players[0].colour = players[1].colour = 0;
        stageNumber = stage;
        gameMode = mode;
        difficulty = DIFFICULTY_NORMAL;
        replayPlayback = 0;
        sceneNumber = SCENE_BATTLE;
        SeedRandom(1);
        sceneInitPending = 1;
        do RunBattleScene();
        while (battleFrame < frames && sceneNumber == SCENE_BATTLE);
    }

    // Draws the battle until the camera, which follows the fighters a step
    // per picture, has stood still for `still` pictures (so that the picture
    // read back shows the fighters' present places), and reads it back; false
    // when the camera never settled.
    static bool DrawUntilCameraStill(int still, std::vector<uint32_t>* pixels) {
        int unchanged = 0;
        for (int i = 0; i < 300 && unchanged < still; ++i) {
            const float before[3] = {cameraX, cameraY, viewWidth};
            DrawBattle();
            unchanged = before[0] == cameraX && before[1] == cameraY && before[2] == viewWidth ? unchanged + 1 : 0;
        }
        *pixels = ReadEngineBackBuffer();
        return unchanged == still;
    }
};

}  // namespace test
