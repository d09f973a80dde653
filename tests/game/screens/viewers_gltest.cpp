// The animation viewer, the story viewer and the staff roll on OpenGL, from
// the generated pictures, checked by pixel probes. Each picture is saved in
// build/viewer_screens.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "game/flow/run_state.h"
#include "game/screens/animation_viewer.h"
#include "game/screens/staff_roll.h"
#include "game/screens/story_viewer.h"
#include "game/screens/title_menu.h"
#include "platform/system.h"
#include "tests/support/back_buffer_pixels.h"
#include "tests/support/scene_harness.h"
#include "tools/datagen/picture_set.h"

namespace {

struct Rgb {
    int r, g, b;
    int Level() const { return r + g + b; }
};

class ViewersGLTest : public testing::Test {
protected:
    static void WritePictures(const std::string& folder) {
        const auto catalogue = datagen::PictureCatalogue();
        for (const char* archive : {"gf/system.dat", "gf/animation.dat", "gf/extra.dat"})
            ASSERT_TRUE(datagen::WritePictureArchive(folder, catalogue, archive)) << archive;
    }

    // The picture on screen now, saved under `name`.
    void Shoot(const std::string& name) {
        pixels = test::ReadEngineBackBuffer();
        std::filesystem::create_directories(screens_);
        EXPECT_TRUE(test::WritePixelsPng((screens_ / (name + ".png")).string(), pixels, 640, 480));
    }
    Rgb At(int x, int y) const {
        const uint32_t p = pixels[static_cast<size_t>(y) * 640 + x];
        return {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)};
    }
    // The brightest pixel of a rectangle.
    int BrightestIn(int x0, int y0, int x1, int y1) const {
        int best = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) best = std::max(best, At(x, y).Level());
        return best;
    }
    void Enter(int32_t scene) {
        sceneNumber = scene;
        sceneInitPending = 1;
    }

    // Beside the test programs' folder, found before the harness moves the
    // program folder into its temporary one.
    const std::filesystem::path screens_ =
        std::filesystem::path(platform::ProgramFolder()).parent_path() / "viewer_screens";
    test::SceneHarness harness{test::OnOpenGL{WritePictures}};
    std::vector<uint32_t> pixels;
};

TEST_F(ViewersGLTest, AnimationShowsTitleAndStillsBetweenBlackBars) {
    animationNextScene = SCENE_TITLE;
    Enter(SCENE_ANIMATION);
    harness.RunFrames(200);  // the title picture at full strength
    Shoot("animation_title");
    EXPECT_GT(At(320, 240).Level(), 60);                     // the title picture over black
    EXPECT_EQ(At(30, 240).Level(), 0);                       // black beside it
    for (int y : {10, 470}) EXPECT_EQ(At(320, y).Level(), 0);  // the bars

    harness.RunFrames(512 - 200 + 350);  // the first sequence, past its fade-in
    ASSERT_EQ(animationPhase, ANIMATION_FIRST);
    Shoot("animation_stills");
    const Rgb still = At(400, 240);
    EXPECT_LT(still.Level(), 3 * 250);  // a still, not the white behind
    EXPECT_GT(still.Level(), 60);
    for (int y : {10, 470}) EXPECT_EQ(At(320, y).Level(), 0);
}

TEST_F(ViewersGLTest, StoryPageOverTheDarkenedBackground) {
    extraItem = 1;
    Enter(SCENE_STORY);
    harness.RunFrames(60);  // the opening wipe is over
    Shoot("story_background");
    const int before = At(600, 240).Level();
    EXPECT_GT(before, 60);  // the character's background
    harness.Tap('Z');
    harness.RunFrames(80);  // dimmed, and the page faded in
    ASSERT_EQ(storyState, STORY_PAGES);
    Shoot("story_page");
    EXPECT_LT(At(600, 240).Level(), before / 2);   // darkened outside the page
    EXPECT_GT(At(260, 300).Level(), At(600, 240).Level() + 60);  // the page, added over it
}

TEST_F(ViewersGLTest, StaffRollLinesAndPictureRiseOverGrey) {
    Enter(SCENE_STAFF_ROLL);
    harness.RunFrames(1200);  // the first credit line rises through y 400
    Shoot("staff_roll_line");
    EXPECT_EQ(At(100, 400).Level(), 3 * 0x11);  // the grey behind
    EXPECT_GT(BrightestIn(192, 375, 448, 425), 600);  // white lettering
    harness.Hold('X');
    harness.RunFrames(360);  // s about 3000: the picture's top half
    harness.Release('X');
    Shoot("staff_roll_picture");
    const Rgb picture = At(330, 300);
    EXPECT_GT(picture.b, picture.r + 40);  // the picture's blue top
}

}  // namespace
