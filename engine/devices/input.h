#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/joystick.h"

// The engine's input layer: the keyboard, up to sixteen joysticks and the
// mouse, read once per UpdateInput into fixed records. Main thread only.

constexpr int MAX_JOYSTICKS = platform::kMaxJoysticks;
constexpr uint32_t KEY_EVENT_CAPACITY = 32;

// One joystick in the engine's own data format. After each update X and Y run
// from -65535 to 65535 around the centre, the points of view read -1 (centred)
// or whole degrees, buttons 1 to 8 read 0 or 1 and buttons 9 to 16 keep the
// device's raw byte (0x80 while down).
struct JoystickState {
    int32_t x, y, z, rx, ry, rz;  // positions
    int32_t velocity[6];
    int32_t acceleration[6];
    int32_t force[6];
    int32_t sliders[2];
    int32_t pov[4];
    uint8_t buttons[16];
};
static_assert(sizeof(JoystickState) == 136);

// Indexed by DirectInput key code; 1 while the key is down.
struct KeyboardState {
    uint8_t keys[256];
};

struct MouseState {
    int32_t x, y;      // cursor in the window's client coordinates
    int32_t wheel;     // sum of every wheel delta since start
    int32_t leftDown, rightDown, middleDown;
    int32_t leftDoubleClick, rightDoubleClick, middleDoubleClick;  // since the previous read
};

// One buffered keyboard event: the key code, 0x80 pressed or 0 released, the
// time in milliseconds, a running sequence number and the application word.
struct KeyEvent {
    uint32_t offset, data, timeStamp, sequence, appData;
};
static_assert(sizeof(KeyEvent) == 20);

struct JoystickSlot {
    std::unique_ptr<platform::JoystickDevice> device;  // null when the slot is empty
    JoystickState state;
    uint32_t polled;         // the device must be polled before each read
    uint32_t forceFeedback;  // logged only
    int32_t centreX, centreY;
    int32_t halfRangeX, halfRangeY;
};

// Every piece of input state, zeroed as a whole by InitializeInput.
struct InputDevices {
    std::unique_ptr<platform::JoystickSystem> directInput;
    bool keyboardDevice;
    uint32_t maxJoysticks;
    uint32_t joystickCount;
    KeyboardState keyboardState;
    MouseState mouseState;
    JoystickSlot joysticks[MAX_JOYSTICKS];
    KeyEvent keyEvents[KEY_EVENT_CAPACITY];
    uint32_t keyEventCursor;
    uint32_t keyEventCount;
    uint32_t keySequence;
    uint32_t leftDoubleClickLatch, rightDoubleClickLatch, middleDoubleClickLatch;
};

extern InputDevices inputDevices;

// Start-up: opens the joystick system, the keyboard and every attached joystick
// (at most 16). 1, or 0 when the joystick system cannot start (the program
// then runs without input devices).
int InitializeInput();
// Releases every device; harmless when input never started.
void ShutdownInput();

// One frame's read of every device.
void UpdateInput();

// Copies the state of joystick `index` as the last UpdateInput left it; false
// (and zeroes) when the index is outside 0..15 or the slot holds no device.
bool GetJoystickState(int index, JoystickState* out);

// Fed by the window procedure.
void AddMouseWheel(int16_t delta);
void LatchLeftDoubleClick();
void LatchRightDoubleClick();
void LatchMiddleDoubleClick();

// The joystick system InitializeInput opens; SDL's unless replaced (tests use
// a fake). An empty function restores SDL's.
void SetJoystickSystemFactory(std::function<std::unique_ptr<platform::JoystickSystem>()> factory);
