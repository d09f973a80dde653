#include "game/characters/character_actions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/particles.h"
#include "game/characters/bemo.h"
#include "game/characters/kirune.h"
#include "game/characters/nebu.h"
#include "game/characters/oza.h"
#include "game/characters/perila.h"
#include "game/characters/ruo.h"
#include "game/characters/torvi.h"
#include "game/characters/welo.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_objects_fixture.h"

namespace {

using ButtonList = std::initializer_list<std::pair<ButtonSlot, ButtonState>>;

// Side 0 is kirune at (-100, 0), side 1 stands at (100, 0).
class CharacterActions : public test::BattleObjectsFixture {
protected:
    // This frame's buttons of a side, every other slot up.
    static void SetButtons(int32_t side, ButtonList buttons) {
        for (int32_t& state : buttonStates[side]) state = BUTTON_STATE_UP;
        for (const auto& [slot, state] : buttons) buttonStates[side][slot] = state;
    }
};

constexpr ButtonState P = BUTTON_STATE_PRESSED;
constexpr ButtonState H = BUTTON_STATE_HELD;
constexpr ButtonState R = BUTTON_STATE_RELEASED;

constexpr ButtonHandler handlers[9] = {nullptr,           HandleButtonsKirune, HandleButtonsBemo,
                                       HandleButtonsOza,  HandleButtonsPerila, HandleButtonsRuo,
                                       HandleButtonsTorvi, HandleButtonsNebu,  HandleButtonsWelo};

TEST_F(CharacterActions, ButtonHandlersChooseTheMoveAndEarnItsGain) {
    const struct {
        int32_t character;
        ButtonList buttons;
        float hyper;
        int32_t modeFlag;
        int32_t state;
        float hyperAfter;
        const char* what;
    } cases[] = {
        {1, {{BUTTON_Z, P}}, 0.0f, 0, 7, 0.05f, "kirune Z"},
        {1, {{BUTTON_Z, P}, {BUTTON_V, H}}, 0.0f, 0, 8, 0.03f, "kirune Z with V"},
        {1, {{BUTTON_Z, P}, {BUTTON_V, H}, {BUTTON_A, H}}, 0.0f, 0, 10, 0.02f, "kirune: A wins over V"},
        {1, {{BUTTON_X, P}}, 0.0f, 0, 14, 0.04f, "kirune X"},
        {1, {{BUTTON_X, P}, {BUTTON_A, P}}, 0.0f, 0, 19, 0.04f, "kirune X with A"},
        {1, {{BUTTON_Z, P}, {BUTTON_X, P}}, 0.0f, 0, 14, 0.04f, "Z and X together: X"},
        {1, {{BUTTON_Z, P}, {BUTTON_S, P}}, 0.5f, 0, PLAYER_SHIELD, 0.0f, "shield at exactly 0.5 wins"},
        {1, {{BUTTON_S, P}}, 0.49f, 0, PLAYER_FREE, 0.49f, "no shield below 0.5"},
        {1, {{BUTTON_Z, H}, {BUTTON_X, R}}, 0.0f, 0, PLAYER_FREE, 0.0f, "held and released start nothing"},
        {2, {{BUTTON_Z, P}, {BUTTON_V, H}, {BUTTON_A, H}}, 0.0f, 0, 31, 0.05f, "bemo: A wins"},
        {2, {{BUTTON_X, P}}, 1.0f, 0, 26, 1.04f, "bemo X"},
        {3, {{BUTTON_X, P}, {BUTTON_A, R}}, 0.0f, 0, 40, 0.02f, "oza: a released A counts for X"},
        {3, {{BUTTON_Z, P}, {BUTTON_A, R}}, 0.0f, 0, 36, 0.05f, "oza: not for Z"},
        {4, {{BUTTON_Z, P}, {BUTTON_X, P}}, 0.0f, 0, 48, 0.03f, "perila: Z wins over X"},
        {4, {{BUTTON_Z, P}, {BUTTON_A, H}}, 0.0f, 0, 48, 0.03f, "perila has no Z with A"},
        {4, {{BUTTON_X, P}, {BUTTON_A, H}}, 0.0f, 0, 52, 0.04f, "perila X with A"},
        {5, {{BUTTON_Z, P}, {BUTTON_V, H}}, 0.0f, 0, 60, 0.01f, "ruo Z with V"},
        {5, {{BUTTON_Z, P}, {BUTTON_V, H}}, 0.0f, 1, 73, 0.03f, "ruo Z with V while powered"},
        {6, {{BUTTON_X, P}, {BUTTON_A, H}}, 0.0f, 0, 84, 0.03f, "torvi X with A"},
        {7, {{BUTTON_Z, P}, {BUTTON_V, P}}, 0.0f, 0, 88, 0.0f, "nebu: V just pressed is not held"},
        {7, {{BUTTON_Z, P}, {BUTTON_V, H}}, 0.0f, 0, 89, 0.0f, "nebu Z with V held"},
        {7, {{BUTTON_Z, P}, {BUTTON_V, H}, {BUTTON_A, H}}, 0.0f, 0, 89, 0.0f, "nebu: V wins over A"},
        {7, {{BUTTON_Z, P}, {BUTTON_A, H}}, 0.0f, 0, 97, 0.0f, "nebu Z with A"},
        {8, {{BUTTON_X, P}, {BUTTON_A, H}}, 0.0f, 0, 116, 0.04f, "welo X with A"},
        {8, {{BUTTON_Z, P}, {BUTTON_V, H}}, 0.0f, 0, 106, 0.03f, "welo Z with V"},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.characterId = c.character;
        p.modeFlag = c.modeFlag;
        p.hyperGauge = c.hyper;
        p.stateTimer = 9;
        SetButtons(0, c.buttons);
        handlers[c.character](0);
        EXPECT_EQ(p.state, c.state) << c.what;
        if (c.state != PLAYER_FREE) {
            EXPECT_EQ(p.stateTimer, 0) << c.what;
        }
        EXPECT_FLOAT_EQ(p.hyperGauge, c.hyperAfter) << c.what;
    }
}

TEST_F(CharacterActions, HighAndHyperAttackTests) {
    const struct {
        int32_t state;
        float hyper;
        int32_t invulnerable;
        ButtonList buttons;
        int32_t stateAfter;
        float hyperAfter;
        std::vector<int32_t> sounds;
        const char* what;
    } cases[] = {
        {PLAYER_FREE, 1.0f, 0, {{BUTTON_C, P}}, KIRUNE_BEAM, 0.0f, {SE_HIGH}, "C at exactly 1.0"},
        {PLAYER_FREE, 1.0f, 0, {{BUTTON_C, P}, {BUTTON_X, H}}, KIRUNE_HEAVY_SHOT, 0.0f, {SE_HIGH}, "C with X"},
        {PLAYER_FREE, 1.0f, 0, {{BUTTON_C, P}, {BUTTON_X, H}, {BUTTON_A, H}}, KIRUNE_RUSH, 0.0f, {SE_HIGH},
         "C with X and A: A wins"},
        {PLAYER_FREE, 3.0f, 0, {{BUTTON_C, P}, {BUTTON_X, H}, {BUTTON_Z, H}}, KIRUNE_HYPER, 0.0f, {SE_HIGH_A},
         "hyper at exactly 3.0"},
        {PLAYER_DASH, 3.0f, 0, {{BUTTON_C, P}, {BUTTON_X, P}, {BUTTON_A, H}}, KIRUNE_HYPER, 0.0f, {SE_HIGH_A},
         "hyper with A, out of a dash"},
        {PLAYER_FREE, 2.5f, 0, {{BUTTON_C, P}, {BUTTON_X, H}, {BUTTON_Z, H}}, KIRUNE_HEAVY_SHOT, 1.5f, {SE_HIGH},
         "2.5 is no hyper: the C with X move"},
        {PLAYER_FREE, 4.0f, 0, {{BUTTON_C, P}, {BUTTON_X, H}, {BUTTON_Z, H}}, KIRUNE_HEAVY_SHOT, 0.0f,
         {SE_HIGH, SE_HIGH_A}, "the high test follows the hyper when 1.0 is left"},
        {PLAYER_FREE, 0.99f, 0, {{BUTTON_C, P}}, PLAYER_FREE, 0.99f, {}, "below 1.0"},
        {PLAYER_FREE, 1.0f, 60, {{BUTTON_C, P}}, PLAYER_FREE, 1.0f, {}, "invulnerable 60"},
        {PLAYER_FREE, 1.0f, 59, {{BUTTON_C, P}}, KIRUNE_BEAM, 0.0f, {SE_HIGH}, "invulnerable 59"},
        {PLAYER_FREE, 1.0f, 0, {{BUTTON_C, H}}, PLAYER_FREE, 1.0f, {}, "C held from before"},
        {PLAYER_KNOCKED_BACK, 3.0f, 0, {{BUTTON_C, P}, {BUTTON_X, H}, {BUTTON_A, H}}, PLAYER_KNOCKED_BACK, 3.0f,
         {}, "never out of knock-back"},
        {PLAYER_SHIELD, 1.0f, 0, {{BUTTON_C, P}}, KIRUNE_BEAM, 0.0f, {SE_HIGH}, "out of the shield"},
        {PLAYER_BLOWN_AWAY, 1.0f, 0, {{BUTTON_C, P}}, KIRUNE_BEAM, 0.0f, {SE_HIGH}, "out of being blown away"},
        {KIRUNE_SPREAD_SHOTS, 1.0f, 0, {{BUTTON_C, P}}, KIRUNE_BEAM, 0.0f, {SE_HIGH}, "out of a move"},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.state = c.state;
        p.stateTimer = 3;
        p.hyperGauge = c.hyper;
        p.invulnerableTimer = c.invulnerable;
        SetButtons(0, c.buttons);
        TakeSounds();
        UpdateKirune(0);
        EXPECT_EQ(p.state, c.stateAfter) << c.what;
        EXPECT_FLOAT_EQ(p.hyperGauge, c.hyperAfter) << c.what;
        if (c.stateAfter != c.state) {
            EXPECT_EQ(p.stateTimer, 1) << c.what << ": the move ran its first frame";
            EXPECT_EQ(p.invulnerableTimer, c.stateAfter == KIRUNE_HYPER ? -130 : 100) << c.what;
        }
        EXPECT_EQ(TakeSounds(), c.sounds) << c.what;
    }
}

TEST_F(CharacterActions, DashStartersShareTheirStepsAtTheirOwnSpeeds) {
    const struct {
        DashStarter dash;
        double speed;
    } starters[] = {{DashKirune, 13.0}, {DashBemo, 12.0}, {DashOza, 10.0},  {DashPerila, 10.0},
                    {DashRuo, 14.0},    {DashTorvi, 10.0}, {DashNebu, 13.0}, {DashWelo, 13.0}};
    for (const auto& s : starters) {
        SetUp();
        PlayerRecord& p = players[0];
        p.counter = 55;
        p.stateTimer = 7;
        p.boostGauge = 1.0f;
        SetButtons(0, {{BUTTON_UP, H}, {BUTTON_LEFT, H}});
        TakeSounds();
        s.dash(0, 0.0f);
        EXPECT_EQ(p.state, PLAYER_DASH);
        EXPECT_EQ(p.stateTimer, 7) << "a dash leaves stateTimer";
        EXPECT_EQ(p.counter, 0);
        EXPECT_FLOAT_EQ(p.boostGauge, 1.3f);
        EXPECT_FLOAT_EQ(p.aimAngle, 2.3561945f);
        EXPECT_EQ(p.moveAngle, static_cast<double>(p.aimAngle));
        EXPECT_EQ(p.speed, s.speed);
        EXPECT_EQ(TakeSounds(), std::vector<int32_t>{SE_AIR});
    }
    SetUp();
    DashKirune(0, 1.0f);
    EXPECT_EQ(players[0].aimAngle, 1.0f) << "no arrow: the fallback";
}

TEST_F(CharacterActions, WeloDashSpraysTenEffectsWithRandomAges) {
    PlayerRecord& p = players[0];
    p.x = 10.0f;
    SeedRandom(77);
    // Each Effect draws its angle, then (twice, inside RandomInt) its age.
    std::vector<float> angles;
    std::vector<int32_t> ages;
    for (int i = 0; i < 10; ++i) {
        angles.push_back(RandomFloat(-1.4f, 1.4f) + 0.0f + PI_F);
        ages.push_back(RandomInt(0, 1000));
    }
    SeedRandom(77);
    const uint32_t before = GetRandomState();
    DashWelo(0, 0.0f);
    EXPECT_EQ(test::RandomDrawsSince(before), 30);
    const std::vector<SpawnRequest> effects = Spawned(ObjectKind::Effect);
    ASSERT_EQ(effects.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(effects[i].type, 890);
        EXPECT_EQ(effects[i].angle, angles[i]) << i;
        EXPECT_EQ(effects[i].position[0], 10.0f);
    }
    // The ages land on the Effects where the spawner makes them.
    for (int32_t i = 0; i < effectList.Size(); ++i) EXPECT_EQ(effectList[i].age, ages[i]) << i;
}

TEST_F(CharacterActions, DashWithoutArrowsGoesTowardTheOpponent) {
    const struct {
        float x, opponentX;
        float aim;
    } cases[] = {{-100.0f, 100.0f, 0.0f}, {100.0f, -100.0f, PI_F}, {5.0f, 5.0f, PI_F}};
    for (const auto& c : cases) {
        SetUp();
        players[0].x = c.x;
        players[1].x = c.opponentX;
        SetButtons(0, {{BUTTON_V, P}});
        UpdateKirune(0);
        EXPECT_EQ(players[0].aimAngle, c.aim) << c.x << " against " << c.opponentX;
    }
}

TEST_F(CharacterActions, NeutralDashBoostsFromTheNextFrameOnAndLeavesATrail) {
    PlayerRecord& p = players[0];
    Press(0, INPUT_V | INPUT_RIGHT);
    UpdatePlayer(0);
    EXPECT_EQ(p.state, PLAYER_DASH);
    EXPECT_EQ(p.counter, 0);
    EXPECT_FLOAT_EQ(p.x, -100.0f + 4.0f + 13.0f) << "the arrow steps too: no boost in the first frame";
    EXPECT_FLOAT_EQ(p.boostGauge, 0.25f - 0.001f);
    EXPECT_EQ(p.speed, 13.0 - DECAY_FAST);
    EXPECT_TRUE(Spawned(ObjectKind::Effect).empty());

    // Held V keeps the dash at boost speed 10 once it falls below it; the
    // trail Effect comes every fourth counter value.
    std::vector<int32_t> trailCounters;
    for (int frame = 0; frame < 12; ++frame) {
        TakeSpawns();
        Press(0, INPUT_V);
        UpdatePlayer(0);
        for (const SpawnRequest& r : Spawned(ObjectKind::Effect)) {
            EXPECT_EQ(r.type, 1001);
            trailCounters.push_back(p.counter);
        }
    }
    EXPECT_EQ(trailCounters, (std::vector<int32_t>{4, 8, 12}));
    EXPECT_EQ(p.state, PLAYER_DASH);
    EXPECT_EQ(p.speed, 10.0 - DECAY_FAST);

    // Arrows steer a boosted dash by 0.08 a frame.
    Press(0, INPUT_V | INPUT_UP);
    UpdatePlayer(0);
    EXPECT_FLOAT_EQ(p.aimAngle, 0.08f);
    EXPECT_EQ(p.moveAngle, static_cast<double>(p.aimAngle));

    // A second V press re-starts the dash and, the dash running, boosts it.
    TakeSpawns();
    Press(0, INPUT_V);
    Press(0, 0);
    Press(0, INPUT_V);
    UpdatePlayer(0);
    EXPECT_EQ(p.counter, 0);
    EXPECT_EQ(p.speed, 13.0 - DECAY_FAST);
    EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), std::vector<int32_t>{1001});
}

