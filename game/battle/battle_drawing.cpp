#include "game/battle/battle_drawing.h"

#include <cmath>

#include "engine/devices/network.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/primitives2d.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "game/arena/battle_assets.h"
#include "game/arena/battle_state.h"
#include "game/arena/hud_sheets.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/arena/screen_mapping.h"
#include "game/battle/battle_hud.h"
#include "game/battle/battle_menu.h"
#include "game/battle/battle_scene.h"
#include "game/battle/stage_drawing.h"
#include "game/characters/player_drawing.h"
#include "game/flow/run_state.h"
#include "game/flow/transitions.h"
#include "game/shots/attack_areas.h"
#include "game/shots/effects.h"
#include "game/shots/player_objects.h"
#include "game/shots/screen_flashes.h"
#include "game/shots/shot_drawing.h"

namespace {

constexpr float ARENA_RADIUS = 375.0f;
constexpr int32_t RIM_SEGMENTS = 72;
constexpr uint32_t BATTLE_CLEAR_COLOUR = 0xff111111u;

// One axis of the follow: a step toward the target, or onto it when it is
// within a step. Taken in double, the view centre rounded once.
float Follow(float camera, double target, double step) {
    if (target + step < camera) return static_cast<float>(camera - step);
    if (target - step > camera) return static_cast<float>(camera + step);
    return static_cast<float>(target);
}

// Moves the view centre just far enough for a fighter to stay inside.
float HoldInside(float camera, double half, float position) {
    if (camera + half < position) camera = static_cast<float>(position - half);
    if (camera - half > position) camera = static_cast<float>(position + half);
    return camera;
}

void ApplyOrthographicCamera() {
    if (!gameCamera) return;
    const Vector3 eye{cameraX, cameraY, -100.0f}, target{cameraX, cameraY, 0.0f};
    gameCamera->SetOrthographic(viewWidth, viewHeight, 1.0f, 2000.0f);
    gameCamera->ResetAxes();
    gameCamera->LookAt(&eye, &target, nullptr);
    gameCamera->UpdateView();
    gameCamera->Apply();
}

void DrawArenaRim() {
    Begin2D(BLEND_ALPHA_ADD);
    const ScreenPoint centre = WorldToScreen(0.0f, 0.0f);
    const float x = static_cast<float>(centre.x), y = static_cast<float>(centre.y);
    const double r = ARENA_RADIUS * 640.0 / viewWidth;
    DrawCircle(x, y, static_cast<float>(r), 0.0f, RIM_SEGMENTS, 0xff1155ffu);
    DrawCircle(x, y, static_cast<float>(r - 1.0), 0.0f, RIM_SEGMENTS, 0xffddddffu);
    DrawCircle(x, y, static_cast<float>(r - 2.0), 0.0f, RIM_SEGMENTS, 0xff1155ffu);
    End2D();
}

void CopyLastPicture() {
    if (battleRenderTarget) battleRenderTarget->CopyFromBackBuffer(0, 0, 0, 0, 640, 480);
}

void DrawAfterImage() {
    const int32_t side = AfterImageSide();
    if (side < 0 || !battleRenderTarget) return;
    const gpu::RECT screen{0, 0, 640, 480};
    battleRenderTarget->DrawRotated(&screen, 0.0f, &screen, 0,
                                    WhiteWithAlpha(AfterImageAlpha(players[side].invulnerableTimer)), BLEND_ALPHA);
}

void DrawDisconnectionNotice() {
    if (gameMode != MODE_VS_NETWORK || netConnected || !battleSystemTexture) return;
    const hud_sheets::Cell c = hud_sheets::kDisconnected;
    const gpu::RECT destination{200, 225, 440, 255}, source{c.left, c.top, c.right, c.bottom};
    battleSystemTexture->Draw(&destination, 0.0f, &source, 0xffffffffu, BLEND_ALPHA);
}

void DrawStageScene() {
    if (AfterImageSide() >= 0) CopyLastPicture();
    ClearTarget(BATTLE_CLEAR_COLOUR);
    ClearDepth(1.0f);
    SetBattleView();
    SetRenderState(gpu::D3DRS_ZENABLE, 1);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 1);
    SetRenderState(gpu::D3DRS_FOGENABLE, 1);
    DrawStage(stageNumber);
}

