#include "engine/core/math.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <ctime>
#include <functional>
#include <thread>

namespace {

// The state the generator reaches after `draws` raw draws from `seed`.
uint32_t StateAfter(unsigned seed, int draws) {
    SeedRandom(seed);
    for (int i = 0; i < draws; ++i) NextRandom();
    return GetRandomState();
}

// A seed whose next draw yields `value`: the state before the draw solves
// s * 214013 + 2531011 = value << 16 (mod 2^32).
unsigned SeedYielding(int value) {
    uint32_t inverse = 214013u;  // Newton steps double the correct low bits.
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    return ((static_cast<uint32_t>(value) << 16) - 2531011u) * inverse;
}

TEST(RandomTest, RawSequenceFollowsTheRuntimeGenerator) {
    SeedRandom(0);
    for (int expected : {38, 7719, 21238, 2437, 8855}) EXPECT_EQ(NextRandom(), expected);
}

TEST(RandomTest, StateIsPerThreadAndStartsAtOne) {
    SeedRandom(0);
    int first = -1;
    std::thread([&] { first = NextRandom(); }).join();
    EXPECT_EQ(first, 41);
    EXPECT_EQ(NextRandom(), 38) << "the other thread must not advance this thread's state";
}

TEST(RandomTest, RandomIntAfterSeedZero) {
    SeedRandom(0);
    EXPECT_EQ(RandomInt(0, 99), 22);  // (38 * 7719) % 100
    EXPECT_EQ(RandomInt(0, 99), 6);
    EXPECT_EQ(RandomInt(0, 99), 35);
}

struct DrawCase {
    const char* name;
    std::function<double()> call;
    int draws;
    double expected;  // result after seed 0
};

TEST(RandomTest, EachCallDrawsAFixedCountAndStaysInRange) {
    const DrawCase cases[] = {
        {"single value", [] { return RandomInt(5, 5); }, 2, 5},
        {"negative range", [] { return RandomInt(-10, -1); }, 2, -10 + 293322 % 10},
        // A reversed range draws from [hi, lo]: 293322 % 11 = 7.
        {"reversed range", [] { return RandomInt(10, 0); }, 2, 7},
        {"empty range one below", [] { return RandomInt(3, 2); }, 2, 2 + 293322 % 2},
        // The whole int range neither overflows nor divides by zero.
        {"whole int range", [] { return RandomInt(INT_MIN, INT_MAX); }, 2, INT_MIN + 293322.0},
        {"float", [] { return RandomFloat(0.0f, 32767.0f); }, 1, 38.0},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.name);
        SeedRandom(0);
        EXPECT_EQ(c.call(), c.expected);
        EXPECT_EQ(GetRandomState(), StateAfter(0, c.draws));
    }
}

TEST(RandomTest, RandomFloatIsComputedInDoubleAndRoundedOnce) {
    SeedRandom(0);
    // Float-only arithmetic gives 0x3E97B530 for the third value.
    for (uint32_t bits : {0xBF7F67FFu, 0xBF07630Fu, 0x3E97B52Fu})
        EXPECT_EQ(std::bit_cast<uint32_t>(RandomFloat(-1.0f, 1.0f)), bits);
}

TEST(RandomTest, RandomFloatReachesBothEnds) {
    SeedRandom(SeedYielding(32767));
    EXPECT_EQ(RandomFloat(0.0f, 1.0f), 1.0f);
    SeedRandom(SeedYielding(0));
    EXPECT_EQ(RandomFloat(-3.0f, 1.0f), -3.0f);
}

TEST(RandomTest, InitializeMathTablesSeedsWithTheTime) {
    const auto before = static_cast<uint32_t>(std::time(nullptr));
    InitializeMathTables();
    const uint32_t seeded = GetRandomState();
    const auto after = static_cast<uint32_t>(std::time(nullptr));
    EXPECT_GE(seeded, before);
    EXPECT_LE(seeded, after);
}

}  // namespace
