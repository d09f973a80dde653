// One battle frame on the recording device: the order of its layers, the
// after-image and the notice, and the sheets each kind of object is issued
// from.
#include "game/battle/battle_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "engine/devices/network.h"
#include "engine/graphics/primitives2d.h"
#include "engine/graphics/render_state.h"
#include "engine/models/primitives.h"
#include "game/arena/particles.h"
#include "game/arena/roster.h"
#include "game/characters/kirune.h"
#include "game/characters/player_drawing.h"
#include "game/flow/numeric_helpers.h"
#include "game/shots/effects.h"
#include "game/shots/object_sprite.h"
#include "game/shots/player_objects.h"
#include "tests/game/battle/battle_drawing_fixture.h"

namespace {

class BattleDrawing : public test::BattleDrawingFixture {
protected:
    void TearDown() override {
        transitionRunning = 0;
        players[0].objects.clear();
        players[1].objects.clear();
        BattleDrawingFixture::TearDown();
    }
    // A 40x40 fighter plane with a picture of its own as the side's frame `index`.
    Texture* AddFrameModel(int32_t side, CharacterModelKind kind = CharacterModelKind::Frame) {
        Texture* picture = CreateTexture(64, 64, 1, nullptr);
        Model* plane = CreatePlaneModelXY(40.0f, 40.0f, 2, 2, 1.0f, nullptr);
        plane->SetTexture(0, picture, Model::kAll, Model::kAll);
        plane->SetMeshLightingMode(256, Model::kAll);
        plane->RebuildMeshShaders(Model::kAll);
        (kind == CharacterModelKind::Frame ? characterFrameModels : characterActionModels)[side].push_back(plane);
        characterFrameTextures[side].push_back(picture);
        return picture;
    }
    // The pictures the frame used, in order: each texture bound to stage 0
    // (a repeat of the one before counted once) and the rim's line strips.
    std::vector<std::string> Order(const std::map<uint32_t, std::string>& names) {
        std::vector<std::string> order;
        for (const auto& call : graphics.device()->calls) {
            std::string name;
            if (call.name == "Clear") name = "clear";
            if (call.name == "DrawPrimitiveUP" && call.args[2] == sizeof(Vertex2D)) name = "rim";
            if (call.name == "SetTexture" && call.args[0] == 0 && call.args[1] != 0) {
                const auto it = names.find(call.args[1]);
                name = it == names.end() ? "?" : it->second;
            }
            if (call.name == "Present") name = "present";
            if (!name.empty() && (order.empty() || order.back() != name)) order.push_back(name);
        }
        return order;
    }
};

TEST_F(BattleDrawing, LayersInTheirFixedOrder) {
    players[1].characterId = 2;  // the placeholder fighter
    Texture* fighter0 = AddFrameModel(0);
    Texture* fighter1 = AddFrameModel(1);
    const float at[2] = {0.0f, 0.0f};
    SpawnShot(120, 0.0f, at, 0);
    heavyShotList.Adjust(SpawnHeavyShot(121, 0.0f, at, 1), [](HeavyShot& h) { h.age = 0; });
    SpawnAttackArea(210, 0.0f, at, 0);
    SpawnEffect(10, 0.0f, at, 0);
    SpawnParticles(20, 1, 0.0f, at);
    PlayerObject satellite{};
    satellite.type = SATELLITE_CIRCLING;
    players[1].objects.push_back(satellite);
    players[0].invulnerableTimer = -5;
    gameMode = MODE_VS_NETWORK;
    netConnected = 0;
    StartTransition(1021);
    graphics.device()->ClearCalls();

    DrawBattle();

    const std::map<uint32_t, std::string> names = {
        {test::DeviceId(fighter0), "fighter 0"},
        {test::DeviceId(fighter1), "fighter 1"},
        {test::DeviceId(playerItemTexture[0]), "item 0"},
        {test::DeviceId(playerItemTexture[1]), "item 1"},
        {test::DeviceId(playerRingTexture[1]), "ring 1"},
        {test::DeviceId(battleEffectTexture), "effect"},
        {test::DeviceId(battlePerticleTexture), "perticle"},
        {test::DeviceId(battleRenderTarget), "after-image"},
        {test::DeviceId(battleSystemTexture), "system"},
        {test::DeviceId(battleNamePlateTexture), "name plate"},
        {test::DeviceId(transitionSprite), "transition"},
    };
    const std::vector<std::string> expected = {
        "clear",
        "rim",
        "fighter 0", "fighter 1",           // the fighters
        "item 1",                           // side 1's objects
        "effect", "perticle", "item 0",     // effects, particles, shots
        "ring 1", "item 0",                 // heavy shots, attack areas
        "after-image",
        "system", "name plate", "system",   // side 0's panel
        "name plate", "system",             // side 1's panel, the timer and the notice
        "transition",
        "present",
    };
    EXPECT_EQ(Order(names), expected);
}

TEST_F(BattleDrawing, AfterImageAndNoticeOnlyWhenDue) {
    const gpu::RECT notice{200, 225, 440, 255};
    struct Case {
        int32_t timer0, timer1;
        int32_t mode;
        uint8_t connected;
        uint32_t afterImageColour;  // 0: none
        bool notice;
    } cases[] = {
        {0, 0, MODE_1P_VS_2P, 0, 0, false},
        {-5, 0, MODE_1P_VS_2P, 0, 0x64ffffffu, false},
        {0, -40, MODE_1P_VS_2P, 0, 0xc8ffffffu, false},
        {-1, -40, MODE_1P_VS_2P, 0, 0x14ffffffu, false},
        {0, 0, MODE_VS_NETWORK, 1, 0, false},
        {0, 0, MODE_VS_NETWORK, 0, 0, true},
    };
    for (const Case& c : cases) {
        players[0].invulnerableTimer = c.timer0;
        players[1].invulnerableTimer = c.timer1;
        gameMode = c.mode;
        netConnected = c.connected;
        graphics.device()->ClearCalls();
        DrawBattle();
        const auto overlay = From(battleRenderTarget);
        if (c.afterImageColour) {
            ASSERT_EQ(overlay.size(), 1u) << c.timer0 << " " << c.timer1;
            EXPECT_EQ(overlay[0].Colour(), c.afterImageColour);
            EXPECT_EQ(overlay[0].Right(), 640.0f);
            EXPECT_EQ(overlay[0].Bottom(), 480.0f);
        } else {
            EXPECT_TRUE(overlay.empty()) << c.timer0 << " " << c.timer1;
        }
        bool shown = false;
        for (const auto& q : From(battleSystemTexture))
            shown |= q.Left() == notice.left && q.Top() == notice.top && q.Right() == notice.right;
        EXPECT_EQ(shown, c.notice) << c.mode << " " << int(c.connected);
    }
    netConnected = 0;
}

TEST_F(BattleDrawing, FrameClearsAppliesBothCamerasAndPresents) {
    viewWidth = 320.0f;
    DrawBattle();
    const auto clears = graphics.device()->CallsNamed("Clear");
    ASSERT_FALSE(clears.empty());
    EXPECT_EQ(clears[0].args[1], 0xff111111u);
    // The stage camera's field of view follows the zoom of the last frame
    // (15 degrees at the closest view); the battle camera then maps the
    // view's width and height onto the screen.
    std::vector<std::vector<float>> projections;
    for (const auto& call : graphics.device()->CallsNamed("SetTransform"))
        if (call.args[0] == gpu::D3DTS_PROJECTION) projections.push_back(call.matrix);
    ASSERT_EQ(projections.size(), 2u);
    EXPECT_NEAR(projections[0][5], 1.0f / std::tan(7.5f * PI_F / 180.0f), 1e-3);
    EXPECT_FLOAT_EQ(projections[1][0], 2.0f / viewWidth);
    EXPECT_FLOAT_EQ(projections[1][5], 2.0f / viewHeight);
    EXPECT_EQ(graphics.device()->CallsNamed("Present").size(), 1u);
    // The rim: three circles about the screen point of the world origin.
    EXPECT_EQ(graphics.device()->CallsNamed("DrawPrimitiveUP").empty(), false);
    int rims = 0;
    for (const auto& call : graphics.device()->CallsNamed("DrawPrimitiveUP"))
        rims += call.args[2] == sizeof(Vertex2D) ? 1 : 0;
    EXPECT_EQ(rims, 3);
}

TEST_F(BattleDrawing, ParticlesComeFromThePerticleSheet) {
    const float at[2] = {0.0f, 0.0f};
    SpawnParticles(20, 3, 0.0f, at);
    DrawParticles();
    const auto quads = Quads();
    ASSERT_EQ(quads.size(), 3u);
    for (const auto& q : quads) {
        EXPECT_EQ(q.texture, test::DeviceId(battlePerticleTexture));
        EXPECT_EQ(q.Colour(), 0xffffffffu);
    }
}

TEST_F(BattleDrawing, ObjectSpritesFindTheirSheets) {
    Texture* picture = AddFrameModel(1);
    ObjectSprite launcher{1, SpriteSheet::CharacterPicture, {10, 10, 50, 50}, {0, 0, 63, 63}, 0, 0xffffffffu,
                          SpriteBlend::AlphaAdd, false, 0};
    ObjectSprite unloaded = launcher;
    unloaded.picture = 3;  // side 1 has one picture only
    ObjectSprite ring{0, SpriteSheet::Ring, {0, 0, 20, 20}, {0, 0, 9, 9}, 16384, 0xffffffffu, SpriteBlend::Alpha};
    ObjectSprite stray = ring;
    stray.owner = 5;
    playerItemTexture[0] = nullptr;
    ObjectSprite noSheet{0, SpriteSheet::Item, {0, 0, 20, 20}, {0, 0, 9, 9}, 0, 0xffffffffu, SpriteBlend::Alpha};

    DrawObjectSprites({launcher, unloaded, ring, stray, noSheet});

    const auto quads = Quads();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].texture, test::DeviceId(picture));
    // Unturned: drawn upright on its rectangle.
    EXPECT_EQ(quads[0].Left(), 10.0f);
    EXPECT_EQ(quads[0].corner[1].x + 0.5f, 50.0f);
    EXPECT_EQ(quads[0].corner[1].y + 0.5f, 10.0f);
    // Turned a quarter: the first corner is no longer the top-left one.
    EXPECT_EQ(quads[1].texture, test::DeviceId(playerRingTexture[0]));
    EXPECT_NE(quads[1].corner[0].x + 0.5f, 0.0f);
}

