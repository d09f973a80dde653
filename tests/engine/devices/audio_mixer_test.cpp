#include "platform/audio.h"
#include "platform/dsp/echo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using platform::AudioBuffer;
using platform::AudioMixer;
using platform::WaveFormat;
using platform::PcmFormat;

struct MixerTest : ::testing::Test {
    AudioMixer mixer;

    // A 16-bit buffer at the output rate whose every sample is `value`.
    std::unique_ptr<AudioBuffer> Constant(int16_t value, uint32_t frames, uint16_t channels = 1) {
        auto buffer = mixer.CreateBuffer(PcmFormat(channels, 16, AudioMixer::kOutputRate), frames * channels * 2);
        std::vector<int16_t> samples(frames * channels, value);
        std::memcpy(buffer->Lock(), samples.data(), samples.size() * 2);
        buffer->Unlock();
        return buffer;
    }

    std::vector<int16_t> Mix(int frames) {
        std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
        mixer.Mix(out.data(), frames);
        return out;
    }
};

TEST_F(MixerTest, OneShotEndsAndRewindsWhileLoopKeepsPlaying) {
    auto once = Constant(1000, 100);
    auto looped = Constant(1000, 100);
    once->Play(false);
    looped->Play(true);
    EXPECT_EQ(looped->GetStatus(), platform::AUDIO_STATUS_PLAYING | platform::AUDIO_STATUS_LOOPING);

    std::vector<int16_t> out = Mix(150);
    EXPECT_EQ(out[99 * 2], 2000);   // both voices
    EXPECT_EQ(out[100 * 2], 1000);  // the one-shot has ended
    EXPECT_EQ(once->GetStatus(), 0u);
    EXPECT_EQ(once->GetCurrentPosition(), 0u);
    EXPECT_EQ(looped->GetStatus() & platform::AUDIO_STATUS_PLAYING, platform::AUDIO_STATUS_PLAYING);
    EXPECT_EQ(looped->GetCurrentPosition(), 50u * 2);  // wrapped once, in bytes
}

TEST_F(MixerTest, VolumeAndPanAttenuateInHundredthsOfADecibel) {
    struct Case { int32_t volume, pan; int16_t left, right; } cases[] = {
        {0, 0, 10000, 10000},
        {-600, 0, 5012, 5012},         // 10^(-0.3)
        {-2000, 0, 1000, 1000},        // -20 dB
        {-10000, 0, 0, 0},             // the floor is silence
        {0, -10000, 10000, 0},         // hard left
        {0, 2000, 1000, 10000},        // right: the left side loses 20 dB
        {-2000, -2000, 1000, 100},
        {5000, 20000, 0, 10000},       // clamped to 0 and 10000
    };
    for (const Case& c : cases) {
        auto buffer = Constant(10000, 64);
        buffer->SetVolume(c.volume);
        buffer->SetPan(c.pan);
        buffer->Play(false);
        std::vector<int16_t> out = Mix(1);
        EXPECT_NEAR(out[0], c.left, 1) << c.volume << " " << c.pan;
        EXPECT_NEAR(out[1], c.right, 1) << c.volume << " " << c.pan;
    }
}

TEST_F(MixerTest, EightBitAndStereoAreConvertedAtUnlock) {
    auto buffer = mixer.CreateBuffer(PcmFormat(2, 8, AudioMixer::kOutputRate), 4);
    uint8_t* bytes = buffer->Lock();
    const uint8_t data[4] = {192, 64, 128, 255};  // unsigned around 128
    std::memcpy(bytes, data, 4);
    buffer->Unlock();
    buffer->Play(false);
    std::vector<int16_t> out = Mix(3);
    EXPECT_EQ(out[0], 16384);
    EXPECT_EQ(out[1], -16384);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[3], 32512);
    EXPECT_EQ(out[4], 0);  // ended
    // Locking again hands back the bytes as written.
    EXPECT_EQ(std::memcmp(buffer->Lock(), data, 4), 0);
    buffer->Unlock();
}

TEST_F(MixerTest, SourceRateAndFrequencySetThePace) {
    auto buffer = mixer.CreateBuffer(PcmFormat(1, 16, AudioMixer::kOutputRate / 2), 200);  // 100 frames
    buffer->Play(false);
    Mix(100);
    EXPECT_EQ(buffer->GetCurrentPosition(), 50u * 2);
    Mix(100);
    EXPECT_EQ(buffer->GetStatus(), 0u);

    ASSERT_TRUE(buffer->SetFrequency(AudioMixer::kOutputRate));
    buffer->Play(false);
    Mix(60);
    EXPECT_EQ(buffer->GetCurrentPosition(), 60u * 2);
    EXPECT_FALSE(buffer->SetFrequency(99));
    EXPECT_FALSE(buffer->SetFrequency(200001));
}

TEST_F(MixerTest, HalfRateSourceIsInterpolated) {
    auto buffer = mixer.CreateBuffer(PcmFormat(1, 16, AudioMixer::kOutputRate / 2), 4);
    const int16_t samples[2] = {0, 1000};
    std::memcpy(buffer->Lock(), samples, 4);
    buffer->Unlock();
    buffer->Play(true);
    std::vector<int16_t> out = Mix(4);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2], 500);
    EXPECT_EQ(out[4], 1000);
    EXPECT_EQ(out[6], 500);  // looping back towards the first sample
}

