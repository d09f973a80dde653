#include "game/screens/versus_screen.h"

#include <algorithm>

#include "engine//core/log.h"
#include "engine/core/resource.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "game/arena/player_record.h"
#include "game/flow/input_words.h"
#include "game/flow/run_state.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/screen_sprites.h"
#include "game/screens/screen_tables.h"

int32_t versusState = VERSUS_SHOWING;
int32_t versusCounter = 0;

namespace {

uint8_t versusLeave = 0;  // set when the fade-out has finished

constexpr const char* kSystemArchive = "gf\\system.dat";
constexpr float kFadeStep = 0.02f;
constexpr uint32_t kShadow = 0x96000000;

// Per side: its frame strip and its stand picture.
Texture* frameStrips[2] = {};
Texture* standPictures[2] = {};
Texture* namePlates = nullptr;
Texture* versusMark = nullptr;
Surface* background = nullptr;

Texture* LoadPicture(const char* key) { return CreateTextureFromArchive(kSystemArchive, key, 1, nullptr); }

const char* FrameStripKey(int32_t id) {
    if (id < 3) return "select_stand";
    return id >= 6 ? "select_stand3" : "select_stand2";
}

void InitVersus() {
    versusState = VERSUS_SHOWING;
    versusCounter = 0;
    versusLeave = 0;
    frameStrips[1] = LoadPicture(FrameStripKey(players[1].characterId));
    frameStrips[0] = LoadPicture(FrameStripKey(players[0].characterId));
    standPictures[1] = LoadPicture(StandPictureKey(players[1].characterId));
    standPictures[0] = LoadPicture(StandPictureKey(players[0].characterId));
    namePlates = LoadPicture("name_plate");
    versusMark = LoadPicture("vs_font");
    background = CreateSurfaceFromArchive(kSystemArchive, "vs_bgp", FORMAT_SCREEN, nullptr);
    PlayBgm(0);
    PlaySe(SE_VS);
    StartTransition(TRANSITION_FADE_IN);
    transitionSpeed = kFadeStep;
    sceneInitPending = 0;
}

void DrawPicture(Texture* texture, int32_t left, int32_t top, int32_t right, int32_t bottom, const gpu::RECT& src,
                 uint32_t colour) {
    const gpu::RECT dest{left, top, right, bottom};
    texture->Draw(&dest, 0.0f, &src, colour, BLEND_ALPHA);
}

void DrawFrameStrips(int32_t c) {
    for (int side = 0; side < 2; ++side) {
        const int32_t row = players[side].characterId % 3 * 150;
        const gpu::RECT src{0, row, 511, row + 149};
        if (side == 1)
            DrawPicture(frameStrips[1], 320 + c - 384, 20, 320 + c + 384, 220, src, 0x64FFFFFF);
        else  // mirrored
            DrawPicture(frameStrips[0], 320 - c + 384, 260, 320 - c - 384, 460, src, 0x64FFFFFF);
    }
}

void DrawStandPictures(int32_t c) {
    const gpu::RECT src{0, 0, 511, 511};
    // Side 0 mirrored, side 1 as it is; each first its shadow.
    const int32_t y0 = static_cast<int32_t>(250 - 0.1 * c);
    const int32_t y1 = static_cast<int32_t>(0.1 * c + 230);
    DrawPicture(standPictures[0], 421, y0 + 5 - 256, -91, y0 + 5 + 256, src, kShadow);
    DrawPicture(standPictures[0], 416, y0 - 256, -96, y0 + 256, src, 0xFFFFFFFF);
    DrawPicture(standPictures[1], 229, y1 + 5 - 256, 741, y1 + 5 + 256, src, kShadow);
    DrawPicture(standPictures[1], 224, y1 - 256, 736, y1 + 256, src, 0xFFFFFFFF);
}

void DrawLetter(int32_t x, int32_t y, int32_t w, int32_t h, int letter, uint32_t colour) {
    const gpu::RECT src{100 * letter, 0, 100 * letter + 99, 99};
    DrawPicture(versusMark, x - w, y - h, x + w, y + h, src, colour);
}

void DrawVersusMark(int32_t c) {
    const int32_t w = std::min(c, 50), h = std::max((75 - c) * 2, 50);
    DrawLetter(285, std::min(2 * c + 140, 240) + 5, w, h, 0, kShadow);
    DrawLetter(280, std::min(c + 190, 240), w, h, 0, 0xFFFFFFFF);
    DrawLetter(365, std::max((170 - c) * 2, 240) + 5, w, h, 1, kShadow);
    DrawLetter(360, std::max(290 - c, 240), w, h, 1, 0xFFFFFFFF);
}

void DrawPlate(int32_t id, int32_t x, int32_t y, int32_t h, uint32_t colour) {
    const gpu::RECT src = SheetCell(id % 2 * 128, id / 2 * 40, 128, 40);
    DrawPicture(namePlates, x - 128, y - h, x + 128, y + h, src, colour);
}

void DrawNamePlates(int32_t c) {
    const int32_t h = std::min(c, 40);
    const int32_t id1 = players[1].characterId, id0 = players[0].characterId;
    const int32_t x1 = std::max(520 - c / 2, 460), lift = id1 == 6 ? 20 : 0;
    DrawPlate(id1, x1 + 5, 55 - lift, h, kShadow);
    DrawPlate(id1, x1, 50 - lift, h, 0xFFFFFFFF);
    const int32_t x0 = std::min(c / 2 + 120, 180);
    DrawPlate(id0, x0 + 5, 435, h, kShadow);
    DrawPlate(id0, x0, 430, h, 0xFFFFFFFF);
}

void DrawVersus() {
    const int32_t c = versusCounter;
    SetBlendMode(BLEND_ALPHA);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 0);
    SetRenderState(gpu::D3DRS_FOGENABLE, 0);
    if (BeginScene()) {
        ClearTarget(0xFF111111);
        background->CopyToRenderTarget(0, 0, 0, 0, 640, 480);
        const gpu::RECT dark{40, 0, 50, 10};
        DrawPicture(transitionSprite, 0, 20, 640, 220, dark, 0xC8000000);
        DrawPicture(transitionSprite, 0, 260, 640, 460, dark, 0xC8000000);
        DrawFrameStrips(c);
        DrawStandPictures(c);
        DrawVersusMark(c);
        DrawNamePlates(c);
        DrawTransition();
        EndScene();
    }
    PresentFrame();
}

