#pragma once
// The code of each character, CharacterId 1 to 8: what the battle calls to
// move, draw and play a side of that character. The character's facts are in
// the roster (game/arena/roster.h).
#include <cstdint>
#include <vector>

#include "game/characters/character_steps.h"
#include "game/flow/input_words.h"

struct CharacterRoutines {
    void (*update)(int32_t side);  // one battle frame
    void (*draw)(int32_t side);
    std::vector<CharacterModelDraw> (*modelDraws)(int32_t side);  // what draw draws, in order
    void (*cpuInput)(InputWord* word, int32_t side);               // the computer player's routine
};

// The routines of CharacterId 1..8; null for any other id.
const CharacterRoutines* FindCharacterRoutines(int32_t characterId);

// Fills the player record's characterParams from the roster and its
// characterCalls with the side's character's update and the computer player.
void InitCharacterParams();
