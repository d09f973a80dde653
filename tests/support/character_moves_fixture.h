#pragma once
// A fixture for a character's move states: side 0 runs one move from its
// first frame with a scripted word a frame (only side 0's update runs), and
// the run records each frame's spawner calls, sound effects and random
// draws, and the frame after which the side was free again.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <vector>

#include "engine/core/math.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_objects_fixture.h"

namespace test {

// One spawner call of a move: on which frame, of which kind and code.
struct Spawn {
    int32_t frame;
    ObjectKind kind;
    int32_t type;
    bool operator==(const Spawn&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Spawn& s) {
    return out << "{frame " << s.frame << ", kind " << static_cast<int>(s.kind) << ", " << s.type << "}";
}

// Spawns of one kind and code from frame `from` to `to`, every `step` frames.
inline std::vector<Spawn> Every(int32_t from, int32_t to, int32_t step, ObjectKind kind, int32_t type) {
    std::vector<Spawn> spawns;
    for (int32_t f = from; f <= to; f += step) spawns.push_back({f, kind, type});
    return spawns;
}

// Lists of spawns merged by frame, keeping each frame's order.
inline std::vector<Spawn> Join(std::initializer_list<std::vector<Spawn>> parts) {
    std::vector<Spawn> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    std::stable_sort(all.begin(), all.end(), [](const Spawn& a, const Spawn& b) { return a.frame < b.frame; });
    return all;
}

using MoveScript = std::function<InputWord(int32_t frame)>;
inline InputWord NoButtons(int32_t) { return 0; }

class CharacterMovesFixture : public BattleObjectsFixture {
protected:
    struct Run {
        std::vector<Spawn> spawns;                       // the high attacks' sparks (1100, 1101) left out
        std::map<int32_t, std::vector<int32_t>> sounds;  // frame -> the sound effects asked for
        std::vector<int32_t> draws;                      // random draws per frame
        int32_t freeAfter = -1;                          // the frame after which the side was free
    };

    // Side 0 in `state` from stateTimer 0 for at most `frames` frames of
    // `update`, until it is free.
    Run RunMoveOf(void (*update)(int32_t side), int32_t state, int32_t frames, const MoveScript& script) {
        PlayerRecord& p = players[0];
        p.state = state;
        p.stateTimer = 0;
        Run run;
        TakeSounds();
        for (int32_t frame = 0; frame < frames && run.freeAfter < 0; ++frame) {
            TakeSpawns();
            Press(0, script(frame));
            const uint32_t before = GetRandomState();
            update(0);
            run.draws.push_back(RandomDrawsSince(before));
            for (const SpawnRequest& r : spawns)
                if (r.type != 1100 && r.type != 1101) run.spawns.push_back({frame, r.kind, r.type});
            const std::vector<int32_t> played = TakeSounds();
            if (!played.empty()) run.sounds[frame] = played;
            if (p.state == PLAYER_FREE) run.freeAfter = frame;
        }
        return run;
    }
};

}  // namespace test
