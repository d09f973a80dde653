// Kirune against welo: a scripted battle that runs to a knock-out and takes
// welo through every one of her moves, twice with the same states frame by
// frame, and once more from its replay file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "game/characters/welo.h"
#include "tests/support/recorded_battle.h"

namespace {

// Kirune (side 0) mostly stands and now and then shoots, shields or dashes.
InputWord KiruneWord(int32_t frame) {
    const int32_t t = frame % 240;
    if (t < 2) return INPUT_Z;
    if (t >= 120 && t < 122) return INPUT_S;
    if (t >= 180 && t < 184) return INPUT_V | INPUT_DOWN;
    return 0;
}

// What welo's script has seen of her states in this battle: she tries each
// move until she has been in it (a chain needs the opponent reeling, so it
// may take more than one go), takes the three high attacks in turn, then
// saves her gauge for the hyper attack. Until that has started she spares an
// opponent low on life.
std::set<int32_t> weloSeen;
int32_t highAttacksStarted = 0;

bool Seen(int32_t state) { return weloSeen.count(state) != 0; }

// Welo's script as at the start of a battle.
void ForgetWeloScript() {
    weloSeen.clear();
    highAttacksStarted = 0;
}

// The arrows toward the opponent.
InputWord Toward(const PlayerRecord& me, const PlayerRecord& foe) {
    InputWord arrows = me.x < foe.x ? INPUT_RIGHT : INPUT_LEFT;
    if (std::fabs(me.y - foe.y) > 20.0f) arrows |= me.y < foe.y ? INPUT_UP : INPUT_DOWN;
    return arrows;
}

// A move welo starts from the neutral state and the states it leads to.
struct Plan {
    InputWord word;
    int32_t leadsTo[3];
};

constexpr Plan plans[] = {
    {INPUT_Z, {WELO_SHOT, WELO_CHARGED_SHOT, WELO_SHOT}},
    {INPUT_Z | INPUT_V, {WELO_MOVING_SHOTS, WELO_MOVING_SHOTS, WELO_MOVING_SHOTS}},
    {INPUT_Z | INPUT_A, {WELO_SLASH_1, WELO_SLASH_2, WELO_THRUST}},
    {INPUT_X | INPUT_A, {WELO_LUNGE, WELO_CHASING_SHOT, WELO_LUNGE}},
    {INPUT_X, {WELO_VOLLEY, WELO_HOMING_VOLLEY, WELO_VOLLEY}},
    {INPUT_V, {PLAYER_DASH, PLAYER_DASH, PLAYER_DASH}},
};

// The word of a free welo: the high and hyper attacks when the gauge allows,
// else the first move that still leads somewhere new, else, once all have,
// a move in 6 of every 20 windows of 60 frames (the gauge that side 1 gains
// at HARD builds up between them).
InputWord FreeWord(int32_t frame, const PlayerRecord& me, const PlayerRecord& foe) {
    constexpr InputWord highs[3] = {INPUT_C, INPUT_C | INPUT_X, INPUT_C | INPUT_A};
    if (highAttacksStarted >= 3 && me.hyperGauge >= 3.0f) return INPUT_C | INPUT_X | INPUT_Z;
    if (highAttacksStarted < 3 && me.hyperGauge >= 1.0f) return highs[highAttacksStarted];
    if (foe.life < 1500 && !Seen(WELO_HYPER)) return 0;
    for (const Plan& plan : plans)
        if (!std::all_of(std::begin(plan.leadsTo), std::end(plan.leadsTo), Seen)) return plan.word;
    const int32_t window = frame / 60 % 20;
    return window < 6 ? plans[window].word : 0;
}

// Welo (side 1): the moves above and her chains when the opponent reels.
// She walks up to the opponent before the close moves. Presses alternate with
// releases on even and odd frames so that each counts as a new press.
InputWord WeloWord(int32_t frame) {
    const PlayerRecord& me = players[1];
    const PlayerRecord& foe = players[0];
    weloSeen.insert(me.state);
    const bool tap = frame % 2 == 0;
    const bool foeReels = foe.state == PLAYER_KNOCKED_BACK;
    switch (me.state) {
    case WELO_SHOT: return !Seen(WELO_CHARGED_SHOT) || frame / 1200 % 2 == 1 ? INPUT_Z : 0;
    case WELO_CHARGED_SHOT: return me.stateTimer < 33 ? INPUT_Z | (frame % 20 < 10 ? INPUT_UP : 0) : 0;
    case WELO_VOLLEY: return !Seen(WELO_HOMING_VOLLEY) || frame / 1200 % 2 == 0 ? INPUT_X : 0;
    case WELO_SLASH_1:
        if (me.stateTimer < 10 || !tap) return 0;
        return foeReels && Seen(WELO_THRUST) && frame / 700 % 2 == 1 ? INPUT_X : INPUT_Z;
    case WELO_SLASH_2: return me.stateTimer >= 10 && tap ? INPUT_Z : 0;
    case WELO_LUNGE: return me.stateTimer >= 10 && foeReels && tap ? INPUT_Z : 0;
    case WELO_RAY_BARRAGE:
    case WELO_SLASH_STORM:
    case WELO_HIGH_VOLLEY:
        if (me.stateTimer == 1) ++highAttacksStarted;
        return 0;
    case PLAYER_FREE:
    case PLAYER_DASH: break;
    default: return 0;
    }
    InputWord word = FreeWord(frame, me, foe);
    const double dx = static_cast<double>(foe.x) - me.x, dy = static_cast<double>(foe.y) - me.y;
    const bool near = dx * dx + dy * dy < 60.0 * 60.0;
    const bool close = (word & INPUT_A) != 0;  // the slashes, the lunge and the slash storm
    if (word == INPUT_V) word |= Toward(me, foe);
    if ((close || word == 0) && !near) return Toward(me, foe);
    return tap ? word : 0;
}

InputWord PlayerWord(int side, int32_t frame) { return side == 0 ? KiruneWord(frame) : WeloWord(frame); }

// Welo on side 1 gains hyper gauge at HARD, and kirune on side 0 takes more
// damage there, so the fight ends.
constexpr ReplayMatch kMatch{1, 8, 0, 1, 1, MODE_1P_VS_2P, DIFFICULTY_HARD, 0, 0};

using WeloBattle = test::RecordedBattleFixture;

TEST_F(WeloBattle, EntersEveryMoveAndRunsToAKnockOutTwiceAlikeAndAgainFromItsReplay) {
    std::set<int32_t> visited;
    ForgetWeloScript();
    const std::vector<uint64_t> first = Battle(kMatch, [&](int side, int32_t frame) {
        if (side == 1) visited.insert(players[1].state);
        return PlayerWord(side, frame);
    });
    ASSERT_EQ(battleOver, 1);
    for (const int32_t state : std::initializer_list<int32_t>{WELO_SHOT, WELO_MOVING_SHOTS, WELO_CHARGED_SHOT, WELO_CHASING_SHOT, WELO_RAY_BARRAGE, WELO_SLASH_1,
          WELO_SLASH_2, WELO_THRUST, WELO_SLASH_STORM, WELO_FLASH_THRUST, WELO_LUNGE, WELO_VOLLEY,
          WELO_HOMING_VOLLEY, WELO_HIGH_VOLLEY, WELO_HYPER, PLAYER_DASH, PLAYER_KNOCKED_BACK})
        EXPECT_TRUE(visited.count(state)) << "welo never entered state " << state;
    ReplayMatch match;
    ExpectKnockOutThatReplays(kMatch, PlayerWord, first, ForgetWeloScript, &match);
    EXPECT_EQ(match.p1CharacterId, 1);
    EXPECT_EQ(match.p2CharacterId, 8);
}

}  // namespace
