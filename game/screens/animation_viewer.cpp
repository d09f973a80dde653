#include "game/screens/animation_viewer.h"

#include <algorithm>
#include <array>

#include "engine/core/resource.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "game/flow/input_words.h"
#include "game/flow/run_state.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/title_menu.h"
#include "game/screens/viewer_sheets.h"

int32_t animationPhase = ANIMATION_TITLE;
int32_t animationTimer = 0;
float animationScroll = 0.0f;

namespace {

uint8_t animationLeave = 0;

constexpr const char* kArchive = "gf\\animation.dat";
constexpr float kFadeSpeed = 0.01f;  // each fade takes 100 frames
constexpr int32_t kTitleFrames = 512;
constexpr int32_t kFirstFrames = 480;
constexpr int32_t kSecondFrames = 600;
constexpr int32_t kClosingFrames = 350;
constexpr int32_t kTitleStill = 11;

Texture* animationFont = nullptr;
// "anm01" to "anm11" as entries 0 to 10, then "anm00", the title picture.
std::array<Texture*, 12> animationStills = {};

// A text line of the still sequences: shown while from < t < to, drifting
// right from x0 by a pixel every 10 frames.
struct TextLine {
    int32_t phase, from, to;
    int32_t x0, halfWidth, top, bottom;
};
constexpr TextLine kLines[viewer_sheets::kAnimationLineCount] = {
    {ANIMATION_FIRST, 100, 300, 150, 150, 150, 210},  {ANIMATION_FIRST, 300, 500, 250, 150, 230, 290},
    {ANIMATION_SECOND, 50, 200, 150, 120, 165, 195},  {ANIMATION_SECOND, 200, 350, 180, 120, 205, 235},
    {ANIMATION_SECOND, 350, 500, 210, 120, 245, 275}, {ANIMATION_SECOND, 500, 650, 240, 120, 285, 315},
};

gpu::RECT Rect(const viewer_sheets::Cell& c) { return {c.left, c.top, c.right, c.bottom}; }
uint32_t White(int32_t alpha) { return static_cast<uint32_t>(alpha) << 24 | 0xFFFFFF; }

void Draw(Texture* texture, const gpu::RECT& dest, const gpu::RECT& src, uint32_t colour, int mode) {
    texture->Draw(&dest, 0.0f, &src, colour, mode);
}

void InitAnimation() {
    animationLeave = 0;
    animationPhase = ANIMATION_TITLE;
    animationTimer = 0;
    animationFont = CreateTextureFromArchive(kArchive, "anm_font", 1, nullptr);
    const char* keys[] = {"anm01", "anm02", "anm03", "anm04", "anm05", "anm06",
                          "anm07", "anm08", "anm09", "anm10", "anm11", "anm00"};
    for (size_t i = 0; i < animationStills.size(); ++i)
        animationStills[i] = CreateTextureFromArchive(kArchive, keys[i], 1, nullptr);
    animationScroll = 0.0f;
    PlayBgm(0);
    sceneInitPending = 0;
}

void LeaveAnimation() {
    for (auto it = animationStills.rbegin(); it != animationStills.rend(); ++it) ReleaseResource(*it);
    ReleaseResource(animationFont);
    ChangeScene(animationNextScene);
    if (sceneNumber == SCENE_TITLE) titleStartState = TITLE_START_EXTRA;
}

void StartFade(int kind) {
    StartTransition(kind);
    transitionSpeed = kFadeSpeed;
}

void DrawStills(int32_t centre) {
    const StillPair pair = AnimationStills(animationPhase, animationTimer);
    const gpu::RECT src{0, 0, 511, 511}, dest{centre - 256, -16, centre + 256, 496};
    Draw(animationStills[pair.base], dest, src, 0xFFFFFFFF, BLEND_ALPHA);
    Draw(animationStills[pair.next], dest, src, White(pair.nextAlpha), BLEND_ALPHA);
}

void DrawTextLines() {
    const int32_t t = animationTimer;
    for (int i = 0; i < viewer_sheets::kAnimationLineCount; ++i) {
        const TextLine& line = kLines[i];
        if (line.phase != animationPhase || t <= line.from || t >= line.to) continue;
        const int32_t x = line.x0 + (t - line.from) / 10;
        const gpu::RECT dest{x - line.halfWidth, line.top, x + line.halfWidth, line.bottom};
        Draw(animationFont, dest, Rect(viewer_sheets::kAnimationLines[i]),
             White(AnimationLineAlpha(t, line.from, line.to)), BLEND_ALPHA);
    }
}

// The closing screen's columns open one after the other.
void DrawColumns() {
    const int32_t t = animationTimer;
    if (t > 100) {
        Draw(animationFont, {345, 60, 395, 460}, Rect(viewer_sheets::kClosingRightColumn),
             White(t < 140 ? 6 * (t - 100) : 240), BLEND_ALPHA);
    }
    if (t > 200) {
        Draw(animationFont, {255, 45, 305, 445}, Rect(viewer_sheets::kClosingLeftColumn),
             White(t < 240 ? 6 * (t - 200) : 240), BLEND_ALPHA);
    }
}

void DrawPhase() {
    const int32_t t = animationTimer;
    switch (animationPhase) {
    case ANIMATION_TITLE: {
        ClearTarget(0xFF000000);
        const int32_t alpha = t < 256 ? std::min(5 * t, 255) : 511 - t;
        Draw(animationStills[kTitleStill], {64, -16, 576, 496}, {0, 0, 511, 511}, White(alpha), BLEND_ALPHA_ADD);
        break;
    }
    case ANIMATION_FIRST:
        DrawStills(500 - static_cast<int32_t>(animationScroll));
        DrawTextLines();
        break;
    case ANIMATION_SECOND:
        DrawStills(540 - static_cast<int32_t>(animationScroll));
        DrawTextLines();
        break;
    default: DrawColumns(); break;
    }
}

// The closing fade and the opening fade of the first sequence cover the
// letterbox bars; the other fades stay between them.
bool FadeOverBars() {
    return animationPhase == ANIMATION_LEAVING || (animationPhase == ANIMATION_FIRST && animationTimer < 300);
}

void DrawAnimation() {
    SetBlendMode(BLEND_ALPHA);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 0);
    SetRenderState(gpu::D3DRS_FOGENABLE, 0);
    if (BeginScene()) {
        ClearTarget(0xFFFFFFFF);
        DrawPhase();
        if (!FadeOverBars()) DrawTransition();
        const gpu::RECT bar{0, 0, 10, 10};
        Draw(transitionSprite, {0, 0, 640, 50}, bar, 0xFF000000, BLEND_ALPHA);
        Draw(transitionSprite, {0, 430, 640, 480}, bar, 0xFF000000, BLEND_ALPHA);
        if (FadeOverBars()) DrawTransition();
        EndScene();
    }
    PresentFrame();
}

