// The animation viewer, the story viewer and the staff roll run headless:
// their phases and timings, the keys each answers, and their ways out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/arena/roster.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/animation_viewer.h"
#include "game/screens/staff_roll.h"
#include "game/screens/story_viewer.h"
#include "game/screens/title_menu.h"
#include "platform/keyboard.h"
#include "tests/support/scene_harness.h"

namespace {

using platform::VK_DOWN;
using platform::VK_LEFT;
using platform::VK_RIGHT;

void Enter(int32_t scene) {
    sceneNumber = scene;
    sceneInitPending = 1;
}

// Presses every key of `keys` in one frame, then lets them go for a frame,
// so the next press counts as a new one.
void Press(test::SceneHarness& harness, const std::vector<int>& keys) {
    for (int key : keys) harness.Hold(key);
    harness.RunFrames(1);
    for (int key : keys) harness.Release(key);
    harness.RunFrames(1);
}

// ---- animation viewer ----

class AnimationViewerTest : public testing::Test {
protected:
    void SetUp() override {
        animationNextScene = SCENE_TITLE;
        titleStartState = -1;
        Enter(SCENE_ANIMATION);
    }
    test::SceneHarness harness;
};

TEST_F(AnimationViewerTest, PhasesRunTheirLengthsAndEachFadeTakesAHundredFrames) {
    // The frame (counted from 1, the entry) at which each phase begins.
    struct Change {
        int32_t phase;
        int frame;
    };
    std::vector<Change> seen;
    int32_t phase = -1;
    int frame = 0;
    for (; frame < 3000 && sceneNumber == SCENE_ANIMATION; ++frame) {
        harness.RunFrames(1);
        if (sceneNumber == SCENE_ANIMATION && animationPhase != phase) seen.push_back({phase = animationPhase, frame + 1});
    }
    // 512 frames of the title picture; the first sequence's 480 frames, then
    // its fade (100 steps and the frame that sees it end); the second's 600
    // and its fade; 350 of the closing screen; its fade.
    const std::vector<std::pair<int32_t, int>> expected = {
        {ANIMATION_TITLE, 1}, {ANIMATION_FIRST, 512}, {ANIMATION_SECOND, 512 + 480 + 101},
        {ANIMATION_CLOSING, 512 + 480 + 101 + 600 + 101}, {ANIMATION_LEAVING, 512 + 480 + 101 + 600 + 101 + 350},
    };
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].phase, expected[i].first) << i;
        EXPECT_EQ(seen[i].frame, expected[i].second) << i;
    }
    EXPECT_EQ(frame, expected.back().second + 101);
    EXPECT_EQ(sceneNumber, SCENE_TITLE);
    EXPECT_EQ(sceneInitPending, 1);
    EXPECT_EQ(titleStartState, TITLE_START_EXTRA);  // the title opens on the extra menu
}

TEST_F(AnimationViewerTest, TheFirstSequenceFadesInAndDrifts) {
    harness.RunFrames(512);
    EXPECT_EQ(animationPhase, ANIMATION_FIRST);
    EXPECT_EQ(transitionKind, TRANSITION_FADE_IN);
    EXPECT_FLOAT_EQ(transitionSpeed, 0.01f);
    harness.RunFrames(100);
    EXPECT_FLOAT_EQ(animationScroll, 20.0f);  // drifting by 0.2 a frame
}

TEST_F(AnimationViewerTest, ZSkipsFromAnyPhaseAndFreezesTheTimer) {
    struct Case {
        int framesBefore;
        int32_t phase, timer;
    };
    const Case cases[] = {{10, ANIMATION_TITLE, 10}, {512 + 150, ANIMATION_FIRST, 150},
                          {512 + 480 + 101 + 599, ANIMATION_SECOND, 599}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.framesBefore);
        SetUp();
        harness.RunFrames(c.framesBefore);
        ASSERT_EQ(animationPhase, c.phase);
        ASSERT_EQ(animationTimer, c.timer);
        harness.Tap('Z');
        EXPECT_EQ(animationPhase, ANIMATION_LEAVING);
        EXPECT_EQ(transitionKind, TRANSITION_FADE_OUT);
        EXPECT_FLOAT_EQ(transitionSpeed, 0.01f);
        harness.RunFrames(50);
        harness.Tap('Z');  // a second Z does not restart the fade
        EXPECT_EQ(animationTimer, c.timer);
        EXPECT_EQ(harness.RunUntilScene(SCENE_TITLE, 200), 50);
    }
}

