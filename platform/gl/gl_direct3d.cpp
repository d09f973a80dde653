// The OpenGL backend's Direct3D object: makes the GL 3.3 core context on the
// game's window and devices that rasterise through it.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <cstdio>

#include "platform/d3d/backends.h"
#include "platform/d3d/soft_device.h"
#include "platform/gl/gl_rasterizer.h"

namespace gpu {

namespace {

class GLDirect3D : public SoftDirect3D {
public:
    explicit GLDirect3D(std::shared_ptr<GLContext> context) : context_(std::move(context)) {
        std::snprintf(renderer_, sizeof renderer_, "%s", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        std::snprintf(vendor_, sizeof vendor_, "%s", reinterpret_cast<const char*>(glGetString(GL_VENDOR)));
    }

protected:
    std::unique_ptr<Rasterizer> MakeRasterizer(const D3DPRESENT_PARAMETERS&) override {
        // Every present waits for the vertical blank, in a window as in full
        // screen: the frame limiter alone gives 62.5 frames a second (16 ms
        // frames), and a 60 Hz display would drop about two of them a second.
        SDL_GL_SetSwapInterval(1);
        return std::make_unique<GLRasterizer>(context_);
    }
    const char* AdapterName() override { return renderer_; }
    const char* DriverName() override { return vendor_; }
    D3DDISPLAYMODE DesktopMode() override {
        SDL_DisplayMode mode{};
        const int display = SDL_GetWindowDisplayIndex(context_->window);
        if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return {640, 480, 60, D3DFMT_X8R8G8B8};
        return {static_cast<uint32_t>(mode.w), static_cast<uint32_t>(mode.h), static_cast<uint32_t>(mode.refresh_rate),
                D3DFMT_X8R8G8B8};
    }

private:
    std::shared_ptr<GLContext> context_;
    char renderer_[256];
    char vendor_[256];
};

}  // namespace

Direct3D* CreateGLDirect3D(void* window) {
    auto context = std::make_shared<GLContext>();
    context->window = static_cast<SDL_Window*>(window);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    context->context = SDL_GL_CreateContext(context->window);
    if (!context->context) {
        std::fprintf(stderr, "gl: no OpenGL 3.3 core context: %s\n", SDL_GetError());
        return nullptr;
    }
    SDL_GL_MakeCurrent(context->window, context->context);
    return new GLDirect3D(std::move(context));
}

}  // namespace gpu
