// A device lost in the middle of a drawn battle, on every stage, with the
// graphics layers started as the program starts them (so every layer that
// holds device objects lets them go): one reset brings the device back,
// nothing asks the program to quit, and the battle goes on drawing the very
// picture, frame for frame, that a battle which never lost it draws.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/battle/stage_drawing.h"
#include "tests/game/battle/battle_assets_fixture.h"
#include "tests/support/battle_run.h"

namespace {

constexpr int32_t kLossFrame = 300;  // well into the fight, after the countdown
constexpr int kFramesAfter = 60;

// What a frame's device calls put on screen: each draw with its vertices,
// the vertex shader constants set so far in the frame (each mesh sets those
// its shader reads before it draws) and whether a texture is bound at each
// stage when it runs (the device's own texture objects are new after a
// reset, so not which one), and each clear. A reset leaves no texture bound,
// as the device does.
class PictureLog {
public:
    // Each entry starts with its kind.
    using Picture = std::vector<std::vector<uint32_t>>;
    static constexpr uint32_t kClear = 0, kVertexDraw = 1, kMeshDraw = 2;

    Picture Take(const test::RecordingDevice& device) {
        Picture picture;
        constants_.clear();
        for (const test::DeviceCall& call : device.calls) {
            if (call.name == "Reset") {
                bound_.fill(false);
                constants_.clear();
            } else if (call.name == "SetTexture") {
                if (call.args[0] < bound_.size()) bound_[call.args[0]] = call.args[1] != 0;
            } else if (call.name == "SetVertexShaderConstant") {
                for (uint32_t i = 0; i < call.args[1]; ++i) {
                    constants_[call.args[0] + i].assign(call.matrix.begin() + 4 * i, call.matrix.begin() + 4 * i + 4);
                }
            } else if (call.name == "Clear") {
                picture.push_back({kClear});
                picture.back().insert(picture.back().end(), call.args.begin(), call.args.end());
            } else if (call.name == "DrawPrimitiveUP" || call.name == "DrawIndexedPrimitive") {
                std::vector<uint32_t> draw{call.name == "DrawIndexedPrimitive" ? kMeshDraw : kVertexDraw};
                draw.insert(draw.end(), call.args.begin(), call.args.end());
                draw.insert(draw.end(), call.vertices.begin(), call.vertices.end());
                draw.insert(draw.end(), bound_.begin(), bound_.end());
                for (const auto& [reg, values] : constants_) {
                    draw.push_back(reg);
                    for (float value : values) draw.push_back(std::bit_cast<uint32_t>(value));
                }
                picture.push_back(std::move(draw));
            }
        }
        return picture;
    }

private:
    std::array<bool, 4> bound_{};
    std::map<uint32_t, std::vector<float>> constants_;
};

struct Fight {
    std::vector<uint64_t> hashes;
    std::vector<PictureLog::Picture> pictures;  // per frame after the loss frame
    int resets = 0;
    bool lostThenWorking = false;
};

// A fight on `stage` with the generated data; with `lose`, the present of
// frame kLossFrame loses the device.
Fight FightOn(int32_t stage, bool lose) {
    // The scenery's animation goes on from battle to battle: both fights
    // start it from the same place.
    stageSwayAngle = stageTurnAngle = stageScrollA = stageScrollB = 0.0f;
    test::BattleRun run{test::AsTheProgram{}};
    const std::filesystem::path data = test::BattleDataFolder().path();
    std::filesystem::copy(data / "gf", run.scene().folder().path() / "gf", std::filesystem::copy_options::recursive);
    run.SetScript(test::ChaseAndSlash);
    test::BattleSetup setup;
    setup.characters[1] = 3;
    setup.stage = stage;
    run.Start(setup);
    // Stage 7 scatters its stars with the generator before the battle seeds
    // it, and the engine's start seeded it from the clock.
    SeedRandom(1);
    test::RecordingDevice& device = *run.scene().device();
    PictureLog log;
    const auto frame = [&] {
        device.ClearCalls();
        const bool running = run.RunFrame();
        return std::make_pair(running, log.Take(device));
    };
    Fight fight;
    while (frame().first && battleFrame < kLossFrame) {}
    device.presentLoses = lose;
    EXPECT_TRUE(frame().first);
    fight.lostThenWorking = lose && !device.presentLoses && device.TestCooperativeLevel() == gpu::D3D_OK;
    for (int i = 0; i < kFramesAfter; ++i) {
        auto [running, picture] = frame();
        EXPECT_TRUE(running);
        fight.pictures.push_back(std::move(picture));
    }
    fight.hashes = run.hashes();
    fight.resets = device.resetCount;
    return fight;
}

TEST(DeviceLossScene, ALostDeviceInADrawnBattleComesBackWithOneResetOnEveryStage) {
    for (int32_t stage = 0; stage <= 8; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        const Fight kept = FightOn(stage, false);
        const Fight lost = FightOn(stage, true);
        EXPECT_EQ(kept.resets, 0);
        EXPECT_TRUE(lost.lostThenWorking);
        EXPECT_EQ(lost.resets, 1) << "ten failed resets ask the program to quit";
        EXPECT_EQ(lost.hashes, kept.hashes);
        ASSERT_EQ(lost.pictures.size(), kept.pictures.size());
        int meshDraws = 0;
        for (size_t frame = 0; frame < kept.pictures.size(); ++frame) {
            for (const auto& entry : kept.pictures[frame]) meshDraws += entry[0] == PictureLog::kMeshDraw;
            ASSERT_EQ(lost.pictures[frame], kept.pictures[frame]) << "frame " << frame << " after the loss";
        }
        EXPECT_GT(meshDraws, 0) << "no model was drawn";
    }
}

}  // namespace
