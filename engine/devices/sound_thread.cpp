#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <new>
#include <string>
#include <thread>

#include "engine/core/log.h"
#include "engine/devices/command_ring.h"
#include "engine/devices/sound.h"

ResourceList soundList;
std::mutex soundLock;

namespace {

// The ring and the thread's state, all guarded by soundLock. Commands are
// served in posting order; a poster waits while every slot is pending.
CommandRing<SoundCommand, SOUND_QUEUE_SLOTS> soundQueue;
bool soundThreadRunning = false;
bool soundThreadHeld = false;
// One signal for every change of the ring: posts, taken slots, finished
// commands, the thread's end. Waiters test their own condition.
std::condition_variable soundQueueChanged;

SoundOutput soundOutput = SoundOutput::Device;
// Stands in for the DirectSound object; set before the thread starts and
// cleared after it ended, so the thread reads it without a lock.
std::unique_ptr<platform::AudioMixer> soundMixer;

// The thread, stopped and joined if it still runs when the program's statics
// go (an exit() from a library on the way out): a joinable std::thread would
// end the process in std::terminate. Declared after everything the thread
// uses, so it goes first.
struct SoundThreadHandle {
    std::thread thread;
    ~SoundThreadHandle();
} soundThread;

// The NUL-terminated text in a field of the arguments, cut at the field's end.
std::string ArgumentText(const SoundCommand& command, size_t offset, size_t size) {
    const char* text = reinterpret_cast<const char*>(command.arguments + offset);
    return std::string(text, strnlen(text, size));
}

template <typename T>
T ArgumentValue(const SoundCommand& command) {
    T value;
    std::memcpy(&value, command.arguments, sizeof value);
    return value;
}

// Runs one command on the sound thread under soundLock; true for QUIT.
bool PerformSoundCommand(const SoundCommand& command) {
    if (command.command == SOUND_CMD_QUIT) return true;
    Sound* sound = command.target;
    if (!sound) return false;
    switch (command.command) {
    case SOUND_CMD_LOAD_WAVE:
        sound->LoadWave(ArgumentText(command, 0, SOUND_ARGUMENT_BYTES).c_str());
        break;
    case SOUND_CMD_LOAD_PACK:
        sound->LoadFromPack(ArgumentText(command, 0, SOUND_NAME_BYTES).c_str(),
                            ArgumentText(command, SOUND_NAME_BYTES, SOUND_NAME_BYTES).c_str());
        break;
    case SOUND_CMD_RELEASE: sound->Release(); break;
    case SOUND_CMD_PLAY: sound->Play(ArgumentValue<uint32_t>(command)); break;
    case SOUND_CMD_STOP: sound->Stop(); break;
    case SOUND_CMD_PAUSE: sound->TogglePause(); break;
    case SOUND_CMD_VOLUME: sound->SetVolume(ArgumentValue<float>(command)); break;
    case SOUND_CMD_PAN: sound->SetPan(ArgumentValue<float>(command)); break;
    case SOUND_CMD_FX_NONE: sound->RemoveEffects(); break;
    case SOUND_CMD_FX_I3DL2REVERB:
        sound->SetReverbEffect(ArgumentValue<const platform::I3DL2Reverb*>(command));
        break;
    case SOUND_CMD_FX_ECHO: sound->SetEchoEffect(); break;
    case SOUND_CMD_FX_CHORUS: sound->SetChorusEffect(); break;
    case SOUND_CMD_FX_COMPRESSOR: sound->SetCompressorEffect(); break;
    case SOUND_CMD_FX_DISTORTION: sound->SetDistortionEffect(); break;
    case SOUND_CMD_FX_FLANGER: sound->SetFlangerEffect(); break;
    case SOUND_CMD_FX_GARGLE: sound->SetGargleEffect(); break;
    case SOUND_CMD_FX_PARAMEQ: sound->SetParamEqEffect(); break;
    default: break;  // 4 and codes above QUIT mean nothing
    }
    return false;
}

void SoundThreadMain() {
    std::unique_lock lock(soundLock);
    for (;;) {
        soundQueueChanged.wait(lock, [] { return soundQueue.Pending() > 0 && !soundThreadHeld; });
        const SoundCommand command = soundQueue.Take();
        const bool quit = command.valid && PerformSoundCommand(command);
        soundQueueChanged.notify_all();
        if (quit) break;
    }
    // Nothing is served after QUIT: later posts are ignored, and every Sound
    // still listed goes, so the game's pointers are dead from here on.
    soundThreadRunning = false;
    soundQueue.Clear();
    soundList.ReleaseAll();
    soundQueueChanged.notify_all();
}

// Makes the mixer that stands in for the DirectSound object. Without an
// audio device there is none, and every load then fails to create its buffer.
void CreateDirectSound() {
    auto mixer = std::make_unique<platform::AudioMixer>();
    WriteLogText("  ■ DirectSoundオブジェクトを生成\n");
    if (soundOutput == SoundOutput::Device) {
        std::string error;
        if (!mixer->OpenDevice(&error)) {
            WriteLogText("  エラー : DirectSoundオブジェクトの生成に失敗\n");
            WriteLog("    [ %s ]\n", error.c_str());
            return;
        }
    }
    WriteLogText("  ■ DirectSoundオブジェクトを初期化\n");
    WriteLogText("  ■ プライマリサウンドバッファを生成\n");
    WriteLogText("     プライマリサウンドバッファのフォーマットを設定\n");
    soundMixer = std::move(mixer);
}

void PostToSound(Sound* sound, uint32_t code, const void* argument, size_t size) {
    if (!sound) return;
    SoundCommand command(code, sound, argument, size);
    PostSoundCommand(&command);
}

}  // namespace

