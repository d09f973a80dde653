#include "engine/graphics/device.h"

#include <cstring>

#include "engine/graphics/camera.h"
#include "engine/graphics/graphics_log.h"
#include "engine/graphics/render_state.h"
#include "platform/cp932.h"

using namespace gpu;

namespace {

constexpr uint32_t kVertexShader11 = 0xFFFE0101;
constexpr uint32_t kDefaultBoneMatrices = 23;
constexpr int kResetTries = 10;
constexpr uint32_t kResetPauseMs = 100;

// Settings made before start-up; the state reset leaves them alone.
struct DeviceSettings {
    int softwareEmulation = 0;
    int forceScreen32 = 0;
    int forceTexture32 = 0;
    int vsync = 0;
};

// The device state block, zeroed at every start-up.
struct DeviceState {
    Direct3D* d3dObject;
    Device* d3dDevice;
    D3DPRESENT_PARAMETERS presentParameters;
    D3DVIEWPORT8 viewport;
    D3DCAPS8 caps;
    uint32_t requiredVertexShaderVersion, requiredPixelShaderVersion, requiredTextureCount;
    VertexProcessingMode vertexProcessingMode;
    int softwareVertexProcessing;
    uint32_t maxBoneMatrices;
    D3DFORMAT desktopFormat, screenFormat, mode16Format, mode32Format;
    D3DFORMAT normalTextureFormat, alphaTextureFormat, fullColorTextureFormat;
    int videoMemoryUse, videoMemoryPeak;
    int backBufferLocked;
    void* backBufferBits;
    int backBufferPitch;
    uint32_t currentShaderKey;
};

DeviceSettings settings;
DeviceState state;
Direct3DProvider direct3DProvider = nullptr;
DeviceObjectWalk releaseWalks[DEVICE_OBJECT_LAYER_COUNT];
DeviceObjectWalk restoreWalks[DEVICE_OBJECT_LAYER_COUNT];

const char* const kInstallHint = "    [ DirectX8.1以降をインストールしてください。 ]\n";

void ShowError(const char* caption, const char* utf8Text) {
    GetGraphicsHost().ShowErrorBox(caption, platform::Utf8ToCp932(utf8Text).c_str());
}

const char* ModeName(VertexProcessingMode mode) {
    switch (mode) {
    case VP_PURE_DEVICE: return "ピュアデバイス";
    case VP_HARDWARE: return "ハードウェアＴｎＬ";
    case VP_SOFTWARE: return "ソフトウェアＴｎＬ";
    default: return "リファレンスラスタライザー";
    }
}

// The desktop's size is the adapter's current display mode.
void DesktopSize(int* width, int* height) {
    D3DDISPLAYMODE desktop{};
    state.d3dObject->GetAdapterDisplayMode(0, &desktop);
    *width = static_cast<int>(desktop.Width);
    *height = static_cast<int>(desktop.Height);
}

const char* Supported(bool yes) { return yes ? "Support" : "Not Support"; }
const char* Does(bool yes) { return yes ? "する" : "しない"; }

bool LoadDirect3D() {
    // The device layer is linked in; the library and its entry point are
    // always there, so only the object can fail.
    LogGraphics("  ■ DLLを読みこみ\n");
    LogGraphics("  ■ 関数 \"Direct3DCreate8\" を読みこみ\n");
    void* window = GetGraphicsHost().Window();
    state.d3dObject = direct3DProvider ? direct3DProvider(window) : CreateDirect3D(window);
    if (!state.d3dObject) {
        LogGraphics("  エラー : Direct3Dオブジェクトの作成に失敗しました。\n");
        LogGraphics("%s", kInstallHint);
        ShowError("ERROR Can't Create Direct3DObject", "DirectX8.1が正しくインストールされていない可能性があります");
        return false;
    }
    LogGraphics("  ■ Direct3DObjectを生成\n");
    return true;
}

void LogAdapterIdentifier() {
    D3DADAPTER_IDENTIFIER8 id{};
    if (Failed(state.d3dObject->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &id))) return;
    LogGraphics("      * Adapter [%s]\n", id.Description);
    LogGraphics("           Driver     [%s]\n", id.Driver);
    LogGraphics("           Product    [%u]\n", id.DriverVersionHighPart >> 16);
    LogGraphics("           Version    [%u.%u.%u]\n", id.DriverVersionHighPart & 0xFFFF, id.DriverVersionLowPart >> 16,
                id.DriverVersionLowPart & 0xFFFF);
    LogGraphics("           Windows Hardware Quality Lab (WHQL) 認証レベル\n");
    if (id.WHQLLevel == 0) LogGraphics("               認証されていない。\n");
    else if (id.WHQLLevel == 1) LogGraphics("               WHQL の認証は受けているが、利用できる日付情報はない。\n");
    else LogGraphics("               %u.%u.%u\n", (id.WHQLLevel >> 16) & 0xFF, (id.WHQLLevel >> 8) & 0xF, id.WHQLLevel & 0xF);
}

