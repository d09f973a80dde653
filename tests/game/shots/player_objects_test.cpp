#include "game/shots/player_objects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/arena/battle_state.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/sound_tables.h"
#include "game/shots/object_rules.h"
#include "tests/game/shots/object_kinds_fixture.h"

namespace {

// Side 0 plays character 4 with its seven satellites at its start point.
class PlayerObjects : public test::ObjectKindsFixture {
protected:
    void SetUp() override {
        test::ObjectKindsFixture::SetUp();
        players[0].characterId = 4;
        ResetPlayerForBattle(0);
    }
    PlayerObject& Object(int32_t i) { return players[0].objects[static_cast<size_t>(i)]; }
    // Gives satellite i an order.
    void Order(int32_t i, int32_t type, int32_t timer = 0) {
        Object(i).type = type;
        Object(i).timer = timer;
    }
};

float Direction(float fromX, float fromY, float toX, float toY) {
    return static_cast<float>(std::atan2(static_cast<double>(toY) - fromY, static_cast<double>(toX) - fromX));
}

TEST_F(PlayerObjects, BattleStartGivesSevenCirclingSatellites) {
    ASSERT_EQ(players[0].objects.size(), 7u);
    for (int32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(Object(i).type, SATELLITE_CIRCLING);
        EXPECT_EQ(Object(i).timer, 20 * i);
        EXPECT_EQ(Object(i).speed, 5.0f);
    }
}

TEST_F(PlayerObjects, SatellitesCircleTheirSlotPoints) {
    players[1].x = 150.0f;
    players[1].y = 60.0f;
    const struct {
        int32_t modeFlag;
        int32_t ownerState;
        float radius;
        bool aroundOpponent;
        float moveFactor;
    } cases[] = {
        {0, PLAYER_FREE, 40, false, 1},
        {1, PLAYER_FREE, 150, false, 1},
        {2, PLAYER_FREE, 100, true, 1},
        {0, PLAYER_DASH, 40, false, 2},
    };
    for (const auto& c : cases) {
        ResetPlayerForBattle(0);
        players[0].modeFlag = c.modeFlag;
        players[0].state = c.ownerState;
        Object(3).heading = 0.3f;
        Object(3).speed = 8.0f;
        const PlayerObject before = Object(3);
        UpdatePlayerObjects(0);
        const PlayerObject& o = Object(3);
        // Moved along the old heading, then turned toward the slot point.
        const float step = 8.0f * c.moveFactor;
        EXPECT_NEAR(o.position[0], before.position[0] + step * std::cos(0.3f), 1e-4f) << c.modeFlag;
        EXPECT_NEAR(o.position[1], before.position[1] + step * std::sin(0.3f), 1e-4f) << c.modeFlag;
        float slot[2] = {c.radius, 0.0f};
        RotateVector2(slot, 3 * SLOT_ANGLE);
        const PlayerRecord& centre = players[c.aroundOpponent ? 1 : 0];
        float wanted = 0.3f;
        TurnAngleToward(&wanted, Direction(o.position[0], o.position[1], centre.x + slot[0], centre.y + slot[1]), 0.15f);
        EXPECT_FLOAT_EQ(o.heading, wanted) << c.modeFlag;
        EXPECT_LE(std::fabs(o.heading - 0.3f), 0.15f + 1e-6f);
        EXPECT_FLOAT_EQ(o.angle, Direction(players[0].x, players[0].y, players[1].x, players[1].y));
        EXPECT_FLOAT_EQ(o.speed, 7.8f);
        EXPECT_EQ(o.timer, 61);
    }
    // The speed does not fall below 5, and a timer above 150 starts again.
    ResetPlayerForBattle(0);
    Object(6).timer = 150;
    for (int32_t n = 0; n < 3; ++n) UpdatePlayerObjects(0);
    EXPECT_EQ(Object(0).speed, 5.0f);
    EXPECT_EQ(Object(6).timer, 2);
}

TEST_F(PlayerObjects, OrdersFireOnTheirTimersAndReturnToCircling) {
    const struct {
        int32_t order, delay;
        ObjectKind kind;
        int32_t code;
        std::vector<int32_t> firesOn;  // updates (1-based) that spawn code
        int32_t backOn;               // update after which the type is 300 again
    } cases[] = {
        {301, 0, ObjectKind::HeavyShot, 401, {6}, 31},
        {301, -5, ObjectKind::HeavyShot, 401, {11}, 36},
        {302, 0, ObjectKind::HeavyShot, 420, {11}, 51},
        {302, 0, ObjectKind::Effect, 401, {11, 21, 31}, 51},
        {303, 0, ObjectKind::Shot, 410, {11, 16, 21}, 51},
        {304, 0, ObjectKind::HeavyShot, 403, {11, 16, 21}, 51},
        {305, 0, ObjectKind::HeavyShot, 402, {11}, 31},
        {306, 0, ObjectKind::Shot, 420, {6}, 31},
        {350, 0, ObjectKind::HeavyShot, 421, {11}, 51},
        {330, 0, ObjectKind::AttackArea, 402, {5, 9, 13}, -1},  // then 331 until its own end
    };
    for (const auto& c : cases) {
        ResetPlayerForBattle(0);
        Order(2, c.order, c.delay);
        std::vector<int32_t> fired;
        int32_t back = -1;
        for (int32_t n = 1; n <= 60 && back < 0; ++n) {
            TakeSpawns();
            UpdatePlayerObjects(0);
            for (const SpawnRequest& r : Spawned(c.kind))
                if (r.type == c.code && r.owner == 0) fired.push_back(n);
            if (Object(2).type == SATELLITE_CIRCLING) back = n;
        }
        // Every satellite circles too; only the ordered one fires.
        fired.erase(std::unique(fired.begin(), fired.end()), fired.end());
        EXPECT_EQ(fired, c.firesOn) << c.order << " delay " << c.delay;
        if (c.backOn > 0) {
            EXPECT_EQ(back, c.backOn) << c.order << " delay " << c.delay;
        }
    }
}

TEST_F(PlayerObjects, BeamsReachFromTheirMuzzle) {
    Order(0, 302);
    Object(0).position[0] = 0.0f;
    Object(0).position[1] = 0.0f;
    players[1].x = 0.0f;
    players[1].y = 100.0f;  // aimed straight up
    for (int32_t n = 0; n < 11; ++n) UpdatePlayerObjects(0);
    const std::vector<SpawnRequest> beams = Spawned(ObjectKind::HeavyShot);
    ASSERT_EQ(beams.size(), 1u);
    EXPECT_NEAR(beams[0].position[0], 0.0f, 1e-3f);
    EXPECT_NEAR(beams[0].position[1], 605.0f, 1e-3f);
    EXPECT_EQ(TakeSounds(), std::vector<int32_t>{SE_RAY});
}

TEST_F(PlayerObjects, ScatterShotDrawsTwiceAndTurnsItsShot) {
    Order(1, 306);  // odd slot: s = +1
    const float aim = Direction(Object(1).position[0], Object(1).position[1], players[1].x, players[1].y);
    const uint32_t before = GetRandomState();
    UpdatePlayerObjects(0);
    EXPECT_EQ(test::RandomDrawsSince(before), 2);
    SeedRandom(before);
    const float headingOffset = RandomFloat(0.2f, 1.2f);
    const float angleOffset = RandomFloat(0.2f, 1.2f);
    EXPECT_FLOAT_EQ(Object(1).heading, aim + headingOffset);
    EXPECT_FLOAT_EQ(Object(1).angle, aim + angleOffset);
    for (int32_t n = 0; n < 5; ++n) UpdatePlayerObjects(0);
    ASSERT_EQ(shotList.Size(), 1);
    EXPECT_EQ(shotList[0].type, 420);
    EXPECT_FLOAT_EQ(shotList[0].param, -0.025f);
    EXPECT_EQ(shotList[0].heading, Object(1).heading);
}

TEST_F(PlayerObjects, WingOrdersChainBackToCircling) {
    Order(4, 321);
    std::vector<int32_t> types;
    for (int32_t n = 0; n < 11 + 26 + 11; ++n) {
        UpdatePlayerObjects(0);
        if (types.empty() || types.back() != Object(4).type) types.push_back(Object(4).type);
    }
    EXPECT_EQ(types, (std::vector<int32_t>{321, 322, 323, 300}));
    // 321 hands over with speed 20 and slowdown 2; its HeavyShot hits softer.
    ResetPlayerForBattle(0);
    heavyShotList.Clear();
    Order(4, 321);
    for (int32_t n = 0; n < 11; ++n) UpdatePlayerObjects(0);
    EXPECT_EQ(Object(4).type, 322);
    EXPECT_EQ(Object(4).speed, 20.0f);
    EXPECT_EQ(Object(4).slowdown, 2.0f);
    ASSERT_EQ(heavyShotList.Size(), 1);
    EXPECT_EQ(heavyShotList[0].damage, 40);
    EXPECT_EQ(heavyShotList[0].knockBackSpeed, 4.0f);
}

TEST_F(PlayerObjects, SpinningBladesKeepTheirEdgeOnlyOnStrikeTimers) {
    Order(0, 340);
    for (int32_t timer = 0; timer <= 31; ++timer) {
        attackAreaList.Clear();
        UpdatePlayerObjects(0);
        if (timer > 30) {
            EXPECT_EQ(attackAreaList.Size(), 0);
            break;
        }
        ASSERT_EQ(attackAreaList.Size(), 4) << timer;
        const bool strikes = timer == 10 || timer == 15 || timer == 20;
        // timer x 0.1 in double, rounded once.
        const float scale = static_cast<float>(timer < 10 ? timer * 0.1 : timer > 20 ? (30 - timer) * 0.1 : 1.0);
        for (int32_t k = 0; k < 4; ++k) {
            const AttackArea& a = attackAreaList[k];
            EXPECT_EQ(a.type, 430);
            EXPECT_EQ(a.hitShape[0], strikes ? 35.0f : 0.0f) << timer;
            EXPECT_EQ(a.hitShape[1], strikes ? 15.0f : 0.0f) << timer;
            EXPECT_EQ(a.scaleY, scale) << timer;
            const float dx = a.position[0] - Object(0).position[0];
            const float dy = a.position[1] - Object(0).position[1];
            EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), 20.0f, 1e-3f);
        }
    }
}

