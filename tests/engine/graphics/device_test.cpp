// Device start-up, lost-device recovery, back-buffer access and screenshots,
// on the recording device.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "tests/support/bitmap_bytes.h"
#include "tests/support/recording_device.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace gpu;

class DeviceTest : public ::testing::Test {
protected:
    void TearDown() override { ResetGraphicsSettings(); }
    test::RecordingGraphics graphics;
};

struct FormatCase {
    const char* name;
    std::vector<D3DFORMAT> supported;
    D3DFORMAT normal, alpha, fullColor;
};
void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class TextureFormatRoles : public DeviceTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(TextureFormatRoles, FollowTheFirstSupportedFormats) {
    graphics.d3d()->textureFormats = GetParam().supported;
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    EXPECT_EQ(GetNormalTextureFormat(), GetParam().normal);
    EXPECT_EQ(GetAlphaTextureFormat(), GetParam().alpha);
    EXPECT_EQ(GetFullColorTextureFormat(), GetParam().fullColor);
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, TextureFormatRoles,
    ::testing::Values(
        FormatCase{"EraHardware",
                   {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5, D3DFMT_R5G6B5, D3DFMT_X8R8G8B8},
                   D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_A8R8G8B8},
        FormatCase{"Only32Bit", {D3DFMT_A8R8G8B8}, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8},
        FormatCase{"Only4444", {D3DFMT_A4R4G4B4}, D3DFMT_A4R4G4B4, D3DFMT_A4R4G4B4, D3DFMT_A4R4G4B4},
        FormatCase{"NoneUsable", {D3DFMT_R5G6B5}, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8}),
    [](const auto& info) { return info.param.name; });

TEST_F(DeviceTest, Forced32BitTexturesUseTheFullColourFormat) {
    EnableTexture32Bit();
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    EXPECT_EQ(GetNormalTextureFormat(), D3DFMT_A8R8G8B8);
    EXPECT_EQ(GetAlphaTextureFormat(), D3DFMT_A8R8G8B8);
}

struct ProcessingCase {
    const char* name;
    uint32_t devCaps, vertexShaderVersion;
    D3DDEVTYPE type;
    uint32_t flags;
    int software;
};
void PrintTo(const ProcessingCase& c, std::ostream* os) { *os << c.name; }

class VertexProcessingChoice : public DeviceTest, public ::testing::WithParamInterface<ProcessingCase> {};

TEST_P(VertexProcessingChoice, FollowsTheCapabilities) {
    graphics.d3d()->caps.DevCaps = GetParam().devCaps;
    graphics.d3d()->caps.VertexShaderVersion = GetParam().vertexShaderVersion;
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    ASSERT_EQ(graphics.d3d()->attempts.size(), 1u);
    EXPECT_EQ(graphics.d3d()->attempts[0].type, GetParam().type);
    EXPECT_EQ(graphics.d3d()->attempts[0].flags, GetParam().flags);
    EXPECT_EQ(IsSoftwareVertexProcessing(), GetParam().software);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, VertexProcessingChoice,
    ::testing::Values(
        ProcessingCase{"NoHardwareRasteriser", D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0xFFFE0101, D3DDEVTYPE_REF, 0x20, 1},
        ProcessingCase{"ShadersBelow11", D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0xFFFE0100,
                       D3DDEVTYPE_HAL, 0x20, 1},
        ProcessingCase{"HardwareTnL", D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0xFFFE0101,
                       D3DDEVTYPE_HAL, 0x40, 0},
        ProcessingCase{"PureDevice",
                       D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE,
                       0xFFFE0101, D3DDEVTYPE_HAL, 0x50, 0}),
    [](const auto& info) { return info.param.name; });