// Looks through every display mode of the screen size for the first 16-bit
// and the first 32-bit candidate; falls back to a window when there is none.
void FindFullScreenModes() {
    int width = 0, height = 0;
    GetGraphicsHost().ScreenSize(&width, &height);
    const uint32_t count = state.d3dObject->GetAdapterModeCount(0);
    for (uint32_t i = 0; i < count; ++i) {
        D3DDISPLAYMODE mode{};
        if (Failed(state.d3dObject->EnumAdapterModes(0, i, &mode))) continue;
        if (mode.Width != static_cast<uint32_t>(width) || mode.Height != static_cast<uint32_t>(height)) continue;
        const bool is16 = mode.Format == D3DFMT_R5G6B5 || mode.Format == D3DFMT_X1R5G5B5;
        const bool is32 = mode.Format == D3DFMT_A8R8G8B8 || mode.Format == D3DFMT_X8R8G8B8;
        if (is16 && state.mode16Format == D3DFMT_UNKNOWN) state.mode16Format = mode.Format;
        if (is32 && state.mode32Format == D3DFMT_UNKNOWN) state.mode32Format = mode.Format;
    }
    if (state.mode16Format == D3DFMT_UNKNOWN && state.mode32Format == D3DFMT_UNKNOWN) {
        LogGraphics("    エラー : 要求された解像度はサポートされていません。\n");
        LogGraphics("             自動的にウィンドウモードに移行します。\n");
        GetGraphicsHost().FallBackToWindow();
    }
}

