#pragma once
// Battles through the real battle scene without a window: the scene harness
// (null device, temporary program folder, sound off) with two fake joysticks
// that press each side's scripted words through the game's own input path.
// After every scene frame it hashes the whole battle state and counts the
// frame's random draws, so that two runs, a recording and its playback, or
// two peers can be compared frame by frame.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "game/flow/input_words.h"
#include "game/flow/run_state.h"
#include "tests/support/fake_joystick.h"
#include "tests/support/scene_harness.h"

namespace test {

struct BattleSetup {
    int32_t characters[2] = {1, 1};
    int32_t colours[2] = {0, 1};
    int32_t stage = 1;
    int32_t mode = MODE_1P_VS_2P;
    int32_t difficulty = DIFFICULTY_NORMAL;
    uint8_t noTimeLimit = 0;  // config.noTimeLimit
};

// The word a side's controls press in the coming frame; `frame` is
// battleFrame before it runs (it stands still while the menu is open).
using InputScript = std::function<InputWord(int side, int32_t frame)>;

// The parts of the battle picture that carry state: the flashes age and the
// banner, the menu's fade and the transition advance inside their draws. Drawn
// as DrawBattle draws them, for runs that need no more of the picture.
void DrawBattleOverlays();

// The frame from which the countdown lets every button through.
constexpr int32_t kFirstFreeBattleFrame = 199;

// A script for side 0 alone: once the countdown lets it, it goes after
// side 1 and slashes at close range until the fight is over.
InputWord ChaseAndSlash(int side, int32_t frame);

class BattleRun {
public:
    BattleRun();
    // On a harness whose graphics layers start as the program starts them.
    explicit BattleRun(AsTheProgram);
    // On OpenGL: the harness's hidden window, the program folder filled by
    // `gl.prepare`.
    explicit BattleRun(OnOpenGL gl);
    ~BattleRun();
    BattleRun(const BattleRun&) = delete;
    BattleRun& operator=(const BattleRun&) = delete;

    // A live battle of the setup, started on the next frame.
    void Start(const BattleSetup& setup);
    // The playback of a replay file, started as the replay list starts it.
    // False when the file cannot be read.
    bool StartPlayback(const char* path);

    // Null presses nothing.
    void SetScript(InputScript script) { script_ = std::move(script); }
    // The scene's own DrawBattle (the default) or only DrawBattleOverlays.
    void UseRealDrawing(bool real);

    // One scene frame; false once the battle has handed over to the next scene.
    bool RunFrame();
    // Frames until the battle ends, at most `limit`; the number run.
    int RunToEnd(int limit);
    bool ended() const { return ended_; }

    // One entry per frame run since the start.
    const std::vector<uint64_t>& hashes() const { return hashes_; }
    // The frame's random draws; -1 for the starting frame, which reseeds.
    const std::vector<int32_t>& randomDraws() const { return draws_; }

    SceneHarness& scene() { return harness_; }
    // Taps a keyboard key every other frame until `done` holds; false when
    // it does not within `limit` frames.
    bool TapUntil(int key, const std::function<bool()>& done, int limit = 3000);
    // Runs scene frames until `done` holds; false when it does not within
    // `limit` frames.
    bool RunUntil(const std::function<bool()>& done, int limit = 3000);

    // Holds these buttons on side's pad (and lets the others go) until the
    // next call; scenes other than the battle are driven with it.
    void Press(int side, InputWord word);

private:
    void Prepare();
    void Begin();

    SceneHarness harness_;
    FakeJoysticks sticks_{2};
    InputScript script_;
    std::vector<uint64_t> hashes_;
    std::vector<int32_t> draws_;
    bool ended_ = false;
};

// Expects `run` to have as many frames as `reference`, each hashing the same;
// `what` names the run in the message.
void ExpectSameFrames(const std::vector<uint64_t>& run, const std::vector<uint64_t>& reference, const char* what);

// Runs `setup` once more with the script `run` holds and expects every frame
// and the result to be those of the battle that has just ended (`live`),
// then expects its playback to match as well (ExpectPlaybackMatches).
void ExpectRerunAndPlaybackMatch(BattleRun& run, const BattleSetup& setup, const std::vector<uint64_t>& live, int limit);

// Saves the battle that has just ended as the result screen does, plays the
// file back through `run` with nobody at the controls, and expects every
// frame to hash as `live` did and the same result.
void ExpectPlaybackMatches(BattleRun& run, const std::vector<uint64_t>& live, int limit);

}  // namespace test