TEST_F(CharacterActions, DashRunsOutWithOneStepBackwards) {
    PlayerRecord& p = players[0];
    p.state = PLAYER_DASH;
    p.speed = 0.5;
    p.boostGauge = 1.0f;
    SetButtons(0, {});
    UpdateKirune(0);
    EXPECT_FLOAT_EQ(p.x, -99.5f);
    EXPECT_EQ(p.state, PLAYER_DASH);
    EXPECT_EQ(p.speed, 0.5 - 0.800000011920929) << "the decay is 0.8 in single precision";
    UpdateKirune(0);
    EXPECT_FLOAT_EQ(p.x, -99.8f) << "0.3 backwards";
    EXPECT_EQ(p.state, PLAYER_FREE);
    EXPECT_EQ(p.speed, 0.0);
    UpdateKirune(0);
    EXPECT_FLOAT_EQ(p.x, -99.8f);
    EXPECT_FLOAT_EQ(p.boostGauge, 1.0f - 0.003f) << "0.001 a frame without the boost";
    p.boostGauge = 0.0005f;
    UpdateKirune(0);
    EXPECT_EQ(p.boostGauge, 0.0f) << "never below 0";
}

TEST_F(CharacterActions, BurstOutOfKnockBack) {
    const struct {
        float opponentX;
        ButtonList buttons;
        float hyper;
        int32_t opponentInvulnerable;
        int32_t state, stateTimer;
        bool thrown;
        const char* what;
    } cases[] = {
        {-50.0f, {{BUTTON_Z, H}, {BUTTON_X, P}}, 1.0f, 0, PLAYER_BURST, 1, true, "close: the opponent is thrown"},
        {-50.0f, {{BUTTON_S, H}}, 1.5f, 0, PLAYER_BURST, 1, true, "S alone bursts"},
        {0.0f, {{BUTTON_S, P}}, 1.0f, 0, PLAYER_FREE, 0, false, "exactly 100 away: free at once"},
        {-50.0f, {{BUTTON_Z, H}}, 1.0f, 0, PLAYER_KNOCKED_BACK, 4, false, "Z alone is no burst"},
        {-50.0f, {{BUTTON_S, H}}, 0.99f, 0, PLAYER_KNOCKED_BACK, 4, false, "below 1.0"},
        {-50.0f, {{BUTTON_S, H}}, 1.0f, -5, PLAYER_KNOCKED_BACK, 4, false, "not during the opponent's hyper"},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        PlayerRecord& o = players[1];
        p.state = PLAYER_KNOCKED_BACK;
        p.stateTimer = 3;
        p.hyperGauge = c.hyper;
        o.x = c.opponentX;
        o.invulnerableTimer = c.opponentInvulnerable;
        SetButtons(0, c.buttons);
        TakeSounds();
        TakeSpawns();
        UpdateKirune(0);
        EXPECT_EQ(p.state, c.state) << c.what;
        EXPECT_EQ(p.stateTimer, c.stateTimer) << c.what;
        const bool burst = c.state != PLAYER_KNOCKED_BACK;
        EXPECT_EQ(p.invulnerableTimer, burst ? 60 : 0) << c.what;
        EXPECT_FLOAT_EQ(p.hyperGauge, burst ? c.hyper - 1.0f : c.hyper) << c.what;
        EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), burst ? std::vector<int32_t>{1000} : std::vector<int32_t>{})
            << c.what;
        EXPECT_EQ(TakeSounds(), burst ? std::vector<int32_t>{SE_SHIELD} : std::vector<int32_t>{}) << c.what;
        EXPECT_EQ(o.state, c.thrown ? PLAYER_BLOWN_AWAY : PLAYER_FREE) << c.what;
        EXPECT_EQ(particleList.Size(), c.thrown ? 20 : 0) << c.what;
        if (c.thrown) {
            EXPECT_EQ(o.speed, 12.0);
            EXPECT_EQ(o.aimAngle, 0.0f) << "away from the burst";
            EXPECT_EQ(particleList[0].kind, 104) << "side 0's first colour number, 4";
        }
    }
}

