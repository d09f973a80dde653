// The battle's end rules that need no scene: who wins, the time bonus and the
// timer a battle starts with.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"

namespace {

TEST(BattleWinner, LifeThenBestComboDamageThenStrictlyMoreHits) {
    const struct {
        int32_t life[2], damage[2], hits[2];
        int32_t winner;
    } cases[] = {
        {{3000, 2000}, {0, 900}, {0, 9}, 0},    // life decides first
        {{2000, 3000}, {900, 0}, {9, 0}, 1},
        {{2000, 2000}, {901, 900}, {0, 9}, 0},  // then the best combo's damage
        {{2000, 2000}, {900, 901}, {9, 0}, 1},
        {{2000, 2000}, {900, 900}, {10, 9}, 0}, // then side 0 only with more hits
        {{2000, 2000}, {900, 900}, {9, 10}, 1},
        {{2000, 2000}, {900, 900}, {9, 9}, 1},  // a full tie goes to side 1
        {{0, 0}, {0, 0}, {0, 0}, 1},            // a double knock-out too
    };
    for (const auto& c : cases) {
        for (int side = 0; side < 2; ++side) {
            players[side].life = c.life[side];
            players[side].bestComboDamage = c.damage[side];
            players[side].bestComboHits = c.hits[side];
        }
        EXPECT_EQ(DecideWinner(), c.winner) << "life " << c.life[0] << "/" << c.life[1] << " damage " << c.damage[0]
                                            << "/" << c.damage[1] << " hits " << c.hits[0] << "/" << c.hits[1];
    }
}

TEST(BattleTimeBonus, FallsFromTheCountdownsEndAndIsClamped) {
    const struct {
        int32_t frames, bonus;
    } cases[] = {
        {0, 10000},   {201, 10000}, {1534, 10000}, {1535, 9999},  // 12000 - trunc(1334 * 1.5)
        {4201, 6000}, {8134, 101},  {8135, 0},     {8201, 0},     // 99 is below 100
        {std::numeric_limits<int32_t>::max(), 0},   // no overflow however long
        {std::numeric_limits<int32_t>::min(), 10000},
    };
    for (const auto& c : cases) EXPECT_EQ(ComputeTimeBonus(c.frames), c.bonus) << c.frames << " frames";
}

class StartingTimer : public testing::Test {
protected:
    void TearDown() override {
        replayPlayback = 0;
        config.noTimeLimit = 0;
        replayHeader = ReplayHeader{};
    }
};

TEST_F(StartingTimer, FollowsModeAndSettingLiveAndTheRecordingInPlayback) {
    const struct {
        int32_t mode;
        uint8_t setting;
        bool playback;
        uint8_t recorded;  // the replay's time-limit byte
        int32_t timer;
    } cases[] = {
        {MODE_1P_VS_2P, 0, false, 0, 99},
        {MODE_1P_VS_2P, 1, false, 0, 100},
        {MODE_1P_VS_CPU, 1, false, 0, 100},
        {MODE_ARCADE, 0, false, 0, 99},
        {MODE_VS_NETWORK, 1, false, 0, 99},  // network play always has the limit
        {MODE_PRACTICE, 0, false, 0, 100},   // practice never
        {MODE_1P_VS_2P, 1, true, 0, 99},     // playback follows the recording, not the setting
        {MODE_1P_VS_2P, 0, true, 1, 100},
        {MODE_VS_NETWORK, 0, true, 1, 99},   // a network replay keeps its limit
        {MODE_PRACTICE, 0, true, 0, 100},
    };
    for (const auto& c : cases) {
        config.noTimeLimit = c.setting;
        replayPlayback = c.playback;
        gameMode = c.mode == MODE_VS_NETWORK && c.playback ? MODE_1P_VS_2P : c.mode;
        replayHeader = ReplayHeader{};
        replayHeader.gameMode = c.mode;
        replayHeader.reserved[0] = c.recorded;
        EXPECT_EQ(StartingBattleTimer(), c.timer)
            << "mode " << c.mode << " setting " << int(c.setting) << " playback " << c.playback;
    }
}

}  // namespace