TEST_F(AnimationViewerTest, LeavesToTheSceneItWasGiven) {
    struct Case {
        int32_t next, titleState;
    };
    for (const Case& c : {Case{SCENE_VERSUS, -1}, Case{SCENE_TITLE, TITLE_START_EXTRA}}) {
        SetUp();
        animationNextScene = c.next;
        harness.RunFrames(1);
        harness.Tap('Z');
        EXPECT_GT(harness.RunUntilScene(c.next, 200), 0);
        EXPECT_EQ(titleStartState, c.titleState);
    }
}

TEST(AnimationStills, CrossFadePairsAndTheRepeatingTail) {
    struct Case {
        int32_t phase, t;
        StillPair pair;
    };
    const Case cases[] = {
        {ANIMATION_FIRST, 0, {0, 1, 0}},     {ANIMATION_FIRST, 25, {1, 2, 60}},
        {ANIMATION_FIRST, 59, {2, 1, 228}},  {ANIMATION_FIRST, 79, {1, 0, 228}},
        {ANIMATION_FIRST, 80, {0, 1, 0}},    {ANIMATION_SECOND, 0, {3, 4, 0}},
        {ANIMATION_SECOND, 29, {3, 4, 232}}, {ANIMATION_SECOND, 210, {10, 7, 0}},
        {ANIMATION_SECOND, 240, {7, 8, 0}},  {ANIMATION_SECOND, 330, {10, 7, 0}},
        {ANIMATION_SECOND, 360, {7, 8, 0}},  {ANIMATION_SECOND, 599, {10, 7, 232}},
    };
    for (const Case& c : cases) {
        const StillPair p = AnimationStills(c.phase, c.t);
        EXPECT_EQ(p.base, c.pair.base) << c.phase << " t " << c.t;
        EXPECT_EQ(p.next, c.pair.next) << c.phase << " t " << c.t;
        EXPECT_EQ(p.nextAlpha, c.pair.nextAlpha) << c.phase << " t " << c.t;
    }
}

TEST(AnimationLineAlpha, RisesHoldsAndFalls) {
    const std::pair<int32_t, int32_t> cases[] = {{101, 12}, {119, 228}, {120, 240}, {280, 240}, {281, 228}, {299, 12}};
    for (auto [t, alpha] : cases) EXPECT_EQ(AnimationLineAlpha(t, 100, 300), alpha) << t;
}

// ---- story viewer ----

class StoryViewerTest : public testing::Test {
protected:
    void Open(int32_t character) {
        extraItem = character;
        Enter(SCENE_STORY);
        harness.RunFrames(1);
    }
    void Play(const std::vector<std::vector<int>>& frames) {
        for (const auto& keys : frames) Press(harness, keys);
    }
    test::SceneHarness harness;
};

