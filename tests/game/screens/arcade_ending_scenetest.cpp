// A whole arcade run at NORMAL from the title's menu, through the real
// scenes, that earns the extra stage: the animation comes before the extra
// battle, the staff roll after it, then the ranking's name entry; the clear
// is kept in system.dat and the score in ranking.dat. The extra menu opens
// each viewer and comes back to it.
//
// Side 0 does not fight for itself: once each battle is under way the test
// sets the computer side's life to 0, and the battle scene's own knock-out
// ends the battle as a quick, perfect win.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/screens/title_menu.h"
#include "platform/keyboard.h"
#include "tests/support/battle_run.h"

namespace {

class ArcadeEndingTest : public testing::Test {
protected:
    void SetUp() override { run.UseRealDrawing(false); }

    // Taps `key` every other frame until `done`; whether it came.
    template <typename Done>
    bool TapUntil(int key, Done done, int limit = 3000) {
        for (int frames = 0; frames < limit && !done(); frames += 2) {
            scene().Tap(key);
            if (!done()) scene().RunFrames(1);
        }
        return done();
    }
    test::SceneHarness& scene() { return run.scene(); }

    void OpenArcadeAt(int32_t level) {
        ASSERT_TRUE(TapUntil('Z', [] { return sceneNumber == SCENE_TITLE; }));
        ASSERT_TRUE(TapUntil('Z', [] { return titleState == TITLE_MAIN; }));
        ASSERT_EQ(titleCursor, MAIN_ITEM_ARCADE);
        ASSERT_TRUE(TapUntil('Z', [] { return titleState == TITLE_ARCADE_DIFFICULTY; }));
        ASSERT_TRUE(TapUntil(platform::VK_DOWN, [&] { return titleCursor == level; }));
        ASSERT_TRUE(TapUntil('Z', [] { return sceneNumber == SCENE_SELECT; }));
    }

    test::BattleRun run;
};

TEST_F(ArcadeEndingTest, ANormalRunEarnsTheExtraStageTheStaffRollAndTheRanking) {
    SeedRandom(1);
    OpenArcadeAt(DIFFICULTY_NORMAL);
    ASSERT_EQ(gameMode, MODE_ARCADE);
    ASSERT_EQ(difficulty, DIFFICULTY_NORMAL);

    // The scenes in the order entered, each once per visit.
    std::vector<int32_t> visits;
    int battleFrames = 0;
    for (int frames = 0; frames < 200000 && sceneNumber != SCENE_TITLE; ++frames) {
        if (visits.empty() || visits.back() != sceneNumber) visits.push_back(sceneNumber);
        if (sceneNumber == SCENE_BATTLE) {
            if (++battleFrames == 400 && players[1].life > 0) players[1].life = 0;
            scene().RunFrames(1);
            continue;
        }
        battleFrames = 0;
        scene().Tap('Z');
        scene().RunFrames(1);
    }
    ASSERT_EQ(sceneNumber, SCENE_TITLE);
    // Six stages, then the animation before the extra stage, then the roll.
    std::vector<int32_t> expected = {SCENE_SELECT};
    for (int stage = 0; stage < 6; ++stage)
        expected.insert(expected.end(), {SCENE_VERSUS, SCENE_BATTLE, SCENE_RESULT});
    expected.insert(expected.end(), {SCENE_ANIMATION, SCENE_VERSUS, SCENE_BATTLE, SCENE_RESULT, SCENE_STAFF_ROLL});
    EXPECT_EQ(visits, expected);
    const int32_t score = arcadeScore, id = players[0].characterId;
    EXPECT_GT(score, 0);

    // The title opens on the name entry; five Z spell a name and keep it.
    scene().RunFrames(2);
    ASSERT_EQ(titleState, TITLE_NAME_ENTRY);
    ASSERT_TRUE(TapUntil('Z', [] { return titleState != TITLE_NAME_ENTRY; }));

    std::memset(&systemData, 0, sizeof systemData);
    std::memset(rankingTables, 0, sizeof rankingTables);
    LoadSystemData();
    LoadRanking();
    EXPECT_EQ(systemData.cleared[DIFFICULTY_NORMAL][id], 1);
    EXPECT_EQ(systemData.extraUnlocked, 1);
    const RankingEntry& top = rankingTables[DIFFICULTY_NORMAL].entries[0];
    EXPECT_EQ(top.characterId, id);
    EXPECT_EQ(top.score, score);
}

}  // namespace
