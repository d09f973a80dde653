#pragma once
// The backends' Direct3D objects, chosen by CreateDirect3D.
#include <memory>

#include "platform/gpu_device.h"

namespace gpu {

class Rasterizer;

Direct3D* CreateNullDirect3D();
// The null backend's rasteriser (clears CPU memory, draws nothing), for
// devices built on it elsewhere (the recording device of the tests).
std::unique_ptr<Rasterizer> CreateNullRasterizer();
// Null when no OpenGL 3.3 core context can be made on the window.
Direct3D* CreateGLDirect3D(void* window);

}  // namespace gpu