TEST_F(PlayerObjects, RingOrderTakesItsPlaceThenSweeps) {
    Order(5, 360, -20);  // odd slot: its heading turns by -0.1
    for (int32_t n = 0; n < 20; ++n) UpdatePlayerObjects(0);
    EXPECT_EQ(attackAreaList.Size(), 0) << "no blades while it approaches";
    UpdatePlayerObjects(0);  // timer 0: on its point
    float point[2] = {0.0f, 50.0f};
    const double slotAngle = 5 * 0.8975979;  // slot 5 of 7, in double
    RotateVector2(point, slotAngle);
    EXPECT_FLOAT_EQ(Object(5).position[0], players[0].x + point[0]);
    EXPECT_FLOAT_EQ(Object(5).position[1], players[0].y + point[1]);
    EXPECT_EQ(Object(5).heading, static_cast<float>(slotAngle + double{3.1415927f} / 2.0));
    for (int32_t timer = 1; timer <= 40; ++timer) {
        attackAreaList.Clear();
        TakeSpawns();
        float heading = static_cast<float>(Object(5).heading - 0.1);  // the turn in double, rounded once
        if (heading > PI_F) heading -= TWO_PI_F;  // any heading above pi wraps, whichever way it turns
        UpdatePlayerObjects(0);
        EXPECT_EQ(Object(5).heading, heading) << timer;
        ASSERT_EQ(attackAreaList.Size(), 4) << timer;
        EXPECT_EQ(attackAreaList[0].hitShape[0], timer == 16 || timer == 24 ? 35.0f : 0.0f) << timer;
        EXPECT_FLOAT_EQ(attackAreaList[0].angle, heading);
        const std::vector<int32_t> heavy = SpawnedTypes(ObjectKind::HeavyShot);
        const size_t expected = timer == 10 ? 1 : timer == 12 || timer == 18 ? 4 : 0;
        EXPECT_EQ(heavy.size(), expected) << timer;
        if (timer == 10) {
            EXPECT_EQ(heavy[0], 422);
        }
    }
    for (int32_t n = 0; n < 10; ++n) UpdatePlayerObjects(0);
    EXPECT_EQ(Object(5).type, SATELLITE_CIRCLING);
}

