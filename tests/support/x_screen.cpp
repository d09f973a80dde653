#include "tests/support/x_screen.h"

#include <dlfcn.h>

#include <cstring>

namespace test {

namespace {

// Xlib's client message event (XClientMessageEvent inside the 24 longs of an
// XEvent), laid out as on every 64-bit Linux.
struct ClientMessage {
    int type;
    unsigned long serial;
    int sendEvent;
    void* display;
    unsigned long window;
    unsigned long messageType;
    int format;
    long data[5];
};
union Event {
    ClientMessage message;
    long pad[24];
};

constexpr int kClientMessage = 33;
constexpr long kSubstructureNotifyAndRedirect = (1L << 19) | (1L << 20);
constexpr int kZPixmap = 2;
constexpr long kSourceIsPager = 2;
constexpr unsigned long kAtomType = 4;  // XA_ATOM

}  // namespace

struct XScreen::Library {
    void* x11 = dlopen("libX11.so.6", RTLD_NOW);
    void* (*openDisplay)(const char*) = nullptr;
    int (*closeDisplay)(void*) = nullptr;
    unsigned long (*rootWindow)(void*) = nullptr;
    int (*displayWidth)(void*, int) = nullptr;
    int (*displayHeight)(void*, int) = nullptr;
    void* (*getImage)(void*, unsigned long, int, int, unsigned, unsigned, unsigned long, int) = nullptr;
    unsigned long (*getPixel)(void*, int, int) = nullptr;
    int (*destroyImage)(void*) = nullptr;
    int (*queryTree)(void*, unsigned long, unsigned long*, unsigned long*, unsigned long**, unsigned*) = nullptr;
    int (*fetchName)(void*, unsigned long, char**) = nullptr;
    int (*freeData)(void*) = nullptr;
    int (*iconifyWindow)(void*, unsigned long, int) = nullptr;
    unsigned long (*internAtom)(void*, const char*, int) = nullptr;
    int (*sendEvent)(void*, unsigned long, int, long, Event*) = nullptr;
    int (*sync)(void*, int) = nullptr;
    int (*getGeometry)(void*, unsigned long, unsigned long*, int*, int*, unsigned*, unsigned*, unsigned*,
                       unsigned*) = nullptr;
    int (*translateCoordinates)(void*, unsigned long, unsigned long, int, int, int*, int*, unsigned long*) = nullptr;
    int (*getWindowProperty)(void*, unsigned long, unsigned long, long, long, int, unsigned long, unsigned long*,
                             int*, unsigned long*, unsigned long*, unsigned char**) = nullptr;

    template <typename F>
    void Find(const char* name, F& function) {
        function = reinterpret_cast<F>(dlsym(x11, name));
    }
    Library() {
        if (!x11) return;
        Find("XOpenDisplay", openDisplay);
        Find("XCloseDisplay", closeDisplay);
        Find("XDefaultRootWindow", rootWindow);
        Find("XDisplayWidth", displayWidth);
        Find("XDisplayHeight", displayHeight);
        Find("XGetImage", getImage);
        Find("XGetPixel", getPixel);
        Find("XDestroyImage", destroyImage);
        Find("XQueryTree", queryTree);
        Find("XFetchName", fetchName);
        Find("XFree", freeData);
        Find("XIconifyWindow", iconifyWindow);
        Find("XInternAtom", internAtom);
        Find("XSendEvent", sendEvent);
        Find("XSync", sync);
        Find("XGetGeometry", getGeometry);
        Find("XTranslateCoordinates", translateCoordinates);
        Find("XGetWindowProperty", getWindowProperty);
    }
    ~Library() {
        if (x11) dlclose(x11);
    }
    bool complete() const {
        return openDisplay && closeDisplay && rootWindow && displayWidth && displayHeight && getImage && getPixel &&
               destroyImage && queryTree && fetchName && freeData && iconifyWindow && internAtom && sendEvent && sync &&
               getGeometry && translateCoordinates && getWindowProperty;
    }
};

XScreen::XScreen() : x_(std::make_unique<Library>()) {}

XScreen::~XScreen() {
    if (display_) x_->closeDisplay(display_);
}

bool XScreen::Connect(const std::string& display) {
    if (!x_->complete()) return false;
    display_ = x_->openDisplay(display.c_str());
    return display_ != nullptr;
}

ScreenPicture XScreen::Capture() {
    ScreenPicture picture;
    if (!display_) return picture;
    const int width = x_->displayWidth(display_, 0), height = x_->displayHeight(display_, 0);
    void* image = x_->getImage(display_, x_->rootWindow(display_), 0, 0, width, height, ~0UL, kZPixmap);
    if (!image) return picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.pixels[static_cast<size_t>(y) * width + x] = x_->getPixel(image, x, y) & 0xFFFFFF;
        }
    }
    x_->destroyImage(image);
    return picture;
}

unsigned long XScreen::FindWindow(const std::string& title) {
    return display_ ? FindBelow(x_->rootWindow(display_), title) : 0;
}

unsigned long XScreen::FindBelow(unsigned long window, const std::string& title) {
    char* name = nullptr;
    if (x_->fetchName(display_, window, &name) && name) {
        const bool found = title == name;
        x_->freeData(name);
        if (found) return window;
    }
    unsigned long root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!x_->queryTree(display_, window, &root, &parent, &children, &count)) return 0;
    unsigned long found = 0;
    for (unsigned i = 0; i < count && !found; ++i) found = FindBelow(children[i], title);
    if (children) x_->freeData(children);
    return found;
}

void XScreen::Minimise(unsigned long window) {
    x_->iconifyWindow(display_, window, 0);
    x_->sync(display_, 0);
}

void XScreen::Restore(unsigned long window) {
    Event event;
    std::memset(&event, 0, sizeof event);
    event.message.type = kClientMessage;
    event.message.window = window;
    event.message.messageType = x_->internAtom(display_, "_NET_ACTIVE_WINDOW", 0);
    event.message.format = 32;
    event.message.data[0] = kSourceIsPager;
    x_->sendEvent(display_, x_->rootWindow(display_), 0, kSubstructureNotifyAndRedirect, &event);
    x_->sync(display_, 0);
}

WindowPlace XScreen::Place(unsigned long window) {
    WindowPlace place;
    unsigned long root = 0, child = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    x_->sync(display_, 0);
    if (!x_->getGeometry(display_, window, &root, &x, &y, &width, &height, &border, &depth)) return place;
    if (!x_->translateCoordinates(display_, window, root, 0, 0, &place.x, &place.y, &child)) return {};
    place.width = static_cast<int>(width);
    place.height = static_cast<int>(height);
    return place;
}

bool XScreen::HasState(unsigned long window, const std::string& state) {
    const unsigned long wanted = x_->internAtom(display_, state.c_str(), 0);
    unsigned long type = 0, count = 0, after = 0;
    int format = 0;
    unsigned char* value = nullptr;
    x_->sync(display_, 0);
    if (x_->getWindowProperty(display_, window, x_->internAtom(display_, "_NET_WM_STATE", 0), 0, 64, 0, kAtomType,
                              &type, &format, &count, &after, &value) != 0) {
        return false;
    }
    bool found = false;
    // Xlib hands 32-bit items back as longs.
    const auto* atoms = reinterpret_cast<const unsigned long*>(value);
    for (unsigned long i = 0; value && format == 32 && i < count; ++i) found = found || atoms[i] == wanted;
    if (value) x_->freeData(value);
    return found;
}

}  // namespace test
