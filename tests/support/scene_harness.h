#pragma once
// Runs the game's scenes without a window: the null device (recording its
// calls), a temporary program folder as the current folder, the sound off,
// and the keyboard replaced by keys the test holds and releases.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/startup/engine_main.h"
#include "tests/support/recording_device.h"
#include "tests/support/temp_dir.h"

namespace platform {
class HiddenGLWindow;
}

namespace test {

// Runs the scenes on OpenGL in a hidden window instead; `prepare` fills the
// program folder (pictures, files) before the game starts in it.
struct OnOpenGL {
    std::function<void(const std::string& folder)> prepare;
};

// The engine's graphics layer group (device, lists, shaders, models and
// managers), whose start and stop the program runs.
const EngineLayer& GraphicsLayer();

// The random generator's state when the game starts in the harness.
constexpr unsigned kSceneSeed = 20051;

// Starts the graphics layers as the program starts them (every list, the
// shaders, the models and the managers, each with its lost-device walk), not
// only the ones most scenes draw with. `prepare` fills the program folder
// before the game starts in it; with `sound` the sound layer runs too (on
// the mixer alone, without an audio device) and the game's sound is on; with
// `dataSet` the folder holds the generated data set (data_set.h), so that
// battles load and draw their fighters, stage and effects.
struct AsTheProgram {
    std::function<void(const std::string& folder)> prepare;
    bool sound = false;
    bool dataSet = false;
};

// As the program, on the data set.
inline AsTheProgram OnTheDataSet() {
    AsTheProgram program;
    program.dataSet = true;
    return program;
}

class SceneHarness {
public:
    SceneHarness();
    explicit SceneHarness(OnOpenGL gl);
    explicit SceneHarness(AsTheProgram);
    ~SceneHarness();
    SceneHarness(const SceneHarness&) = delete;
    SceneHarness& operator=(const SceneHarness&) = delete;

    // Keys by Windows virtual-key code ('Z', VK_ESCAPE, ...).
    void Hold(int virtualKey);
    void Release(int virtualKey);
    // Holds the key for one frame, then lets it go.
    void Tap(int virtualKey);

    void RunFrames(int count);
    // Runs frames until sceneNumber is `scene`; the frames it took, or -1
    // when it is not reached within `limit`.
    int RunUntilScene(int32_t scene, int limit);

    // Whether the program folder holds the data set (AsTheProgram::dataSet).
    bool hasDataSet() const { return hasDataSet_; }
    // The recording device; null on OpenGL.
    RecordingDevice* device() { return graphics_ ? graphics_->device() : nullptr; }
    const TempDir& folder() const { return folder_; }

private:
    TempDir folder_;
    std::string savedFolder_;
    std::unique_ptr<RecordingGraphics> graphics_;
    // On OpenGL only.
    std::unique_ptr<platform::HiddenGLWindow> window_;
    FakeGraphicsHost glHost_;
    bool asTheProgram_ = false;
    bool sound_ = false;
    bool hasDataSet_ = false;

    void Start();
};

}  // namespace test
