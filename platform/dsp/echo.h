#pragma once
#include "platform/dsp/delay_line.h"
#include "platform/dsp/effect.h"

namespace platform::dsp {

// The echo's parameters, with the standard defaults.
struct EchoParameters {
    float wetDryMix = 50.0f;    // percent of processed signal in the output, 0..100
    float feedback = 50.0f;     // percent of each echo fed back into the delay, 0..100
    float leftDelay = 500.0f;   // milliseconds, 1..2000
    float rightDelay = 500.0f;  // milliseconds, 1..2000
    int panDelay = 0;           // 1: each echo swaps sides (ping-pong)
};

// A feedback delay per side: an impulse comes back after the side's delay,
// and again after each further delay, scaled by the feedback each time.
class Echo final : public Effect {
public:
    Echo(const EchoParameters& parameters, float sampleRate);
    void Process(float* stereo, int frames) override;
    void Reset() override;

private:
    float wet_, feedback_;
    float delay_[2];
    bool swapSides_;
    DelayLine lines_[2];
};

}  // namespace platform::dsp
