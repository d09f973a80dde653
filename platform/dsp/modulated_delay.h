#pragma once
#include "platform/dsp/delay_line.h"
#include "platform/dsp/effect.h"

namespace platform::dsp {

enum ModulationWave { WAVE_TRIANGLE = 0, WAVE_SINE = 1 };
// The right side's oscillator phase against the left one's.
enum ModulationPhase { PHASE_NEG_180 = 0, PHASE_NEG_90 = 1, PHASE_ZERO = 2, PHASE_90 = 3, PHASE_180 = 4 };

// The parameters of the chorus and the flanger, which are one kind of effect:
// a short delay whose length a low-frequency oscillator sweeps.
struct ModulatedDelayParameters {
    float wetDryMix;  // percent of processed signal in the output, 0..100
    float depth;      // percent of the delay the oscillator sweeps either way, 0..100
    float feedback;   // percent of the delayed signal fed back, -99..99
    float frequency;  // oscillator rate in Hz, 0..10
    int waveform;     // ModulationWave
    float delay;      // centre delay in milliseconds (chorus 0..20, flanger 0..4)
    int phase;        // ModulationPhase
};

// The longest centre delay each kind takes, in milliseconds.
constexpr float kChorusMaxDelayMs = 20.0f;
constexpr float kFlangerMaxDelayMs = 4.0f;

// The standard defaults: the chorus a 16 ms delay swept by 10 % at 1.1 Hz,
// the flanger a 2 ms delay swept fully at 0.25 Hz with negative feedback.
ModulatedDelayParameters ChorusParameters();
ModulatedDelayParameters FlangerParameters();

// Each side reads its line at delay x (1 + depth x wave(t)), the right side's
// wave shifted by the phase, and mixes the delayed signal with the dry one.
class ModulatedDelay final : public Effect {
public:
    ModulatedDelay(const ModulatedDelayParameters& parameters, float maxDelayMs, float sampleRate);
    void Process(float* stereo, int frames) override;
    void Reset() override;

private:
    // The delay in samples the given side reads at oscillator phase `cycle`
    // (in turns); the left side starts at phase 0.
    float DelayAt(double cycle, int side) const;

    float wet_, feedback_, depth_;
    float delaySamples_;
    double step_;        // turns per sample
    double sideOffset_;  // turns
    int waveform_;
    double cycle_ = 0.0;
    DelayLine lines_[2];
};

}  // namespace platform::dsp
