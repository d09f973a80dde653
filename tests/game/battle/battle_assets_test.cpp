// The battle's asset loading on the generated data: which archive and keys
// each character reads, the planes made for them, each stage's fog and
// models in the order the stage drawing addresses them, and that releasing
// leaves every resource list as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/graphics/light.h"
#include "engine/graphics/render_state.h"
#include "engine/models/material.h"
#include "engine/models/mesh.h"
#include "engine/models/shader_fragments.h"
#include "game/arena/player_record.h"
#include "tests/game/battle/battle_assets_fixture.h"

namespace {

class BattleAssetsTest : public test::BattleAssetsFixture {
protected:
    void LoadSide(int side, int characterId, int colour) {
        players[side].characterId = characterId;
        players[side].colour = colour;
        LoadCharacterModels(side);
    }
};

// Whether the texture holds the same picture as the archive entry.
bool SamePicture(Texture* texture, const char* archive, const char* key) {
    Texture* want = CreateTextureFromArchive(archive, key, 1, nullptr);
    void *a = nullptr, *b = nullptr;
    int pitchA = 0, pitchB = 0;
    bool same = texture && texture->IsReady() && want->IsReady() && texture->GetWidth() == want->GetWidth() &&
                texture->GetHeight() == want->GetHeight() && texture->Lock(&a, &pitchA) && want->Lock(&b, &pitchB) &&
                pitchA == pitchB && std::memcmp(a, b, static_cast<size_t>(pitchA) * texture->GetHeight()) == 0;
    if (texture) texture->Unlock();
    want->Unlock();
    want->Release();
    return same;
}

Mesh* FirstMesh(Model* model) { return model ? model->GetMesh(0) : nullptr; }

float PlaneWidth(Model* model) {
    Mesh* mesh = FirstMesh(model);
    return mesh ? mesh->boxMax.x - mesh->boxMin.x : -1.0f;
}

struct ListCounts {
    int textures, models, surfaces, shaders;
    bool operator==(const ListCounts&) const = default;
};
ListCounts CountLists() {
    return {textureList.GetCount(), modelList.GetCount(), surfaceList.GetCount(), vertexShaderList.GetCount()};
}
std::ostream& operator<<(std::ostream& out, const ListCounts& c) {
    return out << c.textures << " textures, " << c.models << " models, " << c.surfaces << " surfaces, " << c.shaders
               << " shaders";
}

TEST(CharacterArchiveNames, FollowTheCharacterAndColour) {
    struct Case {
        int id, colour;
        const char* archive;
        int frames;
        const char* lastFrame;
        const char* firstAction;  // null: none
        const char* lastAction;
        int actions;
        float actionSize;
    };
    const Case cases[] = {
        {1, 0, "gf\\mdl_11.dat", 59, "mdl58", "act_sw00", "act_sw20", 21, 100},
        {2, 1, "gf\\mdl_22.dat", 59, "mdl58", "act_np00", "act_np03", 4, 80},
        {3, 0, "gf\\mdl_31.dat", 40, "mdl39", "act_wp00", "act_wp07", 8, 80},
        {4, 1, "gf\\mdl_42.dat", 53, "mdl52", nullptr, nullptr, 0, 0},
        {5, 0, "gf\\mdl_51.dat", 49, "mdl48", nullptr, nullptr, 0, 0},
        {6, 0, "gf\\mdl_61.dat", 45, "mdl44", nullptr, nullptr, 0, 0},
        {7, 1, "gf\\mdl_72.dat", 74, "mdl73", nullptr, nullptr, 0, 0},
        {8, 1, "gf\\mdl_82.dat", 57, "mdl56", "act_gn00", "act_gn19", 20, 80},
        // A colour that no costume has reads the first costume's archive.
        {4, 7, "gf\\mdl_41.dat", 53, "mdl52", nullptr, nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        EXPECT_EQ(CharacterArchiveName(c.id, c.colour), c.archive);
        const CharacterFrameSet* set = FindCharacterFrameSet(c.id);
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(set->frames, c.frames);
        EXPECT_EQ(NumberedKey("mdl", set->frames - 1), c.lastFrame);
        EXPECT_EQ(set->actions, c.actions);
        if (!c.firstAction) {
            EXPECT_EQ(set->actionPrefix, nullptr);
            continue;
        }
        ASSERT_NE(set->actionPrefix, nullptr);
        EXPECT_EQ(NumberedKey(set->actionPrefix, 0), c.firstAction);
        EXPECT_EQ(NumberedKey(set->actionPrefix, set->actions - 1), c.lastAction);
        EXPECT_EQ(set->actionPlaneSize, c.actionSize);
    }
    EXPECT_EQ(FindCharacterFrameSet(0), nullptr);
    EXPECT_EQ(FindCharacterFrameSet(9), nullptr);
    // Always two digits: no "mdl9" and no "mdl010".
    EXPECT_EQ(NumberedKey("mdl", 0), "mdl00");
    EXPECT_EQ(NumberedKey("mdl", 9), "mdl09");
    EXPECT_EQ(NumberedKey("mdl", 10), "mdl10");
}

// Every character's archive holds each key the loader reads (all textures
// come out ready) and every frame gets its own textured plane.
TEST_F(BattleAssetsTest, LoadsEachFrameAsATexturedPlaneOfItsSize) {
    struct Case {
        int id, colour;
    };
    const Case cases[] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {7, 1}, {8, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("character " + std::to_string(c.id) + " colour " + std::to_string(c.colour));
        const int side = c.id % 2;
        LoadSide(side, c.id, c.colour);
        const CharacterFrameSet& set = *FindCharacterFrameSet(c.id);
        const std::string archive = CharacterArchiveName(c.id, c.colour);
        ASSERT_EQ(characterFrameTextures[side].size(), static_cast<size_t>(set.frames));
        ASSERT_EQ(characterFrameModels[side].size(), static_cast<size_t>(set.frames));
        ASSERT_EQ(characterActionTextures[side].size(), static_cast<size_t>(set.actions));
        ASSERT_EQ(characterActionModels[side].size(), static_cast<size_t>(set.actions));
        for (Texture* t : characterFrameTextures[side]) EXPECT_TRUE(t->IsReady());
        for (Texture* t : characterActionTextures[side]) EXPECT_TRUE(t->IsReady());
        for (int k = 0; k < set.frames; ++k) {
            Mesh* mesh = FirstMesh(characterFrameModels[side][k]);
            ASSERT_NE(mesh, nullptr);
            EXPECT_EQ(mesh->GetMaterial(0)->GetTexture(0), characterFrameTextures[side][k]);
            EXPECT_EQ(mesh->lightingMode, static_cast<uint32_t>(LIGHTING_NONE));
            EXPECT_EQ(mesh->shaderKey & 0x3F00u, static_cast<uint32_t>(LIGHTING_NONE)) << "shader not rebuilt";
        }
        EXPECT_FLOAT_EQ(PlaneWidth(characterFrameModels[side].front()), 40.0f);
        EXPECT_TRUE(SamePicture(characterFrameTextures[side].back(), archive.c_str(),
                                NumberedKey("mdl", set.frames - 1).c_str()));
        if (set.actions) {
            EXPECT_FLOAT_EQ(PlaneWidth(characterActionModels[side].back()), set.actionPlaneSize);
            EXPECT_EQ(FirstMesh(characterActionModels[side][1])->GetMaterial(0)->GetTexture(0),
                      characterActionTextures[side][1]);
            EXPECT_TRUE(SamePicture(characterActionTextures[side][1], archive.c_str(),
                                    NumberedKey(set.actionPrefix, 1).c_str()));
        }
        EXPECT_TRUE(SamePicture(playerItemTexture[side], archive.c_str(), "item"));
        EXPECT_TRUE(SamePicture(playerRingTexture[side], archive.c_str(), "ring"));
        ReleaseCharacterModels(side);
    }
}

TEST_F(BattleAssetsTest, UnknownCharacterOrSideLoadsNothing) {
    const ListCounts before = CountLists();
    for (int id : {0, 9, -1}) LoadSide(0, id, 0);
    players[0].characterId = 1;
    LoadCharacterModels(2);
    LoadCharacterModels(-1);
    EXPECT_EQ(CountLists(), before);
    EXPECT_TRUE(characterFrameModels[0].empty());
    EXPECT_EQ(playerItemTexture[0], nullptr);
}

// A second load without a release in between replaces the side's assets
// instead of stacking a second set on the first.
TEST_F(BattleAssetsTest, ReloadingASideReplacesItsAssets) {
    LoadSide(0, 2, 0);
    const ListCounts once = CountLists();
    LoadSide(0, 2, 0);
    EXPECT_EQ(CountLists(), once);
    EXPECT_EQ(characterFrameModels[0].size(), 59u);
}

struct StageModelWant {
    const char* meshName;  // the generator's mesh name, counted per generator from 0
    int meshes;
    uint32_t transformMode;
    const char* key;
};
struct StageWant {
    int stage;
    float fogStart, fogEnd;
    uint32_t fogColour;
    std::vector<StageModelWant> models;
};

constexpr uint32_t P = TRANSFORM_PLAIN;
constexpr uint32_t V = TRANSFORM_VIEW;

TEST_F(BattleAssetsTest, EachStageSetsItsFogAndLoadsItsModelsInOrder) {
    const StageWant stages[] = {
        {0, 100, 280, 0xFF829AFA, {{"Mesh_Sphere_00", 1, P, "00sky"}}},
        {1, 0, 400, 0xFF829AFA,
         {{"Mesh_Sphere_00", 1, P, "01sky"}, {"Mesh_Plane_00", 1, V, "01clowd"}, {"Mesh_Plane_01", 1, V, "01forest"}}},
        {2, 0, 400, 0xFF32C8FF, {{"Mesh_Sphere_00", 1, P, "02sky"}, {"Mesh_Plane_00", 1, V, "02pool"}}},
        {3, 50, 1200, 0xFF967850, {{"HightField_00_0_0", 256, V, "03skin"}}},
        {4, 50, 1200, 0xFF331166, {{"Mesh_Plane_00", 1, V, "04clowd"}}},
        {5, 600, 1200, 0xFF829AFA, {{"Mesh_Sphere_00", 1, P, "05sky"}}},
        {6, 50, 1200, 0xFF111111, {{"Mesh_Plane_00", 1, V, "06wall"}}},
        {7, 10, 600, 0xFF0032FF,
         {{"Mesh_Sphere_00", 1, P, "07sky"},
          {"Mesh_Plane_00", 1, V, "07clowd"},
          {"Mesh_Billboard_00", 1, P, "07moon"},
          {"Mesh_Billboard_01", 1, P, "07star"}}},
        {8, 600, 1200, 0xFF829AFA,
         {{"Mesh_Sphere_00", 1, P, "08seal"}, {"Mesh_Cube_00", 1, P, "08block"}, {"Mesh_Sphere_01", 1, P, "08seal2"}}},
    };
    for (const StageWant& want : stages) {
        SCOPED_TRACE("stage " + std::to_string(want.stage));
        InitializeModels();  // the generators' names count from 0 again
        SetFog(0, 0, 0);
        device().ClearCalls();
        LoadStage(want.stage);
        EXPECT_EQ(GetFogStart(), want.fogStart);
        EXPECT_EQ(GetFogEnd(), want.fogEnd);
        std::vector<uint32_t> fogColours;
        for (const test::DeviceCall& c : device().CallsNamed("SetRenderState")) {
            if (c.args[0] == gpu::D3DRS_FOGCOLOR) fogColours.push_back(c.args[1]);
        }
        EXPECT_EQ(fogColours, std::vector<uint32_t>{want.fogColour & 0xFFFFFF});

        ASSERT_EQ(stageTextures.size(), want.models.size());
        // Stage 5's island (from the generated model file) follows the sky.
        const size_t island = want.stage == 5 ? 1 : 0;
        ASSERT_EQ(stageModels.size(), want.models.size() + island);
        for (size_t i = 0; i < want.models.size(); ++i) {
            const StageModelWant& m = want.models[i];
            SCOPED_TRACE(m.key);
            Model* model = stageModels[i];
            ASSERT_EQ(model->GetMeshCount(), m.meshes);
            Mesh* mesh = FirstMesh(model);
            EXPECT_STREQ(mesh->GetName(), m.meshName);
            EXPECT_EQ(mesh->transformMode, m.transformMode);
            EXPECT_EQ(mesh->lightingMode, static_cast<uint32_t>(LIGHTING_NONE));
            EXPECT_EQ(mesh->shaderKey & m.transformMode, m.transformMode) << "shader not rebuilt";
            EXPECT_EQ(mesh->GetMaterial(0)->GetTexture(0), stageTextures[i]);
            EXPECT_TRUE(SamePicture(stageTextures[i], "gf\\model.dat", m.key));
        }
        ReleaseBattleModels();
    }
}

TEST_F(BattleAssetsTest, StageFiveLightsItsIslandWithOneDimLight) {
    SetAmbientLevel(1.0f);
    SetDirectionalLight(0, 0);
    LoadStage(5);
    float ambient = -1, r = 0, g = 0, b = 0;
    GetAmbientLevel(&ambient);
    GetLightColor(0, &r, &g, &b);
    Vector3 direction{};
    GetLightDirection(0, &direction);
    EXPECT_EQ(ambient, 0.0f);
    EXPECT_EQ(lightEnabled[0], 1);
    EXPECT_FLOAT_EQ(r, 0.2f);
    EXPECT_FLOAT_EQ(b, 0.3f);
    const float length = std::sqrt(8.0f * 8.0f + 20.0f * 20.0f + 8.0f * 8.0f);
    EXPECT_NEAR(direction.y, -20.0f / length, 1e-6);
    EXPECT_STREQ(modelTextureArchive, "gf\\model.dat");
    // The sky, then the island from the generated model file.
    ASSERT_EQ(stageModels.size(), 2u);
    Mesh* mesh = FirstMesh(stageModels[1]);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->lightingMode, static_cast<uint32_t>(LIGHTING_VERTEX_COLOUR));
    gpu::D3DMATERIAL8 material{};
    mesh->GetMaterial(0)->GetMaterial(&material);
    EXPECT_FLOAT_EQ(material.Diffuse.a, 0.5f);
    EXPECT_FLOAT_EQ(material.Diffuse.b, 1.0f);
}

TEST_F(BattleAssetsTest, StageOutsideTheNineLoadsNothingAndSetsNoFog) {
    SetFog(1, 2, 0xFF123456);
    const ListCounts before = CountLists();
    for (int stage : {9, -1, 100}) LoadStage(stage);
    EXPECT_EQ(CountLists(), before);
    EXPECT_TRUE(stageModels.empty());
    EXPECT_EQ(GetFogStart(), 1.0f);
    EXPECT_EQ(GetFogEnd(), 2.0f);
}

TEST_F(BattleAssetsTest, StageThreeReleasesItsHeightImageOnceTheTerrainExists) {
    const int surfaces = surfaceList.GetCount();
    LoadStage(3);
    EXPECT_EQ(surfaceList.GetCount(), surfaces);
    ASSERT_EQ(stageModels.size(), 1u);
    Model* terrain = stageModels[0];
    EXPECT_EQ(terrain->gridCellsPerSide, 16);
    EXPECT_EQ(terrain->cellVerticesPerRow, 11);  // 161 pixels: cells of 10 quads
    EXPECT_FLOAT_EQ(terrain->fieldSizeX, 2000.0f);
    EXPECT_FLOAT_EQ(terrain->maxHeight, 300.0f);
}

// The 200 star points come from the generator, a before b for each point,
// 400 draws in all.
TEST_F(BattleAssetsTest, StageSevenScattersTwoHundredPointsFromTheGenerator) {
    SeedRandom(77);
    const float a = RandomFloat(-2.3561945f, -0.7853982f);
    const float b = RandomFloat(0.1f, 1.5f);
    SeedRandom(77);
    for (int i = 0; i < 400; ++i) NextRandom();
    const uint32_t after = GetRandomState();

    SeedRandom(77);
    stageScatterPoints.assign(5, Vector3{});
    LoadStage(7);
    ASSERT_EQ(stageScatterPoints.size(), 200u);
    EXPECT_EQ(GetRandomState(), after);
    EXPECT_FLOAT_EQ(stageScatterPoints[0].x, std::cos(a) * 200.0f);
    EXPECT_FLOAT_EQ(stageScatterPoints[0].y, std::sin(b) * 300.0f);
    for (const Vector3& p : stageScatterPoints) {
        EXPECT_EQ(p.z, 350.0f);
        EXPECT_LE(std::fabs(p.x), 141.5f);
        EXPECT_GE(p.y, 29.0f);
    }
}

TEST_F(BattleAssetsTest, ReleasingABattleLeavesEveryResourceListAsBefore) {
    const ListCounts before = CountLists();
    for (int stage = 0; stage <= 8; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        LoadSide(0, 1 + stage % 8, 0);
        LoadSide(1, 8 - stage % 8, 0);
        LoadStage(stage);
        EXPECT_GT(textureList.GetCount(), before.textures);
        ReleaseCharacterModels(0);
        ReleaseCharacterModels(1);
        ReleaseBattleModels();
        EXPECT_EQ(CountLists(), before);
        for (int side = 0; side < 2; ++side) {
            EXPECT_TRUE(characterFrameTextures[side].empty() && characterFrameModels[side].empty());
            EXPECT_TRUE(characterActionTextures[side].empty() && characterActionModels[side].empty());
            EXPECT_EQ(playerItemTexture[side], nullptr);
            EXPECT_EQ(playerRingTexture[side], nullptr);
        }
        EXPECT_TRUE(stageTextures.empty() && stageModels.empty());
    }
}

}  // namespace