TEST_F(PlayerObjects, LaunchersWaitAimStrikeAndFade) {
    players[1].characterId = 5;
    ResetPlayerForBattle(1);
    const struct {
        int32_t type;
        int32_t waits;  // updates before it aims
        int32_t power;
        int32_t flies;  // updates of 411 / 421
    } cases[] = {{410, 100, 120, 101}, {420, 20, 40, 51}};
    for (const auto& c : cases) {
        players[1].objects.clear();
        players[1].speed = 7.0;
        players[1].objects.push_back(test::SideObject(c.type, -46.0f, -72.0f));  // 90 from (-100, 0)
        players[1].objects.push_back(test::SideObject(600, 0.0f, 0.0f));  // a later object moves down
        for (int32_t n = 0; n < c.waits; ++n) UpdatePlayerObjects(1);
        EXPECT_EQ(players[1].objects[0].type, c.type);
        UpdatePlayerObjects(1);
        const PlayerObject& aimed = players[1].objects[0];
        EXPECT_EQ(aimed.type, c.type + 1);
        EXPECT_EQ(aimed.timer, 0);
        EXPECT_FLOAT_EQ(aimed.heading, Direction(-46.0f, -72.0f, players[0].x, players[0].y));
        // The distance times the decimal 0.083333336, in double, rounded
        // once: 7.5000005 at 90, where the float nearest 1/12 gives 7.5.
        EXPECT_EQ(aimed.speed, static_cast<float>(std::min(90.0 * 0.083333336, 15.0)));
        attackAreaList.Clear();
        effectList.Clear();
        for (int32_t n = 0; n < 11; ++n) UpdatePlayerObjects(1);
        ASSERT_EQ(attackAreaList.Size(), 1) << c.type;
        EXPECT_EQ(attackAreaList[0].type, 501);
        EXPECT_EQ(attackAreaList[0].power, c.power);
        EXPECT_EQ(attackAreaList[0].owner, 1);
        EXPECT_EQ(test::CountEffects(502), 3);
        EXPECT_EQ(players[1].speed, c.type == 410 ? 0.0 : 7.0) << "only 411 stops its owner";
        for (int32_t n = 11; n < c.flies; ++n) UpdatePlayerObjects(1);
        EXPECT_EQ(players[1].objects[0].type, LAUNCHER_FADING);
        for (int32_t n = 0; n < 19; ++n) UpdatePlayerObjects(1);
        ASSERT_EQ(players[1].objects.size(), 2u);
        UpdatePlayerObjects(1);
        ASSERT_EQ(players[1].objects.size(), 1u);
        EXPECT_EQ(players[1].objects[0].type, ORBITER);
    }
}

