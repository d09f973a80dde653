#include "game/shots/object_lists.h"

ObjectList<HeavyShot> heavyShotList;
ObjectList<Shot> shotList;
ObjectList<AttackArea> attackAreaList;
ObjectList<Effect> effectList;
ObjectList<int32_t> flashList;

std::vector<SpawnRequest>* spawnTrace = nullptr;

void TraceSpawn(ObjectKind kind, int32_t type, float angle, const float position[2], int32_t owner) {
    if (spawnTrace) spawnTrace->push_back({kind, type, angle, {position[0], position[1]}, owner});
}

// A spawner makes its records from the per-type constants of the code. Those
// constants come with each kind's own rules (Shots and HeavyShots have theirs
// in shots.cpp and heavy_shots.cpp); until a kind has its table, every code of
// it appends nothing and the spawner returns the list's last index, as it does
// for an unknown code. Nor does such a kind answer a hit yet.

int32_t SpawnAttackArea(int32_t type, float angle, const float position[2], int32_t owner) {
    TraceSpawn(ObjectKind::AttackArea, type, angle, position, owner);
    return attackAreaList.LastIndex();
}

void HitAttackArea(int32_t, const float[2]) {}

int32_t SpawnEffect(int32_t type, float angle, const float position[2], int32_t owner) {
    TraceSpawn(ObjectKind::Effect, type, angle, position, owner);
    return effectList.LastIndex();
}

void AddScreenFlash() { flashList.Append(0); }

void ClearAttackAreas() { attackAreaList.Clear(); }

void EmptyBattleObjectLists() {
    heavyShotList.Free();
    shotList.Free();
    attackAreaList.Free();
    effectList.Free();
    flashList.Free();
}
