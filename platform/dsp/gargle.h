#pragma once
#include "platform/dsp/effect.h"

namespace platform::dsp {

enum GargleWave { GARGLE_TRIANGLE = 0, GARGLE_SQUARE = 1 };

// The gargle's parameters, with the standard defaults.
struct GargleParameters {
    unsigned rateHz = 20;  // modulation rate, 1..1000
    int waveShape = GARGLE_TRIANGLE;
};

// Amplitude modulation: the sound is multiplied by a wave that goes from 0
// to 1 and back `rateHz` times a second (a triangle, or a square that is on
// for the first half of each period).
class Gargle final : public Effect {
public:
    Gargle(const GargleParameters& parameters, float sampleRate);
    void Process(float* stereo, int frames) override;
    void Reset() override { cycle_ = 0.0; }

private:
    // The modulating factor at oscillator phase `cycle` (in turns).
    float FactorAt(double cycle) const;

    double step_;
    bool square_;
    double cycle_ = 0.0;
};

}  // namespace platform::dsp
