#include "game/characters/character_routines.h"

#include "game/arena/player_record.h"
#include "game/arena/roster.h"
#include "game/characters/bemo.h"
#include "game/characters/bemo_drawing.h"
#include "game/characters/computer_player.h"
#include "game/characters/kirune.h"
#include "game/characters/kirune_drawing.h"
#include "game/characters/nebu.h"
#include "game/characters/nebu_drawing.h"
#include "game/characters/oza.h"
#include "game/characters/oza_drawing.h"
#include "game/characters/perila.h"
#include "game/characters/perila_drawing.h"
#include "game/characters/ruo.h"
#include "game/characters/ruo_drawing.h"
#include "game/characters/torvi.h"
#include "game/characters/torvi_drawing.h"
#include "game/characters/welo.h"
#include "game/characters/welo_drawing.h"

namespace {

// In roster order.
constexpr CharacterRoutines ROUTINES[CHARACTER_COUNT] = {
    {UpdateKirune, DrawKirune, KiruneModelDraws, GenerateCpuInputKirune},
    {UpdateBemo, DrawBemo, BemoModelDraws, GenerateCpuInputBemo},
    {UpdateOza, DrawOza, OzaModelDraws, GenerateCpuInputOza},
    {UpdatePerila, DrawPerila, PerilaModelDraws, GenerateCpuInputPerila},
    {UpdateRuo, DrawRuo, RuoModelDraws, GenerateCpuInputRuo},
    {UpdateTorvi, DrawTorvi, TorviModelDraws, GenerateCpuInputTorvi},
    {UpdateNebu, DrawNebu, NebuModelDraws, GenerateCpuInputNebu},
    {UpdateWelo, DrawWelo, WeloModelDraws, GenerateCpuInputWelo},
};

void UpdateCharacter(int32_t side) {
    if (const CharacterRoutines* routines = FindCharacterRoutines(players[side].characterId)) routines->update(side);
}

}  // namespace

const CharacterRoutines* FindCharacterRoutines(int32_t characterId) {
    return FindRosterEntry(characterId) ? &ROUTINES[characterId - 1] : nullptr;
}

void InitCharacterParams() {
    for (int32_t id = 1; id <= CHARACTER_COUNT; ++id) characterParams[id] = FindRosterEntry(id)->params;
    characterCalls = {UpdateCharacter, GenerateCpuInput};
}