// Each shared state runs out after its limit and takes V for a dash only
// past its own mark, and never on the frame it ends.
TEST_F(CharacterActions, SharedStatesRunOutAndTakeADash) {
    const struct {
        int32_t state;
        int32_t dashAfter;
        int32_t closeAfter;
        double speedAfterOneFrame;
    } cases[] = {
        {PLAYER_KNOCKED_BACK, 15, 20, 12.0 - DECAY_FAST},
        {PLAYER_BURST, 40, 50, 12.0 - DECAY_FAST},
        {PLAYER_BLOWN_AWAY, 30, 40, 12.0 - DECAY_SLOW},
    };
    for (const auto& c : cases) {
        SetUp();
        PlayerRecord& p = players[0];
        p.state = c.state;
        p.speed = 12.0;
        SetButtons(0, {});
        UpdateKirune(0);
        EXPECT_EQ(p.speed, c.speedAfterOneFrame) << c.state;
        EXPECT_FLOAT_EQ(p.x, -88.0f) << c.state;

        p.stateTimer = c.dashAfter;
        SetButtons(0, {{BUTTON_V, P}});
        UpdateKirune(0);
        EXPECT_EQ(p.state, c.state) << c.state << ": not yet";
        UpdateKirune(0);
        EXPECT_EQ(p.state, PLAYER_DASH) << c.state;
        EXPECT_EQ(p.speed, 13.0) << c.state;

        p.state = c.state;
        p.stateTimer = c.closeAfter;
        UpdateKirune(0);
        EXPECT_EQ(p.state, PLAYER_FREE) << c.state << ": the close wins over the dash";
        EXPECT_EQ(p.stateTimer, 0) << c.state;
    }
}

