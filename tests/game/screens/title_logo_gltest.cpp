// The title logo on OpenGL from the generated pictures: drawn over the menus
// in every state, large beside the main menu and in the top bar while the
// ranking is open, so it never hides the table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/screens/title_menu.h"
#include "tests/support/back_buffer_pixels.h"
#include "tests/support/scene_harness.h"
#include "tools/datagen/picture_set.h"

namespace {

void WritePictures(const std::string& folder) {
    ASSERT_TRUE(datagen::WritePictureArchive(folder, datagen::PictureCatalogue(), "gf/system.dat"));
}

// The generated logo is an amber picture: red well above blue.
bool Amber(uint32_t p) {
    const int r = static_cast<int>(p >> 16 & 0xFF), b = static_cast<int>(p & 0xFF);
    return r > b + 60;
}

// The share of amber pixels in [x0, x1) x [y0, y1).
double AmberShare(const std::vector<uint32_t>& pixels, int x0, int y0, int x1, int y1) {
    int amber = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) amber += Amber(pixels[static_cast<size_t>(y) * 640 + x]);
    return static_cast<double>(amber) / ((x1 - x0) * (y1 - y0));
}

TEST(TitleLogoGLTest, DrawnBesideTheMenuAndInTheTopBarOverTheRanking) {
    test::SceneHarness harness{test::OnOpenGL{WritePictures}};
    titleStartState = TITLE_START_MAIN;
    sceneNumber = SCENE_TITLE;
    sceneInitPending = 1;
    harness.RunFrames(60);
    ASSERT_EQ(titleState, TITLE_MAIN);
    std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
    EXPECT_GT(AmberShare(pixels, 40, 90, 320, 210), 0.5) << "no logo beside the main menu";

    // The ranking after an arcade run that did not enter it.
    harness.RunFrames(1);
    rankingPlace = RANKING_ENTRIES;
    titleStartState = TITLE_START_RANKING;
    sceneInitPending = 1;
    harness.RunFrames(60);
    ASSERT_EQ(titleState, TITLE_RANKING);
    ASSERT_GE(rankingAlpha, 1.0f);
    pixels = test::ReadEngineBackBuffer();
    EXPECT_GT(AmberShare(pixels, 30, 8, 122, 52), 0.5) << "no logo in the top bar";
    EXPECT_LT(AmberShare(pixels, 40, 90, 320, 210), 0.2) << "the logo covers the ranking";
}

}  // namespace
