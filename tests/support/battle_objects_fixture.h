#pragma once
// A battle fixture for the object and hit code: the fighters of characters 1
// and 2 at (-100, 0) and (100, 0), every spawner call traced, and the sound
// effects table standing in with silent entries, so that a test can see which
// effects were asked for in a frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/flow/sound_tables.h"
#include "tests/support/battle_fixture.h"

namespace test {

class BattleObjectsFixture : public BattleFixture {
protected:
    void SetUp() override {
        BattleFixture::SetUp();
        battleTimer = 99;
        battleOver = 0;
        spawnTrace = &spawns;
        soundOff = 0;
        seTable.assign(SE_COUNT, SeEntry{0, {nullptr}});  // a null sound plays nothing
    }
    void TearDown() override {
        spawnTrace = nullptr;
        seTable.clear();
        BattleFixture::TearDown();
    }

    // The sound effects asked for since the last call.
    std::vector<int32_t> TakeSounds() {
        std::vector<int32_t> played;
        for (int32_t id = 0; id < SE_COUNT; ++id)
            if (seTable[id].playedThisFrame) played.push_back(id);
        ClearSePlayedFlags();
        return played;
    }
    // The spawner calls of one kind since the last TakeSpawns.
    std::vector<SpawnRequest> Spawned(ObjectKind kind) const {
        std::vector<SpawnRequest> of;
        std::copy_if(spawns.begin(), spawns.end(), std::back_inserter(of),
                     [kind](const SpawnRequest& r) { return r.kind == kind; });
        return of;
    }
    std::vector<int32_t> SpawnedTypes(ObjectKind kind) const {
        std::vector<int32_t> types;
        for (const SpawnRequest& r : Spawned(kind)) types.push_back(r.type);
        return types;
    }
    void TakeSpawns() { spawns.clear(); }

    // The number of calls of update after which the list is empty, or -1
    // when it is still not after `limit`.
    template <class Record, class Update>
    static int32_t UpdatesUntilEmpty(ObjectList<Record>& list, Update update, int32_t limit) {
        for (int32_t n = 1; n <= limit; ++n) {
            update();
            if (list.Size() == 0) return n;
        }
        return -1;
    }

    std::vector<SpawnRequest> spawns;
};

}  // namespace test
