#pragma once
#include <cstdint>

// Input as the game sees it: one InputWord per side per frame (also the unit of
// network packets and replay records) and, from it, each side's ButtonStates
// with press and release edges.

using InputWord = uint16_t;

enum InputBit : InputWord {
    INPUT_UP = 0x1,
    INPUT_DOWN = 0x2,
    INPUT_LEFT = 0x4,
    INPUT_RIGHT = 0x8,
    INPUT_Z = 0x10,
    INPUT_X = 0x20,
    INPUT_V = 0x40,
    INPUT_C = 0x80,
    INPUT_A = 0x100,
    INPUT_S = 0x200,
    INPUT_T = 0x400,
};

// The bits the battle keeps during its start countdown: the arrows and V.
constexpr InputWord INPUT_COUNTDOWN_MASK = 0x4f;
// Every button's bit.
constexpr InputWord INPUT_ALL_BUTTONS = 0x7ff;

enum ButtonSlot : int {
    BUTTON_RIGHT,
    BUTTON_LEFT,
    BUTTON_UP,
    BUTTON_DOWN,
    BUTTON_A,
    BUTTON_S,
    BUTTON_Z,
    BUTTON_X,
    BUTTON_C,
    BUTTON_V,
    BUTTON_T,
    BUTTON_SLOT_COUNT,
};

// A slot counts as down above BUTTON_STATE_RELEASED.
enum ButtonState : int32_t {
    BUTTON_STATE_UP,
    BUTTON_STATE_RELEASED,
    BUTTON_STATE_HELD,
    BUTTON_STATE_PRESSED,
};

using ButtonStates = int32_t[BUTTON_SLOT_COUNT];

extern InputWord inputWords[2];
extern ButtonStates buttonStates[2];
// Puts the words, the button states and the key state source back as they
// are at program start.
void ResetInputState();

// Stick positions (normalised to -65535..65535) at which an arrow counts.
constexpr int32_t joystickThresholdX = 60536;
constexpr int32_t joystickThresholdY = 60536;

// GetInputAngle's result when no arrow is held.
constexpr float INPUT_ANGLE_NONE = 12.566371f;

// The word of one side's physical controls: the keyboard (shared by both
// sides) OR joystick number `side` through that side's button map in `config`.
// Polls the input devices anew on every call.
void ReadInputWord(int side, InputWord* out);

// Advances one side's states by one frame from its word.
void UpdateButtonStates(const InputWord* word, ButtonStates states);

// The per-frame input step of the front-end scenes: both sides' words and states.
void PollInput();

// The direction of the held arrows in radians, or INPUT_ANGLE_NONE.
float GetInputAngle(const ButtonStates states);

// The window-system key state that ReadInputWord reads (negative while down);
// platform::GetKeyState unless replaced. Null restores it.
using KeyStateSource = int16_t (*)(int virtualKey);
void SetKeyStateSource(KeyStateSource source);
