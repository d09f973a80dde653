#include "engine/startup/engine_main.h"

#include "engine/core/aux_window.h"
#include "engine/core/log.h"
#include "engine/core/math.h"
#include "engine/core/text_input.h"
#include "engine/core/worker_threads.h"
#include "engine/devices/input.h"
#include "engine/devices/media_directmusic.h"
#include "engine/devices/media_directplay.h"
#include "engine/devices/media_directshow.h"
#include "engine/devices/media_mci.h"
#include "engine/devices/media_stream.h"
#include "engine/devices/sound.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "engine/models/dormant_managers.h"
#include "engine/models/model.h"
#include "engine/models/vertex_shader.h"
#include "platform/instance_lock.h"
#include "platform/system.h"

namespace {

platform::InstanceLock singleInstanceMutex;
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
    ShowStartupStatus(" -> Check System...");
    LogSystemInfo();
    ShowStartupStatus(" -> Initialize MultimediaTimer...");
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


void RunGameFrame() {
    if (runGame) runGame();
}
