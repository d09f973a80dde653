#include "game/arena/battle_assets.h"

#include <cmath>
#include <cstdio>

#include "engine/core/resource.h"
#include "engine/graphics/light.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "engine/models/primitives.h"
#include "engine/models/shader_fragments.h"
#include "engine/models/xfile_loader.h"
#include "game/arena/player_record.h"

std::vector<Texture*> characterFrameTextures[2];
std::vector<Model*> characterFrameModels[2];
std::vector<Texture*> characterActionTextures[2];
std::vector<Model*> characterActionModels[2];
Texture* playerItemTexture[2];
Texture* playerRingTexture[2];

std::vector<Texture*> stageTextures;
std::vector<Model*> stageModels;
std::vector<Vector3> stageScatterPoints;

Texture* battleEffectTexture;
Texture* battlePerticleTexture;
Texture* battleSystemTexture;
Texture* battleNamePlateTexture;
Texture* battleMessageTexture;
Texture* battleRenderTarget;

namespace {

constexpr const char* kStageArchive = "gf\\model.dat";
constexpr const char* kStageXModel = "gf\\model2.dat";
constexpr float kFramePlaneSize = 40.0f;

bool ValidSide(int32_t side) { return side == 0 || side == 1; }

template <typename T>
void ReleaseEach(std::vector<T*>& list) {
    for (T*& object : list) ReleaseResource(object);
    list.clear();
}

// Numbered frames key00, key01, ... of one archive, each a Texture on its own
// upright square plane.
void LoadFramePlanes(const std::string& archive, const char* prefix, int32_t count, float planeSize,
                     std::vector<Texture*>& textures, std::vector<Model*>& models) {
    for (int32_t k = 0; k < count; ++k) {
        Texture* texture = CreateTextureFromArchive(archive.c_str(), NumberedKey(prefix, k).c_str(), 1, nullptr);
        textures.push_back(texture);
        Model* model = CreatePlaneModelXY(planeSize, planeSize, 2, 2, 1.0f, nullptr);
        model->SetTexture(0, texture, Model::kAll, Model::kAll);
        model->SetMeshLightingMode(LIGHTING_NONE, Model::kAll);
        model->RebuildMeshShaders(Model::kAll);
        models.push_back(model);
    }
}

// ---------------------------------------------------------------------------
// Stages

enum class StageShape { Sphere, PlaneXY, PlaneXZ, Billboard, Cube, HeightField };

// One model of a stage: its shape with the generator's arguments, its texture
// key in the stage archive and its transform mode.
struct StageModelRecipe {
    StageShape shape;
    float x, y, z;          // sizes (or radii)
    int32_t columns, rows;  // vertex counts, rings and segments, or cells per axis
    float repeat;
    const char* key;
    uint32_t transformMode;
};

struct StageRecipe {
    float fogStart, fogEnd;
    uint32_t fogColour;
    std::vector<StageModelRecipe> models;
};

constexpr uint32_t P = TRANSFORM_PLAIN;
constexpr uint32_t V = TRANSFORM_VIEW;

const StageRecipe& StageRecipeOf(int32_t stage) {
    using S = StageShape;
    static const StageRecipe kStages[9] = {
        {100, 280, 0xFF829AFA, {{S::Sphere, 1000, 1000, 1000, 20, 20, 0, "00sky", P}}},
        {0, 400, 0xFF829AFA,
         {{S::Sphere, 400, 300, 400, 20, 20, 0, "01sky", P},
          {S::PlaneXZ, 1000, 1000, 0, 20, 20, 20, "01clowd", V},
          {S::PlaneXZ, 1000, 1000, 0, 20, 20, 20, "01forest", V}}},
        {0, 400, 0xFF32C8FF,
         {{S::Sphere, 400, 400, 400, 20, 20, 0, "02sky", P}, {S::PlaneXZ, 1000, 1000, 0, 10, 10, 50, "02pool", V}}},
        {50, 1200, 0xFF967850, {{S::HeightField, 2000, 300, 2000, 16, 16, 10, "03skin", V}}},
        {50, 1200, 0xFF331166, {{S::PlaneXY, 500, 500, 0, 20, 20, 10, "04clowd", V}}},
        {600, 1200, 0xFF829AFA, {{S::Sphere, 400, 400, 400, 20, 20, 0, "05sky", P}}},
        {50, 1200, 0xFF111111, {{S::PlaneXZ, 160, 2000, 0, 4, 20, 20, "06wall", V}}},
        {10, 600, 0xFF0032FF,
         {{S::Sphere, 400, 400, 400, 10, 10, 0, "07sky", P},
          {S::PlaneXY, 40, 30, 0, 2, 2, 1, "07clowd", V},
          {S::Billboard, 80, 80, 0, 0, 0, 0, "07moon", P},
          {S::Billboard, 2, 2, 0, 0, 0, 0, "07star", P}}},
        {600, 1200, 0xFF829AFA,
         {{S::Sphere, 400, 300, 400, 20, 20, 0, "08seal", P},
          {S::Cube, 10, 10, 10, 0, 0, 0, "08block", P},
          {S::Sphere, 400, 300, 400, 20, 20, 0, "08seal2", P}}},
    };
    return kStages[stage];
}

// The terrain of stage 3 from the height image "03land", which is released
// as soon as the terrain exists.
Model* CreateStageTerrain(const StageModelRecipe& r) {
    Surface* heights = CreateSurfaceFromArchive(kStageArchive, "03land", FORMAT_WIDEUSE, nullptr);
    Model* model = CreateHeightFieldModel(heights, r.columns, r.x, r.z, r.y, static_cast<int32_t>(r.repeat), nullptr);
    heights->Release();
    return model;
}

Model* CreateStageShape(const StageModelRecipe& r) {
    switch (r.shape) {
    case StageShape::Sphere: return CreateSphereModel(r.x, r.y, r.z, r.columns, r.rows, nullptr);
    case StageShape::PlaneXY: return CreatePlaneModelXY(r.x, r.y, r.columns, r.rows, r.repeat, nullptr);
    case StageShape::PlaneXZ: return CreatePlaneModelXZ(r.x, r.y, r.columns, r.rows, r.repeat, nullptr);
    case StageShape::Billboard: return CreateBillboardModel(r.x, r.y, nullptr);
    case StageShape::Cube: return CreateCubeModel(r.x, r.y, r.z, nullptr);
    case StageShape::HeightField: return CreateStageTerrain(r);
    }
    return nullptr;
}

// Shading of every stage model: its lighting mode, material colour and
// transform mode, the lights baked in and the shaders rebuilt for them.
void FinishStageModel(Model* model, uint32_t lightingMode, const float diffuse[4], uint32_t transformMode) {
    model->SetMeshLightingMode(lightingMode, Model::kAll);
    model->SetDiffuse(diffuse[0], diffuse[1], diffuse[2], diffuse[3], Model::kAll);
    model->SetMeshTransformMode(transformMode, Model::kAll);
    model->ApplyMeshLights(Model::kAll);
    model->RebuildMeshShaders(Model::kAll);
}

void LoadStageModel(const StageModelRecipe& r) {
    static constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    Texture* texture = CreateTextureFromArchive(kStageArchive, r.key, 1, nullptr);
    stageTextures.push_back(texture);
    Model* model = CreateStageShape(r);
    model->SetTexture(0, texture, Model::kAll, Model::kAll);
    FinishStageModel(model, LIGHTING_NONE, kWhite, r.transformMode);
    stageModels.push_back(model);
}

// Stage 5's island from the X model file, lit by one dim bluish light; its
// textures come from the stage archive through the materials' names.
void LoadStageXModel() {
    static constexpr float kIslandDiffuse[4] = {0.5f, 0.5f, 0.8f, 1.0f};  // alpha, red, green, blue
    SetAmbientLevel(0.0f);
    SetLightColor(0, 0.2f, 0.2f, 0.3f);
    Vector3 direction{-8.0f, -20.0f, 8.0f};
    SetLightDirection(0, &direction);
    SetDirectionalLight(0, 1);
    SetModelTextureArchive(kStageArchive);
    Model* model = CreateModelFromXFile(kStageXModel, nullptr);
    if (!model) return;  // nothing to draw; the stage goes on without it
    FinishStageModel(model, LIGHTING_VERTEX_COLOUR, kIslandDiffuse, P);
    stageModels.push_back(model);
}

// Stage 7's stars: 200 points on a band in front of the camera. The draws
// come before the battle seeds the generator, so replays do not see them.
void ScatterStagePoints() {
    stageScatterPoints.clear();
    for (int i = 0; i < 200; ++i) {
        const float a = RandomFloat(-2.3561945f, -0.7853982f);
        const float b = RandomFloat(0.1f, 1.5f);
        stageScatterPoints.push_back({std::cos(a) * 200.0f, std::sin(b) * 300.0f, 350.0f});
    }
}

}  // namespace

