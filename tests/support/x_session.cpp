#include "tests/support/x_session.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace test {

using namespace std::chrono_literals;

ChildProcess::ChildProcess(const std::vector<std::string>& args, const std::vector<std::string>& extraEnvironment,
                           const std::string& stderrPath) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    auto overridden = [&](const std::string& entry) {
        for (const std::string& e : extraEnvironment) {
            if (entry.compare(0, e.find('=') + 1, e, 0, e.find('=') + 1) == 0) return true;
        }
        return false;
    };
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        if (!overridden(*e)) environment.emplace_back(*e);
    }
    for (const std::string& e : extraEnvironment) environment.push_back(e);
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (posix_spawn(&pid_, args[0].c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !exited_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds limit, int* status) {
    if (pid_ <= 0) return false;
    auto deadline = std::chrono::steady_clock::now() + limit;
    do {
        if (waitpid(pid_, status, WNOHANG) == pid_) return exited_ = true;
        std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

struct XTestKeys::Library {
    void* x11 = dlopen("libX11.so.6", RTLD_NOW);
    void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
    void* (*openDisplay)(const char*) = nullptr;
    int (*closeDisplay)(void*) = nullptr;
    unsigned char (*keysymToKeycode)(void*, unsigned long) = nullptr;
    int (*sync)(void*, int) = nullptr;
    int (*fakeKey)(void*, unsigned, int, unsigned long) = nullptr;
    int (*fakeMotion)(void*, int, int, int, unsigned long) = nullptr;

    template <typename F>
    void Find(void* library, const char* name, F& function) {
        function = reinterpret_cast<F>(dlsym(library, name));
    }
    Library() {
        if (!x11 || !xtst) return;
        Find(x11, "XOpenDisplay", openDisplay);
        Find(x11, "XCloseDisplay", closeDisplay);
        Find(x11, "XKeysymToKeycode", keysymToKeycode);
        Find(x11, "XSync", sync);
        Find(xtst, "XTestFakeKeyEvent", fakeKey);
        Find(xtst, "XTestFakeMotionEvent", fakeMotion);
    }
    ~Library() {
        if (xtst) dlclose(xtst);
        if (x11) dlclose(x11);
    }
};

XTestKeys::XTestKeys() : x_(std::make_unique<Library>()) {}

XTestKeys::~XTestKeys() { Disconnect(); }

bool XTestKeys::available() const {
    return x_->openDisplay && x_->closeDisplay && x_->keysymToKeycode && x_->sync && x_->fakeKey && x_->fakeMotion;
}

bool XTestKeys::Connect(const std::string& name, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!(display_ = x_->openDisplay(name.c_str())) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    return display_ != nullptr;
}

void XTestKeys::Disconnect() {
    if (display_) x_->closeDisplay(display_);
    display_ = nullptr;
}

void XTestKeys::Press(unsigned long keysym, bool down) {
    x_->fakeKey(display_, x_->keysymToKeycode(display_, keysym), down ? 1 : 0, 0);
    x_->sync(display_, 0);
}

void XTestKeys::Type(const std::vector<unsigned long>& keysyms) {
    x_->fakeMotion(display_, -1, 320, 240, 0);
    for (unsigned long keysym : keysyms) Press(keysym, true);
    std::this_thread::sleep_for(100ms);
    for (auto k = keysyms.rbegin(); k != keysyms.rend(); ++k) Press(*k, false);
}

namespace {

constexpr const char* kXvfb = "/usr/bin/Xvfb";
constexpr const char* kOpenbox = "/usr/bin/openbox";
// The X server and the window manager are system programs, not built with the
// sanitizers: the preload that sanitizer runs give the tests (the sanitizer
// runtime and the GL driver, scripts/sanitize.sh) is no part of theirs. The
// game a test starts on them keeps it.
constexpr const char* kNoPreload = "LD_PRELOAD=";

}  // namespace

bool XSession::Available(bool windowManager) {
    return access(kXvfb, X_OK) == 0 && XTestKeys().available() && (!windowManager || access(kOpenbox, X_OK) == 0);
}

XSession::XSession(const std::string& folder, bool windowManager, const std::string& screenSize)
    : display_(":" + std::to_string(100 + getpid() % 800)) {
    const std::string log = folder + "/xvfb.txt";
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{kXvfb, display_, "-screen", "0", screenSize + "x24", "-nolisten", "tcp"},
        std::vector<std::string>{kNoPreload}, log);
    if (!server_->started() || !keys_.Connect(display_, 20s)) {
        fault_ = "no X server: " + ReadTextFile(log);
        return;
    }
    if (!windowManager) return;
    // openbox runs its start-up command once it manages the screen; its own
    // settings only (none of the user's).
    const std::string ready = folder + "/openbox-ready";
    windowManager_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{kOpenbox, "--sm-disable", "--startup", "touch " + ready},
        std::vector<std::string>{"DISPLAY=" + display_, "XDG_CONFIG_HOME=" + folder, kNoPreload},
        folder + "/openbox.txt");
    auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!std::filesystem::exists(ready)) {
        int status = 0;
        if (std::chrono::steady_clock::now() > deadline || windowManager_->WaitForExit(0ms, &status)) {
            fault_ = "openbox did not start: " + ReadTextFile(folder + "/openbox.txt");
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
}

XSession::~XSession() {
    windowManager_.reset();
    keys_.Disconnect();
}

std::string ReadTextFile(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

}  // namespace test