// A still sequence: `frames` long, then a fade out, then the next phase once
// the fade has finished.
void UpdateSequence(int32_t frames, int32_t nextPhase) {
    ++animationTimer;
    animationScroll += 0.2f;
    if (animationTimer == frames) StartFade(TRANSITION_FADE_OUT);
    if (animationTimer > frames && !transitionRunning) {
        animationPhase = nextPhase;
        animationScroll = 0.0f;
        animationTimer = 0;
    }
}

void UpdateAnimation() {
    switch (animationPhase) {
    case ANIMATION_TITLE:
        if (++animationTimer == kTitleFrames) {
            animationPhase = ANIMATION_FIRST;
            animationTimer = 0;
            PlayBgm(BGM_WIND);
            StartFade(TRANSITION_FADE_IN);
        }
        break;
    case ANIMATION_FIRST: UpdateSequence(kFirstFrames, ANIMATION_SECOND); break;
    case ANIMATION_SECOND: UpdateSequence(kSecondFrames, ANIMATION_CLOSING); break;
    case ANIMATION_CLOSING:
        if (++animationTimer == kClosingFrames) {
            StartFade(TRANSITION_FADE_OUT);
            animationPhase = ANIMATION_LEAVING;
        }
        break;
    case ANIMATION_LEAVING:
        if (!transitionRunning) animationLeave = 1;
        break;
    default: break;
    }
}

}  // namespace

StillPair AnimationStills(int32_t phase, int32_t t) {
    if (phase == ANIMATION_FIRST) {
        constexpr int32_t kPairs[4][2] = {{0, 1}, {1, 2}, {2, 1}, {1, 0}};
        const int32_t k = t / 20 % 4;
        return {kPairs[k][0], kPairs[k][1], 12 * (t % 20)};
    }
    // Stills 3 to 10, then 7 to 10 over and over.
    const int32_t k = t / 30;
    const int32_t base = k + 3 > 10 ? 7 + (k + 3 - 11) % 4 : k + 3;
    return {base, base == 10 ? 7 : base + 1, 8 * (t % 30)};
}

int32_t AnimationLineAlpha(int32_t t, int32_t a, int32_t b) {
    if (t < a + 20) return 12 * (t - a);
    if (t > b - 20) return 12 * (b - t);
    return 240;
}

void RunAnimationScene() {
    if (sceneInitPending) InitAnimation();
    ClearSePlayedFlags();
    UpdateBgm();
    DrawAnimation();
    PollInput();
    if (animationPhase != ANIMATION_LEAVING && buttonStates[0][BUTTON_Z] == BUTTON_STATE_PRESSED) {
        StartFade(TRANSITION_FADE_OUT);
        animationPhase = ANIMATION_LEAVING;
    }
    UpdateAnimation();
    if (animationLeave) LeaveAnimation();
}

void ResetAnimationViewerState() {
    animationPhase = ANIMATION_TITLE;
    animationTimer = 0;
    animationScroll = 0.0f;
    animationLeave = 0;
    animationFont = nullptr;
    animationStills.fill(nullptr);
}
