#include "game/start/game_start.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "engine/core/application.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "game/arena/battle_assets.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_hud.h"
#include "game/battle/battle_menu.h"
#include "game/battle/battle_scene.h"
#include "game/battle/match_rules.h"
#include "game/battle/stage_drawing.h"
#include "game/characters/character_routines.h"
#include "game/characters/computer_player.h"
#include "game/flow/input_words.h"
#include "game/flow/logo_scene.h"
#include "game/flow/net_exchange.h"
#include "game/flow/replay_file.h"
#include "game/flow/save_files.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/animation_viewer.h"
#include "game/screens/network_select.h"
#include "game/screens/replay_list.h"
#include "game/screens/result_screen.h"
#include "game/screens/select_screen.h"
#include "game/screens/staff_roll.h"
#include "game/screens/story_viewer.h"
#include "game/screens/title_menu.h"
#include "game/screens/versus_screen.h"
#include "game/shots/screen_flashes.h"
#include "platform/keyboard.h"
#include "platform/paths.h"

int32_t screenshotCounter = 0;

void ResetGameState() {
    ResetRunState();
    screenshotCounter = 0;
    ResetInputState();
    ResetLogoState();
    ResetNetExchangeState();
    ResetReplayFileState();
    ResetSaveFileState();
    ResetSoundState();
    ResetTransitionState();
    ResetBannerState();
    ResetObjectListState();
    ResetComputerPlayerState();
    ResetBattleAssetState();
    ResetBattleHudState();
    ResetBattleMenuState();
    ResetBattleSceneState();
    ResetBattleState();
    ResetMatchRulesState();
    ResetParticleState();
    ResetPlayerRecordState();
    ResetStageDrawingState();
    ResetAnimationViewerState();
    ResetReplayListState();
    ResetResultScreenState();
    ResetSelectScreenState();
    ResetStaffRollState();
    ResetStoryViewerState();
    ResetTitleMenuState();
    ResetVersusScreenState();
}

void ConfigureApplication() {
    LoadConfig();
    if (config.color32) {
        EnableScreen32Bit();
        EnableTexture32Bit();
    }
    soundOff = config.soundOff;
    SetAppName("Tobrazel");
    SetScreenSize(640, 480);
    SetFrameRate(60);
    SetWindowed(config.fullScreen == 0 ? 1 : 0);
    SetCursorVisible(0);
    AddMessageHook(platform::WM_KEYDOWN, OnKeyDown);
    SetInitFlags(ENGINE_INIT_GRAPHICS | ENGINE_INIT_INPUT | ENGINE_INIT_SOUND);
    SetStartupConsole(0);
}

void FormatScreenshotPath(char* out, unsigned size, int32_t counter) {
    std::snprintf(out, size, counter < 10 ? "screen\\screen0%d.bmp" : "screen\\screen%d.bmp", counter);
}

void OnKeyDown(platform::WPARAM wParam, platform::LPARAM) {
    if (wParam == platform::VK_ESCAPE) {
        QuitGame();
    } else if (wParam == platform::VK_SPACE) {
        char path[256];
        FormatScreenshotPath(path, sizeof path, screenshotCounter);
        SaveScreenshot(path);
        ++screenshotCounter;
    }
}

namespace {

// Creates "<program folder>\<name>"; an existing folder, or one that cannot
// be made, is no error (screenshots and replays then fail on their own).
void CreateAppSubfolder(const char* name) {
    std::string windowsPath = std::string(GetAppFolder()) + "\\" + name;
    std::error_code ignored;
    std::filesystem::create_directory(platform::ResolvePath(windowsPath), ignored);
}

void SetStartRenderStates() {
    SetRenderState(gpu::D3DRS_ALPHABLENDENABLE, 1);
    SetRenderState(gpu::D3DRS_ZENABLE, 1);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 1);
    SetRenderState(gpu::D3DRS_FOGENABLE, 1);
    SetFillMode(FILL_SOLID_GOURAUD);
    SetRenderState(gpu::D3DRS_CULLMODE, gpu::D3DCULL_NONE);

    SetTextureStageState(0, gpu::D3DTSS_COLORARG1, gpu::D3DTA_TEXTURE);
    SetTextureStageState(0, gpu::D3DTSS_COLORARG2, gpu::D3DTA_CURRENT);
    SetTextureStageState(0, gpu::D3DTSS_COLOROP, gpu::D3DTOP_MODULATE);
    SetTextureStageState(0, gpu::D3DTSS_ALPHAARG1, gpu::D3DTA_TEXTURE);
    SetTextureStageState(0, gpu::D3DTSS_ALPHAARG2, gpu::D3DTA_CURRENT);
    SetTextureStageState(0, gpu::D3DTSS_ALPHAOP, gpu::D3DTOP_MODULATE);
    SetTextureStageState(0, gpu::D3DTSS_MAGFILTER, gpu::D3DTEXF_LINEAR);
    SetTextureStageState(0, gpu::D3DTSS_MINFILTER, gpu::D3DTEXF_LINEAR);
}

}  // namespace

void InitGame() {
    if (Surface* depthBuffer = CreateDepthBuffer(640, 480, nullptr)) depthBuffer->SetAsDepthBuffer();
    transitionSprite = CreateTextureFromArchive("gf\\system.dat", "black", 1, nullptr);
    gameCamera = CreateCamera();
    SetStartRenderStates();
    ResetFrontEndPositions();
    CreateAppSubfolder("replay");
    CreateAppSubfolder("screen");
}

void StartGame() {
    InitGame();
    LoadSystemData();
    LoadSeTable();
    InitCharacterParams();
    ChangeScene(SCENE_LOGO);
    difficulty = DIFFICULTY_EASY;
    bgmCurrent = 0;
    bgmRequested = 0;
    bgmVolume = 0;
    bgmSound = nullptr;
}

namespace {

void RunSelectSceneOfMode() {
    switch (gameMode) {
    case MODE_1P_VS_2P: RunTwoPlayerSelectScene(); break;
    case MODE_VS_NETWORK: RunNetworkSelectScene(); break;
    case MODE_ARCADE: RunArcadeSelectScene(); break;
    default: RunSelectScene(); break;
    }
}

}  // namespace

void RunSceneFrame() {
    switch (sceneNumber) {
    case SCENE_BATTLE: RunBattleScene(); break;
    case SCENE_TITLE: RunTitleScene(); break;
    case SCENE_SELECT: RunSelectSceneOfMode(); break;
    case SCENE_RESULT: RunResultScene(); break;
    case SCENE_LOGO: RunLogoScene(); break;
    case SCENE_ANIMATION: RunAnimationScene(); break;
    case SCENE_STORY: RunStoryScene(); break;
    case SCENE_VERSUS: RunVersusScene(); break;
    case SCENE_STAFF_ROLL: RunStaffRollScene(); break;
    default: break;  // no scene: the frame is only pumped
    }
}

void RunGame() {
    StartGame();
    while (PumpMessages()) RunSceneFrame();
}