bool ReadAdapterInfo() {
    LogGraphics("  ■ アダプター情報の取得\n");
    LogAdapterIdentifier();
    if (!GetGraphicsHost().Windowed()) FindFullScreenModes();
    const bool use32 = state.mode32Format != D3DFMT_UNKNOWN &&
                       (settings.forceScreen32 || state.mode16Format == D3DFMT_UNKNOWN);
    state.screenFormat = use32 ? state.mode32Format : state.mode16Format;
    D3DDISPLAYMODE desktop{};
    if (!Failed(state.d3dObject->GetAdapterDisplayMode(0, &desktop))) {
        state.desktopFormat = desktop.Format;
        if (GetGraphicsHost().Windowed()) state.screenFormat = desktop.Format;
        LogGraphics("      * Screen Data [%d x %d x %d %s]\n", desktop.Width, desktop.Height, desktop.RefreshRate,
                    GetFormatName(desktop.Format));
    }
    if (state.screenFormat == D3DFMT_R8G8B8) {
        ShowError("ERROR Can't Support 24Bit ScreenMode", "24Bitの画面モードはDirectX8.1ではサポートされていません");
        return false;
    }

    LogGraphics("      * ターゲット [%s] で使用可能なテクスチャフォーマット\n", GetFormatName(state.screenFormat));
    static constexpr D3DFORMAT kProbed[] = {
        D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5, D3DFMT_R8G8B8, D3DFMT_X4R4G4B4, D3DFMT_X1R5G5B5,
        D3DFMT_R5G6B5, D3DFMT_X8R8G8B8, D3DFMT_A8P8, D3DFMT_P8, D3DFMT_L8, D3DFMT_A8L8, D3DFMT_A4L4,
        D3DFMT_V8U8, D3DFMT_L6V5U5, D3DFMT_X8L8V8U8, D3DFMT_Q8W8V8U8, D3DFMT_V16U16, D3DFMT_W11V11U10,
        D3DFMT_UYVY, D3DFMT_YUY2, D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5,
    };
    state.normalTextureFormat = state.alphaTextureFormat = D3DFMT_UNKNOWN;
    for (D3DFORMAT format : kProbed) {
        if (Failed(state.d3dObject->CheckDeviceFormat(0, D3DDEVTYPE_HAL, state.screenFormat, 0, D3DRTYPE_TEXTURE,
                                                      format))) {
            continue;
        }
        LogGraphics("          %s\n", GetFormatName(format));
        if (format == D3DFMT_A8R8G8B8) {
            state.normalTextureFormat = state.alphaTextureFormat = state.fullColorTextureFormat = format;
        } else if (format == D3DFMT_A4R4G4B4) {
            state.normalTextureFormat = state.alphaTextureFormat = format;
        } else if (format == D3DFMT_A1R5G5B5) {
            state.normalTextureFormat = format;
        }
    }
    if (state.normalTextureFormat == D3DFMT_UNKNOWN && state.alphaTextureFormat == D3DFMT_UNKNOWN) {
        LogGraphics("      エラー :  有効なテクスチャフォーマットが見つかりませんでした。\n");
        LogGraphics("                強制的に一般的な32Bitフォーマットでの起動をします。\n");
        state.normalTextureFormat = state.alphaTextureFormat = D3DFMT_A8R8G8B8;
    }
    if (state.alphaTextureFormat == D3DFMT_UNKNOWN) state.alphaTextureFormat = state.normalTextureFormat;
    if (state.fullColorTextureFormat == D3DFMT_UNKNOWN) state.fullColorTextureFormat = state.alphaTextureFormat;
    LogGraphics("\n");
    LogGraphics("          Select Normal    Texture [%s]\n", GetFormatName(state.normalTextureFormat));
    LogGraphics("          Select Alpha     Texture [%s]\n", GetFormatName(state.alphaTextureFormat));
    LogGraphics("          Select FullColor Texture [%s]\n", GetFormatName(state.fullColorTextureFormat));
    LogGraphics("\n");
    return true;
}

// A count of 27 or fewer constants leaves no room for a palette: keep the default.
void TakeCaps(const D3DCAPS8& caps) {
    state.caps = caps;
    if (caps.MaxVertexShaderConst > 27) state.maxBoneMatrices = (caps.MaxVertexShaderConst - 27) / 3;
}

bool ChooseVertexProcessing() {
    D3DCAPS8 caps{};
    if (Failed(state.d3dObject->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps))) {
        state.vertexProcessingMode = VP_SOFTWARE;
        state.softwareVertexProcessing = 1;
        LogGraphics("      エラー :  デバイスの性能が取得できませんでした。\n");
        return true;
    }
    TakeCaps(caps);
    state.vertexProcessingMode = VP_REFERENCE;
    state.softwareVertexProcessing = 1;
    const bool requirementsMet = caps.PixelShaderVersion >= state.requiredPixelShaderVersion &&
                                 caps.MaxSimultaneousTextures >= state.requiredTextureCount;
    if (!settings.softwareEmulation && requirementsMet && (caps.DevCaps & D3DDEVCAPS_HWRASTERIZATION)) {
        state.vertexProcessingMode = VP_SOFTWARE;
        if (caps.VertexShaderVersion >= state.requiredVertexShaderVersion &&
            (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)) {
            state.vertexProcessingMode = (caps.DevCaps & D3DDEVCAPS_PUREDEVICE) ? VP_PURE_DEVICE : VP_HARDWARE;
            state.softwareVertexProcessing = 0;
        }
    }
    LogGraphics("  ■ 現在の設定ではDirect3Dデバイスを %s で作成可能です\n", ModeName(state.vertexProcessingMode));
    return true;
}

