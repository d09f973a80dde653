#include "engine/graphics/texture.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/core/application.h"
#include "engine/core/log.h"
#include "engine/graphics/bitmap_file.h"
#include "engine/graphics/device.h"
#include "engine/graphics/image.h"
#include "engine/graphics/primitives2d.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/surface.h"
#include "platform/image_file.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

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

ResourceList textureList;

namespace {

float texelOffset = 0.5f;
// The object size the creation log prints.
constexpr unsigned kTextureObjectBytes = 68;
// A device that rounds sizes up could make the halving cycle for ever.
constexpr int kMaxFitSteps = 32;

unsigned LogId(const void* p) { return static_cast<unsigned>(reinterpret_cast<uintptr_t>(p)); }
double VideoMemoryMB() { return GetVideoMemoryUse() / 1048576.0; }

bool Is32Bit(D3DFORMAT f) { return f == gpu::D3DFMT_A8R8G8B8 || f == gpu::D3DFMT_X8R8G8B8; }
bool Is16Bit(D3DFORMAT f) { return f >= gpu::D3DFMT_R5G6B5 && f <= gpu::D3DFMT_A4R4G4B4; }

gpu::Texture* DeviceTextureOf(Texture* t) { return t->GetD3DTexture(); }

bool ReadLevelDesc(gpu::Texture* t, D3DSURFACE_DESC* desc) { return t && !Failed(t->GetLevelDesc(0, desc)); }

// Makes the device texture, halving its size until it and a tenth more fit
// the free texture memory. Logs a failure and returns false.
bool FitDeviceTexture(Texture* t, ProgressCallback progress) {
    Device* device = GetDevice();
    for (int step = 0; step < kMaxFitSteps && t->width > 0 && t->height > 0; ++step) {
        const HRESULT result = device ? device->CreateTexture(t->width, t->height, 1, 0, t->format, gpu::D3DPOOL_DEFAULT,
                                                              &t->texture)
                                      : E_FAIL;
        if (Failed(result)) {
            t->texture = nullptr;
            WriteLogText("エラー : テクスチャ生成に失敗 [%s]\n", GetD3DErrorText(result));
            return false;
        }
        ReportProgress(progress);
        D3DSURFACE_DESC desc{};
        if (ReadLevelDesc(t->texture, &desc)) {
            t->width = static_cast<int>(desc.Width);
            t->height = static_cast<int>(desc.Height);
        }
        const double pixels = static_cast<double>(t->width) * t->height;
        const int64_t need = Is32Bit(t->format)   ? static_cast<int64_t>(pixels * 4 * 1.1)
                             : Is16Bit(t->format) ? static_cast<int64_t>(pixels * 2 * 1.1)
                                                  : 0;
        if (need < static_cast<int64_t>(GetFreeTextureMemoryMB()) * 1048576) return true;
        t->width >>= 1;
        t->height >>= 1;
        t->texture->Release();
        t->texture = nullptr;
        ReportProgress(progress);
    }
    WriteLogText("エラー : ビデオメモリが足りないようです\n");
    return false;
}

void FinishCreation(Texture* t, ProgressCallback progress) {
    t->ready = 1;
    t->countedVideoMemory = GetFormatBytesPerPixel(t->format) * t->width * t->height;
    AddVideoMemoryUse(t->countedVideoMemory);
    WriteLog("[%s] / [%dx%d] / %u KByteUse / Complete! [VRAM %.3lfMB]\n", GetFormatName(t->format), t->width,
             t->height, (t->GetMemoryUse() + kTextureObjectBytes) / 1024, VideoMemoryMB());
    ReportProgress(progress);
    t->invImageWidth = 1.0f / t->imageWidth;
    t->invImageHeight = 1.0f / t->imageHeight;
}

// A texture without a picture: size and format as the device made it, a
// zeroed backup.
void FinishEmptyTexture(::Texture* t, ProgressCallback progress) {
    D3DSURFACE_DESC desc{};
    if (ReadLevelDesc(t->texture, &desc)) {
        t->width = static_cast<int>(desc.Width), t->height = static_cast<int>(desc.Height), t->format = desc.Format;
    }
    if (!t->CreateBackup()) {
        WriteLogText("エラー : バックアップ用テクスチャの生成に失敗\n");
        return;
    }
    ReportProgress(progress);
    FinishCreation(t, progress);
}

// The picture reaches the backup through an image surface of its own size:
// fit the device texture, fill the surface, copy it scaled into the backup.
void LoadThroughImageSurface(Texture* t, int alpha, const Image* image, ProgressCallback progress) {
    t->format = alpha ? GetAlphaTextureFormat() : GetNormalTextureFormat();
    image->GetSize(&t->imageWidth, &t->imageHeight);
    t->width = t->imageWidth;
    t->height = t->imageHeight;
    if (!FitDeviceTexture(t, progress)) return;
    Device* device = GetDevice();
    gpu::Surface* surface = nullptr;
    const HRESULT result = device->CreateImageSurface(t->imageWidth, t->imageHeight, t->format, &surface);
    if (Failed(result)) {
        WriteLogText("エラー : テンポラリサーフェイスの生成に失敗 [%s]\n", GetD3DErrorText(result));
        return;
    }
    ReportProgress(progress);
    D3DLOCKED_RECT locked{};
    bool filled = false;
    if (Failed(surface->LockRect(&locked, nullptr, 0))) {
        WriteLogText("エラー : サーフェイスのロックに失敗\n");
    } else {
        ReportProgress(progress);
        filled = image->CopyToSurface(locked.pBits, locked.Pitch, t->format, progress) != 0;
        if (!filled) WriteLogText("エラー : サーフェイスへのデータ展開に失敗\n");
        surface->UnlockRect();
        ReportProgress(progress);
    }
    if (filled && !t->CreateBackup()) {
        WriteLogText("エラー : バックアップ用テクスチャの生成に失敗\n");
        filled = false;
    }
    if (filled) {
        ReportProgress(progress);
        if (const char* error = t->CopyFromD3DSurface(surface)) WriteLogText("エラー : %s\n", error);
        else FinishCreation(t, progress);
    }
    surface->Release();
}

// Texture coordinates of a source rectangle, the texel offset pulled in.
FloatRect SourceEdges(const FloatRect& src, float invWidth, float invHeight) {
    return {(src.left + texelOffset) * invWidth, (src.top + texelOffset) * invHeight,
            (src.right - texelOffset) * invWidth, (src.bottom - texelOffset) * invHeight};
}

// The device's current render target (the caller releases it), or null.
gpu::Surface* CurrentRenderTarget() {
    Device* device = GetDevice();
    gpu::Surface* target = nullptr;
    return device && !Failed(device->GetRenderTarget(&target)) ? target : nullptr;
}

FloatRect ToFloat(const RECT& r) {
    return {static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right),
            static_cast<float>(r.bottom)};
}

