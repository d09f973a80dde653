// Perila on OpenGL, from the generated data set, through the real battle
// scene: her own pose pictures (not the stand-in's idle cycle) and her
// satellites flying out on an order, checked by pixel probes. The pictures are
// saved in build/perila_screens/.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/characters/perila.h"
#include "tests/game/battle/battle_gl_fixture.h"

namespace {

using test::PixelAt;
using test::Rgb;
using test::Whiteness;

ScreenPoint PoseDot(float x, float y, int32_t pose) { return test::PoseDot(x, y, pose, 53); }

// Pixels within 12 of a point whose green stands out: the satellites' tint.
int GreenPixels(const std::vector<uint32_t>& pixels, ScreenPoint p) {
    int count = 0;
    for (int dy = -12; dy <= 12; ++dy)
        for (int dx = -12; dx <= 12; ++dx) {
            const Rgb c = PixelAt(pixels, {p.x + dx, p.y + dy});
            if (c.g >= c.r + 40 && c.g >= c.b + 40) ++count;
        }
    return count;
}

class PerilaGLTest : public test::BattleSceneGLFixture {
protected:
    PerilaGLTest() : BattleSceneGLFixture("perila_screens") {}
};

// The swarm (C with A) at stateTimer 19 shows pose 26, whose dot stands left
// of the body; the stand-in's idle poses 0 to 3 have theirs on the right. By
// then the order has sent every satellite far out of its ring about her.
TEST_F(PerilaGLTest, HerOwnPoseAndTheSatellitesFlyingOut) {
    // Perila from the keyboard against kirune standing as the practice dummy.
    StartBattle(4, 1, 2, MODE_PRACTICE);
    RunUntil(200);
    ASSERT_EQ(battleFrame, 200);
    const std::vector<uint32_t> standing = test::ReadEngineBackBuffer();
    Save("standing.png", standing);
    PlayerRecord& p = players[0];
    ASSERT_EQ(p.state, PLAYER_FREE);
    ASSERT_EQ(p.objects.size(), 7u);
    for (const PlayerObject& o : p.objects) {
        EXPECT_LT(std::hypot(o.position[0] - p.x, o.position[1] - p.y), 80.0f) << "circling close by";
        EXPECT_EQ(o.type, 300);
    }

    p.hyperGauge = 1.0f;
    HeldKeys() = {'C', 'A'};
    RunUntil(201);
    HeldKeys().clear();
    ASSERT_EQ(p.state, PERILA_SWARM);
    RunUntil(219);
    ASSERT_EQ(p.state, PERILA_SWARM);
    ASSERT_EQ(p.stateTimer, 19);
    // The picture of the coming frame: stateTimer 19, pose 26.
    const std::vector<uint32_t> swarm = DrawAndSave("swarm.png");

    // The pose, unturned (aiming right at the opponent).
    ASSERT_LT(std::fabs(p.aimAngle), 1.5f);
    EXPECT_GE(Whiteness(swarm, PoseDot(p.x, p.y, 26)), 200) << "pose 26's dot";
    for (int32_t idle = 0; idle < 4; ++idle)
        EXPECT_LT(Whiteness(swarm, PoseDot(p.x, p.y, idle)), 200) << "idle pose " << idle << "'s dot";

    // The satellites, far from their ring and drawn where they are.
    int shown = 0;
    for (const PlayerObject& o : p.objects) {
        EXPECT_GT(std::hypot(o.position[0] - p.x, o.position[1] - p.y), 80.0f) << "flown out";
        const ScreenPoint at = WorldToScreen(o.position[0], o.position[1]);
        if (at.x < 10 || at.x > 630 || at.y < 90 || at.y > 470) continue;
        ++shown;
        EXPECT_GE(GreenPixels(swarm, at), 40) << "satellite at " << at.x << "," << at.y;
        EXPECT_LT(GreenPixels(standing, at), 10) << "nothing green there before, at " << at.x << "," << at.y;
    }
    EXPECT_GE(shown, 3);
}

}  // namespace
