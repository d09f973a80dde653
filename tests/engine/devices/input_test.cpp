#include "engine/devices/input.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/fake_joystick.h"

namespace {

JoystickState Read(int index) {
    JoystickState state;
    std::memset(&state, 0xAB, sizeof state);
    GetJoystickState(index, &state);
    return state;
}

bool IsZero(const JoystickState& state) {
    static const JoystickState zero{};
    return std::memcmp(&state, &zero, sizeof state) == 0;
}

TEST(JoystickNormalisation, AxesScaleAroundTheRangeCentre) {
    struct Case {
        int32_t rangeMin, rangeMax, raw, expected;
    } cases[] = {
        {0, 65535, 65535, 65535},   // maximum
        {0, 65535, 32767, 0},       // centre 32767, half-range 32768
        {0, 65535, 0, -65533},      // the minimum falls short of -65535
        {0, 65535, 32768, 1},       // an SDL stick at rest
        {-100, 100, 50, 32767},     // truncating division
        {-100, 100, -100, -65535},
        {0, 0, 0, 0},               // zero half-range reads 0 instead of dividing by zero
        {0, 1, 2000000000, INT32_MAX},  // a reading far outside its range saturates
    };
    for (const Case& c : cases) {
        test::FakeJoysticks sticks(1);
        sticks[0].rangeMin = c.rangeMin;
        sticks[0].rangeMax = c.rangeMax;
        sticks[0].reading.axes[0] = c.raw;
        sticks[0].reading.axes[1] = c.raw;
        ASSERT_EQ(InitializeInput(), 1);
        UpdateInput();
        JoystickState state = Read(0);
        EXPECT_EQ(state.x, c.expected) << c.rangeMin << ".." << c.rangeMax << " raw " << c.raw;
        EXPECT_EQ(state.y, c.expected) << c.rangeMin << ".." << c.rangeMax << " raw " << c.raw;
    }
}

TEST(JoystickNormalisation, PointsOfViewButtonsAndOtherAxes) {
    test::FakeJoysticks sticks(1);
    platform::JoystickReading& raw = sticks[0].reading;
    raw.povs[0] = 0xFFFFFFFF;  // centred
    raw.povs[1] = 9000;
    raw.povs[2] = 0x0001FFFF;  // only the low word decides "centred"
    raw.povs[3] = 35999;
    raw.buttons[0] = 0x80;
    raw.buttons[7] = 0x80;
    raw.buttons[8] = 0x80;  // button 9 keeps its raw byte
    raw.axes[2] = 12345;    // Z is not normalised
    raw.sliders[1] = 777;
    ASSERT_EQ(InitializeInput(), 1);
    UpdateInput();
    JoystickState state = Read(0);
    EXPECT_EQ(state.pov[0], -1);
    EXPECT_EQ(state.pov[1], 90);
    EXPECT_EQ(state.pov[2], -1);
    EXPECT_EQ(state.pov[3], 359);
    EXPECT_EQ(state.buttons[0], 1);
    EXPECT_EQ(state.buttons[1], 0);
    EXPECT_EQ(state.buttons[7], 1);
    EXPECT_EQ(state.buttons[8], 0x80);
    EXPECT_EQ(state.z, 12345);
    EXPECT_EQ(state.sliders[1], 777);
}

class ThreeJoysticks : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            sticks[i].reading.axes[0] = 65535;
            sticks[i].reading.buttons[i] = 0x80;
        }
    }
    test::FakeJoysticks sticks{3};
};

TEST_F(ThreeJoysticks, FailedReadZeroesEveryJoystickReadBeforeIt) {
    ASSERT_EQ(InitializeInput(), 1);
    UpdateInput();
    ASSERT_EQ(Read(0).x, 65535);

    sticks[1].readFails = true;
    UpdateInput();
    EXPECT_TRUE(IsZero(Read(0)));
    EXPECT_TRUE(IsZero(Read(1)));
    EXPECT_EQ(Read(2).x, 65535);  // read after the failure
    EXPECT_EQ(Read(2).buttons[2], 1);
    EXPECT_EQ(sticks[1].acquires, 2);  // once at set-up, once after the failure

    sticks[1].readFails = false;
    UpdateInput();
    EXPECT_EQ(Read(0).x, 65535);
    EXPECT_EQ(Read(1).buttons[1], 1);
}

TEST_F(ThreeJoysticks, SlotEmptiedAtSetUpZeroesOnlyItself) {
    sticks[1].rangeFails = true;
    ASSERT_EQ(InitializeInput(), 1);
    EXPECT_EQ(inputDevices.joystickCount, 3u);
    UpdateInput();
    JoystickState state;
    EXPECT_FALSE(GetJoystickState(1, &state));
    EXPECT_TRUE(IsZero(state));
    EXPECT_TRUE(GetJoystickState(0, &state));
    EXPECT_EQ(state.x, 65535);
    EXPECT_TRUE(GetJoystickState(2, &state));
    EXPECT_EQ(state.buttons[2], 1);
}

