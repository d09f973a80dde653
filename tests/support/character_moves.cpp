#include "tests/support/character_moves.h"

#include <algorithm>

#include "engine/core/math.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/characters/character_steps.h"
#include "tests/support/battle_hash.h"

namespace test {

std::ostream& operator<<(std::ostream& out, const Spawn& s) {
    return out << "{frame " << s.frame << ", kind " << static_cast<int>(s.kind) << ", " << s.type << "}";
}

std::ostream& operator<<(std::ostream& out, const StateSeen& s) {
    return out << "{frame " << s.frame << ", state " << s.state << "}";
}

std::vector<Spawn> Every(int32_t from, int32_t to, int32_t step, ObjectKind kind, int32_t type, int32_t times) {
    std::vector<Spawn> spawns;
    for (int32_t f = from; f <= to; f += step)
        for (int32_t k = 0; k < times; ++k) spawns.push_back({f, kind, type});
    return spawns;
}

std::vector<Spawn> Join(std::initializer_list<std::vector<Spawn>> parts) {
    std::vector<Spawn> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    std::stable_sort(all.begin(), all.end(), [](const Spawn& a, const Spawn& b) { return a.frame < b.frame; });
    return all;
}

std::vector<Spawn> OfKind(const std::vector<Spawn>& spawns, ObjectKind kind) {
    std::vector<Spawn> of;
    std::copy_if(spawns.begin(), spawns.end(), std::back_inserter(of), [kind](const Spawn& s) { return s.kind == kind; });
    return of;
}

std::vector<int32_t> DrawsOnFrames(size_t frames, const DrawFrames& draws) {
    std::vector<int32_t> expected(frames, 0);
    for (const auto& [which, count] : draws)
        for (int32_t f : which) expected[static_cast<size_t>(f)] = count;
    return expected;
}

void CharacterMovesFixture::BecomeCharacter(int32_t characterId) {
    players[0].characterId = characterId;
    players[1].characterId = 1;
    ResetPlayerForBattle(0);
    ResetPlayerForBattle(1);
}

CharacterMovesFixture::Run CharacterMovesFixture::RunMove(int32_t state, int32_t frames, const Script& script,
                                                          int32_t stateTimer) {
    PlayerRecord& p = players[0];
    p.state = state;
    p.stateTimer = stateTimer;
    Run run;
    TakeSounds();
    for (int32_t frame = 0; frame < frames && run.freeAfter < 0; ++frame) {
        TakeSpawns();
        Press(0, script(frame));
        const uint32_t before = GetRandomState();
        update_(0);
        run.draws.push_back(RandomDrawsSince(before));
        run.states.push_back(p.state);
        for (const SpawnRequest& r : spawns)
            if (r.type != 1100 && r.type != 1101) run.spawns.push_back({frame, r.kind, r.type});
        const std::vector<int32_t> played = TakeSounds();
        if (!played.empty()) run.sounds[frame] = played;
        if (p.state == PLAYER_FREE) run.freeAfter = frame;
    }
    return run;
}

std::vector<StateSeen> CharacterMovesFixture::RunFrames(int32_t frames, const Script& word,
                                                       const FrameObserver& afterFrame) {
    const PlayerRecord& p = players[0];
    std::vector<StateSeen> changes;
    int32_t state = p.state;
    for (int32_t frame = 0; frame < frames; ++frame) {
        TakeSpawns();
        Press(0, word(frame));
        const uint32_t before = GetRandomState();
        update_(0);
        afterFrame(frame, RandomDrawsSince(before));
        if (p.state != state) changes.push_back({frame, p.state});
        state = p.state;
        if (state == PLAYER_FREE && frame > 0) break;
    }
    return changes;
}

void CharacterMovesFixture::ExpectShieldFrameFive(int32_t invulnerableTimer, int32_t particleKind) {
    SetUp();
    StepFrom(PLAYER_SHIELD, 5, 0);
    EXPECT_EQ(players[0].invulnerableTimer, invulnerableTimer);
    ASSERT_EQ(particleList.Size(), 20);
    for (int32_t i = 0; i < particleList.Size(); ++i) EXPECT_EQ(particleList[i].kind, particleKind);
}

void CharacterMovesFixture::ExpectBoostedDashTrail(double boostSpeed) {
    SetUp();
    TakeSpawns();
    PlayerRecord& p = players[0];
    p.speed = 3.0;
    p.counter = 8;
    StepFrom(PLAYER_DASH, 0, INPUT_V, INPUT_V);
    EXPECT_EQ(SpawnedTypes(ObjectKind::Effect), std::vector<int32_t>{1002});
    EXPECT_DOUBLE_EQ(p.speed, boostSpeed - DECAY_FAST) << "boosted to the boost speed";
}

Script CharacterMovesFixture::WordsThenNothing(const std::vector<InputWord>& words, float* gaugeAfterFirst) {
    return [words, gaugeAfterFirst](int32_t frame) -> InputWord {
        if (frame == 1) *gaugeAfterFirst = players[0].hyperGauge;
        return frame < static_cast<int32_t>(words.size()) ? words[static_cast<size_t>(frame)] : InputWord{0};
    };
}

void CharacterMovesFixture::StepFrom(int32_t state, int32_t stateTimer, InputWord word, InputWord before) {
    players[0].state = state;
    players[0].stateTimer = stateTimer;
    Press(0, before);
    Press(0, word);
    update_(0);
}

void CharacterMovesFixture::ExpectTimelines(const std::vector<MoveTimeline>& timelines, int32_t frames) {
    for (const MoveTimeline& c : timelines) {
        SetUp();
        players[1].x = c.opponentX;
        const Run run = RunMove(c.state, frames);
        EXPECT_EQ(run.spawns, c.spawns) << "state " << c.state;
        EXPECT_EQ(run.freeAfter, c.freeAfter) << "state " << c.state;
    }
}

void CharacterMovesFixture::ExpectDrawsPerFrame(const std::vector<MoveDraws>& moves, int32_t frames,
                                                const std::function<void()>& arrange) {
    for (const MoveDraws& m : moves) {
        SetUp();
        if (arrange) arrange();
        const Run run = RunMove(m.state, frames);
        EXPECT_EQ(run.draws, DrawsOnFrames(run.draws.size(), m.draws)) << "state " << m.state;
    }
}

void CharacterMovesFixture::ExpectMoveMarks(const std::vector<MoveMarks>& marks, double dashSpeed, InputWord held,
                                            const std::function<void()>& arrange,
                                            const std::function<void(int32_t stateAfter)>& alsoExpect) {
    for (const MoveMarks& m : marks) {
        const int32_t vBeforeTheEnd = m.dashAfter == NO_DASH ? m.state : PLAYER_DASH;
        struct Step {
            int32_t stateTimer;
            InputWord word;
            int32_t stateAfter;
        };
        std::vector<Step> steps = {{m.lastFrame - 1, 0, m.state},
                                   {m.lastFrame - 1, INPUT_V, vBeforeTheEnd},
                                   {m.lastFrame, INPUT_V, PLAYER_FREE}};
        if (m.dashAfter != NO_DASH) {
            steps.push_back({m.dashAfter - 1, INPUT_V, m.state});
            steps.push_back({m.dashAfter, INPUT_V, PLAYER_DASH});
        }
        for (const Step& s : steps) {
            SetUp();
            if (arrange) arrange();
            StepFrom(m.state, s.stateTimer, static_cast<InputWord>(s.word | held), held);
            const PlayerRecord& p = players[0];
            EXPECT_EQ(p.state, s.stateAfter) << "state " << m.state << " at " << s.stateTimer;
            EXPECT_EQ(p.stateTimer, s.stateAfter == PLAYER_FREE ? 0 : s.stateTimer + 1)
                << "state " << m.state << " at " << s.stateTimer;
            if (s.stateAfter == PLAYER_DASH) {
                EXPECT_EQ(p.speed, dashSpeed) << "state " << m.state;
            }
            if (alsoExpect) alsoExpect(s.stateAfter);
        }
    }
}

void CharacterMovesFixture::ExpectChainSteps(const std::vector<ChainStep>& steps, float opponentX) {
    for (const ChainStep& c : steps) {
        SetUp();
        players[1].x = opponentX;
        players[1].state = c.opponentState;
        StepFrom(c.state, c.stateTimer, c.word, c.before);
        EXPECT_EQ(players[0].state, c.stateAfter) << c.what;
        EXPECT_EQ(players[0].stateTimer, c.stateTimerAfter) << c.what;
    }
}

std::vector<CharacterMovesFixture::MoveMarks> CharacterMovesFixture::EndAndDashFrom(std::vector<MoveMarks> marks) {
    for (MoveMarks& m : marks) {
        --m.lastFrame;
        if (m.dashAfter != NO_DASH) --m.dashAfter;
    }
    return marks;
}

void CharacterMovesFixture::ExpectSparks(const std::vector<SpawnRequest>& sparks, unsigned seed, int32_t n,
                                         double sector) {
    const uint32_t now = GetRandomState();
    SeedRandom(seed);
    ASSERT_EQ(sparks.size(), static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const int32_t kind = RandomInt(0, 100) < 50 ? 1100 : 1101;
        const float angle = static_cast<float>(RandomFloat(0.0f, 3.1415927f / 2.0f) + i * sector);
        EXPECT_EQ(sparks[i].type, kind) << n << " sparks, spark " << i;
        EXPECT_EQ(sparks[i].angle, angle) << n << " sparks, spark " << i;
        EXPECT_EQ(sparks[i].position[0], players[0].x) << n << " sparks, spark " << i;
    }
    SeedRandom(now);
}

void CharacterMovesFixture::ExpectChargeByRelease(const ChargeShots& shots) {
    const struct {
        int32_t release;  // first frame without Z, or -1 when Z stays down
        int32_t type;     // HeavyShot fired, 0 for none
        int32_t firedAt;
    } cases[] = {
        {5, shots.plain, 14},   // released before frame 10: the plain shot
        {15, shots.small, 15},  // charging: the small shot at once
        {24, shots.small, 24},
        {25, shots.large, 30},  // from 25 the large shot, not before 30
        {29, shots.large, 30},
        {35, shots.large, 35},
        {-1, 0, 0},
    };
    for (const auto& c : cases) {
        SetUp();
        Press(0, INPUT_Z);  // pressed on the frame before the move
        const Run run = RunMove(shots.shotState, 200, [&](int32_t f) -> InputWord {
            return c.release < 0 || f < c.release ? INPUT_Z : 0;
        });
        const std::vector<Spawn> fired = OfKind(run.spawns, HEAVY);
        if (c.type == 0) {
            EXPECT_TRUE(fired.empty());
            EXPECT_EQ(players[0].state, shots.chargeState) << "held: charging on";
            EXPECT_GE(players[0].stateTimer, 31);
            EXPECT_LE(players[0].stateTimer, 40);
            EXPECT_EQ(run.draws.back(), 4) << "a charge spark a frame";
        } else {
            EXPECT_EQ(fired, (std::vector<Spawn>{{c.firedAt, HEAVY, c.type}})) << "release at " << c.release;
            if (c.type != shots.plain) {
                EXPECT_EQ(run.freeAfter, c.firedAt + 50) << "t 101 to 150 waited out";
            }
        }
    }
}

}  // namespace test
