#include "platform/dsp/effect.h"

#include <cmath>

#include "platform/dsp/compressor.h"
#include "platform/dsp/distortion.h"
#include "platform/dsp/echo.h"
#include "platform/dsp/gargle.h"
#include "platform/dsp/i3dl2_reverb.h"
#include "platform/dsp/modulated_delay.h"
#include "platform/dsp/param_eq.h"

namespace platform::dsp {

float DbToGain(float db) { return static_cast<float>(std::pow(10.0, db / 20.0)); }

std::unique_ptr<Effect> CreateEffect(AudioEffect kind, const I3DL2Reverb* reverb, float sampleRate) {
    switch (kind) {
    case AudioEffect::I3DL2Reverb: return std::make_unique<ReverbI3DL2>(reverb ? *reverb : I3DL2Reverb{}, sampleRate);
    case AudioEffect::Echo: return std::make_unique<Echo>(EchoParameters{}, sampleRate);
    case AudioEffect::Chorus: return std::make_unique<ModulatedDelay>(ChorusParameters(), kChorusMaxDelayMs, sampleRate);
    case AudioEffect::Compressor: return std::make_unique<Compressor>(CompressorParameters{}, sampleRate);
    case AudioEffect::Distortion: return std::make_unique<Distortion>(DistortionParameters{}, sampleRate);
    case AudioEffect::Flanger: return std::make_unique<ModulatedDelay>(FlangerParameters(), kFlangerMaxDelayMs, sampleRate);
    case AudioEffect::Gargle: return std::make_unique<Gargle>(GargleParameters{}, sampleRate);
    case AudioEffect::ParamEq: return std::make_unique<ParamEq>(ParamEqParameters{}, sampleRate);
    case AudioEffect::None: break;
    }
    return nullptr;
}

}  // namespace platform::dsp