TEST_F(MixerTest, StopKeepsThePositionAndPlayResumes) {
    auto buffer = Constant(100, 100);
    buffer->Play(false);
    Mix(30);
    buffer->Stop();
    Mix(30);
    EXPECT_EQ(buffer->GetCurrentPosition(), 30u * 2);
    buffer->Play(false);
    Mix(30);
    EXPECT_EQ(buffer->GetCurrentPosition(), 60u * 2);
    buffer->SetCurrentPosition(10);
    EXPECT_EQ(buffer->GetCurrentPosition(), 10u);
}

TEST_F(MixerTest, VoicesAddUpAndClip) {
    auto a = Constant(30000, 10);
    auto b = Constant(30000, 10);
    a->Play(false);
    b->Play(false);
    EXPECT_EQ(Mix(1)[0], 32767);
    b.reset();  // a destroyed buffer leaves the mix
    EXPECT_EQ(Mix(1)[0], 30000);
}

TEST_F(MixerTest, EffectsAreSetOnlyOnStoppedBuffers) {
    auto buffer = Constant(1234, 10);
    EXPECT_FALSE(buffer->SetReverbParameters(platform::I3DL2Reverb{}));
    ASSERT_TRUE(buffer->SetEffect(platform::AudioEffect::I3DL2Reverb));
    EXPECT_TRUE(buffer->SetReverbParameters(platform::I3DL2Reverb{}));
    buffer->Play(false);
    EXPECT_FALSE(buffer->SetEffect(platform::AudioEffect::Echo));
    EXPECT_EQ(buffer->GetEffect(), platform::AudioEffect::I3DL2Reverb);
}

// The effect works on the buffer's own sound, before its volume and pan: the
// mixed output is the effect's output, attenuated.
TEST_F(MixerTest, TheEffectProcessesTheBufferBeforeVolumeAndPan) {
    auto buffer = Constant(0, 30000);
    int16_t* samples = reinterpret_cast<int16_t*>(buffer->Lock());
    for (int i = 0; i < 30000; ++i) samples[i] = static_cast<int16_t>(i % 300 == 0 ? 20000 : 0);
    buffer->Unlock();
    ASSERT_TRUE(buffer->SetEffect(platform::AudioEffect::Echo));
    buffer->SetVolume(-600);
    buffer->SetPan(-600);  // the right side loses another 6 dB
    buffer->Play(false);
    std::vector<int16_t> out = Mix(30000);

    std::vector<float> expected(60000);
    for (int i = 0; i < 30000; ++i) expected[2 * i] = expected[2 * i + 1] = i % 300 == 0 ? 20000.0f : 0.0f;
    platform::dsp::Echo(platform::dsp::EchoParameters{}, AudioMixer::kOutputRate).Process(expected.data(), 30000);
    const float left = std::pow(10.0f, -0.3f), right = left * left;
    for (int i = 0; i < 30000; ++i) {
        ASSERT_NEAR(out[2 * i], expected[2 * i] * left, 1.0) << i;
        ASSERT_NEAR(out[2 * i + 1], expected[2 * i + 1] * right, 1.0) << i;
    }
    // The echo of the first pulse, at 500 ms, is in there.
    EXPECT_NEAR(out[2 * 22050], 10000 * left, 1.0);
}

// Setting the play cursor (a stopped sound played again from its start)
// starts the effect afresh; pausing keeps it.
TEST_F(MixerTest, RewindingForgetsTheEffectsPastAndPausingKeepsIt) {
    auto buffer = Constant(0, 44100);
    reinterpret_cast<int16_t*>(buffer->Lock())[0] = 20000;
    buffer->Unlock();
    ASSERT_TRUE(buffer->SetEffect(platform::AudioEffect::Echo));
    buffer->Play(false);
    Mix(20000);
    buffer->Stop();  // paused: the echo still comes at 500 ms
    Mix(100);
    buffer->Play(false);
    EXPECT_EQ(Mix(2100)[2 * 2050], 10000);

    buffer->Stop();
    buffer->SetCurrentPosition(0);
    int16_t* samples = reinterpret_cast<int16_t*>(buffer->Lock());
    samples[0] = 0;  // now silent from the start: only an old echo could sound
    buffer->Unlock();
    buffer->Play(false);
    std::vector<int16_t> out = Mix(30000);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 0; }));
}

TEST_F(MixerTest, UnplayableFormatsGetNoBuffer) {
    struct Case { const char* what; WaveFormat format; uint32_t bytes; } cases[] = {
        {"float", [] { WaveFormat f = PcmFormat(1, 32, 44100); f.formatTag = 3; return f; }(), 64},
        {"24-bit", PcmFormat(1, 24, 44100), 64},
        {"3 channels", PcmFormat(3, 16, 44100), 64},
        {"0 channels", PcmFormat(0, 16, 44100), 64},
        {"block align 0", [] { WaveFormat f = PcmFormat(2, 16, 44100); f.blockAlign = 0; return f; }(), 64},
        {"block align odd", [] { WaveFormat f = PcmFormat(2, 16, 44100); f.blockAlign = 3; return f; }(), 64},
        {"rate 0", PcmFormat(1, 16, 0), 64},
        {"rate too high", PcmFormat(1, 16, 400000), 64},
        {"shorter than a frame", PcmFormat(2, 16, 44100), 3},
    };
    for (const Case& c : cases) EXPECT_EQ(mixer.CreateBuffer(c.format, c.bytes), nullptr) << c.what;
    EXPECT_NE(mixer.CreateBuffer(PcmFormat(2, 16, 8000), 4), nullptr);
}

TEST_F(MixerTest, SilenceWithoutVoices) {
    std::vector<int16_t> out(8, 77);
    mixer.Mix(out.data(), 4);
    EXPECT_EQ(out, std::vector<int16_t>(8, 0));
}

}  // namespace