TEST_F(DeviceTest, AFailedModeFallsToTheNextAndKeepsTheChosenProcessing) {
    graphics.d3d()->failingFlags = {0x40};
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    ASSERT_EQ(graphics.d3d()->attempts.size(), 2u);
    EXPECT_EQ(graphics.d3d()->attempts[1].type, D3DDEVTYPE_HAL);
    EXPECT_EQ(graphics.d3d()->attempts[1].flags, 0x20u);
    EXPECT_EQ(IsSoftwareVertexProcessing(), 0);
    EXPECT_EQ(GetVertexProcessingMode(), VP_HARDWARE);
}

TEST_F(DeviceTest, EveryModeFailingEndsStartUp) {
    graphics.d3d()->failingFlags = {0x40, 0x20};
    EXPECT_EQ(InitializeDirectXGraphics(), 0);
    EXPECT_EQ(graphics.d3d()->attempts.size(), 3u) << "hardware, software, reference";
    EXPECT_EQ(GetDevice(), nullptr);
}

TEST_F(DeviceTest, ThreadModeCreatesAMultithreadedDevice) {
    graphics.host.threadMode = true;
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    EXPECT_EQ(graphics.d3d()->attempts[0].flags, 0x40u | D3DCREATE_MULTITHREADED);
}

TEST_F(DeviceTest, BonePaletteFollowsTheShaderConstantCount) {
    for (auto [constants, bones] : {std::pair{96u, 23u}, {0u, 23u}, {20u, 23u}, {150u, 41u}}) {
        test::RecordingGraphics local;
        local.d3d()->caps.MaxVertexShaderConst = constants;
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        EXPECT_EQ(GetMaxBoneMatrices(), bones) << constants << " constants";
    }
}

TEST_F(DeviceTest, FullScreenWithoutTheSizeFallsBackToAWindow) {
    graphics.host.windowed = false;
    graphics.d3d()->modes = {{800, 600, 60, D3DFMT_X8R8G8B8}};
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    EXPECT_EQ(graphics.host.fallBacks, 1);
    EXPECT_EQ(GetBackBufferFormat(), D3DFMT_X8R8G8B8);
}

TEST_F(DeviceTest, EveryModeIsSearchedForTheFullScreenFormats) {
    graphics.host.windowed = false;
    graphics.d3d()->modes = {{640, 480, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_R5G6B5}};
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    EXPECT_EQ(graphics.host.fallBacks, 0);
    EXPECT_EQ(GetBackBufferFormat(), D3DFMT_R5G6B5) << "the 16-bit mode unless 32 bits are forced";
}

TEST_F(DeviceTest, VideoMemoryCountsTheBackBufferAndTheDesktop) {
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    EXPECT_EQ(GetVideoMemoryUse(), 640 * 480 * 4 + 1280 * 1024 * 4);
    AddVideoMemoryUse(-1000);
    EXPECT_EQ(GetVideoMemoryPeak(), 640 * 480 * 4 + 1280 * 1024 * 4);
}

TEST_F(DeviceTest, ShaderKeyIsRememberedWithinAScene) {
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    ASSERT_EQ(BeginScene(), 1);
    EXPECT_EQ(CheckAndSetShaderKey(0x10010801), 0);
    EXPECT_EQ(CheckAndSetShaderKey(0x10010801), 1);
    ClearShaderKey();
    EXPECT_EQ(CheckAndSetShaderKey(0x10010801), 0);
    EndScene();
    ASSERT_EQ(BeginScene(), 1);
    EXPECT_EQ(CheckAndSetShaderKey(0x10010801), 0) << "a new scene forgets the key";
    EndScene();
}

// --- lost device ------------------------------------------------------------

std::vector<std::string> walkOrder;
void ReleaseSurfaces() { walkOrder.push_back("release surfaces"); }
void RestoreSurfaces() { walkOrder.push_back("restore surfaces"); }
void ReleaseTextures() { walkOrder.push_back("release textures"); }
void RestoreTextures() { walkOrder.push_back("restore textures"); }
void ReleaseModels() { walkOrder.push_back("release models"); }
void RestoreModels() { walkOrder.push_back("restore models"); }
::Surface* restoredDepth = nullptr;
int RestoreDepth(::Surface* surface) {
    restoredDepth = surface;
    walkOrder.push_back("depth");
    return 1;
}

