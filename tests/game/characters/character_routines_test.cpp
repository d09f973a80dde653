#include "game/characters/character_routines.h"

#include <gtest/gtest.h>

#include "game/arena/roster.h"

namespace {

// A character added to the roster without its code would leave null
// routines for the battle to call.
TEST(CharacterRoutines, EveryRosterCharacterHasAllItsRoutinesAndNoOtherIdHasAny) {
    for (int32_t id = 1; id <= CHARACTER_COUNT; ++id) {
        const CharacterRoutines* r = FindCharacterRoutines(id);
        ASSERT_NE(r, nullptr) << ROSTER[id - 1].name;
        EXPECT_TRUE(r->update && r->draw && r->modelDraws && r->cpuInput) << ROSTER[id - 1].name;
    }
    for (int32_t id : {-1, 0, CHARACTER_COUNT + 1, 20}) {
        EXPECT_EQ(FindCharacterRoutines(id), nullptr) << id;
        EXPECT_EQ(FindRosterEntry(id), nullptr) << id;
    }
}

}  // namespace
