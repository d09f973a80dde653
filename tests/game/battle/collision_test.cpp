#include "game/shots/collision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/battle_objects_fixture.h"

namespace {

using CollisionTest = test::BattleObjectsFixture;

struct ShapeCase {
    float a[2], b[2];
    float shapeA[3], shapeB[3];
    float angleA, angleB;
    bool touch;
    const char* what;
};

TEST(CheckHitShapes, Table) {
    constexpr float Q = PI_F / 2.0f;
    const ShapeCase cases[] = {
        {{0, 0}, {14, 14}, {0, 0, 8}, {0, 0, 8}, 0, 0, true, "discs 19.8 apart meet by the square test"},
        {{0, 0}, {16, 0}, {0, 0, 8}, {0, 0, 8}, 0, 0, true, "discs exactly at the square's edge"},
        {{0, 0}, {16.5f, 0}, {0, 0, 8}, {0, 0, 8}, 0, 0, false, "discs beyond the square"},
        {{0, 0}, {0, 0}, {0, 0, 0}, {0, 0, 8}, 0, 0, false, "an empty shape on a disc"},
        {{0, 0}, {0, 0}, {10, 2, 0}, {0, 0, 0}, 0, 0, false, "a rectangle on an empty shape"},
        {{0, 0}, {0, 0}, {0, 0, 0}, {0, 0, 0}, 0, 0, false, "two empty shapes"},
        {{0, 0}, {0, 5}, {10, 2, 0}, {10, 2, 0}, 0, 0, false, "parallel rectangles with a gap"},
        {{0, 0}, {0, 4}, {10, 2, 0}, {10, 2, 0}, 0, 0, true, "rectangles sharing an edge"},
        {{0, 0}, {13, 0}, {10, 2, 0}, {10, 2, 0}, 0, Q, false, "a crossing rectangle turned away"},
        {{0, 0}, {11, 0}, {10, 2, 0}, {10, 2, 0}, 0, Q, true, "a turned rectangle reaching the other"},
        {{0, 8}, {0, 0}, {0, 0, 5}, {10, 2, 0}, 0, 0, false, "a disc 6 from a long side"},
        {{0, 6.5f}, {0, 0}, {0, 0, 5}, {10, 2, 0}, 0, 0, true, "a disc 4.5 from a long side"},
        {{0, 8}, {0, 0}, {0, 0, 5}, {10, 2, 0}, 0, Q, true, "a disc on a rectangle turned upright"},
        {{0, 0}, {0, 8}, {10, 2, 0}, {0, 0, 5}, 0, 0, false, "rectangle first, disc away"},
        {{0, 0}, {0, 6.5f}, {10, 2, 0}, {0, 0, 5}, 0, 0, true, "rectangle first, disc touching"},
        {{0, 0}, {13, 13}, {10, 2, 5}, {0, 0, 9}, 0, 0, true, "a shape with both meets by the square first"},
        {{0, 0}, {15, 15}, {10, 2, 5}, {0, 0, 9}, 0, 0, false, "then falls to the circle test"},
    };
    for (const ShapeCase& c : cases)
        EXPECT_EQ(CheckHitShapes(c.a, c.b, c.shapeA, c.shapeB, c.angleA, c.angleB), c.touch) << c.what;
}

// A Shot of a type, adjusted to the given hit points, power and shape.
int32_t PlaceShot(int32_t type, int32_t owner, float x, float y, int32_t hitPoints, int32_t power,
                  std::vector<float> shape = {0, 0, 5}, float heading = 0.0f) {
    const float at[2] = {x, y};
    const int32_t index = SpawnShot(type, heading, at, owner);
    shotList.Adjust(index, [&](Shot& s) {
        s.hitPoints = hitPoints;
        s.power = power;
        for (int k = 0; k < 3; ++k) s.hitShape[k] = shape[k];
    });
    return index;
}

TEST_F(CollisionTest, ShotsAgainstShots) {
    // Equal Shots end each other in the same check; each owner gains 0.02.
    PlaceShot(110, 0, 0, 0, 10, 10);
    PlaceShot(110, 1, 3, 0, 10, 10);
    HitShotsWithShots();
    EXPECT_EQ(shotList.Size(), 0);
    EXPECT_FLOAT_EQ(players[0].hyperGauge, 0.02f);
    EXPECT_FLOAT_EQ(players[1].hyperGauge, 0.02f);
    EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), (std::vector<int32_t>{21, 21}));

    // A strong Shot wears out every weaker one it touches in one pass: an
    // erased one's place is taken by the next, which is checked too.
    shotList.Clear();
    PlaceShot(110, 0, 0, 0, 1000, 100);
    for (int n = 0; n < 3; ++n) PlaceShot(110, 1, 2.0f * n, 0, 10, 30);
    PlaceShot(110, 0, 0, 0, 10, 10);  // same side: never checked against the first
    HitShotsWithShots();
    ASSERT_EQ(shotList.Size(), 2);
    EXPECT_EQ(shotList[0].hitPoints, 910);
    EXPECT_EQ(shotList[1].hitPoints, 10);
    EXPECT_FLOAT_EQ(players[0].hyperGauge, 0.08f);

    // A Shot with neither across nor radius is never the first of a pair,
    // but is hit as the second.
    shotList.Clear();
    PlaceShot(730, 0, 0, 0, 50, 10, {20, 0, 0});
    PlaceShot(110, 1, 0, 0, 50, 10);
    HitShotsWithShots();
    EXPECT_EQ(shotList[0].hitPoints, 50);
    shotList.Clear();
    PlaceShot(110, 1, 0, 0, 50, 10);
    PlaceShot(730, 0, 0, 0, 50, 10, {20, 0, 0});
    HitShotsWithShots();
    EXPECT_EQ(shotList[1].hitPoints, 40);
}

