// The start-up console on OpenGL: the engine started on a real (offscreen)
// window paints its status lines, outlined, where the lines go.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/graphics/device.h"
#include "engine/startup/engine_main.h"
#include "tests/engine/core/application_fixture.h"
#include "tests/support/back_buffer_pixels.h"

namespace {

std::vector<uint32_t> picture;  // the back buffer when the game's loop starts
int linesAtStart = 0;

void Configure() { SetInitFlags(ENGINE_INIT_GRAPHICS | ENGINE_INIT_INPUT); }

void ReadPictureAndQuit() {
    picture = test::ReadEngineBackBuffer();
    linesAtStart = startupLineCount;
    RequestExit();
    while (PumpMessages()) {
    }
}

bool IsWhite(uint32_t rgb) { return (rgb >> 16 & 0xFF) > 0xE0 && (rgb >> 8 & 0xFF) > 0xE0 && (rgb & 0xFF) > 0xE0; }
// The outline colour, red F0, green 80, blue A0, give or take a 16-bit
// back buffer's rounding.
bool IsOutline(uint32_t rgb) {
    const int r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    return r > 0xE0 && g > 0x70 && g < 0x90 && b > 0x90 && b < 0xB0;
}

struct Counts {
    int white = 0, outline = 0, other = 0;
};
// What is painted in the rows [top, bottom) of the picture.
Counts CountRows(int top, int bottom) {
    Counts counts;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < 640; ++x) {
            const uint32_t rgb = picture[static_cast<size_t>(y) * 640 + x];
            if (IsWhite(rgb)) ++counts.white;
            else if (IsOutline(rgb)) ++counts.outline;
            else if (rgb != 0) ++counts.other;
        }
    }
    return counts;
}

class StartupConsoleGLTest : public test::ApplicationTest {
protected:
    void SetUp() override {
        test::ApplicationTest::SetUp();
        picture.clear();
        linesAtStart = 0;
    }
};

TEST_F(StartupConsoleGLTest, TheLinesArePaintedOutlinedOneUnderAnother) {
    EngineMain(Configure, ReadPictureAndQuit);
    ASSERT_EQ(picture.size(), 640u * 480u);
    // The banner, the window, the system check, the timer, graphics, input.
    ASSERT_EQ(linesAtStart, 6);
    for (int i = 0; i < linesAtStart; ++i) {
        // Line i's glyphs, with their outline a pixel around, from y = 15 + 20 i.
        const Counts line = CountRows(15 + 20 * i - 1, 15 + 20 * i + 17);
        EXPECT_GT(line.white, 40) << "line " << i;
        EXPECT_GT(line.outline, 40) << "line " << i;
        // Nothing left of x = 19: the text starts at x = 20.
        for (int y = 15 + 20 * i - 1; y < 15 + 20 * i + 17; ++y)
            for (int x = 0; x < 19; ++x) ASSERT_EQ(picture[static_cast<size_t>(y) * 640 + x], 0u) << x << "," << y;
    }
    // Above the first line and below the last the window stays black.
    const Counts above = CountRows(0, 13);
    EXPECT_EQ(above.white + above.outline + above.other, 0);
    const Counts below = CountRows(15 + 20 * linesAtStart + 2, 480);
    EXPECT_EQ(below.white + below.outline + below.other, 0);
    // The longest line (" -> Initialize DirectXGraphics...", 33 characters
    // of about 7 pixels) reaches well to the right; the short ones do not.
    auto rightmost = [](int line) {
        int right = 0;
        for (int y = 15 + 20 * line; y < 15 + 20 * line + 15; ++y)
            for (int x = 0; x < 640; ++x)
                if (IsWhite(picture[static_cast<size_t>(y) * 640 + x])) right = std::max(right, x);
        return right;
    };
    EXPECT_GT(rightmost(4), 20 + 28 * 7);
    EXPECT_LT(rightmost(1), rightmost(4) - 70);  // " -> Create Window..."
}

TEST_F(StartupConsoleGLTest, SwitchedOffNothingIsKeptOrPainted) {
    startupConsoleEnabled = 0;
    EngineMain(Configure, ReadPictureAndQuit);
    ASSERT_EQ(picture.size(), 640u * 480u);
    EXPECT_EQ(linesAtStart, 0);
    const Counts all = CountRows(0, 480);
    EXPECT_EQ(all.white + all.outline + all.other, 0);
}

}  // namespace