void StartFadeOut() {
    StartTransition(TRANSITION_FADE_OUT);
    transitionSpeed = kFadeStep;
    versusState = VERSUS_FADING;
}

void LeaveVersus() {
    for (Texture*& strip : frameStrips) ReleaseResource(strip);
    for (Texture*& picture : standPictures) ReleaseResource(picture);
    ReleaseResource(namePlates);
    ReleaseResource(versusMark);
    ReleaseResource(background);
    ChangeScene(SCENE_BATTLE);
}

}  // namespace

void RunVersusScene() {
    WriteLog("LOOP_START\n");
    if (sceneInitPending) InitVersus();
    WriteLog("SE_RESET\n");
    ClearSePlayedFlags();
    WriteLog("MUSIC_CHECK\n");
    UpdateBgm();
    WriteLog("DRAW_START\n");
    DrawVersus();
    WriteLog("DRAW_END\n");
    ++versusCounter;
    WriteLog("Vs_Count[%d] = %d\n", versusCounter, versusState);
    PollInput();
    const bool z = buttonStates[0][BUTTON_Z] == BUTTON_STATE_PRESSED || buttonStates[1][BUTTON_Z] == BUTTON_STATE_PRESSED;
    if (versusState != VERSUS_FADING && z) StartFadeOut();
    if (versusState == VERSUS_SHOWING && versusCounter >= VERSUS_SHOW_FRAMES) {
        StartFadeOut();
    } else if (versusState == VERSUS_FADING && !transitionRunning) {
        WriteLog("EXIT");
        versusLeave = 1;
    }
    if (versusLeave) LeaveVersus();
    WriteLog("LOOP_END\n");
}

void ResetVersusScreenState() {
    versusState = VERSUS_SHOWING;
    versusCounter = 0;
    versusLeave = 0;
    for (int side = 0; side < 2; ++side) {
        frameStrips[side] = nullptr;
        standPictures[side] = nullptr;
    }
    namePlates = nullptr;
    versusMark = nullptr;
    background = nullptr;
}
