// Every stage's scenery on OpenGL, loaded from the generated data set and
// drawn through the battle's perspective stage camera as the battle frame
// draws it. Each picture is saved as build/stage_screens/stageN.png.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/render_state.h"
#include "game/arena/battle_state.h"
#include "game/battle/stage_drawing.h"
#include "platform/hidden_window.h"
#include "tests/game/battle/battle_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"
#include "tests/support/recording_device.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr uint32_t kBattleClear = 0x111111;

class StageGLTest : public test::BattleGLFixture {
protected:
    StageGLTest() : BattleGLFixture("stage_screens") {}
    void SetUp() override {
        BattleGLFixture::SetUp();
        if (HasFatalFailure()) return;
        AttachDepthBuffer();
        if (HasFatalFailure()) return;
        camera_ = CreateCamera();
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
    battlePaused = 0;
    // The scenery's animation carries on from battles drawn before in this program.
    stageSwayAngle = stageTurnAngle = stageScrollA = stageScrollB = 0.0f;
    for (int stage = 0; stage <= 8; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        SeedRandom(0);
        LoadStage(stage);
        for (Model* model : stageModels) ASSERT_GT(model->GetMeshCount(), 0);
        const std::vector<uint32_t> pixels = DrawStageFrame(stage);
        EXPECT_TRUE(test::WritePixelsPng((screens_ / ("stage" + std::to_string(stage) + ".png")).string(), pixels, 640, 480));
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
