#pragma once
// The engine on the recording null device with the texture, surface, shader,
// camera and model layers started, and a program folder holding the
// generated stage archive, stage model and character archives, so the battle
// loaders read the placeholder data set.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/core/application.h"
#include "engine/core/math.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "engine/models/vertex_shader.h"
#include "game/battle/battle_assets.h"
#include "platform/system.h"
#include "tests/support/recording_device.h"
#include "tests/support/temp_dir.h"
#include "tools/datagen/model_set.h"
#include "tools/datagen/picture_set.h"

namespace test {

// The generated archives the battle reads, written once per test program.
inline const TempDir& BattleDataFolder() {
    static const std::unique_ptr<TempDir> folder = [] {
        auto dir = std::make_unique<TempDir>();
        const std::vector<datagen::Picture> catalogue = datagen::PictureCatalogue();
        std::vector<std::string> archives = {"gf/model.dat", "gf/mdl_72.dat"};
        for (int id = 1; id <= 8; ++id) archives.push_back("gf/mdl_" + std::to_string(id) + "1.dat");
        for (const std::string& archive : archives) {
            EXPECT_TRUE(datagen::WritePictureArchive(dir->path().string(), catalogue, archive)) << archive;
        }
        EXPECT_TRUE(datagen::WriteModelSet(dir->path().string()));
        return dir;
    }();
    return *folder;
}

class BattleAssetsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        savedFolder_ = std::filesystem::current_path().string();
        platform::OverrideProgramFolder(BattleDataFolder().path().string());
        SetCurrentFolderToApp();
        InitializeMathTables();
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        InitCameraList();
        InitTextureList();
        InitSurfaceList();
        ASSERT_EQ(InitializeVertexShaders(), 1);
        ASSERT_EQ(InitializeModels(), 1);
    }
    void TearDown() override {
        ReleaseCharacterModels(0);
        ReleaseCharacterModels(1);
        ReleaseBattleModels();
        DestroyModels();
        DestroyVertexShaders();
        DestroySurfaceList();
        DestroyTextureList();
        DestroyCameraList();
        platform::OverrideProgramFolder("");
        appFolder[0] = '\0';
        std::filesystem::current_path(savedFolder_);
    }

    RecordingDevice& device() { return *graphics.device(); }

    RecordingGraphics graphics;

private:
    std::string savedFolder_;
};

}  // namespace test
