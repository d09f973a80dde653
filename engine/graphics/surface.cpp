#include "engine/graphics/surface.h"

#include <algorithm>
#include <cstdint>

#include "engine/core/application.h"
#include "engine/core/log.h"
#include "engine/graphics/device.h"
#include "engine/graphics/image.h"
#include "engine/graphics/render_state.h"

using gpu::D3D_OK;
using gpu::D3DFORMAT;
using gpu::D3DLOCKED_RECT;
using gpu::D3DSURFACE_DESC;
using gpu::Device;
using gpu::E_FAIL;
using gpu::Failed;
using gpu::HRESULT;
using gpu::POINT;
using gpu::RECT;

ResourceList surfaceList;

namespace {

// The object size the creation log prints.
constexpr unsigned kSurfaceObjectBytes = 52;

double VideoMemoryMB() { return GetVideoMemoryUse() / 1048576.0; }

D3DFORMAT FormatOfKind(int formatKind) {
    switch (formatKind) {
    case FORMAT_SCREEN: return GetBackBufferFormat();
    case FORMAT_NORMAL: return GetNormalTextureFormat();
    case FORMAT_ALPHA: return GetAlphaTextureFormat();
    case FORMAT_WIDEUSE: return gpu::D3DFMT_A8R8G8B8;
    default: return gpu::D3DFMT_UNKNOWN;
    }
}

int SurfaceWidth(gpu::Surface* s) {
    D3DSURFACE_DESC desc{};
    return Failed(s->GetDesc(&desc)) ? 0 : static_cast<int>(desc.Width);
}
int SurfaceHeight(gpu::Surface* s) {
    D3DSURFACE_DESC desc{};
    return Failed(s->GetDesc(&desc)) ? 0 : static_cast<int>(desc.Height);
}

int RestoreAsDepthBuffer(Surface* surface) { return surface->SetAsDepthBuffer(); }

}  // namespace

bool ClipSurfaceCopy(int* destX, int* destY, RECT* rect, int sourceWidth, int sourceHeight, int destWidth,
                     int destHeight) {
    // Cut the source to its surface first, moving the destination with it.
    if (rect->left < 0) { *destX -= rect->left; rect->left = 0; }
    if (rect->top < 0) { *destY -= rect->top; rect->top = 0; }
    rect->right = std::min(rect->right, sourceWidth);
    rect->bottom = std::min(rect->bottom, sourceHeight);
    if (*destX < 0) { rect->left -= *destX; *destX = 0; }
    if (*destY < 0) { rect->top -= *destY; *destY = 0; }
    rect->right = std::min(rect->right, rect->left + (destWidth - *destX));
    rect->bottom = std::min(rect->bottom, rect->top + (destHeight - *destY));
    return rect->right > rect->left && rect->bottom > rect->top;
}

void CopyDeviceSurfaceRect(gpu::Surface* source, gpu::Surface* destination, int destX, int destY, RECT rect,
                           int destWidth, int destHeight) {
    Device* device = GetDevice();
    if (!device || !source || !destination) return;
    if (!ClipSurfaceCopy(&destX, &destY, &rect, SurfaceWidth(source), SurfaceHeight(source), destWidth, destHeight))
        return;
    const POINT point{destX, destY};
    device->CopyRects(source, &rect, 1, destination, &point);
}

Surface::Surface() {
    WriteLogText("○ CreateSurface / ID [0x%08X] / ", static_cast<unsigned>(reinterpret_cast<uintptr_t>(this)));
    surfaceList.PushFront(this);
}

Surface::~Surface() {
    ForgetDepthSurface(this);
    if (surface) surface->Release();
    AddVideoMemoryUse(-countedVideoMemory);
    WriteLogText("● ReleaseSurface / ID [0x%08X] / [VRAM %.3lfMB]\n",
             static_cast<unsigned>(reinterpret_cast<uintptr_t>(this)), VideoMemoryMB());
}

void Surface::ReleaseDeviceObjects() {
    if (!(isRenderTarget || isDepthBuffer) || !surface) return;
    surface->Release();
    surface = nullptr;
}

void Surface::RestoreDeviceObjects() {
    Device* device = GetDevice();
    if (!(isRenderTarget || isDepthBuffer) || surface) return;
    HRESULT result = E_FAIL;
    if (device && isRenderTarget) result = device->CreateRenderTarget(width, height, format, 0, 1, &surface);
    else if (device) result = device->CreateDepthStencilSurface(width, height, format, 0, &surface);
    if (!Failed(result)) return;
    if (surface) surface->Release();
    surface = nullptr;
    isRenderTarget = isDepthBuffer = 0;
    ready = 0;
}

int Surface::SetAsRenderTarget() {
    Device* device = GetDevice();
    if (!isRenderTarget || !surface || !device) return 0;
    const HRESULT result = device->SetRenderTarget(surface, nullptr);
    if (Failed(result)) {
        WriteLog("  ERROR Can't set RenderTarget [%s]\n", GetD3DErrorText(result));
        return 0;
    }
    return 1;
}

