#pragma once
#include "platform/dsp/delay_line.h"
#include "platform/dsp/effect.h"

namespace platform::dsp {

// The compressor's parameters, with the standard defaults.
struct CompressorParameters {
    float gain = 0.0f;         // output gain in dB, -60..60
    float attack = 10.0f;      // milliseconds for the envelope to rise, 0.01..500
    float release = 200.0f;    // milliseconds for it to fall, 50..3000
    float threshold = -20.0f;  // dB of full scale where compression starts, -60..0
    float ratio = 3.0f;        // input dB over the threshold per output dB, 1..100
    float predelay = 4.0f;     // milliseconds the signal waits behind its envelope, 0..4
};

// The peak of both sides drives one gain: a level L dB above the threshold
// comes out L / ratio dB above it; quieter sound passes unchanged. The signal
// is delayed by the pre-delay so the gain reacts ahead of it.
class Compressor final : public Effect {
public:
    Compressor(const CompressorParameters& parameters, float sampleRate);
    void Process(float* stereo, int frames) override;
    void Reset() override;

private:
    float outputGain_, threshold_, slope_;
    float attack_, release_;
    float predelay_;
    float envelope_ = 0.0f;     // linear peak
    float reductionDb_ = 0.0f;
    DelayLine lines_[2];
};

}  // namespace platform::dsp