void FillPresentParameters(bool windowed, bool desktopSized) {
    D3DPRESENT_PARAMETERS& pp = state.presentParameters;
    pp = {};
    int width = 0, height = 0;
    if (desktopSized) DesktopSize(&width, &height);
    else GetGraphicsHost().ScreenSize(&width, &height);
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = windowed ? state.desktopFormat : state.screenFormat;
    pp.BackBufferCount = 1;
    pp.SwapEffect = settings.vsync ? D3DSWAPEFFECT_COPY_VSYNC : D3DSWAPEFFECT_COPY;
    pp.hDeviceWindow = GetGraphicsHost().Window();
    pp.Windowed = windowed;
    pp.EnableAutoDepthStencil = 0;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
}

uint32_t BehaviourFlags(VertexProcessingMode mode) {
    static constexpr uint32_t kFlags[4] = {
        D3DCREATE_PUREDEVICE | D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DCREATE_HARDWARE_VERTEXPROCESSING,
        D3DCREATE_SOFTWARE_VERTEXPROCESSING, D3DCREATE_SOFTWARE_VERTEXPROCESSING};
    return kFlags[mode] | (GetGraphicsHost().ThreadMode() ? D3DCREATE_MULTITHREADED : 0);
}

bool CreateD3DDevice() {
    LogGraphics("\n");
    HRESULT result = D3DERR_INVALIDCALL;
    int created = -1;
    for (int mode = state.vertexProcessingMode; mode <= VP_REFERENCE && created < 0; ++mode) {
        const D3DDEVTYPE type = mode == VP_REFERENCE ? D3DDEVTYPE_REF : D3DDEVTYPE_HAL;
        result = state.d3dObject->CreateDevice(0, type, GetGraphicsHost().Window(),
                                               BehaviourFlags(static_cast<VertexProcessingMode>(mode)),
                                               &state.presentParameters, &state.d3dDevice);
        if (!Failed(result)) created = mode;
    }
    if (created < 0) {
        state.d3dDevice = nullptr;
        LogGraphics("  エラー : デバイスの作成に失敗 [%s]\n", platform::Cp932ToUtf8(GetD3DErrorText(result)).c_str());
        LogGraphics("           DirectX側のエラーで無い場合は他のソフトがビデオカードを占有してる可能性があります。");
        return false;
    }
    LogGraphics("  ■ Direct3Dデバイスを %s で生成\n", ModeName(static_cast<VertexProcessingMode>(created)));
    LogGraphics("  ■ 空きビデオメモリ量 [%uMB]\n", state.d3dDevice->GetAvailableTextureMem() >> 20);

    const D3DPRESENT_PARAMETERS& pp = state.presentParameters;
    const int bytes = GetFormatBytesPerPixel(pp.BackBufferFormat) * pp.BackBufferCount * pp.BackBufferHeight *
                      pp.BackBufferWidth;
    AddVideoMemoryUse(bytes);
    if (!pp.Windowed) {
        AddVideoMemoryUse(bytes);
    } else {
        int width = 0, height = 0;
        DesktopSize(&width, &height);
        AddVideoMemoryUse(width * height * GetFormatBytesPerPixel(pp.BackBufferFormat));
    }
    LogGraphics("  ■ 使用ビデオメモリ量 [%.3lfMB]\n", state.videoMemoryUse / 1048576.0);
    state.d3dDevice->ResourceManagerDiscardBytes(0);
    return true;
}

void LogVersion(const char* format, uint32_t version) { LogGraphics(format, (version >> 8) & 0xFF, version & 0xFF); }

