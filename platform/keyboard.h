#pragma once
#include <cstdint>

namespace platform {

// Windows virtual-key codes of the keys the programs use or report.
enum VirtualKey : int {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
    VK_MENU = 0x12, VK_PAUSE = 0x13, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21,
    VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
    VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
    VK_0 = 0x30, VK_A = 0x41, VK_NUMPAD0 = 0x60, VK_F1 = 0x70,
};

// The virtual key of an SDL scancode, or 0 for keys without one.
int ScancodeToVirtualKey(int scancode);

// The SDL scancode of a virtual key, or 0 (SDL_SCANCODE_UNKNOWN) when none.
int VirtualKeyToScancode(int virtualKey);

// Window-system key state: negative (top bit set) while the key is down, as
// GetKeyState reports it. Reads SDL's keyboard state, so it follows the events
// pumped so far; every key reads up before the video subsystem starts.
int16_t GetKeyState(int virtualKey);

}  // namespace platform