SoundCommand::SoundCommand(uint32_t code, Sound* sound, const void* argument, size_t size)
    : valid(1), command(code), target(sound) {
    if (argument) std::memcpy(arguments, argument, std::min<size_t>(size, SOUND_ARGUMENT_BYTES));
}

void SetSoundOutput(SoundOutput output) { soundOutput = output; }

platform::AudioMixer* GetSoundMixer() { return soundMixer.get(); }

int InitializeSound() {
    WriteLog("\n============================================== Initialize DirectSound\n");
    if (soundThread.thread.joinable()) return 1;
    CreateDirectSound();
    {
        std::lock_guard lock(soundLock);
        soundQueue.Clear();
        soundThreadHeld = false;
        soundThreadRunning = true;
    }
    soundThread.thread = std::thread(SoundThreadMain);
    return 1;
}

SoundThreadHandle::~SoundThreadHandle() { StopSoundThread(); }

int StopSoundThread() {
    if (!soundThread.thread.joinable()) return 0;
    {
        std::lock_guard lock(soundLock);
        soundThreadHeld = false;
    }
    SoundCommand quit(SOUND_CMD_QUIT, nullptr);
    PostSoundCommand(&quit);
    soundThread.thread.join();
    return 1;
}

void DestroySound() {
    WriteLog("\n============================================== Destroy DirectSound\n");
    StopSoundThread();
    if (!soundMixer) return;
    soundMixer.reset();
    WriteLogText("  ■ DirectSoundBufferを解体 [参照カウント%u]\n", 0u);
    WriteLogText("  ■ DirectSoundを解体 [参照カウント%u]\n", 0u);
}

void PostSoundCommand(const SoundCommand* command) {
    std::unique_lock lock(soundLock);
    soundQueueChanged.wait(lock, [] {
        return !soundThreadRunning || !soundQueue.IsFull();
    });
    if (!soundThreadRunning) return;
    soundQueue.Push(*command);
    soundQueueChanged.notify_all();
}

Sound* CreateSound(const char* path, const char* key) {
    Sound* sound = new (std::nothrow) Sound();
    if (!sound) return nullptr;
    SoundCommand command(SOUND_CMD_LOAD_PACK, sound);
    std::strncpy(reinterpret_cast<char*>(command.arguments), path, SOUND_NAME_BYTES - 1);
    std::strncpy(reinterpret_cast<char*>(command.arguments + SOUND_NAME_BYTES), key, SOUND_NAME_BYTES - 1);
    PostSoundCommand(&command);
    return sound;
}

void ReleaseSoundAsync(Sound* sound) { PostToSound(sound, SOUND_CMD_RELEASE, nullptr, 0); }

void PlaySoundAsync(Sound* sound, uint32_t loop) { PostToSound(sound, SOUND_CMD_PLAY, &loop, sizeof loop); }

void StopSoundAsync(Sound* sound) { PostToSound(sound, SOUND_CMD_STOP, nullptr, 0); }

void SetSoundVolumeAsync(Sound* sound, float volume) {
    PostToSound(sound, SOUND_CMD_VOLUME, &volume, sizeof volume);
}

bool IsSoundPlaying(Sound* sound) {
    if (!sound) return false;
    std::lock_guard lock(soundLock);
    return sound->IsPlaying();
}

void WaitSoundQueueEmpty() {
    std::unique_lock lock(soundLock);
    soundQueueChanged.wait(lock, [] { return !soundThreadRunning || soundQueue.Pending() == 0; });
}

void HoldSoundThread(bool hold) {
    std::lock_guard lock(soundLock);
    soundThreadHeld = hold;
    soundQueueChanged.notify_all();
}

int GetPendingSoundCommands() {
    std::lock_guard lock(soundLock);
    return soundQueue.Pending();
}
