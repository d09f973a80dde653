#include "platform/ime.h"

namespace platform {

WindowHandle ImmGetDefaultIMEWnd(WindowHandle) { return nullptr; }

ImeContext ImmGetContext(WindowHandle) { return nullptr; }

void ImmReleaseContext(WindowHandle, ImeContext) {}

}  // namespace platform
