// The mixer's effects on synthetic signals, each checked for the property
// that defines its kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/dsp/compressor.h"
#include "platform/dsp/distortion.h"
#include "platform/dsp/echo.h"
#include "platform/dsp/gargle.h"
#include "platform/dsp/i3dl2_reverb.h"
#include "platform/dsp/modulated_delay.h"
#include "platform/dsp/param_eq.h"

namespace {

using namespace platform::dsp;

constexpr float kRate = 44100.0f;
constexpr double kPi = std::numbers::pi;

// Interleaved stereo frames; both sides carry the same signal unless a test
// sets them apart.
using Stereo = std::vector<float>;

Stereo Silence(int frames) { return Stereo(static_cast<size_t>(frames) * 2, 0.0f); }

Stereo Sine(float frequency, float amplitude, int frames) {
    Stereo s = Silence(frames);
    for (int i = 0; i < frames; ++i)
        s[2 * i] = s[2 * i + 1] = amplitude * static_cast<float>(std::sin(2.0 * kPi * frequency * i / kRate));
    return s;
}

// Runs the effect over the signal in blocks of the mixer's device size.
Stereo Process(Effect& effect, Stereo signal) {
    constexpr int kBlock = 1024;
    const int frames = static_cast<int>(signal.size() / 2);
    for (int at = 0; at < frames; at += kBlock) effect.Process(signal.data() + 2 * at, std::min(kBlock, frames - at));
    return signal;
}

// The amplitude of one frequency in frames [from, from + count) of a side
// (a Goertzel filter; whole periods give the exact amplitude).
double Amplitude(const Stereo& s, int side, double frequency, int from, int count) {
    double re = 0.0, im = 0.0;
    for (int i = 0; i < count; ++i) {
        const double phase = 2.0 * kPi * frequency * (from + i) / kRate;
        re += s[2 * (from + i) + side] * std::cos(phase);
        im += s[2 * (from + i) + side] * std::sin(phase);
    }
    return 2.0 * std::hypot(re, im) / count;
}

double Peak(const Stereo& s, int side, int from, int count) {
    double peak = 0.0;
    for (int i = from; i < from + count; ++i) peak = std::max(peak, std::fabs(static_cast<double>(s[2 * i + side])));
    return peak;
}

double Db(double ratio) { return 20.0 * std::log10(ratio); }

int Frames(double seconds) { return static_cast<int>(std::lround(seconds * kRate)); }

TEST(EchoEffect, AnImpulseComesBackAtEachSidesDelayScaledByTheFeedback) {
    EchoParameters p;
    p.wetDryMix = 40.0f;
    p.feedback = 50.0f;
    p.leftDelay = 100.0f;
    p.rightDelay = 150.0f;
    Echo echo(p, kRate);
    Stereo in = Silence(Frames(0.7));
    in[0] = in[1] = 10000.0f;
    const Stereo out = Process(echo, in);

    // Dry part at 0, then wet copies at k x delay, each half the one before.
    for (int side = 0; side < 2; ++side) {
        const int delay = Frames((side == 0 ? p.leftDelay : p.rightDelay) / 1000.0);
        std::vector<float> expected(out.size() / 2, 0.0f);
        expected[0] = 6000.0f;
        for (int k = 1, n = delay; n < static_cast<int>(expected.size()); ++k, n += delay)
            expected[n] = 4000.0f * static_cast<float>(std::pow(0.5, k - 1));
        for (size_t n = 0; n < expected.size(); ++n)
            ASSERT_NEAR(out[2 * n + side], expected[n], 0.01f) << "side " << side << " frame " << n;
    }
}

TEST(EchoEffect, PanDelaySendsEachEchoToTheOtherSide) {
    EchoParameters p;
    p.wetDryMix = 100.0f;
    p.feedback = 50.0f;
    p.leftDelay = p.rightDelay = 50.0f;
    p.panDelay = 1;
    Echo echo(p, kRate);
    Stereo in = Silence(Frames(0.2));
    in[0] = 10000.0f;  // left only
    const Stereo out = Process(echo, in);
    const int delay = Frames(0.05);
    EXPECT_FLOAT_EQ(out[2 * delay], 10000.0f);      // first echo: left
    EXPECT_FLOAT_EQ(out[2 * delay + 1], 0.0f);
    EXPECT_FLOAT_EQ(out[2 * (2 * delay)], 0.0f);     // second: right, halved
    EXPECT_FLOAT_EQ(out[2 * (2 * delay) + 1], 5000.0f);
    EXPECT_FLOAT_EQ(out[2 * (3 * delay)], 2500.0f);  // third: left again
}

// A sine through the gargle swells and fades `rate` times a second: full at
// the middle of each period of the triangle (and through the first half of the
// square's), silent at its start (and through the square's second half).
TEST(GargleEffect, ModulatesTheAmplitudeAtItsRate) {
    struct Case { unsigned rate; int shape; double fullAt, silentAt; } cases[] = {
        {20, GARGLE_TRIANGLE, 0.5, 0.0},
        {50, GARGLE_TRIANGLE, 0.5, 0.0},
        {20, GARGLE_SQUARE, 0.25, 0.75},
    };
    constexpr float kAmplitude = 8000.0f;
    for (const Case& c : cases) {
        Gargle gargle({c.rate, c.shape}, kRate);
        const Stereo out = Process(gargle, Sine(2000.0f, kAmplitude, Frames(0.5)));
        const double period = 1.0 / c.rate;
        // One period of the 2 kHz carrier around each instant.
        const int window = Frames(1.0 / 2000.0);
        for (int k = 1; k < static_cast<int>(0.4 / period); ++k) {
            const int full = Frames((k + c.fullAt) * period) - window / 2;
            const int silent = Frames((k + c.silentAt) * period) - window / 2;
            EXPECT_GT(Peak(out, 0, full, window), 0.9 * kAmplitude) << c.rate << " period " << k;
            EXPECT_LT(Peak(out, 1, silent, window), 0.12 * kAmplitude) << c.rate << " period " << k;
        }
    }
}

// A steady tone's peak level after the envelope has settled.
double SettledPeakDb(const CompressorParameters& p, double inputDb) {
    Compressor compressor(p, kRate);
    const Stereo out = Process(compressor, Sine(1000.0f, static_cast<float>(kFullScale * std::pow(10.0, inputDb / 20.0)),
                                            Frames(1.5)));
    return Db(Peak(out, 0, Frames(1.3), Frames(0.2)) / kFullScale);
}

TEST(CompressorEffect, ALevelOverTheThresholdRisesByOneOverTheRatio) {
    struct Case { float threshold, ratio, gain; double inputDb, outputDb; } cases[] = {
        {-20.0f, 3.0f, 0.0f, -5.0, -15.0},    // 15 dB over: 5 dB over
        {-20.0f, 3.0f, 0.0f, -11.0, -17.0},
        {-30.0f, 10.0f, 0.0f, -10.0, -28.0},  // 20 dB over: 2 dB over
        {-20.0f, 3.0f, 0.0f, -30.0, -30.0},   // under the threshold: untouched
        {-20.0f, 3.0f, 6.0f, -30.0, -24.0},   // the output gain applies to all
        {-20.0f, 1.0f, 0.0f, -3.0, -3.0},     // ratio 1 does not compress
    };
    for (const Case& c : cases) {
        CompressorParameters p;
        p.threshold = c.threshold;
        p.ratio = c.ratio;
        p.gain = c.gain;
        EXPECT_NEAR(SettledPeakDb(p, c.inputDb), c.outputDb, 0.3) << c.threshold << " " << c.ratio << " " << c.inputDb;
    }
}

TEST(CompressorEffect, ThePreDelayHoldsTheSignalBackBehindItsEnvelope) {
    CompressorParameters p;
    p.predelay = 4.0f;
    Compressor compressor(p, kRate);
    Stereo in = Silence(400);
    in[0] = 100.0f;  // quiet: passes at unit gain
    const Stereo out = Process(compressor, in);
    const int delay = Frames(0.004);
    EXPECT_FLOAT_EQ(out[2 * delay], 100.0f);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
}

// The third harmonic of a 1 kHz tone, against the fundamental, in dB.
double ThirdHarmonicDb(float edge) {
    DistortionParameters p;
    p.edge = edge;
    p.gain = 0.0f;
    p.postEqCenterFrequency = 3000.0f;
    p.postEqBandwidth = 6000.0f;  // wide: keeps both tones
    Distortion distortion(p, kRate);
    const Stereo out = Process(distortion, Sine(1000.0f, 0.5f * kFullScale, Frames(0.3)));
    const int from = Frames(0.1), count = Frames(0.1);
    return Db(Amplitude(out, 0, 3000.0, from, count) / Amplitude(out, 0, 1000.0, from, count));
}

TEST(DistortionEffect, AddsHarmonicsToAPureToneTheMoreTheHigherTheEdge) {
    const Stereo pure = Sine(1000.0f, 0.5f * kFullScale, Frames(0.3));
    const double clean = Db(Amplitude(pure, 0, 3000.0, Frames(0.1), Frames(0.1)) / (0.5 * kFullScale));
    ASSERT_LT(clean, -80.0);
    const double low = ThirdHarmonicDb(5.0f), standard = ThirdHarmonicDb(15.0f), high = ThirdHarmonicDb(40.0f);
    EXPECT_GT(low, -40.0);
    EXPECT_GT(standard, low + 3.0);
    EXPECT_GT(high, standard + 3.0);
}

TEST(DistortionEffect, ThePostEqKeepsItsBandAndTheGainScalesTheOutput) {
    // The defaults' post-EQ is centred on 2400 Hz: a 2400 Hz tone comes out
    // far above a 150 Hz one; the output gain moves both by its decibels.
    auto level = [](float frequency, float gain) {
        DistortionParameters p;
        p.gain = gain;
        Distortion distortion(p, kRate);
        const Stereo out = Process(distortion, Sine(frequency, 0.05f * kFullScale, Frames(0.3)));
        return Db(Amplitude(out, 0, frequency, Frames(0.2), Frames(0.1)) / (0.05 * kFullScale));
    };
    const double atCentre = level(2400.0f, -18.0f);
    EXPECT_NEAR(level(2400.0f, 0.0f) - atCentre, 18.0, 0.01);
    EXPECT_NEAR(level(2400.0f, -60.0f) - atCentre, -42.0, 0.01);
    EXPECT_LT(level(150.0f, -18.0f), atCentre - 12.0);
}

TEST(ParamEqEffect, RaisesOrLowersTheBandAtItsCentreByItsGain) {
    struct Case { float centre, bandwidth, gain; } cases[] = {
        {1000.0f, 12.0f, 10.0f}, {1000.0f, 12.0f, -10.0f}, {4000.0f, 6.0f, 15.0f},
        {4000.0f, 6.0f, -15.0f}, {8000.0f, 12.0f, 0.0f},  // the defaults' band: no change
        {250.0f, 36.0f, 6.0f},
    };
    for (const Case& c : cases) {
        auto gainAt = [&](float frequency) {
            ParamEq eq({c.centre, c.bandwidth, c.gain}, kRate);
            const Stereo out = Process(eq, Sine(frequency, 10000.0f, Frames(0.4)));
            return Db(Amplitude(out, 1, frequency, Frames(0.2), Frames(0.2)) / 10000.0);
        };
        EXPECT_NEAR(gainAt(c.centre), c.gain, 0.2) << c.centre << " " << c.gain;
        // Four bandwidths away the band has all but faded out.
        const float away = c.centre / static_cast<float>(std::pow(2.0, 4.0 * c.bandwidth / 12.0));
        if (away > 20.0f) {
            EXPECT_NEAR(gainAt(away), 0.0, 0.15 * std::fabs(c.gain) + 0.1) << c.centre << " " << c.gain;
        }
    }
}

// An impulse every 20 ms through the wet path alone: each comes out after the
// delay the oscillator set at that moment, which the centroid of the
// interpolated copy measures to a fraction of a sample.
struct ModulatedDelayCase {
    const char* name;
    ModulatedDelayParameters parameters;
    float maxDelayMs;
};

// The delay the definition gives at time t (seconds) on a side.
double ExpectedDelayMs(const ModulatedDelayParameters& p, double t, int side) {
    double cycle = p.frequency * t + (side == 1 ? (p.phase - PHASE_ZERO) * 0.25 : 0.0);
    cycle -= std::floor(cycle);
    const double wave = p.waveform == WAVE_SINE ? std::sin(2.0 * kPi * cycle)
                                                : (cycle < 0.25 ? 4 * cycle : cycle < 0.75 ? 2 - 4 * cycle : 4 * cycle - 4);
    return p.delay * (1.0 + p.depth / 100.0 * wave);
}

TEST(ModulatedDelayEffect, ChorusAndFlangerDelayTheSoundByTheirSweptDelay) {
    const ModulatedDelayCase cases[] = {
        {"chorus", {100.0f, 10.0f, 0.0f, 1.1f, WAVE_SINE, 16.0f, PHASE_90}, kChorusMaxDelayMs},
        {"deep chorus", {100.0f, 50.0f, 0.0f, 2.0f, WAVE_TRIANGLE, 10.0f, PHASE_NEG_180}, kChorusMaxDelayMs},
        {"flanger", {100.0f, 80.0f, 0.0f, 1.0f, WAVE_SINE, 3.0f, PHASE_ZERO}, kFlangerMaxDelayMs},
        {"triangle flanger", {100.0f, 70.0f, 0.0f, 3.0f, WAVE_TRIANGLE, 2.0f, PHASE_NEG_90}, kFlangerMaxDelayMs},
    };
    const int spacing = Frames(0.02);
    for (const ModulatedDelayCase& c : cases) {
        ModulatedDelay effect(c.parameters, c.maxDelayMs, kRate);
        Stereo in = Silence(Frames(1.0));
        for (int n = 0; n < Frames(0.98); n += spacing) in[2 * n] = in[2 * n + 1] = 1.0f;
        const Stereo out = Process(effect, in);
        double lowest = 1e9, highest = 0.0;
        for (int n = 0; n + spacing < Frames(1.0); n += spacing) {
            for (int side = 0; side < 2; ++side) {
                double sum = 0.0, weighted = 0.0;
                for (int i = n; i < n + spacing; ++i) {
                    sum += out[2 * i + side];
                    weighted += out[2 * i + side] * (i - n);
                }
                // One copy, nothing dry; a sweeping delay stretches or
                // squeezes it by a few percent (it shifts the pitch), and
                // the samples of the stretched copy fall where they may.
                ASSERT_NEAR(sum, 1.0, 0.1) << c.name << " at " << n;
                const double measuredMs = weighted / sum / kRate * 1000.0;
                const double outputTime = (n + weighted / sum) / kRate;
                EXPECT_NEAR(measuredMs, ExpectedDelayMs(c.parameters, outputTime, side), 0.03)
                    << c.name << " side " << side << " at " << outputTime;
                lowest = std::min(lowest, measuredMs);
                highest = std::max(highest, measuredMs);
            }
        }
        // Over a second the sweep covers most of its range.
        const double swing = c.parameters.delay * c.parameters.depth / 100.0;
        EXPECT_GT(highest - lowest, swing) << c.name;
    }
}

TEST(ModulatedDelayEffect, FeedbackRepeatsTheDelayedCopyAndWetDryMixesIt) {
    // No sweep: a plain 10 ms delay, half wet, with -50 % feedback.
    ModulatedDelay effect({50.0f, 0.0f, -50.0f, 1.0f, WAVE_SINE, 10.0f, PHASE_ZERO}, kChorusMaxDelayMs, kRate);
    Stereo in = Silence(Frames(0.04));
    in[0] = 1000.0f;
    const Stereo out = Process(effect, in);
    const int delay = Frames(0.01);
    EXPECT_FLOAT_EQ(out[0], 500.0f);
    EXPECT_FLOAT_EQ(out[2 * delay], 500.0f);
    EXPECT_FLOAT_EQ(out[2 * 2 * delay], -250.0f);
    EXPECT_FLOAT_EQ(out[2 * 3 * delay], 125.0f);
}

// Energy of an impulse response in 20 ms windows, in dB.
std::vector<double> WindowLevelsDb(const Stereo& s, int from, int to) {
    std::vector<double> levels;
    const int window = Frames(0.02);
    for (int at = from; at + window <= to; at += window) {
        double energy = 0.0;
        for (int i = at; i < at + window; ++i) energy += s[2 * i] * s[2 * i] + s[2 * i + 1] * s[2 * i + 1];
        levels.push_back(10.0 * std::log10(energy / window + 1e-30));
    }
    return levels;
}

// The least-squares slope of levels taken every 20 ms, in dB per second.
double SlopeDbPerSecond(const std::vector<double>& levels) {
    const double n = static_cast<double>(levels.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < levels.size(); ++i) {
        const double x = 0.02 * static_cast<double>(i);
        sx += x;
        sy += levels[i];
        sxx += x * x;
        sxy += x * levels[i];
    }
    return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

Stereo ReverbImpulseResponse(const platform::I3DL2Reverb& p, double seconds) {
    ReverbI3DL2 reverb(p, kRate);
    Stereo in = Silence(Frames(seconds));
    in[0] = in[1] = 10000.0f;
    return Process(reverb, in);
}

TEST(ReverbEffect, TheTailFallsSixtyDecibelsInTheDecayTime) {
    for (float decay : {0.5f, 1.49f, 3.0f}) {
        platform::I3DL2Reverb p;
        p.decayTime = decay;
        p.decayHFRatio = 1.0f;
        p.roomHF = 0;
        const Stereo out = ReverbImpulseResponse(p, 0.2 + 0.8 * decay);
        // From when the late reverb has built up to before it nears the floor.
        const double slope = SlopeDbPerSecond(WindowLevelsDb(out, Frames(0.15), Frames(0.15 + 0.6 * decay)));
        EXPECT_NEAR(slope, -60.0 / decay, 0.1 * 60.0 / decay) << decay;
    }
}

TEST(ReverbEffect, HighFrequenciesDieSoonerByTheHfRatio) {
    platform::I3DL2Reverb p;
    p.decayTime = 1.0f;
    p.decayHFRatio = 0.3f;
    p.roomHF = 0;
    p.hfReference = 5000.0f;
    const Stereo out = ReverbImpulseResponse(p, 0.8);
    // 5 kHz against 300 Hz, early and late in the tail: the high band loses
    // far more than the low one.
    auto bandLevel = [&](double frequency, double at) { return Db(Amplitude(out, 0, frequency, Frames(at), Frames(0.05))); };
    const double lowLoss = bandLevel(300.0, 0.1) - bandLevel(300.0, 0.5);
    const double highLoss = bandLevel(5000.0, 0.1) - bandLevel(5000.0, 0.5);
    EXPECT_GT(highLoss, lowLoss + 20.0);
}

TEST(ReverbEffect, ReflectionsAndReverbStartAfterTheirDelaysAtTheirLevels) {
    platform::I3DL2Reverb p;
    p.room = 0;
    p.roomHF = 0;
    p.reflections = 0;
    p.reflectionsDelay = 0.05f;
    p.reverb = -10000;  // reflections alone first
    Stereo out = ReverbImpulseResponse(p, 0.2);
    EXPECT_FLOAT_EQ(out[0], 10000.0f);  // the dry sound passes unchanged
    const int first = Frames(0.05);
    for (int n = 1; n < first; ++n) ASSERT_EQ(out[2 * n], 0.0f) << n;
    EXPECT_NEAR(std::fabs(out[2 * first]), 5000.0f, 1.0f);  // the first tap, at 0 mB

    p.room = -600;  // the room scales the whole response: -6 dB
    const Stereo quieter = ReverbImpulseResponse(p, 0.2);
    EXPECT_NEAR(quieter[2 * first] / out[2 * first], std::pow(10.0, -0.3), 1e-3);

    // Late reverb alone: nothing before reflectionsDelay + reverbDelay.
    p.room = 0;
    p.reflections = -10000;
    p.reverb = 0;
    p.reverbDelay = 0.04f;
    out = ReverbImpulseResponse(p, 0.3);
    const int late = Frames(0.09);
    EXPECT_LT(Peak(out, 0, 1, late), 1.0);
    EXPECT_GT(Peak(out, 0, late, Frames(0.1)), 100.0);

    p.room = -10000;  // no room at all: the dry sound alone
    out = ReverbImpulseResponse(p, 0.3);
    EXPECT_LT(Peak(out, 0, 1, Frames(0.29)), 0.01);
}

TEST(EffectKinds, EveryKindBuildsWithItsDefaultsAndResetsToSilence) {
    using platform::AudioEffect;
    for (AudioEffect kind : {AudioEffect::I3DL2Reverb, AudioEffect::Echo, AudioEffect::Chorus, AudioEffect::Compressor,
                             AudioEffect::Distortion, AudioEffect::Flanger, AudioEffect::Gargle, AudioEffect::ParamEq}) {
        std::unique_ptr<Effect> effect = CreateEffect(kind, nullptr, kRate);
        ASSERT_NE(effect, nullptr);
        Stereo loud = Process(*effect, Sine(440.0f, 20000.0f, Frames(0.3)));
        for (float s : loud) ASSERT_TRUE(std::isfinite(s)) << static_cast<int>(kind);
        // After a reset nothing of the old sound remains: silence stays silent.
        effect->Reset();
        const Stereo after = Process(*effect, Silence(Frames(0.6)));
        EXPECT_EQ(Peak(after, 0, 0, Frames(0.6)), 0.0) << static_cast<int>(kind);
    }
    EXPECT_EQ(CreateEffect(AudioEffect::None, nullptr, kRate), nullptr);
}

}  // namespace
