// The generated fighters on OpenGL, through the real battle scene: two
// characters told apart by colour and shape and by the way they face, and
// the poses of one character told apart (standing, dashing, shielding,
// knocked back, knocked out), by pixel probes at places on the figure given
// in world units from its centre. The pictures are saved in
// build/figure_screens/.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/arena/screen_mapping.h"
#include "game/battle/battle_drawing.h"
#include "game/flow/run_state.h"
#include "tests/game/battle/battle_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"

namespace {

using test::Rgb;

// The costumes of ruo (cyan) and bemo (orange), the face, the shield's
// barrier, the stars of a hit and the grey of a knocked-out figure.
bool Cyan(const Rgb& p) { return p.b >= 170 && p.b >= p.r + 100 && p.g >= p.r + 100; }
bool Orange(const Rgb& p) { return p.r >= 170 && p.r >= p.b + 90 && p.g >= p.b + 30; }
bool Skin(const Rgb& p) { return p.r >= 200 && p.g >= 150 && p.b >= 110 && p.r >= p.b + 40; }
bool Barrier(const Rgb& p) { return p.b >= 210 && p.r >= 90 && p.r <= 200 && p.b >= p.g + 28; }
bool Star(const Rgb& p) { return p.r >= 200 && p.g >= 170 && p.b <= 150; }
bool Drained(const Rgb& p) {
    return !Cyan(p) && p.g >= 90 && p.b >= 90 && std::abs(p.g - p.b) <= 40 && p.b - p.r <= 80 && p.b >= p.r + 15;
}

class FigureGLTest : public test::BattleSceneGLFixture {
protected:
    FigureGLTest() : BattleSceneGLFixture("figure_screens") {}

    // Ruo (side 0) against bemo on a dark stage for `frames` frames: nobody
    // at either side's keys, or bemo played by the computer.
    static void RunBattle(int32_t frames, int32_t mode) {
        StartBattle(5, 2, 6, mode);
        RunUntil(frames);
    }

    // Both fighters still, 120 apart, ruo on the left aiming at bemo; each
    // side set up by `pose`, then drawn until the camera has settled.
    std::vector<uint32_t> DrawStill(const std::function<void(PlayerRecord&)>& pose, const std::string& name) {
        test::StandFightersApart();
        pose(players[0]);
        // The camera follows the fighters a step a picture: let it settle.
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(DrawUntilCameraStill(30, &pixels)) << "the camera never settled";
        EXPECT_TRUE(test::WritePixelsPng((screens_ / (name + ".png")).string(), pixels, 640, 480));
        return pixels;
    }
};

// The pixel at (dx, dy) world units from a side's centre.
Rgb At(const std::vector<uint32_t>& pixels, int side, float dx, float dy) {
    const ScreenPoint s = WorldToScreen(players[side].x + dx, players[side].y + dy);
    return test::RgbOf(pixels[static_cast<size_t>(s.y) * 640 + s.x]);
}

std::string Text(const Rgb& p) { return std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b); }

TEST_F(FigureGLTest, TwoFightersDifferInColourShapeAndFacing) {
    RunBattle(200, MODE_1P_VS_2P);
    ASSERT_EQ(battleFrame, 200);
    const std::vector<uint32_t> pixels = DrawStill([](PlayerRecord&) {}, "standing");
    struct Probe {
        int side;
        float dx, dy;
        bool (*colour)(const Rgb&);
        bool expected;
        const char* what;
    };
    // Ruo faces right, toward bemo, and bemo left: their faces on the near
    // side of the head, the costume on the far side.
    const Probe probes[] = {
        {0, 0, 5, Cyan, true, "ruo's head"},
        {0, 0, 14, Cyan, true, "ruo's pointed hat"},
        {0, 6, -5, Cyan, false, "ruo is thin"},
        {0, 2.7f, 7.6f, Skin, true, "ruo's face, on the right"},
        {0, -3.7f, 8.5f, Cyan, true, "the back of ruo's head"},
        {1, 0, 5, Orange, true, "bemo's head"},
        {1, 6, -5, Orange, true, "bemo is round, on the right"},
        {1, -6, -5, Orange, true, "and on the left"},
        {1, 0, 16, Orange, false, "bemo has no hat"},
        {1, -2.7f, 7.6f, Skin, true, "bemo's face, on the left"},
        {1, 3.7f, 8.5f, Orange, true, "the back of bemo's head"},
    };
    for (const Probe& p : probes) {
        const Rgb c = At(pixels, p.side, p.dx, p.dy);
        EXPECT_EQ(p.colour(c), p.expected) << p.what << ": " << Text(c);
    }
}

