#include <dlfcn.h>
#include <langinfo.h>
#include <signal.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/cp932.h"
#include "platform/sdl/window_manager_state.h"
#include "platform/sdl/window_registry.h"
#include "platform/system.h"
#include "platform/window.h"

namespace platform {
namespace sdl {

std::list<WindowRecord>& Windows() {
    static std::list<WindowRecord> windows;
    return windows;
}

WindowRecord* FindLiveWindow(WindowHandle handle) {
    if (!handle) return nullptr;
    for (WindowRecord& record : Windows()) {
        if (record.window == handle) return record.destroyed ? nullptr : &record;
    }
    return nullptr;
}

void WindowToClient(SDL_Window* window, int* x, int* y) {
    const WindowRecord* record = FindLiveWindow(window);
    if (!record) return;
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    const PictureArea area = FitPicture(width, height, record->clientWidth, record->clientHeight);
    if (area.width <= 0 || area.height <= 0) return;
    *x = static_cast<int>(static_cast<int64_t>(*x - area.x) * record->clientWidth / area.width);
    *y = static_cast<int>(static_cast<int64_t>(*y - area.y) * record->clientHeight / area.height);
}

}  // namespace sdl

PictureArea FitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight) {
    if (areaWidth <= 0 || areaHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return {};
    const double scale = std::min(static_cast<double>(areaWidth) / pictureWidth,
                                  static_cast<double>(areaHeight) / pictureHeight);
    const int width = static_cast<int>(pictureWidth * scale), height = static_cast<int>(pictureHeight * scale);
    return {(areaWidth - width) / 2, (areaHeight - height) / 2, width, height};
}

namespace {

SDL_Window* AsSdl(WindowHandle window) { return static_cast<SDL_Window*>(window); }

// A box can be shown only with a real display; the offscreen and dummy
// drivers have none, and SDL would otherwise try a helper program.
bool DisplayAvailable() {
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : std::getenv("SDL_VIDEODRIVER");
    if (driver && (strcasecmp(driver, "offscreen") == 0 || strcasecmp(driver, "dummy") == 0)) return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

// Xlib's default error handler ends the process with exit(1) on any error
// reply, and SDL's own handler passes the error on to it. An error about a
// window the window manager has just taken down is no reason to end the
// game: it is written to standard error and the program goes on. Xlib is
// reached by name because SDL loads it at run time too; without it (no X11)
// there is nothing to guard.
struct XErrorReport {
    int type;
    void* display;
    unsigned long resource;
    unsigned long serial;
    unsigned char errorCode, requestCode, minorCode;
};

int ReportXError(void*, XErrorReport* error) {
    std::fprintf(stderr, "X error %u (request %u.%u, resource 0x%lx) ignored\n", error->errorCode,
                 error->requestCode, error->minorCode, error->resource);
    return 0;
}

void KeepXErrorsFromEndingTheProcess() {
    static const bool installed = [] {
        void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
        if (!x11) return false;
        using Handler = int (*)(void*, XErrorReport*);
        auto setHandler = reinterpret_cast<Handler (*)(Handler)>(dlsym(x11, "XSetErrorHandler"));
        if (setHandler) setHandler(ReportXError);
        return setHandler != nullptr;
    }();
    (void)installed;
}

// The whole first display. A full-screen window is also placed and sized
// so: with no window manager nobody acts on the full-screen request, and the
// window would otherwise stay at its windowed size while SDL takes it for
// the desktop's, so that only part of the picture shows.
SDL_Rect DesktopBounds() {
    SDL_Rect bounds{0, 0, 640, 480};
    SDL_GetDisplayBounds(0, &bounds);
    return bounds;
}

}  // namespace

bool StartWindowSystem(const char** error) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // Before SDL starts, so that SDL's handler passes X errors on to ours.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (!driver || strcasecmp(driver, "x11") == 0) KeepXErrorsFromEndingTheProcess();
    // Our own handlers turn SIGINT and SIGTERM into WM_CLOSE; closing the
    // window must not also raise SDL_QUIT.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    if (error) *error = SDL_GetError();
    return false;
}

WindowHandle CreateWindow(const WindowStyle& style, WindowProcedure procedure, const char** error) {
    if (!StartWindowSystem(error)) return nullptr;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (style.fullScreen || !style.captioned) flags |= SDL_WINDOW_BORDERLESS;
    if (style.resizable) flags |= SDL_WINDOW_RESIZABLE;
    const SDL_Rect place = style.fullScreen ? DesktopBounds()
                                            : SDL_Rect{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, style.width,
                                                       style.height};
    SDL_Window* window =
        SDL_CreateWindow(Cp932ToUtf8(style.title).c_str(), place.x, place.y, place.w, place.h, flags);
    if (!window) {
        if (error) *error = SDL_GetError();
        return nullptr;
    }
    const bool marked = style.fullScreen && sdl::MarkFullScreenBeforeMap(window);
    if (style.fullScreen && !marked) SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    sdl::Windows().push_back({window, procedure, false, false, style.width, style.height, marked});
    SendMessage(window, WM_CREATE, 0, 0);
    return window;
}

void ShowWindow(WindowHandle window) {
    if (sdl::FindLiveWindow(window)) SDL_ShowWindow(AsSdl(window));
}

void SetWindowStyle(WindowHandle window, const WindowStyle& style) {
    sdl::WindowRecord* record = sdl::FindLiveWindow(window);
    if (!record) return;
    record->clientWidth = style.width;
    record->clientHeight = style.height;
    SDL_Window* sdlWindow = AsSdl(window);
    if (style.fullScreen) {
        if (record->markedFullScreen) return;
        const SDL_Rect desktop = DesktopBounds();
        SDL_SetWindowBordered(sdlWindow, SDL_FALSE);
        SDL_SetWindowSize(sdlWindow, desktop.w, desktop.h);
        SDL_SetWindowPosition(sdlWindow, desktop.x, desktop.y);
        SDL_SetWindowFullscreen(sdlWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    if (record->markedFullScreen) {
        sdl::LeaveMarkedFullScreen(sdlWindow);
        record->markedFullScreen = false;
    }
    SDL_SetWindowFullscreen(sdlWindow, 0);
    SDL_SetWindowBordered(sdlWindow, style.captioned ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowSize(sdlWindow, style.width, style.height);
    SDL_SetWindowPosition(sdlWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void SetWindowTitle(WindowHandle window, const char* cp932Title) {
    if (sdl::FindLiveWindow(window)) SDL_SetWindowTitle(AsSdl(window), Cp932ToUtf8(cp932Title).c_str());
}

void DestroyWindow(WindowHandle window) {
    sdl::WindowRecord* record = sdl::FindLiveWindow(window);
    if (!record) return;
    if (!record->destroySent) SendMessage(window, WM_DESTROY, 0, 0);
    // The window stays mapped until CloseWindowSystem destroys it: hiding it
    // here makes a window manager take its frame down while SDL still asks
    // the server about that frame in the next event poll.
    record->destroyed = true;
}

void CloseWindowSystem() {
    for (sdl::WindowRecord& record : sdl::Windows()) SDL_DestroyWindow(record.window);
    sdl::Windows().clear();
    sdl::ClearMessageQueue();
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void ShowCursor(bool show) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

namespace {

// SDL's X11 box draws its text with X core fonts in the character sets of
// the locale the environment names: in a locale that is not UTF-8 the
// Japanese of a UTF-8 text is dropped. The texts are UTF-8, so the box is
// shown in a UTF-8 locale (C.UTF-8 when the environment names none).
void UseUtf8LocaleForTheBox() {
    if (std::setlocale(LC_CTYPE, "") && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
    ::setenv("LC_ALL", "C.UTF-8", 1);
}

// Shows the box in a child process in a process group of its own and waits
// for it. SDL waits for its own box ignoring signals; this wait ends on
// SIGINT or SIGTERM (left pending for the message pump), taking the box down
// with the whole group.
void ShowBoxUntilQuit(const std::string& caption, const std::string& text) {
    const pid_t child = ::fork();
    if (child < 0) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
        return;
    }
    if (child == 0) {
        ::setpgid(0, 0);
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        UseUtf8LocaleForTheBox();
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
        ::_exit(0);
    }
    ::setpgid(child, child);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (QuitSignalPending()) {
            ::kill(-child, SIGTERM);
            ::waitpid(child, &status, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace

int ShowMessageBox(const char* caption, const char* text) {
    std::string utf8Caption = Cp932ToUtf8(caption);
    std::string utf8Text = Cp932ToUtf8(text);
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
    std::fflush(stderr);
    if (DisplayAvailable()) ShowBoxUntilQuit(utf8Caption, utf8Text);
    return 1;
}

}  // namespace platform
