#pragma once
// A fixture for one character's moves: side 0 runs its update alone, frame by
// frame, against an opponent standing still, while the spawns and random
// draws of every frame are traced.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <ostream>
#include <vector>

#include "game/flow/input_words.h"
#include "game/shots/object_types.h"
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

class CharacterMovesFixture : public BattleObjectsFixture {
protected:
    using Update = void (*)(int32_t side);
    explicit CharacterMovesFixture(Update update) : update_(update) {}

    struct Run {
        std::vector<Spawn> spawns;                       // the sparks 1100 and 1101 left out
        std::map<int32_t, std::vector<int32_t>> sounds;  // frame -> the sound effects asked for
        std::vector<int32_t> draws;                      // random draws per frame
        std::vector<int32_t> states;                     // the state after each frame
        int32_t freeAfter = -1;      // the frame after which the side was free
    };

    // The move from `stateTimer` on, for at most `frames` frames or until the
    // side is free.
    Run RunMove(int32_t state, int32_t frames, const Script& script = NoButtons, int32_t stateTimer = 0);

private:
    Update update_;
};

}  // namespace test
