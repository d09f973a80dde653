#include "platform/keyboard.h"

#include <gtest/gtest.h>

namespace {

TEST(VirtualKeys, TableMapsBothWays) {
    struct Case { int virtualKey; } cases[] = {
        {platform::VK_ESCAPE}, {platform::VK_SPACE}, {platform::VK_LEFT}, {platform::VK_UP},
        {platform::VK_RIGHT}, {platform::VK_DOWN}, {'Z'}, {'X'}, {'C'}, {'V'}, {'A'}, {'S'},
        {'T'}, {'0'}, {'9'}, {platform::VK_F1 + 11},
    };
    for (const Case& c : cases) {
        int scancode = platform::VirtualKeyToScancode(c.virtualKey);
        EXPECT_NE(scancode, 0) << c.virtualKey;
        EXPECT_EQ(platform::ScancodeToVirtualKey(scancode), c.virtualKey) << c.virtualKey;
    }
    EXPECT_EQ(platform::VirtualKeyToScancode(0xFF), 0);
    EXPECT_EQ(platform::VirtualKeyToScancode(-1), 0);
    EXPECT_EQ(platform::ScancodeToVirtualKey(100000), 0);
}

TEST(VirtualKeys, KeysReadUpWithoutVideo) {
    EXPECT_EQ(platform::GetKeyState('Z'), 0);
}

}  // namespace
