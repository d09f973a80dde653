#pragma once
// The objects a character's move spawns, frame by frame, as tables of
// expected spawns for the move tests.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "game/shots/object_lists.h"

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

}  // namespace test