void RectCorners(const FloatRect& d, float x[4], float y[4]) {
    const float l = d.left - 0.5f, t = d.top - 0.5f, r = d.right - 0.5f, b = d.bottom - 0.5f;
    x[0] = l, y[0] = t, x[1] = r, y[1] = t, x[2] = r, y[2] = b, x[3] = l, y[3] = b;
}

void RotatedCorners(const FloatRect& d, Angle16 angle, float x[4], float y[4]) {
    RectCorners(d, x, y);
    const float cx = (d.left + d.right) * 0.5f, cy = (d.top + d.bottom) * 0.5f;
    for (int i = 0; i < 4; ++i) {
        x[i] -= cx;
        y[i] -= cy;
        RotateByAngle16(&x[i], &y[i], angle);
        x[i] += cx;
        y[i] += cy;
    }
}

// Fill's packed pixel, always opaque; 0 for a format without one.
uint32_t PackedFillValue(D3DFORMAT format, uint32_t colour) {
    const uint32_t r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
    switch (format) {
    case gpu::D3DFMT_A8R8G8B8:
    case gpu::D3DFMT_X8R8G8B8: return colour | 0xFF000000u;
    case gpu::D3DFMT_R5G6B5: return (r & 0xF8) << 8 | (g >> 2) << 5 | b >> 3;
    case gpu::D3DFMT_X1R5G5B5:
    case gpu::D3DFMT_A1R5G5B5: return 0x8000 | (r & 0xF8) << 7 | (g >> 3) << 5 | b >> 3;
    case gpu::D3DFMT_A4R4G4B4:
    case gpu::D3DFMT_X4R4G4B4: return 0xF000 | (r & 0xF0) << 4 | (g >> 4) << 4 | b >> 4;
    default: return 0;
    }
}

}  // namespace