TEST_F(ThreeJoysticks, DeviceThatCannotOpenEndsTheEnumeration) {
    sticks[1].openFails = true;
    ASSERT_EQ(InitializeInput(), 1);
    EXPECT_EQ(inputDevices.joystickCount, 1u);
    JoystickState state;
    EXPECT_FALSE(GetJoystickState(1, &state));
    EXPECT_FALSE(GetJoystickState(2, &state));
}

TEST_F(ThreeJoysticks, PolledDevicesArePolledBeforeEachRead) {
    sticks[0].caps.flags |= platform::JOYSTICK_CAPS_POLLED_DATA_FORMAT;
    ASSERT_EQ(InitializeInput(), 1);
    UpdateInput();
    UpdateInput();
    EXPECT_EQ(sticks[0].polls, 2);
    EXPECT_EQ(sticks[0].reads, 2);
    EXPECT_EQ(sticks[1].polls, 0);
    EXPECT_EQ(sticks[1].reads, 2);
}

TEST(JoystickSetUp, SupportedCountLimitsTheSlotsTaken) {
    test::FakeJoysticks sticks(3, /*supported=*/2);
    ASSERT_EQ(InitializeInput(), 1);
    EXPECT_EQ(inputDevices.maxJoysticks, 2u);
    EXPECT_EQ(inputDevices.joystickCount, 2u);
}

TEST(JoystickSetUp, NoJoystickAndBadIndexesReadFalseAndZero) {
    test::FakeJoysticks none(0);
    ASSERT_EQ(InitializeInput(), 1);
    UpdateInput();
    for (int index : {0, 1, 15, 16, -1}) {
        JoystickState state;
        std::memset(&state, 0xAB, sizeof state);
        EXPECT_FALSE(GetJoystickState(index, &state)) << index;
        EXPECT_TRUE(IsZero(state)) << index;
    }
}

TEST(JoystickSetUp, MissingJoystickSystemFailsStartAndReadsZero) {
    SetJoystickSystemFactory([] { return std::unique_ptr<platform::JoystickSystem>(); });
    EXPECT_EQ(InitializeInput(), 0);
    UpdateInput();
    JoystickState state;
    EXPECT_FALSE(GetJoystickState(0, &state));
    EXPECT_TRUE(IsZero(state));
    ShutdownInput();
    SetJoystickSystemFactory(nullptr);
}

TEST(JoystickSetUp, ShutdownReleasesEveryDeviceAndToleratesRepeats) {
    test::FakeJoysticks sticks(2);
    ASSERT_EQ(InitializeInput(), 1);
    ShutdownInput();
    EXPECT_EQ(inputDevices.directInput, nullptr);
    JoystickState state;
    EXPECT_FALSE(GetJoystickState(0, &state));
    ShutdownInput();
}

TEST(KeyboardAndMouse, FailedKeyboardReadClearsEveryKey) {
    test::FakeJoysticks none(0);
    ASSERT_EQ(InitializeInput(), 1);
    // No window has the input focus here, so the keyboard device cannot be read.
    std::memset(inputDevices.keyboardState.keys, 1, sizeof inputDevices.keyboardState.keys);
    UpdateInput();
    for (uint8_t key : inputDevices.keyboardState.keys) ASSERT_EQ(key, 0);
    EXPECT_EQ(inputDevices.keyEventCount, 0u);
}

TEST(KeyboardAndMouse, DoubleClicksReadOncePerFrameAndWheelSums) {
    test::FakeJoysticks none(0);
    ASSERT_EQ(InitializeInput(), 1);
    LatchLeftDoubleClick();
    LatchLeftDoubleClick();
    LatchMiddleDoubleClick();
    AddMouseWheel(120);
    AddMouseWheel(-240);
    UpdateInput();
    const MouseState& mouse = inputDevices.mouseState;
    EXPECT_EQ(mouse.leftDoubleClick, 1);
    EXPECT_EQ(mouse.rightDoubleClick, 0);
    EXPECT_EQ(mouse.middleDoubleClick, 1);
    EXPECT_EQ(mouse.wheel, -120);
    UpdateInput();
    EXPECT_EQ(mouse.leftDoubleClick, 0);
    EXPECT_EQ(mouse.middleDoubleClick, 0);
    EXPECT_EQ(mouse.wheel, -120);  // never reset
}

}  // namespace
