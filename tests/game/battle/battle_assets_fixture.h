#pragma once
// The engine on the recording null device with the texture, surface, shader,
// camera and model layers started, and a program folder holding the
// generated stage archive, stage model and character archives, so the battle
// loaders read the placeholder data set.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/arena/roster.h"
#include "tests/game/battle/battle_engine.h"
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
        for (int id = 1; id <= CHARACTER_COUNT; ++id) archives.push_back("gf/mdl_" + std::to_string(id) + "1.dat");
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
        engine_ = std::make_unique<BattleEngine>(BattleDataFolder().path().string());
        ASSERT_TRUE(engine_->started());
    }
    void TearDown() override { engine_.reset(); }

    RecordingDevice& device() { return *graphics.device(); }

    RecordingGraphics graphics;

private:
    std::unique_ptr<BattleEngine> engine_;
};

}  // namespace test
