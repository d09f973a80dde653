// The real game program in a window: it starts in a fresh copy of its
// folder with the generated data, space saves screen/screen00.bmp and escape
// ends it with status 0. The keys are real X key events: the program runs on
// its own Xvfb server and the test types through the XTest extension (both
// loaded at run time, so the test skips where they are missing).
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/system.h"
#include "tests/support/screenshot_check.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// A child process with its own environment, killed if still running at the end.
class Child {
public:
    Child(const std::vector<std::string>& args, const std::vector<std::string>& extraEnvironment,
          const std::string& stderrPath) {
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        // The extra entries replace inherited ones of the same name.
        auto overridden = [&](const std::string& entry) {
            for (const std::string& e : extraEnvironment) {
                if (entry.compare(0, e.find('=') + 1, e, 0, e.find('=') + 1) == 0) return true;
            }
            return false;
        };
        for (char** e = environ; *e; ++e) {
            if (!overridden(*e)) environment_.emplace_back(*e);
        }
        for (const std::string& e : extraEnvironment) environment_.push_back(e);
        std::vector<char*> envp;
        for (std::string& e : environment_) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&pid_, args[0].c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool started() const { return pid_ > 0; }
    bool WaitForExit(std::chrono::milliseconds limit, int* status) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        do {
            if (waitpid(pid_, status, WNOHANG) == pid_) return exited_ = true;
            std::this_thread::sleep_for(10ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return false;
    }

private:
    std::vector<std::string> environment_;
    pid_t pid_ = -1;
    bool exited_ = false;
};

// The few Xlib and XTest entry points the test types with.
struct XTestKeys {
    void* x11 = dlopen("libX11.so.6", RTLD_NOW);
    void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
    void* (*openDisplay)(const char*) = nullptr;
    int (*closeDisplay)(void*) = nullptr;
    unsigned char (*keysymToKeycode)(void*, unsigned long) = nullptr;
    int (*flush)(void*) = nullptr;
    int (*fakeKey)(void*, unsigned, int, unsigned long) = nullptr;
    int (*fakeMotion)(void*, int, int, int, unsigned long) = nullptr;
    void* display = nullptr;

    XTestKeys() {
        if (!x11 || !xtst) return;
        openDisplay = reinterpret_cast<decltype(openDisplay)>(dlsym(x11, "XOpenDisplay"));
        closeDisplay = reinterpret_cast<decltype(closeDisplay)>(dlsym(x11, "XCloseDisplay"));
        keysymToKeycode = reinterpret_cast<decltype(keysymToKeycode)>(dlsym(x11, "XKeysymToKeycode"));
        flush = reinterpret_cast<decltype(flush)>(dlsym(x11, "XFlush"));
        fakeKey = reinterpret_cast<decltype(fakeKey)>(dlsym(xtst, "XTestFakeKeyEvent"));
        fakeMotion = reinterpret_cast<decltype(fakeMotion)>(dlsym(xtst, "XTestFakeMotionEvent"));
    }
    ~XTestKeys() {
        Disconnect();
        if (xtst) dlclose(xtst);
        if (x11) dlclose(x11);
    }
    bool available() const { return openDisplay && closeDisplay && keysymToKeycode && flush && fakeKey && fakeMotion; }
    bool Connect(const std::string& name, std::chrono::milliseconds limit) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (!(display = openDisplay(name.c_str())) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(50ms);
        }
        return display != nullptr;
    }
    // Before the server goes: Xlib ends the process when it loses its server.
    void Disconnect() {
        if (display) closeDisplay(display);
        display = nullptr;
    }
    // Puts the pointer over the screen's middle (the window has the focus
    // under it, there being no window manager) and types one key.
    void Type(unsigned long keysym) {
        fakeMotion(display, -1, 320, 240, 0);
        unsigned code = keysymToKeycode(display, keysym);
        fakeKey(display, code, 1, 0);
        flush(display);
        std::this_thread::sleep_for(100ms);
        fakeKey(display, code, 0, 0);
        flush(display);
    }
};

constexpr unsigned long XK_space = 0x20;
constexpr unsigned long XK_Escape = 0xff1b;

std::string ReadText(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

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

TEST(GameProgramTest, StartsShowsTheLogosSavesAScreenshotAndQuitsOnEscape) {
    const std::string xvfb = "/usr/bin/Xvfb";
    XTestKeys keys;
    if (access(xvfb.c_str(), X_OK) != 0 || !keys.available()) GTEST_SKIP() << "Xvfb or the XTest library is missing";

    test::TempDir folder;
    const std::string bin = platform::ProgramFolder();
    std::filesystem::copy_file(bin + "/game", folder.file("game"));
    {
        Child datagen({bin + "/datagen", folder.path().string()}, {}, folder.file("datagen.txt"));
        int status = 0;
        ASSERT_TRUE(datagen.WaitForExit(120s, &status));
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(folder.file("datagen.txt"));
    }

    // A display number of this process's own, so parallel runs do not meet.
    const std::string display = ":" + std::to_string(100 + getpid() % 800);
    Child server({xvfb, display, "-screen", "0", "640x480x24", "-nolisten", "tcp"}, {}, folder.file("xvfb.txt"));
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(keys.Connect(display, 20s)) << ReadText(folder.file("xvfb.txt"));
    struct Disconnection {
        XTestKeys& keys;
        ~Disconnection() { keys.Disconnect(); }
    } disconnection{keys};

    Child game({folder.file("game")},
               {"DISPLAY=" + display, "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy",
                "XDG_RUNTIME_DIR=" + folder.path().string()},
               folder.file("game.txt"));
    ASSERT_TRUE(game.started());
    const std::string shot = folder.file("screen/screen00.bmp");
    int status = 0;
    // Space until the first screenshot is there: the window takes keys once
    // it is up, and the first key may come before that.
    auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!test::ScreenshotFault(shot).empty()) {
        ASSERT_FALSE(game.WaitForExit(0ms, &status)) << "the game ended: " << ReadText(folder.file("game.txt"));
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no screenshot";
        keys.Type(XK_space);
        std::this_thread::sleep_for(400ms);
    }
    // Later shots, until one shows the first logo uncovered by the opening
    // wipe: not one flat colour. A loaded machine runs the wipe slowly, so
    // the shots go on until then rather than for a fixed time.
    size_t colours = 0;
    for (int n = 1; n < 40 && colours < 2; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "screen/screen%02d.bmp", n);
        const std::string later = folder.file(name);
        // A key typed within one slow frame can go unseen: typed again then.
        deadline = std::chrono::steady_clock::now() + 20s;
        for (int waited = 0; !test::ScreenshotFault(later).empty(); waited = (waited + 1) % 20) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no screenshot " << later;
            if (waited == 0) keys.Type(XK_space);
            std::this_thread::sleep_for(50ms);
        }
        colours = CountColours(later);
    }
    EXPECT_GT(colours, 1u);
    EXPECT_TRUE(std::filesystem::exists(folder.file("config.dat")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("replay")));

    keys.Type(XK_Escape);
    ASSERT_TRUE(game.WaitForExit(20s, &status)) << "escape did not end the game";
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << ": "
                                   << ReadText(folder.file("game.txt"));
    EXPECT_EQ(WEXITSTATUS(status), 0) << ReadText(folder.file("game.txt"));
}

}  // namespace
