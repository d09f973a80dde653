#pragma once
#include "platform/window.h"

namespace platform {

// The input method of a window (the Windows IMM calls). Linux gives a program
// no per-window input-method context: the window system delivers finished
// text only, so there is never a default IME window and never a context.
using ImeContext = void*;

WindowHandle ImmGetDefaultIMEWnd(WindowHandle window);  // always null
ImeContext ImmGetContext(WindowHandle window);          // always null
void ImmReleaseContext(WindowHandle window, ImeContext context);

}  // namespace platform
