#pragma once
#include <cstdint>

namespace platform {

// The keyboard as DirectInput's system keyboard device reports it: 256 bytes
// indexed by DirectInput key code (PC scan code set 1; keys of the extended
// set have the top bit, as DIK_UP = 0xC8), 0x80 while the key is down.

// The DirectInput key code of an SDL scancode, or 0 for keys without one.
int ScancodeToDirectInputKey(int scancode);

// How many keys the device reports (its capabilities' button count).
int GetKeyboardDeviceKeyCount();

// Fills `keys`; false, leaving them untouched, while none of the program's
// windows has the input focus (the device's foreground level).
bool ReadKeyboardDevice(uint8_t keys[256]);

}  // namespace platform