int Surface::SetAsDepthBuffer() {
    Device* device = GetDevice();
    if (!isDepthBuffer || !surface || !device) return 0;
    if (Failed(device->SetRenderTarget(nullptr, surface))) return 0;
    SetCurrentDepthSurface(this);
    return 1;
}

int Surface::Lock(void** bits, int* pitch) {
    locked = 0;
    D3DLOCKED_RECT rect{};
    if (!ready || !surface || Failed(surface->LockRect(&rect, nullptr, 0))) return 0;
    *bits = rect.pBits;
    *pitch = rect.Pitch;
    locked = 1;
    return 1;
}

void Surface::Unlock() {
    if (locked && surface) surface->UnlockRect();
    locked = 0;
}

void Surface::CopyToRenderTarget(int destX, int destY, int left, int top, int right, int bottom) {
    Device* device = GetDevice();
    gpu::Surface* target = nullptr;
    if (!ready || !device || Failed(device->GetRenderTarget(&target))) return;
    CopyDeviceSurfaceRect(surface, target, destX, destY, {left, top, right, bottom}, SurfaceWidth(target),
                          SurfaceHeight(target));
    target->Release();
}

void Surface::CopyFromRenderTarget(int destX, int destY, int left, int top, int right, int bottom) {
    Device* device = GetDevice();
    gpu::Surface* target = nullptr;
    if (!ready || !device || Failed(device->GetRenderTarget(&target))) return;
    CopyDeviceSurfaceRect(target, surface, destX, destY, {left, top, right, bottom}, width, height);
    target->Release();
}

void Surface::CopyFromBackBuffer(int destX, int destY, int left, int top, int right, int bottom) {
    gpu::Surface* back = nullptr;
    if (!ready || !GetBackBufferSurface(&back)) return;
    CopyDeviceSurfaceRect(back, surface, destX, destY, {left, top, right, bottom}, width, height);
    back->Release();
}

Surface* CreateSurfaceFromArchive(const char* archive, const char* key, int formatKind, ProgressCallback progress) {
    auto* s = new Surface();
    WriteLog("\"%s\" ( \"%s\" ) / ", key, archive);
    SetCurrentFolderToApp();
    Image* image = CreateImage();
    Device* device = GetDevice();
    if (const char* error = image->LoadFromArchive(archive, key, progress)) {
        WriteLog("Error %s\n", error);
    } else {
        image->GetSize(&s->width, &s->height);
        WriteLog("(%d x %d) / ", s->width, s->height);
        ReportProgress(progress);
        s->format = FormatOfKind(formatKind);
        if (!device || s->format == gpu::D3DFMT_UNKNOWN ||
            Failed(device->CreateImageSurface(s->width, s->height, s->format, &s->surface))) {
            s->surface = nullptr;
            WriteLog("Error Can't CreateSurface\n");
        } else {
            ReportProgress(progress);
            D3DLOCKED_RECT rect{};
            if (Failed(s->surface->LockRect(&rect, nullptr, 0))) {
                WriteLog("Can't lock surface\n");
            } else {
                image->CopyToSurface(rect.pBits, rect.Pitch, s->format, progress);
                s->surface->UnlockRect();
                ReportProgress(progress);
                WriteLog("[%dx%d] / [%s] / %u ByteUse / Complete!\n", s->width, s->height, GetFormatName(s->format),
                         kSurfaceObjectBytes);
            }
        }
    }
    image->Release();
    s->ready = s->surface ? 1 : 0;
    return s;
}

Surface* CreateDepthBuffer(int width, int height, ProgressCallback progress) {
    auto* s = new Surface();
    s->width = width;
    s->height = height;
    s->format = gpu::D3DFMT_D16;
    Device* device = GetDevice();
    if (!device || Failed(device->CreateDepthStencilSurface(width, height, gpu::D3DFMT_D16, 0, &s->surface))) {
        s->surface = nullptr;
        WriteLog("Error Can't Create DepthBuffer\n");
        return s;
    }
    ReportProgress(progress);
    s->countedVideoMemory = GetFormatBytesPerPixel(gpu::D3DFMT_D16) * width * height;
    AddVideoMemoryUse(s->countedVideoMemory);
    WriteLog("[%dx%d] / [%s] / %u ByteUse / Complete! [VRAM %.3lfMB]\n", width, height, GetFormatName(gpu::D3DFMT_D16),
             kSurfaceObjectBytes, VideoMemoryMB());
    s->isDepthBuffer = 1;
    s->ready = 1;
    return s;
}

int InitSurfaceList() {
    surfaceList.Reset();
    SetDepthSurfaceRestorer(RestoreAsDepthBuffer);
    SetDeviceObjectWalks(DEVICE_OBJECTS_SURFACES, ReleaseSurfaceDeviceObjects, RestoreSurfaceDeviceObjects);
    return 1;
}

void DestroySurfaceList() {
    WriteLog("\n============================================== Destroy Surface\n");
    surfaceList.ReleaseAll();
}

void ReleaseSurfaceDeviceObjects() {
    ForEachResource<Surface>(surfaceList, [](Surface* s) { s->ReleaseDeviceObjects(); });
}

void RestoreSurfaceDeviceObjects() {
    ForEachResource<Surface>(surfaceList, [](Surface* s) { s->RestoreDeviceObjects(); });
}
