#pragma once
// The objects a character's move spawns, frame by frame, as tables of
// expected spawns, and a fixture that runs a move of side 0 through its
// character's update and records them.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "engine/core/math.h"
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

constexpr ObjectKind HEAVY = ObjectKind::HeavyShot;
constexpr ObjectKind SHOT = ObjectKind::Shot;
constexpr ObjectKind AREA = ObjectKind::AttackArea;
constexpr ObjectKind EFFECT = ObjectKind::Effect;

// `times` spawns of the type on every step-th frame from `from` to `to`.
inline std::vector<Spawn> Every(int32_t from, int32_t to, int32_t step, ObjectKind kind, int32_t type,
                                int32_t times = 1) {
    std::vector<Spawn> spawns;
    for (int32_t f = from; f <= to; f += step)
        for (int32_t k = 0; k < times; ++k) spawns.push_back({f, kind, type});
    return spawns;
}

// All parts in frame order; within a frame, in the order the parts are given.
inline std::vector<Spawn> Join(std::initializer_list<std::vector<Spawn>> parts) {
    std::vector<Spawn> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    std::stable_sort(all.begin(), all.end(), [](const Spawn& a, const Spawn& b) { return a.frame < b.frame; });
    return all;
}

using MoveScript = std::function<InputWord(int32_t frame)>;

inline InputWord NoButtons(int32_t) { return 0; }

class MoveFixture : public BattleObjectsFixture {
protected:
    using Update = void (*)(int32_t side);

    struct MoveRun {
        std::vector<Spawn> spawns;   // the sparks 1100 and 1101 left out
        std::vector<int32_t> draws;  // random draws per frame
        int32_t freeAfter = -1;      // the frame after which the side was free
    };

    // Side 0 in `state` from stateTimer 0, one update a frame with the words
    // of the script, until it is free or `frames` have run; `after` looks at
    // each frame's end.
    MoveRun RunMoveOf(Update update, int32_t state, int32_t frames, const MoveScript& script = NoButtons,
                      const std::function<void(int32_t frame)>& after = nullptr) {
        PlayerRecord& p = players[0];
        p.state = state;
        p.stateTimer = 0;
        MoveRun run;
        for (int32_t frame = 0; frame < frames && run.freeAfter < 0; ++frame) {
            TakeSpawns();
            Press(0, script(frame));
            const uint32_t before = GetRandomState();
            update(0);
            run.draws.push_back(RandomDrawsSince(before));
            for (const SpawnRequest& r : spawns)
                if (r.type != 1100 && r.type != 1101) run.spawns.push_back({frame, r.kind, r.type});
            if (p.state == PLAYER_FREE) run.freeAfter = frame;
            if (after) after(frame);
        }
        return run;
    }
};

}  // namespace test
