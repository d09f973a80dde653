#include "platform/joystick.h"

#include <SDL.h>

#include <algorithm>

namespace platform {
namespace {

constexpr int kAxisCount = 6;
constexpr int kSliderCount = 2;
constexpr int kPovCount = 4;
constexpr int kButtonCount = 16;

// SDL's axes run from -32768 to 32767; DirectInput's default range is 0..65535.
int32_t AxisToDirectInput(Sint16 value) { return static_cast<int32_t>(value) + 32768; }

uint32_t HatToPov(Uint8 hat) {
    switch (hat) {
        case SDL_HAT_UP: return 0;
        case SDL_HAT_RIGHTUP: return 4500;
        case SDL_HAT_RIGHT: return 9000;
        case SDL_HAT_RIGHTDOWN: return 13500;
        case SDL_HAT_DOWN: return 18000;
        case SDL_HAT_LEFTDOWN: return 22500;
        case SDL_HAT_LEFT: return 27000;
        case SDL_HAT_LEFTUP: return 31500;
        default: return JOYSTICK_POV_CENTRED;
    }
}

JoystickObjectKind AxisKind(int axis) {
    static constexpr JoystickObjectKind kinds[kAxisCount] = {
        JoystickObjectKind::X,  JoystickObjectKind::Y,  JoystickObjectKind::Z,
        JoystickObjectKind::RX, JoystickObjectKind::RY, JoystickObjectKind::RZ,
    };
    return axis < kAxisCount ? kinds[axis] : JoystickObjectKind::SLIDER;
}

// Each device holds its own reference on SDL's joystick subsystem, so devices
// and the system may be released in any order.
class SdlJoystickDevice : public JoystickDevice {
public:
    SdlJoystickDevice(SDL_Joystick* joystick, bool readsNeedFocus)
        : joystick_(joystick), readsNeedFocus_(readsNeedFocus) {
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
    }
    ~SdlJoystickDevice() override {
        SDL_JoystickClose(joystick_);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    JoystickCaps GetCapabilities() override {
        JoystickCaps caps;
        const char* name = SDL_JoystickName(joystick_);
        caps.productName = name ? name : "";
        caps.axes = AxisObjectCount();
        caps.buttons = std::max(0, SDL_JoystickNumButtons(joystick_));
        caps.povs = std::max(0, SDL_JoystickNumHats(joystick_));
        // SDL's state only moves when it is updated, so the device must be polled.
        caps.flags = JOYSTICK_CAPS_ATTACHED | JOYSTICK_CAPS_POLLED_DEVICE;
        if (SDL_JoystickHasRumble(joystick_)) caps.flags |= JOYSTICK_CAPS_FORCE_FEEDBACK;
        return caps;
    }

    std::vector<JoystickObject> GetAxisObjects() override {
        std::vector<JoystickObject> objects;
        for (int axis = 0; axis < AxisObjectCount(); ++axis) objects.push_back({AxisKind(axis), axis});
        return objects;
    }

    bool GetAxisRange(const JoystickObject& object, int32_t* min, int32_t* max) override {
        if (object.index < 0 || object.index >= AxisObjectCount()) return false;
        *min = JOYSTICK_AXIS_MIN;
        *max = JOYSTICK_AXIS_MAX;
        return true;
    }

    bool Acquire() override { return Readable(); }

    bool Poll() override {
        SDL_JoystickUpdate();
        return SDL_JoystickGetAttached(joystick_) == SDL_TRUE;
    }

    bool GetState(JoystickReading* out) override {
        if (!Readable()) return false;
        JoystickReading reading{};
        const int axes = AxisObjectCount();
        for (int axis = 0; axis < axes; ++axis) {
            int32_t value = AxisToDirectInput(SDL_JoystickGetAxis(joystick_, axis));
            if (axis < kAxisCount) reading.axes[axis] = value;
            else reading.sliders[axis - kAxisCount] = value;
        }
        const int hats = SDL_JoystickNumHats(joystick_);
        for (int pov = 0; pov < kPovCount; ++pov)
            reading.povs[pov] = pov < hats ? HatToPov(SDL_JoystickGetHat(joystick_, pov)) : JOYSTICK_POV_CENTRED;
        const int buttons = std::min(kButtonCount, SDL_JoystickNumButtons(joystick_));
        for (int button = 0; button < buttons; ++button)
            reading.buttons[button] = SDL_JoystickGetButton(joystick_, button) ? JOYSTICK_BUTTON_DOWN : 0;
        *out = reading;
        return true;
    }

private:
    int AxisObjectCount() const {
        return std::clamp(SDL_JoystickNumAxes(joystick_), 0, kAxisCount + kSliderCount);
    }

    // An exclusive foreground device: only the program with the input focus reads it.
    bool Readable() const {
        if (SDL_JoystickGetAttached(joystick_) != SDL_TRUE) return false;
        return !readsNeedFocus_ || SDL_GetKeyboardFocus() != nullptr;
    }

    SDL_Joystick* joystick_;
    bool readsNeedFocus_;
};

class SdlJoystickSystem : public JoystickSystem {
public:
    explicit SdlJoystickSystem(bool readsNeedFocus) : readsNeedFocus_(readsNeedFocus) {}
    ~SdlJoystickSystem() override { SDL_QuitSubSystem(SDL_INIT_JOYSTICK); }

    int GetSupportedCount() override { return kMaxJoysticks; }

    int GetAttachedCount() override { return std::max(0, SDL_NumJoysticks()); }

    std::unique_ptr<JoystickDevice> CreateDevice(int index) override {
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        if (!joystick) return nullptr;
        return std::make_unique<SdlJoystickDevice>(joystick, readsNeedFocus_);
    }

private:
    bool readsNeedFocus_;
};

}  // namespace

std::unique_ptr<JoystickSystem> CreateSdlJoystickSystem(bool readsNeedFocus) {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return nullptr;
    return std::make_unique<SdlJoystickSystem>(readsNeedFocus);
}

}  // namespace platform