const CharacterFrameSet* FindCharacterFrameSet(int32_t characterId) {
    const RosterEntry* entry = FindRosterEntry(characterId);
    return entry ? &entry->pictures : nullptr;
}

std::string CharacterArchiveName(int32_t characterId, int32_t colour) {
    return "gf\\mdl_" + std::to_string(characterId) + (colour == 1 ? "2" : "1") + ".dat";
}

std::string NumberedKey(const char* prefix, int32_t n) {
    char key[32];
    std::snprintf(key, sizeof key, "%s%02d", prefix, static_cast<int>(n));
    return key;
}

void LoadCharacterModels(int32_t side) {
    if (!ValidSide(side)) return;
    ReleaseCharacterModels(side);
    const PlayerRecord& player = players[side];
    const CharacterFrameSet* set = FindCharacterFrameSet(player.characterId);
    if (!set) return;
    const std::string archive = CharacterArchiveName(player.characterId, player.colour);
    LoadFramePlanes(archive, "mdl", set->frames, kFramePlaneSize, characterFrameTextures[side],
                    characterFrameModels[side]);
    if (set->actionPrefix) {
        LoadFramePlanes(archive, set->actionPrefix, set->actions, set->actionPlaneSize,
                        characterActionTextures[side], characterActionModels[side]);
    }
    playerItemTexture[side] = CreateTextureFromArchive(archive.c_str(), "item", 1, nullptr);
    playerRingTexture[side] = CreateTextureFromArchive(archive.c_str(), "ring", 1, nullptr);
}

