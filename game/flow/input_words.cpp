#include "game/flow/input_words.h"

#include <algorithm>

#include "engine/devices/input.h"
#include "game/flow/save_files.h"
#include "platform/keyboard.h"

InputWord inputWords[2];
ButtonStates buttonStates[2];

namespace {

// The InputBit behind each ButtonSlot.
constexpr InputWord buttonSlotBits[BUTTON_SLOT_COUNT] = {
    INPUT_RIGHT, INPUT_LEFT, INPUT_UP, INPUT_DOWN, INPUT_A, INPUT_S,
    INPUT_Z,     INPUT_X,    INPUT_C,  INPUT_V,    INPUT_T,
};

KeyStateSource keyStateSource = platform::GetKeyState;

bool KeyDown(int virtualKey) { return keyStateSource(virtualKey) < 0; }

// A button number outside the joystick's sixteen bytes (unmapped) never counts.
bool JoystickButtonDown(const JoystickState& state, int32_t button) {
    return button >= 0 && button < 16 && state.buttons[button] != 0;
}

}  // namespace

void ReadInputWord(int side, InputWord* out) {
    UpdateInput();
    *out = 0;
    if (side != 0 && side != 1) return;
    JoystickState state{};
    if (!GetJoystickState(side, &state)) state = JoystickState{};
    const ConfigPad& pad = config.pads[side];
    const struct {
        InputWord bit;
        int key;
        bool joystick;
    } sources[] = {
        {INPUT_UP, platform::VK_UP, state.y <= -joystickThresholdY},
        {INPUT_DOWN, platform::VK_DOWN, state.y >= joystickThresholdY},
        {INPUT_LEFT, platform::VK_LEFT, state.x <= -joystickThresholdX},
        {INPUT_RIGHT, platform::VK_RIGHT, state.x >= joystickThresholdX},
        {INPUT_Z, 'Z', JoystickButtonDown(state, pad.buttonZ)},
        {INPUT_X, 'X', JoystickButtonDown(state, pad.buttonX)},
        {INPUT_V, 'V', JoystickButtonDown(state, pad.buttonV)},
        {INPUT_C, 'C', JoystickButtonDown(state, pad.buttonC)},
        {INPUT_A, 'A', JoystickButtonDown(state, pad.buttonA)},
        {INPUT_S, 'S', JoystickButtonDown(state, pad.buttonS)},
        {INPUT_T, 'T', JoystickButtonDown(state, pad.buttonT)},
    };
    for (const auto& source : sources) {
        if (KeyDown(source.key) || source.joystick) *out |= source.bit;
    }
}

void UpdateButtonStates(const InputWord* word, ButtonStates states) {
    for (int slot = 0; slot < BUTTON_SLOT_COUNT; ++slot) {
        const bool wasDown = states[slot] >= BUTTON_STATE_HELD;
        if (*word & buttonSlotBits[slot]) states[slot] = wasDown ? BUTTON_STATE_HELD : BUTTON_STATE_PRESSED;
        else states[slot] = wasDown ? BUTTON_STATE_RELEASED : BUTTON_STATE_UP;
    }
}

void PollInput() {
    for (int side = 0; side < 2; ++side) {
        ReadInputWord(side, &inputWords[side]);
        UpdateButtonStates(&inputWords[side], buttonStates[side]);
    }
}

float GetInputAngle(const ButtonStates states) {
    auto held = [&](ButtonSlot slot) { return states[slot] > BUTTON_STATE_RELEASED; };
    if (held(BUTTON_UP)) {
        if (held(BUTTON_RIGHT)) return 0.7853982f;
        if (held(BUTTON_LEFT)) return 2.3561945f;
        return 1.5707964f;
    }
    if (held(BUTTON_DOWN)) {
        if (held(BUTTON_RIGHT)) return -0.7853982f;
        if (held(BUTTON_LEFT)) return -2.3561945f;
        return -1.5707964f;
    }
    if (held(BUTTON_LEFT)) return 3.1415927f;
    if (held(BUTTON_RIGHT)) return 0.0f;
    return INPUT_ANGLE_NONE;
}

void SetKeyStateSource(KeyStateSource source) {
    keyStateSource = source ? source : platform::GetKeyState;
}

void ResetInputState() {
    for (int side = 0; side < 2; ++side) {
        inputWords[side] = 0;
        std::fill(std::begin(buttonStates[side]), std::end(buttonStates[side]), BUTTON_STATE_UP);
    }
    keyStateSource = platform::GetKeyState;
}
