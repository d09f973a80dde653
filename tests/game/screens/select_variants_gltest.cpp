// The select screens' pictures on OpenGL from the generated data set, probed
// where their layouts differ: both wheels lit at once for two players, one
// wheel near the corner and a large stand picture in the arcade select. Each
// picture is saved as build/select_screens/<name>.png.
#include <gtest/gtest.h>

#include <vector>

#include "game/flow/transitions.h"
#include "game/screens/select_screen.h"
#include "tests/game/screens/select_gl_fixture.h"

namespace {

using test::At;
using test::Brightness;
using test::CursorFace;
using test::Near;
using test::Point;

class SelectGLTest : public test::SelectGLFixture {
protected:
    SelectGLTest() : SelectGLFixture("select_screens") {}

    // One picture of a select screen in `state`, everything come in and no
    // transition over it.
    std::vector<uint32_t> Picture(const char* name, void (*init)(), void (*draw)(), void (*leave)(), int32_t state) {
        init();
        transitionRunning = 0;
        selectScreen.state = state;
        selectScreen.whiteFlash = 0.0f;
        selectScreen.stageShow = state == SELECT_STAGE ? 1.0f : 0.0f;
        ShowWheels(1.0f);
        const std::vector<uint32_t> pixels = DrawAndSave(name, draw);
        selectScreen.state = SELECT_CANCELLED;
        leave();
        return pixels;
    }
};

TEST_F(SelectGLTest, TwoPlayersSeeBothWheelsLitAndTheArcadeOneWheelAndItsStand) {
    const auto onePlayer = Picture("one_player", InitSelect, DrawSelect, LeaveSelect, SELECT_CHARACTER);
    const auto twoPlayers = Picture("two_players", InitSelect, DrawTwoPlayerSelect, LeaveSelect, SELECT_CHARACTER);
    const auto twoPlayerStage = Picture("two_players_stage", InitSelect, DrawTwoPlayerSelect, LeaveSelect, SELECT_STAGE);
    const auto arcade = Picture("arcade", InitArcadeSelect, DrawArcadeSelect, LeaveArcadeSelect, SELECT_CHARACTER);

    const Point side0 = CursorFace(0, 0, 0), side1 = CursorFace(640, 480, 1), arcadeFace = CursorFace(30, 30, 0);
    // Side 0's cursor face is lit on both screens alike; side 1's is lit only
    // where both players choose at once, and grey on the one-player screen.
    EXPECT_TRUE(Near(At(onePlayer, side0), At(twoPlayers, side0)));
    EXPECT_GT(Brightness(At(twoPlayers, side1)), Brightness(At(onePlayer, side1)) * 5 / 4)
        << std::hex << At(twoPlayers, side1) << " " << At(onePlayer, side1);
    // The arcade wheel stands 30 pixels in from the corner with side 0's
    // character lit; side 1's wheel is not there.
    EXPECT_TRUE(Near(At(arcade, arcadeFace), At(twoPlayers, side0))) << std::hex << At(arcade, arcadeFace);
    EXPECT_FALSE(Near(At(arcade, side1), At(twoPlayers, side1), 30));
    // The stage ring fills the centre only in the stage choice; the arcade
    // centre shows the stand picture instead, the same as no stage ring.
    const Point centre{320, 240};
    EXPECT_FALSE(Near(At(twoPlayerStage, centre), At(twoPlayers, centre)));
    int differing = 0;
    for (int y = 180; y < 300; y += 4)
        for (int x = 200; x < 440; x += 4) differing += !Near(At(twoPlayerStage, {x, y}), At(twoPlayers, {x, y}));
    EXPECT_GT(differing, 60 * 30 / 2);
    // The arcade's stand picture covers the right half where the one-player
    // screen shows only sky and the stand strip.
    int standDiffers = 0;
    for (int y = 200; y < 380; y += 4)
        for (int x = 300; x < 600; x += 4) standDiffers += !Near(At(arcade, {x, y}), At(onePlayer, {x, y}));
    EXPECT_GT(standDiffers, 75 * 45 / 4);
}

// The won battles show as two digits beside each wheel once either side has
// won: 123 shows as 99, and the other side's 0 as 00 beside it; with no wins
// nothing is drawn there.
TEST_F(SelectGLTest, TwoPlayerWinCountsShowOnceEitherSideHasWon) {
    const auto none = Picture("two_players", InitSelect, DrawTwoPlayerSelect, LeaveSelect, SELECT_CHARACTER);
    winCounts[0] = 123;
    const auto counted = Picture("two_players_wins", InitSelect, DrawTwoPlayerSelect, LeaveSelect, SELECT_CHARACTER);
    winCounts[0] = 99;
    const auto ninetyNine = Picture("two_players_99", InitSelect, DrawTwoPlayerSelect, LeaveSelect, SELECT_CHARACTER);
    auto differing = [](const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int left, int top) {
        int n = 0;
        for (int y = top; y < top + 35; ++y)
            for (int x = left; x < left + 50; ++x) n += !Near(At(a, {x, y}), At(b, {x, y}));
        return n;
    };
    // The wheels' decoration turns a little between pictures, so a few
    // pixels differ everywhere; the digits differ in many more.
    const int digitsShown = differing(none, counted, 27, 73);
    EXPECT_GT(digitsShown, 400);
    EXPECT_GT(differing(none, counted, 562, 373), 400);
    EXPECT_LT(differing(counted, ninetyNine, 27, 73), digitsShown / 4);
}

}  // namespace