TEST_F(StoryViewerTest, KeysTurnPagesAndLeaveAsTheStateAllows) {
    struct Case {
        const char* name;
        int32_t character;
        int turnsFirst;  // Z presses before the script
        std::vector<std::vector<int>> script;
        int32_t state, page;
    };
    const int torviLast = 15;
    const Case cases[] = {
        {"X with the background alone", 1, 0, {{'X'}, {VK_LEFT}}, STORY_BACKGROUND, 0},
        {"RIGHT opens page 0", 1, 0, {{VK_RIGHT}}, STORY_PAGES, 0},
        {"Z opens page 0, Z turns", 1, 0, {{'Z'}, {'Z'}}, STORY_PAGES, 1},
        {"LEFT on page 0", 1, 1, {{VK_LEFT}}, STORY_PAGES, 0},
        {"LEFT turns back", 1, 1, {{'Z'}, {'Z'}, {VK_LEFT}}, STORY_PAGES, 1},
        {"X leaves from a page", 1, 1, {{'X'}}, STORY_LEAVING, 0},
        {"X leaves on the frame LEFT turned back", 1, 1, {{'Z'}, {VK_LEFT, 'X'}}, STORY_LEAVING, 0},
        {"RIGHT on the last page", 6, 1 + torviLast, {{VK_RIGHT}}, STORY_PAGES, torviLast},
        {"Z on the last page", 6, 1 + torviLast, {{'Z'}}, STORY_LEAVING, torviLast},
        {"RIGHT and Z on the last page", 6, 1 + torviLast, {{VK_RIGHT, 'Z'}}, STORY_LEAVING, torviLast},
        {"no story: X leaves", 9, 0, {{'Z'}, {'X'}}, STORY_LEAVING, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.character);
        for (int i = 0; i < c.turnsFirst; ++i) Press(harness, {'Z'});
        Play(c.script);
        EXPECT_EQ(storyState, c.state);
        EXPECT_EQ(storyPage, c.page);
        if (c.state == STORY_LEAVING) {
            EXPECT_GT(harness.RunUntilScene(SCENE_TITLE, 300), 0);
            EXPECT_EQ(sceneInitPending, 1);
        }
    }
}

TEST_F(StoryViewerTest, LastPagesFollowTheCharacter) {
    const std::pair<int32_t, int32_t> cases[] = {{1, 27}, {2, 25}, {3, 25}, {4, 18}, {5, 21}, {6, 15}, {7, 21}};
    for (auto [id, last] : cases) {
        Open(id);
        EXPECT_EQ(storyLastPage, last) << id;
        EXPECT_EQ(StoryLastPage(id), last) << id;
    }
    for (int32_t id : {0, 8, -1, 100}) EXPECT_EQ(StoryLastPage(id), -1) << id;
    EXPECT_EQ(StoryPageKey(1, 7), "st_kirune_07");
    EXPECT_EQ(StoryPageKey(7, 21), "st_nebu_21");
    EXPECT_EQ(StoryPageKey(4, 10), "st_perila_10");
}

TEST_F(StoryViewerTest, ThePageFadesInOnlyOnceTheBackgroundIsDark) {
    Open(2);
    harness.Tap(VK_RIGHT);  // the pages open; the dimming starts next frame
    int frames = 0;
    for (; storyDimAlpha < 1.0f && frames < 100; ++frames) {
        EXPECT_EQ(storyPageAlpha, 0.0f) << frames;
        harness.RunFrames(1);
    }
    // Steps of 0.02 in single precision fall just short of 1 after fifty.
    EXPECT_EQ(frames, 51);
    EXPECT_EQ(storyPageAlpha, 0.0f);
    harness.RunFrames(9);
    EXPECT_LT(storyPageAlpha, 1.0f);
    harness.RunFrames(1);
    EXPECT_FLOAT_EQ(storyPageAlpha, 1.0f);
    // Every turn restarts the page's fade: 10 frames to full again.
    for (int key : {int('Z'), int(VK_LEFT)}) {
        harness.Tap(key);
        EXPECT_EQ(storyPageAlpha, 0.0f) << key;
        harness.RunFrames(9);
        EXPECT_LT(storyPageAlpha, 1.0f) << key;
        harness.RunFrames(1);
        EXPECT_FLOAT_EQ(storyPageAlpha, 1.0f) << key;
    }
}

// ---- staff roll ----

class StaffRollTest : public testing::Test {
protected:
    void SetUp() override { Enter(SCENE_STAFF_ROLL); }
    test::SceneHarness harness;
};

TEST(StaffStrips, StartOnlyAfterTheirStartRiseAndLeaveAtTheTop) {
    struct Case {
        int strip;
        float s;
        bool shown;
        int32_t y;
    };
    const Case cases[] = {
        {0, 50.0f, false, 0},   {0, 51.0f, true, 549},   {0, 1249.0f, true, -49}, {0, 1250.0f, false, -50},
        {1, 900.0f, false, 0},  {1, 902.0f, true, 549},  {6, 2601.0f, true, 739}, {6, 4600.0f, false, -260},
        {6, 4598.0f, true, -259}, {7, 4000.5f, true, 549}, {7, 4660.0f, true, 220}, {7, 5200.0f, true, 220},
    };
    for (const Case& c : cases) {
        const StaffStrip strip = StaffStripAt(c.strip, c.s);
        EXPECT_EQ(strip.shown, c.shown) << c.strip << " at " << c.s;
        if (c.shown) {
            EXPECT_EQ(strip.y, c.y) << c.strip << " at " << c.s;
        }
    }
}

