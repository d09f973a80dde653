#include "engine/devices/input.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "engine/core/log.h"
#include "platform/keyboard_device.h"
#include "platform/mouse.h"

InputDevices inputDevices;

namespace {

std::function<std::unique_ptr<platform::JoystickSystem>()> joystickSystemFactory;

const char* YesNo(bool value) { return value ? "YES" : "NO"; }

void SetUpKeyboard() {
    WriteLogText("  ■ Initialize Keyboard Device\n");
    inputDevices.keyboardDevice = true;
    WriteLogText("      Create Keyboard Device\n");
    WriteLogText("      %dキー\n", platform::GetKeyboardDeviceKeyCount());
}

// Logs one axis object and, for X and Y, records the middle of its range and
// the distance to its maximum. False when the range cannot be read.
bool EnumJoystickAxis(const platform::JoystickObject& object, JoystickSlot& slot) {
    int32_t lMin = 0, lMax = 0;
    if (!slot.device->GetAxisRange(object, &lMin, &lMax)) {
        slot.device.reset();
        WriteLogText("軸データ取得に失敗\n");
        return false;
    }
    using Kind = platform::JoystickObjectKind;
    static constexpr const char* labels[] = {
        "          Ｘ軸                 ", "          Ｙ軸                 ",
        "          Ｚ軸               　", "          Ｘ軸を中心とする回転 ",
        "          Ｙ軸を中心とする回転 ", "          Ｚ軸を中心とする回転 ",
        "          スライダ軸           ", "          視点インジケータ     ",
        "          確定できない",
    };
    WriteLogText("%s", labels[static_cast<int>(object.kind)]);
    if (object.kind == Kind::X || object.kind == Kind::Y) {
        const int64_t centre = (static_cast<int64_t>(lMin) + lMax) / 2;
        const auto halfRange = static_cast<int32_t>(lMax - centre);
        if (object.kind == Kind::X) {
            slot.centreX = static_cast<int32_t>(centre);
            slot.halfRangeX = halfRange;
        } else {
            slot.centreY = static_cast<int32_t>(centre);
            slot.halfRangeY = halfRange;
        }
        WriteLogText("( %d ～ %d )", lMin, lMax);
    }
    WriteLogText("\n");
    return true;
}

void SetUpJoystick(int index) {
    JoystickSlot& slot = inputDevices.joysticks[index];
    WriteLogText("    * Device No [%d]\n", index);
    const platform::JoystickCaps caps = slot.device->GetCapabilities();
    slot.polled = (caps.flags & (platform::JOYSTICK_CAPS_POLLED_DEVICE |
                                 platform::JOYSTICK_CAPS_POLLED_DATA_FORMAT)) != 0;
    slot.forceFeedback = (caps.flags & platform::JOYSTICK_CAPS_FORCE_FEEDBACK) != 0;
    WriteLogText("        %s\n", caps.productName.c_str());
    WriteLogText("        %d軸 %dボタン %dPov\n", caps.axes, caps.buttons, caps.povs);
    WriteLogText("        ForceFeedback   [%s]\n", YesNo(slot.forceFeedback));
    WriteLogText("        Polling         [%s]\n", YesNo(slot.polled));
    WriteLogText("        軸データ\n");
    for (const platform::JoystickObject& object : slot.device->GetAxisObjects()) {
        if (!EnumJoystickAxis(object, slot)) break;
    }
    if (slot.device) slot.device->Acquire();
}

void SetUpJoysticks() {
    platform::JoystickSystem& system = *inputDevices.directInput;
    inputDevices.maxJoysticks =
        static_cast<uint32_t>(std::clamp(system.GetSupportedCount(), 0, MAX_JOYSTICKS));
    WriteLogText("  ■ 使用可能な最大ジョイスティック数 [%d]\n", inputDevices.maxJoysticks);
    inputDevices.joystickCount = 0;
    // Attached devices take the slots in enumeration order; a device that
    // cannot be opened ends the enumeration.
    const int attached = system.GetAttachedCount();
    for (int i = 0; i < attached && inputDevices.joystickCount < MAX_JOYSTICKS; ++i) {
        auto device = system.CreateDevice(i);
        if (!device) break;
        inputDevices.joysticks[inputDevices.joystickCount++].device = std::move(device);
        if (inputDevices.joystickCount == inputDevices.maxJoysticks) break;
    }
    WriteLogText("  ■ Enum JoystickDevice [%d]\n", inputDevices.joystickCount);
    WriteLogText("  ■ Initialize JoystickDevice\n");
    for (uint32_t i = 0; i < inputDevices.joystickCount; ++i) SetUpJoystick(static_cast<int>(i));
}

// (value - centre) * 65535 / halfRange in 64 bits; a zero half-range reads 0.
int32_t NormaliseAxis(int32_t value, int32_t centre, int32_t halfRange) {
    if (halfRange == 0) return 0;
    const int64_t scaled = (static_cast<int64_t>(value) - centre) * 65535 / halfRange;
    return static_cast<int32_t>(std::clamp<int64_t>(scaled, INT32_MIN, INT32_MAX));
}

JoystickState NormaliseReading(const platform::JoystickReading& reading, const JoystickSlot& slot) {
    JoystickState state{};
    state.x = NormaliseAxis(reading.axes[0], slot.centreX, slot.halfRangeX);
    state.y = NormaliseAxis(reading.axes[1], slot.centreY, slot.halfRangeY);
    state.z = reading.axes[2];
    state.rx = reading.axes[3];
    state.ry = reading.axes[4];
    state.rz = reading.axes[5];
    std::copy(std::begin(reading.sliders), std::end(reading.sliders), state.sliders);
    for (int i = 0; i < 4; ++i) {
        const uint32_t pov = reading.povs[i];
        state.pov[i] = (pov & 0xFFFF) == 0xFFFF ? -1 : static_cast<int32_t>(pov / 100);
    }
    for (int i = 0; i < 16; ++i) state.buttons[i] = i < 8 ? reading.buttons[i] >> 7 : reading.buttons[i];
    return state;
}

void ZeroAllJoystickStates() {
    for (JoystickSlot& slot : inputDevices.joysticks) slot.state = JoystickState{};
}

void PollJoysticks() {
    for (uint32_t i = 0; i < inputDevices.joystickCount; ++i) {
        JoystickSlot& slot = inputDevices.joysticks[i];
        if (!slot.device) {
            slot.state = JoystickState{};
            continue;
        }
        if (slot.polled) slot.device->Poll();
        platform::JoystickReading reading{};
        if (!slot.device->GetState(&reading)) {
            // A lost device zeroes every joystick for this frame and is taken
            // back for the next one.
            ZeroAllJoystickStates();
            slot.device->Acquire();
            continue;
        }
        slot.state = NormaliseReading(reading, slot);
    }
}

uint32_t MillisecondsNow() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Buffered events are the key changes since the previous read, as many as the
// buffer holds.
void RecordKeyEvents(const uint8_t fresh[256]) {
    const uint32_t now = MillisecondsNow();
    for (int key = 0; key < 256 && inputDevices.keyEventCount < KEY_EVENT_CAPACITY; ++key) {
        const uint8_t down = fresh[key] >> 7;
        if (down == inputDevices.keyboardState.keys[key]) continue;
        inputDevices.keyEvents[inputDevices.keyEventCount++] =
            KeyEvent{static_cast<uint32_t>(key), down ? 0x80u : 0u, now, inputDevices.keySequence++, 0};
    }
}

void ReadKeyboard() {
    KeyboardState& state = inputDevices.keyboardState;
    inputDevices.keyEventCount = 0;
    inputDevices.keyEventCursor = 0;
    uint8_t fresh[256];
    if (!inputDevices.keyboardDevice || !platform::ReadKeyboardDevice(fresh)) {
        std::memset(state.keys, 0, sizeof state.keys);
        return;
    }
    RecordKeyEvents(fresh);
    for (int key = 0; key < 256; ++key) state.keys[key] = fresh[key] >> 7;
}

void ReadMouse() {
    MouseState& mouse = inputDevices.mouseState;
    const platform::MouseReading reading = platform::ReadMouse();
    mouse.leftDown = reading.leftDown;
    mouse.rightDown = reading.rightDown;
    mouse.middleDown = reading.middleDown;
    mouse.leftDoubleClick = static_cast<int32_t>(std::exchange(inputDevices.leftDoubleClickLatch, 0));
    mouse.rightDoubleClick = static_cast<int32_t>(std::exchange(inputDevices.rightDoubleClickLatch, 0));
    mouse.middleDoubleClick = static_cast<int32_t>(std::exchange(inputDevices.middleDoubleClickLatch, 0));
    mouse.x = reading.x;
    mouse.y = reading.y;
}

}  // namespace

