#include "game/battle/battle_assets.h"

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

// Not built yet: the loaders land with the battle asset work.
void LoadCharacterModels(int32_t) {}
void LoadStage(int32_t) {}
void ReleaseBattleModels() {}
