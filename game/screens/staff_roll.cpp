#include "game/screens/staff_roll.h"

#include <algorithm>

#include "engine/core/resource.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "game/flow/input_words.h"
#include "game/flow/run_state.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/viewer_sheets.h"

int32_t staffRollState = STAFF_ROLL_SCROLLING;
float staffRollScroll = 0.0f;

namespace {

uint8_t staffRollLeave = 0;

constexpr float kFadeSpeed = 0.02f;
constexpr float kRollEnd = 5000.0f;

Texture* staffRollTexture = nullptr;

struct StripPlan {
    float start;
    viewer_sheets::Cell src;
    int32_t left, halfHeight, right;
    float base, limit;  // drawn while y > limit
    int32_t stopAt;     // y never falls below this
};
constexpr int32_t kNoStop = -100000;
using viewer_sheets::StaffLine;
constexpr StripPlan kStrips[kStaffStripCount] = {
    {50, StaffLine(6), 192, 25, 448, 550, -50, kNoStop},
    {900, StaffLine(0), 192, 25, 448, 550, -50, kNoStop},
    {1200, StaffLine(1), 192, 25, 448, 550, -50, kNoStop},
    {1500, StaffLine(2), 192, 25, 448, 550, -50, kNoStop},
    {1800, StaffLine(3), 192, 25, 448, 550, -50, kNoStop},
    {2100, StaffLine(4), 192, 25, 448, 550, -50, kNoStop},
    {2600, viewer_sheets::kStaffPicture, 202, 256, 458, 740, -260, kNoStop},
    {4000, StaffLine(5), 192, 25, 448, 550, -50, 220},  // the last line stays
};

void InitStaffRoll() {
    staffRollLeave = 0;
    staffRollScroll = 0.0f;
    staffRollState = STAFF_ROLL_SCROLLING;
    staffRollTexture = CreateTextureFromArchive("gf\\system.dat", "ed_staff", 1, nullptr);
    PlayBgm(BGM_ENDING);
    StartTransition(TRANSITION_FADE_IN);
    transitionSpeed = kFadeSpeed;
    sceneInitPending = 0;
}

void DrawStaffRoll() {
    SetBlendMode(BLEND_ALPHA);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 0);
    SetRenderState(gpu::D3DRS_FOGENABLE, 0);
    if (BeginScene()) {
        ClearTarget(0xFF111111);
        for (int i = 0; i < kStaffStripCount; ++i) {
            const StaffStrip strip = StaffStripAt(i, staffRollScroll);
            if (!strip.shown) continue;
            const StripPlan& plan = kStrips[i];
            const gpu::RECT dest{plan.left, strip.y - plan.halfHeight, plan.right, strip.y + plan.halfHeight};
            const gpu::RECT src{plan.src.left, plan.src.top, plan.src.right, plan.src.bottom};
            staffRollTexture->Draw(&dest, 0.0f, &src, 0xFFFFFFFF, BLEND_ALPHA_ADD);
        }
        DrawTransition();
        EndScene();
    }
    PresentFrame();
}

bool PressedOnEitherSide(int button) {
    return buttonStates[0][button] == BUTTON_STATE_PRESSED || buttonStates[1][button] == BUTTON_STATE_PRESSED;
}
bool DownOnEitherSide(int button) {
    return buttonStates[0][button] > BUTTON_STATE_RELEASED || buttonStates[1][button] > BUTTON_STATE_RELEASED;
}

void StartLeaving() {
    StartTransition(TRANSITION_FADE_OUT);
    transitionSpeed = kFadeSpeed;
    staffRollState = STAFF_ROLL_LEAVING;
}

}  // namespace

StaffStrip StaffStripAt(int strip, float s) {
    const StripPlan& plan = kStrips[strip];
    if (!(s > plan.start)) return {false, 0};
    const float y = std::max(plan.base - (s - plan.start) * 0.5f, static_cast<float>(plan.stopAt));
    return {y > plan.limit, static_cast<int32_t>(y)};
}

void RunStaffRollScene() {
    if (sceneInitPending) InitStaffRoll();
    ClearSePlayedFlags();
    UpdateBgm();
    DrawStaffRoll();
    staffRollScroll += 1.0f;
    PollInput();
    if (staffRollState != STAFF_ROLL_LEAVING) {
        if (PressedOnEitherSide(BUTTON_Z)) {
            StartLeaving();
        } else if (DownOnEitherSide(BUTTON_X)) {
            staffRollScroll += 4.0f;
        }
    }
    if (staffRollState == STAFF_ROLL_SCROLLING && staffRollScroll > kRollEnd) {
        StartLeaving();
    } else if (staffRollState == STAFF_ROLL_LEAVING && !transitionRunning) {
        staffRollLeave = 1;
    }
    if (staffRollLeave) {
        ReleaseResource(staffRollTexture);
        ChangeScene(SCENE_TITLE);
    }
}

void ResetStaffRollState() {
    staffRollState = STAFF_ROLL_SCROLLING;
    staffRollScroll = 0.0f;
    staffRollLeave = 0;
    staffRollTexture = nullptr;
}
