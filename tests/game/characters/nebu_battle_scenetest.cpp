// Nebu against kirune through the battle scene to a knock-out: a pilot walks
// nebu up to kirune and goes through every move, chain, high attack and the
// hyper attack; the battle runs twice with the same states frame by frame,
// and once more from its replay file.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <set>
#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/characters/nebu.h"
#include "game/flow/run_state.h"
#include "tests/support/battle_run.h"
#include "tests/support/character_battle.h"

namespace {

constexpr int FRAME_LIMIT = 40000;
// Nebu plays side 1, which gains hyper gauge by itself at HARD.
constexpr int NEBU = 1;

// Nebu's controls, in three parts. First the plain moves, each until nebu
// has been in its state (the chain ones while the opponent is knocked back);
// then, with the gauge that side 1 gains by itself at HARD, the four high
// attacks in turn and the hyper attack, waiting in between; then the plain
// moves again until the fight ends. While free it walks up to the opponent
// (close for the rear storm, which turns into the closing ring only near it).
class NebuPilot {
public:
    bool HyperDone() const { return seen_.count(NEBU_FOUNTAIN) != 0; }

    InputWord Word() {
        // Nothing before the battle has begun (the records still hold the
        // last battle's sides) and no buttons in the countdown.
        if (sceneInitPending || startCountdown > 0) return 0;
        const PlayerRecord& self = players[NEBU];
        const PlayerRecord& other = players[1 - NEBU];
        seen_.insert(self.state);
        if (!queued_.empty()) {
            const InputWord w = queued_.front();
            queued_.pop_front();
            return w;
        }
        const bool otherHit = other.state == PLAYER_KNOCKED_BACK;
        if (self.state == NEBU_CHAIN && self.stateTimer >= 11 && otherHit)
            return Seen(NEBU_CHAIN_VOLLEY) ? INPUT_X : INPUT_Z;
        if (self.state == NEBU_CHAIN_VOLLEY && self.stateTimer >= 11 && otherHit)
            return Seen(NEBU_BURST_STRIKE) ? INPUT_X : INPUT_X | INPUT_A;
        if (self.state != PLAYER_FREE) return 0;
        const bool plainPart = !PlainMovesSeen() || HyperDone();
        const bool stormNext = !plainPart && self.hyperGauge >= 1.0f && highs_ % 4 == 2;
        const float reach = stormNext ? 60.0f : 110.0f;
        const float dx = other.x - self.x, dy = other.y - self.y;
        if (dx * dx + dy * dy > reach * reach) return test::Toward(self, other, 10.0f);
        if (plainPart) return NextPlainMove();
        if (self.hyperGauge >= 3.0f && highs_ >= 4) return INPUT_C | INPUT_X | INPUT_Z;
        if (self.hyperGauge >= 1.0f && highs_ < 4) {
            constexpr InputWord highs[4] = {INPUT_C, INPUT_C | INPUT_V, INPUT_C | INPUT_X, INPUT_C | INPUT_A};
            return highs[highs_++];
        }
        return 0;
    }

private:
    bool Seen(int32_t state) const { return seen_.count(state) != 0; }
    bool PlainMovesSeen() const {
        for (const int32_t state : {NEBU_TWIN_SHOT, NEBU_WHEEL, NEBU_ORBIT_SHOTS, NEBU_REAR_VOLLEY, NEBU_BEAM,
                                    NEBU_CHAIN, NEBU_CHAIN_VOLLEY, NEBU_BURST_STRIKE})
            if (!Seen(state)) return false;
        return true;
    }
    // The next plain move of the round; before the high attacks only those
    // that have not been seen yet (the chain until its follow-ups have).
    InputWord NextPlainMove() {
        const struct {
            int32_t state;
            std::vector<InputWord> words;  // the first pressed, the rest held after it
        } round[] = {
            {NEBU_TWIN_SHOT, {INPUT_Z}},
            {NEBU_WHEEL, std::vector<InputWord>(15, INPUT_Z)},
            {NEBU_ORBIT_SHOTS, {INPUT_V, INPUT_V | INPUT_Z}},
            {NEBU_REAR_VOLLEY, {INPUT_X}},
            {NEBU_BEAM, std::vector<InputWord>(15, INPUT_X)},
            {NEBU_BURST_STRIKE, {INPUT_X | INPUT_A}},
            {NEBU_CHAIN_VOLLEY, {INPUT_Z | INPUT_A}},  // the chain, for its follow-ups
        };
        for (int tries = 0; tries < 7; ++tries) {
            const auto& move = round[moves_++ % 7];
            if (HyperDone() || !Seen(move.state)) {
                queued_.assign(move.words.begin() + 1, move.words.end());
                return move.words.front();
            }
        }
        return INPUT_Z | INPUT_A;
    }

    std::set<int32_t> seen_;
    std::deque<InputWord> queued_;
    int moves_ = 0;
    int highs_ = 0;
};

// Kirune steps up and down all the time, and only once nebu's hyper attack
// has come does it fire, a shot or a spread in turn.
InputWord Kirune(int32_t frame, bool firing) {
    const InputWord step = frame % 120 < 60 ? INPUT_UP : INPUT_DOWN;
    if (firing && frame % 150 == 0) return INPUT_Z;
    if (firing && frame % 150 == 75) return INPUT_X;
    return step;
}

TEST(NebuScene, EveryMoveToAKnockOutReplaysFrameForFrameAndFromItsFile) {
    test::BattleRun run;
    test::BattleSetup setup;
    setup.characters[NEBU] = 7;
    setup.characters[1 - NEBU] = 1;
    setup.difficulty = DIFFICULTY_HARD;
    setup.noTimeLimit = 1;  // the fight ends by a knock-out
    std::set<int32_t> visited;
    auto pilotScript = [&visited](NebuPilot& pilot) {
        return [&visited, &pilot](int side, int32_t frame) -> InputWord {
            if (side != NEBU) return Kirune(frame, pilot.HyperDone());
            if (!sceneInitPending) visited.insert(players[NEBU].state);
            return pilot.Word();
        };
    };
    NebuPilot firstPilot;
    run.SetScript(pilotScript(firstPilot));
    run.Start(setup);
    run.RunToEnd(FRAME_LIMIT);
    ASSERT_TRUE(run.ended());
    ASSERT_EQ(sceneNumber, SCENE_RESULT);
    for (const int32_t state : {NEBU_TWIN_SHOT, NEBU_WHEEL, NEBU_ORBIT_SHOTS, NEBU_REAR_VOLLEY, NEBU_BEAM, NEBU_CHAIN,
                                NEBU_CHAIN_VOLLEY, NEBU_BURST_STRIKE, NEBU_SWEEP_BEAM, NEBU_STAR_BURST,
                                NEBU_REAR_STORM, NEBU_CLOSING_RING, NEBU_TRI_SPREAD, NEBU_FOUNTAIN})
        EXPECT_TRUE(visited.count(state)) << "nebu never entered state " << state;
    const int32_t loser = 1 - winnerSide;
    ASSERT_EQ(players[loser].state, PLAYER_KNOCKED_OUT);
    ASSERT_EQ(players[loser].life, 0);
    const std::vector<uint64_t> live = run.hashes();
    RecordProperty("frames", static_cast<int>(live.size()));
    RecordProperty("winner", winnerSide);

    NebuPilot secondPilot;
    run.SetScript(pilotScript(secondPilot));
    test::ExpectRerunAndPlaybackMatch(run, setup, live, FRAME_LIMIT);
}

}  // namespace
