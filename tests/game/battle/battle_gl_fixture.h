#pragma once
// A battle test on OpenGL: the generated pictures and stage model in a
// temporary program folder, a hidden 640x480 window and the battle's engine layers on its
// device. Pictures go to a folder beside the test programs' folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/graphics/device.h"
#include "platform/hidden_window.h"
#include "platform/system.h"
#include "tests/game/battle/battle_engine.h"
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

}  // namespace test