TEST_F(CollisionTest, ShotsAgainstAttackAreas) {
    PlaceShot(110, 0, 0, 0, 30, 10);
    PlaceShot(110, 1, 0, 0, 30, 10);
    AttackArea area{};
    area.owner = 1;
    area.hitShape[2] = 10.0f;
    area.power = 20;
    attackAreaList.Append(area);
    attackAreaList.Append(area);
    HitShotsWithAttackAreas();
    ASSERT_EQ(shotList.Size(), 1) << "two areas of 20 end a Shot of 30";
    EXPECT_EQ(shotList[0].owner, 1);
    EXPECT_EQ(attackAreaList.Size(), 2);
    EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), (std::vector<int32_t>{21}));
}

TEST_F(CollisionTest, HeavyShotsAgainstShots) {
    const float at[2] = {0.0f, 0.0f};
    // Destroyed by a HeavyShot: the Shot ends, the HeavyShot flies on untold.
    PlaceShot(110, 0, 0, 0, 50, 10);
    SpawnHeavyShot(101, 0.0f, at, 1);
    HitHeavyShotsWithShots();
    EXPECT_EQ(shotList.Size(), 0);
    ASSERT_EQ(heavyShotList.Size(), 1);
    EXPECT_FLOAT_EQ(players[1].hyperGauge, 0.02f);
    EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), (std::vector<int32_t>{21}));

    // Surviving: the HeavyShot answers the hit and, vanishing on hit, goes.
    TakeSpawns();
    PlaceShot(110, 0, 0, 0, 300, 10);
    const float other[2] = {1.0f, 0.0f};
    heavyShotList.Adjust(SpawnHeavyShot(230, 0.0f, other, 1), [](HeavyShot& h) { h.hitShape[2] = 10.0f; });
    HitHeavyShotsWithShots();
    EXPECT_EQ(shotList[0].hitPoints, 300 - 120 - 0);
    ASSERT_EQ(heavyShotList.Size(), 1);
    EXPECT_EQ(heavyShotList[0].type, 230);
    EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), (std::vector<int32_t>{31, 31}));  // 101's, then 230's
    EXPECT_EQ(Spawned(ObjectKind::Effect)[1].position[0], 0.0f) << "230 answers at the Shot";
}

