#include "game/screens/placeholder_scenes.h"

#include "engine/devices/network.h"
#include "engine/graphics/device.h"
#include "game/battle/battle_state.h"
#include "game/flow/game_start.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/title_menu.h"

int32_t lastSelectedCharacters[2] = {1, 2};
int32_t lastSelectedStage = 1;

void ResetFrontEndPositions() {
    ResetTitlePositions();
    lastSelectedCharacters[0] = 1;
    lastSelectedCharacters[1] = 2;
    lastSelectedStage = 1;
}

namespace {

// No way out by this button.
constexpr int32_t STAY = 0;

struct PlaceholderScene {
    uint32_t colour;
    int32_t onDecide;  // SceneId after Z, or STAY
    int32_t onCancel;  // SceneId after X, or STAY
    void (*init)();
    void (*leave)(int32_t next);  // what the scene does on its way to `next`
};

// The phase of the running stand-in; its init resets it.
struct PlaceholderPhase {
    int32_t next = STAY;
    bool leaving = false;
} phase;

void Leave(const PlaceholderScene& scene) {
    if (scene.leave) scene.leave(phase.next);
    sceneNumber = phase.next;
    sceneInitPending = 1;
}

void StartLeaving(int32_t next) {
    phase.next = next;
    phase.leaving = true;
    StartTransition(TRANSITION_KIND_124);
    PlaySe(SE_DECIDE);
}

void RunPlaceholder(const PlaceholderScene& scene) {
    if (sceneInitPending) {
        sceneInitPending = 0;
        phase = {};
        if (scene.init) scene.init();
        StartTransition(TRANSITION_WIPE_14);
    }
    ClearSePlayedFlags();
    UpdateBgm();
    if (BeginScene()) {
        ClearTarget(scene.colour);
        DrawTransition();
        EndScene();
    }
    PresentFrame();
    PollInput();
    if (phase.leaving) {
        if (!transitionRunning) Leave(scene);  // the screen is covered
    } else if (scene.onDecide != STAY && buttonStates[0][BUTTON_Z] == BUTTON_STATE_PRESSED) {
        StartLeaving(scene.onDecide);
    } else if (scene.onCancel != STAY && buttonStates[0][BUTTON_X] == BUTTON_STATE_PRESSED) {
        StartLeaving(scene.onCancel);
    }
}

// Without a match the network select closes its socket on the way out.
void LeaveNetworkSelect(int32_t) { NetClose(); }

const PlaceholderScene kNetworkSelect{PLACEHOLDER_NETWORK_SELECT, STAY, SCENE_TITLE, nullptr, LeaveNetworkSelect};

}  // namespace

void RunNetworkSelectScene() { RunPlaceholder(kNetworkSelect); }
