#include "platform/dsp/i3dl2_reverb.h"

#include <algorithm>
#include <cmath>

namespace platform::dsp {

namespace {

// Early reflection taps after the reflections delay, and their weights per
// side (each side's weights carry unit energy).
constexpr float kTapMs[4] = {0.0f, 3.1f, 7.3f, 11.9f};
constexpr float kTapLeft[4] = {0.5f, -0.5f, 0.5f, 0.5f};
constexpr float kTapRight[4] = {0.5f, 0.5f, -0.5f, 0.5f};
// Mutually prime lengths of the network's lines and the diffusers at full
// density, in milliseconds.
constexpr float kLineMs[4] = {29.7f, 37.1f, 41.1f, 43.7f};
constexpr float kDiffuserMs[2] = {3.2f, 8.6f};
constexpr float kMaxDiffusion = 0.6f;
constexpr float kMaxReflectionsDelay = 0.3f, kMaxReverbDelay = 0.1f;

// The floor of the level range is silence, as for a buffer's volume.
float MillibelsToGain(float millibels) { return millibels <= -10000.0f ? 0.0f : DbToGain(millibels / 100.0f); }

int Samples(float seconds, float sampleRate) { return std::max(1, static_cast<int>(std::lround(seconds * sampleRate))); }

}  // namespace

ReverbI3DL2::ReverbI3DL2(const I3DL2Reverb& p, float sampleRate)
    : roomGain_(MillibelsToGain(static_cast<float>(std::clamp(p.room, -10000, 0)))),
      reflectionsGain_(MillibelsToGain(static_cast<float>(std::clamp(p.reflections, -10000, 1000)))),
      reverbGain_(MillibelsToGain(static_cast<float>(std::clamp(p.reverb, -10000, 2000)))),
      diffusion_(kMaxDiffusion * std::clamp(p.diffusion, 0.0f, 100.0f) / 100.0f),
      predelay_(Samples(kMaxReflectionsDelay + kMaxReverbDelay + kTapMs[kTaps - 1] / 1000.0f, sampleRate) + 1) {
    const float hfReference = std::clamp(p.hfReference, 20.0f, 20000.0f);
    roomHF_ = OnePoleLowPass(sampleRate, hfReference,
                             MillibelsToGain(static_cast<float>(std::clamp(p.roomHF, -10000, 0))));
    const float reflectionsDelay = std::clamp(p.reflectionsDelay, 0.0f, kMaxReflectionsDelay);
    for (int k = 0; k < kTaps; ++k) tapDelay_[k] = Samples(reflectionsDelay + kTapMs[k] / 1000.0f, sampleRate);
    lateDelay_ = Samples(reflectionsDelay + std::clamp(p.reverbDelay, 0.0f, kMaxReverbDelay), sampleRate);

    // Denser late reverb: longer lines, so more modes overlap.
    const float lengthScale = 0.5f + 0.5f * std::clamp(p.density, 0.0f, 100.0f) / 100.0f;
    for (int d = 0; d < kDiffusers; ++d) {
        diffuserDelay_[d] = Samples(kDiffuserMs[d] * lengthScale / 1000.0f, sampleRate);
        diffusers_[d] = DelayLine(diffuserDelay_[d]);
    }
    const double decay = std::clamp(p.decayTime, 0.1f, 20.0f);
    // A longer HF decay than the broadband one would need gain above 1.
    const double hfDecay = decay * std::clamp(p.decayHFRatio, 0.1f, 1.0f);
    for (int i = 0; i < kLines; ++i) {
        lineDelay_[i] = Samples(kLineMs[i] * lengthScale / 1000.0f, sampleRate);
        lines_[i] = DelayLine(lineDelay_[i]);
        // Each pass through a line of t seconds must lose 60 t / decay dB.
        const double seconds = lineDelay_[i] / static_cast<double>(sampleRate);
        lineGain_[i] = static_cast<float>(std::pow(10.0, -3.0 * seconds / decay));
        const double hfLoss = std::pow(10.0, -3.0 * seconds / hfDecay) / lineGain_[i];
        lineHF_[i] = OnePoleLowPass(sampleRate, hfReference, static_cast<float>(hfLoss));
    }
}

void ReverbI3DL2::Process(float* stereo, int frames) {
    for (int n = 0; n < frames; ++n) {
        float* frame = stereo + 2 * n;
        float early[2] = {0.0f, 0.0f};
        for (int k = 0; k < kTaps; ++k) {
            const float tap = predelay_.At(tapDelay_[k]);
            early[0] += kTapLeft[k] * tap;
            early[1] += kTapRight[k] * tap;
        }

        // Schroeder all-passes smear the late input before the network.
        float late = predelay_.At(lateDelay_) * reverbGain_;
        predelay_.Write(roomHF_.Process(0.5f * (frame[0] + frame[1])));
        for (int d = 0; d < kDiffusers; ++d) {
            const float delayed = diffusers_[d].At(diffuserDelay_[d]);
            const float fed = late + diffusion_ * delayed;
            diffusers_[d].Write(fed);
            late = delayed - diffusion_ * fed;
        }

        // The network's feedback matrix is the 4x4 Householder reflection
        // I - 2/4 (lossless), so the loop gains alone set the decay.
        float out[kLines], damped[kLines], sum = 0.0f;
        for (int i = 0; i < kLines; ++i) {
            out[i] = lines_[i].At(lineDelay_[i]);
            damped[i] = lineHF_[i].Process(out[i]) * lineGain_[i];
            sum += damped[i];
        }
        for (int i = 0; i < kLines; ++i) lines_[i].Write(late + damped[i] - 0.5f * sum);

        frame[0] += roomGain_ * (reflectionsGain_ * early[0] + 0.7071f * (out[0] - out[2]));
        frame[1] += roomGain_ * (reflectionsGain_ * early[1] + 0.7071f * (out[1] - out[3]));
    }
}

void ReverbI3DL2::Reset() {
    roomHF_.Reset();
    predelay_.Clear();
    for (auto& line : diffusers_) line.Clear();
    for (int i = 0; i < kLines; ++i) {
        lines_[i].Clear();
        lineHF_[i].Reset();
    }
}

}  // namespace platform::dsp
