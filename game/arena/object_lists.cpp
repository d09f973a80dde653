#include "game/arena/object_lists.h"

ObjectList<HeavyShot> heavyShotList;
ObjectList<Shot> shotList;
ObjectList<AttackArea> attackAreaList;
ObjectList<Effect> effectList;
ObjectList<int32_t> flashList;

std::vector<SpawnRequest>* spawnTrace = nullptr;

void TraceSpawn(ObjectKind kind, int32_t type, float angle, const float position[2], int32_t owner) {
    if (spawnTrace) spawnTrace->push_back({kind, type, angle, {position[0], position[1]}, owner});
}

// Each kind's spawner and hit response live with its rules: shots.cpp,
// heavy_shots.cpp, attack_areas.cpp and effects.cpp.

void AddScreenFlash() { flashList.Append(0); }

void ClearAttackAreas() { attackAreaList.Clear(); }

void EmptyBattleObjectLists() {
    heavyShotList.Free();
    shotList.Free();
    attackAreaList.Free();
    effectList.Free();
    flashList.Free();
}

void ResetObjectListState() {
    EmptyBattleObjectLists();
    spawnTrace = nullptr;
}
