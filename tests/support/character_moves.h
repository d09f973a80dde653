#pragma once
// A fixture for one character's moves: side 0 runs its update alone, frame by
// frame, against an opponent standing still, while the spawns and random
// draws of every frame are traced; with the checks that every character's
// moves are put through (timelines, draws per frame, the marks at which a
// move ends or may dash, the opening sparks, the charged shot).
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <ostream>
#include <utility>
#include <vector>

#include "game/arena/object_types.h"
#include "game/flow/input_words.h"
#include "tests/support/battle_objects_fixture.h"

namespace test {

// An object asked for on a frame of a move.
struct Spawn {
    int32_t frame;
    ObjectKind kind;
    int32_t type;
    bool operator==(const Spawn&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Spawn& s);

// The state a side entered on a frame.
struct StateSeen {
    int32_t frame;
    int32_t state;
    bool operator==(const StateSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const StateSeen& s);

inline constexpr ObjectKind HEAVY = ObjectKind::HeavyShot;
inline constexpr ObjectKind SHOT = ObjectKind::Shot;
inline constexpr ObjectKind AREA = ObjectKind::AttackArea;
inline constexpr ObjectKind EFFECT = ObjectKind::Effect;

// The side's word on each frame of a move.
using Script = std::function<InputWord(int32_t frame)>;
inline InputWord NoButtons(int32_t) { return 0; }

// `times` spawns of the kind and type on every step-th frame from `from` to `to`.
std::vector<Spawn> Every(int32_t from, int32_t to, int32_t step, ObjectKind kind, int32_t type, int32_t times = 1);
// The spawns of the parts in frame order; within a frame in the order of the parts.
std::vector<Spawn> Join(std::initializer_list<std::vector<Spawn>> parts);
// The spawns of one kind, in order.
std::vector<Spawn> OfKind(const std::vector<Spawn>& spawns, ObjectKind kind);

// Frames that draw random numbers, with the draws in each of them.
using DrawFrames = std::vector<std::pair<std::vector<int32_t>, int32_t>>;
// The draws of each of `frames` frames: as `draws` says, 0 on the others.
std::vector<int32_t> DrawsOnFrames(size_t frames, const DrawFrames& draws);

class CharacterMovesFixture : public BattleObjectsFixture {
protected:
    using Update = void (*)(int32_t side);
    // With a characterId, side 0 becomes that character at every SetUp (side
    // 1 kirune), both reset for a battle.
    explicit CharacterMovesFixture(Update update, int32_t characterId = 0)
        : update_(update), characterId_(characterId) {}

    void SetUp() override {
        BattleObjectsFixture::SetUp();
        if (characterId_ != 0) BecomeCharacter(characterId_);
    }

    struct Run {
        std::vector<Spawn> spawns;                       // the sparks 1100 and 1101 left out
        std::map<int32_t, std::vector<int32_t>> sounds;  // frame -> the sound effects asked for
        std::vector<int32_t> draws;                      // random draws per frame
        std::vector<int32_t> states;                     // the state after each frame
        int32_t freeAfter = -1;      // the frame after which the side was free
    };

    // Side 0 becomes the character (side 1 kirune), both reset for a battle.
    void BecomeCharacter(int32_t characterId);

    // The move from `stateTimer` on, for at most `frames` frames or until the
    // side is free.
    Run RunMove(int32_t state, int32_t frames, const Script& script = NoButtons, int32_t stateTimer = 0);

    // From the side's present state, up to `frames` frames with word(frame)
    // pressed, until it is free again after the first frame; afterFrame(frame,
    // draws) sees each frame once its update has run. Returns each change of
    // state.
    using FrameObserver = std::function<void(int32_t frame, int32_t draws)>;
    std::vector<StateSeen> RunFrames(int32_t frames, const Script& word, const FrameObserver& afterFrame);

