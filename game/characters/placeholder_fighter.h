#pragma once
// Stand-in for the characters and the computer player until their own
// routines exist: every character but kirune is the same plain fighter, and
// the computer player presses nothing.
#include <cstdint>
#include <vector>

#include "game/characters/character_actions.h"
#include "game/characters/kirune.h"

// The per-frame update of each character (CharacterId 2..8), called by
// UpdatePlayer; these run the placeholder fighter for now.
void UpdateBemo(int32_t side);
void UpdateOza(int32_t side);
void UpdatePerila(int32_t side);
void UpdateRuo(int32_t side);
void UpdateTorvi(int32_t side);
void UpdateNebu(int32_t side);
void UpdateWelo(int32_t side);

// The drawing of each character (CharacterId 2..8), called by DrawPlayer;
// these draw the placeholder fighter for now.
void DrawBemo(int32_t side);
void DrawOza(int32_t side);
void DrawPerila(int32_t side);
void DrawRuo(int32_t side);
void DrawTorvi(int32_t side);
void DrawNebu(int32_t side);
void DrawWelo(int32_t side);

// The computer player's InputWord for side; 0 for now, with no random draws.
void GenerateCpuInput(uint16_t* word, int32_t side);

// The placeholder fighter: moves with the arrows, dashes on V (boosted while V
// is held), is thrown while knocked back and then recovers, and counts its
// knock-out time in stateTimer.
void UpdatePlaceholderFighter(int32_t side);

// Its picture: the first four frame Models as an idle cycle on counter,
// facing the opponent; nothing from the 180th frame of a knock-out on.
std::vector<CharacterModelDraw> PlaceholderModelDraws(int32_t side);
void DrawPlaceholderFighter(int32_t side);
