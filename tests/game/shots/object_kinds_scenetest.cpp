// A scripted battle of every object kind: character 4's satellites take
// orders, character 5's side launches and circles objects, and both sides lay
// Effects and attack areas of many codes on each other, with Shots and
// HeavyShots coming from the satellites. Run twice from the same seed it must
// pass through the same states frame by frame; drawing every frame must not
// change that.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/player_record.h"
#include "game/shots/attack_areas.h"
#include "game/shots/effects.h"
#include "game/shots/player_objects.h"
#include "tests/game/shots/object_kinds_fixture.h"
#include "tests/support/object_battle.h"

namespace {

constexpr int32_t satelliteOrders[] = {301, 302, 303, 304, 305, 306, 320, 330, 340, 350, 360};
constexpr int32_t effectCodes[] = {11,  12,  21,  22,  31,  310, 311, 315,  522,  635,  636, 740,
                                   900, 890, 620, 1000, 1001, 1005, 1100, 1101, 1300, 1301, 520, 730};
constexpr int32_t areaCodes[] = {10,  101, 120, 121, 201, 210, 220, 221, 301, 302, 311, 402,
                                 501, 502, 503, 510, 513, 540, 630, 635, 640, 720, 730, 801, 830};

// The frame's draw comes first, as in the battle; it must leave no trace.
void Draw() {
    EffectSprites();
    AttackAreaSprites();
    PlayerObjectSprites(0);
    PlayerObjectSprites(1);
}

void Script(int32_t frame) {
    Draw();
    PlayerRecord& perila = players[0];
    PlayerRecord& ruo = players[1];
    perila.modeFlag = frame / 300 % 3;  // formation modes 0, 1 and around the opponent
    ruo.modeFlag = frame / 200 % 2;     // the power-up counter
    if (frame % 30 == 0 && !perila.objects.empty()) {
        const int32_t slot = frame / 30 % static_cast<int32_t>(perila.objects.size());
        PlayerObject& satellite = perila.objects[static_cast<size_t>(slot)];
        satellite.type = satelliteOrders[frame / 30 % std::size(satelliteOrders)];
        satellite.timer = satellite.type == 360 ? -20 : 0;
    }
    if (frame % 90 == 0) ruo.objects.push_back(test::SideObject(frame % 180 == 0 ? 410 : 420, ruo.x + 60.0f, ruo.y));
    if (frame == 0)
        for (int32_t k = 0; k < 3; ++k) ruo.objects.push_back(test::SideObject(600, ruo.x, ruo.y));
    if (frame % 7 == 0) {
        const int32_t side = frame / 7 % 2;
        const float at[2] = {players[side].x, players[side].y + 20.0f};
        SpawnEffect(effectCodes[frame / 7 % std::size(effectCodes)], static_cast<float>(frame) * 0.1f, at, side);
    }
    if (frame % 5 == 0) {
        const int32_t owner = frame / 5 % 2;
        const PlayerRecord& victim = players[1 - owner];
        const float at[2] = {victim.x + 10.0f, victim.y};
        const int32_t index = SpawnAttackArea(areaCodes[frame / 5 % std::size(areaCodes)], 0.5f, at, owner);
        attackAreaList.Adjust(index, [](AttackArea& a) {
            if (a.hitShape[0] == 0.0f && a.hitShape[2] == 0.0f) a.hitShape[2] = 30.0f;  // callers size these
        });
    }
}

class ObjectKindsBattle : public test::BattleObjectsFixture {
protected:
    std::vector<uint64_t> Battle(uint32_t seed) {
        TearDown();
        SetUp();
        players[0].characterId = 4;
        players[1].characterId = 5;
        ResetPlayerForBattle(0);
        ResetPlayerForBattle(1);
        spawnTrace = nullptr;
        gameMode = MODE_1P_VS_CPU;
        SeedRandom(seed);
        return test::RunScriptedBattle(Script, 3000);
    }
};

TEST_F(ObjectKindsBattle, RunsTwiceAlike) {
    const std::vector<uint64_t> first = Battle(77);
    ASSERT_GT(first.size(), 200u);
    EXPECT_EQ(battleOver, 1) << "ended by a knock-out";
    EXPECT_EQ(std::min(players[0].life, players[1].life), 0);
    const std::vector<uint64_t> second = Battle(77);
    EXPECT_EQ(first, second);
    EXPECT_NE(Battle(78), first) << "the seed reaches the state";
}

}  // namespace
