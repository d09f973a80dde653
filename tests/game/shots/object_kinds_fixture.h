#pragma once
// The object battle fixture with helpers that count what a call drew from
// the generator and find the Effects and areas it spawned.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/object_lists.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_objects_fixture.h"

namespace test {

template <class Fn>
int32_t RawDraws(Fn fn) {
    const uint32_t before = GetRandomState();
    fn();
    return RandomDrawsSince(before);
}

inline std::vector<int32_t> EffectIndices(int32_t type) {
    std::vector<int32_t> found;
    for (int32_t i = 0; i < effectList.Size(); ++i)
        if (effectList[i].type == type) found.push_back(i);
    return found;
}

inline int32_t CountEffects(int32_t type) { return static_cast<int32_t>(EffectIndices(type).size()); }

// An object of a side's own list as the character code appends one.
inline PlayerObject SideObject(int32_t type, float x, float y) {
    PlayerObject o{};
    o.tag = 9999;
    o.type = type;
    o.position[0] = x;
    o.position[1] = y;
    return o;
}

using ObjectKindsFixture = BattleObjectsFixture;

}  // namespace test
