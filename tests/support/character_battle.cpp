#include "tests/support/character_battle.h"

#include <cmath>

namespace test {

InputWord Toward(const PlayerRecord& from, const PlayerRecord& to, float slackX, float slackY) {
    const float dx = to.x - from.x;
    const float dy = to.y - from.y;
    InputWord word = 0;
    if (std::fabs(dx) > slackX) word |= dx > 0.0f ? INPUT_RIGHT : INPUT_LEFT;
    if (std::fabs(dy) > slackY) word |= dy > 0.0f ? INPUT_UP : INPUT_DOWN;
    return word;
}

InputWord KiruneKeepsOffThenCloses(int kiruneSide, bool hyperShown, int32_t frame) {
    if (!hyperShown) {
        if (frame % 120 < 2) return INPUT_X;
        return frame % 160 < 80 ? INPUT_UP : INPUT_DOWN;
    }
    const InputWord toward = Toward(players[kiruneSide], players[1 - kiruneSide], 40.0f);
    if (toward && frame % 50 < 40) return toward;
    return frame % 14 < 2 ? INPUT_Z | INPUT_A : 0;
}

}  // namespace test
