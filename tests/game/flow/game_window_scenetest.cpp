// The game's full-screen window as a user sees it, on X servers larger than
// the game's 640x480 picture, with and without a window manager: the whole
// picture fills the screen with its aspect kept, and a minimised game goes
// on running and drawing once it is restored. The screen is read back from
// the X server and compared with the game's own screenshots (space).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>

#include "tests/support/game_program.h"
#include "tests/support/screenshot_check.h"
#include "tests/support/x_screen.h"

namespace {

using namespace std::chrono_literals;

constexpr int kPictureWidth = 640, kPictureHeight = 480;

// Where the picture lies on a screen: scaled by the larger factor that
// keeps all of it on screen, and centred.
struct Placement {
    double scale;
    int x, y, width, height;
};

Placement PlacementOn(int screenWidth, int screenHeight) {
    const double scale = std::min(static_cast<double>(screenWidth) / kPictureWidth,
                                  static_cast<double>(screenHeight) / kPictureHeight);
    const int width = static_cast<int>(kPictureWidth * scale), height = static_cast<int>(kPictureHeight * scale);
    return {scale, (screenWidth - width) / 2, (screenHeight - height) / 2, width, height};
}

int Channel(uint32_t colour, int shift) { return static_cast<int>(colour >> shift & 0xFF); }

// Whether a screen pixel shows the picture's pixel at (x, y): scaling blends
// neighbours, so each channel must lie within the range of the 3x3 pixels
// around it (and a little more).
bool ShowsPixel(uint32_t screen, const std::vector<uint32_t>& picture, int x, int y) {
    for (int shift : {0, 8, 16}) {
        int low = 255, high = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int px = std::clamp(x + dx, 0, kPictureWidth - 1), py = std::clamp(y + dy, 0, kPictureHeight - 1);
                const int value = Channel(picture[py * kPictureWidth + px], shift);
                low = std::min(low, value);
                high = std::max(high, value);
            }
        }
        const int value = Channel(screen, shift);
        if (value < low - 12 || value > high + 12) return false;
    }
    return true;
}

// What is wrong with the screen as a showing of the screenshot's picture:
// its four corners each at their place, a grid over the whole picture (all
// but a few points: the picture may move on between the two reads), and the
// bands beside it black. Empty when nothing.
std::string PlacementFault(const test::ScreenPicture& screen, const std::vector<uint32_t>& picture) {
    if (screen.pixels.empty() || picture.empty()) return "nothing to compare";
    const Placement place = PlacementOn(screen.width, screen.height);
    const auto screenAt = [&](int x, int y) {
        // The screen pixel whose centre shows the picture pixel (x, y).
        return screen.At(place.x + std::min(static_cast<int>((x + 0.5) * place.scale), place.width - 1),
                         place.y + std::min(static_cast<int>((y + 0.5) * place.scale), place.height - 1));
    };
    const int corners[4][2] = {{0, 0}, {kPictureWidth - 1, 0}, {0, kPictureHeight - 1},
                               {kPictureWidth - 1, kPictureHeight - 1}};
    for (const auto& corner : corners) {
        if (!ShowsPixel(screenAt(corner[0], corner[1]), picture, corner[0], corner[1])) {
            return "the corner (" + std::to_string(corner[0]) + ", " + std::to_string(corner[1]) +
                   ") is not where it belongs";
        }
    }
    int points = 0, wrong = 0;
    for (int y = 0; y < kPictureHeight; y += 6) {
        for (int x = 0; x < kPictureWidth; x += 6, ++points) {
            if (!ShowsPixel(screenAt(x, y), picture, x, y)) ++wrong;
        }
    }
    if (wrong * 50 > points) return std::to_string(wrong) + " of " + std::to_string(points) + " points differ";
    for (int y = 0; y < screen.height; y += 4) {
        for (int x = 0; x < screen.width; x += 4) {
            const bool inside = x >= place.x && x < place.x + place.width && y >= place.y && y < place.y + place.height;
            if (!inside && screen.At(x, y) != 0) return "the band beside the picture is not black";
        }
    }
    return "";
}

bool Flat(const std::vector<uint32_t>& pixels) {
    return std::all_of(pixels.begin(), pixels.end(), [&](uint32_t p) { return p == pixels.front(); });
}

