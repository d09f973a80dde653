#include "game/screens/replay_writer.h"

#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/flow/replay_file.h"
#include "game/screens/result_screen.h"

void WriteReplayFile() {
    if (replayPlayback != 0) return;
    const int32_t side = winnerSide == 1 ? 1 : 0;
    const ReplayOutcome outcome{winnerSide, players[side].bestComboDamage, players[side].bestComboHits};
    if (WriteReplayFile(outcome)) resultScreen.replaySaved = 1;
}