void SetTexelOffset(float offset) { texelOffset = offset; }
float GetTexelOffset() { return texelOffset; }

Texture::Texture() {
    WriteLogText("○ CreateTexture / ID [0x%08X] / ", LogId(this));
    textureList.PushFront(this);
}

Texture::~Texture() {
    ForgetBoundTexture(this);
    if (texture) texture->Release();
    if (backup) backup->Release();
    AddVideoMemoryUse(-countedVideoMemory);
    WriteLogText("● ReleaseTexture / ID [0x%08X] / [VRAM %.3lfMB]\n", LogId(this), VideoMemoryMB());
}

void Texture::ReleaseDeviceObjects() {
    ForgetBoundTexture(this);
    if (texture) texture->Release();
    texture = nullptr;
}

void Texture::RestoreDeviceObjects() {
    Device* device = GetDevice();
    if (!ready || texture) return;
    const uint32_t usage = isRenderTarget ? gpu::D3DUSAGE_RENDERTARGET : 0;
    const HRESULT result =
        device ? device->CreateTexture(width, height, 1, usage, format, gpu::D3DPOOL_DEFAULT, &texture) : E_FAIL;
    if (Failed(result)) {
        if (texture) texture->Release();
        texture = nullptr;
        ready = 0;
        isRenderTarget = 0;
        WriteLogText("テクスチャの復帰に失敗 [%s]\n", GetD3DErrorText(result));
        return;
    }
    if (!isRenderTarget) Update();
}

int Texture::CreateBackup() {
    if (backup) backup->Release();
    backup = nullptr;
    Device* device = GetDevice();
    // A new device texture reads as zero, so the backup starts cleared.
    if (!device || Failed(device->CreateTexture(width, height, 1, 0, format, gpu::D3DPOOL_SYSTEMMEM, &backup))) {
        backup = nullptr;
        return 0;
    }
    return 1;
}

const char* Texture::CopyFromD3DSurface(gpu::Surface* surface) {
    static char errorText[64];
    const char* error = nullptr;
    D3DLOCKED_RECT to{}, from{};
    if (!backup) error = "テクスチャが不正です";
    else if (!surface) error = "サーフェイスが不正です";
    else if (Failed(backup->LockRect(0, &to, nullptr, 0))) error = "テクスチャサーフェイスのロックに失敗";
    else if (Failed(surface->LockRect(&from, nullptr, 0))) {
        backup->UnlockRect(0);
        error = "サーフェイスのロックに失敗";
    }
    if (error) {
        Update();
        std::snprintf(errorText, sizeof errorText, "%s", error);
        return errorText;
    }
    auto* out = static_cast<uint8_t*>(to.pBits);
    const auto* in = static_cast<const uint8_t*>(from.pBits);
    const int bytes = Is32Bit(format) ? 4 : Is16Bit(format) ? 2 : 0;
    if (!out || !in) {
        error = "サーフェイスの転送に失敗";
    } else if (to.Pitch == from.Pitch && width == imageWidth && height == imageHeight) {
        std::memcpy(out, in, static_cast<size_t>(to.Pitch) * height);
    } else if (bytes) {
        // Nearest-neighbour scaling in 16.16 fixed point.
        const int64_t stepX = (static_cast<int64_t>(imageWidth) << 16) / width;
        const int64_t stepY = (static_cast<int64_t>(imageHeight) << 16) / height;
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = in + static_cast<size_t>((y * stepY) >> 16) * from.Pitch;
            for (int x = 0; x < width; ++x)
                std::memcpy(out + static_cast<size_t>(y) * to.Pitch + x * bytes, row + ((x * stepX) >> 16) * bytes, bytes);
        }
    }
    surface->UnlockRect();
    backup->UnlockRect(0);
    Update();
    if (!error) return nullptr;
    std::snprintf(errorText, sizeof errorText, "%s", error);
    return errorText;
}

