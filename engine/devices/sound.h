#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/core/resource.h"
#include "platform/audio.h"

// One whole sound in one secondary buffer, loaded from a KSD pack entry or a
// RIFF WAVE file. Constructed on the caller's thread; every other operation
// but IsPlaying runs on the sound thread when it performs a SoundCommand.
class Sound : public ResourceObject {
public:
    // Links the Sound at the front of soundList (under the sound lock).
    Sound();
    ~Sound() override;

    virtual int LoadFromPack(const char* path, const char* key);
    virtual int LoadWave(const char* name);
    virtual void Play(uint32_t loop);
    virtual void Stop();
    virtual bool IsPlaying();
    virtual void TogglePause();
    virtual void SetVolume(float volume);
    virtual void SetPan(float pan);
    virtual void RemoveEffects();
    virtual void SetReverbEffect(const platform::I3DL2Reverb* parameters);
    virtual void SetEchoEffect();
    virtual void SetChorusEffect();
    virtual void SetCompressorEffect();
    virtual void SetDistortionEffect();
    virtual void SetFlangerEffect();
    virtual void SetGargleEffect();
    virtual void SetParamEqEffect();

    std::unique_ptr<platform::AudioBuffer> buffer;
    uint32_t loaded = 0;
    uint32_t playing = 0;
    uint32_t loop = 0;
    uint32_t paused = 0;

private:
    // Creates the buffer, fills it from `read` (which writes `bytes` bytes)
    // and resets the state; logs failures with `indent` before "エラー".
    template <typename Fill>
    int FillBuffer(const platform::WaveFormat& format, uint32_t bytes, const char* indent, Fill read);
    void ApplyEffect(platform::AudioEffect effect, const platform::I3DL2Reverb* parameters);
};

// The volume and pan laws: percent (0..100) and -100..100 to DirectSound's
// hundredths of a decibel, computed as 100^log10(x) and truncated.
int32_t VolumeToAttenuation(float volume);
int32_t PanToAttenuation(float pan);

enum SoundCommandCode : uint32_t {
    SOUND_CMD_LOAD_WAVE = 0,
    SOUND_CMD_LOAD_PACK = 1,
    SOUND_CMD_RELEASE = 2,
    SOUND_CMD_PLAY = 3,
    SOUND_CMD_STOP = 5,
    SOUND_CMD_PAUSE = 6,
    SOUND_CMD_VOLUME = 7,
    SOUND_CMD_PAN = 8,
    SOUND_CMD_FX_NONE = 9,
    SOUND_CMD_FX_I3DL2REVERB = 10,
    SOUND_CMD_FX_ECHO = 11,
    SOUND_CMD_FX_CHORUS = 12,
    SOUND_CMD_FX_COMPRESSOR = 13,
    SOUND_CMD_FX_DISTORTION = 14,
    SOUND_CMD_FX_FLANGER = 15,
    SOUND_CMD_FX_GARGLE = 16,
    SOUND_CMD_FX_PARAMEQ = 17,
    SOUND_CMD_QUIT = 18,
};

constexpr int SOUND_QUEUE_SLOTS = 64;
constexpr int SOUND_ARGUMENT_BYTES = 256;
constexpr int SOUND_NAME_BYTES = 128;  // each string of a LOAD_PACK, NUL included

// One message to the sound thread. The arguments by command: LOAD_WAVE a
// NUL-terminated name; LOAD_PACK the path in bytes 0-127 and the key in
// 128-255; PLAY a u32 loop flag; VOLUME and PAN an f32; FX_I3DL2REVERB a
// pointer to the caller's parameters, which must live until the command ran.
struct SoundCommand {
    SoundCommand() = default;
    // A valid command with its argument in the first bytes.
    SoundCommand(uint32_t code, Sound* sound, const void* argument = nullptr, size_t size = 0);

    uint32_t valid = 0;
    uint32_t command = 0;
    Sound* target = nullptr;
    uint8_t arguments[SOUND_ARGUMENT_BYTES] = {};
};

// Every Sound, newest first. Linked and unlinked under soundLock, which also
// guards the command ring and is held for the whole run of each command.
extern ResourceList soundList;
extern std::mutex soundLock;

// Where the mixed sound goes: the default audio device (the game), or
// nowhere until MixSound is called (tests and capture). Read by
// InitializeSound.
enum class SoundOutput { Device, Manual };
void SetSoundOutput(SoundOutput output);

// Starts the sound thread and the mixer; returns 1. Without an audio device
// the layer still runs, and every Sound stays silent and unloaded.
int InitializeSound();
// Ends the thread (releasing every listed Sound) and the mixer; harmless
// when the layer never started.
void DestroySound();
int StopSoundThread();

// Queues a command (first in, first out); waits while all 64 slots are
// pending. Does nothing while no sound thread runs.
void PostSoundCommand(const SoundCommand* command);

// A new Sound whose load from the pack is queued; path and key must each fit
// in 127 bytes (longer ones are cut).
Sound* CreateSound(const char* path, const char* key);
void ReleaseSoundAsync(Sound* sound);
void PlaySoundAsync(Sound* sound, uint32_t loop);
void StopSoundAsync(Sound* sound);
void SetSoundVolumeAsync(Sound* sound, float volume);
// Asks the Sound directly, under the sound lock; 0 for null.
bool IsSoundPlaying(Sound* sound);

// Blocks until every posted command has run (or no thread runs).
void WaitSoundQueueEmpty();
// The mixer of the running layer, or null (no layer, or no audio device).
platform::AudioMixer* GetSoundMixer();

// Test hooks: while held, the sound thread takes no command; the count of
// commands waiting in the ring.
void HoldSoundThread(bool hold);
int GetPendingSoundCommands();
