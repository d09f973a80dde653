// The real game program in a window: it starts in a fresh copy of its
// folder with the generated data, space saves screen/screen00.bmp, and every
// way of quitting ends it with status 0. The keys are real X key events: the
// program runs on its own Xvfb server, with or without a window manager, and
// the test types through the XTest extension (all loaded at run time, so the
// test skips where they are missing).
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "game/start/game_start.h"
#include "game/screens/title_menu.h"
#include "tests/support/back_buffer_pixels.h"
#include "tests/support/game_program.h"
#include "tests/support/x_screen.h"

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
    // How long a step may take: generous, since a loaded machine runs a
    // sanitized game slowly, and a step that never comes fails its row.
    constexpr auto kReach = 120s;
    std::unique_ptr<test::ChildProcess> game;
    const auto global = [&](const char* name, int32_t value) {
        return [&game, this, name, value] { return ReadGlobal(*game, name) == value; };
    };
    const auto scene = [&](int32_t value) { return global("sceneNumber", value); };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(quitNames[static_cast<int>(c.quit)]) + " at the " +
                     stageNames[static_cast<int>(c.stage)]);
        game = StartGame(session);
        ASSERT_TRUE(game->started());
        ASSERT_NE(Screenshot(session, *game, 0, 60s), "") << test::ReadTextFile(File("game.txt"));
        if (c.stage != Stage::Logos) {
            // Both logos run out on their own into the title's intro; a
            // screenshot there shows the game still takes keys.
            ASSERT_TRUE(WaitUntil(*game, scene(SCENE_TITLE), kReach)) << "the title was not reached";
            ASSERT_NE(Screenshot(session, *game, 1, 60s), "");
        }
        if (c.stage == Stage::Battle) {
            // Z ends the intro; versus, its first match; on the select
            // screen Z decides each choice until the versus screen, which
            // runs out into the battle.
            ASSERT_TRUE(HoldUntil(session, *game, test::XK_z, global("titleState", TITLE_MAIN), kReach));
            ASSERT_TRUE(HoldUntil(session, *game, test::XK_Down, global("titleCursor", MAIN_ITEM_VERSUS), kReach));
            ASSERT_TRUE(HoldUntil(session, *game, test::XK_z, global("titleState", TITLE_VERSUS), kReach));
            ASSERT_TRUE(HoldUntil(session, *game, test::XK_z, scene(SCENE_SELECT), kReach));
            const auto leftSelect = [&] {
                const std::optional<int32_t> now = ReadGlobal(*game, "sceneNumber");
                return now && *now != SCENE_SELECT;
            };
            // A press a second, each released long enough for a slow frame to see it.
            for (int press = 0; press < 120 && !leftSelect(); ++press) {
                HoldUntil(session, *game, test::XK_z, leftSelect, 1s);
                WaitUntil(*game, leftSelect, 1s);
            }
            ASSERT_TRUE(leftSelect()) << "the select screen was not left";
            ASSERT_TRUE(WaitUntil(*game, scene(SCENE_BATTLE), kReach)) << "the battle was not reached";
            ASSERT_NE(Screenshot(session, *game, 2, 60s), "");
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

// The single-instance lock of a first copy of the game started with
// XDG_RUNTIME_DIR=`folder`, held for the life of the object.
class FirstCopyLock {
public:
    explicit FirstCopyLock(const std::string& folder)
        : fd_(::open((folder + "/lock-Tobrazel").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {}
    ~FirstCopyLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    FirstCopyLock(const FirstCopyLock&) = delete;
    FirstCopyLock& operator=(const FirstCopyLock&) = delete;
    bool held() const { return fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0; }

private:
    int fd_;
};

// The pixels of a screen that are not the black of the bare screen; a box
// lights at least kBoxPixels of them.
size_t LitPixels(const test::ScreenPicture& picture) {
    return static_cast<size_t>(
        std::count_if(picture.pixels.begin(), picture.pixels.end(), [](uint32_t p) { return p != 0; }));
}
constexpr size_t kBoxPixels = 10000;

// A second copy shows its box under a window manager (the screen with the
// box is saved as second_copy_box.png, one of the documentation's pictures)
// and SIGTERM ends it while the box stands, with status 0, taking the box
// down.
TEST_F(GameProgramTest, ASecondCopyShowsItsBoxUntilSigtermEndsItWithStatusZero) {
    if (!test::XSession::Available(true)) GTEST_SKIP() << "Xvfb, the XTest library or openbox is missing";
    test::XSession session(Folder(), true);
    ASSERT_EQ(session.fault(), "");
    test::XScreen screen;
    ASSERT_TRUE(screen.Connect(session.display()));
    const FirstCopyLock first(Folder());
    ASSERT_TRUE(first.held());
    auto game = StartGame(session);
    ASSERT_TRUE(game->started());
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (LitPixels(screen.Capture()) < kBoxPixels) {
        ASSERT_FALSE(game->WaitForExit(0ms, &status))
            << "the second copy ended without its box: " << test::ReadTextFile(File("game.txt"));
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no box came";
        std::this_thread::sleep_for(50ms);
    }
    // A moment more lets the window manager draw its frame and the box its
    // text.
    std::this_thread::sleep_for(1s);
    const test::ScreenPicture picture = screen.Capture();
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 480);
    EXPECT_TRUE(test::SaveScreenshot(Folder(), "second_copy_box", picture.pixels, true));

    kill(game->pid(), SIGTERM);
    ASSERT_TRUE(game->WaitForExit(20s, &status)) << "SIGTERM did not end the game showing its box";
    EXPECT_EQ(test::DescribeExit(status), "status 0") << test::ReadTextFile(File("game.txt"));
    EXPECT_NE(test::ReadTextFile(File("game.txt")).find("2重起動は出来ません"), std::string::npos);
    const auto gone = std::chrono::steady_clock::now() + 20s;
    while (LitPixels(screen.Capture()) >= kBoxPixels && std::chrono::steady_clock::now() < gone) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_LT(LitPixels(screen.Capture()), kBoxPixels) << "the box outlived the game";
}

}  // namespace
