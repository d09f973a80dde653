#pragma once
// Runs one character's move frame by frame on the object battle fixture and
// records what a move test compares: the objects spawned on each frame (the
// start bursts' sparks left out), the random draws of each frame, the state
// after each frame and the frame after which the side was free again.
#include <functional>
#include <ostream>
#include <vector>

#include "game/shots/object_lists.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_objects_fixture.h"

namespace test {

struct Spawn {
    int32_t frame;
    ObjectKind kind;
    int32_t type;
    bool operator==(const Spawn&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Spawn& s) {
    return out << "{frame " << s.frame << ", kind " << static_cast<int>(s.kind) << ", " << s.type << "}";
}

// The word a side presses on each frame of the move.
using MoveScript = std::function<InputWord(int32_t frame)>;

struct MoveRun {
    std::vector<Spawn> spawns;
    std::vector<int32_t> draws;   // generator steps per frame
    std::vector<int32_t> states;  // the state after each frame
    int32_t freeAfter = -1;       // the frame after which the side was free
};

class CharacterMoveFixture : public BattleObjectsFixture {
protected:
    // Puts the side into the state with stateTimer 0 and runs its update for
    // at most `frames` frames, until it is free.
    MoveRun RunCharacterMove(void (*update)(int32_t side), int32_t side, int32_t state, int32_t frames,
                             const MoveScript& script) {
        PlayerRecord& p = players[side];
        p.state = state;
        p.stateTimer = 0;
        MoveRun run;
        for (int32_t frame = 0; frame < frames && run.freeAfter < 0; ++frame) {
            TakeSpawns();
            Press(side, script(frame));
            const uint32_t before = GetRandomState();
            update(side);
            run.draws.push_back(RandomDrawsSince(before));
            for (const SpawnRequest& r : spawns)
                if (r.type != 1100 && r.type != 1101) run.spawns.push_back({frame, r.kind, r.type});
            run.states.push_back(p.state);
            if (p.state == PLAYER_FREE) run.freeAfter = frame;
        }
        return run;
    }
};

}  // namespace test