TEST_F(CharacterActions, ShieldFacesTheOpponentThenLetsAMoveStartAtOne) {
    PlayerRecord& p = players[0];
    players[1].y = 200.0f;
    p.hyperGauge = 0.6f;
    SetButtons(0, {{BUTTON_S, P}});
    UpdateKirune(0);
    ASSERT_EQ(p.state, PLAYER_SHIELD);
    EXPECT_FLOAT_EQ(p.hyperGauge, 0.1f);

    for (int frame = 0; frame < 6; ++frame) {
        TakeSounds();
        SetButtons(0, {{BUTTON_Z, P}});  // ignored until stateTimer passes 5
        UpdateKirune(0);
        EXPECT_EQ(p.state, PLAYER_SHIELD);
        if (frame == 0) {
            EXPECT_EQ(p.aimAngle, static_cast<float>(std::atan2(200.0, 200.0)));
            EXPECT_EQ(p.speed, 0.0);
        }
        EXPECT_EQ(particleList.Size(), frame < 5 ? 0 : 20);
        EXPECT_EQ(TakeSounds(), frame == 5 ? std::vector<int32_t>{SE_SHIELD} : std::vector<int32_t>{});
    }
    EXPECT_EQ(p.invulnerableTimer, 40);
    EXPECT_EQ(particleList[0].kind, 104) << "colour number 4 + 30";

    const float aim = p.aimAngle;
    players[1].y = -200.0f;
    SetButtons(0, {{BUTTON_Z, P}});
    UpdateKirune(0);
    EXPECT_EQ(p.state, KIRUNE_SHOT);
    EXPECT_EQ(p.stateTimer, 1);
    EXPECT_FLOAT_EQ(p.hyperGauge, 0.15f);
    SetButtons(0, {});
    UpdateKirune(0);
    EXPECT_EQ(p.aimAngle, aim) << "the shot's aim at stateTimer 0 never happened";
}

