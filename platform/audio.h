#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// The 18-byte WAVEFORMATEX of sound packs and RIFF images.
struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t cbSize = 0;
};

constexpr uint16_t WAVE_FORMAT_PCM = 1;

// A PCM format with its block alignment and byte rate worked out.
WaveFormat PcmFormat(uint16_t channels, uint16_t bitsPerSample, uint32_t samplesPerSec);

// Status bits, volume and pan limits, in DirectSound's units (hundredths of a
// decibel of attenuation).
constexpr uint32_t AUDIO_STATUS_PLAYING = 0x1;
constexpr uint32_t AUDIO_STATUS_LOOPING = 0x4;
constexpr int32_t AUDIO_VOLUME_MIN = -10000;
constexpr int32_t AUDIO_VOLUME_MAX = 0;
constexpr int32_t AUDIO_PAN_LEFT = -10000;
constexpr int32_t AUDIO_PAN_RIGHT = 10000;
constexpr uint32_t AUDIO_FREQUENCY_ORIGINAL = 0;
constexpr uint32_t AUDIO_FREQUENCY_MIN = 100;
constexpr uint32_t AUDIO_FREQUENCY_MAX = 200000;

// The eight standard effects a buffer can carry (platform/dsp runs them).
enum class AudioEffect {
    None, I3DL2Reverb, Echo, Chorus, Compressor, Distortion, Flanger, Gargle, ParamEq,
};

// The parameter record of the I3DL2 reverb (DSFXI3DL2Reverb).
struct I3DL2Reverb {
    int32_t room = -1000;
    int32_t roomHF = -100;
    float roomRolloffFactor = 0.0f;
    float decayTime = 1.49f;
    float decayHFRatio = 0.83f;
    int32_t reflections = -2602;
    float reflectionsDelay = 0.007f;
    int32_t reverb = 200;
    float reverbDelay = 0.011f;
    float diffusion = 100.0f;
    float density = 100.0f;
    float hfReference = 5000.0f;
};

class AudioMixer;
namespace dsp {
class Effect;
}

// One secondary buffer: a whole sound held in memory, played by the mixer.
// Samples are kept as 16-bit at the source's rate and channel count (8-bit
// data is converted once, at Unlock); the mixer resamples while it plays.
// Lock and Unlock belong to the one thread that fills the buffer; every other
// operation may be called from any thread. Each takes the mixer's lock for a
// moment only.
class AudioBuffer {
public:
    ~AudioBuffer();
    AudioBuffer(const AudioBuffer&) = delete;
    AudioBuffer& operator=(const AudioBuffer&) = delete;

    // The whole buffer as bytes in the source format, to be filled; Unlock
    // takes them over.
    uint8_t* Lock();
    void Unlock();

    // Plays from the current position; looping plays on until Stop.
    void Play(bool loop);
    // Stops and keeps the position.
    void Stop();
    uint32_t GetStatus() const;
    // Play cursor in bytes of the source format.
    uint32_t GetCurrentPosition() const;
    void SetCurrentPosition(uint32_t bytes);
    // Hundredths of a dB: -10000 (silence) .. 0 (full); out-of-range values
    // are clamped.
    void SetVolume(int32_t volume);
    int32_t GetVolume() const;
    // Hundredths of a dB of attenuation of the other side: -10000 (left
    // only) .. 10000 (right only).
    void SetPan(int32_t pan);
    // Playback rate in Hz, AUDIO_FREQUENCY_ORIGINAL for the source's rate;
    // false for a rate outside AUDIO_FREQUENCY_MIN..MAX.
    bool SetFrequency(uint32_t frequency);
    // Sets the buffer's effect chain (one effect, with its standard default
    // parameters, or none); like DirectSound, only a stopped buffer accepts
    // it. The effect processes the buffer's sound while it plays, before its
    // volume and pan; it starts afresh whenever the play cursor is set (a
    // stopped sound played again from its start), and its tail ends with the
    // buffer, as DirectSound's buffer effects do.
    bool SetEffect(AudioEffect effect);
    // The reverb's parameters; false unless the effect is the reverb.
    bool SetReverbParameters(const I3DL2Reverb& parameters);
    AudioEffect GetEffect() const;

    const WaveFormat& format() const { return format_; }
    uint32_t size() const { return bytes_; }

private:
    friend class AudioMixer;
    AudioBuffer(AudioMixer* mixer, const WaveFormat& format, uint32_t bytes);
    // Adds this buffer's next frames into a stereo float accumulator, using
    // `scratch` (room for `frames` stereo frames) for its effect; called by
    // the mixer under its lock.
    void MixInto(float* accumulator, float* scratch, int frames, int outputRate);
    // Resamples the next frames into `out` (stereo, before volume and pan)
    // and advances; returns how many it wrote (fewer when a one-shot ends).
    int Render(float* out, int frames, int outputRate);
    uint32_t FrameCount() const { return bytes_ / format_.blockAlign; }
    int32_t SampleAt(uint32_t frame, int channel) const;

    AudioMixer* mixer_;
    WaveFormat format_;
    uint32_t bytes_;
    std::vector<uint8_t> staging_;   // between Lock and Unlock only
    std::vector<int16_t> samples_;   // interleaved, source channel count
    uint64_t position_ = 0;          // source frames, 32.32 fixed point
    bool playing_ = false;
    bool looping_ = false;
    int32_t volume_ = 0;
    int32_t pan_ = 0;
    uint32_t frequency_ = AUDIO_FREQUENCY_ORIGINAL;
    AudioEffect effect_ = AudioEffect::None;
    std::unique_ptr<dsp::Effect> processor_;  // null without an effect
};

// The software stand-in for DirectSound: mixes every playing buffer into
// 44.1 kHz 16-bit stereo. The output goes to one SDL audio device when one is
// opened; Mix can also be called directly (tests, capture), which is the same
// code the device callback runs.
class AudioMixer {
public:
    static constexpr int kOutputRate = 44100;
    static constexpr int kOutputChannels = 2;

    AudioMixer() = default;
    ~AudioMixer();
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    // Opens the default audio device and starts it pulling from Mix. False
    // (with a reason) when there is none.
    bool OpenDevice(std::string* error);
    void CloseDevice();
    bool HasDevice() const { return device_ != 0; }

    // A new secondary buffer of the given size, or null for a format the
    // mixer cannot play (only 8- and 16-bit PCM with one or two channels at
    // 100 Hz to 200 kHz, with a block alignment that matches) or a size of 0.
    std::unique_ptr<AudioBuffer> CreateBuffer(const WaveFormat& format, uint32_t bytes);

    // Writes the next `frames` stereo frames (interleaved int16) into out and
    // advances every playing buffer.
    void Mix(int16_t* out, int frames);

private:
    friend class AudioBuffer;
    static void DeviceCallback(void* mixer, uint8_t* stream, int length);

    mutable std::mutex lock_;  // the buffers' state and the voice list
    std::vector<AudioBuffer*> voices_;
    std::vector<float> accumulator_;
    std::vector<float> scratch_;  // one voice's frames, for its effect
    uint32_t device_ = 0;
};

// Whether a format is one the mixer plays (see CreateBuffer).
bool IsPlayableFormat(const WaveFormat& format);

}  // namespace platform
