#include "engine/devices/sound.h"
#include "engine/core/data_files.h"
#include "platform/safe_file.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/core/log.h"
#include "engine/devices/sound_pack.h"

namespace {

// 100^log10(x) is x squared, but computed this way it can come out one unit
// short, which is the law's documented behaviour.
int32_t SquareByLog(double x) { return static_cast<int32_t>(std::pow(100.0, std::log10(x))); }

unsigned LogId(const void* object) {
    return static_cast<unsigned>(reinterpret_cast<uintptr_t>(object));
}

}  // namespace

int32_t VolumeToAttenuation(float volume) {
    if (!(volume >= 0.0f)) return platform::AUDIO_VOLUME_MIN;  // NaN is silence too
    if (volume > 100.0f) return platform::AUDIO_VOLUME_MAX;
    return -SquareByLog(100.0 - volume);
}

int32_t PanToAttenuation(float pan) {
    if (pan > 100.0f) return platform::AUDIO_PAN_RIGHT;
    if (pan < -100.0f) return platform::AUDIO_PAN_LEFT;
    if (pan > 0.0f) return SquareByLog(pan);
    if (pan < 0.0f) return -SquareByLog(-pan);
    return 0;
}

Sound::Sound() {
    {
        std::lock_guard lock(soundLock);
        soundList.PushFront(this);
    }
    WriteLogText("○ CreateSound   / ID [0x%08X] / ", LogId(this));
}

// Runs on the sound thread under soundLock (a RELEASE command or the thread's
// end), so the unlink in the base destructor is guarded.
Sound::~Sound() {
    if (playing && loaded) {
        buffer->Stop();
        buffer->SetCurrentPosition(0);
        playing = loop = 0;
    }
    buffer.reset();
    WriteLogText("● ReleaseSound / ID [0x%08X]\n", LogId(this));
}

template <typename Fill>
int Sound::FillBuffer(const platform::WaveFormat& format, uint32_t bytes, const char* indent, Fill read) {
    platform::AudioMixer* mixer = GetSoundMixer();
    std::unique_ptr<platform::AudioBuffer> created = mixer ? mixer->CreateBuffer(format, bytes) : nullptr;
    if (!created) {
        WriteLogText("%sエラー : サウンドバッファの生成に失敗\n", indent);
        return 0;
    }
    read(created->Lock());
    created->Unlock();
    buffer = std::move(created);
    loaded = 1;
    playing = loop = paused = 0;
    buffer->SetCurrentPosition(0);
    buffer->SetVolume(platform::AUDIO_VOLUME_MAX);
    buffer->SetPan(0);
    WriteLog("Complete\n");
    return 1;
}

int Sound::LoadFromPack(const char* path, const char* key) {
    WriteLog("%s in %s / ", key, path);
    std::FILE* file = platform::OpenRegularFile(path).release();
    if (!file) {
        ReportUnusableDataFile(path, DataFileOpenFailure(errno));
        WriteLogText("  エラー : パックファイルが開けません\n");
        return 0;
    }
    const auto damaged = [path](const char* what) {
        if (what) ReportUnusableDataFile(path, std::string("is damaged: ") + what);
    };
    // The first look goes through the whole pack; sounds before damage still
    // load.
    const std::shared_ptr<const KsdIndex> index = KsdPackIndex(path, file);
    if (FirstLookAtDataFile(path)) damaged(index->damage);
    int result = 0;
    KsdEntry entry;
    const KsdLookup lookup = FindKsdEntry(file, *index, key, &entry);
    damaged(entry.damage);
    switch (lookup) {
    case KsdLookup::BadMagic:
        damaged("it is not a sound pack");
        WriteLogText("  エラー : パックファイルが不正です\n");
        break;
    case KsdLookup::NoData:
    case KsdLookup::Damaged:
        WriteLogText("  エラー : データの取得に失敗\n");
        break;
    case KsdLookup::Found:
        // Bytes a short read leaves unfilled stay silent (zero).
        result = FillBuffer(entry.format, entry.dataSize, "  ",
                            [&](uint8_t* data) { std::fread(data, 1, entry.dataSize, file); });
        break;
    }
    std::fclose(file);
    return result;
}

