#pragma once
// The one graphics device of the program: creation from the adapter's
// formats and capabilities, the per-frame calls, lost-device recovery,
// back-buffer access and screenshots, and video-memory accounting.
#include <cstdint>

#include "engine/graphics/graphics_host.h"
#include "platform/gpu_device.h"

enum VertexProcessingMode {
    VP_PURE_DEVICE = 0,
    VP_HARDWARE = 1,
    VP_SOFTWARE = 2,
    VP_REFERENCE = 3,
};

int InitializeDirectXGraphics();
void DestroyDirectXGraphics();

// Settings read at start-up (set before it; they survive the state reset).
void EnableScreen32Bit();
void EnableTexture32Bit();
// Back to the settings a program starts with (no forced 32-bit formats).
void ResetGraphicsSettings();

gpu::Device* GetDevice();
gpu::D3DFORMAT GetBackBufferFormat();
gpu::D3DFORMAT GetNormalTextureFormat();
gpu::D3DFORMAT GetAlphaTextureFormat();
gpu::D3DFORMAT GetFullColorTextureFormat();
int IsSoftwareVertexProcessing();
VertexProcessingMode GetVertexProcessingMode();
uint32_t GetMaxBoneMatrices();
uint32_t GetFreeTextureMemoryMB();
void GetViewportRect(gpu::RECT* out);
// Sets the device's viewport and keeps it as the viewport GetViewportRect reports.
void SetViewport(const gpu::D3DVIEWPORT8& viewport);
// The back buffer; the caller releases it. Returns whether it succeeded.
int GetBackBufferSurface(gpu::Surface** out);

void ClearTarget(uint32_t colour);
void ClearDepth(float z);
int BeginScene();
void EndScene();
void PresentFrame();
// 1 when key equals the shader key set since the last BeginScene; otherwise
// stores it and returns 0.
int CheckAndSetShaderKey(uint32_t key);
// A draw that sets its own vertex format forgets the stored shader key, so
// the next mesh sets its shader again.
void ClearShaderKey();

void RestoreLostDevice(int force);

// The layers whose device objects are released before a reset and restored
// after it, in this order.
enum DeviceObjectLayer {
    DEVICE_OBJECTS_SURFACES,
    DEVICE_OBJECTS_TEXTURES,
    DEVICE_OBJECTS_SPRITES,
    DEVICE_OBJECTS_LIST_SPRITES,
    DEVICE_OBJECTS_SECOND_PRIMITIVES,
    DEVICE_OBJECTS_PRIMITIVES,
    DEVICE_OBJECTS_PARTICLES,
    DEVICE_OBJECTS_MODELS,
    DEVICE_OBJECTS_SCENE,
    DEVICE_OBJECT_LAYER_COUNT,
};
using DeviceObjectWalk = void (*)();
// Each layer installs its release and restore walks (null for none).
void SetDeviceObjectWalks(DeviceObjectLayer layer, DeviceObjectWalk release, DeviceObjectWalk restore);

// Locks the whole back buffer. A second call while locked returns 1 with the
// same bits and pitch.
int LockBackBuffer(void** bits, int* pitch);
void UnlockBackBuffer();
// The back buffer as an uncompressed 24-bit bottom-up BMP; a file that cannot
// be opened, or a back-buffer format without a conversion, writes nothing.
void SaveScreenshot(const char* path);

// Copies a rectangle between locked surfaces of one format, without
// conversion. The rectangle is clipped to both surfaces (sizes in pixels).
struct LockedSurface {
    void* bits;
    int pitch;
    int width, height;
};
using ProgressCallback = void (*)(int);
int CopySurfaceRect(const LockedSurface* destination, const gpu::POINT* destinationPoint,
                    const LockedSurface* source, const gpu::RECT* sourceRect, gpu::D3DFORMAT format,
                    ProgressCallback progress);

void AddVideoMemoryUse(int bytes);
int GetVideoMemoryUse();
int GetVideoMemoryPeak();

int GetFormatBytesPerPixel(gpu::D3DFORMAT format);
const char* GetFormatName(gpu::D3DFORMAT format);
const char* GetD3DErrorText(gpu::HRESULT result);

// Tests replace the Direct3D object the device comes from; null restores the
// platform's choice (OpenGL on a window, else the null backend).
using Direct3DProvider = gpu::Direct3D* (*)(void* window);
void SetDirect3DProvider(Direct3DProvider provider);
