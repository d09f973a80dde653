#include "game/flow/input_words.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "engine/devices/input.h"
#include "game/flow/save_files.h"
#include "tests/support/fake_joystick.h"

namespace {

TEST(ButtonStates, EachStateAdvancesByTheBit) {
    struct Case {
        int32_t before;
        bool down;
        int32_t after;
    } cases[] = {
        {BUTTON_STATE_UP, true, BUTTON_STATE_PRESSED},
        {BUTTON_STATE_RELEASED, true, BUTTON_STATE_PRESSED},
        {BUTTON_STATE_HELD, true, BUTTON_STATE_HELD},
        {BUTTON_STATE_PRESSED, true, BUTTON_STATE_HELD},
        {BUTTON_STATE_UP, false, BUTTON_STATE_UP},
        {BUTTON_STATE_RELEASED, false, BUTTON_STATE_UP},
        {BUTTON_STATE_HELD, false, BUTTON_STATE_RELEASED},
        {BUTTON_STATE_PRESSED, false, BUTTON_STATE_RELEASED},
    };
    for (const Case& c : cases) {
        ButtonStates states;
        for (int32_t& s : states) s = c.before;
        const InputWord word = c.down ? 0x7FF : 0;
        UpdateButtonStates(&word, states);
        for (int slot = 0; slot < BUTTON_SLOT_COUNT; ++slot)
            EXPECT_EQ(states[slot], c.after) << "before " << c.before << " down " << c.down << " slot " << slot;
    }
}

TEST(ButtonStates, HoldingThreeFramesThenLetting) {
    ButtonStates states{};
    const InputWord held = INPUT_Z, free = 0;
    std::vector<int32_t> seen;
    for (const InputWord* word : {&held, &held, &held, &free, &free}) {
        UpdateButtonStates(word, states);
        seen.push_back(states[BUTTON_Z]);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{BUTTON_STATE_PRESSED, BUTTON_STATE_HELD, BUTTON_STATE_HELD,
                                           BUTTON_STATE_RELEASED, BUTTON_STATE_UP}));
}

TEST(ButtonStates, EachBitLightsExactlyItsSlot) {
    const struct {
        InputWord bit;
        int slot;
    } cases[] = {
        {0x8, BUTTON_RIGHT}, {0x4, BUTTON_LEFT}, {0x1, BUTTON_UP},  {0x2, BUTTON_DOWN},
        {0x100, BUTTON_A},   {0x200, BUTTON_S},  {0x10, BUTTON_Z},  {0x20, BUTTON_X},
        {0x80, BUTTON_C},    {0x40, BUTTON_V},   {0x400, BUTTON_T},
    };
    for (const auto& c : cases) {
        ButtonStates states{};
        UpdateButtonStates(&c.bit, states);
        for (int slot = 0; slot < BUTTON_SLOT_COUNT; ++slot) {
            EXPECT_EQ(states[slot], slot == c.slot ? BUTTON_STATE_PRESSED : BUTTON_STATE_UP)
                << "bit " << c.bit << " slot " << slot;
        }
    }
    // The unused high bits light nothing.
    ButtonStates states{};
    const InputWord high = 0xF800;
    UpdateButtonStates(&high, states);
    for (int32_t s : states) EXPECT_EQ(s, BUTTON_STATE_UP);
}

TEST(InputAngle, HeldArrowsGiveTheirDirection) {
    const struct {
        std::vector<ButtonSlot> held;
        float angle;
    } cases[] = {
        {{}, 12.566371f},
        {{BUTTON_RIGHT}, 0.0f},
        {{BUTTON_LEFT}, 3.1415927f},
        {{BUTTON_UP}, 1.5707964f},
        {{BUTTON_DOWN}, -1.5707964f},
        {{BUTTON_UP, BUTTON_RIGHT}, 0.7853982f},
        {{BUTTON_UP, BUTTON_LEFT}, 2.3561945f},
        {{BUTTON_DOWN, BUTTON_RIGHT}, -0.7853982f},
        {{BUTTON_DOWN, BUTTON_LEFT}, -2.3561945f},
        {{BUTTON_LEFT, BUTTON_RIGHT}, 3.1415927f},                // left wins without a vertical
        {{BUTTON_UP, BUTTON_LEFT, BUTTON_RIGHT}, 0.7853982f},     // right wins with one
        {{BUTTON_DOWN, BUTTON_LEFT, BUTTON_RIGHT}, -0.7853982f},
        {{BUTTON_UP, BUTTON_DOWN}, 1.5707964f},                   // up wins over down
        {{BUTTON_UP, BUTTON_DOWN, BUTTON_LEFT}, 2.3561945f},
        {{BUTTON_Z, BUTTON_A}, 12.566371f},                       // other buttons do not steer
    };
    for (const auto& c : cases) {
        for (int32_t down : {BUTTON_STATE_HELD, BUTTON_STATE_PRESSED}) {
            ButtonStates states{};
            for (ButtonSlot slot : c.held) states[slot] = down;
            EXPECT_EQ(GetInputAngle(states), c.angle) << c.held.size() << " held, state " << down;
        }
    }
    ButtonStates released{};
    released[BUTTON_UP] = BUTTON_STATE_RELEASED;
    EXPECT_EQ(GetInputAngle(released), INPUT_ANGLE_NONE);
}

// The keys held down, read through the injected window-system key state.
std::set<int> keysDown;

