#include "platform/dsp/filters.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::dsp {

namespace {

double AngularFrequency(float sampleRate, float frequency) {
    // Kept below Nyquist so every filter stays stable.
    return 2.0 * std::numbers::pi * std::min<double>(frequency, 0.49 * sampleRate) / sampleRate;
}

}  // namespace

Biquad::Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
    : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}

Biquad Biquad::Peaking(float sampleRate, float centre, float octaves, float gainDb) {
    const double w = AngularFrequency(sampleRate, centre);
    const double a = std::pow(10.0, gainDb / 40.0);
    const double alpha = std::sin(w) * std::sinh(std::numbers::ln2 / 2.0 * octaves * w / std::sin(w));
    const double c = std::cos(w);
    return Biquad(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a);
}

Biquad Biquad::LowPass(float sampleRate, float cutoff, float q) {
    const double w = AngularFrequency(sampleRate, cutoff);
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    return Biquad((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::BandPass(float sampleRate, float centre, float bandwidth) {
    const double w = AngularFrequency(sampleRate, centre);
    const double q = std::max(0.1, static_cast<double>(centre) / std::max(1.0f, bandwidth));
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    return Biquad(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

OnePoleLowPass::OnePoleLowPass(float sampleRate, float frequency, float gain) {
    gain = std::clamp(gain, 0.0001f, 1.0f);
    if (gain >= 0.9999f) return;
    // Solves |H(e^jw)|^2 = g for the pole a of H(z) = (1 - a) / (1 - a z^-1).
    const double c = std::cos(AngularFrequency(sampleRate, frequency));
    const double g = static_cast<double>(gain) * gain;
    const double root = std::sqrt(std::max(0.0, 2.0 * g * (1.0 - c) - g * g * (1.0 - c * c)));
    a_ = static_cast<float>((1.0 - g * c - root) / (1.0 - g));
}

}  // namespace platform::dsp
