#include "platform/dsp/gargle.h"

#include <algorithm>
#include <cmath>

namespace platform::dsp {

Gargle::Gargle(const GargleParameters& parameters, float sampleRate)
    : step_(std::clamp(parameters.rateHz, 1u, 1000u) / static_cast<double>(sampleRate)),
      square_(parameters.waveShape == GARGLE_SQUARE) {}

float Gargle::FactorAt(double cycle) const {
    cycle -= std::floor(cycle);
    if (square_) return cycle < 0.5 ? 1.0f : 0.0f;
    return static_cast<float>(cycle < 0.5 ? 2.0 * cycle : 2.0 - 2.0 * cycle);
}

void Gargle::Process(float* stereo, int frames) {
    for (int i = 0; i < frames; ++i) {
        const float factor = FactorAt(cycle_);
        stereo[2 * i] *= factor;
        stereo[2 * i + 1] *= factor;
        cycle_ += step_;
        if (cycle_ >= 1.0) cycle_ -= 1.0;
    }
}

}  // namespace platform::dsp
