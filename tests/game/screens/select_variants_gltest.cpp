// The select screens' pictures on OpenGL from the generated data set, probed
// where their layouts differ: both wheels lit at once for two players, one
// wheel near the corner and a large stand picture in the arcade select. Each
// picture is saved as build/select_screens/<name>.png.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/graphics/camera.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "game/battle/battle_scene.h"
#include "game/flow/game_start.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "game/screens/select_screen.h"
#include "game/shots/object_rules.h"
#include "tests/game/battle/battle_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"

namespace {

constexpr float kPi = 3.1415927f;

struct Point {
    int x, y;
};

// The centre of the face at wheel position 0 of a wheel about (cx, cy), fully
// shown; side 1's faces are turned half a circle.
Point CursorFace(float cx, float cy, int side) {
    float centre[2] = {0.0f, 200.0f};
    RotateVector2(centre, -kPi / 4 + (side == 1 ? kPi : 0.0f));
    return {static_cast<int>(cx + centre[0]), static_cast<int>(cy + centre[1])};
}

int Channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }
int Brightness(uint32_t p) { return Channel(p, 0) + Channel(p, 8) + Channel(p, 16); }
bool Near(uint32_t a, uint32_t b, int tolerance = 12) {
    for (int shift : {0, 8, 16})
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) return false;
    return true;
}

class SelectGLTest : public test::BattleGLFixture {
protected:
    SelectGLTest() : BattleGLFixture("select_screens") {}
    void SetUp() override {
        BattleGLFixture::SetUp();
        if (HasFatalFailure()) return;
        Surface* depth = CreateDepthBuffer(640, 480, nullptr);
        ASSERT_TRUE(depth->IsReady());
        depth->SetAsDepthBuffer();
        transitionSprite = CreateTextureFromArchive("gf\\system.dat", "black", 1, nullptr);
        gameCamera = CreateCamera();
        std::memset(&systemData, 0, sizeof systemData);
        lastSelectedCharacters[0] = 1;
        lastSelectedCharacters[1] = 2;
        lastSelectedStage = 1;
        winCounts[0] = winCounts[1] = 0;
    }

    // One picture of a select screen in `state`, everything come in and no
    // transition over it.
    std::vector<uint32_t> Picture(const char* name, void (*init)(), void (*draw)(), void (*leave)(), int32_t state) {
        init();
        transitionRunning = 0;
        selectScreen.state = state;
        selectScreen.whiteFlash = 0.0f;
        selectScreen.stageShow = state == SELECT_STAGE ? 1.0f : 0.0f;
        for (int side = 0; side < 2; ++side) {
            selectScreen.wheelShow[side] = 1.0f;
            selectScreen.standSlide[side] = 1.05f;
        }
        draw();
        const std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
        EXPECT_TRUE(test::WritePixelsPng((screens_ / (std::string(name) + ".png")).string(), pixels, 640, 480));
        selectScreen.state = SELECT_CANCELLED;
        leave();
        return pixels;
    }
    static uint32_t At(const std::vector<uint32_t>& pixels, Point p) {
        return pixels[static_cast<size_t>(p.y) * 640 + static_cast<size_t>(p.x)];
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