TEST_F(FigureGLTest, PosesOfOneFighterLookDifferent) {
    RunBattle(200, MODE_1P_VS_2P);
    ASSERT_EQ(battleFrame, 200);
    struct Probe {
        float dx, dy;
        bool (*colour)(const Rgb&);
    };
    // The head standing upright, the head thrown forward in a dash, the
    // barrier before the body, a star of a hit over the head and the grey
    // head of a figure lying on its back.
    const Probe probes[] = {
        {0, 5, Cyan}, {10.5f, 0.5f, Cyan}, {10.6f, -9.3f, Barrier}, {-4.8f, 18.3f, Star}, {-12.5f, -2.8f, Drained},
    };
    constexpr int8_t X = -1;  // not looked at
    const struct {
        const char* name;
        int32_t state, stateTimer;
        int8_t expected[std::size(probes)];
    } poses[] = {
        {"standing", PLAYER_FREE, 0, {1, 0, 0, 0, 0}},
        {"dash", PLAYER_DASH, 0, {0, 1, 0, 0, 0}},
        {"shield", PLAYER_SHIELD, 0, {1, 0, 1, 0, 0}},
        {"knocked_back", PLAYER_KNOCKED_BACK, 0, {X, 0, 0, 1, 0}},
        {"knocked_out", PLAYER_KNOCKED_OUT, 2, {0, 0, 0, 0, 1}},
    };
    for (const auto& pose : poses) {
        SCOPED_TRACE(pose.name);
        const std::vector<uint32_t> pixels = DrawStill(
            [&](PlayerRecord& p) {
                p.state = pose.state;
                p.stateTimer = pose.stateTimer;
            },
            pose.name);
        for (size_t k = 0; k < std::size(probes); ++k) {
            if (pose.expected[k] == X) continue;
            const Rgb c = At(pixels, 0, probes[k].dx, probes[k].dy);
            EXPECT_EQ(probes[k].colour(c), pose.expected[k] == 1) << "probe " << k << ": " << Text(c);
        }
    }
}

// A battle as it is played: the computer's bemo attacks, and both figures
// show among the shots. The picture is build/figure_screens/battle.png.
TEST_F(FigureGLTest, BothFiguresShowInAPlayedBattle) {
    RunBattle(420, MODE_1P_VS_CPU);
    ASSERT_EQ(battleFrame, 420);
    DrawBattle();
    const std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
    EXPECT_TRUE(test::WritePixelsPng((screens_ / "battle.png").string(), pixels, 640, 480));
    int cyan = 0, orange = 0;
    for (int y = 100; y < 480; ++y)  // below the HUD, whose name plates are in the costumes' colours
        for (int x = 0; x < 640; ++x) {
            const uint32_t v = pixels[static_cast<size_t>(y) * 640 + x];
            const Rgb c{static_cast<int>(v >> 16 & 0xff), static_cast<int>(v >> 8 & 0xff), static_cast<int>(v & 0xff)};
            cyan += Cyan(c);
            orange += Orange(c);
        }
    EXPECT_GE(cyan, 60);
    EXPECT_GE(orange, 60);
}

}  // namespace
