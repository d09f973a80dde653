#pragma once
#include "platform/dsp/effect.h"
#include "platform/dsp/filters.h"

namespace platform::dsp {

// The parametric equaliser's parameters, with the standard defaults (which
// leave the sound as it is: 0 dB).
struct ParamEqParameters {
    float center = 8000.0f;   // Hz, 80..16000
    float bandwidth = 12.0f;  // semitones, 1..36
    float gain = 0.0f;        // dB at the centre, -15..15
};

// One peaking band: `gain` dB at the centre, fading to 0 dB away from it.
class ParamEq final : public Effect {
public:
    ParamEq(const ParamEqParameters& parameters, float sampleRate);
    void Process(float* stereo, int frames) override;
    void Reset() override;

private:
    Biquad bands_[2];
};

}  // namespace platform::dsp