bool LogUserSettings() {
    D3DCAPS8 caps{};
    if (Failed(state.d3dDevice->GetDeviceCaps(&caps))) {
        state.vertexProcessingMode = VP_SOFTWARE;
        LogGraphics("      エラー :  デバイスの性能が調査できませんでした。\n");
        return true;
    }
    TakeCaps(caps);
    LogGraphics("\n    □ ハードウェア性能の列挙\n");
    LogGraphics("       ハードウェアラスタライズ            [%s]\n", Supported(caps.DevCaps & D3DDEVCAPS_HWRASTERIZATION));
    LogGraphics("       ハードウェアＴｎＬ                  [%s]\n", Supported(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT));
    LogGraphics("       ピュアデバイス                      [%s]\n", Supported(caps.DevCaps & D3DDEVCAPS_PUREDEVICE));
    LogGraphics("       Ｗバッファ                          [%s]\n", Supported(caps.RasterCaps & D3DPRASTERCAPS_WBUFFER));
    LogGraphics("       異方性フィルタリング                [%s]\n", Supported(caps.RasterCaps & D3DPRASTERCAPS_ANISOTROPY));
    LogGraphics("       最大テクスチャサイズ                [%ux%u]\n", caps.MaxTextureWidth, caps.MaxTextureHeight);
    LogGraphics("       ブレンディングステージの最大数      [%u]\n", caps.MaxTextureBlendStages);
    LogGraphics("       ブレンディングテクスチャの最大数    [%u]\n", caps.MaxSimultaneousTextures);
    LogGraphics("       最大ポリゴン数                      [%u]\n", caps.MaxPrimitiveCount);
    LogGraphics("       最大頂点インデックス数              [%u]\n", caps.MaxVertexIndex);
    LogGraphics("       最大ポイントサイズ                  [%.3lf]\n", static_cast<double>(caps.MaxPointSize));
    LogGraphics("       最大ハードウェアライト数            [%u]\n", caps.MaxActiveLights);
    LogVersion("       ピクセルシェーダーのバージョン      [%u.%u]\n", caps.PixelShaderVersion);
    LogVersion("       頂点シェーダーのバージョン          [%u.%u]\n", caps.VertexShaderVersion);
    LogGraphics("       定数レジスタの個数                  [%u]\n", caps.MaxVertexShaderConst);
    LogGraphics("       行列パレットの最大数                [%u]\n", caps.MaxVertexBlendMatrixIndex);
    LogGraphics("       ブレンドオペレーション              [%s]\n", Supported(caps.PrimitiveMiscCaps & D3DPMISCCAPS_BLENDOP));
    LogGraphics("\n    □ テクスチャ情報\n");
    LogGraphics("       ２のべき乗以外のサイズ              [%s]\n", Supported(!(caps.TextureCaps & D3DPTEXTURECAPS_POW2)));
    LogGraphics("       正方形以外のサイズ                  [%s]\n", Supported(!(caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY)));
    LogGraphics("       ミップマップ化テクスチャ            [%s]\n", Supported(caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP));
    LogGraphics("       キューブテクスチャ                  [%s]\n", Supported(caps.TextureCaps & D3DPTEXTURECAPS_CUBEMAP));
    LogGraphics("       ボリュームテクスチャ                [%s]\n", Supported(caps.TextureCaps & D3DPTEXTURECAPS_VOLUMEMAP));
    LogGraphics("\n    □ ユーザー要求仕様\n");
    LogGraphics("       %sによる処理\n", settings.softwareEmulation ? "ソフトウェアエミュレーション" : "ハードウェア");
    LogGraphics("       VSyncによる画面書き換えを%s\n", Does(settings.vsync));
    LogGraphics("       32Bitカラーの画面を使用%s\n", Does(settings.forceScreen32));
    LogGraphics("       32Bitカラーのテクスチャを使用%s\n", Does(settings.forceTexture32));
    LogGraphics("       %sモードで起動\n", GetGraphicsHost().Windowed() ? "ウィンドウ" : "フルスクリーン");
    LogGraphics("       %sウィンドウで起動\n", GetGraphicsHost().PaintDriven() ? "サイズ変更" : "サイズ固定");
    LogGraphics("       テクスチャブレンド数        [%u]\n", state.requiredTextureCount);
    LogVersion("       ピクセルシェーダー          [%u.%u]\n", state.requiredPixelShaderVersion);
    LogVersion("       頂点シェーダー              [%u.%u]\n", state.requiredVertexShaderVersion);
    return true;
}

}  // namespace

