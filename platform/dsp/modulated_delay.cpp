#include "platform/dsp/modulated_delay.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::dsp {

ModulatedDelayParameters ChorusParameters() { return {50.0f, 10.0f, 25.0f, 1.1f, WAVE_SINE, 16.0f, PHASE_90}; }
ModulatedDelayParameters FlangerParameters() { return {50.0f, 100.0f, -50.0f, 0.25f, WAVE_SINE, 2.0f, PHASE_ZERO}; }

namespace {

// One period of the wave from -1 to 1; the triangle starts rising through 0 as
// the sine does.
double Wave(int waveform, double cycle) {
    cycle -= std::floor(cycle);
    if (waveform == WAVE_TRIANGLE) {
        const double t = cycle < 0.25 ? cycle : (cycle < 0.75 ? 0.5 - cycle : cycle - 1.0);
        return 4.0 * t;
    }
    return std::sin(2.0 * std::numbers::pi * cycle);
}

}  // namespace

ModulatedDelay::ModulatedDelay(const ModulatedDelayParameters& parameters, float maxDelayMs, float sampleRate)
    : wet_(std::clamp(parameters.wetDryMix, 0.0f, 100.0f) / 100.0f),
      feedback_(std::clamp(parameters.feedback, -99.0f, 99.0f) / 100.0f),
      depth_(std::clamp(parameters.depth, 0.0f, 100.0f) / 100.0f),
      delaySamples_(std::clamp(parameters.delay, 0.0f, maxDelayMs) * sampleRate / 1000.0f),
      step_(std::clamp(parameters.frequency, 0.0f, 10.0f) / static_cast<double>(sampleRate)),
      sideOffset_((std::clamp(parameters.phase, 0, 4) - PHASE_ZERO) * 0.25),
      waveform_(parameters.waveform == WAVE_TRIANGLE ? WAVE_TRIANGLE : WAVE_SINE),
      lines_{DelayLine(static_cast<int>(2.0f * delaySamples_) + 2), DelayLine(static_cast<int>(2.0f * delaySamples_) + 2)} {}

float ModulatedDelay::DelayAt(double cycle, int side) const {
    const double wave = Wave(waveform_, cycle + (side == 1 ? sideOffset_ : 0.0));
    // Never under one sample: the line is read before this frame is written.
    return std::max(1.0f, static_cast<float>(delaySamples_ * (1.0 + depth_ * wave)));
}

void ModulatedDelay::Process(float* stereo, int frames) {
    for (int i = 0; i < frames; ++i) {
        float* frame = stereo + 2 * i;
        for (int c = 0; c < 2; ++c) {
            const float delayed = lines_[c].Read(DelayAt(cycle_, c));
            lines_[c].Write(frame[c] + feedback_ * delayed);
            frame[c] += wet_ * (delayed - frame[c]);
        }
        cycle_ += step_;
        if (cycle_ >= 1.0) cycle_ -= 1.0;
    }
}

void ModulatedDelay::Reset() {
    cycle_ = 0.0;
    lines_[0].Clear();
    lines_[1].Clear();
}

}  // namespace platform::dsp