class LostDeviceTest : public DeviceTest {
protected:
    void SetUp() override {
        walkOrder.clear();
        restoredDepth = nullptr;
        // Registered out of order: the recovery walks them by layer.
        SetDeviceObjectWalks(DEVICE_OBJECTS_MODELS, ReleaseModels, RestoreModels);
        SetDeviceObjectWalks(DEVICE_OBJECTS_TEXTURES, ReleaseTextures, RestoreTextures);
        SetDeviceObjectWalks(DEVICE_OBJECTS_SURFACES, ReleaseSurfaces, RestoreSurfaces);
        SetDepthSurfaceRestorer(RestoreDepth);
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
    }
    void TearDown() override {
        for (int layer = 0; layer < DEVICE_OBJECT_LAYER_COUNT; ++layer) {
            SetDeviceObjectWalks(static_cast<DeviceObjectLayer>(layer), nullptr, nullptr);
        }
        SetDepthSurfaceRestorer(nullptr);
        SetCurrentDepthSurface(nullptr);
        DeviceTest::TearDown();
    }
    test::RecordingDevice& device() { return *graphics.device(); }
};

TEST_F(LostDeviceTest, PresentOnALostDeviceResetsRestoresAndReplaysTheCaches) {
    SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    SetTextureStageState(1, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    ::Surface* depth = reinterpret_cast<::Surface*>(0x1000);
    SetCurrentDepthSurface(depth);
    Camera* camera = CreateCamera();
    camera->SetOrthographic(4, 3, 0, 1);
    camera->Apply();
    device().resetFailuresLeft = 3;
    device().presentLoses = true;
    device().ClearCalls();

    PresentFrame();

    EXPECT_EQ(device().resetCount, 4);
    EXPECT_EQ(graphics.host.sleeps, (std::vector<uint32_t>{100, 100, 100}));
    EXPECT_EQ(walkOrder, (std::vector<std::string>{"release surfaces", "release textures", "release models",
                                                   "restore surfaces", "restore textures", "restore models",
                                                   "depth"}));
    EXPECT_EQ(restoredDepth, depth);
    EXPECT_EQ(graphics.host.presentedFrames, 1);
    EXPECT_EQ(graphics.host.exitRequests, 0);

    // The device is back to its defaults after Reset; the replay puts back
    // every value the caches hold, render states in ascending order.
    uint32_t value = 0;
    device().GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, 0u);
    device().GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<uint32_t>(D3DCULL_NONE));
    device().GetTextureStageState(1, D3DTSS_MAGFILTER, &value);
    EXPECT_EQ(value, static_cast<uint32_t>(D3DTEXF_POINT));
    device().GetTextureStageState(0, D3DTSS_MINFILTER, &value);
    EXPECT_EQ(value, static_cast<uint32_t>(D3DTEXF_LINEAR));
    const auto states = device().CallsNamed("SetRenderState");
    ASSERT_FALSE(states.empty());
    for (size_t i = 1; i < states.size(); ++i) EXPECT_LT(states[i - 1].args[0], states[i].args[0]);
    for (const auto& call : states) EXPECT_NE(call.args[0], static_cast<uint32_t>(D3DRS_TEXTUREFACTOR));
    // Stage states go type by type, stages 0..3 within a type.
    const auto stages = device().CallsNamed("SetTextureStageState");
    ASSERT_GE(stages.size(), 2u);
    EXPECT_EQ(stages[0].args[1], static_cast<uint32_t>(D3DTSS_COLOROP));
    EXPECT_EQ(stages[0].args[0], 0u);
    EXPECT_EQ(stages[1].args[1], static_cast<uint32_t>(D3DTSS_COLOROP));
    EXPECT_EQ(stages[1].args[0], 1u);
    // The camera's matrices are sent again.
    const auto transforms = device().CallsNamed("SetTransform");
    ASSERT_EQ(transforms.size(), 2u);
    EXPECT_EQ(transforms[1].args[0], static_cast<uint32_t>(D3DTS_PROJECTION));
    EXPECT_FLOAT_EQ(transforms[1].matrix[0], 0.5f);
    camera->Release();
}

