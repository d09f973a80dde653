#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Game controllers in DirectInput's conventions, which the engine's input layer
// was written against: absolute axes in 0..65535, points of view in hundredths
// of a degree clockwise from up (0xFFFFFFFF when centred), buttons 0x80 while
// down. A device is addressed by its place in the enumeration of attached
// controllers.

constexpr int kMaxJoysticks = 16;

// Capability flags, with DirectInput's values.
constexpr uint32_t JOYSTICK_CAPS_ATTACHED = 0x1;
constexpr uint32_t JOYSTICK_CAPS_POLLED_DEVICE = 0x2;
constexpr uint32_t JOYSTICK_CAPS_POLLED_DATA_FORMAT = 0x8;
constexpr uint32_t JOYSTICK_CAPS_FORCE_FEEDBACK = 0x100;

constexpr int32_t JOYSTICK_AXIS_MIN = 0;
constexpr int32_t JOYSTICK_AXIS_MAX = 65535;
constexpr uint32_t JOYSTICK_POV_CENTRED = 0xFFFFFFFF;
constexpr uint8_t JOYSTICK_BUTTON_DOWN = 0x80;

struct JoystickCaps {
    std::string productName;
    int axes = 0;
    int buttons = 0;
    int povs = 0;
    uint32_t flags = 0;
};

enum class JoystickObjectKind { X, Y, Z, RX, RY, RZ, SLIDER, POV, UNKNOWN };

// One axis-like object of a device, as its object enumeration offers it.
struct JoystickObject {
    JoystickObjectKind kind;
    int index;  // the device's own number of the object
};

// One reading of a device. Objects the device lacks read 0 (axes, buttons) or
// centred (points of view).
struct JoystickReading {
    int32_t axes[6];  // X, Y, Z, Rx, Ry, Rz
    int32_t sliders[2];
    uint32_t povs[4];
    uint8_t buttons[16];
};

class JoystickDevice {
public:
    virtual ~JoystickDevice() = default;
    virtual JoystickCaps GetCapabilities() = 0;
    // The axis objects (axes and sliders), in the device's order.
    virtual std::vector<JoystickObject> GetAxisObjects() = 0;
    virtual bool GetAxisRange(const JoystickObject& object, int32_t* min, int32_t* max) = 0;
    // Takes the device for this program; false while the window lacks input focus.
    virtual bool Acquire() = 0;
    virtual bool Poll() = 0;
    // False, leaving *out untouched, when the device cannot be read (no input
    // focus, as with an exclusive foreground device, or the device is gone).
    virtual bool GetState(JoystickReading* out) = 0;
};

class JoystickSystem {
public:
    virtual ~JoystickSystem() = default;
    // How many joysticks the system supports (the multimedia joystick count).
    virtual int GetSupportedCount() = 0;
    // How many game controllers are attached now.
    virtual int GetAttachedCount() = 0;
    // Opens the attached controller number `index`; null when it cannot.
    virtual std::unique_ptr<JoystickDevice> CreateDevice(int index) = 0;
};

// The SDL2 joystick system, or null when SDL's joystick subsystem cannot start.
// Reads need the input focus of one of the program's windows unless
// `readsNeedFocus` is false (headless tools and tests).
std::unique_ptr<JoystickSystem> CreateSdlJoystickSystem(bool readsNeedFocus = true);

}  // namespace platform