int16_t FakeKeyState(int virtualKey) { return keysDown.count(virtualKey) ? int16_t(-128) : int16_t(0); }

class InputWords : public ::testing::Test {
protected:
    void SetUp() override {
        keysDown.clear();
        SetKeyStateSource(FakeKeyState);
        for (ConfigPad& pad : config.pads) pad = ConfigPad{300, 300, 0, 1, 2, 3, 4, 5, 7};
        for (int i = 0; i < 2; ++i) {
            // Ranges whose normalised value equals the raw one.
            sticks[i].rangeMin = -65535;
            sticks[i].rangeMax = 65535;
            sticks[i].reading.axes[0] = sticks[i].reading.axes[1] = 0;
        }
    }
    void TearDown() override { SetKeyStateSource(nullptr); }

    static InputWord Word(int side) {
        InputWord word = 0xFFFF;
        ReadInputWord(side, &word);
        return word;
    }

    test::FakeJoysticks sticks{2};
};

TEST_F(InputWords, KeysSetTheirBitsOnBothSides) {
    const struct {
        int key;
        InputWord bit;
    } cases[] = {
        {0x26, INPUT_UP}, {0x28, INPUT_DOWN}, {0x25, INPUT_LEFT}, {0x27, INPUT_RIGHT},
        {'Z', INPUT_Z},   {'X', INPUT_X},     {'V', INPUT_V},     {'C', INPUT_C},
        {'A', INPUT_A},   {'S', INPUT_S},     {'T', INPUT_T},     {'Q', 0},
    };
    ASSERT_EQ(InitializeInput(), 1);
    for (const auto& c : cases) {
        keysDown = {c.key};
        EXPECT_EQ(Word(0), c.bit) << c.key;
        EXPECT_EQ(Word(1), c.bit) << c.key;
    }
    keysDown = {0x26, 0x28, 'Z', 'T'};
    EXPECT_EQ(Word(0), INPUT_UP | INPUT_DOWN | INPUT_Z | INPUT_T);
}

TEST_F(InputWords, StickCountsFromTheThreshold) {
    const struct {
        int32_t x, y;
        InputWord word;
    } cases[] = {
        {0, 60535, 0},          {0, 60536, INPUT_DOWN},  {0, 65535, INPUT_DOWN},
        {0, -60535, 0},         {0, -60536, INPUT_UP},   {60535, 0, 0},
        {60536, 0, INPUT_RIGHT}, {-60536, 0, INPUT_LEFT}, {-65535, -65535, INPUT_LEFT | INPUT_UP},
    };
    ASSERT_EQ(InitializeInput(), 1);
    for (const auto& c : cases) {
        sticks[1].reading.axes[0] = c.x;
        sticks[1].reading.axes[1] = c.y;
        EXPECT_EQ(Word(1), c.word) << c.x << ", " << c.y;
        EXPECT_EQ(Word(0), 0) << "side 0 reads its own joystick";
    }
}

TEST_F(InputWords, JoystickButtonsFollowEachSidesMap) {
    config.pads[1].buttonZ = 9;
    config.pads[1].buttonC = JOYSTICK_BUTTON_UNMAPPED;
    ASSERT_EQ(InitializeInput(), 1);

    sticks[0].reading.buttons[7] = 0x80;  // side 0's T
    sticks[0].reading.buttons[6] = 0x80;  // mapped to nothing by default
    sticks[0].reading.buttons[9] = 0x80;
    EXPECT_EQ(Word(0), INPUT_T);

    sticks[1].reading.buttons[9] = 0x80;  // button 10 keeps its raw byte, still counts
    sticks[1].reading.buttons[3] = 0x80;  // would be C, which side 1 left unmapped
    EXPECT_EQ(Word(1), INPUT_Z);

    sticks[1].reading.buttons[0] = 0x80;  // the default Z is no longer side 1's
    EXPECT_EQ(Word(1), INPUT_Z);
}

TEST_F(InputWords, WithoutJoysticksBothSidesReadTheKeyboard) {
    sticks[0].openFails = true;  // nothing can be opened
    ASSERT_EQ(InitializeInput(), 1);
    keysDown = {0x25, 'X'};
    EXPECT_EQ(Word(0), INPUT_LEFT | INPUT_X);
    EXPECT_EQ(Word(1), Word(0));
    EXPECT_EQ(Word(2), 0) << "there is no third side";
}

TEST_F(InputWords, PollInputAdvancesBothSides) {
    ASSERT_EQ(InitializeInput(), 1);
    for (ButtonStates& states : buttonStates)
        for (int32_t& s : states) s = BUTTON_STATE_UP;
    keysDown = {'Z'};
    sticks[1].reading.buttons[1] = 0x80;  // side 1's X
    PollInput();
    EXPECT_EQ(inputWords[0], INPUT_Z);
    EXPECT_EQ(inputWords[1], INPUT_Z | INPUT_X);
    EXPECT_EQ(buttonStates[0][BUTTON_Z], BUTTON_STATE_PRESSED);
    EXPECT_EQ(buttonStates[0][BUTTON_X], BUTTON_STATE_UP);
    EXPECT_EQ(buttonStates[1][BUTTON_X], BUTTON_STATE_PRESSED);
    keysDown.clear();
    PollInput();
    EXPECT_EQ(buttonStates[0][BUTTON_Z], BUTTON_STATE_RELEASED);
    EXPECT_EQ(buttonStates[1][BUTTON_X], BUTTON_STATE_HELD);
}

}  // namespace