int InitializeInput() {
    WriteLogText("\n============================================== Initialize DirectInput\n");
    inputDevices = InputDevices{};
    inputDevices.directInput =
        joystickSystemFactory ? joystickSystemFactory() : platform::CreateSdlJoystickSystem();
    if (!inputDevices.directInput) {
        WriteLogText("  エラー : DirectInputオブジェクトの生成に失敗\n");
        return 0;
    }
    WriteLogText("  ■ Create DirectInput Object\n");
    WriteLogText("  ■ Initialize DirectInput Object\n");
    SetUpKeyboard();
    SetUpJoysticks();
    return 1;
}

void ShutdownInput() {
    WriteLogText("\n============================================== Destroy DirectInput\n");
    for (int i = 0; i < MAX_JOYSTICKS; ++i) {
        if (!inputDevices.joysticks[i].device) continue;
        inputDevices.joysticks[i].device.reset();
        WriteLogText("  ■ Release Joystick Device [%d]\n", i);
    }
    if (inputDevices.keyboardDevice) {
        inputDevices.keyboardDevice = false;
        WriteLogText("  ■ Release Keyboard Device\n");
    }
    if (inputDevices.directInput) {
        inputDevices.directInput.reset();
        WriteLogText("  ■ Release DirectInput Object\n");
    }
}

void UpdateInput() {
    PollJoysticks();
    ReadKeyboard();
    ReadMouse();
}

bool GetJoystickState(int index, JoystickState* out) {
    if (index < 0 || index >= MAX_JOYSTICKS) {
        *out = JoystickState{};
        return false;
    }
    const JoystickSlot& slot = inputDevices.joysticks[index];
    *out = slot.state;
    return slot.device != nullptr;
}

// The sum wraps instead of overflowing.
void AddMouseWheel(int16_t delta) {
    int32_t& wheel = inputDevices.mouseState.wheel;
    wheel = static_cast<int32_t>(static_cast<uint32_t>(wheel) + static_cast<uint32_t>(delta));
}

void LatchLeftDoubleClick() { inputDevices.leftDoubleClickLatch = 1; }
void LatchRightDoubleClick() { inputDevices.rightDoubleClickLatch = 1; }
void LatchMiddleDoubleClick() { inputDevices.middleDoubleClickLatch = 1; }

void SetJoystickSystemFactory(std::function<std::unique_ptr<platform::JoystickSystem>()> factory) {
    joystickSystemFactory = std::move(factory);
}
