// Every stage's scenery on OpenGL, loaded from the generated data set and
// drawn through the battle's perspective stage camera as the battle frame
// draws it. Each picture is saved as build/stage_screens/stageN.png.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/render_state.h"
#include "game/battle/battle_state.h"
#include "game/battle/stage_drawing.h"
#include "platform/hidden_window.h"
#include "tests/game/battle/battle_engine.h"
#include "tests/support/back_buffer_pixels.h"
#include "tests/support/recording_device.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr uint32_t kBattleClear = 0x111111;

// 0xRRGGBB pixels, top row first, as an 8-bit RGB PNG.
bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info && !setjmp(png_jmpbuf(png));
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        std::vector<png_byte> row(static_cast<size_t>(width) * 3);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
                row[3 * x] = static_cast<png_byte>(p >> 16);
                row[3 * x + 1] = static_cast<png_byte>(p >> 8);
                row[3 * x + 2] = static_cast<png_byte>(p);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}

class StageGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string bin = platform::ProgramFolder();
        screens_ = std::filesystem::path(bin).parent_path() / "stage_screens";
        const std::string command = bin + "/datagen '" + data_.path().string() + "' > /dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EnableTexture32Bit();
        window_ = std::make_unique<platform::HiddenGLWindow>(640, 480);
        host_.window = window_->handle();
        SetGraphicsHost(&host_);
        engine_ = std::make_unique<test::BattleEngine>(data_.path().string());
        ASSERT_TRUE(engine_->started());
        Surface* depth = CreateDepthBuffer(640, 480, nullptr);
        ASSERT_TRUE(depth->IsReady());
        depth->SetAsDepthBuffer();
        camera_ = CreateCamera();
    }
    void TearDown() override {
        engine_.reset();
        SetGraphicsHost(nullptr);
        ResetGraphicsSettings();
    }

    // The first scene of a battle frame: the battle's clear colour, the
    // stage camera for a view 960 units wide, depth and fog on, the stage.
    std::vector<uint32_t> DrawStageFrame(int stage) {
        ClearTarget(0xFF000000 | kBattleClear);
        ClearDepth(1.0f);
        EXPECT_EQ(BeginScene(), 1);
        test::ApplyStageView(camera_, 960.0f);
        DrawStage(stage);
        EndScene();
        return test::ReadEngineBackBuffer();
    }

    test::TempDir data_;
    std::filesystem::path screens_;  // beside the test programs' folder
    test::FakeGraphicsHost host_;
    std::unique_ptr<platform::HiddenGLWindow> window_;
    std::unique_ptr<test::BattleEngine> engine_;
    Camera* camera_ = nullptr;
};

// Each stage covers most of the screen with its own scenery: neither the
// battle's clear colour nor the stage's own clear colour (stages 3 and 4)
// shows through in most pixels, and the probes at the lower left and the
// right edge (where every stage has sky, ground, terrain or walls) are
// scenery. (The far end of stage 6's tunnel, in the centre, fades into its
// fog colour, which is the battle's clear colour.)
TEST_F(StageGLTest, EveryStageShowsItsSceneryThroughTheStageCamera) {
    const uint32_t ownClear[9] = {kBattleClear, kBattleClear, kBattleClear, 0x967850, 0x331166,
                                  kBattleClear, kBattleClear, kBattleClear, kBattleClear};
    std::filesystem::create_directories(screens_);
    battlePaused = 0;
    for (int stage = 0; stage <= 8; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        SeedRandom(0);
        LoadStage(stage);
        for (Model* model : stageModels) ASSERT_GT(model->GetMeshCount(), 0);
        const std::vector<uint32_t> pixels = DrawStageFrame(stage);
        EXPECT_TRUE(WritePng((screens_ / ("stage" + std::to_string(stage) + ".png")).string(), pixels, 640, 480));
        int scenery = 0;
        for (uint32_t p : pixels) scenery += p != kBattleClear && p != ownClear[stage];
        EXPECT_GT(scenery, 640 * 480 / 2) << "of " << 640 * 480;
        for (const auto& [x, y] : {std::pair{100, 440}, std::pair{600, 240}}) {
            const uint32_t p = pixels[static_cast<size_t>(y) * 640 + x];
            EXPECT_NE(p, kBattleClear) << x << "," << y;
            EXPECT_NE(p, ownClear[stage]) << x << "," << y;
        }
        ReleaseBattleModels();
    }
}

}  // namespace