TEST_F(CharacterActions, ShieldRunsOutAfterTwentyOneFrames) {
    PlayerRecord& p = players[0];
    p.state = PLAYER_SHIELD;
    SetButtons(0, {});
    for (int frame = 0; frame < 20; ++frame) UpdateKirune(0);
    EXPECT_EQ(p.state, PLAYER_SHIELD);
    UpdateKirune(0);
    EXPECT_EQ(p.state, PLAYER_FREE);
}

TEST_F(CharacterActions, KnockOutExplodesAfter180FramesAndIgnoresInput) {
    PlayerRecord& p = players[0];
    p.state = PLAYER_KNOCKED_OUT;
    for (int frame = 0; frame <= 180; ++frame) {
        TakeSpawns();
        TakeSounds();
        SetButtons(0, {{BUTTON_V, P}, {BUTTON_C, P}, {BUTTON_RIGHT, H}});
        p.hyperGauge = 3.0f;
        UpdateKirune(0);
        if (frame == 0) {
            EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), std::vector<int32_t>{1300});
        }
        if (frame == 180) {
            EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), std::vector<int32_t>{1301});
            EXPECT_EQ(particleList.Size(), 50);
            EXPECT_EQ(TakeSounds(), std::vector<int32_t>{SE_DEAD});
        }
    }
    EXPECT_EQ(p.stateTimer, 181);
    EXPECT_EQ(p.state, PLAYER_KNOCKED_OUT);
    EXPECT_EQ(p.x, -100.0f);
    EXPECT_EQ(p.hyperGauge, 3.0f);
}

