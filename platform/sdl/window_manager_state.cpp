#include "platform/sdl/window_manager_state.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstring>

namespace platform::sdl {

namespace {

// Xlib is reached by name, as SDL reaches it: a machine without X11 runs
// the game on another driver, and these calls are then never made.
struct Xlib {
    decltype(&XInternAtom) internAtom = nullptr;
    decltype(&XChangeProperty) changeProperty = nullptr;
    decltype(&XDeleteProperty) deleteProperty = nullptr;
    decltype(&XSendEvent) sendEvent = nullptr;
    decltype(&XFlush) flush = nullptr;

    bool complete() const { return internAtom && changeProperty && deleteProperty && sendEvent && flush; }
};

const Xlib* LoadedXlib() {
    static const Xlib xlib = [] {
        Xlib found;
        void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
        if (!library) return found;
        found.internAtom = reinterpret_cast<decltype(found.internAtom)>(dlsym(library, "XInternAtom"));
        found.changeProperty = reinterpret_cast<decltype(found.changeProperty)>(dlsym(library, "XChangeProperty"));
        found.deleteProperty = reinterpret_cast<decltype(found.deleteProperty)>(dlsym(library, "XDeleteProperty"));
        found.sendEvent = reinterpret_cast<decltype(found.sendEvent)>(dlsym(library, "XSendEvent"));
        found.flush = reinterpret_cast<decltype(found.flush)>(dlsym(library, "XFlush"));
        return found;
    }();
    return xlib.complete() ? &xlib : nullptr;
}

struct XWindow {
    Display* display = nullptr;
    Window window = 0;
};

bool FindXWindow(SDL_Window* window, XWindow* found) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    *found = {info.info.x11.display, info.info.x11.window};
    return found->display != nullptr;
}

}  // namespace

bool MarkFullScreenBeforeMap(SDL_Window* window) {
    const Xlib* x = LoadedXlib();
    XWindow target;
    if (!x || !FindXWindow(window, &target)) return false;
    Atom fullScreen = x->internAtom(target.display, "_NET_WM_STATE_FULLSCREEN", False);
    x->changeProperty(target.display, target.window, x->internAtom(target.display, "_NET_WM_STATE", False), XA_ATOM,
                      32, PropModeReplace, reinterpret_cast<unsigned char*>(&fullScreen), 1);
    x->flush(target.display);
    return true;
}

void LeaveMarkedFullScreen(SDL_Window* window) {
    const Xlib* x = LoadedXlib();
    XWindow target;
    if (!x || !FindXWindow(window, &target)) return;
    const Atom state = x->internAtom(target.display, "_NET_WM_STATE", False);
    if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN)) {
        x->deleteProperty(target.display, target.window, state);
    } else {
        // A mapped window's state is the window manager's: it is asked.
        XEvent request;
        std::memset(&request, 0, sizeof request);
        request.xclient.type = ClientMessage;
        request.xclient.window = target.window;
        request.xclient.message_type = state;
        request.xclient.format = 32;
        request.xclient.data.l[0] = 0;  // remove
        request.xclient.data.l[1] = static_cast<long>(x->internAtom(target.display, "_NET_WM_STATE_FULLSCREEN", False));
        request.xclient.data.l[3] = 1;  // asked by an application
        x->sendEvent(target.display, DefaultRootWindow(target.display), False,
                     SubstructureNotifyMask | SubstructureRedirectMask, &request);
    }
    x->flush(target.display);
}

}  // namespace platform::sdl
