#include "game/arena/object_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "game/arena/object_types.h"

namespace {

HeavyShot ShotOfType(int32_t type) {
    HeavyShot shot{};
    shot.type = type;
    return shot;
}

std::vector<int32_t> Types(ObjectList<HeavyShot>& list) {
    std::vector<int32_t> types;
    for (int32_t i = 0; i < list.Size(); ++i) types.push_back(list[i].type);
    return types;
}

// Rules for the walk cases: type 0 is erased, a type from 100 on appends a
// record of its type minus 100 (once), everything else is kept. Each visited
// record is aged through the list after the append, as the update code does.
TEST(ObjectListWalk, EraseKeepsTheIndexAndAppendsAreVisited) {
    const struct {
        std::vector<int32_t> before;
        std::vector<int32_t> visits;
        std::vector<int32_t> after;
        const char* what;
    } cases[] = {
        {{1, 0, 2}, {1, 0, 2}, {1, 2}, "erase in the middle skips nothing"},
        {{0, 0, 0}, {0, 0, 0}, {}, "erase every record"},
        {{1, 2, 0}, {1, 2, 0}, {1, 2}, "erase the last record"},
        {{101, 2}, {101, 2, 1}, {101, 2, 1}, "a record appended in the walk is visited in it"},
        {{100, 1}, {100, 1, 0}, {100, 1}, "an appended record can be erased in the same walk"},
        {{0, 103, 0}, {0, 103, 0, 3}, {103, 3}, "append and erase mixed"},
    };
    for (const auto& c : cases) {
        ObjectList<HeavyShot> list;
        for (int32_t type : c.before) list.Append(ShotOfType(type));
        std::vector<int32_t> visits;
        WalkObjectList(list, [&](int32_t i) {
            const int32_t type = list[i].type;
            visits.push_back(type);
            if (type >= 100 && list[i].age == 0) list.Append(ShotOfType(type - 100));
            list[i].age += 1;  // through the list again: the append may have moved it
            return type == 0 ? WalkStep::Erase : WalkStep::Keep;
        });
        EXPECT_EQ(visits, c.visits) << c.what;
        EXPECT_EQ(Types(list), c.after) << c.what;
        for (int32_t i = 0; i < list.Size(); ++i) EXPECT_EQ(list[i].age, 1) << c.what << " index " << i;
    }
}

TEST(ObjectListWalk, AppendsThatGrowTheStorageKeepEveryRecord) {
    ObjectList<HeavyShot> list;
    list.Append(ShotOfType(1));
    int32_t appended = 0;
    WalkObjectList(list, [&](int32_t i) {
        if (appended < 200) {
            list.Append(ShotOfType(2 + appended));
            ++appended;
        }
        list[i].speed = static_cast<float>(i);
        return WalkStep::Keep;
    });
    ASSERT_EQ(list.Size(), 201);
    for (int32_t i = 0; i < list.Size(); ++i) {
        EXPECT_EQ(list[i].type, 1 + i);
        EXPECT_EQ(list[i].speed, static_cast<float>(i));
    }
}

// The list as it was first written: every erase closes its hole at once.
// The walks must see exactly what this one sees.
struct ErasingList {
    std::vector<HeavyShot> records;
    int32_t Size() const { return static_cast<int32_t>(records.size()); }
    HeavyShot& operator[](int32_t i) { return records[static_cast<size_t>(i)]; }
    void Append(const HeavyShot& r) { records.push_back(r); }
    void Erase(int32_t i) {
        if (i >= 0 && i < Size()) records.erase(records.begin() + i);
    }
    template <class Step>
    void Walk(Step step) {
        for (int32_t i = 0; i < Size();) {
            if (step(i) == WalkStep::Erase) Erase(i);
            else ++i;
        }
    }
};

// A walk whose steps, drawn from seed, append, erase other records before and
// after their own, erase their own and keep going, or walk the same list again
// inside; the log holds what each step saw (index, record, size).
template <class List>
std::vector<int32_t> ScriptedWalk(List& list, uint32_t seed) {
    std::mt19937 draw(seed);
    std::vector<int32_t> log;
    int32_t next = 1000;
    const auto pick = [&](int32_t n) { return static_cast<int32_t>(draw() % static_cast<uint32_t>(n)); };
    list.Walk([&](int32_t i) {
        log.insert(log.end(), {i, list[i].type, list.Size()});
        const int32_t roll = pick(100);
        if (roll < 20 && next < 1400) list.Append(ShotOfType(next++));
        if (roll >= 20 && roll < 30) list.Erase(pick(list.Size()));  // may be before, after or this one
        if (roll == 30) {
            list.Walk([&](int32_t j) {
                log.push_back(list[j].type);
                return list[j].type % 5 == 0 ? WalkStep::Erase : WalkStep::Keep;
            });
        }
        if (i < list.Size()) list[i].age += 1;
        return pick(3) == 0 ? WalkStep::Erase : WalkStep::Keep;
    });
    for (int32_t i = 0; i < list.Size(); ++i) log.insert(log.end(), {list[i].type, list[i].age});
    return log;
}

TEST(ObjectListWalk, SeesTheListAsWhenEachEraseClosedItsHole) {
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        ObjectList<HeavyShot> list;
        ErasingList reference;
        for (int32_t type = 0; type < 300; ++type) {
            list.Append(ShotOfType(type));
            reference.Append(ShotOfType(type));
        }
        ASSERT_EQ(ScriptedWalk(list, seed), ScriptedWalk(reference, seed)) << "seed " << seed;
        EXPECT_EQ(list.LastIndex(), reference.Size() - 1);
    }
}