int Sound::LoadWave(const char* name) {
    // Linux programs carry no resources: the name is always a file.
    WriteLog("%s / ", name);
    std::FILE* file = platform::OpenRegularFile(name).release();
    if (!file) return 0;
    std::vector<uint8_t> image;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        if (size > 0 && std::fseek(file, 0, SEEK_SET) == 0) {
            image.resize(static_cast<size_t>(size));
            image.resize(std::fread(image.data(), 1, image.size(), file));
        }
    }
    std::fclose(file);

    RiffWave wave = ParseRiffWave(image.data(), image.size());
    if (wave.samples.empty()) {
        WriteLogText(" エラー : ウェーブデータの取得に失敗\n");
        return 0;
    }
    WriteLog("DataSize %.3lfMB / ", wave.samples.size() / 1048576.0);
    WriteLog("%dBit %.1lfKHz / ", wave.format.bitsPerSample, wave.format.samplesPerSec / 1000.0);
    return FillBuffer(wave.format, static_cast<uint32_t>(wave.samples.size()), " ",
                      [&](uint8_t* data) { std::copy(wave.samples.begin(), wave.samples.end(), data); });
}

void Sound::Play(uint32_t loopFlag) {
    if (!loaded) return;
    Stop();
    buffer->Play(loopFlag != 0);
    loop = loopFlag;
    playing = 1;
}

void Sound::Stop() {
    if (!loaded || !playing) return;
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    playing = 0;
    loop = 0;
}

bool Sound::IsPlaying() {
    if (!playing || !buffer) return false;
    return (buffer->GetStatus() & platform::AUDIO_STATUS_PLAYING) != 0;
}

void Sound::TogglePause() {
    if (!playing || !buffer) return;
    if (paused) {
        buffer->Play(loop != 0);
        paused = 0;
    } else {
        buffer->Stop();
        paused = 1;
    }
}

void Sound::SetVolume(float volume) {
    if (loaded) buffer->SetVolume(VolumeToAttenuation(volume));
}

void Sound::SetPan(float pan) {
    if (loaded) buffer->SetPan(PanToAttenuation(pan));
}

void Sound::RemoveEffects() {
    if (!loaded) return;
    const uint32_t wasPlaying = playing;
    buffer->Stop();
    buffer->SetEffect(platform::AudioEffect::None);
    if (wasPlaying) Play(loop);
}

// Effects can only be set on a stopped buffer, so a playing sound restarts
// from the beginning with its new effect.
void Sound::ApplyEffect(platform::AudioEffect effect, const platform::I3DL2Reverb* parameters) {
    if (!loaded) return;
    const uint32_t wasPlaying = playing;
    const uint32_t wasLooping = loop;
    Stop();
    buffer->SetEffect(effect);
    if (parameters) buffer->SetReverbParameters(*parameters);
    if (wasPlaying) Play(wasLooping);
}

void Sound::SetReverbEffect(const platform::I3DL2Reverb* parameters) {
    ApplyEffect(platform::AudioEffect::I3DL2Reverb, parameters);
}
void Sound::SetEchoEffect() { ApplyEffect(platform::AudioEffect::Echo, nullptr); }
void Sound::SetChorusEffect() { ApplyEffect(platform::AudioEffect::Chorus, nullptr); }
void Sound::SetCompressorEffect() { ApplyEffect(platform::AudioEffect::Compressor, nullptr); }
void Sound::SetDistortionEffect() { ApplyEffect(platform::AudioEffect::Distortion, nullptr); }
void Sound::SetFlangerEffect() { ApplyEffect(platform::AudioEffect::Flanger, nullptr); }
void Sound::SetGargleEffect() { ApplyEffect(platform::AudioEffect::Gargle, nullptr); }
void Sound::SetParamEqEffect() { ApplyEffect(platform::AudioEffect::ParamEq, nullptr); }
