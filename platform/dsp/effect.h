#pragma once
// The effects a secondary buffer can carry, run by the mixer on each block of
// a playing buffer after it has been resampled to the output rate and before
// its volume and pan. Samples are floats in 16-bit units (full scale 32768),
// interleaved stereo.
#include <memory>

#include "platform/audio.h"

namespace platform::dsp {

constexpr float kFullScale = 32768.0f;

class Effect {
public:
    virtual ~Effect() = default;
    // Processes `frames` interleaved stereo frames in place.
    virtual void Process(float* stereo, int frames) = 0;
    // Forgets everything heard so far (delay lines, envelopes, oscillator
    // phases), as a buffer rewound to its start needs.
    virtual void Reset() = 0;
};

// The effect of a kind with its standard default parameters (the reverb with
// `reverb` when given); null for AudioEffect::None.
std::unique_ptr<Effect> CreateEffect(AudioEffect kind, const I3DL2Reverb* reverb, float sampleRate);

// Decibels as a linear amplitude factor.
float DbToGain(float db);

}  // namespace platform::dsp