// A state a character has no move for (set from outside) frees the side
// rather than holding it forever.
TEST_F(CharacterActions, AStateWithoutAMoveFreesTheSide) {
    const struct {
        int32_t characterId;
        void (*update)(int32_t side);
        int32_t state;
    } cases[] = {
        {1, UpdateKirune, 13}, {2, UpdateBemo, 13},  {3, UpdateOza, 46},   {4, UpdatePerila, 47},
        {5, UpdateRuo, 58},    {6, UpdateTorvi, 83}, {7, UpdateNebu, 96},  {7, UpdateNebu, 100},
        {7, UpdateNebu, 101},  {7, UpdateNebu, 7},   {8, UpdateWelo, 110},
    };
    for (const auto& c : cases) {
        SetUp();
        players[0].characterId = c.characterId;
        ResetPlayerForBattle(0);
        players[0].state = c.state;
        players[0].stateTimer = 4;
        c.update(0);
        EXPECT_EQ(players[0].state, PLAYER_FREE) << "character " << c.characterId << " state " << c.state;
        EXPECT_EQ(players[0].stateTimer, 0) << "character " << c.characterId << " state " << c.state;
    }
}

// Knock-back and being blown away dash at the character's own speed; the
// burst and the shield at the first character's (perila and torvi).
TEST_F(CharacterActions, SharedStatesDashAtTheirOwnSpeeds) {
    const struct {
        int32_t characterId;
        void (*update)(int32_t side);
        int32_t state, stateTimer;
        double speed;
    } cases[] = {
        {4, UpdatePerila, PLAYER_KNOCKED_BACK, 16, 10.0}, {4, UpdatePerila, PLAYER_BLOWN_AWAY, 31, 10.0},
        {4, UpdatePerila, PLAYER_BURST, 41, 13.0},        {4, UpdatePerila, PLAYER_SHIELD, 6, 13.0},
        {6, UpdateTorvi, PLAYER_KNOCKED_BACK, 16, 10.0},  {6, UpdateTorvi, PLAYER_BLOWN_AWAY, 31, 10.0},
        {6, UpdateTorvi, PLAYER_BURST, 41, 13.0},         {6, UpdateTorvi, PLAYER_SHIELD, 6, 13.0},
    };
    for (const auto& c : cases) {
        SetUp();
        players[0].characterId = c.characterId;
        players[1].characterId = 1;
        ResetPlayerForBattle(0);
        ResetPlayerForBattle(1);
        players[0].state = c.state;
        players[0].stateTimer = c.stateTimer;
        Press(0, INPUT_V);
        c.update(0);
        EXPECT_EQ(players[0].state, PLAYER_DASH) << "character " << c.characterId << " state " << c.state;
        EXPECT_EQ(players[0].speed, c.speed) << "character " << c.characterId << " state " << c.state;
    }
}

}  // namespace
