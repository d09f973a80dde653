#pragma once
#include <cstdint>

namespace platform {

// The game window and the Windows message model on the window system: the
// window procedure receives the Windows message numbers, virtual-key codes and
// CP932 characters, from a queue with PeekMessage / GetMessage / Dispatch
// semantics that window-system events and posted messages both feed.

using WindowHandle = void*;  // the SDL_Window*, always created for OpenGL
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using WindowProcedure = LRESULT (*)(WindowHandle, uint32_t message, WPARAM, LPARAM);

enum WindowMessage : uint32_t {
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_SIZE = 0x0005,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ACTIVATEAPP = 0x001C,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDBLCLK = 0x0209,
    WM_MOUSEWHEEL = 0x020A,
    WM_USER = 0x0400,
    MM_MCINOTIFY = 0x03B9,
};

struct Message {
    WindowHandle window = nullptr;  // null: a message of the thread (WM_QUIT)
    uint32_t message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct WindowStyle {
    const char* title = "";  // CP932
    int width = 640;         // client size
    int height = 480;
    bool fullScreen = false;  // the desktop's full screen
    bool captioned = true;    // a windowed window with title bar and close box
    bool resizable = false;
};

// Where a picture shows in an area (a full-screen window's, say): scaled by
// the larger factor that keeps all of it inside, so its aspect is kept, and
// centred; the rest of the area stays black.
struct PictureArea {
    int x = 0, y = 0, width = 0, height = 0;
};
PictureArea FitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight);

// Starts the window system (once); false with its reason in *error when given.
bool StartWindowSystem(const char** error = nullptr);
// Creates the window, hidden, starting the window system when needed; the
// procedure receives WM_CREATE before this returns. Null on failure, with the
// window system's reason in *error when given.
WindowHandle CreateWindow(const WindowStyle& style, WindowProcedure procedure, const char** error = nullptr);
void ShowWindow(WindowHandle window);
// Leaves or enters full screen; a window is re-centred with the given size.
void SetWindowStyle(WindowHandle window, const WindowStyle& style);
void SetWindowTitle(WindowHandle window, const char* cp932Title);
// "Destroys" the window as Windows does for the program: WM_DESTROY is sent
// once and no further message reaches it, but the window itself stays until
// CloseWindowSystem, because the graphics layer still draws into it until it
// shuts down.
void DestroyWindow(WindowHandle window);
// Really closes every window and the window system, and empties the queue
// (the end of the program, after the graphics layer is down).
void CloseWindowSystem();

// Shows or hides the mouse cursor over the window.
void ShowCursor(bool show);

// Message queue. PeekMessage first turns the pending window-system events into
// messages; it takes the oldest message (PM_REMOVE) or returns false.
// GetMessage waits for one and returns false when it takes WM_QUIT.
bool PeekMessage(Message* message);
bool GetMessage(Message* message);
// Adds WM_CHAR for the control keys that have no text of their own
// (backspace, tab, enter, escape), as TranslateMessage does.
void TranslateMessage(const Message& message);
LRESULT DispatchMessage(const Message& message);
bool PostMessage(WindowHandle window, uint32_t message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(WindowHandle window, uint32_t message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// The default handling: WM_CLOSE destroys the window; everything else is 0.
LRESULT DefWindowProc(WindowHandle window, uint32_t message, WPARAM wParam, LPARAM lParam);

// The message box of start-up errors (caption and text in CP932); returns 1
// (IDOK). The text always goes to standard error as well; a box is shown only
// when a display exists.
int ShowMessageBox(const char* caption, const char* text);

}  // namespace platform