int Texture::SetAsRenderTarget() {
    Device* device = GetDevice();
    if (!isRenderTarget || !texture || !device) return 0;
    gpu::Surface* level = nullptr;
    HRESULT result = texture->GetSurfaceLevel(0, &level);
    if (!Failed(result)) {
        result = device->SetRenderTarget(level, nullptr);
        level->Release();
    }
    if (Failed(result)) {
        WriteLogText("  エラー : レンダリングターゲットに設定できませんでした [%s]\n", GetD3DErrorText(result));
        return 0;
    }
    return 1;
}

int Texture::Lock(void** bits, int* pitch) {
    locked = 0;
    D3DLOCKED_RECT rect{};
    if (!ready || !backup || Failed(backup->LockRect(0, &rect, nullptr, 0))) return 0;
    *bits = rect.pBits;
    *pitch = rect.Pitch;
    locked = 1;
    return 1;
}

void Texture::Unlock() {
    if (locked && backup) backup->UnlockRect(0);
    locked = 0;
}

void Texture::Update() {
    Device* device = GetDevice();
    if (!texture || !backup || !device) return;
    backup->AddDirtyRect(nullptr);
    texture->AddDirtyRect(nullptr);
    const HRESULT result = device->UpdateTexture(backup, texture);
    if (Failed(result)) WriteLogText("テクスチャの更新に失敗 [%s]\n", GetD3DErrorText(result));
}

void Texture::CopyFromDeviceSurface(gpu::Surface* source, int destX, int destY, RECT rect, int limitWidth,
                                    int limitHeight) {
    gpu::Surface* level = nullptr;
    if (source && !Failed(texture->GetSurfaceLevel(0, &level))) {
        D3DSURFACE_DESC desc{};
        level->GetDesc(&desc);
        if (limitWidth < 0) limitWidth = static_cast<int>(desc.Width), limitHeight = static_cast<int>(desc.Height);
        CopyDeviceSurfaceRect(source, level, destX, destY, rect, limitWidth, limitHeight);
        level->Release();
    }
    if (source) source->Release();
}

void Texture::CopyFromRenderTarget(int destX, int destY, int left, int top, int right, int bottom) {
    gpu::Surface* target = CurrentRenderTarget();
    if (ready && texture && target) CopyFromDeviceSurface(target, destX, destY, {left, top, right, bottom}, -1, -1);
    else if (target) target->Release();
}

void Texture::CopyFromRenderTargetAlt(int destX, int destY, int left, int top, int right, int bottom) {
    gpu::Surface* target = CurrentRenderTarget();
    if (ready && texture && target) CopyFromDeviceSurface(target, destX, destY, {left, top, right, bottom}, width, height);
    else if (target) target->Release();
}

void Texture::CopyFromBackBuffer(int destX, int destY, int left, int top, int right, int bottom) {
    gpu::Surface* back = nullptr;
    if (!ready || !texture || !GetBackBufferSurface(&back)) return;
    CopyFromDeviceSurface(back, destX, destY, {left, top, right, bottom}, width, height);
}

void Texture::CopyFromSurface(int destX, int destY, int left, int top, int right, int bottom, Surface* surface) {
    if (!ready || !surface || !surface->IsReady() || surface->GetFormat() != format) return;
    LockedSurface to{}, from{};
    if (!Lock(&to.bits, &to.pitch)) return;
    if (surface->Lock(&from.bits, &from.pitch)) {
        to.width = width, to.height = height;
        from.width = surface->GetWidth(), from.height = surface->GetHeight();
        const POINT point{destX, destY};
        const RECT rect{left, top, right, bottom};
        CopySurfaceRect(&to, &point, &from, &rect, format, nullptr);
        surface->Unlock();
    }
    Unlock();
    Update();
}