TEST_F(BattleDrawing, CharacterModelsArePlacedTurnedAndBlended) {
    AddFrameModel(0);
    AddFrameModel(0, CharacterModelKind::Action);
    const ModelTurn mirrored{true, 1000, true};
    const std::vector<CharacterModelDraw> draws = {
        {CharacterModelKind::Frame, 0, 1, 30.0f, -20.0f, {false, 0, false}},
        {CharacterModelKind::Frame, 7, 1, 0.0f, 0.0f, {false, 0, false}},  // not loaded: skipped
        {CharacterModelKind::Action, 0, 2, -50.0f, 60.0f, mirrored},
    };
    DrawCharacterModels(0, draws);

    Vector3 position{}, right{};
    characterFrameModels[0][0]->GetPosition(&position);
    EXPECT_EQ(position.x, 30.0f);
    EXPECT_EQ(position.y, -20.0f);
    characterFrameModels[0][0]->GetRight(&right);
    EXPECT_NEAR(right.x, 1.0f, 1e-6);
    characterActionModels[0][0]->GetPosition(&position);
    EXPECT_EQ(position.x, -50.0f);
    characterActionModels[0][0]->GetRight(&right);
    EXPECT_LT(right.x, -0.9f);  // the yaw of half a turn mirrors it
    // The sword's additive blend is the last one set.
    EXPECT_EQ(renderStateCache[gpu::D3DRS_DESTBLEND], static_cast<uint32_t>(gpu::D3DBLEND_ONE));
}

