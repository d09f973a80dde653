#pragma once
// A battle ready to be drawn on the recording device: the model and camera
// layers started, the game camera made, and every battle sheet a small blank
// texture of its own, so that each draw can be traced to its sheet.
#include <vector>

#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "engine/models/vertex_shader.h"
#include "game/arena/battle_assets.h"
#include "game/battle/battle_scene.h"
#include "game/flow/run_state.h"
#include "game/flow/transitions.h"
#include "tests/game/battle/drawn_quads.h"
#include "tests/support/battle_fixture.h"
#include "tests/support/recording_device.h"

namespace test {

class BattleDrawingFixture : public BattleFixture {
protected:
    void SetUp() override {
        BattleFixture::SetUp();
        battleFadeLevel = 1.0f;
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        InitTextureList();
        InitCameraList();
        ASSERT_EQ(InitializeVertexShaders(), 1);
        ASSERT_EQ(InitializeModels(), 1);
        gameCamera = CreateCamera();
        for (Texture** sheet : Sheets()) *sheet = CreateTexture(512, 512, 1, nullptr);
        battleRenderTarget = CreateRenderTargetTexture(1024, 1024, nullptr);
        graphics.device()->ClearCalls();
    }
    void TearDown() override {
        for (int side = 0; side < 2; ++side) {
            characterFrameModels[side].clear();
            characterFrameTextures[side].clear();
            characterActionModels[side].clear();
        }
        for (Texture** sheet : Sheets()) *sheet = nullptr;
        battleRenderTarget = nullptr;
        gameCamera = nullptr;
        DestroyModels();
        DestroyVertexShaders();
        DestroyCameraList();
        DestroyTextureList();
        battleFadeLevel = 3.0f;
        BattleFixture::TearDown();
    }
    static std::vector<Texture**> Sheets() {
        return {&battleSystemTexture, &battleNamePlateTexture, &battleEffectTexture, &battlePerticleTexture,
                &playerItemTexture[0], &playerItemTexture[1], &playerRingTexture[0], &playerRingTexture[1],
                &transitionSprite};
    }
    std::vector<DrawnQuad> Quads() { return DrawnQuads(*graphics.device()); }
    std::vector<DrawnQuad> From(const Texture* t) { return QuadsFrom(*graphics.device(), t); }

    RecordingGraphics graphics;
};

}  // namespace test
