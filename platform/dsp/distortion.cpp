#include "platform/dsp/distortion.h"

#include <algorithm>
#include <cmath>

namespace platform::dsp {

namespace {

constexpr float kLowPassQ = 0.7071f;  // Butterworth: flat pass band

}  // namespace

Distortion::Distortion(const DistortionParameters& parameters, float sampleRate)
    : outputGain_(DbToGain(std::clamp(parameters.gain, -60.0f, 0.0f))),
      // Edge 0 barely bends a full-scale wave; edge 100 all but squares a
      // tenth of full scale.
      drive_(1.0f + 0.1f * std::clamp(parameters.edge, 0.0f, 100.0f)),
      normaliser_(1.0f / std::tanh(drive_)) {
    const float cutoff = std::clamp(parameters.preLowpassCutoff, 100.0f, 8000.0f);
    const float centre = std::clamp(parameters.postEqCenterFrequency, 100.0f, 8000.0f);
    const float bandwidth = std::clamp(parameters.postEqBandwidth, 100.0f, 8000.0f);
    for (int c = 0; c < 2; ++c) {
        lowPass_[c] = Biquad::LowPass(sampleRate, cutoff, kLowPassQ);
        bandPass_[c] = Biquad::BandPass(sampleRate, centre, bandwidth);
    }
}

void Distortion::Process(float* stereo, int frames) {
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            float& sample = stereo[2 * i + c];
            const float x = lowPass_[c].Process(sample) / kFullScale;
            const float shaped = std::tanh(drive_ * x) * normaliser_ * kFullScale;
            sample = bandPass_[c].Process(shaped) * outputGain_;
        }
    }
}

void Distortion::Reset() {
    for (int c = 0; c < 2; ++c) {
        lowPass_[c].Reset();
        bandPass_[c].Reset();
    }
}

}  // namespace platform::dsp
