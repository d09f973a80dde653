#include "tools/datagen/sound_set.h"

#include <cmath>
#include <vector>

#include "engine/devices/sound_pack.h"
#include "game/flow/sound_tables.h"
#include "platform/little_endian.h"

namespace {

constexpr uint32_t kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

void PutSample(std::vector<uint8_t>& data, double value) {
    const auto sample = static_cast<int16_t>(std::lrint(std::fmax(-1.0, std::fmin(1.0, value)) * 32767.0));
    platform::AppendLe16(data, static_cast<uint16_t>(sample));
}

// One cycle's shape at phase 0..1: sine, square, saw, triangle.
double Wave(int shape, double phase) {
    switch (shape) {
    case 0: return std::sin(2.0 * kPi * phase);
    case 1: return phase < 0.5 ? 0.6 : -0.6;
    case 2: return 2.0 * phase - 1.0;
    default: return 1.0 - 4.0 * std::fabs(phase - 0.5);
    }
}

// Effect `index`: its own pitch (a semitone apart from its neighbours), wave
// shape, length and sweep, fading out to silence.
KsdSound SynthesiseEffect(int index, const char* key) {
    KsdSound sound{key, platform::PcmFormat(1, 16, kRate), {}};
    const double seconds = 0.15 + 0.05 * (index % 6);
    const double pitch = 220.0 * std::pow(2.0, index / 12.0);
    const double sweep = (index % 3 - 1) * 0.5;  // falling, steady or rising
    const auto frames = static_cast<int>(seconds * kRate);
    double phase = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / frames;
        PutSample(sound.data, 0.5 * (1.0 - t) * Wave(index % 4, phase));
        phase = std::fmod(phase + pitch * (1.0 + sweep * t) / kRate, 1.0);
    }
    return sound;
}

// Music piece `index`: four seconds of an eight-note arpeggio on its own
// root, sine on the left and triangle on the right; every note fades to
// silence, so the piece loops without a click.
KsdSound SynthesiseMusic(int index, const char* key) {
    static const int kSteps[8] = {0, 4, 7, 12, 7, 4, 2, 5};
    KsdSound sound{key, platform::PcmFormat(2, 16, kRate), {}};
    const double root = 110.0 * std::pow(2.0, index / 7.0);
    const int noteFrames = kRate / 8;
    for (int note = 0; note < 32; ++note) {
        const double pitch = root * std::pow(2.0, kSteps[(note + index) % 8] / 12.0);
        for (int i = 0; i < noteFrames; ++i) {
            const double envelope = 0.4 * (1.0 - static_cast<double>(i) / noteFrames);
            const double phase = std::fmod(pitch * i / kRate, 1.0);
            PutSample(sound.data, envelope * Wave(0, phase));
            PutSample(sound.data, envelope * Wave(3, phase));
        }
    }
    return sound;
}

}  // namespace

namespace datagen {

bool WriteSoundSet(const std::string& folder) {
    std::vector<KsdSound> effects;
    for (int id = 0; id < SE_COUNT; ++id) effects.push_back(SynthesiseEffect(id, seDefinitions[id].key));

    // Each key once, although two music numbers share one.
    std::vector<KsdSound> music;
    for (int id = 0; id < BGM_COUNT; ++id) {
        bool seen = false;
        for (const KsdSound& piece : music) seen = seen || piece.name == bgmKeys[id];
        if (!seen) music.push_back(SynthesiseMusic(static_cast<int>(music.size()), bgmKeys[id]));
    }
    return WriteKsdPack(folder + "/se.dat", effects) && WriteKsdPack(folder + "/bgm.dat", music);
}

}  // namespace datagen
