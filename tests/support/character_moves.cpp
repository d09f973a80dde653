#include "tests/support/character_moves.h"

#include <algorithm>

#include "engine/core/math.h"
#include "game/battle/player_record.h"
#include "tests/support/battle_hash.h"

namespace test {

std::ostream& operator<<(std::ostream& out, const Spawn& s) {
    return out << "{frame " << s.frame << ", kind " << static_cast<int>(s.kind) << ", " << s.type << "}";
}

std::vector<Spawn> Every(int32_t from, int32_t to, int32_t step, ObjectKind kind, int32_t type, int32_t times) {
    std::vector<Spawn> spawns;
    for (int32_t f = from; f <= to; f += step)
        for (int32_t k = 0; k < times; ++k) spawns.push_back({f, kind, type});
    return spawns;
}

std::vector<Spawn> Join(std::initializer_list<std::vector<Spawn>> parts) {
    std::vector<Spawn> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    std::stable_sort(all.begin(), all.end(), [](const Spawn& a, const Spawn& b) { return a.frame < b.frame; });
    return all;
}

CharacterMovesFixture::Run CharacterMovesFixture::RunMove(int32_t state, int32_t frames, const Script& script,
                                                          int32_t stateTimer) {
    PlayerRecord& p = players[0];
    p.state = state;
    p.stateTimer = stateTimer;
    Run run;
    TakeSounds();
    for (int32_t frame = 0; frame < frames && run.freeAfter < 0; ++frame) {
        TakeSpawns();
        Press(0, script(frame));
        const uint32_t before = GetRandomState();
        update_(0);
        run.draws.push_back(RandomDrawsSince(before));
        run.states.push_back(p.state);
        for (const SpawnRequest& r : spawns)
            if (r.type != 1100 && r.type != 1101) run.spawns.push_back({frame, r.kind, r.type});
        const std::vector<int32_t> played = TakeSounds();
        if (!played.empty()) run.sounds[frame] = played;
        if (p.state == PLAYER_FREE) run.freeAfter = frame;
    }
    return run;
}

}  // namespace test
