#include "platform/dsp/compressor.h"

#include <algorithm>
#include <cmath>

namespace platform::dsp {

namespace {

// The per-sample coefficient of a one-pole smoother with time constant `ms`.
float Smoothing(float milliseconds, float sampleRate) {
    return static_cast<float>(std::exp(-1000.0 / (milliseconds * sampleRate)));
}

}  // namespace

Compressor::Compressor(const CompressorParameters& parameters, float sampleRate)
    : outputGain_(DbToGain(std::clamp(parameters.gain, -60.0f, 60.0f))),
      threshold_(std::clamp(parameters.threshold, -60.0f, 0.0f)),
      slope_(1.0f - 1.0f / std::clamp(parameters.ratio, 1.0f, 100.0f)),
      attack_(Smoothing(std::clamp(parameters.attack, 0.01f, 500.0f), sampleRate)),
      release_(Smoothing(std::clamp(parameters.release, 50.0f, 3000.0f), sampleRate)),
      predelay_(std::round(std::clamp(parameters.predelay, 0.0f, 4.0f) * sampleRate / 1000.0f)),
      lines_{DelayLine(static_cast<int>(predelay_) + 1), DelayLine(static_cast<int>(predelay_) + 1)} {}

void Compressor::Process(float* stereo, int frames) {
    for (int i = 0; i < frames; ++i) {
        float* frame = stereo + 2 * i;
        // The peak is caught at once and let go at the release rate; the
        // gain reduction follows it in the attack or release time.
        const float peak = std::max(std::fabs(frame[0]), std::fabs(frame[1])) / kFullScale;
        envelope_ = std::max(peak, envelope_ * release_);
        float target = 0.0f;
        if (envelope_ > 0.0f) target = std::max(0.0f, 20.0f * std::log10(envelope_) - threshold_) * slope_;
        reductionDb_ = target + (target > reductionDb_ ? attack_ : release_) * (reductionDb_ - target);
        const float gain = outputGain_ * DbToGain(-reductionDb_);
        for (int c = 0; c < 2; ++c) {
            float delayed = frame[c];
            if (predelay_ > 0.0f) {
                delayed = lines_[c].Read(predelay_);
                lines_[c].Write(frame[c]);
            }
            frame[c] = delayed * gain;
        }
    }
}

void Compressor::Reset() {
    envelope_ = reductionDb_ = 0.0f;
    lines_[0].Clear();
    lines_[1].Clear();
}

}  // namespace platform::dsp
