// Torvi on OpenGL, from the generated data set, through the real battle
// scene: its own pose pictures (not the stand-in's idle cycle) on a stage,
// checked by pixel probes. The pictures are saved in build/torvi_screens/.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/characters/torvi.h"
#include "tests/game/battle/battle_gl_fixture.h"

namespace {

using test::Whiteness;

ScreenPoint PoseDot(float x, float y, int32_t pose) { return test::PoseDot(x, y, pose, 45); }

class TorviGLTest : public test::BattleSceneGLFixture {
protected:
    TorviGLTest() : BattleSceneGLFixture("torvi_screens") {}
};

// The best whiteness among the dots of poses first..last.
int BestDot(const std::vector<uint32_t>& pixels, const PlayerRecord& p, int32_t first, int32_t last) {
    int best = 0;
    for (int32_t pose = first; pose <= last; ++pose) best = std::max(best, Whiteness(pixels, PoseDot(p.x, p.y, pose)));
    return best;
}

// The shot cloud (Z) shows poses 19 to 25, whose dots stand left of the body;
// the idle poses 0 to 3 (torvi's and the stand-in's) have theirs on the
// right. The probes take the whole range of each cycle.
TEST_F(TorviGLTest, ItsOwnPoseOnAStage) {
    // Torvi from the keyboard against kirune standing as the practice dummy.
    StartBattle(6, 1, 3, MODE_PRACTICE);
    RunUntil(200);
    ASSERT_EQ(battleFrame, 200);
    PlayerRecord& p = players[0];
    ASSERT_EQ(p.state, PLAYER_FREE);
    const std::vector<uint32_t> standing = DrawAndSave("standing.png");
    EXPECT_GE(BestDot(standing, p, 0, 2), 200) << "an idle pose's dot";
    EXPECT_LT(BestDot(standing, p, 19, 25), 200) << "no shot cloud pose yet";

    HeldKeys() = {'Z'};
    RunUntil(201);
    HeldKeys().clear();
    ASSERT_EQ(p.state, TORVI_SHOT_CLOUD);
    while (p.stateTimer < 12 && sceneNumber == SCENE_BATTLE) RunBattleScene();
    ASSERT_EQ(p.state, TORVI_SHOT_CLOUD);
    const std::vector<uint32_t> cloud = DrawAndSave("shot_cloud.png");

    // Aimed straight at the opponent on the same line: unturned.
    ASSERT_EQ(p.aimAngle, 0.0f);
    EXPECT_GE(BestDot(cloud, p, 19, 25), 200) << "a shot cloud pose's dot";
    EXPECT_LT(BestDot(cloud, p, 0, 3), 200) << "no idle pose's dot";
}

}  // namespace
