#include "engine/core/application.h"

#include <cstring>

#include "engine/core/cp932_text.h"
#include "engine/core/engine_layers.h"
#include "engine/core/log.h"
#include "platform/instance_lock.h"
#include "platform/system.h"

char appName[256] = "Karo";
int screenWidth = 640, screenHeight = 480;
int startupConsoleEnabled = 1;
int captionedWindow = 1;
int targetFrameRate = 60;
int keepRunning = 1;
int windowed = 0;
int cursorVisible = 0;
unsigned engineInitFlags = 0;
int paintDrivenMode = 0;
int showFpsInTitle = 0;

platform::WindowHandle windowHandle = nullptr;
int exitRequested = 0;
platform::Message lastMessage;
char appFolder[4096] = "";

namespace {

platform::InstanceLock singleInstanceMutex;
char appFolderCopy[sizeof appFolder];
RunFunction runGame = nullptr;

// "2重起動は出来ません"
constexpr char kSecondCopyText[] = "2\x8f\x64\x8b\x4e\x93\xae\x82\xcd\x8f\x6f\x97\x88\x82\xdc\x82\xb9\x82\xf1";

int StartGraphicsLayers() {
    if (!InitializeDirectXGraphics()) return 0;
    InitCameraList();
    InitializeVertexShaders();
    InitTextureList();
    InitSpriteManager();
    InitSceneManager();
    InitializeModels();
    InitSurfaceList();
    InitListSpriteManager();
    InitFontList();
    InitFontSpriteManager();
    InitFontFxManager();
    InitSheetManager();
    InitPrimitiveManager2();
    InitPrimitiveManager();
    InitPerticleManager();
    // The lines written before the device existed show now.
    PaintStartupConsole();
    return 1;
}

void StopGraphicsLayers() {
    DestroyPerticleManager();
    DestroyPrimitiveManager();
    DestroyPrimitiveManager2();
    DestroySheetManager();
    DestroyFontFxManager();
    DestroyFontSpriteManager();
    DestroyFontList();
    DestroyListSpriteManager();
    DestroySpriteManager();
    DestroySceneManager();
    DestroyModels();
    DestroyVertexShaders();
    DestroySurfaceList();
    DestroyTextureList();
    DestroyCameraList();
    DestroyDirectXGraphics();
}

// The blocking loop of the paint-driven mode: WM_PAINT runs the frames.
void RunPaintDrivenLoop() {
    while (platform::GetMessage(&lastMessage)) {
        platform::TranslateMessage(lastMessage);
        platform::DispatchMessage(lastMessage);
    }
}

void RunApplication() {
    WriteLog("\n-------------------------->> Start Application <<--------------------------\n\n");
    lastFrameTime = platform::TimeGetTime();
    if (paintDrivenMode) {
        RunPaintDrivenLoop();
    } else {
        runGame();
    }
    WriteLog("\n-------------------------->> Exit Application <<--------------------------\n\n");
}

}  // namespace

EngineLayer engineLayers[kEngineLayerCount] = {
    {ENGINE_INIT_GRAPHICS, " -> Initialize DirectXGraphics...", true, StartGraphicsLayers, StopGraphicsLayers},
    {ENGINE_INIT_INPUT, " -> Initialize Directinput...", true, InitializeInput, ShutdownInput},
    {ENGINE_INIT_SOUND, " -> Initialize DirectSound...", false, InitializeSound, DestroySound},
    {ENGINE_INIT_MUSIC, " -> Initialize DirectMusic...", false, InitializeDirectMusic, DestroyDirectMusic},
    {ENGINE_INIT_DIRECTSHOW, " -> Initialize DirectShow...", false, InitializeDirectShow, DestroyDirectShow},
    {ENGINE_INIT_DIRECTPLAY, " -> Initialize DirectPlay...", true, InitializeDirectPlay, DestroyDirectPlay},
    {ENGINE_INIT_MEDIASTREAM, " -> Initialize MediaStream...", true, InitializeMediaStream, DestroyMediaStream},
    {ENGINE_INIT_MCI, " -> Initialize MCI...", true, InitializeMci, DestroyMci},
};

int EngineMain(ConfigureFunction configure, RunFunction run) {
    runGame = run;
    SetCurrentFolderToApp();
    configure();
    if (exitRequested) return 0;

    if (!singleInstanceMutex.Acquire(appName)) {
        ShowMessageBox(MB_ICONHAND, "Error", "%s", kSecondCopyText);
    } else if (CreateAppWindow() && (IsThreadMode() ? InitThreadTable() : InitializeEngine())) {
        RunApplication();
    }

    // Runs on every path from the lock on: layers that never started are
    // stopped too, and tolerate it.
    if (IsThreadMode()) {
        DestroyThreadTable();
    } else {
        ShutdownEngine();
    }
    singleInstanceMutex.Release();
    platform::CloseWindowSystem();
    return static_cast<int>(lastMessage.wParam);
}

int InitializeEngine() {
    LogSystemInfo();
    InitMultimediaTimer();
    InitializeMathTables();
    InitTextInput();
    for (const EngineLayer& layer : engineLayers) {
        if ((engineInitFlags & layer.bit) == 0) continue;
        if (layer.lineBeforeStart) ShowStartupStatus(layer.consoleLine);
        int started = layer.start();
        if (!layer.lineBeforeStart) ShowStartupStatus(layer.consoleLine);
        // Only a failed graphics device stops start-up; the other layers
        // report their own failures.
        if (!started && layer.bit == ENGINE_INIT_GRAPHICS) return 0;
    }
    return 1;
}

void ShutdownEngine() {
    ShutdownTextInput();
    CloseAuxWindow();
    for (int i = kEngineLayerCount - 1; i >= 0; --i) {
        if (engineInitFlags & engineLayers[i].bit) engineLayers[i].stop();
    }
}

void SetAppName(const char* name) { CopyCp932Text(appName, sizeof appName, name); }

void SetScreenSize(int width, int height) {
    screenWidth = width;
    screenHeight = height;
}

void SetWindowed(int windowedMode) { windowed = windowedMode; }
void SetCursorVisible(int visible) { cursorVisible = visible; }
void SetFrameRate(int fps) { targetFrameRate = fps; }
void SetInitFlags(unsigned flags) { engineInitFlags = flags | ENGINE_INIT_GRAPHICS; }
void SetStartupConsole(int enable) { startupConsoleEnabled = enable; }

void GetScreenSize(int* width, int* height) {
    if (width) *width = screenWidth;
    if (height) *height = screenHeight;
}

int IsPaintDrivenMode() { return paintDrivenMode; }
int IsWindowed() { return windowed; }
platform::WindowHandle GetWindowHandle() { return windowHandle; }
int IsThreadMode() { return (engineInitFlags & ENGINE_THREAD_MODE) ? 1 : 0; }

const char* GetAppFolder() {
    std::memcpy(appFolderCopy, appFolder, sizeof appFolder);
    return appFolderCopy;
}

// Before the window exists nothing can receive WM_CLOSE: the flag alone ends
// the start-up.
void RequestExit() {
    exitRequested = 1;
    if (windowHandle) platform::PostMessage(windowHandle, platform::WM_CLOSE, 0, 0);
}

void SetCurrentFolderToApp() {
    CopyCp932Text(appFolder, sizeof appFolder, platform::ProgramFolder().c_str());
    platform::SetCurrentFolder(appFolder);
}

void RunGameFrame() {
    if (runGame) runGame();
}
