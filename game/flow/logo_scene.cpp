#include "game/flow/logo_scene.h"

#include "engine/core/resource.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/surface.h"
#include "game/flow/input_words.h"
#include "game/flow/run_state.h"
#include "game/flow/transitions.h"

int32_t logoState = 0;
Surface* firstLogoSurface = nullptr;
Surface* secondLogoSurface = nullptr;

namespace {

int32_t logoTimer = 0;
uint8_t logoFinished = 0;

// A logo is held until this count of frames, or until Z.
constexpr int32_t kLogoHoldFrames = 201;

void InitLogoScene() {
    logoFinished = 0;
    logoState = LOGO_FIRST;
    logoTimer = 0;
    firstLogoSurface = CreateSurfaceFromArchive("gf\\system.dat", "morvel", FORMAT_SCREEN, nullptr);
    secondLogoSurface = CreateSurfaceFromArchive("gf\\system.dat", "quastel", FORMAT_SCREEN, nullptr);
    sceneInitPending = 0;
    StartTransition(TRANSITION_WIPE_14);
}

void DrawLogoScene() {
    SetBlendMode(BLEND_ALPHA);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 0);
    SetRenderState(gpu::D3DRS_FOGENABLE, 0);
    if (BeginScene()) {
        ClearTarget(0xFF000000);
        Surface* logo = logoState == LOGO_FIRST || logoState == LOGO_FIRST_FADE ? firstLogoSurface : secondLogoSurface;
        if (logo) logo->CopyToRenderTarget(0, 0, 0, 0, 640, 480);
        DrawTransition();
        EndScene();
    }
    PresentFrame();
}

// A hold ends after its frames or on Z, and starts the fade out.
void UpdateLogoHold(int32_t nextState) {
    ++logoTimer;
    if (logoTimer >= kLogoHoldFrames || buttonStates[0][BUTTON_Z] == BUTTON_STATE_PRESSED) {
        logoTimer = 0;
        logoState = nextState;
        StartTransition(TRANSITION_FADE_OUT);
    }
}

void UpdateLogoScene() {
    switch (logoState) {
    case LOGO_FIRST: UpdateLogoHold(LOGO_FIRST_FADE); break;
    case LOGO_FIRST_FADE:
        if (transitionRunning) break;
        logoTimer = 0;
        logoState = LOGO_SECOND;
        StartTransition(TRANSITION_FADE_IN);
        break;
    case LOGO_SECOND: UpdateLogoHold(LOGO_SECOND_FADE); break;
    case LOGO_SECOND_FADE:
        if (!transitionRunning) logoFinished = 1;
        break;
    default: break;
    }
}

void ReleaseLogoScene() {
    ReleaseResource(firstLogoSurface);
    ReleaseResource(secondLogoSurface);
    ChangeScene(SCENE_TITLE);
}

}  // namespace

void ResetLogoState() {
    logoState = 0;
    logoTimer = 0;
    logoFinished = 0;
    firstLogoSurface = nullptr;
    secondLogoSurface = nullptr;
}

// The logos play no sound, so this scene neither clears the effect flags
// nor moves the music on.
void RunLogoScene() {
    if (sceneInitPending) InitLogoScene();
    DrawLogoScene();
    PollInput();
    UpdateLogoScene();
    if (logoFinished) ReleaseLogoScene();
}
