#include "tests/support/fake_joystick.h"

#include "engine/devices/input.h"

namespace test {
namespace {

class FakeJoystickDevice : public platform::JoystickDevice {
public:
    explicit FakeJoystickDevice(std::shared_ptr<FakeJoystick> stick) : stick_(std::move(stick)) {}

    platform::JoystickCaps GetCapabilities() override { return stick_->caps; }
    std::vector<platform::JoystickObject> GetAxisObjects() override { return stick_->objects; }
    bool GetAxisRange(const platform::JoystickObject&, int32_t* min, int32_t* max) override {
        if (stick_->rangeFails) return false;
        *min = stick_->rangeMin;
        *max = stick_->rangeMax;
        return true;
    }
    bool Acquire() override {
        ++stick_->acquires;
        return !stick_->readFails;
    }
    bool Poll() override {
        ++stick_->polls;
        return true;
    }
    bool GetState(platform::JoystickReading* out) override {
        ++stick_->reads;
        if (stick_->readFails) return false;
        *out = stick_->reading;
        return true;
    }

private:
    std::shared_ptr<FakeJoystick> stick_;
};

}  // namespace

platform::JoystickReading FakeJoystick::Centred() {
    platform::JoystickReading reading{};
    reading.axes[0] = reading.axes[1] = 32767;
    for (uint32_t& pov : reading.povs) pov = platform::JOYSTICK_POV_CENTRED;
    return reading;
}

std::unique_ptr<platform::JoystickDevice> FakeJoystickSystem::CreateDevice(int index) {
    const auto& stick = sticks_.at(static_cast<size_t>(index));
    if (stick->openFails) return nullptr;
    return std::make_unique<FakeJoystickDevice>(stick);
}

FakeJoysticks::FakeJoysticks(int count, int supported) {
    for (int i = 0; i < count; ++i) sticks_.push_back(std::make_shared<FakeJoystick>());
    SetJoystickSystemFactory([sticks = sticks_, supported] {
        return std::make_unique<FakeJoystickSystem>(sticks, supported);
    });
}

FakeJoysticks::~FakeJoysticks() {
    ShutdownInput();
    SetJoystickSystemFactory(nullptr);
}

}  // namespace test
