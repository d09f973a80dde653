#include "platform/audio.h"
#include "platform/dsp/effect.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

constexpr uint64_t kFixedOne = uint64_t{1} << 32;

// Attenuation in hundredths of a dB as a linear factor; the floor is silence.
float AttenuationGain(int32_t hundredthsDb) {
    if (hundredthsDb <= AUDIO_VOLUME_MIN) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

}  // namespace

WaveFormat PcmFormat(uint16_t channels, uint16_t bitsPerSample, uint32_t samplesPerSec) {
    WaveFormat format;
    format.formatTag = WAVE_FORMAT_PCM;
    format.channels = channels;
    format.samplesPerSec = samplesPerSec;
    format.blockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
    format.avgBytesPerSec = samplesPerSec * format.blockAlign;
    format.bitsPerSample = bitsPerSample;
    return format;
}

bool IsPlayableFormat(const WaveFormat& format) {
    if (format.formatTag != WAVE_FORMAT_PCM) return false;
    if (format.channels != 1 && format.channels != 2) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.blockAlign != format.channels * format.bitsPerSample / 8) return false;
    return format.samplesPerSec >= AUDIO_FREQUENCY_MIN && format.samplesPerSec <= AUDIO_FREQUENCY_MAX;
}

AudioBuffer::AudioBuffer(AudioMixer* mixer, const WaveFormat& format, uint32_t bytes)
    : mixer_(mixer), format_(format), bytes_(bytes),
      samples_(static_cast<size_t>(bytes / format.blockAlign) * format.channels, 0) {
    std::lock_guard lock(mixer_->lock_);
    mixer_->voices_.push_back(this);
}

AudioBuffer::~AudioBuffer() {
    std::lock_guard lock(mixer_->lock_);
    auto& voices = mixer_->voices_;
    voices.erase(std::remove(voices.begin(), voices.end(), this), voices.end());
}

// Lock and Unlock copy outside the mixer's lock, so a long load never holds
// up the device: only the owner of the buffer writes the samples, and the
// mixer only reads them; Unlock swaps the new samples in under the lock.
uint8_t* AudioBuffer::Lock() {
    staging_.assign(bytes_, 0);
    if (format_.bitsPerSample == 16) {
        std::memcpy(staging_.data(), samples_.data(), samples_.size() * 2);
    } else {
        for (size_t i = 0; i < samples_.size(); ++i)
            staging_[i] = static_cast<uint8_t>((samples_[i] >> 8) + 128);
    }
    return staging_.data();
}

void AudioBuffer::Unlock() {
    if (staging_.empty()) return;
    std::vector<int16_t> converted(samples_.size());
    if (format_.bitsPerSample == 16) {
        std::memcpy(converted.data(), staging_.data(), converted.size() * 2);
    } else {
        // 8-bit PCM is unsigned around 128.
        for (size_t i = 0; i < converted.size(); ++i)
            converted[i] = static_cast<int16_t>((staging_[i] - 128) * 256);
    }
    staging_.clear();
    staging_.shrink_to_fit();
    std::lock_guard lock(mixer_->lock_);
    samples_.swap(converted);
}

void AudioBuffer::Play(bool loop) {
    std::lock_guard lock(mixer_->lock_);
    playing_ = true;
    looping_ = loop;
}

void AudioBuffer::Stop() {
    std::lock_guard lock(mixer_->lock_);
    playing_ = false;
}

uint32_t AudioBuffer::GetStatus() const {
    std::lock_guard lock(mixer_->lock_);
    if (!playing_) return 0;
    return AUDIO_STATUS_PLAYING | (looping_ ? AUDIO_STATUS_LOOPING : 0);
}

uint32_t AudioBuffer::GetCurrentPosition() const {
    std::lock_guard lock(mixer_->lock_);
    return static_cast<uint32_t>(position_ >> 32) * format_.blockAlign;
}

void AudioBuffer::SetCurrentPosition(uint32_t bytes) {
    std::lock_guard lock(mixer_->lock_);
    uint32_t frame = std::min(bytes, bytes_) / format_.blockAlign;
    position_ = frame >= FrameCount() ? 0 : uint64_t{frame} << 32;
    if (processor_) processor_->Reset();
}

void AudioBuffer::SetVolume(int32_t volume) {
    std::lock_guard lock(mixer_->lock_);
    volume_ = std::clamp(volume, AUDIO_VOLUME_MIN, AUDIO_VOLUME_MAX);
}

int32_t AudioBuffer::GetVolume() const {
    std::lock_guard lock(mixer_->lock_);
    return volume_;
}

void AudioBuffer::SetPan(int32_t pan) {
    std::lock_guard lock(mixer_->lock_);
    pan_ = std::clamp(pan, AUDIO_PAN_LEFT, AUDIO_PAN_RIGHT);
}