TEST(ObjectListWalk, AReferenceToTheVisitedRecordSurvivesErasingALaterOne) {
    ObjectList<HeavyShot> list;
    for (int32_t type = 0; type < 6; ++type) list.Append(ShotOfType(type));
    WalkObjectList(list, [&](int32_t i) {
        HeavyShot& own = list[i];
        if (own.type % 2 == 1 && i + 1 < list.Size()) list.Erase(i + 1);
        own.age = 7;
        return own.type == 0 ? WalkStep::Erase : WalkStep::Keep;
    });
    EXPECT_EQ(Types(list), (std::vector<int32_t>{1, 3, 5}));
    for (int32_t i = 0; i < list.Size(); ++i) EXPECT_EQ(list[i].age, 7) << i;
}

TEST(ObjectListAdjust, IgnoresIndicesOutsideTheList) {
    ObjectList<Effect> list;
    auto setAge = [](Effect& e) { e.age = -5; };
    EXPECT_FALSE(list.Adjust(-1, setAge));
    EXPECT_FALSE(list.Adjust(0, setAge));
    list.Append(Effect{});
    list.Append(Effect{});
    const struct {
        int32_t index;
        bool runs;
    } cases[] = {{-1, false}, {2, false}, {1000, false}, {1, true}};
    for (const auto& c : cases) EXPECT_EQ(list.Adjust(c.index, setAge), c.runs) << c.index;
    EXPECT_EQ(list[0].age, 0);
    EXPECT_EQ(list[1].age, -5);
    list.Erase(5);  // outside: nothing
    EXPECT_EQ(list.Size(), 2);
}

TEST(Spawners, UnknownCodesAppendNothingAndReturnTheLastIndex) {
    EmptyBattleObjectLists();
    const float at[2] = {1.0f, 2.0f};
    using Spawner = int32_t (*)(int32_t, float, const float[2], int32_t);
    const struct {
        Spawner spawn;
        int32_t code;
        const char* kind;
    } spawners[] = {
        {SpawnHeavyShot, 100, "HeavyShot"},
        {SpawnShot, 101, "Shot"},
        {SpawnAttackArea, 12, "AttackArea"},
        {SpawnEffect, 13, "Effect"},
    };
    for (const auto& s : spawners) {
        EXPECT_EQ(s.spawn(s.code, 0.0f, at, 0), -1) << s.kind;
        EXPECT_EQ(s.spawn(99999, 0.0f, at, 0), -1) << s.kind;
    }
    heavyShotList.Append(ShotOfType(101));
    heavyShotList.Append(ShotOfType(102));
    EXPECT_EQ(SpawnHeavyShot(110, 0.0f, at, 1), 1);  // updated and drawn, but never spawned
    EXPECT_EQ(heavyShotList.Size(), 2);
    EmptyBattleObjectLists();
    EXPECT_EQ(heavyShotList.Size(), 0);
}

TEST(Spawners, ClearAttackAreasEmptiesOnlyThatList) {
    EmptyBattleObjectLists();
    attackAreaList.Append(AttackArea{});
    effectList.Append(Effect{});
    ClearAttackAreas();
    EXPECT_EQ(attackAreaList.Size(), 0);
    EXPECT_EQ(effectList.Size(), 1);
    EmptyBattleObjectLists();
}

TEST(ObjectTypes, EachListKnowsItsOwnCodes) {
    const struct {
        ObjectKind kind;
        size_t count;
        std::vector<int32_t> known, unknown;
    } cases[] = {
        {ObjectKind::HeavyShot, 52, {101, 230, 611, 830}, {110, 100, 900}},  // 110 is updated but never spawned
        {ObjectKind::Shot, 42, {110, 630, 802}, {101, 611, 1001}},          // 101 is appended by its character
        {ObjectKind::AttackArea, 58, {10, 121, 502, 513, 514, 831}, {12, 900}},
        {ObjectKind::Effect, 70, {10, 11, 12, 900, 1001, 1008, 1300, 1301}, {1009, 13, 9}},
    };
    for (const auto& c : cases) {
        const std::span<const int32_t> codes = SpawnableCodes(c.kind);
        EXPECT_EQ(codes.size(), c.count);
        EXPECT_TRUE(std::adjacent_find(codes.begin(), codes.end(), std::greater_equal<int32_t>()) == codes.end())
            << "codes ascending and unique";
        for (int32_t code : c.known) EXPECT_TRUE(IsSpawnableCode(c.kind, code)) << code;
        for (int32_t code : c.unknown) EXPECT_FALSE(IsSpawnableCode(c.kind, code)) << code;
    }
}

}  // namespace