    // The shield's frame 5: 20 particles of particleKind, and the
    // invulnerability it gives.
    void ExpectShieldFrameFive(int32_t invulnerableTimer, int32_t particleKind);
    // V held in a dash that has slowed below the boost speed: the trail
    // Effect 1002 on a counter of 8, and the speed raised to boostSpeed
    // before the frame's slow-down.
    void ExpectBoostedDashTrail(double boostSpeed);

    // A script of `words` on frames 0, 1, ... and no buttons after them,
    // noting in *gaugeAfterFirst side 0's hyper gauge as frame 1 begins.
    static Script WordsThenNothing(const std::vector<InputWord>& words, float* gaugeAfterFirst);

    // One frame of the side in `state` at `stateTimer`, with `before` pressed
    // on the frame before and `word` on this one.
    void StepFrom(int32_t state, int32_t stateTimer, InputWord word, InputWord before = 0);

    // From each move's first frame, with the opponent at opponentX: its spawns
    // and the frame after which the side is free.
    struct MoveTimeline {
        int32_t state;
        float opponentX;
        std::vector<Spawn> spawns;
        int32_t freeAfter;
    };
    void ExpectTimelines(const std::vector<MoveTimeline>& timelines, int32_t frames);

    // The random draws of each frame of each move, run from its first frame
    // (`arrange` places the fighters after each reset).
    struct MoveDraws {
        int32_t state;
        DrawFrames draws;
    };
    void ExpectDrawsPerFrame(const std::vector<MoveDraws>& moves, int32_t frames,
                             const std::function<void()>& arrange = nullptr);

    // A move's marks: V pressed in the frame whose stateTimer is dashAfter
    // starts a dash at the dash speed (NO_DASH: V never does), one frame
    // earlier it does not, nor later than the move's end; in the frame whose
    // stateTimer is lastFrame the move ends (stateTimer 0 again), whatever V
    // does, and not one frame earlier. The move's stateTimer counts on in the
    // frames it goes on, a dash's too.
    static constexpr int32_t NO_DASH = -1;
    struct MoveMarks {
        int32_t state, lastFrame, dashAfter;
    };
    // `held` is down in every checked frame, `arrange` places the fighters
    // after each reset and `alsoExpect` checks more of each frame.
    void ExpectMoveMarks(const std::vector<MoveMarks>& marks, double dashSpeed, InputWord held = 0,
                         const std::function<void()>& arrange = nullptr,
                         const std::function<void(int32_t stateAfter)>& alsoExpect = nullptr);
    // Marks told the other way: the stateTimer a move ends at (its last
    // frame's, advanced) and the first advanced one from which V dashes.
    static std::vector<MoveMarks> EndAndDashFrom(std::vector<MoveMarks> marks);

    // One frame of a move that may chain: from state at stateTimer, with
    // `before` pressed on the frame before and `word` on this one and the
    // opponent (at opponentX) in opponentState, the state and stateTimer that
    // follow.
    struct ChainStep {
        int32_t state, stateTimer;
        InputWord before, word;
        int32_t opponentState;
        int32_t stateAfter, stateTimerAfter;
        const char* what;
    };
    void ExpectChainSteps(const std::vector<ChainStep>& steps, float opponentX);

    // The spark Effects of an opening against those drawn from `seed`: per
    // spark the kind (1100 below 50 of RandomInt(0, 100), else 1101), then
    // the angle RandomFloat(0, pi/2) + i x sector, taken in double and
    // rounded once; all at the side's position.
    void ExpectSparks(const std::vector<SpawnRequest>& sparks, unsigned seed, int32_t n, double sector);

    // The shot of Z held into the charge, let go at frame `release` (-1: held
    // on): before frame 10 the plain shot on 14; charging, the small shot at
    // once before 25 and the large one from 30 on (a release from 25 fires it
    // on 30), the move then running out 50 frames later; held on, no shot and
    // a charge spark a frame.
    struct ChargeShots {
        int32_t shotState, chargeState;
        int32_t plain, small, large;
    };
    void ExpectChargeByRelease(const ChargeShots& shots);

private:
    Update update_;
    int32_t characterId_;
};

}  // namespace test