void Texture::DrawVertices(const float x[4], const float y[4], float z, const FloatRect& src, uint32_t colour,
                           int mode) {
    if (!ready) return;
    const FloatRect uv = SourceEdges(src, invImageWidth, invImageHeight);
    const float depth = z * 1.52587890625e-05f;
    const TexturedVertex2D quad[4] = {{x[0], y[0], depth, 1.0f, colour, uv.left, uv.top},
                                      {x[1], y[1], depth, 1.0f, colour, uv.right, uv.top},
                                      {x[2], y[2], depth, 1.0f, colour, uv.right, uv.bottom},
                                      {x[3], y[3], depth, 1.0f, colour, uv.left, uv.bottom}};
    const bool inverted = mode == BLEND_INVERTED_ADD;
    if (inverted) Begin2D(BLEND_INVERTED_ADD);
    SetTexture(this, 0);
    if (Device* device = GetDevice()) device->SetVertexShader(kTexturedVertex2DFormat);
    ClearShaderKey();
    SetBlendMode(inverted ? BLEND_ALPHA_ADD : mode);
    if (Device* device = GetDevice()) device->DrawPrimitiveUP(gpu::D3DPT_TRIANGLEFAN, 2, quad, sizeof(TexturedVertex2D));
    if (inverted) End2D();
    GetGraphicsHost().AddPrimitiveCount(2);
}

void Texture::DrawF(const FloatRect* dest, float z, const FloatRect* src, uint32_t colour, int mode) {
    float x[4], y[4];
    RectCorners(*dest, x, y);
    DrawVertices(x, y, z, *src, colour, mode);
}

void Texture::Draw(const RECT* dest, float z, const RECT* src, uint32_t colour, int mode) {
    const FloatRect d = ToFloat(*dest), s = ToFloat(*src);
    DrawF(&d, z, &s, colour, mode);
}

void Texture::DrawRotatedF(const FloatRect* dest, float z, const FloatRect* src, Angle16 angle, uint32_t colour,
                           int mode) {
    float x[4], y[4];
    RotatedCorners(*dest, angle, x, y);
    DrawVertices(x, y, z, *src, colour, mode);
}

void Texture::DrawRotated(const RECT* dest, float z, const RECT* src, Angle16 angle, uint32_t colour, int mode) {
    const FloatRect d = ToFloat(*dest), s = ToFloat(*src);
    DrawRotatedF(&d, z, &s, angle, colour, mode);
}

void Texture::DrawQuadF(const FloatQuad* corners, float z, const FloatRect* src, uint32_t colour, int mode) {
    float x[4], y[4];
    for (int i = 0; i < 4; ++i) x[i] = corners->corners[i].x - 0.5f, y[i] = corners->corners[i].y - 0.5f;
    DrawVertices(x, y, z, *src, colour, mode);
}

void Texture::DrawQuad(const int corners[8], float z, const RECT* src, uint32_t colour, int mode) {
    FloatQuad q;
    for (int i = 0; i < 4; ++i)
        q.corners[i] = {static_cast<float>(corners[2 * i]), static_cast<float>(corners[2 * i + 1])};
    const FloatRect s = ToFloat(*src);
    DrawQuadF(&q, z, &s, colour, mode);
}

uint32_t Texture::GetMemoryUse() const {
    const uint32_t pixels = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    return pixels * (Is32Bit(format) ? 8 : Is16Bit(format) ? 4 : 2);
}

int Texture::SaveBitmap(const char* fileName) {
    if (!HasBgrConversion(format)) return 0;
    void* bits = nullptr;
    int pitch = 0;
    if (!Lock(&bits, &pitch)) return 0;
    const std::vector<uint8_t> file = EncodeBitmap(format, bits, pitch, width, height);
    Unlock();
    return platform::SaveFile(platform::ResolvePath(fileName), file) == 0 ? 1 : 0;
}

