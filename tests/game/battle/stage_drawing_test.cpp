// The stage scenery: the shared animation values (steps, wraps, the pause)
// and each recipe's draws with their blend and depth states, read back from
// the recording device as a compact trace.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/graphics/render_state.h"
#include "engine/models/mesh.h"
#include "game/arena/battle_state.h"
#include "game/battle/stage_drawing.h"
#include "game/shots/object_rules.h"
#include "tests/game/battle/battle_assets_fixture.h"

namespace {

Mesh* Mesh0(Model* model) { return model->GetMesh(0); }

void ResetStageAnimation() { stageSwayAngle = stageTurnAngle = stageScrollA = stageScrollB = 0.0f; }

struct AnimationValues {
    float turn, sway, scrollA, scrollB;
};
AnimationValues ReadAnimation() { return {stageTurnAngle, stageSwayAngle, stageScrollA, stageScrollB}; }

// With no stage loaded the recipes have nothing to draw; the animation
// still moves.
TEST(StageAnimation, EachStageStepsItsOwnValues) {
    struct Case {
        int stage;
        AnimationValues step;
    };
    const Case cases[] = {
        {0, {0.001f, 0.003f, 0, 0}},   {1, {0.001f, 0.003f, 0.001f, 0.003f}}, {2, {0.001f, 0.003f, 0.002f, 0}},
        {3, {0.001f, 0.003f, 0, 0}},   {4, {0.002f, 0.003f, 0.01f, 0}},       {5, {0.001f, 0.003f, 0, 0}},
        {6, {0.002f, 0.003f, 0.025f, 0}}, {7, {0.001f, 0.003f, 0.001f, 0}},   {8, {0.05f, 0.001f, 0.002f, 0}},
    };
    battlePaused = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE("stage " + std::to_string(c.stage));
        ResetStageAnimation();
        DrawStage(c.stage);
        DrawStage(c.stage);
        const AnimationValues v = ReadAnimation();
        EXPECT_FLOAT_EQ(v.turn, 2 * c.step.turn);
        EXPECT_FLOAT_EQ(v.sway, 2 * c.step.sway);
        EXPECT_FLOAT_EQ(v.scrollA, 2 * c.step.scrollA);
        EXPECT_FLOAT_EQ(v.scrollB, 2 * c.step.scrollB);
    }
    ResetStageAnimation();
}

TEST(StageAnimation, AnglesWrapBelowTwoPiAndScrollsBelowOne) {
    battlePaused = 0;
    ResetStageAnimation();
    stageSwayAngle = 6.2830f;
    stageTurnAngle = 6.2831f;
    stageScrollA = 0.99f;
    DrawStage(6);  // turn +0.002, sway +0.003, scroll A +0.025
    EXPECT_NEAR(stageSwayAngle, 6.2860f - 6.2831853f, 2e-5);
    EXPECT_NEAR(stageTurnAngle, 6.2851f - 6.2831853f, 2e-5);
    EXPECT_NEAR(stageScrollA, 0.015f, 1e-6);
    ResetStageAnimation();
}

TEST(StageAnimation, StandsStillWhilePausedAndIgnoresUnknownStages) {
    ResetStageAnimation();
    stageSwayAngle = 1.0f;
    battlePaused = 1;
    DrawStage(8);
    EXPECT_EQ(stageSwayAngle, 1.0f);
    battlePaused = 0;
    for (int stage : {9, -1, 1000}) DrawStage(stage);
    EXPECT_EQ(stageSwayAngle, 1.0f);
    EXPECT_EQ(stageTurnAngle, 0.0f);
    ResetStageAnimation();
}

class StageDrawingTest : public test::BattleAssetsFixture {
protected:
    void SetUp() override {
        test::BattleAssetsFixture::SetUp();
        ResetStageAnimation();
        battlePaused = 0;
        camera_ = CreateCamera();
    }
    void TearDown() override {
        ResetStageAnimation();
        test::BattleAssetsFixture::TearDown();
    }

    // Loads the stage with every mesh drawn whatever the camera sees, sets
    // the states the battle draws the stage with, and forgets the calls.
    void Prepare(int stage) {
        LoadStage(stage);
        for (Model* model : stageModels) model->SetMeshCulling(0, Model::kAll);
        test::ApplyStageView(camera_, 960.0f);
        device().ClearCalls();
    }

