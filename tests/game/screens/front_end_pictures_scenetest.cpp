// The select, versus and result screens on the generated pictures: a
// practice match chosen and shown, and a result concluded, with every sheet cell the
// screens pick drawn from loaded pictures.
#include <gtest/gtest.h>

#include "engine/graphics/texture.h"
#include "game/battle/battle_scene.h"
#include "game/flow/run_state.h"
#include "game/flow/transitions.h"
#include "game/screens/select_screen.h"
#include "tests/support/scene_harness.h"
#include "tools/datagen/picture_set.h"

namespace {

class FrontEndPicturesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(datagen::WritePictureArchive(harness.folder().path().string(), datagen::PictureCatalogue(),
                                                 "gf/system.dat"));
    }

    // Presses key every other frame until the scene changes; the textured
    // quads drawn on the way.
    size_t LeaveBy(int key) {
        const int32_t from = sceneNumber;
        harness.device()->ClearCalls();
        for (int frames = 0; frames < 2000 && sceneNumber == from; frames += 2) {
            harness.RunFrames(1);
            if (sceneNumber == from) harness.Tap(key);
        }
        return harness.device()->CallsNamed("DrawPrimitiveUP").size();
    }

    test::SceneHarness harness;
};

TEST_F(FrontEndPicturesTest, APracticeMatchRunsThroughTheScreens) {
    gameMode = MODE_PRACTICE;
    sceneNumber = SCENE_SELECT;
    sceneInitPending = 1;
    harness.RunFrames(1);
    ASSERT_TRUE(selectScreen.faceTexture->IsReady());
    ASSERT_EQ(selectScreen.standSheets.size(), 3u);
    for (Texture* sheet : selectScreen.standSheets) EXPECT_TRUE(sheet->IsReady());

    // Two wheels of twelve faces a frame, besides the stands and plates.
    EXPECT_GT(LeaveBy('Z'), 24u * 20);
    EXPECT_EQ(sceneNumber, SCENE_VERSUS);
    EXPECT_GT(LeaveBy('Z'), 10u * 20);
    EXPECT_EQ(sceneNumber, SCENE_BATTLE);
    // The battle itself is the battle scene's tests; its outcome is set here.
    sceneNumber = SCENE_RESULT;
    battleResult = {1, 12, 3456, 5000, 9000, 2, 3, 17456, 0};
    EXPECT_GT(LeaveBy('Z'), 100u);
    EXPECT_EQ(sceneNumber, SCENE_SELECT);
}

}  // namespace