// From knock-out frame 180 on a fighter draws nothing, yet it leaves alpha
// blending set as every fighter's picture does, for whatever is drawn next.
TEST_F(BattleDrawing, AFighterThatDrawsNothingStillLeavesAlphaBlending) {
    for (int32_t id = 1; id <= CHARACTER_COUNT; ++id) {
        players[0].characterId = id;
        players[0].state = PLAYER_KNOCKED_OUT;
        players[0].stateTimer = 180;
        SetBlendMode(BLEND_ALPHA_ADD);  // what an additive picture before it left
        ASSERT_EQ(renderStateCache[gpu::D3DRS_DESTBLEND], static_cast<uint32_t>(gpu::D3DBLEND_ONE));
        DrawPlayer(0);
        EXPECT_EQ(renderStateCache[gpu::D3DRS_SRCBLEND], static_cast<uint32_t>(gpu::D3DBLEND_SRCALPHA)) << id;
        EXPECT_EQ(renderStateCache[gpu::D3DRS_DESTBLEND], static_cast<uint32_t>(gpu::D3DBLEND_INVSRCALPHA)) << id;
    }
}

TEST_F(BattleDrawing, KiruneIsDrawnFromItsPoseTable) {
    for (int i = 0; i <= 25; ++i) AddFrameModel(0);
    for (int i = 0; i <= 3; ++i) AddFrameModel(0, CharacterModelKind::Action);
    players[0].state = KIRUNE_SLASH_1;
    players[0].stateTimer = 0;
    players[0].x = 12.0f;
    DrawPlayer(0);
    Vector3 pose{}, sword{};
    characterFrameModels[0][25]->GetPosition(&pose);
    characterActionModels[0][0]->GetPosition(&sword);
    EXPECT_EQ(pose.x, 12.0f);
    EXPECT_EQ(sword.x, 12.0f);
}

}  // namespace
