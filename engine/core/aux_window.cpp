#include "engine/core/aux_window.h"

platform::WindowHandle auxWindowHandle = nullptr;

void CloseAuxWindow() {
    if (!auxWindowHandle) return;
    platform::SendMessage(auxWindowHandle, platform::WM_CLOSE, 0, 0);
    auxWindowHandle = nullptr;
}