TEST_F(PlayerObjects, OrbitersFollowTheBattleFrame) {
    players[1].objects.clear();
    for (int32_t k = 0; k < 3; ++k) players[1].objects.push_back(test::SideObject(ORBITER, 0.0f, 0.0f));
    players[1].x = 20.0f;
    players[1].y = -10.0f;
    for (int32_t frame : {0, 90, 359, 360, 725}) {
        battleFrame = frame;
        UpdatePlayerObjects(1);
        for (int32_t k = 0; k < 3; ++k) {
            // One degree a frame and a third of the circle apart, in double.
            const double t = frame % 360 * 0.017453292 + k * (double{6.2831855f} / 3.0);
            const PlayerObject& o = players[1].objects[static_cast<size_t>(k)];
            EXPECT_EQ(o.position[0], static_cast<float>(20.0 + 50.0 * std::cos(t))) << frame << " " << k;
            EXPECT_EQ(o.position[1], static_cast<float>(-10.0 + 50.0 * std::sin(t))) << frame << " " << k;
        }
    }
    players[1].objects[0].timer = 200;
    UpdatePlayerObjects(1);
    EXPECT_EQ(players[1].objects[0].timer, 101);
}

TEST_F(PlayerObjects, PicturesFollowTheOrderFrames) {
    viewWidth = 320.0f;
    viewHeight = 240.0f;
    const struct {
        int32_t type, timer;
        int32_t sourceLeft, sourceRight;
        int32_t half;
        SpriteBlend blend;
        bool turned;
    } cases[] = {
        {300, 0, 0, 59, 20, SpriteBlend::Alpha, true},
        {301, -3, 0, 59, 20, SpriteBlend::Alpha, true},
        {301, 2, 120, 159, 20, SpriteBlend::Alpha, true},
        {301, 7, 120, 159, 20, SpriteBlend::Alpha, true},  // 9 - 7
        {301, 5, 180, 209, 20, SpriteBlend::Alpha, true},  // clamped to 3
        {305, 24, 120, 159, 20, SpriteBlend::Alpha, true},  // 4 - 2
        {302, 45, 120, 159, 20, SpriteBlend::Alpha, true},  // 4 - 5 / 2
        {340, 46, 30, 89, 20, SpriteBlend::Alpha, true},    // 2 - 6 / 3
        {410, 3, 0, 63, 40, SpriteBlend::AlphaAdd, false},
        {412, 5, 0, 63, 60, SpriteBlend::AlphaAdd, false},
        {600, 7, 130, 179, 7, SpriteBlend::AlphaAdd, false},
    };
    for (const auto& c : cases) {
        ResetPlayerForBattle(0);
        players[0].objects.resize(1);
        Object(0).type = c.type;
        Object(0).timer = c.timer;
        Object(0).position[0] = 0.0f;
        Object(0).position[1] = 0.0f;
        Object(0).angle = 1.0f;
        const uint32_t before = GetRandomState();
        const std::vector<ObjectSprite> sprites = PlayerObjectSprites(0);
        EXPECT_EQ(GetRandomState(), before);
        ASSERT_EQ(sprites.size(), 1u) << c.type;
        const ObjectSprite& s = sprites[0];
        EXPECT_EQ(s.source.left, c.sourceLeft) << c.type << " timer " << c.timer;
        EXPECT_EQ(s.source.right, c.sourceRight) << c.type << " timer " << c.timer;
        EXPECT_EQ(s.destination.right - 320, c.half) << c.type;
        EXPECT_EQ(s.blend, c.blend) << c.type;
        EXPECT_EQ(s.turned, c.turned) << c.type;
        if (c.turned) {
            EXPECT_EQ(s.rotation, RadianToAngle(-1.0f));
        }
    }
    // 330's beam shows while it strikes.
    Object(0).type = 330;
    Object(0).timer = 5;
    EXPECT_EQ(PlayerObjectSprites(0).size(), 2u);
    Object(0).timer = 15;
    EXPECT_EQ(PlayerObjectSprites(0).size(), 1u);
}

}  // namespace
