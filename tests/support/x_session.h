#pragma once
// Programs under an X server of the test's own: a child process with its own
// environment and standard error in a file, an Xvfb server (optionally with
// the openbox window manager) and keys and pointer moves typed through the
// XTest extension. Xlib and XTest are loaded at run time, so that a test can
// skip where they are missing.
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace test {

// A child process, killed if still running when the object goes.
class ChildProcess {
public:
    // `extraEnvironment` entries ("NAME=value") replace inherited ones of the
    // same name; standard output goes nowhere.
    ChildProcess(const std::vector<std::string>& args, const std::vector<std::string>& extraEnvironment,
                 const std::string& stderrPath);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // Waits up to `limit` for the end; true with the wait status once ended.
    bool WaitForExit(std::chrono::milliseconds limit, int* status);

private:
    pid_t pid_ = -1;
    bool exited_ = false;
};

// The few Xlib and XTest entry points a test types with.
class XTestKeys {
public:
    XTestKeys();
    ~XTestKeys();
    XTestKeys(const XTestKeys&) = delete;
    XTestKeys& operator=(const XTestKeys&) = delete;

    bool available() const;
    bool Connect(const std::string& display, std::chrono::milliseconds limit);
    // Before the server goes: Xlib ends the process when it loses its server.
    void Disconnect();
    // Puts the pointer over the screen's middle and types the keys: all
    // pressed in order, held a moment, released in reverse order.
    void Type(const std::vector<unsigned long>& keysyms);
    void Type(unsigned long keysym) { Type(std::vector<unsigned long>{keysym}); }
    // Presses or releases one key and waits until the server has it.
    void Press(unsigned long keysym, bool down);

private:
    struct Library;
    std::unique_ptr<Library> x_;
    void* display_ = nullptr;
};

constexpr unsigned long XK_space = 0x20;
constexpr unsigned long XK_z = 0x7a;
constexpr unsigned long XK_Escape = 0xff1b;
constexpr unsigned long XK_Down = 0xff54;
constexpr unsigned long XK_F4 = 0xffc1;
constexpr unsigned long XK_Alt_L = 0xffe9;

// An Xvfb server (640x480 unless `screenSize`, "WIDTHxHEIGHT", says else) on
// a display number of this process's own, so that parallel runs do not meet,
// with the test's keyboard connected; with `windowManager`, openbox runs on
// it too. Its logs go into `folder`.
class XSession {
public:
    XSession(const std::string& folder, bool windowManager, const std::string& screenSize = "640x480");
    ~XSession();

    // Empty once the server (and window manager) are up, else why not.
    const std::string& fault() const { return fault_; }
    const std::string& display() const { return display_; }
    XTestKeys& keys() { return keys_; }

    // True when Xvfb, the XTest library and (when asked for) openbox exist.
    static bool Available(bool windowManager);

private:
    std::string display_;
    std::string fault_;
    XTestKeys keys_;
    std::unique_ptr<ChildProcess> server_;
    std::unique_ptr<ChildProcess> windowManager_;
};

std::string ReadTextFile(const std::string& path);

}  // namespace test
