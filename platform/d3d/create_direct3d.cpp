#include <cstdlib>
#include <cstring>

#include "platform/d3d/backends.h"

namespace gpu {

Backend ChooseBackend(void* window) {
    const char* forced = std::getenv("AERIAL_GPU");
    if (!window || (forced && std::strcmp(forced, "null") == 0)) return Backend::Null;
    return Backend::OpenGL;
}

Direct3D* CreateDirect3D(void* window) {
    return ChooseBackend(window) == Backend::Null ? CreateNullDirect3D() : CreateGLDirect3D(window);
}

}  // namespace gpu
