#pragma once
// A battle test on OpenGL: the generated pictures and stage model in a
// temporary program folder, a hidden 640x480 window and the battle's engine layers on its
// device. Pictures go to a folder beside the test programs' folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/surface.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/arena/screen_mapping.h"
#include "game/battle/battle_drawing.h"
#include "game/battle/battle_scene.h"
#include "game/characters/character_routines.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "game/start/game_start.h"
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

    // Gives the back buffer a depth buffer, for pictures drawn with the depth
    // test on.
    static void AttachDepthBuffer() {
        Surface* depth = CreateDepthBuffer(640, 480, nullptr);
        ASSERT_TRUE(depth->IsReady());
        depth->SetAsDepthBuffer();
    }

    TempDir data_;
    std::filesystem::path screens_;

private:
    std::string screensFolder_;
    FakeGraphicsHost host_;
    std::unique_ptr<platform::HiddenGLWindow> window_;
    std::unique_ptr<BattleEngine> engine_;
};

// A pixel's channels, 0..255.
struct Rgb {
    int r, g, b;
};

inline Rgb RgbOf(uint32_t pixel) {
    return {static_cast<int>(pixel >> 16 & 0xff), static_cast<int>(pixel >> 8 & 0xff), static_cast<int>(pixel & 0xff)};
}

// The pixel of a 640x480 picture at a screen point (clamped into the picture).
inline Rgb PixelAt(const std::vector<uint32_t>& pixels, ScreenPoint p) {
    return RgbOf(pixels[static_cast<size_t>(std::clamp(p.y, 0, 479)) * 640 + std::clamp(p.x, 0, 639)]);
}

// The whitest pixel (by its weakest channel) within 2 pixels of a point.
inline int Whiteness(const std::vector<uint32_t>& pixels, ScreenPoint p) {
    int best = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const Rgb c = PixelAt(pixels, {p.x + dx, p.y + dy});
            best = std::max(best, std::min({c.r, c.g, c.b}));
        }
    return best;
}

// Every generated pose picture of a set of `poses` has a white dot 0.35 of
// its width from the centre, at 2 pi pose / poses (counter-clockwise in the
// picture, whose y runs down): where the dot of `pose` falls for a figure
// drawn unturned at (x, y) on a plane 40 units wide.
inline ScreenPoint PoseDot(float x, float y, int32_t pose, int32_t poses) {
    const float a = 2.0f * 3.1415927f * static_cast<float>(pose) / static_cast<float>(poses);
    return WorldToScreen(x + 14.0f * std::cos(a), y - 14.0f * std::sin(a));
}

// Both fighters free and still on the x axis, 120 apart, side 0 on the
// left, each aiming at the other.
inline void StandFightersApart() {
    for (int side = 0; side < 2; ++side) {
        PlayerRecord& p = players[side];
        p.x = side == 0 ? -60.0f : 60.0f;
        p.y = 0.0f;
        p.aimAngle = side == 0 ? 0.0f : 3.1415927f;
        p.state = PLAYER_FREE;
        p.stateTimer = 0;
        p.counter = 0;
        p.invulnerableTimer = 0;
    }
}

// Draws the battle until the camera, which follows the fighters a step per
// picture, has stood still for `still` pictures (so that the last picture
// shows the fighters' present places); false when it never settled.
inline bool SettleBattleCamera(int still) {
    int unchanged = 0;
    for (int i = 0; i < 300 && unchanged < still; ++i) {
        const float before[3] = {cameraX, cameraY, viewWidth};
        DrawBattle();
        unchanged = before[0] == cameraX && before[1] == cameraY && before[2] == viewWidth ? unchanged + 1 : 0;
    }
    return unchanged == still;
}

// The real battle scene on OpenGL: the game's tables set up, sound off, and
// the keyboard reading only the keys a test holds in HeldKeys().
class BattleSceneGLFixture : public BattleGLFixture {
protected:
    using BattleGLFixture::BattleGLFixture;

    void SetUp() override {
        BattleGLFixture::SetUp();
        if (HasFatalFailure()) return;
        InitGame();
        InitCharacterParams();
        config.soundOff = 1;
        HeldKeys().clear();
        SetKeyStateSource([](int vk) -> int16_t { return HeldKeys().count(vk) ? int16_t(-128) : int16_t(0); });
    }
    void TearDown() override {
        SetKeyStateSource(nullptr);
        ReleaseBattleAssets();
        transitionSprite = nullptr;
        gameCamera = nullptr;
        BattleGLFixture::TearDown();
    }

    static std::set<int>& HeldKeys() {
        static std::set<int> keys;
        return keys;
    }

    // Starts a battle of the characters `side0` and `side1` (first costumes)
    // on `stage` in `mode`, with the battle's seed, and so the computer's
    // play, the same every run, and runs its first frame.
    static void StartBattle(int32_t side0, int32_t side1, int32_t stage, int32_t mode) {
        players[0].characterId = side0;
        players[1].characterId = side1;
        players[0].colour = players[1].colour = 0;
        stageNumber = stage;
        gameMode = mode;
        difficulty = DIFFICULTY_NORMAL;
        replayPlayback = 0;
        sceneNumber = SCENE_BATTLE;
        SeedRandom(1);
        sceneInitPending = 1;
        RunBattleScene();
    }
    // Runs the battle scene until `frame` (or until the scene ends).
    static void RunUntil(int32_t frame) {
        while (battleFrame < frame && sceneNumber == SCENE_BATTLE) RunBattleScene();
    }

    // Draws the battle until the camera, which follows the fighters a step
    // per picture, has stood still for `still` pictures (so that the picture
    // read back shows the fighters' present places), and reads it back; false
    // when the camera never settled.
    static bool DrawUntilCameraStill(int still, std::vector<uint32_t>* pixels) {
        const bool settled = SettleBattleCamera(still);
        *pixels = ReadEngineBackBuffer();
        return settled;
    }

    // Saves a picture as `name` in the test's pictures folder.
    void Save(const std::string& name, const std::vector<uint32_t>& pixels) {
        EXPECT_TRUE(WritePixelsPng((screens_ / name).string(), pixels, 640, 480));
    }
    // Draws the battle as it stands, reads the picture back and saves it.
    std::vector<uint32_t> DrawAndSave(const std::string& name) {
        DrawBattle();
        std::vector<uint32_t> pixels = ReadEngineBackBuffer();
        Save(name, pixels);
        return pixels;
    }
};

}  // namespace test
