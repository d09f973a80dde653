#include "engine/devices/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/core/log.h"
#include "engine/devices/sound_pack.h"
#include "platform/cp932.h"
#include "platform/dsp/effect.h"
#include "platform/little_endian.h"
#include "tests/engine/devices/sound_layer_fixture.h"

namespace {

// 1000 frames of a constant 16-bit mono sample at the output rate.
KsdSound Tone(const char* name) {
    KsdSound sound{name, platform::PcmFormat(1, 16, 44100), {}};
    for (int i = 0; i < 1000; ++i) sound.data.insert(sound.data.end(), {0x10, 0x27});  // 10000
    return sound;
}

TEST(SoundLaws, VolumeInPercentToHundredthsOfADecibel) {
    struct Case { float volume; int32_t expected; } cases[] = {
        {100.0f, 0}, {90.0f, -100}, {75.0f, -625}, {0.0f, -10000}, {100.5f, 0}, {-3.0f, -10000},
        {NAN, -10000},
    };
    for (const Case& c : cases) EXPECT_EQ(VolumeToAttenuation(c.volume), c.expected) << c.volume;
    // The law may land one unit nearer 0 than the exact square.
    EXPECT_GE(VolumeToAttenuation(50.0f), -2500);
    EXPECT_LE(VolumeToAttenuation(50.0f), -2499);
}

TEST(SoundLaws, PanFromLeftToRight) {
    struct Case { float pan; int32_t low, high; } cases[] = {
        {0.0f, 0, 0}, {100.0f, 9999, 10000}, {-100.0f, -10000, -9999}, {50.0f, 2499, 2500},
        {-50.0f, -2500, -2499}, {10.0f, 99, 100}, {150.0f, 10000, 10000}, {-150.0f, -10000, -10000},
    };
    for (const Case& c : cases) {
        EXPECT_GE(PanToAttenuation(c.pan), c.low) << c.pan;
        EXPECT_LE(PanToAttenuation(c.pan), c.high) << c.pan;
    }
}

struct SoundTest : test::ManualSoundLayer {
    std::string pack = dir.file("sounds.dat");
    void SetUp() override {
        ManualSoundLayer::SetUp();
        KsdSound wide{"wide", platform::PcmFormat(1, 24, 44100), std::vector<uint8_t>(30, 1)};
        ASSERT_TRUE(WriteKsdPack(pack, {Tone("tone"), wide}));
    }
};

TEST_F(SoundTest, PlayStopAndTogglePauseFollowTheirStateTable) {
    Sound* sound = Load(pack, "tone");
    ASSERT_EQ(sound->loaded, 1u);
    enum Op { PLAY, PLAY_LOOP, STOP, PAUSE };
    struct Step {
        Op op;
        bool playing;    // IsPlaying right after
        uint32_t paused;
        uint32_t frame;  // play cursor after 100 more frames were mixed
    } steps[] = {
        {PLAY, true, 0, 100},
        {PAUSE, false, 1, 100},       // stopped where it was
        {PAUSE, true, 0, 200},        // resumes there
        {PLAY, true, 0, 100},         // a new Play restarts from the beginning
        {PAUSE, false, 1, 100},
        {STOP, false, 1, 0},          // Stop while paused rewinds, keeps `paused`
        {PAUSE, false, 1, 0},         // nothing until the next Play
        {PLAY_LOOP, true, 1, 100},
        {PAUSE, true, 0, 200},        // first toggle "resumes": it keeps playing
        {PAUSE, false, 1, 200},       // the second pauses
        {PAUSE, true, 0, 300},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& s = steps[i];
        switch (s.op) {
        case PLAY: sound->Play(0); break;
        case PLAY_LOOP: sound->Play(1); break;
        case STOP: sound->Stop(); break;
        case PAUSE: sound->TogglePause(); break;
        }
        EXPECT_EQ(sound->IsPlaying(), s.playing) << "step " << i;
        EXPECT_EQ(sound->paused, s.paused) << "step " << i;
        Mix(100);
        EXPECT_EQ(sound->buffer->GetCurrentPosition(), s.frame * 2) << "step " << i;
    }
}

TEST_F(SoundTest, OneShotEndsButLoopPlaysOn) {
    Sound* once = Load(pack, "tone");
    Sound* looped = Load(pack, "tone");
    once->Play(0);
    looped->Play(1);
    Mix(999);
    EXPECT_TRUE(once->IsPlaying());
    Mix(1);
    EXPECT_FALSE(once->IsPlaying());
    EXPECT_EQ(once->playing, 1u);  // the flag stays; the buffer's status decides
    EXPECT_TRUE(looped->IsPlaying());
    Mix(5000);
    EXPECT_TRUE(looped->IsPlaying());
}

TEST_F(SoundTest, VolumeAndPanReachTheBuffer) {
    Sound* sound = Load(pack, "tone");
    sound->SetVolume(90.0f);  // -1 dB
    sound->SetPan(-100.0f);
    sound->Play(0);
    std::vector<int16_t> out = Mix(1);
    EXPECT_NEAR(out[0], 10000 * std::pow(10.0, -100 / 2000.0), 1);
    EXPECT_NEAR(out[1], 0, 1);
}

TEST_F(SoundTest, FailedLoadsAreLoggedAndLeaveTheSoundSilent) {
    std::ofstream(dir.file("bad.dat"), std::ios::binary) << "RIFF....";
    const std::string log = dir.file("engine.log");
    std::snprintf(logFileName, sizeof logFileName, "%s", log.c_str());
    struct Case { std::string path; const char* key; const char* logged; } cases[] = {
        {pack, "missing", "missing in %s /   エラー : データの取得に失敗\n"},
        {pack, "wide", "wide in %s /   エラー : サウンドバッファの生成に失敗\n"},
        {dir.file("nowhere.dat"), "tone", "tone in %s /   エラー : パックファイルが開けません\n"},
        {dir.file("bad.dat"), "tone", "tone in %s /   エラー : パックファイルが不正です\n"},
    };
    for (const Case& c : cases) {
        std::remove(log.c_str());
        Sound* sound = Load(c.path, c.key);
        EXPECT_EQ(sound->loaded, 0u) << c.path << " " << c.key;
        char expected[512];
        // The log is written in CP932; the path goes in as it is.
        std::snprintf(expected, sizeof expected, platform::Utf8ToCp932(c.logged).c_str(), c.path.c_str());
        std::ifstream file(log);
        const std::string written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_NE(written.find(platform::Utf8ToCp932("○ CreateSound   / ID [0x")), std::string::npos);
        EXPECT_NE(written.find(expected), std::string::npos) << written;
        sound->Play(1);
        sound->TogglePause();
        sound->SetVolume(50.0f);
        sound->SetEchoEffect();
        EXPECT_FALSE(sound->IsPlaying());
        EXPECT_EQ(sound->playing, 0u);
    }
    logFileName[0] = '\0';
    EXPECT_TRUE(Silent(Mix(64)));
}

TEST_F(SoundTest, WaveFilesLoadThroughTheirRiffImage) {
    // 8-bit stereo, two frames, with an odd-length chunk before the data.
    const uint8_t image[] = {
        'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
        'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 8, 0,
        'n', 'o', 't', 'e', 1, 0, 0, 0, 0,
        'd', 'a', 't', 'a', 4, 0, 0, 0, 192, 64, 128, 128,
    };
    const std::string path = dir.file("two.wav");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(image, 1, sizeof image, file);
    std::fclose(file);

    Sound* sound = new Sound();
    ASSERT_EQ(sound->LoadWave(path.c_str()), 1);
    EXPECT_EQ(sound->buffer->format().channels, 2);
    sound->Play(0);
    std::vector<int16_t> out = Mix(2);
    EXPECT_EQ(out[0], 16384);
    EXPECT_EQ(out[1], -16384);
    EXPECT_EQ(sound->LoadWave(dir.file("missing.wav").c_str()), 0);
}

TEST_F(SoundTest, EffectsRestartAPlayingSoundWithItsLoopFlag) {
    Sound* sound = Load(pack, "tone");
    sound->Play(1);
    Mix(300);
    sound->SetFlangerEffect();
    EXPECT_EQ(sound->buffer->GetEffect(), platform::AudioEffect::Flanger);
    EXPECT_EQ(sound->buffer->GetCurrentPosition(), 0u);
    EXPECT_EQ(sound->loop, 1u);
    EXPECT_TRUE(sound->IsPlaying());

    platform::I3DL2Reverb reverb;
    sound->SetReverbEffect(&reverb);
    EXPECT_EQ(sound->buffer->GetEffect(), platform::AudioEffect::I3DL2Reverb);
    sound->RemoveEffects();
    EXPECT_EQ(sound->buffer->GetEffect(), platform::AudioEffect::None);
    EXPECT_TRUE(sound->IsPlaying());

    sound->Stop();
    sound->SetGargleEffect();  // a stopped sound stays stopped
    EXPECT_FALSE(sound->IsPlaying());
}

// A playing sound given an effect starts again from its beginning, through
// the effect; RemoveEffects starts it once more, dry.
TEST_F(SoundTest, AnEffectRestartsThePlayingSoundThroughItAndRemoveEffectsGoesBackToDry) {
    KsdSound pulses{"pulses", platform::PcmFormat(1, 16, 44100), {}};
    std::vector<float> dry;
    for (int i = 0; i < 4000; ++i) {
        const int16_t value = i % 400 == 0 ? 12000 : static_cast<int16_t>(i % 37 * 50);
        platform::AppendLe16(pulses.data, static_cast<uint16_t>(value));
        dry.insert(dry.end(), {static_cast<float>(value), static_cast<float>(value)});
    }
    ASSERT_TRUE(WriteKsdPack(pack, {pulses}));
    Sound* sound = Load(pack, "pulses");
    sound->Play(1);
    Mix(1234);

    using platform::AudioEffect;
    for (AudioEffect kind : {AudioEffect::Gargle, AudioEffect::Distortion, AudioEffect::Flanger}) {
        switch (kind) {
        case AudioEffect::Gargle: sound->SetGargleEffect(); break;
        case AudioEffect::Distortion: sound->SetDistortionEffect(); break;
        default: sound->SetFlangerEffect(); break;
        }
        std::vector<float> expected = dry;
        platform::dsp::CreateEffect(kind, nullptr, 44100)->Process(expected.data(), 4000);
        const std::vector<int16_t> out = Mix(4000);
        for (int i = 0; i < 8000; ++i)
            ASSERT_NEAR(out[i], std::clamp(expected[i], -32768.0f, 32767.0f), 1.0) << static_cast<int>(kind) << " " << i;
        EXPECT_TRUE(sound->IsPlaying());
    }

    Mix(777);
    sound->RemoveEffects();
    const std::vector<int16_t> out = Mix(4000);
    for (int i = 0; i < 8000; ++i) ASSERT_EQ(out[i], static_cast<int16_t>(dry[i])) << i;
    EXPECT_EQ(sound->loop, 1u);
}

}  // namespace
