#pragma once
// A battle ready for the AttackArea, Effect and PlayerObject rules, with
// helpers that count what a call drew from the generator and what it spawned.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/core/math.h"
#include "game/shots/object_lists.h"
#include "tests/support/battle_fixture.h"

namespace test {

// Raw generator draws made between two states (-1 when more than a million).
inline int32_t DrawsBetween(uint32_t before, uint32_t after) {
    uint32_t state = before;
    for (int32_t n = 0; n < 1000000; ++n) {
        if (state == after) return n;
        state = state * 214013u + 2531011u;
    }
    return -1;
}

template <class Fn>
int32_t RawDraws(Fn fn) {
    const uint32_t before = GetRandomState();
    fn();
    return DrawsBetween(before, GetRandomState());
}

inline std::vector<int32_t> EffectIndices(int32_t type) {
    std::vector<int32_t> found;
    for (int32_t i = 0; i < effectList.Size(); ++i)
        if (effectList[i].type == type) found.push_back(i);
    return found;
}

inline int32_t CountEffects(int32_t type) { return static_cast<int32_t>(EffectIndices(type).size()); }

inline int32_t CountAreas(int32_t type) {
    int32_t n = 0;
    for (int32_t i = 0; i < attackAreaList.Size(); ++i) n += attackAreaList[i].type == type;
    return n;
}

class ObjectKindsFixture : public BattleFixture {
protected:
    void SetUp() override {
        BattleFixture::SetUp();
        particleList.Free();
    }
};

}  // namespace test