void DrawBattleScene() {
    UpdateBattleCamera();
    DrawArenaRim();
    DrawScreenFlashes();
    DrawPlayer(0);
    DrawPlayer(1);
    DrawPlayerObjects(0);
    DrawPlayerObjects(1);
    DrawEffects();
    DrawParticles();
    DrawShots();
    DrawHeavyShots();
    DrawAttackAreas();
    DrawAfterImage();
    DrawBattleHud();
    DrawBanner();
    DrawBattleMenu();
    DrawDisconnectionNotice();
    DrawTransition();
}

}  // namespace

int32_t AfterImageSide() {
    if (players[0].invulnerableTimer < 0) return 0;
    if (players[1].invulnerableTimer < 0) return 1;
    return -1;
}

int32_t AfterImageAlpha(int32_t invulnerableTimer) {
    return invulnerableTimer < -10 ? 200 : -20 * invulnerableTimer;
}

void DrawBattle() {
    SetBlendMode(BLEND_ALPHA);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 1);
    SetRenderState(gpu::D3DRS_FOGENABLE, 0);
    if (BeginScene()) {
        DrawStageScene();
        EndScene();
    }
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 0);
    SetRenderState(gpu::D3DRS_ZENABLE, 0);
    if (BeginScene()) {
        DrawBattleScene();
        EndScene();
    } else {
        // The battle's end waits for the closing transition, which must run
        // out on the same frame whether or not this machine could draw.
        AdvanceTransition();
    }
    PresentFrame();
}

void SetBattleView() {
    if (!gameCamera) return;
    const Vector3 eye{0.0f, 0.0f, -10.0f}, target{0.0f, 0.0f, 0.0f};
    gameCamera->SetPerspective(static_cast<float>(viewWidth * 0.003125 * 5.0 + 10.0), 1.0f, 1200.0f, 0.0f);
    gameCamera->ResetAxes();
    gameCamera->LookAt(&eye, &target, nullptr);
    gameCamera->UpdateView();
    gameCamera->Apply();
}

// The view's arithmetic is taken in double (the distance with the double
// sqrt) and each view value rounded once where it is stored; the factor 1/170
// is the single-precision value the rule gives, widened.
void UpdateBattleCamera() {
    constexpr double ONE_170TH = 0.005882353f;
    const PlayerRecord& p0 = players[0];
    const PlayerRecord& p1 = players[1];
    const double midX = (static_cast<double>(p0.x) + p1.x) * 0.5, midY = (static_cast<double>(p0.y) + p1.y) * 0.5;
    const double dx = static_cast<double>(p1.x) - p0.x, dy = static_cast<double>(p1.y) - p0.y;
    double wanted = std::sqrt(dx * dx + dy * dy) * 250.0 * ONE_170TH;
    if (wanted < 320.0) wanted = 320.0;
    wanted *= battleFadeLevel;
    if (!battlePaused) {
        viewWidth = static_cast<float>(wanted + 5.0 >= viewWidth ? wanted : viewWidth - 5.0);
        viewHeight = static_cast<float>(viewWidth * 3.0 * 0.25);
        const double step = viewWidth * 0.003125 * 4.0;
        const double halfWidth = viewWidth * 0.5, halfHeight = viewHeight * 0.5;
        cameraX = HoldInside(HoldInside(Follow(cameraX, midX, step), halfWidth, p0.x), halfWidth, p1.x);
        cameraY = HoldInside(HoldInside(Follow(cameraY, midY, step), halfHeight, p0.y), halfHeight, p1.y);
    }
    ApplyOrthographicCamera();
}