TEST_F(CollisionTest, ReflectorsTurnVanishingHeavyShotsAround) {
    const float at[2] = {0.0f, 0.0f};
    PlaceShot(620, 0, 0, 0, 150, 20, {10, 40, 0}, 1.5f);
    PlaceShot(120, 1, 0, 0, 10, 15);  // checked after the reflection
    SpawnHeavyShot(101, 0.0f, at, 1);
    SpawnHeavyShot(230, 0.0f, at, 1);  // does not vanish: passes the reflector
    HitHeavyShotsWithShots();
    EXPECT_EQ(TakeSounds(), (std::vector<int32_t>{SE_REFLECT}));
    const std::vector<SpawnRequest> effects = Spawned(ObjectKind::Effect);
    ASSERT_GE(effects.size(), 1u);
    EXPECT_EQ(effects[0].type, 620);
    EXPECT_EQ(effects[0].angle, 1.5f);
    EXPECT_EQ(effects[0].owner, 0);
    ASSERT_EQ(heavyShotList.Size(), 2);
    EXPECT_EQ(heavyShotList[0].type, 230);
    EXPECT_EQ(heavyShotList[1].type, 611);
    EXPECT_EQ(heavyShotList[1].owner, 0);
    EXPECT_EQ(heavyShotList[1].heading, 1.5f);
    EXPECT_EQ(shotList[0].hitPoints, 150) << "the reflector loses nothing";
    // The enemy Shot met the new 611 in the same pass and ended on it.
    ASSERT_EQ(shotList.Size(), 1);
    EXPECT_FLOAT_EQ(players[0].hyperGauge, 0.02f);
}

// One blow on side `victim` from a Shot of power `base`.
struct DamageCase {
    int32_t base;
    float boost;
    int32_t difficultyLevel;
    int32_t victim;
    int32_t damage;
};

TEST_F(CollisionTest, DamageWithBoostAndDifficulty) {
    const DamageCase cases[] = {
        {100, 0.0f, DIFFICULTY_NORMAL, 0, 100}, {100, 2.5f, DIFFICULTY_NORMAL, 0, 350},
        {100, 2.5f, DIFFICULTY_HARD, 0, 450},   {100, 2.5f, DIFFICULTY_HARD, 1, 350},
        {33, 0.5f, DIFFICULTY_NORMAL, 1, 49},   {33, 0.5f, DIFFICULTY_HARD, 0, 82},
    };
    for (const DamageCase& c : cases) {
        SetUp();
        difficulty = c.difficultyLevel;
        players[c.victim].boostGauge = c.boost;
        PlaceShot(110, 1 - c.victim, players[c.victim].x, 0, 30, c.base);
        ResolveHits();
        EXPECT_EQ(players[c.victim].life, 6000 - c.damage) << c.base << " " << c.boost;
        EXPECT_EQ(players[1 - c.victim].life, 6000);
        TearDown();
    }
}

TEST_F(CollisionTest, ABlowKnocksBackGivesGaugesAndEndsTheShot) {
    PlaceShot(110, 1, -100, 0, 30, 100, {0, 0, 5}, 3.5f);
    ResolveHits();
    const PlayerRecord& victim = players[0];
    EXPECT_EQ(victim.state, PLAYER_KNOCKED_BACK);
    EXPECT_EQ(victim.stateTimer, 0);
    EXPECT_EQ(victim.aimAngle, 3.5f);
    EXPECT_EQ(victim.moveAngle, 3.5 - static_cast<double>(TWO_PI_F));
    EXPECT_EQ(victim.speed, 10.0);
    EXPECT_FLOAT_EQ(victim.hyperGauge, 0.01f);
    EXPECT_FLOAT_EQ(players[1].hyperGauge, 0.05f);
    EXPECT_EQ(shotList.Size(), 0);
    EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), (std::vector<int32_t>{21}));

    // 120 does not knock back; 730 stays after a hit.
    SetUp();
    PlaceShot(120, 1, -100, 0, 10, 15);
    ResolveHits();
    EXPECT_EQ(players[0].state, PLAYER_FREE);
    EXPECT_EQ(players[0].life, 6000 - 15);
    PlaceShot(730, 1, -100, 0, 9999, 20, {100, 40, 0});
    ResolveHits();
    EXPECT_EQ(players[0].life, 6000 - 35);
    ASSERT_EQ(shotList.Size(), 1);
    EXPECT_EQ(shotList[0].type, 730);
}