void EnableScreen32Bit() { settings.forceScreen32 = 1; }
void EnableTexture32Bit() { settings.forceTexture32 = 1; }
void ResetGraphicsSettings() { settings = DeviceSettings{}; }
void SetDirect3DProvider(Direct3DProvider provider) { direct3DProvider = provider; }

int InitializeDirectXGraphics() {
    LogGraphics("\n============================================== Initialize DirectXGraphics\n");
    std::memset(static_cast<void*>(&state), 0, sizeof state);
    state.requiredVertexShaderVersion = kVertexShader11;
    state.maxBoneMatrices = kDefaultBoneMatrices;
    if (!LoadDirect3D() || !ReadAdapterInfo() || !ChooseVertexProcessing()) return 0;
    FillPresentParameters(GetGraphicsHost().Windowed(), GetGraphicsHost().PaintDriven());
    if (!CreateD3DDevice() || !LogUserSettings() || !SetDefaultRenderStates()) return 0;
    ClearTarget(0);
    return 1;
}

void DestroyDirectXGraphics() {
    LogGraphics("\n============================================== Destroy DirectXGraphics\n");
    if (state.d3dDevice) {
        const uint32_t left = state.d3dDevice->Release();
        state.d3dDevice = nullptr;
        LogGraphics("  ■ Direct3DDeviceを解体 [参照カウント%u]\n", left);
    }
    if (state.d3dObject) {
        const uint32_t left = state.d3dObject->Release();
        state.d3dObject = nullptr;
        LogGraphics("  ■ Direct3DObjectを解体 [参照カウント%u]\n", left);
    }
    LogGraphics("----------------------------------------\n");
    LogGraphics("  >>> ビデオメモリ最大使用量 [%.3lf MB]\n", state.videoMemoryPeak / 1048576.0);
    LogGraphics("----------------------------------------\n");
}

Device* GetDevice() { return state.d3dDevice; }
D3DFORMAT GetBackBufferFormat() { return state.presentParameters.BackBufferFormat; }
D3DFORMAT GetNormalTextureFormat() {
    return settings.forceTexture32 ? state.fullColorTextureFormat : state.normalTextureFormat;
}
D3DFORMAT GetAlphaTextureFormat() {
    return settings.forceTexture32 ? state.fullColorTextureFormat : state.alphaTextureFormat;
}
D3DFORMAT GetFullColorTextureFormat() { return state.fullColorTextureFormat; }
int IsSoftwareVertexProcessing() { return state.softwareVertexProcessing; }
VertexProcessingMode GetVertexProcessingMode() { return state.vertexProcessingMode; }
uint32_t GetMaxBoneMatrices() { return state.maxBoneMatrices; }

uint32_t GetFreeTextureMemoryMB() {
    return state.d3dDevice ? state.d3dDevice->GetAvailableTextureMem() >> 20 : 0;
}

void GetViewportRect(RECT* out) {
    const D3DVIEWPORT8& v = state.viewport;
    *out = {static_cast<int32_t>(v.X), static_cast<int32_t>(v.Y), static_cast<int32_t>(v.X + v.Width),
            static_cast<int32_t>(v.Y + v.Height)};
}

void SetViewport(const D3DVIEWPORT8& viewport) {
    state.viewport = viewport;
    if (state.d3dDevice) state.d3dDevice->SetViewport(&viewport);
}

int GetBackBufferSurface(gpu::Surface** out) {
    if (!state.d3dDevice) return 0;
    return Failed(state.d3dDevice->GetBackBuffer(0, out)) ? 0 : 1;
}

