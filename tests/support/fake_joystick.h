#pragma once
#include <memory>
#include <vector>

#include "platform/joystick.h"

namespace test {

// A scripted joystick: the test changes its fields between frames.
struct FakeJoystick {
    platform::JoystickCaps caps{"Fake Pad", 2, 16, 1, platform::JOYSTICK_CAPS_ATTACHED};
    std::vector<platform::JoystickObject> objects{{platform::JoystickObjectKind::X, 0},
                                                  {platform::JoystickObjectKind::Y, 1}};
    int32_t rangeMin = platform::JOYSTICK_AXIS_MIN;
    int32_t rangeMax = platform::JOYSTICK_AXIS_MAX;
    bool rangeFails = false;
    bool openFails = false;
    bool readFails = false;
    platform::JoystickReading reading = Centred();
    int polls = 0;
    int acquires = 0;
    int reads = 0;

    // Both sticks at rest in the default range, points of view centred.
    static platform::JoystickReading Centred();
};

// A joystick system whose attached devices are the given fakes, in order.
class FakeJoystickSystem : public platform::JoystickSystem {
public:
    explicit FakeJoystickSystem(std::vector<std::shared_ptr<FakeJoystick>> sticks, int supported = 16)
        : sticks_(std::move(sticks)), supported_(supported) {}

    int GetSupportedCount() override { return supported_; }
    int GetAttachedCount() override { return static_cast<int>(sticks_.size()); }
    std::unique_ptr<platform::JoystickDevice> CreateDevice(int index) override;

private:
    std::vector<std::shared_ptr<FakeJoystick>> sticks_;
    int supported_;
};

// Creates `count` fake joysticks and makes InitializeInput use them; restores
// the real system and shuts input down when it goes.
class FakeJoysticks {
public:
    explicit FakeJoysticks(int count, int supported = 16);
    ~FakeJoysticks();
    FakeJoysticks(const FakeJoysticks&) = delete;
    FakeJoysticks& operator=(const FakeJoysticks&) = delete;

    FakeJoystick& operator[](int i) { return *sticks_[static_cast<size_t>(i)]; }

private:
    std::vector<std::shared_ptr<FakeJoystick>> sticks_;
};

}  // namespace test