TEST_F(CollisionTest, InvulnerableAndDashingFighters) {
    // An invulnerable fighter is hit by nothing; its own hits earn no gauge.
    players[0].invulnerableTimer = 5;
    PlaceShot(110, 1, -100, 0, 30, 100);
    PlaceShot(110, 0, 100, 0, 30, 100);
    ResolveHits();
    EXPECT_EQ(players[0].life, 6000);
    EXPECT_EQ(players[1].life, 5900);
    EXPECT_FLOAT_EQ(players[0].hyperGauge, 0.0f);
    EXPECT_FLOAT_EQ(players[1].hyperGauge, 0.01f);

    // A dashing fighter is a 16 by 4 rectangle along its aim, not tested
    // against HeavyShots, and missed by areas that miss dashers.
    SetUp();
    players[0].state = PLAYER_DASH;
    const float onIt[2] = {-100.0f, 0.0f};
    SpawnHeavyShot(401, 0.0f, onIt, 1);
    AttackArea area{};
    area.owner = 1;
    area.position[0] = -100.0f;
    area.hitShape[2] = 10.0f;
    area.power = 100;
    area.missesDashingPlayer = 1;
    attackAreaList.Append(area);
    PlaceShot(110, 1, -100, 5.5f, 30, 100, {0, 0, 3});  // 3.5 from the rectangle's long side
    ResolveHits();
    EXPECT_EQ(players[0].life, 6000);
    EXPECT_EQ(players[0].hitShape[0], 8.0f);
    EXPECT_EQ(players[0].hitShape[1], 2.0f);
    EXPECT_EQ(players[0].hitShape[2], 0.0f);
    attackAreaList.Clear();             // (the Shot's knock-back ends the dash)
    players[0].aimAngle = PI_F / 2.0f;  // now the rectangle points at the Shot
    ResolveHits();
    EXPECT_EQ(players[0].life, 5900);
}

// An area that misses dashers still hits a fighter whom an earlier area of
// the same pass knocked out of its dash.
TEST_F(CollisionTest, AnAreaThatMissesDashersHitsAfterAnEarlierAreaEndedTheDash) {
    players[0].state = PLAYER_DASH;
    AttackArea area{};
    area.owner = 1;
    area.position[0] = -100.0f;
    area.hitShape[2] = 10.0f;
    area.power = 100;
    area.knocksBack = 1;
    area.knockBackSpeed = 5.0f;
    attackAreaList.Append(area);
    area.knocksBack = 0;
    area.missesDashingPlayer = 1;
    attackAreaList.Append(area);
    ResolveHits();
    EXPECT_EQ(players[0].state, PLAYER_KNOCKED_BACK);
    EXPECT_EQ(players[0].life, 6000 - 200);

    // In the other order the flagged area comes while the dash still stands.
    SetUp();
    players[0].state = PLAYER_DASH;
    attackAreaList.Append(area);
    area.knocksBack = 1;
    area.missesDashingPlayer = 0;
    attackAreaList.Append(area);
    ResolveHits();
    EXPECT_EQ(players[0].life, 6000 - 100);
}

