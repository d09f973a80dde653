// The generated pose pictures follow the characters' drawing code: whatever
// picture a character's drawing picks in a state shows that state's pose
// (standing, flying toward or away from the opponent, dashing either way,
// shielding, knocked back, knocked out), and every action part it draws is
// painted as a part.
#include "tools/datagen/fighter_poses.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/roster.h"
#include "game/characters/character_routines.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/battle_fixture.h"

namespace {

using datagen::FighterPart;
using datagen::FighterPose;
using datagen::PartKind;
using datagen::PoseKind;

class FighterPoses : public test::BattleFixture {
protected:
    // The kinds of the pose pictures side 0 shows over `timers` frames of a
    // state (the state's timer and the counter running together), facing
    // its opponent on the right.
    std::set<PoseKind> KindsShown(int32_t id, int32_t state, InputWord arrows, float aim, int32_t timers) {
        std::set<PoseKind> kinds;
        for (int32_t t = 0; t < timers; ++t) {
            SetUp();
            players[0].characterId = id;
            PlayerRecord& p = players[0];
            p.x = -100.0f;
            players[1].x = 100.0f;
            p.state = state;
            p.stateTimer = p.counter = t;
            p.aimAngle = aim;
            Press(0, arrows);
            for (const CharacterModelDraw& d : FindCharacterRoutines(id)->modelDraws(0)) {
                if (d.kind == CharacterModelKind::Frame) kinds.insert(FighterPose(id, d.index).kind);
                else EXPECT_NE(FighterPart(id, d.index).kind, PartKind::None) << "part " << d.index;
            }
        }
        return kinds;
    }
};

TEST_F(FighterPoses, EachStateShowsItsOwnPose) {
    using enum PoseKind;
    const struct {
        const char* what;
        int32_t state;
        InputWord arrows;
        float aim;
        int32_t timers;
        std::set<PoseKind> kinds;
    } cases[] = {
        {"standing", PLAYER_FREE, 0, 0.0f, 40, {Idle}},
        {"flying toward", PLAYER_FREE, INPUT_RIGHT, 0.0f, 40, {MoveForward}},
        {"flying away", PLAYER_FREE, INPUT_LEFT, 0.0f, 40, {MoveBackward}},
        {"dashing toward", PLAYER_DASH, 0, 0.0f, 40, {DashForward}},
        {"dashing away", PLAYER_DASH, 0, PI_F, 40, {DashBackward}},
        {"shield", PLAYER_SHIELD, 0, 0.0f, 60, {Shield}},
        {"knocked back", PLAYER_KNOCKED_BACK, 0, 0.0f, 30, {KnockedBack}},
        {"knocked out", PLAYER_KNOCKED_OUT, 0, 0.0f, 180, {KnockedBack, KnockedOut}},
    };
    for (int32_t id = 1; id <= CHARACTER_COUNT; ++id)
        for (const auto& c : cases)
            EXPECT_EQ(KindsShown(id, c.state, c.arrows, c.aim, c.timers), c.kinds)
                << "character " << id << ", " << c.what;
}

// Numbers past a character's pictures, and characters out of range, show
// the standing pose and no part rather than anything undefined.
TEST_F(FighterPoses, NumbersOutOfRangeStandAndHaveNoPart) {
    EXPECT_EQ(FighterPose(0, 0).kind, PoseKind::Idle);
    EXPECT_EQ(FighterPose(9, 5).kind, PoseKind::Idle);
    EXPECT_EQ(FighterPose(1, 200).kind, PoseKind::Idle);
    EXPECT_EQ(FighterPart(4, 0).kind, PartKind::None);  // perila has no parts
    EXPECT_EQ(FighterPart(1, 21).kind, PartKind::None);
    EXPECT_EQ(FighterPart(1, -1).kind, PartKind::None);
}

}  // namespace