    // The device calls as words: "d<vertices>/<stage texture>" for a draw,
    // "add"/"alpha" for the destination blend, "z<n>" and "zw<n>" for the
    // depth test and depth writes, "clear:<colour>"; runs of one word are
    // written once with "*count".
    std::string Trace() {
        std::vector<std::string> words;
        int bound = -1;
        for (const test::DeviceCall& c : device().calls) {
            std::string word;
            if (c.name == "SetTexture" && c.args[0] == 0) {
                bound = -1;
                for (size_t i = 0; i < stageTextures.size(); ++i) {
                    if (c.args[1] && c.args[1] == static_cast<uint32_t>(reinterpret_cast<uintptr_t>(
                                                      stageTextures[i]->GetD3DTexture())))
                        bound = static_cast<int>(i);
                }
            } else if (c.name == "DrawIndexedPrimitive") {
                word = "d" + std::to_string(c.args[2]) + "/" + std::to_string(bound);
            } else if (c.name == "Clear") {
                char text[32];
                std::snprintf(text, sizeof text, "clear:%08x", c.args[1]);
                word = text;
            } else if (c.name == "SetRenderState") {
                const uint32_t state = c.args[0], value = c.args[1];
                if (state == gpu::D3DRS_ZENABLE) word = "z" + std::to_string(value);
                if (state == gpu::D3DRS_ZWRITEENABLE) word = "zw" + std::to_string(value);
                if (state == gpu::D3DRS_DESTBLEND) word = value == gpu::D3DBLEND_ONE ? "add" : "alpha";
            }
            if (!word.empty()) words.push_back(word);
        }
        std::string out;
        for (size_t i = 0; i < words.size();) {
            size_t j = i;
            while (j < words.size() && words[j] == words[i]) ++j;
            out += (out.empty() ? "" : " ") + words[i] + (j - i > 1 ? "*" + std::to_string(j - i) : "");
            i = j;
        }
        return out;
    }

    Camera* camera_ = nullptr;
};

TEST_F(StageDrawingTest, EachRecipeDrawsItsModelsInOrderWithItsStates) {
    struct Case {
        int stage;
        const char* trace;
    };
    const Case cases[] = {
        {0, "d420/0"},
        {1, "d420/0 d400/2 d400/1"},
        {2, "d420/0 d100/1"},
        {4, "clear:ff331166 d400/0*2"},
        {6, "d80/0*4"},
        // Sky; the moon and then the 200 stars added on, the stars without
        // depth writes; then 30 clouds with no depth test at all.
        {7, "d110/0 add d4/2 alpha add zw0 d4/3*200 alpha zw1 z0 d4/1*30"},
        // Seal, the second seal added on without depth test, a ring of 100
        // blocks.
        {8, "d420/0 add z0 d420/2 alpha z1 d24/1*100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("stage " + std::to_string(c.stage));
        Prepare(c.stage);
        DrawStage(c.stage);
        EXPECT_EQ(Trace(), c.trace);
        ReleaseBattleModels();
    }
}

TEST_F(StageDrawingTest, StageThreeClearsToItsOwnColourBeforeTheTerrain) {
    Prepare(3);
    DrawStage(3);
    const std::string trace = Trace();
    EXPECT_EQ(trace.rfind("clear:ff967850 d121/0", 0), 0u) << trace;
}

TEST_F(StageDrawingTest, StageFiveDrawsItsSkyThenTheIslandScaledDown) {
    Prepare(5);
    DrawStage(5);
    const std::string trace = Trace();
    EXPECT_EQ(trace.rfind("d420/0", 0), 0u) << trace;
    if (stageModels.size() > 1) {
        EXPECT_EQ(stageModels[1]->scale.x, 0.8f);
        EXPECT_EQ(stageModels[1]->position.z, 300.0f);
    }
}

// Where the last copies land and how far their textures scroll.
TEST_F(StageDrawingTest, PlacesAndScrollsByTheAnimationValues) {
    stageTurnAngle = 1.0f;
    stageScrollA = 0.25f;
    Prepare(7);
    DrawStage(7);
    // The moon: (225, 80) turned by -0.2 sin(turn) - 0.2, taken in double.
    const double st = std::sin(static_cast<double>(1.001f));
    float zy[2] = {225, 80};
    RotateVector2(zy, -0.2 * st - 0.2);
    EXPECT_EQ(stageModels[2]->position.y, zy[1]);
    EXPECT_EQ(stageModels[2]->position.z, zy[0]);
    const Vector3& lastStar = stageScatterPoints.back();
    EXPECT_EQ(stageModels[3]->position.x, lastStar.x);
    // The last cloud row (z 20, y -5) scrolls by the animation alone.
    EXPECT_NEAR(Mesh0(stageModels[1])->texOffsetU, 0.251f, 1e-6);
    EXPECT_EQ(stageModels[1]->position.x, 80.0f);
    ReleaseBattleModels();

    ResetStageAnimation();
    Prepare(8);
    DrawStage(8);
    // The last block of the ring: a = 19 x 0.31415927 + sway, in double.
    const double a = 19 * 0.31415927 + static_cast<double>(0.001f);
    EXPECT_EQ(stageModels[1]->position.x, static_cast<float>(150.0 * std::sin(a)));
    EXPECT_EQ(stageModels[1]->position.y, 30.0f);
    EXPECT_EQ(stageModels[1]->position.z, static_cast<float>(150.0 * std::cos(a)));
    ReleaseBattleModels();

    ResetStageAnimation();
    Prepare(1);
    DrawStage(1);
    EXPECT_FLOAT_EQ(Mesh0(stageModels[2])->texOffsetV, 0.001f);
    EXPECT_FLOAT_EQ(Mesh0(stageModels[1])->texOffsetV, 0.003f);
}

TEST_F(StageDrawingTest, PausedSceneryIsStillDrawn) {
    Prepare(8);
    battlePaused = 1;
    DrawStage(8);
    EXPECT_EQ(stageSwayAngle, 0.0f);
    EXPECT_EQ(device().CallsNamed("DrawIndexedPrimitive").size(), 102u);
}

}  // namespace