TEST_F(CollisionTest, AttackAreasHitButStay) {
    AttackArea area{};
    area.type = 201;
    area.owner = 0;
    area.position[0] = 100.0f;
    area.hitShape[2] = 10.0f;
    area.power = 40;
    area.knocksBack = 1;
    area.knockBackSpeed = 7.0f;
    area.angle = 0.3f;
    attackAreaList.Append(area);
    ResolveHits();
    EXPECT_EQ(players[1].life, 5960);
    EXPECT_EQ(players[1].state, PLAYER_KNOCKED_BACK);
    EXPECT_EQ(players[1].aimAngle, 0.3f);
    EXPECT_FLOAT_EQ(players[0].hyperGauge, 0.02f);
    EXPECT_EQ(attackAreaList.Size(), 1);
}

// Hits by side 1 on side 0, one per step, with side 1's combo timer set
// before each as the frames between them would leave it.
TEST_F(CollisionTest, ComboBookkeeping) {
    const struct {
        int32_t timerBefore, damage;
        int32_t timer, comboDamage, hits, best, bestHits;
        const char* what;
    } steps[] = {
        {-10, 300, 120, 300, 1, 300, 1, "a first hit starts a combo and sets the best"},
        {40, 40, 100, 340, 2, 340, 2, "40 frames later: the timer is raised, the combo grows"},
        {-3, 200, 120, 200, 1, 340, 2, "a new combo below the best leaves it alone"},
        {110, 100, 110, 300, 2, 340, 2, "a timer above 100 is kept"},
        {90, 100, 100, 400, 3, 400, 3, "the combo passes the best"},
    };
    PlayerRecord& attacker = players[1];
    for (const auto& step : steps) {
        attacker.comboTimer = step.timerBefore;
        players[0].comboTimer = 50;
        players[0].state = PLAYER_FREE;
        PlaceShot(110, 1, -100, 0, 30, step.damage);
        ResolveHits();
        EXPECT_EQ(players[0].comboTimer, -1) << step.what;
        EXPECT_EQ(attacker.comboTimer, step.timer) << step.what;
        EXPECT_EQ(attacker.comboDamage, step.comboDamage) << step.what;
        EXPECT_EQ(attacker.comboHits, step.hits) << step.what;
        EXPECT_EQ(attacker.bestComboDamage, step.best) << step.what;
        EXPECT_EQ(attacker.bestComboHits, step.bestHits) << step.what;
    }
}

// A graze line of side 1: a vertical line of half-length 50 at the origin.
void AddGrazeLine(int32_t type, float strength) {
    Effect line{};
    line.owner = 1;
    line.type = type;
    line.angle = PI_F / 2.0f;
    line.strength = strength;
    line.scale = 1.0f;
    effectList.Append(line);
}

void CrossTheOrigin(int32_t owner) {
    const int32_t index = PlaceShot(110, owner, 5, 0, 30, 10);
    shotList.Adjust(index, [](Shot& s) {
        s.previousPosition[0] = -5.0f;
        s.trailPosition[0] = 5.0f;
    });
}

TEST_F(CollisionTest, AGrazeCountsOnceThenTheGaugeIsClamped) {
    AddGrazeLine(1001, 1.0f);
    CrossTheOrigin(0);
    CrossTheOrigin(1);  // side 1's own
    const float at[2] = {0.0f, 10.0f};
    SpawnHeavyShot(401, 0.0f, at, 0);
    heavyShotList.Adjust(0, [](HeavyShot& h) {
        h.previousPosition[0] = -1.0f;
        h.trailPosition[0] = 1.0f;
    });
    players[1].hyperGauge = 2.95f;
    GrazeShots();
    EXPECT_EQ(heavyShotList[0].grazed, 1);
    EXPECT_EQ(shotList[0].grazed, 1);
    EXPECT_EQ(shotList[1].grazed, 0);
    EXPECT_EQ(particleList.Size(), 8);
    const std::vector<SpawnRequest> marks = Spawned(ObjectKind::Effect);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].type, 900);
    EXPECT_EQ(marks[0].position[1], 10.0f) << "HeavyShots first";
    EXPECT_EQ(marks[0].owner, 1);
    EXPECT_EQ(TakeSounds(), (std::vector<int32_t>{SE_GRAZE}));
    EXPECT_EQ(players[1].hyperGauge, 3.0f) << "2.95 + 0.06, clamped";
    players[0].hyperGauge = 3.4f;
    GrazeShots();
    EXPECT_EQ(particleList.Size(), 8) << "a grazed object is not grazed again";
    EXPECT_EQ(players[0].hyperGauge, 3.0f);
}

