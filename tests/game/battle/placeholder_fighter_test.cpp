#include "game/characters/placeholder_fighter.h"
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/battle_fixture.h"

namespace {

// Side 0 plays character 7, which has character 1's dash and boost speeds but
// still runs the placeholder (characters 1 and 8 have their own updates).
class PlaceholderFighter : public test::BattleFixture {
protected:
    void SetUp() override {
        BattleFixture::SetUp();
        players[0].characterId = 7;
    }
};

TEST_F(PlaceholderFighter, ArrowsMoveByTheCharactersSpeed) {
    const struct {
        int32_t character;
        InputWord word;
        float dx, dy;
    } cases[] = {
        {7, INPUT_RIGHT | INPUT_UP, 2.5f, 2.5f},
        {2, INPUT_LEFT, -5.0f, 0.0f},
        {6, INPUT_DOWN, 0.0f, -2.0f},
        {4, INPUT_LEFT | INPUT_RIGHT, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        SetUp();
        players[0].characterId = c.character;
        Press(0, c.word);
        UpdatePlayer(0);
        EXPECT_FLOAT_EQ(players[0].x, -100.0f + c.dx) << "character " << c.character;
        EXPECT_FLOAT_EQ(players[0].y, c.dy) << "character " << c.character;
        EXPECT_EQ(players[0].state, PLAYER_FREE);
    }
}

TEST_F(PlaceholderFighter, DashRunsOutAndEnds) {
    players[0].counter = 77;
    Press(0, INPUT_V | INPUT_UP);
    UpdatePlayer(0);
    const PlayerRecord& p = players[0];
    EXPECT_EQ(p.state, PLAYER_DASH);
    EXPECT_EQ(p.moveFinished, 0);
    EXPECT_EQ(p.counter, 0);
    EXPECT_FLOAT_EQ(p.aimAngle, 1.5707964f);
    EXPECT_NEAR(p.y, 13.0f, 1e-4f);   // one frame at dash speed along the arrow
    EXPECT_NEAR(p.boostGauge, 0.3f, 1e-6f);
    EXPECT_DOUBLE_EQ(p.speed, 13.0 - 0.8);

    Press(0, 0);
    int frames = 1;
    while (players[0].state == PLAYER_DASH && frames < 100) {
        UpdatePlayer(0);
        ++frames;
    }
    EXPECT_EQ(players[0].state, PLAYER_FREE);
    EXPECT_EQ(players[0].moveFinished, 1);
    EXPECT_EQ(players[0].speed, 0.0);
    EXPECT_EQ(frames, 18);  // 13.0 falls by 0.8 a frame until it is no longer positive
}

TEST_F(PlaceholderFighter, DashWithoutArrowsFacesTheOpponent) {
    Press(0, INPUT_V);
    Press(1, INPUT_V);
    UpdatePlayer(0);
    UpdatePlayer(1);
    EXPECT_EQ(players[0].aimAngle, 0.0f);  // side 0 stands left of side 1
    EXPECT_EQ(players[1].aimAngle, 3.1415927f);
}

TEST_F(PlaceholderFighter, HeldBoostKeepsTheDashAtBoostSpeed) {
    Press(0, INPUT_V);
    UpdatePlayer(0);
    for (int i = 0; i < 30; ++i) {
        Press(0, INPUT_V);  // held from now on
        UpdatePlayer(0);
    }
    EXPECT_EQ(players[0].state, PLAYER_DASH);
    EXPECT_DOUBLE_EQ(players[0].speed, 10.0 - 0.8);  // character 1's boost speed, less the frame's decay
}

TEST_F(PlaceholderFighter, KnockedBackIsThrownThenRecovers) {
    PlayerRecord& p = players[1];
    p.state = PLAYER_KNOCKED_BACK;
    p.moveAngle = 0.0;
    p.speed = 10.0;
    UpdatePlayer(1);
    EXPECT_FLOAT_EQ(p.x, 110.0f);
    for (int i = 0; i < 19; ++i) UpdatePlayer(1);
    EXPECT_EQ(p.state, PLAYER_KNOCKED_BACK);
    UpdatePlayer(1);
    EXPECT_EQ(p.state, PLAYER_FREE);
    EXPECT_EQ(p.moveFinished, 1);
}

TEST_F(PlaceholderFighter, KnockedOutCountsAndIgnoresInput) {
    PlayerRecord& p = players[0];
    p.state = PLAYER_KNOCKED_OUT;
    for (int i = 0; i < 50; ++i) {
        Press(0, INPUT_V | INPUT_RIGHT);
        UpdatePlayer(0);
    }
    EXPECT_EQ(p.stateTimer, 50);
    EXPECT_EQ(p.x, -100.0f);
}

TEST_F(PlaceholderFighter, PictureIdlesFacingTheOpponentAndGoesAfterAKnockOut) {
    const struct {
        int32_t state, stateTimer, counter;
        float x, opponentX;
        int32_t pose;  // -1: nothing drawn
        bool mirrored;
    } cases[] = {
        {PLAYER_FREE, 0, 0, -100, 100, 0, false},
        {PLAYER_FREE, 0, 15, -100, 100, 1, false},
        {PLAYER_DASH, 3, 31, -100, 100, 3, false},
        {PLAYER_FREE, 0, 32, 100, -100, 0, true},
        {PLAYER_FREE, 0, 0, 7, 7, 0, true},  // equal x faces left
        {PLAYER_KNOCKED_OUT, 179, 0, -100, 100, 0, false},
        {PLAYER_KNOCKED_OUT, 180, 0, -100, 100, -1, false},
    };
    for (const auto& c : cases) {
        players[0].state = c.state, players[0].stateTimer = c.stateTimer, players[0].counter = c.counter;
        players[0].x = c.x, players[1].x = c.opponentX;
        const auto draws = PlaceholderModelDraws(0);
        if (c.pose < 0) {
            EXPECT_TRUE(draws.empty()) << c.state << " " << c.stateTimer;
            continue;
        }
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].kind, CharacterModelKind::Frame);
        EXPECT_EQ(draws[0].index, c.pose) << c.counter;
        EXPECT_EQ(draws[0].x, c.x);
        EXPECT_FALSE(draws[0].turn.rolled);
        EXPECT_EQ(draws[0].turn.mirrored, c.mirrored) << c.x << " " << c.opponentX;
    }
}

}  // namespace