void ReleaseCharacterModels(int32_t side) {
    if (!ValidSide(side)) return;
    ReleaseResource(playerItemTexture[side]);
    ReleaseResource(playerRingTexture[side]);
    ReleaseEach(characterFrameTextures[side]);
    ReleaseEach(characterFrameModels[side]);
    ReleaseEach(characterActionTextures[side]);
    ReleaseEach(characterActionModels[side]);
}

void LoadStage(int32_t stage) {
    if (stage < 0 || stage > 8) return;
    ReleaseBattleModels();
    const StageRecipe& recipe = StageRecipeOf(stage);
    SetFog(recipe.fogStart, recipe.fogEnd, recipe.fogColour);
    for (const StageModelRecipe& model : recipe.models) LoadStageModel(model);
    if (stage == 5) LoadStageXModel();
    if (stage == 7) ScatterStagePoints();
}

void ReleaseBattleModels() {
    ReleaseEach(stageTextures);
    ReleaseEach(stageModels);
}

void ResetBattleAssetState() {
    for (int side = 0; side < 2; ++side) {
        characterFrameTextures[side].clear();
        characterFrameModels[side].clear();
        characterActionTextures[side].clear();
        characterActionModels[side].clear();
        playerItemTexture[side] = nullptr;
        playerRingTexture[side] = nullptr;
    }
    stageTextures.clear();
    stageModels.clear();
    stageScatterPoints.clear();
    battleEffectTexture = nullptr;
    battlePerticleTexture = nullptr;
    battleSystemTexture = nullptr;
    battleNamePlateTexture = nullptr;
    battleMessageTexture = nullptr;
    battleRenderTarget = nullptr;
}