TEST_F(StaffRollTest, WithoutInputTheRollEndsAfterPassing5000AndItsFade) {
    harness.RunFrames(1);
    EXPECT_EQ(transitionKind, TRANSITION_FADE_IN);
    EXPECT_FLOAT_EQ(transitionSpeed, 0.02f);
    harness.RunFrames(4999);
    EXPECT_EQ(staffRollState, STAFF_ROLL_SCROLLING);  // s is 5000, not above
    harness.RunFrames(1);
    EXPECT_EQ(staffRollState, STAFF_ROLL_LEAVING);
    EXPECT_EQ(transitionKind, TRANSITION_FADE_OUT);
    EXPECT_EQ(harness.RunUntilScene(SCENE_TITLE, 200), 51);
    EXPECT_EQ(sceneInitPending, 1);
}

TEST_F(StaffRollTest, HoldingXRunsFiveTimesAsFastUntilTheFade) {
    harness.RunFrames(1);
    harness.Hold('X');
    int frames = 1;
    while (staffRollState == STAFF_ROLL_SCROLLING && frames < 6000) {
        harness.RunFrames(1);
        ++frames;
    }
    EXPECT_EQ(frames, 1001);  // s: 1, then 5 a frame past 5000
    const float s = staffRollScroll;
    harness.RunFrames(10);
    EXPECT_FLOAT_EQ(staffRollScroll, s + 10.0f);  // X is ignored while fading
}

TEST_F(StaffRollTest, ZEndsTheRollAtOnce) {
    harness.RunFrames(300);
    harness.Tap('Z');
    EXPECT_EQ(staffRollState, STAFF_ROLL_LEAVING);
    EXPECT_EQ(harness.RunUntilScene(SCENE_TITLE, 200), 51);
}

// ---- from the extra menu and back ----

TEST(ExtraMenuViewers, EachViewerOpensFromTheExtraMenuAndReturnsToIt) {
    test::SceneHarness harness;
    for (int32_t id = 1; id <= CHARACTER_COUNT; ++id) systemData.cleared[DIFFICULTY_EASY][id] = 1;
    systemData.extraUnlocked = 1;
    auto tapUntil = [&](int key, auto done) {
        for (int frames = 0; frames < 3000 && !done(); frames += 2) {
            harness.Tap(key);
            if (!done()) harness.RunFrames(1);
        }
        return done();
    };
    struct Case {
        int32_t item, scene;
        int leaveKey;
    };
    const Case cases[] = {{1, SCENE_STORY, 'X'}, {6, SCENE_STORY, 'X'}, {EXTRA_ITEM_ANIMATION, SCENE_ANIMATION, 'Z'}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        titleStartState = TITLE_START_EXTRA;
        extraItem = 1;
        Enter(SCENE_TITLE);
        harness.RunFrames(60);
        ASSERT_EQ(titleState, TITLE_EXTRA);
        ASSERT_TRUE(tapUntil(VK_DOWN, [&] { return titleCursor == c.item - 1; }));
        ASSERT_TRUE(tapUntil('Z', [&] { return sceneNumber == c.scene; }));
        harness.RunFrames(1);
        if (c.scene == SCENE_STORY) {
            EXPECT_EQ(storyLastPage, StoryLastPage(c.item));
            Press(harness, {'Z'});  // X only works once the pages show
        }
        ASSERT_TRUE(tapUntil(c.leaveKey, [] { return sceneNumber == SCENE_TITLE; }));
        harness.RunFrames(60);
        EXPECT_EQ(titleState, TITLE_EXTRA);
        EXPECT_EQ(titleCursor, c.item - 1);
    }
}

}  // namespace
