#pragma once
// A 2D picture held twice: a device texture (default pool) that the device
// draws from, and a system-memory backup that every write goes into and that
// survives a lost device. Update moves the backup into the device texture.
#include <cstdint>

#include "engine/core/math.h"
#include "engine/core/resource.h"
#include "platform/gpu_device.h"

class Surface;

// Every Texture; the constructor pushes at the front.
extern ResourceList textureList;

// Rectangles and corner lists of the float draw operations.
struct FloatRect {
    float left, top, right, bottom;
};
struct FloatPoint {
    float x, y;
};
struct FloatQuad {
    FloatPoint corners[4];  // top-left, top-right, bottom-right, bottom-left
};

// The pre-transformed textured vertex of every Texture draw.
struct TexturedVertex2D {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};
constexpr uint32_t kTexturedVertex2DFormat = gpu::D3DFVF_XYZRHW | gpu::D3DFVF_DIFFUSE | gpu::D3DFVF_TEX1;  // 0x144

class Texture : public ResourceObject {
public:
    Texture();
    ~Texture() override;

    void ReleaseDeviceObjects();
    void RestoreDeviceObjects();
    // A fresh, zeroed system-memory backup of width x height in format.
    int CreateBackup();
    // Copies a whole imageWidth x imageHeight surface into the backup, scaled
    // to the texture's size when it differs, then Update. Null on success,
    // else the error text.
    const char* CopyFromD3DSurface(gpu::Surface* surface);

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetImageWidth() const { return imageWidth; }
    int GetImageHeight() const { return imageHeight; }
    float GetInvImageWidth() const { return invImageWidth; }
    float GetInvImageHeight() const { return invImageHeight; }
    gpu::D3DFORMAT GetFormat() const { return format; }
    gpu::Texture* GetD3DTexture() const { return texture; }
    int IsReady() const { return ready; }

    int SetAsRenderTarget();
    // Locks the backup; 0 when not ready or when the lock fails.
    int Lock(void** bits, int* pitch);
    void Unlock();
    void Update();

    void CopyFromRenderTarget(int destX, int destY, int left, int top, int right, int bottom);
    void CopyFromRenderTargetAlt(int destX, int destY, int left, int top, int right, int bottom);
    void CopyFromBackBuffer(int destX, int destY, int left, int top, int right, int bottom);
    void CopyFromSurface(int destX, int destY, int left, int top, int right, int bottom, Surface* surface);

    // Source rectangles count in pixels of the picture; a source with
    // left > right (or top > bottom) draws mirrored, and one beyond the
    // picture repeats it as the stage's address mode says.
    void DrawF(const FloatRect* dest, float z, const FloatRect* src, uint32_t colour, int mode);
    void Draw(const gpu::RECT* dest, float z, const gpu::RECT* src, uint32_t colour, int mode);
    void DrawRotatedF(const FloatRect* dest, float z, const FloatRect* src, Angle16 angle, uint32_t colour, int mode);
    void DrawRotated(const gpu::RECT* dest, float z, const gpu::RECT* src, Angle16 angle, uint32_t colour, int mode);
    void DrawQuadF(const FloatQuad* corners, float z, const FloatRect* src, uint32_t colour, int mode);
    void DrawQuad(const int corners[8], float z, const gpu::RECT* src, uint32_t colour, int mode);

    uint32_t GetMemoryUse() const;
    // The backup as a 24-bit BMP; 0 when not ready, the lock or the file
    // fails, or the format has no conversion (nothing is written then).
    int SaveBitmap(const char* fileName);
    // Fills the backup (0xAARRGGBB); the device texture follows at Update.
    void Fill(uint32_t colour);

    uint32_t isRenderTarget = 0;
    uint32_t locked = 0;
    uint32_t ready = 0;
    gpu::Texture* texture = nullptr;
    gpu::Texture* backup = nullptr;
    int width = 0, height = 0;
    gpu::D3DFORMAT format = gpu::D3DFMT_UNKNOWN;
    int imageWidth = 0, imageHeight = 0;
    float invImageWidth = 0.0f, invImageHeight = 0.0f;
    // Video memory this texture added to the counter, taken back on release.
    int countedVideoMemory = 0;

private:
    void DrawVertices(const float x[4], const float y[4], float z, const FloatRect& src, uint32_t colour, int mode);
    void CopyFromDeviceSurface(gpu::Surface* source, int destX, int destY, gpu::RECT rect, int limitWidth,
                               int limitHeight);
};

Texture* CreateTextureFromFile(const char* fileName, int alpha, uint32_t colourKey, ProgressCallback progress);
Texture* CreateTextureFromArchive(const char* archivePath, const char* key, int alpha, ProgressCallback progress);
Texture* CreateTexture(int width, int height, int alpha, ProgressCallback progress);
Texture* CreateRenderTargetTexture(int width, int height, ProgressCallback progress);

int InitTextureList();
void DestroyTextureList();
void ReleaseTextureDeviceObjects();
void RestoreTextureDeviceObjects();
// Added to the left and top source edges and taken from the right and bottom
// ones of every draw; 0.5 once the texture layer has started.
void SetTexelOffset(float offset);
float GetTexelOffset();
