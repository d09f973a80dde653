#pragma once
#include "platform/dsp/delay_line.h"
#include "platform/dsp/effect.h"
#include "platform/dsp/filters.h"

namespace platform::dsp {

// The I3DL2 environmental reverb. Levels are in hundredths of a dB, times in
// seconds. The dry sound passes unchanged; the room adds to it:
// - the input, with its high frequencies lowered by roomHF at hfReference,
//   enters a pre-delay line;
// - early reflections: four taps from reflectionsDelay on, at `reflections`;
// - late reverb: from reflectionsDelay + reverbDelay on, at `reverb`, through
//   two all-pass diffusers (as strong as `diffusion`) into a feedback delay
//   network of four lines (their lengths grow with `density`) whose loop gains
//   make it fall 60 dB in decayTime, and in decayTime x decayHFRatio at
//   hfReference;
// - both scaled by `room`.
// The distance roll-off factor has no listener to act on and is not used.
class ReverbI3DL2 final : public Effect {
public:
    ReverbI3DL2(const I3DL2Reverb& parameters, float sampleRate);
    void Process(float* stereo, int frames) override;
    void Reset() override;

private:
    static constexpr int kLines = 4;
    static constexpr int kTaps = 4;
    static constexpr int kDiffusers = 2;

    float roomGain_, reflectionsGain_, reverbGain_;
    float diffusion_;
    OnePoleLowPass roomHF_;
    DelayLine predelay_;
    int tapDelay_[kTaps];
    int lateDelay_;
    DelayLine diffusers_[kDiffusers];
    int diffuserDelay_[kDiffusers];
    DelayLine lines_[kLines];
    int lineDelay_[kLines];
    float lineGain_[kLines];
    OnePoleLowPass lineHF_[kLines];
};

}  // namespace platform::dsp
