#include "tests/support/object_battle.h"

#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/shots/collision.h"
#include "game/shots/effects.h"
#include "game/shots/heavy_shots.h"
#include "game/shots/player_objects.h"
#include "game/shots/shots.h"
#include "tests/support/battle_hash.h"

namespace test {

void RunObjectFrame(const BattleScript& script) {
    ClearAttackAreas();
    UpdatePlayer(0);
    UpdatePlayer(1);
    script(battleFrame);
    UpdatePlayerObjects(0);
    UpdatePlayerObjects(1);
    UpdateHeavyShots();
    UpdateShots();
    UpdateEffects();
    UpdateParticles();
    ResolveHits();
    for (const PlayerRecord& p : players)
        if (p.state == PLAYER_KNOCKED_OUT && p.stateTimer == 50) battleOver = 1;
    ++battleFrame;
    if (battleFrame % 80 == 0 && battleTimer < 100 && !battleOver && --battleTimer == 0) battleOver = 1;
}

std::vector<uint64_t> RunScriptedBattle(const BattleScript& script, int32_t limit) {
    std::vector<uint64_t> hashes;
    for (int32_t frame = 0; frame < limit && !battleOver; ++frame) {
        RunObjectFrame(script);
        hashes.push_back(HashBattleState());
    }
    return hashes;
}

}  // namespace test