bool AudioBuffer::SetFrequency(uint32_t frequency) {
    if (frequency != AUDIO_FREQUENCY_ORIGINAL &&
        (frequency < AUDIO_FREQUENCY_MIN || frequency > AUDIO_FREQUENCY_MAX))
        return false;
    std::lock_guard lock(mixer_->lock_);
    frequency_ = frequency;
    return true;
}

// The effect is built outside the mixer's lock (its delay lines may be large)
// and swapped in under it.
bool AudioBuffer::SetEffect(AudioEffect effect) {
    std::unique_ptr<dsp::Effect> processor = dsp::CreateEffect(effect, nullptr, AudioMixer::kOutputRate);
    std::lock_guard lock(mixer_->lock_);
    if (playing_) return false;
    effect_ = effect;
    processor_.swap(processor);
    return true;
}

bool AudioBuffer::SetReverbParameters(const I3DL2Reverb& parameters) {
    std::unique_ptr<dsp::Effect> processor =
        dsp::CreateEffect(AudioEffect::I3DL2Reverb, &parameters, AudioMixer::kOutputRate);
    std::lock_guard lock(mixer_->lock_);
    if (effect_ != AudioEffect::I3DL2Reverb) return false;
    processor_.swap(processor);
    return true;
}

AudioEffect AudioBuffer::GetEffect() const {
    std::lock_guard lock(mixer_->lock_);
    return effect_;
}

int32_t AudioBuffer::SampleAt(uint32_t frame, int channel) const {
    return samples_[static_cast<size_t>(frame) * format_.channels +
                    (format_.channels == 2 ? channel : 0)];
}

int AudioBuffer::Render(float* out, int frames, int outputRate) {
    const uint32_t count = FrameCount();
    if (!playing_ || count == 0) return 0;
    const uint32_t rate = frequency_ == AUDIO_FREQUENCY_ORIGINAL ? format_.samplesPerSec : frequency_;
    const uint64_t step = (uint64_t{rate} << 32) / static_cast<uint64_t>(outputRate);
    const uint64_t end = uint64_t{count} << 32;
    for (int i = 0; i < frames; ++i) {
        const uint32_t frame = static_cast<uint32_t>(position_ >> 32);
        const float fraction = static_cast<float>(position_ & (kFixedOne - 1)) / static_cast<float>(kFixedOne);
        // The sample after the last is the first again when looping, else silence.
        const uint32_t next = frame + 1 < count ? frame + 1 : (looping_ ? 0 : count);
        for (int c = 0; c < 2; ++c) {
            const float a = static_cast<float>(SampleAt(frame, c));
            const float b = next < count ? static_cast<float>(SampleAt(next, c)) : 0.0f;
            out[i * 2 + c] = a + (b - a) * fraction;
        }
        position_ += step;
        if (position_ >= end) {
            if (!looping_) {
                // A one-shot stops at its end, where a circular buffer's cursor is 0.
                playing_ = false;
                position_ = 0;
                return i + 1;
            }
            position_ %= end;
        }
    }
    return frames;
}

void AudioBuffer::MixInto(float* accumulator, float* scratch, int frames, int outputRate) {
    const int rendered = Render(scratch, frames, outputRate);
    if (rendered == 0) return;
    if (processor_) {
        processor_->Process(scratch, rendered);
        // A one-shot that ended starts its next play with a quiet effect.
        if (!playing_) processor_->Reset();
    }
    // Pan attenuates the side it points away from.
    const float gain = AttenuationGain(volume_);
    const float left = gain * (pan_ > 0 ? AttenuationGain(-pan_) : 1.0f);
    const float right = gain * (pan_ < 0 ? AttenuationGain(pan_) : 1.0f);
    for (int i = 0; i < rendered; ++i) {
        accumulator[i * 2] += scratch[i * 2] * left;
        accumulator[i * 2 + 1] += scratch[i * 2 + 1] * right;
    }
}

AudioMixer::~AudioMixer() { CloseDevice(); }

std::unique_ptr<AudioBuffer> AudioMixer::CreateBuffer(const WaveFormat& format, uint32_t bytes) {
    if (!IsPlayableFormat(format) || bytes < format.blockAlign) return nullptr;
    return std::unique_ptr<AudioBuffer>(new AudioBuffer(this, format, bytes));
}

void AudioMixer::Mix(int16_t* out, int frames) {
    if (frames <= 0) return;
    std::lock_guard lock(lock_);
    accumulator_.assign(static_cast<size_t>(frames) * kOutputChannels, 0.0f);
    scratch_.resize(accumulator_.size());
    for (AudioBuffer* voice : voices_) voice->MixInto(accumulator_.data(), scratch_.data(), frames, kOutputRate);
    for (size_t i = 0; i < accumulator_.size(); ++i)
        out[i] = static_cast<int16_t>(std::clamp(std::lrint(accumulator_[i]), -32768L, 32767L));
}

}  // namespace platform
