#include "platform/keyboard.h"

#include <SDL.h>

#include <array>

namespace platform {
namespace {

struct KeyPair {
    SDL_Scancode scancode;
    int virtualKey;
};

// Letters, digits, keypad digits and F1..F12 are filled in by ranges below.
constexpr KeyPair kNamedKeys[] = {
    {SDL_SCANCODE_BACKSPACE, VK_BACK}, {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_RETURN, VK_RETURN}, {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT}, {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LCTRL, VK_CONTROL}, {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LALT, VK_MENU}, {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_PAUSE, VK_PAUSE}, {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
    {SDL_SCANCODE_SPACE, VK_SPACE}, {SDL_SCANCODE_PAGEUP, VK_PRIOR},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT}, {SDL_SCANCODE_END, VK_END},
    {SDL_SCANCODE_HOME, VK_HOME}, {SDL_SCANCODE_LEFT, VK_LEFT}, {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_RIGHT, VK_RIGHT}, {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_INSERT, VK_INSERT}, {SDL_SCANCODE_DELETE, VK_DELETE},
};

struct Tables {
    std::array<int, SDL_NUM_SCANCODES> toVirtual{};
    std::array<int, 256> toScancode{};

    void Add(SDL_Scancode sc, int vk) {
        toVirtual[sc] = vk;
        if (toScancode[vk] == 0) toScancode[vk] = sc;  // the left-hand key wins
    }

    Tables() {
        for (const KeyPair& k : kNamedKeys) Add(k.scancode, k.virtualKey);
        for (int i = 0; i < 26; ++i) Add(static_cast<SDL_Scancode>(SDL_SCANCODE_A + i), VK_A + i);
        // SDL orders the digit row 1..9, 0.
        for (int i = 0; i < 9; ++i) Add(static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i), VK_0 + 1 + i);
        Add(SDL_SCANCODE_0, VK_0);
        for (int i = 0; i < 9; ++i) Add(static_cast<SDL_Scancode>(SDL_SCANCODE_KP_1 + i), VK_NUMPAD0 + 1 + i);
        Add(SDL_SCANCODE_KP_0, VK_NUMPAD0);
        for (int i = 0; i < 12; ++i) Add(static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i), VK_F1 + i);
    }
};

const Tables& GetTables() {
    static const Tables tables;
    return tables;
}

}  // namespace

int ScancodeToVirtualKey(int scancode) {
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    return GetTables().toVirtual[scancode];
}

int VirtualKeyToScancode(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return 0;
    return GetTables().toScancode[virtualKey];
}

int16_t GetKeyState(int virtualKey) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return 0;
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    // Modifier keys stand for both hands, as on Windows.
    for (int sc = 0; sc < count; ++sc) {
        if (keys[sc] && GetTables().toVirtual[sc] == virtualKey) return static_cast<int16_t>(0x8000);
    }
    return 0;
}

}  // namespace platform