// The ends of a graze line are points along its angle taken in double and
// rounded once. A Shot that crosses the line between that end and the float
// one step short of it (where the sum in single precision ends) grazes.
TEST_F(CollisionTest, AGrazeLineReachesItsEndTakenInDouble) {
    AddGrazeLine(1001, 1.0f);
    effectList.Adjust(0, [](Effect& e) {
        e.angle = 0.0f;
        e.scale = 0.3425f;
        e.position[0] = 10.3f;
    });
    const float end = static_cast<float>(static_cast<double>(10.3f) + static_cast<double>(0.3425f) * 50.0);
    const float shorter = std::nextafter(end, 0.0f);
    ASSERT_EQ(shorter, 10.3f + 0.3425f * 50.0f) << "the single-precision sum ends one step short";
    const int32_t index = PlaceShot(110, 0, 5, 0, 30, 10);
    shotList.Adjust(index, [&](Shot& s) {
        s.previousPosition[0] = shorter, s.previousPosition[1] = -1.0f;
        s.trailPosition[0] = end, s.trailPosition[1] = 1.0f;
    });
    GrazeShots();
    EXPECT_EQ(shotList[0].grazed, 1);
}

TEST_F(CollisionTest, OnlyStrongGrazeLinesCount) {
    const struct {
        int32_t type;
        float strength;
        bool grazes;
    } cases[] = {{1001, 0.2f, true}, {1008, 0.5f, true}, {1001, 0.19f, false}, {1000, 1.0f, false}};
    for (const auto& c : cases) {
        SetUp();
        AddGrazeLine(c.type, c.strength);
        CrossTheOrigin(0);
        GrazeShots();
        EXPECT_EQ(shotList[0].grazed, c.grazes ? 1 : 0) << c.type << " " << c.strength;
        TearDown();
    }
}

TEST_F(CollisionTest, KnockOutAndThePracticeFloor) {
    const struct {
        int32_t mode;
        int32_t state, life;
    } cases[] = {{MODE_1P_VS_CPU, PLAYER_KNOCKED_OUT, 0}, {MODE_PRACTICE, PLAYER_KNOCKED_BACK, 1}};
    for (const auto& c : cases) {
        SetUp();
        gameMode = c.mode;
        players[1].life = 50;
        players[1].stateTimer = 9;
        PlaceShot(110, 0, 100, 0, 30, 100);
        ResolveHits();
        EXPECT_EQ(players[1].life, c.life) << c.mode;
        EXPECT_EQ(players[1].state, c.state) << c.mode;
        EXPECT_EQ(players[1].stateTimer, 0);
        TearDown();
    }
}

TEST_F(CollisionTest, WhenNoHitsAreResolved) {
    const struct {
        uint8_t over;
        int32_t timer;
        int32_t knockedOut;
        bool shotPasses;
        const char* what;
    } cases[] = {
        {1, 99, -1, false, "after the battle is over nothing runs"},
        {0, 0, -1, true, "time up: only the object passes"},
        {0, 99, 0, true, "a side knocked out: only the object passes"},
    };
    for (const auto& c : cases) {
        SetUp();
        battleOver = c.over;
        battleTimer = c.timer;
        if (c.knockedOut >= 0) players[c.knockedOut].state = PLAYER_KNOCKED_OUT;
        PlaceShot(110, 1, -100, 0, 30, 100);
        PlaceShot(110, 0, -100, 0, 5, 10);
        ResolveHits();
        EXPECT_EQ(players[0].life, 6000) << c.what;
        EXPECT_EQ(shotList.Size(), c.shotPasses ? 1 : 2) << c.what;
        TearDown();
    }
}

}  // namespace
