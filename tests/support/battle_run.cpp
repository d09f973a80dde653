#include "tests/support/battle_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/core/math.h"
#include "engine/devices/input.h"
#include "engine/graphics/device.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_menu.h"
#include "game/battle/battle_scene.h"
#include "game/flow/replay_file.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "game/shots/screen_flashes.h"
#include "tests/support/battle_hash.h"

namespace test {
namespace {

// Joystick buttons 0..6 are Z, X, V, C, A, S and T on both sides.
constexpr ConfigPad scriptedPad{300, 300, 0, 1, 2, 3, 4, 5, 6};
constexpr InputWord padButtonBits[] = {INPUT_Z, INPUT_X, INPUT_V, INPUT_C, INPUT_A, INPUT_S, INPUT_T};

int32_t AxisFor(InputWord word, InputWord low, InputWord high) {
    if (word & low) return platform::JOYSTICK_AXIS_MIN;
    if (word & high) return platform::JOYSTICK_AXIS_MAX;
    return FakeJoystick::Centred().axes[0];
}

}  // namespace

InputWord ChaseAndSlash(int side, int32_t frame) {
    if (side == 1 || frame < kFirstFreeBattleFrame || battleOver) return 0;
    const float dx = players[1].x - players[0].x, dy = players[1].y - players[0].y;
    if (dx * dx + dy * dy > 60.0f * 60.0f) {
        InputWord toward = 0;
        if (std::fabs(dx) > 20.0f) toward |= dx > 0.0f ? INPUT_RIGHT : INPUT_LEFT;
        if (std::fabs(dy) > 20.0f) toward |= dy > 0.0f ? INPUT_UP : INPUT_DOWN;
        return toward;
    }
    return frame % 16 < 2 ? INPUT_Z | INPUT_A : 0;
}

void DrawBattleOverlays() {
    if (BeginScene()) {
        DrawScreenFlashes();
        DrawBanner();
        DrawBattleMenu();
        DrawTransition();
        EndScene();
    }
    PresentFrame();
}

BattleRun::BattleRun() { Prepare(); }

BattleRun::BattleRun(AsTheProgram program) : harness_(program) { Prepare(); }

BattleRun::BattleRun(OnOpenGL gl) : harness_(std::move(gl)) { Prepare(); }

void BattleRun::Prepare() {
    config.pads[0] = config.pads[1] = scriptedPad;
    EXPECT_EQ(InitializeInput(), 1);
    UseRealDrawing(true);
}

BattleRun::~BattleRun() {
    // A battle left running still holds its pictures and models, which must
    // go before the harness takes the device lists down.
    if (!ended_) ReleaseBattleAssets();
    SetBattleDrawing(nullptr);
    replayPlayback = 0;
}

void BattleRun::UseRealDrawing(bool real) { SetBattleDrawing(real ? nullptr : DrawBattleOverlays); }

void BattleRun::Begin() {
    hashes_.clear();
    draws_.clear();
    ended_ = false;
    sceneNumber = SCENE_BATTLE;
    sceneInitPending = 1;
}

void BattleRun::Start(const BattleSetup& setup) {
    for (int side = 0; side < 2; ++side) {
        players[side].characterId = setup.characters[side];
        players[side].colour = setup.colours[side];
        // The records the battle starts with: a script is asked for the
        // starting frame's word before the battle's own start resets them,
        // and must not see the end of the battle run before this one.
        ResetPlayerForBattle(side);
    }
    stageNumber = setup.stage;
    gameMode = setup.mode;
    difficulty = setup.difficulty;
    config.noTimeLimit = setup.noTimeLimit;
    replayPlayback = 0;
    Begin();
}

bool BattleRun::StartPlayback(const char* path) {
    replayPlayback = 1;
    if (ReadReplayFile(path) != 0) return false;
    ApplyPlaybackMatch();
    Begin();
    return true;
}

void BattleRun::Press(int side, InputWord word) {
    platform::JoystickReading& reading = sticks_[side].reading;
    reading.axes[0] = AxisFor(word, INPUT_LEFT, INPUT_RIGHT);
    reading.axes[1] = AxisFor(word, INPUT_UP, INPUT_DOWN);
    for (int button = 0; button < 7; ++button) reading.buttons[button] = word & padButtonBits[button] ? 0x80 : 0;
}

bool BattleRun::RunFrame() {
    if (ended_) return false;
    const bool starting = sceneInitPending != 0;
    const int32_t frame = starting ? 0 : battleFrame;  // the start resets battleFrame
    for (int side = 0; side < 2; ++side) Press(side, script_ ? script_(side, frame) : 0);
    const uint32_t before = GetRandomState();
    harness_.RunFrames(1);
    draws_.push_back(starting ? -1 : RandomDrawsSince(before));
    hashes_.push_back(HashBattleState());
    ended_ = sceneNumber != SCENE_BATTLE || sceneInitPending;
    return !ended_;
}

bool BattleRun::TapUntil(int key, const std::function<bool()>& done, int limit) {
    for (int frames = 0; frames < limit; frames += 2) {
        if (done()) return true;
        harness_.Tap(key);
        if (done()) return true;
        harness_.RunFrames(1);
    }
    return done();
}

bool BattleRun::RunUntil(const std::function<bool()>& done, int limit) {
    for (int frames = 0; frames < limit && !done(); ++frames) harness_.RunFrames(1);
    return done();
}

int BattleRun::RunToEnd(int limit) {
    int frames = 0;
    while (frames < limit && RunFrame()) ++frames;
    return ended_ ? frames + 1 : frames;
}

void ExpectSameFrames(const std::vector<uint64_t>& run, const std::vector<uint64_t>& reference, const char* what) {
    ASSERT_EQ(run.size(), reference.size()) << what;
    for (size_t f = 0; f < run.size(); ++f) ASSERT_EQ(run[f], reference[f]) << what << " differs at frame " << f;
}

void ExpectPlaybackMatches(BattleRun& run, const std::vector<uint64_t>& live, int limit) {
    const BattleResult result = battleResult;
    ASSERT_TRUE(WriteReplayFile({winnerSide, players[winnerSide].bestComboDamage, players[winnerSide].bestComboHits}));
    const std::string path = replayFileName;
    run.SetScript(nullptr);
    ASSERT_TRUE(run.StartPlayback(path.c_str()));
    run.RunToEnd(limit);
    EXPECT_EQ(sceneNumber, SCENE_RESULT);
    ExpectSameFrames(run.hashes(), live, "playback");
    EXPECT_EQ(battleResult, result);
}

void ExpectRerunAndPlaybackMatch(BattleRun& run, const BattleSetup& setup, const std::vector<uint64_t>& live, int limit) {
    const BattleResult result = battleResult;
    run.Start(setup);
    run.RunToEnd(limit);
    ExpectSameFrames(run.hashes(), live, "the second run");
    EXPECT_EQ(battleResult, result);
    ExpectPlaybackMatches(run, live, limit);
}

}  // namespace test