// A picture mostly of one colour (a wipe under way, a fade) would match a
// wrongly placed one in most points: only pictures where no colour covers
// half the picture are compared.
bool Plain(const std::vector<uint32_t>& pixels) {
    std::unordered_map<uint32_t, size_t> counts;
    for (uint32_t p : pixels) {
        if (++counts[p] * 2 > pixels.size()) return true;
    }
    return pixels.empty();
}

class GameWindowTest : public test::GameProgramTest {
protected:
    // The game on an X server of its own of `size` ("WIDTHxHEIGHT").
    void Open(const std::string& size, bool windowManager) {
        // A previous server goes last (Xlib ends a process still connected
        // to a server that goes away), and before the new one takes its
        // display number.
        game_.reset();
        screen_.reset();
        session_.reset();
        session_ = std::make_unique<test::XSession>(Folder(), windowManager, size);
        ASSERT_EQ(session_->fault(), "");
        screen_ = std::make_unique<test::XScreen>();
        ASSERT_TRUE(screen_->Connect(session_->display()));
        game_ = StartGame(*session_);
        ASSERT_TRUE(game_->started());
        next_ = 0;
    }

    // Takes screenshots, with the screen read between two of them, until the
    // screen shows one of the two (a picture that is not plain); that
    // picture, or empty with the last fault in *fault.
    std::vector<uint32_t> ShownPicture(std::string* fault) {
        for (int tries = 0; tries < 40; ++tries) {
            const std::string before = Screenshot(*session_, *game_, next_++, 20s);
            const test::ScreenPicture shown = screen_->Capture();
            const std::string after = Screenshot(*session_, *game_, next_++, 20s);
            if (before.empty() || after.empty()) {
                *fault = "no screenshot: " + test::ReadTextFile(File("game.txt"));
                return {};
            }
            for (const std::string& path : {before, after}) {
                const std::vector<uint32_t> picture = test::ReadScreenshot(path);
                if (Plain(picture)) continue;
                *fault = PlacementFault(shown, picture);
                if (fault->empty()) return picture;
            }
        }
        return {};
    }

    std::unique_ptr<test::XSession> session_;
    std::unique_ptr<test::XScreen> screen_;
    std::unique_ptr<test::ChildProcess> game_;
    int next_ = 0;  // the next screenshot's number
};

TEST_F(GameWindowTest, FullScreenShowsTheWholePictureScaledWithItsAspectKept) {
    const struct {
        const char* size;
        bool windowManager;
    } cases[] = {{"1024x768", false}, {"1024x768", true}, {"1280x720", false}, {"1280x720", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.size) + (c.windowManager ? " with" : " without") + " a window manager");
        if (!test::XSession::Available(c.windowManager)) GTEST_SKIP() << "Xvfb, the XTest library or openbox is missing";
        Open(c.size, c.windowManager);
        ASSERT_FALSE(HasFatalFailure());
        std::string fault;
        EXPECT_FALSE(ShownPicture(&fault).empty()) << fault;
        ExpectEscapeEndsTheGame(*session_, *game_);
    }
}

// Minimising under a window manager neither ends the game nor stops it for
// good: restored, it shows a picture drawn after the minimise.
TEST_F(GameWindowTest, AMinimisedFullScreenGameRestoredAfterThreeSecondsIsStillRunningAndDrawing) {
    if (!test::XSession::Available(true)) GTEST_SKIP() << "Xvfb, the XTest library or openbox is missing";
    Open("1024x768", true);
    ASSERT_FALSE(HasFatalFailure());
    std::string fault;
    const std::vector<uint32_t> before = ShownPicture(&fault);
    ASSERT_FALSE(before.empty()) << fault;

    const unsigned long window = screen_->FindWindow("Tobrazel");
    ASSERT_NE(window, 0u);
    screen_->Minimise(window);
    const auto gone = [&] { return Flat(screen_->Capture().pixels); };
    for (int waited = 0; waited < 100 && !gone(); ++waited) std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(gone()) << "the window was not minimised";
    std::this_thread::sleep_for(3s);
    int status = 0;
    ASSERT_FALSE(game_->WaitForExit(0ms, &status)) << "minimised, the game ended: " << test::DescribeExit(status)
                                                   << "\n" << test::ReadTextFile(File("game.txt"));
    EXPECT_TRUE(gone()) << "the window came back on its own";

    screen_->Restore(window);
    const std::vector<uint32_t> after = ShownPicture(&fault);
    ASSERT_FALSE(after.empty()) << fault;
    EXPECT_NE(after, before) << "the picture did not move on";
    ExpectEscapeEndsTheGame(*session_, *game_);
}

}  // namespace
