#pragma once
// ObjectType: the type codes of HeavyShots, Shots, AttackAreas and Effects.
// The hundreds digit names the character whose design it is (1xx kirune to
// 8xx welo); codes below 100 and from 900 on are shared. One number means
// unrelated things in two lists, so each list has its own set of codes.
#include <cstdint>
#include <span>

enum ObjectType : int32_t {
    // Shared Effect codes.
    EFFECT_GRAZE_MARK = 900,
    EFFECT_GRAZE_LINE_FIRST = 1001,  // 1001..1008: graze lines tested by the graze check
    EFFECT_GRAZE_LINE_LAST = 1008,
    EFFECT_KNOCK_OUT = 1300,
    EFFECT_KNOCK_OUT_BLAST = 1301,
};

enum class ObjectKind { HeavyShot, Shot, AttackArea, Effect };

// The codes that the spawner of a kind makes, ascending.
std::span<const int32_t> SpawnableCodes(ObjectKind kind);
bool IsSpawnableCode(ObjectKind kind, int32_t type);
