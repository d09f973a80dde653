#pragma once
// The backends' Direct3D objects, chosen by CreateDirect3D.
#include "platform/gpu_device.h"

namespace gpu {

Direct3D* CreateNullDirect3D();
// Null when no OpenGL 3.3 core context can be made on the window.
Direct3D* CreateGLDirect3D(void* window);

}  // namespace gpu
