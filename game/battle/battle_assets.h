#pragma once
// The pictures and models a battle loads at its start and releases at its end.
#include <cstdint>
#include <vector>

#include "engine/core/math.h"

class Model;
class Texture;

// Per side, filled by LoadCharacterModels, released by EndBattle.
extern std::vector<Texture*> characterFrameTextures[2];
extern std::vector<Model*> characterFrameModels[2];
extern std::vector<Texture*> characterActionTextures[2];
extern std::vector<Model*> characterActionModels[2];
extern Texture* playerItemTexture[2];
extern Texture* playerRingTexture[2];

// The stage, filled by LoadStage, released by ReleaseBattleModels.
extern std::vector<Texture*> stageTextures;
extern std::vector<Model*> stageModels;
extern std::vector<Vector3> stageScatterPoints;

// The battle's own pictures, loaded by InitBattle and released by EndBattle.
extern Texture* battleEffectTexture;
extern Texture* battlePerticleTexture;
extern Texture* battleSystemTexture;
extern Texture* battleNamePlateTexture;
extern Texture* battleMessageTexture;
extern Texture* battleRenderTarget;

void LoadCharacterModels(int32_t side);
void LoadStage(int32_t stage);
void ReleaseBattleModels();
