#pragma once
// Runs the game's scenes without a window: the null device (recording its
// calls), a temporary program folder as the current folder, the sound off,
// and the keyboard replaced by keys the test holds and releases.
#include <cstdint>
#include <string>

#include "tests/support/recording_device.h"
#include "tests/support/temp_dir.h"

namespace test {

class SceneHarness {
public:
    SceneHarness();
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

    RecordingDevice* device() { return graphics_.device(); }
    const TempDir& folder() const { return folder_; }

private:
    TempDir folder_;
    std::string savedFolder_;
    RecordingGraphics graphics_;
};

}  // namespace test
