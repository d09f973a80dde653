#pragma once
// The characters' drawing tests ask a drawing routine which Models it would
// draw for side 0 in a state, row by row of a table. A row puts side 0 in its
// state with a timer, a counter, held arrows, a place and an aim, the
// opponent to its left or right, and names the Models listed then, in order,
// with their blend modes and the one turn they all share.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/player_record.h"
#include "game/characters/character_actions.h"
#include "game/flow/input_words.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/battle_fixture.h"

namespace test {

// One Model a drawing routine lists: a pose of the body or a part.
struct ExpectedModel {
    CharacterModelKind kind;
    int32_t index;
    int32_t blendMode;
};

inline ExpectedModel Pose(int32_t index) { return {CharacterModelKind::Frame, index, 1}; }
inline ExpectedModel Part(int32_t index, int32_t blendMode = 1) {
    return {CharacterModelKind::Action, index, blendMode};
}
// A pose, and the part drawn after it unless `part` is negative.
std::vector<ExpectedModel> PoseAndPart(int32_t pose, int32_t part, int32_t partBlendMode = 1);

// How every Model of a row is turned.
using Turn = ModelTurn;

constexpr float HALF_PI = PI_F / 2.0f;

// The turns most rows share: standing as painted, standing mirrored to face
// left, rolled by an aim of 0 (as is or mirrored), and the roll of an aim of
// 2.0, which lies in the left half: rolled back by pi and mirrored.
constexpr Turn UNTURNED{false, 0, false};
constexpr Turn MIRRORED{false, 0, true};
constexpr Turn ROLL_0{true, 0, false};
constexpr Turn ROLL_0_MIRRORED{true, 0, true};
inline const Turn ROLL_LEFT{true, RadianToAngle(2.0f - PI_F), true};

using ModelDraws = std::vector<CharacterModelDraw> (*)(int32_t side);

// The height side 0 stands at in every row.
constexpr float kPoseRowY = 7.0f;

// `draws` lists `models` in order, each at (x, kPoseRowY) and turned by `turn`;
// failures name the row by `what`.
void ExpectModelDraws(const std::vector<CharacterModelDraw>& draws, const std::vector<ExpectedModel>& models,
                      const Turn& turn, float x, const char* what);

// A row whose drawing lists one pose (none where `pose` is negative).
struct PoseRow {
    int32_t state, t, c;  // c: counter
    InputWord arrows;
    float x, opponentX, aim;
    int32_t pose;
    Turn turn;
    const char* what;
};

// A battle whose side 0 is the character `Character`, for its drawing tests.
template <int32_t Character>
class CharacterDrawingFixture : public BattleFixture {
protected:
    void SetUp() override {
        BattleFixture::SetUp();
        players[0].characterId = Character;
    }

    // Side 0 in `state` at (x, kPoseRowY) with its timer, counter and aim and
    // `arrows` held; the opponent at opponentX.
    static void Place(int32_t state, int32_t t, int32_t counter, float x, float opponentX, float aim,
                      InputWord arrows) {
        PlayerRecord& p = players[0];
        p.state = state;
        p.stateTimer = t;
        p.counter = counter;
        p.x = x;
        p.y = kPoseRowY;
        p.aimAngle = aim;
        players[1].x = opponentX;
        Press(0, arrows);
    }

    // Each row from a fresh battle: a row has the fields of a PoseRow but
    // pose, or more, and `expected(row)` gives the Models `draws` must list
    // for it; without `expected` the rows are PoseRows.
    template <typename Rows, typename Expected>
    void RunPoseTable(const Rows& rows, ModelDraws draws, Expected expected) {
        for (const auto& row : rows) {
            SetUp();
            Place(row.state, row.t, row.c, row.x, row.opponentX, row.aim, row.arrows);
            ExpectModelDraws(draws(0), expected(row), row.turn, row.x, row.what);
        }
    }
    template <typename Rows>
    void RunPoseTable(const Rows& rows, ModelDraws draws) {
        RunPoseTable(rows, draws, [](const PoseRow& row) {
            return row.pose < 0 ? std::vector<ExpectedModel>{} : std::vector{Pose(row.pose)};
        });
    }
};

}  // namespace test
