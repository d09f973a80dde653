// Sound packs and WAVE files as any file may hold them: the lookup of a key,
// the format and sample bytes taken into a mixer buffer, and that buffer
// played through the mixer.
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "engine/devices/sound.h"
#include "engine/devices/sound_pack.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr const char* kPackPath = "pack.dat";
constexpr const char* kWavePath = "sound.wav";

// The sound layer without an audio device: mixing happens only here.
void StartSoundLayer() {
    static const bool started = [] {
        SetSoundOutput(SoundOutput::Manual);
        InitializeSound();
        FUZZ_CHECK(GetSoundMixer() != nullptr);
        std::atexit(DestroySound);
        return true;
    }();
    (void)started;
}

// A loaded sound holds a playable buffer of at most `limit` bytes, and plays.
void CheckPlays(Sound& sound, size_t limit) {
    FUZZ_CHECK(sound.buffer && platform::IsPlayableFormat(sound.buffer->format()));
    FUZZ_CHECK(sound.buffer->size() > 0 && sound.buffer->size() <= limit);
    sound.Play(1);
    std::vector<int16_t> out(2 * 300);
    GetSoundMixer()->Mix(out.data(), 300);
    FUZZ_CHECK(sound.buffer->GetCurrentPosition() < sound.buffer->size());
    sound.Stop();
}

void Release(Sound* sound) {
    std::lock_guard lock(soundLock);  // unlinking from soundList
    sound->Release();
}

}  // namespace

// The input is both the pack file and the WAVE file; the key looked up is the
// name of the pack's first entry.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartSoundLayer();
    fuzz::WriteFile(kPackPath, {data, size});
    fuzz::WriteFile(kWavePath, {data, size});
    char key[KSD_NAME_SIZE] = {};
    if (size > 4) std::memcpy(key, data + 4, std::min(size - 4, KSD_NAME_SIZE - 1));

    Sound* sound = new Sound();
    const size_t packBytesLeft = size > 58 ? size - 58 : 0;  // behind the magic, name, size and format
    if (sound->LoadFromPack(kPackPath, key)) CheckPlays(*sound, packBytesLeft);
    if (sound->LoadWave(kWavePath)) CheckPlays(*sound, size);
    Release(sound);

    // A key that few entries have walks the whole pack; what it finds lies
    // within the file.
    if (std::FILE* file = std::fopen(kPackPath, "rb")) {
        KsdEntry entry;
        if (FindKsdEntry(file, "\x01", &entry) == KsdLookup::Found) {
            FUZZ_CHECK(entry.dataSize > 0 && entry.dataSize <= packBytesLeft);
        }
        std::fclose(file);
    }
    return 0;
}

namespace {

std::vector<uint8_t> Tone(size_t bytes) {
    std::vector<uint8_t> samples(bytes);
    for (size_t i = 0; i < bytes; ++i) samples[i] = static_cast<uint8_t>((i * 29) ^ (i >> 3));
    return samples;
}

// A RIFF image around a format and samples: "fmt " of 16 bytes (PCM) or 18.
std::vector<uint8_t> RiffImage(const platform::WaveFormat& format, const std::vector<uint8_t>& samples) {
    const uint32_t fmtSize = format.formatTag == platform::WAVE_FORMAT_PCM ? 16 : 18;
    std::vector<uint8_t> image;
    auto put32 = [&image](uint32_t v) {
        for (int i = 0; i < 4; ++i) image.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    image.insert(image.end(), {'R', 'I', 'F', 'F'});
    put32(static_cast<uint32_t>(4 + 8 + fmtSize + 8 + samples.size()));
    image.insert(image.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(fmtSize);
    uint8_t encoded[WAVE_FORMAT_SIZE];
    EncodeWaveFormat(format, encoded);
    image.insert(image.end(), encoded, encoded + fmtSize);
    image.insert(image.end(), {'d', 'a', 't', 'a'});
    put32(static_cast<uint32_t>(samples.size()));
    image.insert(image.end(), samples.begin(), samples.end());
    return image;
}

}  // namespace

void WriteFuzzSeeds(fuzz::Seeds& seeds) {
    const std::vector<KsdSound> pack = {
        {"se_shot", platform::PcmFormat(1, 16, 22050), Tone(400)},
        {"se_hit", platform::PcmFormat(2, 8, 11025), Tone(250)},
        {"bgm_loop", platform::PcmFormat(2, 16, 44100), Tone(800)},
    };
    FUZZ_CHECK(WriteKsdPack(kPackPath, pack));
    seeds.AddFile("three.ksd", kPackPath);
    FUZZ_CHECK(WriteKsdPack(kPackPath, {{"empty", platform::PcmFormat(1, 8, 8000), {}}}));
    seeds.AddFile("no_samples.ksd", kPackPath);

    seeds.Add("mono16.wav", RiffImage(platform::PcmFormat(1, 16, 22050), Tone(300)));
    platform::WaveFormat extensible = platform::PcmFormat(2, 8, 48000);
    extensible.formatTag = 3;  // not PCM: carries cbSize, and no mixer plays it
    seeds.Add("float.wav", RiffImage(extensible, Tone(64)));
}
