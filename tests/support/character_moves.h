#pragma once
// The move tables of the characters' tests: the objects a move asks the
// spawners for, frame by frame, and a fixture that runs side 0's move from its
// start with its random draws counted.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "engine/core/math.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_objects_fixture.h"

namespace test {

// One spawner call of a move: the frame of the move, the kind and the code.
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

struct Object {
    ObjectKind kind;
    int32_t type;
};

// The spawns of the frames from..to (every step-th), each frame's objects
// given by `at` in the order they are asked for.
inline std::vector<Spawn> Frames(int32_t from, int32_t to, int32_t step,
                                 const std::function<std::vector<Object>(int32_t t)>& at) {
    std::vector<Spawn> spawns;
    for (int32_t t = from; t <= to; t += step)
        for (const Object& o : at(t)) spawns.push_back({t, o.kind, o.type});
    return spawns;
}

// One object of a kind and code every step-th frame from..to.
inline std::vector<Spawn> Every(int32_t from, int32_t to, int32_t step, ObjectKind kind, int32_t type) {
    return Frames(from, to, step, [=](int32_t) { return std::vector<Object>{{kind, type}}; });
}

inline std::vector<Spawn> Once(int32_t frame, std::vector<Object> objects) {
    return Frames(frame, frame, 1, [&](int32_t) { return objects; });
}

// The pattern n times over.
inline std::vector<Object> Times(int32_t n, const std::vector<Object>& pattern) {
    std::vector<Object> all;
    for (int32_t i = 0; i < n; ++i) all.insert(all.end(), pattern.begin(), pattern.end());
    return all;
}

// The parts merged by frame; within a frame the parts keep the order given.
inline std::vector<Spawn> Join(std::initializer_list<std::vector<Spawn>> parts) {
    std::vector<Spawn> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    std::stable_sort(all.begin(), all.end(), [](const Spawn& a, const Spawn& b) { return a.frame < b.frame; });
    return all;
}

using MoveScript = std::function<InputWord(int32_t frame)>;
inline InputWord NoButtons(int32_t) { return 0; }

// Side 0 plays the character whose update is given, at (-100, 0); the
// opponent (side 1) stands still at (100, 0) unless a test moves it. Only
// side 0's update runs.
class CharacterMoveFixture : public BattleObjectsFixture {
protected:
    using Update = void (*)(int32_t side);
    CharacterMoveFixture(int32_t characterId, Update update) : characterId_(characterId), update_(update) {}

    void SetUp() override {
        BattleObjectsFixture::SetUp();
        players[0].characterId = characterId_;
    }

    struct Run {
        std::vector<Spawn> spawns;   // the start bursts' sparks (1100, 1101) left out
        std::vector<int32_t> draws;  // random draws per frame
        std::vector<int32_t> states; // the state after each frame
        int32_t freeAfter = -1;      // the frame after which the side was free
    };

    // The move from stateTimer 0, a frame at a time with the script's words,
    // until the side is free or `frames` have run.
    Run RunMove(int32_t state, int32_t frames, const MoveScript& script = NoButtons) {
        PlayerRecord& p = players[0];
        p.state = state;
        p.stateTimer = 0;
        Run run;
        for (int32_t frame = 0; frame < frames && run.freeAfter < 0; ++frame) {
            TakeSpawns();
            Press(0, script(frame));
            const uint32_t before = GetRandomState();
            update_(0);
            run.draws.push_back(RandomDrawsSince(before));
            run.states.push_back(p.state);
            for (const SpawnRequest& r : spawns)
                if (r.type != 1100 && r.type != 1101) run.spawns.push_back({frame, r.kind, r.type});
            if (p.state == PLAYER_FREE) run.freeAfter = frame;
        }
        return run;
    }

private:
    int32_t characterId_;
    Update update_;
};

}  // namespace test
