#include "game/battle/battle_drawing.h"

#include <cmath>

#include "engine/devices/network.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/primitives2d.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "game/battle/battle_assets.h"
#include "game/battle/battle_hud.h"
#include "game/battle/battle_menu.h"
#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/hud_sheets.h"
#include "game/battle/particles.h"
#include "game/battle/player_drawing.h"
#include "game/battle/player_record.h"
#include "game/battle/screen_mapping.h"
#include "game/battle/stage_drawing.h"
#include "game/flow/game_start.h"
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
// within a step.
float Follow(float camera, float target, float step) {
    if (target + step < camera) return camera - step;
    if (target - step > camera) return camera + step;
    return target;
}

// Moves the view centre just far enough for a fighter to stay inside.
float HoldInside(float camera, float half, float position) {
    if (camera + half < position) camera = position - half;
    if (camera - half > position) camera = position + half;
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
    const float r = ARENA_RADIUS * 640.0f / viewWidth;
    DrawCircle(x, y, r, 0.0f, RIM_SEGMENTS, 0xff1155ffu);
    DrawCircle(x, y, r - 1.0f, 0.0f, RIM_SEGMENTS, 0xffddddffu);
    DrawCircle(x, y, r - 2.0f, 0.0f, RIM_SEGMENTS, 0xff1155ffu);
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
    gameCamera->SetPerspective(viewWidth * 0.003125f * 5.0f + 10.0f, 1.0f, 1200.0f, 0.0f);
    gameCamera->ResetAxes();
    gameCamera->LookAt(&eye, &target, nullptr);
    gameCamera->UpdateView();
    gameCamera->Apply();
}

void UpdateBattleCamera() {
    const PlayerRecord& p0 = players[0];
    const PlayerRecord& p1 = players[1];
    const float midX = (p0.x + p1.x) * 0.5f, midY = (p0.y + p1.y) * 0.5f;
    const float dx = p1.x - p0.x, dy = p1.y - p0.y;
    float wanted = std::sqrt(dx * dx + dy * dy) * 250.0f * 0.005882353f;
    if (wanted < 320.0f) wanted = 320.0f;
    wanted *= battleFadeLevel;
    if (!battlePaused) {
        viewWidth = wanted + 5.0f >= viewWidth ? wanted : viewWidth - 5.0f;
        viewHeight = viewWidth * 3.0f * 0.25f;
        const float step = viewWidth * 0.003125f * 4.0f;
        const float halfWidth = viewWidth * 0.5f, halfHeight = viewHeight * 0.5f;
        cameraX = HoldInside(HoldInside(Follow(cameraX, midX, step), halfWidth, p0.x), halfWidth, p1.x);
        cameraY = HoldInside(HoldInside(Follow(cameraY, midY, step), halfHeight, p0.y), halfHeight, p1.y);
    }
    ApplyOrthographicCamera();
}