TEST_F(LostDeviceTest, TenFailedResetsAskTheProgramToQuit) {
    device().resetFailuresLeft = 10;
    device().LoseDevice();
    RestoreLostDevice(0);
    EXPECT_EQ(device().resetCount, 10);
    EXPECT_EQ(graphics.host.sleeps.size(), 10u);
    EXPECT_EQ(graphics.host.exitRequests, 1);
    EXPECT_EQ(walkOrder, (std::vector<std::string>{"release surfaces", "release textures", "release models"}));
}

TEST_F(LostDeviceTest, AWorkingDeviceIsLeftAloneUnlessForced) {
    RestoreLostDevice(0);
    EXPECT_EQ(device().resetCount, 0);
    RestoreLostDevice(1);
    EXPECT_EQ(device().resetCount, 1);
}

// --- back buffer ------------------------------------------------------------

class BackBufferTest : public DeviceTest {
protected:
    void SetUp() override {
        graphics.host.width = 4;
        graphics.host.height = 2;
        graphics.d3d()->modes = {{4, 2, 60, D3DFMT_X8R8G8B8}};
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
    }
    // Writes 0x00RRGGBB pixels, top row first.
    void Fill(const std::vector<uint32_t>& pixels) {
        void* bits = nullptr;
        int pitch = 0;
        ASSERT_EQ(LockBackBuffer(&bits, &pitch), 1);
        for (int y = 0; y < 2; ++y) std::memcpy(static_cast<uint8_t*>(bits) + y * pitch, &pixels[y * 4], 16);
        UnlockBackBuffer();
    }
    test::TempDir dir;
};

