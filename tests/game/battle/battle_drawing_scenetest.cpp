// The whole battle picture, drawn on the null device inside the real battle
// scene, takes no random numbers and changes nothing the fight reads: a
// scripted fight runs the same with it as with only the overlays drawn.
#include <gtest/gtest.h>

#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "tests/support/battle_run.h"

namespace {

// Side 0 walks right and shoots; side 1 dashes up now and then and slashes.
InputWord Script(int side, int32_t frame) {
    if (side == 0) return frame % 40 < 25 ? INPUT_RIGHT : frame % 6 < 2 ? INPUT_Z : 0;
    if (frame % 90 < 2) return INPUT_V | INPUT_UP;
    return frame % 33 < 2 ? INPUT_X : 0;
}

struct Outcome {
    std::vector<int32_t> draws;
    float x[2], y[2];
    int32_t life[2];
    int32_t shots, effects, particles;
};

Outcome Fight(bool realDrawing) {
    test::BattleRun run;
    run.UseRealDrawing(realDrawing);
    run.SetScript(Script);
    test::BattleSetup setup;
    setup.characters[1] = 6;
    run.Start(setup);
    for (int i = 0; i < 700 && run.RunFrame();) ++i;
    return {run.randomDraws(),
            {players[0].x, players[1].x},
            {players[0].y, players[1].y},
            {players[0].life, players[1].life},
            shotList.Size(),
            effectList.Size(),
            particleList.Size()};
}

TEST(BattleDrawingScene, RealPictureTakesNoRandomNumbersAndLeavesTheFightAlone) {
    const Outcome overlays = Fight(false);
    const Outcome real = Fight(true);
    ASSERT_EQ(real.draws.size(), overlays.draws.size());
    EXPECT_EQ(real.draws, overlays.draws);
    for (int side = 0; side < 2; ++side) {
        EXPECT_EQ(real.x[side], overlays.x[side]) << side;
        EXPECT_EQ(real.y[side], overlays.y[side]) << side;
        EXPECT_EQ(real.life[side], overlays.life[side]) << side;
    }
    EXPECT_EQ(real.shots, overlays.shots);
    EXPECT_EQ(real.effects, overlays.effects);
    EXPECT_EQ(real.particles, overlays.particles);
    // The fight had something to draw.
    int32_t drawn = 0;
    for (int32_t d : real.draws) drawn += d > 0;
    EXPECT_GT(drawn, 0);
}

}  // namespace
