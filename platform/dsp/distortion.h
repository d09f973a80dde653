#pragma once
#include "platform/dsp/effect.h"
#include "platform/dsp/filters.h"

namespace platform::dsp {

// The distortion's parameters, with the standard defaults.
struct DistortionParameters {
    float gain = -18.0f;                     // output gain in dB, -60..0
    float edge = 15.0f;                      // percent of distortion, 0..100
    float postEqCenterFrequency = 2400.0f;   // Hz, 100..8000
    float postEqBandwidth = 2400.0f;         // Hz, 100..8000
    float preLowpassCutoff = 8000.0f;        // Hz, 100..8000
};

// Low-pass, then a symmetric soft clipper driven harder the higher the edge
// (it adds odd harmonics), then a band-pass around the post-EQ centre that
// keeps the harmonics there, then the output gain.
class Distortion final : public Effect {
public:
    Distortion(const DistortionParameters& parameters, float sampleRate);
    void Process(float* stereo, int frames) override;
    void Reset() override;

private:
    float outputGain_, drive_, normaliser_;
    Biquad lowPass_[2], bandPass_[2];
};

}  // namespace platform::dsp
