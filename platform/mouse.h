#pragma once

namespace platform {

// The mouse as the window system reports it: the cursor in the client
// coordinates of the program's window that has the mouse (0, 0 when none) and
// the three buttons' current state.
struct MouseReading {
    int x = 0;
    int y = 0;
    bool leftDown = false;
    bool rightDown = false;
    bool middleDown = false;
};

MouseReading ReadMouse();

}  // namespace platform
