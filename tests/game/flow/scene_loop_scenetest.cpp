// The game's start-up and scene loop run headless: what the start sets up,
// which scene function each scene number runs, the keys that work at any
// time, and the ways through the front-end scenes.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/core/application.h"
#include "engine/devices/network.h"
#include "engine/graphics/render_state.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/flow/replay_file.h"
#include "game/flow/sound_tables.h"
#include "game/screens/select_screen.h"
#include "game/screens/title_menu.h"
#include "game/start/game_start.h"
#include "platform/keyboard.h"
#include "tests/support/fake_transport.h"
#include "tests/support/scene_harness.h"
#include "tests/support/screenshot_check.h"

namespace {

// The colours the frames cleared the screen to, in order.
std::vector<uint32_t> ClearColours(test::RecordingDevice* device) {
    std::vector<uint32_t> colours;
    for (const auto& call : device->CallsNamed("Clear")) colours.push_back(call.args[1]);
    return colours;
}

// The dark grey that the select, versus and result screens clear to; the
// select and result screens clear the depth buffer after it.
constexpr uint32_t kScreenClear = 0xFF111111;

class SceneLoopTest : public testing::Test {
protected:
    // Runs one frame of `scene` as a fresh entry into it.
    void EnterScene(int32_t scene) {
        sceneNumber = scene;
        sceneInitPending = 1;
        harness.device()->ClearCalls();
        harness.RunFrames(1);
    }
    test::SceneHarness harness;
    test::FakeTransport transport;  // the network select opens its socket here
};

TEST_F(SceneLoopTest, StartSetsTheStatesFoldersAndFirstScene) {
    EXPECT_EQ(sceneNumber, SCENE_LOGO);
    EXPECT_EQ(sceneInitPending, 1);
    EXPECT_EQ(difficulty, DIFFICULTY_EASY);
    EXPECT_EQ(titleStartState, -1);
    EXPECT_NE(gameCamera, nullptr);
    EXPECT_TRUE(std::filesystem::is_directory(harness.folder().file("replay")));
    EXPECT_TRUE(std::filesystem::is_directory(harness.folder().file("screen")));
    EXPECT_TRUE(std::filesystem::exists(harness.folder().file("system.dat")));

    using namespace gpu;
    const std::pair<int, uint32_t> renderStates[] = {
        {D3DRS_ALPHABLENDENABLE, 1}, {D3DRS_ZENABLE, 1}, {D3DRS_ZWRITEENABLE, 1}, {D3DRS_FOGENABLE, 1},
        {D3DRS_FILLMODE, 3},         {D3DRS_CULLMODE, D3DCULL_NONE},
    };
    for (auto [state, value] : renderStates) EXPECT_EQ(renderStateCache[state], value) << "render state " << state;
    const std::pair<int, uint32_t> stageStates[] = {
        {D3DTSS_COLORARG1, D3DTA_TEXTURE}, {D3DTSS_COLORARG2, D3DTA_CURRENT}, {D3DTSS_COLOROP, D3DTOP_MODULATE},
        {D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {D3DTSS_ALPHAARG2, D3DTA_CURRENT}, {D3DTSS_ALPHAOP, D3DTOP_MODULATE},
        {D3DTSS_MAGFILTER, D3DTEXF_LINEAR}, {D3DTSS_MINFILTER, D3DTEXF_LINEAR},
    };
    for (auto [type, value] : stageStates) EXPECT_EQ(textureStageStateCache[type], value) << "stage state " << type;
}

TEST_F(SceneLoopTest, EachSceneNumberRunsItsSceneAndSelectFollowsTheMode) {
    struct Case {
        int32_t scene, mode;
        std::vector<uint32_t> clears;
    };
    const Case cases[] = {
        {SCENE_SELECT, MODE_PRACTICE, {kScreenClear, 0}},
        {SCENE_SELECT, MODE_1P_VS_CPU, {kScreenClear, 0}},
        {SCENE_SELECT, MODE_1P_VS_2P, {kScreenClear, 0}},
        {SCENE_SELECT, MODE_VS_NETWORK, {kScreenClear, 0}},
        {SCENE_SELECT, MODE_ARCADE, {kScreenClear, 0}},
        {SCENE_SELECT, 6, {kScreenClear, 0}},  // the extra menu's mode
        {SCENE_VERSUS, MODE_PRACTICE, {kScreenClear}},
        {SCENE_RESULT, MODE_PRACTICE, {kScreenClear, 0}},
        {SCENE_ANIMATION, MODE_PRACTICE, {0xFFFFFFFF, 0xFF000000}},  // white, then the title picture's black
        {SCENE_STORY, MODE_PRACTICE, {0xFF555555}},
        {SCENE_STAFF_ROLL, MODE_PRACTICE, {kScreenClear}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "scene " << c.scene << " mode " << c.mode);
        gameMode = c.mode;
        EnterScene(c.scene);
        EXPECT_EQ(ClearColours(harness.device()), c.clears);
        EXPECT_EQ(harness.device()->CallsNamed("Present").size(), 1u);
        EXPECT_EQ(sceneInitPending, 0);
        EXPECT_EQ(sceneNumber, c.scene);
    }
}

TEST_F(SceneLoopTest, AnUnknownSceneNumberDrawsNothing) {
    for (int32_t scene : {0, 2, 5, 17, -1}) {
        EnterScene(scene);
        EXPECT_TRUE(harness.device()->calls.empty()) << "scene " << scene;
        EXPECT_EQ(sceneNumber, scene);
    }
}

TEST_F(SceneLoopTest, SpaceSavesNumberedScreenshotsFromZero) {
    harness.RunFrames(1);
    screenshotCounter = 0;
    for (int i = 0; i < 11; ++i) OnKeyDown(platform::VK_SPACE, 0);
    EXPECT_EQ(screenshotCounter, 11);
    for (const char* name : {"screen00.bmp", "screen09.bmp", "screen10.bmp"}) {
        EXPECT_EQ(test::ScreenshotFault(harness.folder().file(std::string("screen/") + name)), "") << name;
    }
    EXPECT_FALSE(std::filesystem::exists(harness.folder().file("screen/screen11.bmp")));
}

TEST_F(SceneLoopTest, TheScreenshotHoldsTheFrameOnScreen) {
    EnterScene(SCENE_STAFF_ROLL);
    harness.RunFrames(55);  // past the fade-in, before the first credit line
    screenshotCounter = 0;
    OnKeyDown(platform::VK_SPACE, 0);
    std::ifstream file(harness.folder().file("screen/screen00.bmp"), std::ios::binary);
    file.seekg(54 + (240 * 640 + 320) * 3);
    unsigned char bgr[3] = {};
    ASSERT_TRUE(file.read(reinterpret_cast<char*>(bgr), 3));
    for (unsigned char channel : bgr) EXPECT_EQ(channel, kScreenClear & 0xFF);
}

TEST_F(SceneLoopTest, OtherKeysDoNothing) {
    screenshotCounter = 0;
    for (int key : {int('Z'), int(platform::VK_RETURN), int(platform::VK_F1)}) OnKeyDown(key, 0);
    EXPECT_EQ(screenshotCounter, 0);
    EXPECT_EQ(exitRequested, 0);
    EXPECT_TRUE(std::filesystem::is_empty(harness.folder().file("screen")));
}

TEST_F(SceneLoopTest, EscapeClosesTheSocketAndAsksTheEngineToEnd) {
    netConnected = 1;
    OnKeyDown(platform::VK_ESCAPE, 0);
    EXPECT_EQ(exitRequested, 1);
    EXPECT_EQ(netConnected, 0);
    EXPECT_TRUE(seTable.empty());
    EXPECT_EQ(bgmSound, nullptr);
}

// Runs from the current scene, pressing `key` every other frame, until the
// scene changes; the scene it changed to.
int32_t LeaveBy(test::SceneHarness& harness, int key) {
    const int32_t from = sceneNumber;
    for (int frames = 0; frames < 600 && sceneNumber == from; frames += 2) {
        harness.RunFrames(1);
        if (sceneNumber == from) harness.Tap(key);
    }
    return sceneNumber;
}

TEST_F(SceneLoopTest, FrontEndLeadsFromSelectToBattleAndBack) {
    gameMode = MODE_PRACTICE;
    sceneNumber = SCENE_SELECT;
    sceneInitPending = 1;
    replayPlayback = 1;
    struct Step {
        int key;
        int32_t next;
    };
    const Step toBattle[] = {{'Z', SCENE_VERSUS}, {'Z', SCENE_BATTLE}};
    const Step fromResult[] = {{'Z', SCENE_SELECT}, {'X', SCENE_TITLE}};
    auto walk = [&](const auto& steps) {
        for (const Step& step : steps) {
            SCOPED_TRACE(testing::Message() << "from scene " << sceneNumber);
            EXPECT_EQ(LeaveBy(harness, step.key), step.next);
            EXPECT_EQ(sceneInitPending, 1);
        }
    };
    walk(toBattle);
    // The battle's own ways out are the battle scene's tests.
    sceneNumber = SCENE_RESULT;
    walk(fromResult);
    EXPECT_EQ(gameMode, MODE_PRACTICE);
    EXPECT_EQ(replayPlayback, 0);  // the select screen left with a choice
    EXPECT_EQ(exitRequested, 0);
}

TEST_F(SceneLoopTest, TwoPlayerAndArcadeSelectsLeaveWithARealMatch) {
    struct Case {
        int32_t mode;
        int32_t opponent, stage;
    };
    // Z on the keyboard decides for both sides at once: two players keep the
    // characters and stage chosen last; the arcade starts its ladder: the
    // first opponent on its stage.
    const Case cases[] = {{MODE_1P_VS_2P, 2, 1}, {MODE_ARCADE, 2, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        gameMode = c.mode;
        players[0].characterId = players[1].characterId = 0;
        arcadeStage = 3;
        sceneNumber = SCENE_SELECT;
        sceneInitPending = 1;
        ASSERT_EQ(LeaveBy(harness, 'Z'), SCENE_VERSUS);
        EXPECT_EQ(players[0].characterId, 1);
        EXPECT_EQ(players[1].characterId, c.opponent);
        EXPECT_EQ(players[0].colour, 0);
        EXPECT_EQ(players[1].colour, 0);
        EXPECT_EQ(stageNumber, c.stage);
        if (c.mode == MODE_ARCADE) {
            EXPECT_EQ(arcadeStage, 0);
        }
    }
}

TEST_F(SceneLoopTest, NetworkSelectWithoutAPeerWaitsAndLeavesBackClosingTheSocket) {
    gameMode = MODE_VS_NETWORK;
    sceneNumber = SCENE_SELECT;
    sceneInitPending = 1;
    harness.RunFrames(1);
    EXPECT_TRUE(NetIsOpen());
    harness.Tap('Z');
    harness.RunFrames(100);
    EXPECT_EQ(sceneNumber, SCENE_SELECT);
    EXPECT_EQ(selectScreen.state, SELECT_CONNECTING);
    EXPECT_EQ(LeaveBy(harness, 'X'), SCENE_TITLE);
    EXPECT_FALSE(NetIsOpen());
    EXPECT_EQ(transport.network().closes, 1);
}

}  // namespace
