#pragma once
// The small filters the effects share: biquads from the well-known audio EQ
// cookbook formulas, and a one-pole low-pass set by its gain at a frequency.

namespace platform::dsp {

// One channel of a biquad in transposed direct form II.
class Biquad {
public:
    Biquad() = default;  // passes everything
    // Peaking EQ: `gainDb` at `centre`, `octaves` wide between the
    // half-gain (in dB) points.
    static Biquad Peaking(float sampleRate, float centre, float octaves, float gainDb);
    static Biquad LowPass(float sampleRate, float cutoff, float q);
    // Band-pass with 0 dB at `centre` and `bandwidth` Hz between the -3 dB points.
    static Biquad BandPass(float sampleRate, float centre, float bandwidth);

    float Process(float x) {
        const double y = b0_ * x + z1_;
        z1_ = b1_ * x - a1_ * y + z2_;
        z2_ = b2_ * x - a2_ * y;
        return static_cast<float>(y);
    }
    void Reset() { z1_ = z2_ = 0.0; }

private:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2);
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double z1_ = 0, z2_ = 0;
};

// y = x + a (y' - x): a low-pass whose gain at `frequency` is `gain` (0..1;
// 1 passes everything).
class OnePoleLowPass {
public:
    OnePoleLowPass() = default;
    OnePoleLowPass(float sampleRate, float frequency, float gain);
    float Process(float x) {
        state_ = x + a_ * (state_ - x);
        return state_;
    }
    void Reset() { state_ = 0.0f; }

private:
    float a_ = 0.0f;
    float state_ = 0.0f;
};

}  // namespace platform::dsp
