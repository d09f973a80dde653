#pragma once
// Pieces of the characters' scripted fights through the battle scene: the
// arrows toward the other fighter, kirune as an opponent that keeps off and
// then closes in, and a fight to a knock-out that runs alike twice and from
// its recording.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <set>
#include <utility>
#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "tests/support/battle_run.h"

namespace test {

// The arrows from one fighter toward another, on each axis on which it is
// more than the slack off.
InputWord Toward(const PlayerRecord& from, const PlayerRecord& to, float slackX, float slackY);
inline InputWord Toward(const PlayerRecord& from, const PlayerRecord& to, float slack) {
    return Toward(from, to, slack, slack);
}

// Kirune keeps its distance and shoots now and then until the other side has
// shown its hyper attack; then it closes in and slashes.
InputWord KiruneKeepsOffThenCloses(int kiruneSide, bool hyperShown, int32_t frame);

// A fight of a scripted Fighter (on side `side`, its characterId) against
// kirune at HARD with no time limit, through the battle scene to a
// knock-out: the loser lies knocked out with no life left, the fighter
// entered every one of `states`, and the fight runs again with the same
// states frame by frame and the same result, and once more from its
// recording. A Fighter gives its word of a frame, the states it entered and
// whether its hyper attack has come.
template <class Fighter>
void ExpectEveryMoveThenAKnockOutReplays(int side, int32_t characterId, std::initializer_list<int32_t> states) {
    constexpr int kFrameLimit = 30000;
    BattleRun run;
    BattleSetup setup;
    setup.characters[1 - side] = 1;
    setup.characters[side] = characterId;
    setup.difficulty = DIFFICULTY_HARD;
    setup.noTimeLimit = 1;  // the fight ends by a knock-out
    const auto fight = [&] {
        Fighter fighter;
        run.SetScript([&](int s, int32_t frame) {
            return s == side ? fighter(frame) : KiruneKeepsOffThenCloses(1 - side, fighter.hyperDone(), frame);
        });
        run.Start(setup);
        run.RunToEnd(kFrameLimit);
        run.SetScript(nullptr);
        return std::pair{run.hashes(), fighter.visited()};
    };
    const auto [live, visited] = fight();
    ASSERT_TRUE(run.ended());
    ASSERT_EQ(sceneNumber, SCENE_RESULT);
    const int32_t loser = 1 - winnerSide;
    ASSERT_EQ(players[loser].state, PLAYER_KNOCKED_OUT);
    ASSERT_EQ(players[loser].life, 0);
    for (const int32_t state : states)
        EXPECT_TRUE(visited.count(state)) << "character " << characterId << " never entered state " << state;
    const BattleResult result = battleResult;

    ExpectSameFrames(fight().first, live, "the second run");
    EXPECT_EQ(battleResult, result);

    ExpectPlaybackMatches(run, live, kFrameLimit);
}

}  // namespace test
