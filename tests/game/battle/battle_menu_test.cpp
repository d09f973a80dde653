// The in-battle pause menu's states, choices and picture.
#include <gtest/gtest.h>

#include <initializer_list>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_menu.h"
#include "game/battle/battle_scene.h"
#include "game/flow/transitions.h"
#include "tests/support/battle_fixture.h"

namespace {

class BattleMenu : public test::BattleFixture {
protected:
    void SetUp() override {
        BattleFixture::SetUp();
        battleOver = 0;
        battleEndChoice = BATTLE_END_NORMAL;
        transitionRunning = 0;
    }
    void TearDown() override {
        battleOver = 0;
        battlePaused = 0;
        transitionRunning = 0;
        BattleFixture::TearDown();
    }

    // One menu frame with these words on side 0's final buttons.
    static void Frame(InputWord side0 = 0) {
        Press(0, side0);
        Press(1, 0);
        UpdateBattleMenu();
    }
    // Opens the menu and lets it fade in until it takes choices.
    static void OpenAndWait() {
        OpenBattleMenu();
        for (int frame = 0; frame < 30 && battleMenuState == BATTLE_MENU_OPENING; ++frame) Frame();
    }
};

TEST_F(BattleMenu, OpensFadingInAndIgnoresTUntilItTakesChoices) {
    OpenBattleMenu();
    EXPECT_EQ(battlePaused, 1);
    EXPECT_EQ(battleMenuState, BATTLE_MENU_OPENING);
    EXPECT_EQ(battleMenuAlpha, 0.0f);
    Frame(INPUT_T);
    EXPECT_EQ(battleMenuState, BATTLE_MENU_OPENING);
    int frames = 1;
    while (battleMenuState == BATTLE_MENU_OPENING && frames < 40) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(battleMenuState, BATTLE_MENU_CHOOSING);
    EXPECT_EQ(battleMenuAlpha, 1.0f);
    EXPECT_GE(frames, 20);
    EXPECT_LE(frames, 21);
}

TEST_F(BattleMenu, NeverOpensOnceTheBattleIsOver) {
    battleOver = 1;
    OpenBattleMenu();
    EXPECT_EQ(battlePaused, 0);
}

TEST_F(BattleMenu, EachEntryChoosesItsWayOut) {
    const struct {
        std::initializer_list<InputWord> moves;
        int32_t cursor, choice;
    } cases[] = {
        {{}, 0, BATTLE_END_SELECT},
        {{INPUT_DOWN}, 1, BATTLE_END_RETRY},
        {{INPUT_DOWN, 0, INPUT_DOWN}, 2, BATTLE_END_TITLE},
        {{INPUT_UP}, 2, BATTLE_END_TITLE},                  // up wraps from the top
        {{INPUT_DOWN, 0, INPUT_DOWN, 0, INPUT_DOWN}, 0, BATTLE_END_SELECT},  // down wraps from the bottom
        {{INPUT_DOWN | INPUT_Z}, 1, BATTLE_END_RETRY},      // the cursor moves before the choice
    };
    for (const auto& c : cases) {
        SetUp();
        OpenAndWait();
        for (InputWord move : c.moves) Frame(move);
        if (battleMenuState == BATTLE_MENU_CHOOSING) Frame(INPUT_Z);
        EXPECT_EQ(battleMenuCursor, c.cursor);
        EXPECT_EQ(battleEndChoice, c.choice);
        EXPECT_EQ(battleOver, 1);
        EXPECT_EQ(transitionRunning, 1);
        EXPECT_EQ(battleMenuState, BATTLE_MENU_CHOSEN);
        Frame(INPUT_X);  // a chosen menu takes no more buttons
        EXPECT_EQ(battleMenuState, BATTLE_MENU_CHOSEN);
    }
}

TEST_F(BattleMenu, ChoosingAndCancellingTogetherChoosesThenFades) {
    OpenAndWait();
    Frame(INPUT_Z | INPUT_X);
    EXPECT_EQ(battleOver, 1);
    EXPECT_EQ(battleEndChoice, BATTLE_END_SELECT);
    EXPECT_EQ(battleMenuState, BATTLE_MENU_CLOSING);
    EXPECT_EQ(transitionRunning, 1);
}

TEST_F(BattleMenu, CancelFadesOutAndGivesBackTheButtonsOfThePause) {
    Press(0, INPUT_Z | INPUT_LEFT);
    Press(0, INPUT_Z | INPUT_LEFT | INPUT_T);  // Z and left held, T just pressed
    OpenAndWait();
    Frame(INPUT_T);  // T again cancels
    EXPECT_EQ(battleMenuState, BATTLE_MENU_CLOSING);
    int frames = 0;
    while (battlePaused && frames < 40) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(battlePaused, 0);
    EXPECT_GE(frames, 20);
    EXPECT_EQ(buttonStates[0][BUTTON_Z], BUTTON_STATE_HELD);
    EXPECT_EQ(buttonStates[0][BUTTON_LEFT], BUTTON_STATE_HELD);
    EXPECT_EQ(buttonStates[0][BUTTON_T], BUTTON_STATE_PRESSED);
    EXPECT_EQ(battleOver, 0);
}

TEST_F(BattleMenu, SideZerosLivePadWorksAndSideOnesDoesNot) {
    OpenAndWait();
    Frame();
    players[1].buttons[BUTTON_Z] = BUTTON_STATE_PRESSED;
    UpdateBattleMenu();
    EXPECT_EQ(battleOver, 0);
    players[1].buttons[BUTTON_Z] = BUTTON_STATE_UP;
    players[0].buttons[BUTTON_Z] = BUTTON_STATE_PRESSED;
    UpdateBattleMenu();
    EXPECT_EQ(battleOver, 1);
    players[0].buttons[BUTTON_Z] = BUTTON_STATE_UP;
}

TEST_F(BattleMenu, LabelsSlideInAndTheHighlightedOneIsBrightest) {
    EXPECT_TRUE(BattleMenuQuads().empty());
    OpenBattleMenu();
    std::vector<OverlayQuad> quads = BattleMenuQuads();
    ASSERT_EQ(quads.size(), 6u);
    // Fully faded out: first and third labels 50 to the left, second 50 to the right.
    EXPECT_EQ(quads[1].destination, (ScreenRect{170, 160, 370, 200}));
    EXPECT_EQ(quads[3].destination, (ScreenRect{270, 220, 470, 260}));
    EXPECT_EQ(quads[5].destination, (ScreenRect{170, 280, 370, 320}));
    // Two frames in, the alpha is the float 0.1 (a little above it): the slide
    // (1 - alpha) x -50, taken in double, is -44.99999993 and truncates to 44.
    UpdateBattleMenu();
    UpdateBattleMenu();
    EXPECT_EQ(BattleMenuQuads()[1].destination, (ScreenRect{176, 160, 376, 200}));
    OpenAndWait();
    Frame(INPUT_DOWN);
    quads = BattleMenuQuads();
    const struct {
        size_t quad;
        OverlaySheet sheet;
        ScreenRect destination, source;
        uint32_t colour;
    } expected[] = {
        {0, OverlaySheet::Transition, {0, 155, 640, 205}, {0, 0, 30, 30}, 0x55FFFFFF},
        {1, OverlaySheet::BattleSystem, {220, 160, 420, 200}, {0, 240, 199, 279}, 0x55FFFFFF},
        {3, OverlaySheet::BattleSystem, {220, 220, 420, 260}, {0, 280, 199, 319}, 0xFFFFFFFF},
        {5, OverlaySheet::BattleSystem, {220, 280, 420, 320}, {0, 320, 199, 359}, 0x55FFFFFF},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(quads[e.quad], (OverlayQuad{e.sheet, e.destination, e.source, e.colour})) << "quad " << e.quad;
    }
}

}  // namespace
