#include "platform/joystick.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

namespace {

// SDL's virtual joystick stands in for a real controller.
class SdlVirtualJoystick : public ::testing::Test {
protected:
    void SetUp() override {
        system = platform::CreateSdlJoystickSystem(/*readsNeedFocus=*/false);
        ASSERT_NE(system, nullptr);
        index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 8, 20, 2);
        ASSERT_GE(index, 0) << SDL_GetError();
        handle = SDL_JoystickOpen(index);
        ASSERT_NE(handle, nullptr);
    }
    void TearDown() override {
        if (handle) SDL_JoystickClose(handle);
        if (index >= 0) SDL_JoystickDetachVirtual(index);
    }

    std::unique_ptr<platform::JoystickSystem> system;
    int index = -1;
    SDL_Joystick* handle = nullptr;
};

TEST_F(SdlVirtualJoystick, DescribesTheDevice) {
    EXPECT_EQ(system->GetSupportedCount(), 16);
    EXPECT_GE(system->GetAttachedCount(), index + 1);
    auto device = system->CreateDevice(index);
    ASSERT_NE(device, nullptr);
    platform::JoystickCaps caps = device->GetCapabilities();
    EXPECT_EQ(caps.axes, 8);
    EXPECT_EQ(caps.buttons, 20);
    EXPECT_EQ(caps.povs, 2);
    EXPECT_TRUE(caps.flags & platform::JOYSTICK_CAPS_POLLED_DEVICE);

    auto objects = device->GetAxisObjects();
    ASSERT_EQ(objects.size(), 8u);
    EXPECT_EQ(objects[0].kind, platform::JoystickObjectKind::X);
    EXPECT_EQ(objects[1].kind, platform::JoystickObjectKind::Y);
    EXPECT_EQ(objects[5].kind, platform::JoystickObjectKind::RZ);
    EXPECT_EQ(objects[6].kind, platform::JoystickObjectKind::SLIDER);
    int32_t min = -1, max = -1;
    ASSERT_TRUE(device->GetAxisRange(objects[0], &min, &max));
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 65535);
}

TEST_F(SdlVirtualJoystick, ReadsInDirectInputConventions) {
    auto device = system->CreateDevice(index);
    ASSERT_NE(device, nullptr);
    SDL_JoystickSetVirtualAxis(handle, 0, 32767);
    SDL_JoystickSetVirtualAxis(handle, 1, -32768);
    SDL_JoystickSetVirtualAxis(handle, 2, 0);
    SDL_JoystickSetVirtualAxis(handle, 7, 100);
    SDL_JoystickSetVirtualHat(handle, 0, SDL_HAT_LEFTUP);
    SDL_JoystickSetVirtualButton(handle, 3, 1);
    SDL_JoystickSetVirtualButton(handle, 17, 1);  // beyond the sixteen read
    ASSERT_TRUE(device->Poll());
    platform::JoystickReading reading{};
    ASSERT_TRUE(device->GetState(&reading));
    EXPECT_EQ(reading.axes[0], 65535);
    EXPECT_EQ(reading.axes[1], 0);
    EXPECT_EQ(reading.axes[2], 32768);
    EXPECT_EQ(reading.sliders[1], 32868);
    EXPECT_EQ(reading.povs[0], 31500u);
    EXPECT_EQ(reading.povs[1], platform::JOYSTICK_POV_CENTRED);
    EXPECT_EQ(reading.povs[2], platform::JOYSTICK_POV_CENTRED);  // the device has two hats
    for (int b = 0; b < 16; ++b) EXPECT_EQ(reading.buttons[b], b == 3 ? 0x80 : 0) << b;

    struct Case {
        Uint8 hat;
        uint32_t pov;
    } hats[] = {
        {SDL_HAT_UP, 0}, {SDL_HAT_RIGHTUP, 4500}, {SDL_HAT_RIGHT, 9000},
        {SDL_HAT_RIGHTDOWN, 13500}, {SDL_HAT_DOWN, 18000}, {SDL_HAT_LEFTDOWN, 22500},
        {SDL_HAT_LEFT, 27000}, {SDL_HAT_CENTERED, platform::JOYSTICK_POV_CENTRED},
    };
    for (const Case& c : hats) {
        SDL_JoystickSetVirtualHat(handle, 0, c.hat);
        device->Poll();
        ASSERT_TRUE(device->GetState(&reading));
        EXPECT_EQ(reading.povs[0], c.pov) << int(c.hat);
    }
}

TEST_F(SdlVirtualJoystick, ReadsFailWithoutInputFocus) {
    auto focused = platform::CreateSdlJoystickSystem();
    ASSERT_NE(focused, nullptr);
    auto device = focused->CreateDevice(index);
    ASSERT_NE(device, nullptr);
    device->Poll();
    platform::JoystickReading reading{};
    reading.axes[0] = 42;
    EXPECT_FALSE(device->Acquire());
    EXPECT_FALSE(device->GetState(&reading));
    EXPECT_EQ(reading.axes[0], 42);  // untouched
}

TEST_F(SdlVirtualJoystick, DetachedDeviceCannotBeRead) {
    auto device = system->CreateDevice(index);
    ASSERT_NE(device, nullptr);
    SDL_JoystickClose(handle);
    handle = nullptr;
    SDL_JoystickDetachVirtual(index);
    index = -1;
    device->Poll();
    platform::JoystickReading reading{};
    EXPECT_FALSE(device->GetState(&reading));
}

}  // namespace
