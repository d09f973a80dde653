#pragma once
// The pictures and models a battle loads at its start and releases at its end.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/roster.h"

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
// Empties the lists and clears the pointers above, as at program start;
// what they held is forgotten, not released (the device lists free it).
void ResetBattleAssetState();

// The roster's picture set of CharacterId 1..8; null for any other id.
const CharacterFrameSet* FindCharacterFrameSet(int32_t characterId);
// "gf\\mdl_" + id + (1 for colour 0, 2 for colour 1) + ".dat"; a colour
// other than 1 names the first costume's archive.
std::string CharacterArchiveName(int32_t characterId, int32_t colour);
// prefix followed by n in two digits: "mdl00" .. "mdl58", "act_sw20".
std::string NumberedKey(const char* prefix, int32_t n);

// Loads the frames, action frames, "item" and "ring" of players[side]'s
// character and colour; an id outside 1..8 loads nothing. Whatever the side
// still held is released first.
void LoadCharacterModels(int32_t side);
// Releases one side's item and ring textures and every Texture and Model of
// its four lists, clearing each pointer and emptying the lists.
void ReleaseCharacterModels(int32_t side);
// Sets the stage's fog and loads its textures and models (stage 0..8; any
// other value loads nothing). A stage still loaded is released first.
void LoadStage(int32_t stage);
void ReleaseBattleModels();
