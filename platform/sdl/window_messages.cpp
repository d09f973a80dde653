#include <deque>
#include <string>

#include "platform/cp932.h"
#include "platform/keyboard.h"
#include "platform/sdl/window_registry.h"
#include "platform/system.h"
#include "platform/window.h"

namespace platform {
namespace {

// The lParam bits of key messages that the programs may read.
constexpr LPARAM kRepeatCountOne = 1;
constexpr LPARAM kAltContext = LPARAM{1} << 29;
constexpr LPARAM kWasDown = LPARAM{1} << 30;
constexpr LPARAM kReleased = LPARAM{1} << 31;
constexpr int kVkF10 = VK_F1 + 9;
constexpr int kWheelDelta = 120;

std::deque<Message>& Queue() {
    static std::deque<Message> queue;
    return queue;
}

void Post(SDL_Window* window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    PostMessage(window, message, wParam, lParam);
}

LPARAM PackPoint(int x, int y) {
    return static_cast<LPARAM>((static_cast<uint32_t>(x) & 0xFFFF) | ((static_cast<uint32_t>(y) & 0xFFFF) << 16));
}

void PostCloseToEveryWindow() {
    for (sdl::WindowRecord& record : sdl::Windows()) {
        if (!record.destroyed) Post(record.window, WM_CLOSE, 0, 0);
    }
}

// Key-down with auto-repeat (bit 30 set on repeats) and key-up, by virtual
// key; with Alt held (and for F10) they are the system-key messages.
void TranslateKey(SDL_Window* window, const SDL_KeyboardEvent& key) {
    int vk = ScancodeToVirtualKey(key.keysym.scancode);
    if (vk == 0) return;
    bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    bool system = alt || vk == kVkF10;
    LPARAM lParam = kRepeatCountOne | (alt ? kAltContext : 0);
    uint32_t message;
    if (key.type == SDL_KEYDOWN) {
        message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
        if (key.repeat) lParam |= kWasDown;
    } else {
        message = system ? WM_SYSKEYUP : WM_KEYUP;
        lParam |= kWasDown | kReleased;
    }
    Post(window, message, static_cast<WPARAM>(vk), lParam);
}

// Typed text as CP932 bytes, one WM_CHAR per byte (a two-byte character as its
// lead byte and then its trail byte, as an ANSI window receives it).
void TranslateText(SDL_Window* window, const char* utf8) {
    for (unsigned char byte : Utf8ToCp932(utf8)) Post(window, WM_CHAR, byte, kRepeatCountOne);
}

void TranslateWindowEvent(SDL_Window* window, const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE: Post(window, WM_CLOSE, 0, 0); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: Post(window, WM_ACTIVATEAPP, 1, 0); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: Post(window, WM_ACTIVATEAPP, 0, 0); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: Post(window, WM_SIZE, 0, PackPoint(event.data1, event.data2)); break;
        case SDL_WINDOWEVENT_EXPOSED: Post(window, WM_PAINT, 0, 0); break;
        default: break;
    }
}

void TranslateWheel(SDL_Window* window, const SDL_MouseWheelEvent& wheel) {
    int notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
    int delta = notches * kWheelDelta;
    if (delta > INT16_MAX) delta = INT16_MAX;
    if (delta < INT16_MIN) delta = INT16_MIN;
    WPARAM wParam = (static_cast<WPARAM>(static_cast<uint16_t>(delta))) << 16;
    int x = wheel.mouseX, y = wheel.mouseY;
    sdl::WindowToClient(window, &x, &y);
    Post(window, WM_MOUSEWHEEL, wParam, PackPoint(x, y));
}

// Every second click of a series is a double click, as Windows counts them.
void TranslateButton(SDL_Window* window, const SDL_MouseButtonEvent& button) {
    if (button.clicks < 2 || button.clicks % 2 != 0) return;
    uint32_t message = 0;
    switch (button.button) {
        case SDL_BUTTON_LEFT: message = WM_LBUTTONDBLCLK; break;
        case SDL_BUTTON_RIGHT: message = WM_RBUTTONDBLCLK; break;
        case SDL_BUTTON_MIDDLE: message = WM_MBUTTONDBLCLK; break;
        default: return;
    }
    int x = button.x, y = button.y;
    sdl::WindowToClient(window, &x, &y);
    Post(window, message, 0, PackPoint(x, y));
}

SDL_Window* EventWindow(Uint32 windowId) {
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    return sdl::FindLiveWindow(window) ? window : nullptr;
}

void TranslateEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT: PostCloseToEveryWindow(); break;
        case SDL_WINDOWEVENT:
            if (SDL_Window* window = EventWindow(event.window.windowID)) TranslateWindowEvent(window, event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (SDL_Window* window = EventWindow(event.key.windowID)) TranslateKey(window, event.key);
            break;
        case SDL_TEXTINPUT:
            if (SDL_Window* window = EventWindow(event.text.windowID)) TranslateText(window, event.text.text);
            break;
        case SDL_MOUSEWHEEL:
            if (SDL_Window* window = EventWindow(event.wheel.windowID)) TranslateWheel(window, event.wheel);
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (SDL_Window* window = EventWindow(event.button.windowID)) TranslateButton(window, event.button);
            break;
        default: break;
    }
}

// A quit signal waits until a window exists to be closed.
void TakePendingSignal() {
    bool anyWindow = false;
    for (const sdl::WindowRecord& record : sdl::Windows()) anyWindow |= !record.destroyed;
    if (anyWindow && TakeQuitSignal()) PostCloseToEveryWindow();
}

void PumpWindowEvents() {
    TakePendingSignal();
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) TranslateEvent(event);
}

bool TakeQueued(Message* message) {
    if (Queue().empty()) return false;
    *message = Queue().front();
    Queue().pop_front();
    return true;
}

constexpr int kWaitSliceMs = 50;

}  // namespace

namespace sdl {
void ClearMessageQueue() { Queue().clear(); }
}  // namespace sdl

bool PeekMessage(Message* message) {
    PumpWindowEvents();
    return TakeQueued(message);
}

bool GetMessage(Message* message) {
    for (;;) {
        if (PeekMessage(message)) return message->message != WM_QUIT;
        if (!SDL_WasInit(SDL_INIT_VIDEO)) {
            // Nothing could ever arrive: end the loop as WM_QUIT would.
            *message = Message{nullptr, WM_QUIT, 0, 0};
            return false;
        }
        // Wakes now and then to see a quit signal.
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, kWaitSliceMs)) TranslateEvent(event);
    }
}

void TranslateMessage(const Message& message) {
    if (message.message != WM_KEYDOWN) return;
    switch (message.wParam) {
        case VK_BACK:
        case VK_TAB:
        case VK_RETURN:
        case VK_ESCAPE:
            PostMessage(message.window, WM_CHAR, message.wParam, message.lParam);
            break;
        default: break;
    }
}

LRESULT DispatchMessage(const Message& message) {
    return SendMessage(message.window, message.message, message.wParam, message.lParam);
}

bool PostMessage(WindowHandle window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (window && !sdl::FindLiveWindow(window)) return false;
    Queue().push_back({window, message, wParam, lParam});
    return true;
}

LRESULT SendMessage(WindowHandle window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    sdl::WindowRecord* record = sdl::FindLiveWindow(window);
    if (!record) return 0;
    if (message == WM_DESTROY) record->destroySent = true;
    return record->procedure(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    Queue().push_back({nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

LRESULT DefWindowProc(WindowHandle window, uint32_t message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

}  // namespace platform