void ClearTarget(uint32_t colour) {
    if (state.d3dDevice) state.d3dDevice->Clear(D3DCLEAR_TARGET, colour, 0.0f, 0);
}

void ClearDepth(float z) {
    if (state.d3dDevice) state.d3dDevice->Clear(D3DCLEAR_ZBUFFER, 0, z, 0);
}

int BeginScene() {
    state.currentShaderKey = 0;
    return state.d3dDevice && !Failed(state.d3dDevice->BeginScene()) ? 1 : 0;
}

void EndScene() {
    if (state.d3dDevice) state.d3dDevice->EndScene();
}

void PresentFrame() {
    if (state.d3dDevice && state.d3dDevice->Present() == D3DERR_DEVICELOST) RestoreLostDevice(0);
    GetGraphicsHost().AddPresentedFrames(1);
}

int CheckAndSetShaderKey(uint32_t key) {
    if (key == state.currentShaderKey) return 1;
    state.currentShaderKey = key;
    return 0;
}

void ClearShaderKey() { state.currentShaderKey = 0; }

void SetDeviceObjectWalks(DeviceObjectLayer layer, DeviceObjectWalk release, DeviceObjectWalk restore) {
    if (layer < 0 || layer >= DEVICE_OBJECT_LAYER_COUNT) return;
    releaseWalks[layer] = release;
    restoreWalks[layer] = restore;
}

void RestoreLostDevice(int force) {
    Device* device = state.d3dDevice;
    if (!device) return;
    if (!force && !Failed(device->TestCooperativeLevel())) return;
    FillPresentParameters(GetGraphicsHost().Windowed(), GetGraphicsHost().PaintDriven());
    if (state.backBufferLocked) UnlockBackBuffer();
    for (DeviceObjectWalk release : releaseWalks) {
        if (release) release();
    }
    int failures = 0;
    while (Failed(device->Reset(&state.presentParameters))) {
        GetGraphicsHost().Sleep(kResetPauseMs);
        if (++failures == kResetTries) {
            LogGraphics("--------------------------------------------------\n");
            LogGraphics("         デバイスの復旧が出来ませんでした         \n");
            LogGraphics("--------------------------------------------------\n");
            GetGraphicsHost().RequestExit();
            return;
        }
    }
    device->ResourceManagerDiscardBytes(0);
    for (DeviceObjectWalk restore : restoreWalks) {
        if (restore) restore();
    }
    ReapplyCameraTransforms();
    ReplayRenderStateCache();
    RestoreDepthSurface();
}

void AddVideoMemoryUse(int bytes) {
    state.videoMemoryUse += bytes;
    if (state.videoMemoryUse > state.videoMemoryPeak) state.videoMemoryPeak = state.videoMemoryUse;
}

int GetVideoMemoryUse() { return state.videoMemoryUse; }
int GetVideoMemoryPeak() { return state.videoMemoryPeak; }

int LockBackBuffer(void** bits, int* pitch) {
    if (state.backBufferLocked) {
        *bits = state.backBufferBits;
        *pitch = state.backBufferPitch;
        return 1;
    }
    gpu::Surface* surface = nullptr;
    if (!GetBackBufferSurface(&surface)) return 0;
    D3DLOCKED_RECT locked{};
    state.backBufferLocked = Failed(surface->LockRect(&locked, nullptr, 0)) ? 0 : 1;
    if (state.backBufferLocked) {
        *bits = state.backBufferBits = locked.pBits;
        *pitch = state.backBufferPitch = locked.Pitch;
    }
    // The device keeps the back buffer, and with it the lock.
    surface->Release();
    return state.backBufferLocked;
}

void UnlockBackBuffer() {
    if (!state.backBufferLocked) return;
    gpu::Surface* surface = nullptr;
    if (GetBackBufferSurface(&surface)) {
        surface->UnlockRect();
        surface->Release();
    }
    state.backBufferLocked = 0;
    state.backBufferBits = nullptr;
    state.backBufferPitch = 0;
}
