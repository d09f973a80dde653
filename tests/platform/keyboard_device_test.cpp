#include "platform/keyboard_device.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <set>

namespace {

TEST(KeyboardDevice, ScancodesMapToDirectInputKeyCodes) {
    struct Case {
        SDL_Scancode scancode;
        int key;
    } cases[] = {
        {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_1, 0x02}, {SDL_SCANCODE_0, 0x0B},
        {SDL_SCANCODE_Q, 0x10}, {SDL_SCANCODE_A, 0x1E}, {SDL_SCANCODE_Z, 0x2C},
        {SDL_SCANCODE_X, 0x2D}, {SDL_SCANCODE_C, 0x2E}, {SDL_SCANCODE_V, 0x2F},
        {SDL_SCANCODE_S, 0x1F}, {SDL_SCANCODE_T, 0x14}, {SDL_SCANCODE_SPACE, 0x39},
        {SDL_SCANCODE_F1, 0x3B}, {SDL_SCANCODE_F12, 0x58}, {SDL_SCANCODE_KP_ENTER, 0x9C},
        {SDL_SCANCODE_RCTRL, 0x9D}, {SDL_SCANCODE_UP, 0xC8}, {SDL_SCANCODE_LEFT, 0xCB},
        {SDL_SCANCODE_RIGHT, 0xCD}, {SDL_SCANCODE_DOWN, 0xD0}, {SDL_SCANCODE_DELETE, 0xD3},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::ScancodeToDirectInputKey(c.scancode), c.key) << c.scancode;
    EXPECT_EQ(platform::ScancodeToDirectInputKey(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(platform::ScancodeToDirectInputKey(-1), 0);
    EXPECT_EQ(platform::ScancodeToDirectInputKey(SDL_NUM_SCANCODES), 0);
}

TEST(KeyboardDevice, NoTwoKeysShareACode) {
    std::set<int> seen;
    int mapped = 0;
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        int key = platform::ScancodeToDirectInputKey(sc);
        if (key == 0) continue;
        ++mapped;
        EXPECT_TRUE(seen.insert(key).second) << "code " << key << " twice";
    }
    EXPECT_EQ(mapped, platform::GetKeyboardDeviceKeyCount());
}

TEST(KeyboardDevice, CannotBeReadWithoutFocus) {
    uint8_t keys[256];
    keys[0] = 7;
    EXPECT_FALSE(platform::ReadKeyboardDevice(keys));
    EXPECT_EQ(keys[0], 7);
}

}  // namespace
