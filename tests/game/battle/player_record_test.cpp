#include "game/arena/player_record.h"
#include "game/characters/computer_player.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/keyboard.h"
#include "tests/support/battle_fixture.h"

namespace {

using PlayerUpdate = test::BattleFixture;

void RunFrames(int side, int frames) {
    for (int i = 0; i < frames; ++i) UpdatePlayer(side);
}

TEST_F(PlayerUpdate, BattleStartValues) {
    players[0].characterId = 4;
    players[0].colour = 1;
    players[0].netInput = 0x1234;
    players[0].menuButtons[BUTTON_T] = BUTTON_STATE_HELD;
    players[0].buttons[BUTTON_Z] = BUTTON_STATE_HELD;
    players[0].life = 10;
    players[0].modeFlag = 1;
    players[0].hitFlashCounter = 7;
    players[0].ringPhase = 9;
    players[0].objects.resize(40);
    inputWords[0] = 0xFF;
    buttonStates[0][BUTTON_A] = BUTTON_STATE_HELD;
    ResetPlayerForBattle(0);

    const PlayerRecord& p = players[0];
    EXPECT_EQ(p.characterId, 4);
    EXPECT_EQ(p.colour, 1);
    EXPECT_EQ(p.netInput, 0x1234);
    EXPECT_EQ(p.menuButtons[BUTTON_T], BUTTON_STATE_HELD);
    EXPECT_EQ(p.buttons[BUTTON_Z], BUTTON_STATE_UP);
    EXPECT_EQ(p.x, -100.0f);
    EXPECT_EQ(p.previousX, -100.0f);
    EXPECT_EQ(p.life, 6000);
    EXPECT_EQ(p.shownLife, 6000);
    EXPECT_EQ(p.maxLife, 6000);
    EXPECT_EQ(p.comboDamage, -1);
    EXPECT_EQ(p.comboHits, -1);
    EXPECT_EQ(p.active, 1);
    EXPECT_EQ(p.moveFinished, 1);
    EXPECT_EQ(p.autoAim, 1);
    EXPECT_EQ(p.hitShape[2], 8.0f);
    EXPECT_EQ(p.modeFlag, 0);
    EXPECT_EQ(p.hitFlashCounter, 0);
    EXPECT_EQ(p.ringPhase, 0);
    EXPECT_EQ(inputWords[0], 0);
    EXPECT_EQ(buttonStates[0][BUTTON_A], BUTTON_STATE_UP);
    // Character 4's seven satellites, staggered by 20 frames.
    ASSERT_EQ(p.objects.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(p.objects[i].type, 300);
        EXPECT_EQ(p.objects[i].timer, 20 * i);
        EXPECT_EQ(p.objects[i].position[0], -100.0f);
        EXPECT_EQ(p.objects[i].speed, 5.0f);
        EXPECT_EQ(p.objects[i].slowdown, 0.2f);
    }

    EXPECT_EQ(players[1].x, 100.0f);
    EXPECT_TRUE(players[1].objects.empty());
    EXPECT_EQ(players[1].objects.capacity(), 0u);
}

TEST_F(PlayerUpdate, CounterWrapsTo1) {
    players[0].counter = 10000;
    UpdatePlayer(0);
    EXPECT_EQ(players[0].counter, 1);
}

TEST_F(PlayerUpdate, ShownLifeFallsBy4AndRisesAtOnce) {
    players[0].life = 5000;
    RunFrames(0, 249);
    EXPECT_EQ(players[0].shownLife, 5004);
    UpdatePlayer(0);
    EXPECT_EQ(players[0].shownLife, 5000);
    players[0].life = 5500;
    UpdatePlayer(0);
    EXPECT_EQ(players[0].shownLife, 5500);
}

TEST_F(PlayerUpdate, PracticeRefillsLifeExceptWhileKnockedBack) {
    gameMode = MODE_PRACTICE;
    players[0].life = 5990;
    players[0].shownLife = 5990;
    UpdatePlayer(0);
    EXPECT_EQ(players[0].life, 6000);
    EXPECT_EQ(players[0].shownLife, 6000);
    UpdatePlayer(0);
    EXPECT_EQ(players[0].life, 6000);

    players[1].life = 5000;
    players[1].shownLife = 5000;
    players[1].state = PLAYER_KNOCKED_BACK;
    UpdatePlayer(1);
    EXPECT_EQ(players[1].life, 5000);

    gameMode = MODE_1P_VS_2P;
    players[0].life = 5000;
    UpdatePlayer(0);
    EXPECT_EQ(players[0].life, 5000);
}

TEST_F(PlayerUpdate, ComboTimerSettlesAtMinus100) {
    players[0].comboTimer = 120;
    RunFrames(0, 60);
    EXPECT_EQ(players[0].comboTimer, 0);
    UpdatePlayer(0);
    EXPECT_LT(players[0].comboTimer, 0);
    RunFrames(0, 48);
    EXPECT_EQ(players[0].comboTimer, -98);
    UpdatePlayer(0);  // the 110th frame
    EXPECT_EQ(players[0].comboTimer, -100);
    RunFrames(0, 10);
    EXPECT_EQ(players[0].comboTimer, -100);

    players[1].comboTimer = -99;  // odd values stop one lower
    RunFrames(1, 3);
    EXPECT_EQ(players[1].comboTimer, -101);
}

TEST_F(PlayerUpdate, InvulnerabilityStepsTowardZero) {
    players[0].invulnerableTimer = 2;
    players[1].invulnerableTimer = -2;
    for (int frame = 0; frame < 3; ++frame) {
        UpdatePlayer(0);
        UpdatePlayer(1);
    }
    EXPECT_EQ(players[0].invulnerableTimer, 0);
    EXPECT_EQ(players[1].invulnerableTimer, 0);
}

TEST_F(PlayerUpdate, GaugeRatesByModeAndDifficulty) {
    const struct {
        int32_t mode, difficulty, side, life;
        float after60Frames;
        const char* what;
    } cases[] = {
        {MODE_1P_VS_CPU, DIFFICULTY_HARD, 1, 6000, 0.06f, "hard: the computer's side gains"},
        {MODE_1P_VS_CPU, DIFFICULTY_HARD, 1, 2000, 0.12f, "hard, low life: twice"},
        {MODE_1P_VS_CPU, DIFFICULTY_HARD, 0, 2000, 0.0f, "hard: the player's side gains nothing"},
        {MODE_1P_VS_2P, DIFFICULTY_HARD, 1, 6000, 0.06f, "hard holds in every mode"},
        {MODE_1P_VS_CPU, DIFFICULTY_NORMAL, 1, 2000, 0.0f, "normal"},
        {MODE_PRACTICE, DIFFICULTY_NORMAL, 0, 6000, 3.0f, "practice: +0.05 up to 3.0"},
    };
    for (const auto& c : cases) {
        SetUp();
        gameMode = c.mode;
        difficulty = c.difficulty;
        players[c.side].life = c.life;
        players[c.side].maxLife = c.life;  // no practice refill in the way
        RunFrames(c.side, 60);
        EXPECT_NEAR(players[c.side].hyperGauge, c.after60Frames, 1e-4f) << c.what;
    }
}

TEST_F(PlayerUpdate, BoostGaugeDecaysExceptWhileKnockedBack) {
    players[0].characterId = 0;  // no character update runs to touch the gauge
    players[0].boostGauge = 0.015f;
    UpdatePlayer(0);
    EXPECT_NEAR(players[0].boostGauge, 0.005f, 1e-6f);
    UpdatePlayer(0);
    EXPECT_EQ(players[0].boostGauge, 0.0f);

    players[1].boostGauge = 1.0f;
    players[1].state = PLAYER_KNOCKED_BACK;
    UpdatePlayer(1);
    EXPECT_EQ(players[1].boostGauge, 1.0f);
}

TEST_F(PlayerUpdate, BoostGaugeCappedAfterTheCharacterUpdate) {
    players[0].boostGauge = 2.9f;
    Press(0, INPUT_V);  // a dash adds 0.3
    UpdatePlayer(0);
    EXPECT_EQ(players[0].boostGauge, 3.0f);
}

TEST_F(PlayerUpdate, InactiveSideStandsStill) {
    players[0].active = 0;
    players[0].counter = 5;
    players[0].x = 1000.0f;
    UpdatePlayer(0);
    EXPECT_EQ(players[0].counter, 5);
    EXPECT_EQ(players[0].x, 1000.0f);
}

TEST_F(PlayerUpdate, UnknownCharacterStillMeetsTheWall) {
    players[0].characterId = 9;
    players[0].x = 500.0f;
    players[0].y = 0.0f;
    UpdatePlayer(0);
    EXPECT_EQ(players[0].counter, 1);
    EXPECT_FLOAT_EQ(players[0].x, 375.0f);
}

TEST(ArenaWall, OnTheRimStaysOutsideComesBack) {
    const struct {
        float x, y;
        bool moved;
    } cases[] = {
        {375.0f, 0.0f, false}, {0.0f, -375.0f, false}, {-375.0f, 0.0f, false}, {100.0f, 100.0f, false},
        {375.001f, 0.0f, true}, {300.0f, 300.0f, true}, {-2000.0f, 5.0f, true}, {0.0f, 1e30f, true},
    };
    for (const auto& c : cases) {
        float x = c.x, y = c.y;
        ClampToArena(&x, &y);
        if (!c.moved) {
            EXPECT_EQ(x, c.x);
            EXPECT_EQ(y, c.y);
            continue;
        }
        EXPECT_NEAR(std::hypot(x, y), 375.0, 1e-3) << c.x << "," << c.y;
        EXPECT_NEAR(std::atan2(y, x), std::atan2(c.y, c.x), 1e-6) << c.x << "," << c.y;
    }
}

using PlayerInput = test::BattleFixture;

TEST_F(PlayerInput, CountdownMasksHumanWords) {
    heldKeys() = {platform::VK_UP, 'Z', 'V'};
    const struct {
        int32_t countdown;
        InputWord word;
    } cases[] = {{200, 0}, {101, 0}, {100, INPUT_UP | INPUT_V}, {1, INPUT_UP | INPUT_V}, {0, INPUT_UP | INPUT_Z | INPUT_V}};
    for (const auto& c : cases) {
        startCountdown = c.countdown;
        ReadPlayerInput(0);
        ReadPlayerInput(1);
        EXPECT_EQ(inputWords[0], c.word) << "countdown " << c.countdown;
        EXPECT_EQ(inputWords[1], c.word) << "countdown " << c.countdown;  // the keyboard feeds both sides
    }
}

TEST_F(PlayerInput, ComputerSideIgnoresThePads) {
    for (int32_t mode : {MODE_PRACTICE, MODE_1P_VS_CPU, MODE_ARCADE}) {
        for (int32_t paused : {0, 1}) {
            gameMode = mode;
            battlePaused = paused;
            // Side 1's word with the keys held and without: the same.
            InputWord words[2];
            for (int held = 0; held < 2; ++held) {
                heldKeys() = held ? std::set<int>{platform::VK_LEFT, 'X'} : std::set<int>{};
                SeedRandom(9);
                cpuRandomWordA = cpuRandomWordB = 0;
                inputWords[1] = 0xFFFF;
                ReadPlayerInput(0);
                ReadPlayerInput(1);
                words[held] = inputWords[1];
            }
            EXPECT_EQ(inputWords[0], INPUT_LEFT | INPUT_X) << "mode " << mode;
            EXPECT_EQ(words[1], words[0]) << "mode " << mode << " paused " << paused;
            if (paused || mode == MODE_PRACTICE) {
                EXPECT_EQ(words[1], 0) << "mode " << mode << " paused " << paused;
            } else {
                // The computer presses something here, so practice's 0 is the rule's.
                EXPECT_NE(words[1], 0) << "mode " << mode;
            }
        }
    }
}

TEST_F(PlayerInput, NetworkSamplesTheLocalSideOnSendFrames) {
    gameMode = MODE_VS_NETWORK;
    netLocalSide = 1;
    netSendInterval = 3;
    heldKeys() = {'C'};
    inputWords[0] = inputWords[1] = 0x77;

    battleFrame = 4;  // not a send frame
    ReadPlayerInput(0);
    ReadPlayerInput(1);
    EXPECT_EQ(players[1].netInput, 0);

    battleFrame = 6;
    ReadPlayerInput(0);
    ReadPlayerInput(1);
    EXPECT_EQ(players[1].netInput, INPUT_C);
    EXPECT_EQ(players[0].netInput, 0);
    // The final words are settled by the input exchange, not here.
    EXPECT_EQ(inputWords[0], 0x77);
    EXPECT_EQ(inputWords[1], 0x77);

    startCountdown = 50;
    battleFrame = 9;
    ReadPlayerInput(1);
    EXPECT_EQ(players[1].netInput, 0);  // C does not pass the countdown mask
}

}  // namespace