TEST_F(BackBufferTest, ASecondLockReturnsTheSameBits) {
    void* first = nullptr;
    void* second = nullptr;
    int pitch1 = 0, pitch2 = 0;
    ASSERT_EQ(LockBackBuffer(&first, &pitch1), 1);
    ASSERT_EQ(LockBackBuffer(&second, &pitch2), 1);
    EXPECT_EQ(first, second);
    EXPECT_EQ(pitch1, pitch2);
    UnlockBackBuffer();
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(BackBufferTest, ScreenshotIsA24BitBottomUpBmp) {
    Fill({0x000001, 0x000002, 0x000003, 0x000004, 0x112233, 0x445566, 0x778899, 0xAABBCC});
    const std::string path = dir.file("shot.bmp");
    SaveScreenshot(path.c_str());
    const auto bytes = ReadFile(path);
    // 4 pixels of 3 bytes make 12 bytes a row: no padding.
    ASSERT_EQ(bytes.size(), 54u + 24u);
    const uint8_t header[54] = {'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 4, 0, 0, 0, 2, 0,
                                0, 0, 1, 0, 24, 0};
    EXPECT_TRUE(std::equal(header, header + 54, bytes.begin()));
    // Bottom row first, each pixel blue, green, red.
    EXPECT_EQ((std::vector<uint8_t>(bytes.begin() + 54, bytes.begin() + 60)),
              (std::vector<uint8_t>{0x33, 0x22, 0x11, 0x66, 0x55, 0x44}));
    EXPECT_EQ((std::vector<uint8_t>(bytes.begin() + 66, bytes.begin() + 69)), (std::vector<uint8_t>{1, 0, 0}));
}

// The whole file, byte for byte, in each format a back buffer is made in,
// at a width whose rows need padding.
class ScreenshotFormatTest : public DeviceTest, public ::testing::WithParamInterface<test::BitmapFormatCase> {};

TEST_P(ScreenshotFormatTest, WritesTheWholeFile) {
    const test::BitmapFormatCase& c = GetParam();
    graphics.host.width = 3;
    graphics.host.height = 2;
    graphics.d3d()->desktop.Format = c.format;
    graphics.d3d()->modes = {{3, 2, 60, c.format}};
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    ASSERT_EQ(GetBackBufferFormat(), c.format);
    void* bits = nullptr;
    int pitch = 0;
    ASSERT_EQ(LockBackBuffer(&bits, &pitch), 1);
    test::WritePixels(c, bits, pitch, 3, GetFormatBytesPerPixel(c.format));
    UnlockBackBuffer();
    test::TempDir dir;
    const std::string path = dir.file("shot.bmp");
    SaveScreenshot(path.c_str());
    EXPECT_EQ(ReadFile(path), test::ExpectedBitmapFile(3, 2, c.bgr));
}

std::vector<test::BitmapFormatCase> BackBufferFormatCases() {
    std::vector<test::BitmapFormatCase> cases;
    for (const test::BitmapFormatCase& c : test::BitmapFormatCases())
        if (c.format != gpu::D3DFMT_A1R5G5B5 && c.format != gpu::D3DFMT_A4R4G4B4) cases.push_back(c);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Formats, ScreenshotFormatTest, ::testing::ValuesIn(BackBufferFormatCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackBufferTest, ScreenshotThatCannotBeOpenedWritesNothingSaysSoAndUnlocks) {
    const std::string path = dir.file("missing/folder/shot.bmp");
    testing::internal::CaptureStderr();
    SaveScreenshot(path.c_str());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(std::ifstream(path).good());
    EXPECT_NE(said.find(path + " was not saved: "), std::string::npos) << said;
    gpu::Surface* surface = nullptr;
    ASSERT_EQ(GetBackBufferSurface(&surface), 1);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK) << "the back buffer was unlocked";
    surface->UnlockRect();
    surface->Release();
}

TEST_F(BackBufferTest, ScreenshotTakesTheGamesWindowsPath) {
    std::filesystem::create_directory(dir.path() / "screen");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    SaveScreenshot("screen\\screen00.bmp");
    std::filesystem::current_path(previous);
    EXPECT_EQ(ReadFile(dir.file("screen/screen00.bmp")).size(), 78u);
}

TEST_F(BackBufferTest, AScreenshotReplacesALinkInItsPlaceNotItsTarget) {
    test::TempDir outside;
    const std::filesystem::path victim = outside.path() / "victim";
    std::ofstream(victim) << "precious";
    const std::string path = dir.file("shot.bmp");
    std::filesystem::create_symlink(victim, path);
    SaveScreenshot(path.c_str());
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadFile(path).size(), 78u);
    EXPECT_EQ(ReadFile(victim.string()).size(), 8u);
}

