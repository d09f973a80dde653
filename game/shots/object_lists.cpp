#include "game/shots/object_lists.h"

ObjectList<HeavyShot> heavyShotList;
ObjectList<Shot> shotList;
ObjectList<AttackArea> attackAreaList;
ObjectList<Effect> effectList;

// A spawner makes its records from the per-type constants of the code. Those
// constants come with each kind's own rules, none of which is built yet: until
// a kind has its table, every code of it appends nothing and the spawner
// returns the list's last index, as it does for an unknown code.

int32_t SpawnHeavyShot(int32_t, float, const float[2], int32_t) { return heavyShotList.LastIndex(); }

int32_t SpawnShot(int32_t, float, const float[2], int32_t) { return shotList.LastIndex(); }

int32_t SpawnAttackArea(int32_t, float, const float[2], int32_t) { return attackAreaList.LastIndex(); }

int32_t SpawnEffect(int32_t, float, const float[2], int32_t) { return effectList.LastIndex(); }

void ClearAttackAreas() { attackAreaList.Clear(); }

void EmptyBattleObjectLists() {
    heavyShotList.Free();
    shotList.Free();
    attackAreaList.Free();
    effectList.Free();
}
