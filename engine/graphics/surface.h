#pragma once
// A single device surface with no texture around it: an image surface filled
// from an archive entry, the depth buffer, or a render target. Render targets
// and depth buffers live in the default pool and come back after a reset.
#include <cstdint>

#include "engine/core/resource.h"
#include "platform/gpu_device.h"

// Every Surface; the constructor pushes at the front.
extern ResourceList surfaceList;

enum SurfaceFormatKind {
    FORMAT_SCREEN = 1,   // the back buffer's format
    FORMAT_NORMAL = 2,   // the texture format without alpha
    FORMAT_ALPHA = 3,    // the texture format with alpha
    FORMAT_WIDEUSE = 4,  // A8R8G8B8 whatever the display
};

class Surface : public ResourceObject {
public:
    Surface();
    ~Surface() override;

    void ReleaseDeviceObjects();
    void RestoreDeviceObjects();
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    gpu::D3DFORMAT GetFormat() const { return format; }
    int IsReady() const { return ready; }
    int SetAsRenderTarget();
    int SetAsDepthBuffer();
    // Locks the whole surface; 0 when not ready or when the lock fails.
    int Lock(void** bits, int* pitch);
    void Unlock();
    void CopyToRenderTarget(int destX, int destY, int left, int top, int right, int bottom);
    void CopyFromRenderTarget(int destX, int destY, int left, int top, int right, int bottom);
    void CopyFromBackBuffer(int destX, int destY, int left, int top, int right, int bottom);

    uint32_t isRenderTarget = 0;
    uint32_t isDepthBuffer = 0;
    uint32_t locked = 0;
    uint32_t ready = 0;
    gpu::Surface* surface = nullptr;
    int width = 0, height = 0;
    gpu::D3DFORMAT format = gpu::D3DFMT_UNKNOWN;
    int countedVideoMemory = 0;
};

Surface* CreateSurfaceFromArchive(const char* archive, const char* key, int formatKind, ProgressCallback progress);
Surface* CreateDepthBuffer(int width, int height, ProgressCallback progress);

int InitSurfaceList();
void DestroySurfaceList();
void ReleaseSurfaceDeviceObjects();
void RestoreSurfaceDeviceObjects();

// A copy of the source rectangle `rect` to (destX, destY): the rectangle is
// cut to the source's size and the copy to the destination's size (a negative
// destination moves the source's left or top edge by as much). False when
// nothing is left to copy.
bool ClipSurfaceCopy(int* destX, int* destY, gpu::RECT* rect, int sourceWidth, int sourceHeight, int destWidth,
                     int destHeight);
// Copies a rectangle between two device surfaces through CopyRects, clipped
// as above; the surfaces' sizes come from their descriptions.
void CopyDeviceSurfaceRect(gpu::Surface* source, gpu::Surface* destination, int destX, int destY, gpu::RECT rect,
                           int destWidth, int destHeight);
