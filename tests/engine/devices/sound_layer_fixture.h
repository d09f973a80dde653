#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "engine/devices/sound.h"
#include "tests/support/temp_dir.h"

namespace test {

// The sound layer started without an audio device: tests drive the mixer
// themselves, so what plays and when is decided by the test alone.
struct ManualSoundLayer : ::testing::Test {
    TempDir dir;

    void SetUp() override {
        SetSoundOutput(SoundOutput::Manual);
        InitializeSound();
        ASSERT_NE(GetSoundMixer(), nullptr);
    }
    void TearDown() override {
        DestroySound();
        SetSoundOutput(SoundOutput::Device);
    }

    static std::vector<int16_t> Mix(int frames) {
        std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
        GetSoundMixer()->Mix(out.data(), frames);
        return out;
    }
    static bool Silent(const std::vector<int16_t>& samples) {
        for (int16_t s : samples)
            if (s != 0) return false;
        return true;
    }
    // A Sound from a pack, with its load already run.
    static Sound* Load(const std::string& pack, const char* key) {
        Sound* sound = CreateSound(pack.c_str(), key);
        WaitSoundQueueEmpty();
        return sound;
    }
};

}  // namespace test