// An older shot of the same number that the user made read-only stays as
// it is, byte for byte and in its inode, even for the superuser.
TEST_F(BackBufferTest, AScreenshotTheUserProtectedIsLeftAsItIs) {
    const std::string path = dir.file("screen00.bmp");
    std::ofstream(path) << "an older shot";
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    struct stat before {}, after {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    SaveScreenshot(path.c_str());
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(ReadFile(path).size(), 13u);
    EXPECT_EQ(after.st_ino, before.st_ino);
}

TEST(ScreenshotSize, FullScreenShotIs921654Bytes) {
    test::RecordingGraphics graphics;
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    test::TempDir dir;
    const std::string path = dir.file("screen00.bmp");
    SaveScreenshot(path.c_str());
    EXPECT_EQ(ReadFile(path).size(), 921654u);
}

struct CopyCase {
    const char* name;
    RECT source;
    POINT at;
    D3DFORMAT format;
    int result;
    std::vector<uint32_t> expected;  // destination 4x3 of 16- or 32-bit values, row by row
};
void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class CopySurfaceRectCases : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopySurfaceRectCases, CopiesTheClippedRectangle) {
    const CopyCase& c = GetParam();
    const int bytes = c.format == D3DFMT_A8R8G8B8 ? 4 : 2;
    // Source 3x3 with a padded pitch; values 1..9.
    std::vector<uint8_t> source(3 * 16, 0), destination(3 * 4 * bytes, 0);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            const uint32_t v = y * 3 + x + 1;
            std::memcpy(source.data() + y * 16 + x * bytes, &v, bytes);
        }
    }
    const LockedSurface from{source.data(), 16, 3, 3};
    const LockedSurface to{destination.data(), 4 * bytes, 4, 3};
    EXPECT_EQ(CopySurfaceRect(&to, &c.at, &from, &c.source, c.format, nullptr), c.result);
    std::vector<uint32_t> got(12, 0);
    for (int i = 0; i < 12; ++i) std::memcpy(&got[i], destination.data() + i * bytes, bytes);
    EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rectangles, CopySurfaceRectCases,
    ::testing::Values(
        CopyCase{"Inside32", {1, 0, 3, 2}, {1, 1}, D3DFMT_A8R8G8B8, 1, {0, 0, 0, 0, 0, 2, 3, 0, 0, 5, 6, 0}},
        CopyCase{"Inside16", {0, 1, 2, 3}, {2, 0}, D3DFMT_R5G6B5, 1, {0, 0, 4, 5, 0, 0, 7, 8, 0, 0, 0, 0}},
        CopyCase{"NegativeDestinationMovesTheSourceEdge", {0, 0, 3, 1}, {-1, 0}, D3DFMT_A8R8G8B8, 1,
                 {2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        CopyCase{"CutAtTheRightEdge", {0, 0, 3, 1}, {2, 2}, D3DFMT_A4R4G4B4, 1, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2}},
        CopyCase{"SourceBeyondItsSurface", {1, 1, 9, 9}, {0, 0}, D3DFMT_A8R8G8B8, 1,
                 {5, 6, 0, 0, 8, 9, 0, 0, 0, 0, 0, 0}},
        CopyCase{"UnknownFormat", {0, 0, 1, 1}, {0, 0}, D3DFMT_L8, 0, std::vector<uint32_t>(12, 0)}),
    [](const auto& info) { return info.param.name; });

TEST(NullBackend, WithoutAWindowTheDeviceKeepsItsPixelsInMemory) {
    test::FakeGraphicsHost host;
    SetGraphicsHost(&host);
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    ClearTarget(0xFF336699);
    ASSERT_EQ(BeginScene(), 1);
    EndScene();
    PresentFrame();
    void* bits = nullptr;
    int pitch = 0;
    ASSERT_EQ(LockBackBuffer(&bits, &pitch), 1);
    uint32_t pixel;
    std::memcpy(&pixel, static_cast<uint8_t*>(bits) + 479 * pitch + 639 * 4, 4);
    EXPECT_EQ(pixel & 0xFFFFFF, 0x336699u);
    UnlockBackBuffer();
    EXPECT_EQ(host.presentedFrames, 1);
    DestroyDirectXGraphics();
    SetGraphicsHost(nullptr);
}

TEST(DeviceText, FormatNamesAndErrorTexts) {
    EXPECT_STREQ(GetFormatName(D3DFMT_A8R8G8B8), "A8R8G8B8");
    EXPECT_STREQ(GetFormatName(D3DFMT_DXT1), "DXT1");
    EXPECT_STREQ(GetFormatName(static_cast<D3DFORMAT>(12345)), "UnKnwon");
    EXPECT_EQ(GetFormatBytesPerPixel(D3DFMT_R8G8B8), 3);
    EXPECT_EQ(GetFormatBytesPerPixel(D3DFMT_D16), 2);
    EXPECT_EQ(GetFormatBytesPerPixel(D3DFMT_DXT1), 0);
    // CP932 bytes of "未知のエラー。"
    EXPECT_STREQ(GetD3DErrorText(0x12345), "\x96\xa2\x92\x6d\x82\xcc\x83\x47\x83\x89\x81\x5b\x81\x42");
    const std::string lost = GetD3DErrorText(D3DERR_DEVICELOST);  // one static buffer serves every call
    EXPECT_NE(lost, GetD3DErrorText(0x12345));
}

}  // namespace
