#include "platform/dsp/param_eq.h"

#include <algorithm>

namespace platform::dsp {

namespace {

Biquad Band(const ParamEqParameters& parameters, float sampleRate) {
    return Biquad::Peaking(sampleRate, std::clamp(parameters.center, 80.0f, 16000.0f),
                           std::clamp(parameters.bandwidth, 1.0f, 36.0f) / 12.0f,
                           std::clamp(parameters.gain, -15.0f, 15.0f));
}

}  // namespace

ParamEq::ParamEq(const ParamEqParameters& parameters, float sampleRate)
    : bands_{Band(parameters, sampleRate), Band(parameters, sampleRate)} {}

void ParamEq::Process(float* stereo, int frames) {
    for (int i = 0; i < frames; ++i) {
        stereo[2 * i] = bands_[0].Process(stereo[2 * i]);
        stereo[2 * i + 1] = bands_[1].Process(stereo[2 * i + 1]);
    }
}

void ParamEq::Reset() {
    bands_[0].Reset();
    bands_[1].Reset();
}

}  // namespace platform::dsp
