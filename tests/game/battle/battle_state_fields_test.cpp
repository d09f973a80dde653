// The field-by-field listing of the battle state, which names what two builds
// disagree on: each change to the state shows in the whole-state hash and in
// exactly one listed field, under the name of that field.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/player_record.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_objects_fixture.h"

namespace {

class BattleStateFields : public test::BattleObjectsFixture {
protected:
    // The names of the listed fields whose values differ between the lists.
    static std::vector<std::string> Changed(const std::vector<test::StateField>& before,
                                            const std::vector<test::StateField>& after) {
        std::vector<std::string> names;
        EXPECT_EQ(before.size(), after.size());
        for (size_t i = 0; i < before.size() && i < after.size(); ++i) {
            EXPECT_EQ(before[i].name, after[i].name);
            if (before[i].hash != after[i].hash) names.push_back(after[i].name);
        }
        return names;
    }
};

TEST_F(BattleStateFields, EachChangeIsNamedByOneFieldAndChangesTheHash) {
    const float at[2] = {10.0f, 20.0f};
    ASSERT_GE(SpawnEffect(12, 0.5f, at, 0), 0);
    ASSERT_GE(SpawnEffect(12, 0.25f, at, 1), 0);
    struct Case {
        const char* field;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"players[1].x", [] { players[1].x += 0.5f; }},
        {"players[0].life", [] { players[0].life -= 1; }},
        {"effectList[1].angle", [] { effectList[1].angle = -effectList[1].angle; }},
        {"effectList[0].position", [] { effectList[0].position[1] += 1.0f; }},
        {"battleTimer", [] { battleTimer -= 1; }},
        {"GetRandomState()", [] { SeedRandom(GetRandomState() + 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const uint64_t hashBefore = test::HashBattleState();
        const std::vector<test::StateField> before = test::BattleStateFields();
        c.change();
        EXPECT_NE(test::HashBattleState(), hashBefore);
        EXPECT_EQ(Changed(before, test::BattleStateFields()), std::vector<std::string>{c.field});
    }
}

TEST_F(BattleStateFields, ARecordMoreNamesTheListSize) {
    const std::vector<test::StateField> before = test::BattleStateFields();
    const float at[2] = {0.0f, 0.0f};
    ASSERT_GE(SpawnEffect(12, 0.0f, at, 0), 0);
    const std::vector<test::StateField> after = test::BattleStateFields();
    ASSERT_GT(after.size(), before.size());
    size_t first = 0;
    while (first < before.size() && before[first].name == after[first].name &&
           before[first].hash == after[first].hash) {
        ++first;
    }
    ASSERT_LT(first, after.size());
    EXPECT_EQ(after[first].name, "effectList.Size()");
}

}  // namespace
