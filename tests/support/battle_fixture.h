#pragma once
// A battle ready for one frame's updates: both sides reset at their start
// points, the object and particle lists empty, the view 640 world units wide
// about the origin, no countdown, the generator seeded with 0 and the keyboard
// replaced by a scripted set of held keys.
#include <gtest/gtest.h>

#include <set>

#include "engine/core/math.h"
#include "engine/devices/network.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/battle/match_rules.h"
#include "game/characters/character_routines.h"
#include "game/flow/input_words.h"
#include "game/flow/run_state.h"
#include "game/start/game_start.h"

namespace test {

class BattleFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGameState();
        heldKeys().clear();
        SetKeyStateSource([](int vk) -> int16_t { return heldKeys().count(vk) ? int16_t(-128) : int16_t(0); });
        InitCharacterParams();
        gameMode = MODE_1P_VS_2P;
        difficulty = DIFFICULTY_NORMAL;
        netConnected = 0;
        netSendInterval = 2;
        netLocalSide = 0;
        stageNumber = 1;
        viewWidth = 640.0f;
        viewHeight = 480.0f;
        players[0].characterId = 1;
        players[1].characterId = 2;
        ResetPlayerForBattle(0);
        ResetPlayerForBattle(1);
        SeedRandom(0);
    }
    void TearDown() override { SetKeyStateSource(nullptr); }

    // Keys (virtual-key codes) that read as held until changed.
    static std::set<int>& heldKeys() {
        static std::set<int> keys;
        return keys;
    }

    // Gives a side's button states as one frame of the word would.
    static void Press(int side, InputWord word) {
        inputWords[side] = word;
        UpdateButtonStates(&inputWords[side], buttonStates[side]);
    }
};

}  // namespace test