void Texture::Fill(uint32_t colour) {
    void* bits = nullptr;
    int pitch = 0;
    if (!Lock(&bits, &pitch)) return;
    const uint32_t r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
    const size_t total = static_cast<size_t>(pitch) * height;
    if (r == g && g == b && (r == 0 || r == 0xFF)) {
        std::memset(bits, static_cast<int>(r), total);
    } else {
        uint32_t word = PackedFillValue(format, colour);
        if (!Is32Bit(format)) word = (word & 0xFFFF) | word << 16;
        auto* out = static_cast<uint8_t*>(bits);
        for (size_t i = 0; i + 4 <= total; i += 4) std::memcpy(out + i, &word, 4);
    }
    Unlock();
}

Texture* CreateTextureFromArchive(const char* archivePath, const char* key, int alpha, ProgressCallback progress) {
    auto* t = new Texture();
    WriteLog("\"%s\" ( \"%s\" ) / ", key, archivePath);
    SetCurrentFolderToApp();
    Image* image = CreateImage();
    if (const char* error = image->LoadFromArchive(archivePath, key, progress)) {
        WriteLogText("エラー : %s\n", error);
    } else {
        int w = 0, h = 0;
        image->GetSize(&w, &h);
        WriteLog("(%d x %d) / ", w, h);
        ReportProgress(progress);
        LoadThroughImageSurface(t, alpha, image, progress);
    }
    image->Release();
    return t;
}

Texture* CreateTextureFromFile(const char* fileName, int alpha, uint32_t colourKey, ProgressCallback progress) {
    auto* t = new Texture();
    WriteLog("%s / ", fileName);
    SetCurrentFolderToApp();
    const std::string path = platform::ResolvePath(fileName);
    platform::DecodedImage decoded;
    if (platform::OpenRegularFile(path)) {
        if (platform::LoadImageFile(path, colourKey, &decoded)) {
            Image* image = CreateImage();
            image->SetPixels(decoded.width, decoded.height, decoded.pixels);
            LoadThroughImageSurface(t, alpha, image, progress);
            image->Release();
        } else {
            WriteLogText("エラー : ファイル読み込みに失敗\n");
        }
    } else {
        WriteLogText("エラー : ファイルが見つかりません\n");
    }
    return t;
}

Texture* CreateTexture(int width, int height, int alpha, ProgressCallback progress) {
    auto* t = new Texture();
    t->width = t->imageWidth = width;
    t->height = t->imageHeight = height;
    t->format = alpha ? GetAlphaTextureFormat() : GetNormalTextureFormat();
    if (FitDeviceTexture(t, progress)) FinishEmptyTexture(t, progress);
    return t;
}

Texture* CreateRenderTargetTexture(int width, int height, ProgressCallback progress) {
    auto* t = new Texture();
    t->width = t->imageWidth = width;
    t->height = t->imageHeight = height;
    t->format = GetBackBufferFormat();
    Device* device = GetDevice();
    const HRESULT result = device ? device->CreateTexture(width, height, 1, gpu::D3DUSAGE_RENDERTARGET, t->format,
                                                          gpu::D3DPOOL_DEFAULT, &t->texture)
                                  : E_FAIL;
    if (Failed(result)) {
        t->texture = nullptr;
        WriteLogText("エラー : テクスチャ生成に失敗 [%s]\n", GetD3DErrorText(result));
        return t;
    }
    t->isRenderTarget = 1;
    ReportProgress(progress);
    FinishEmptyTexture(t, progress);
    return t;
}

int InitTextureList() {
    textureList.Reset();
    texelOffset = 0.5f;
    SetDeviceTextureAccessor(DeviceTextureOf);
    SetDeviceObjectWalks(DEVICE_OBJECTS_TEXTURES, ReleaseTextureDeviceObjects, RestoreTextureDeviceObjects);
    return 1;
}

void DestroyTextureList() {
    WriteLog("\n============================================== Destroy Texture\n");
    textureList.ReleaseAll();
}

void ReleaseTextureDeviceObjects() {
    ForEachResource<Texture>(textureList, [](Texture* t) { t->ReleaseDeviceObjects(); });
}

void RestoreTextureDeviceObjects() {
    ForEachResource<Texture>(textureList, [](Texture* t) { t->RestoreDeviceObjects(); });
}
