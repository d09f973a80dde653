// The real game program in a window: it starts in a fresh copy of its
// folder with the generated data, space saves screen/screen00.bmp, and every
// way of quitting ends it with status 0. The keys are real X key events: the
// program runs on its own Xvfb server, with or without a window manager, and
// the test types through the XTest extension (all loaded at run time, so the
// test skips where they are missing).
#include <signal.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "tests/support/game_program.h"

namespace {

using namespace std::chrono_literals;

// The number of different pixel values in a 24-bit BMP (up to 2).
size_t CountColours(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string pixels((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (pixels.size() < 57) return 0;
    for (size_t i = 57; i + 3 <= pixels.size(); i += 3) {
        if (pixels.compare(i, 3, pixels, 54, 3) != 0) return 2;
    }
    return 1;
}

using test::GameProgramTest;

TEST_F(GameProgramTest, StartsShowsTheLogosSavesAScreenshotAndQuitsOnEscape) {
    if (!test::XSession::Available(false)) GTEST_SKIP() << "Xvfb or the XTest library is missing";
    test::XSession session(Folder(), false);
    ASSERT_EQ(session.fault(), "");
    auto game = StartGame(session);
    ASSERT_TRUE(game->started());
    ASSERT_NE(Screenshot(session, *game, 0, 60s), "") << test::ReadTextFile(File("game.txt"));
    // Later shots, until one shows the first logo uncovered by the opening
    // wipe: not one flat colour. A loaded machine runs the wipe slowly, so
    // the shots go on until then rather than for a fixed time.
    size_t colours = 0;
    for (int n = 1; n < 40 && colours < 2; ++n) {
        const std::string later = Screenshot(session, *game, n, 20s);
        ASSERT_NE(later, "") << "no screenshot " << n << ": " << test::ReadTextFile(File("game.txt"));
        colours = CountColours(later);
    }
    EXPECT_GT(colours, 1u);
    EXPECT_TRUE(std::filesystem::exists(File("config.dat")));
    EXPECT_TRUE(std::filesystem::is_directory(File("replay")));

    ExpectEscapeEndsTheGame(session, *game);
}

// Under a window manager every way out, at the logos, at the title and in a
// battle, ends with status 0 and without an X error: the window manager takes
// a window's frame down as soon as the window is unmapped, and a request about
// that frame must neither reach the program's end through Xlib's default
// error handler nor leave a running thread to the static destructors.
TEST_F(GameProgramTest, EveryWayOfQuittingUnderAWindowManagerEndsWithStatusZero) {
    if (!test::XSession::Available(true)) GTEST_SKIP() << "Xvfb, the XTest library or openbox is missing";
    enum class Stage { Logos, Title, Battle };
    enum class Quit { Escape, CloseBox, Terminate };
    const struct {
        Stage stage;
        Quit quit;
    } cases[] = {
        {Stage::Logos, Quit::Escape},    {Stage::Logos, Quit::CloseBox},  {Stage::Logos, Quit::Terminate},
        {Stage::Logos, Quit::Escape},    {Stage::Logos, Quit::CloseBox},  {Stage::Logos, Quit::Terminate},
        {Stage::Title, Quit::Escape},    {Stage::Title, Quit::CloseBox},  {Stage::Title, Quit::Terminate},
        {Stage::Battle, Quit::Escape},   {Stage::Battle, Quit::CloseBox}, {Stage::Battle, Quit::Terminate},
    };
    const char* stageNames[] = {"logos", "title", "battle"};
    const char* quitNames[] = {"escape", "close box", "SIGTERM"};
    test::XSession session(Folder(), true);
    ASSERT_EQ(session.fault(), "");
    test::XTestKeys& keys = session.keys();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(quitNames[static_cast<int>(c.quit)]) + " at the " +
                     stageNames[static_cast<int>(c.stage)]);
        auto game = StartGame(session);
        ASSERT_TRUE(game->started());
        ASSERT_NE(Screenshot(session, *game, 0, 60s), "") << test::ReadTextFile(File("game.txt"));
        if (c.stage != Stage::Logos) {
            // Both logos run out on their own into the title's intro; a
            // screenshot there shows the game still takes keys.
            std::this_thread::sleep_for(14s);
            ASSERT_NE(Screenshot(session, *game, 1, 60s), "");
            if (c.stage == Stage::Battle) {
                // The intro ends on Z; versus, two players; on the select
                // screen Z decides side 0's fighter.
                for (unsigned long key : {test::XK_z, test::XK_Down, test::XK_z, test::XK_z}) {
                    keys.Type(key);
                    std::this_thread::sleep_for(700ms);
                }
                std::this_thread::sleep_for(2s);
                keys.Type(test::XK_z);
                std::this_thread::sleep_for(10s);
                ASSERT_NE(Screenshot(session, *game, 2, 60s), "");
            }
        }
        switch (c.quit) {
        case Quit::Escape: keys.Type(test::XK_Escape); break;
        case Quit::CloseBox: keys.Type({test::XK_Alt_L, test::XK_F4}); break;  // openbox's close
        case Quit::Terminate: kill(game->pid(), SIGTERM); break;
        }
        int status = 0;
        ASSERT_TRUE(game->WaitForExit(30s, &status)) << "the game did not end";
        std::string errors = test::ReadTextFile(File("game.txt"));
        EXPECT_EQ(test::DescribeExit(status), "status 0") << errors;
        std::transform(errors.begin(), errors.end(), errors.begin(), [](unsigned char ch) { return std::tolower(ch); });
        EXPECT_EQ(errors.find("x error"), std::string::npos) << errors;
        EXPECT_EQ(errors.find("terminate"), std::string::npos) << errors;
    }
}

}  // namespace
