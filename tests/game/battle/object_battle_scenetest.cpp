// A scripted battle of objects: the two fighters stand and fire Shots and
// HeavyShots of many codes at each other until one is knocked out. Run twice
// from the same seed it must pass through the same states frame by frame.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/player_record.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/battle_objects_fixture.h"
#include "tests/support/object_battle.h"

namespace {


constexpr int32_t shotCodes[] = {110, 210, 221, 225, 231, 301, 310, 315, 320, 410, 420, 510, 610,
                                 620, 630, 701, 702, 703, 710, 715, 720, 721, 730, 740, 770, 801, 802};
constexpr int32_t heavyShotCodes[] = {101, 102, 103, 121, 210, 220, 230, 302, 310, 401, 402, 403, 411,
                                      420, 510, 512, 520, 610, 611, 612, 701, 703, 720, 721, 730, 740,
                                      741, 750, 760, 770, 801, 802, 803, 830};

// Every tenth frame a graze line stands across each fighter's front (in
// place of the dash effects) and side 1 lays an attack area on side 0.
void GrazeAndStrike(int32_t frame) {
    if (frame % 10 != 0) return;
    effectList.Clear();
    for (int32_t side = 0; side < 2; ++side) {
        Effect line{};
        line.owner = side;
        line.type = 1001;
        line.position[0] = players[side].x + (side == 0 ? 30.0f : -30.0f);
        line.position[1] = players[side].y;
        line.angle = PI_F / 2.0f;
        line.strength = 1.0f;
        line.scale = 1.0f;
        effectList.Append(line);
    }
    AttackArea area{};
    area.type = frame % 20 == 0 ? 201 : 11;
    area.owner = 1;
    area.position[0] = players[0].x;
    area.position[1] = players[0].y + 15.0f;
    area.hitShape[2] = 10.0f;
    area.power = 30;
    area.knockBackSpeed = 4.0f;
    area.knocksBack = 1;
    attackAreaList.Append(area);
}

// Every fourth frame one side fires at the other, the sides and the two
// kinds taking turns, each kind walking through its codes.
void Fire(int32_t frame) {
    GrazeAndStrike(frame);
    if (frame % 4 != 0) return;
    const int32_t turn = frame / 4;
    const int32_t side = turn % 2;
    const PlayerRecord& self = players[side];
    const PlayerRecord& other = players[1 - side];
    const float at[2] = {self.x, self.y};
    const float aim = static_cast<float>(std::atan2(static_cast<double>(other.y) - self.y,
                                                    static_cast<double>(other.x) - self.x));
    if (turn / 2 % 2 == 0) SpawnShot(shotCodes[turn / 4 % std::size(shotCodes)], aim, at, side);
    else SpawnHeavyShot(heavyShotCodes[turn / 4 % std::size(heavyShotCodes)], aim, at, side);
}

class ObjectBattle : public test::BattleObjectsFixture {
protected:
    // A fresh battle against the computer from a seed, run to its end.
    std::vector<uint64_t> Battle(uint32_t seed) {
        TearDown();
        SetUp();
        spawnTrace = nullptr;  // a long run: keep no trace
        gameMode = MODE_1P_VS_CPU;
        SeedRandom(seed);
        return test::RunScriptedBattle(Fire, 20000);
    }
};

TEST_F(ObjectBattle, RunsToAKnockOutTwiceAlike) {
    const std::vector<uint64_t> first = Battle(4321);
    ASSERT_EQ(battleOver, 1);
    EXPECT_TRUE(players[0].state == PLAYER_KNOCKED_OUT || players[1].state == PLAYER_KNOCKED_OUT);
    EXPECT_GT(battleTimer, 0) << "ended by the knock-out, not the clock";
    EXPECT_EQ(std::min(players[0].life, players[1].life), 0);
    EXPECT_GT(players[0].bestComboHits, 0);
    EXPECT_GT(players[1].bestComboHits, 0);

    const std::vector<uint64_t> second = Battle(4321);
    EXPECT_EQ(first.size(), second.size());
    EXPECT_EQ(first, second);

    EXPECT_NE(Battle(4322), first) << "the seed reaches the state";
}

}  // namespace
