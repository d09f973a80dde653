#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "engine/devices/input.h"

namespace {

// The whole road from an SDL controller to the engine's JoystickState.
TEST(InputOverSdl, VirtualControllerReadsNormalised) {
    SetJoystickSystemFactory([] { return platform::CreateSdlJoystickSystem(/*readsNeedFocus=*/false); });
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 12, 1);
    ASSERT_GE(index, 0) << SDL_GetError();
    ASSERT_LT(index, MAX_JOYSTICKS);  // after any real controllers
    SDL_Joystick* handle = SDL_JoystickOpen(index);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(InitializeInput(), 1);
    ASSERT_GT(inputDevices.joystickCount, static_cast<uint32_t>(index));

    struct Case {
        Sint16 sdl;
        int32_t normalised;
    } cases[] = {{32767, 65535}, {0, 1}, {-1, 0}, {-32768, -65533}};
    for (const Case& c : cases) {
        SDL_JoystickSetVirtualAxis(handle, 0, c.sdl);
        SDL_JoystickSetVirtualAxis(handle, 1, c.sdl);
        UpdateInput();
        JoystickState state;
        ASSERT_TRUE(GetJoystickState(index, &state));
        EXPECT_EQ(state.x, c.normalised) << c.sdl;
        EXPECT_EQ(state.y, c.normalised) << c.sdl;
    }
    SDL_JoystickSetVirtualHat(handle, 0, SDL_HAT_DOWN);
    SDL_JoystickSetVirtualButton(handle, 2, 1);
    SDL_JoystickSetVirtualButton(handle, 10, 1);
    UpdateInput();
    JoystickState state;
    ASSERT_TRUE(GetJoystickState(index, &state));
    EXPECT_EQ(state.pov[0], 180);
    EXPECT_EQ(state.pov[1], -1);
    EXPECT_EQ(state.buttons[2], 1);
    EXPECT_EQ(state.buttons[10], 0x80);

    ShutdownInput();
    SetJoystickSystemFactory(nullptr);
    SDL_JoystickClose(handle);
    SDL_JoystickDetachVirtual(index);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

}  // namespace
