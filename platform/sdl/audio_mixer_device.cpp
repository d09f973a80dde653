#include <SDL.h>

#include "platform/audio.h"

namespace platform {

namespace {

// SDL's audio system as an open that found no device left it. Shutting it
// down waits for SDL's device-watching thread, which sleeps in steps of a
// tenth of a second, and would hold up the start on a machine without sound;
// so it stays up, unused, until the next open shuts it down and starts afresh
// (with the driver setting of that time).
bool audioSystemIdle = false;

void EndIdleAudioSystem() {
    if (!audioSystemIdle) return;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioSystemIdle = false;
}

}  // namespace

void AudioMixer::DeviceCallback(void* mixer, uint8_t* stream, int length) {
    static_cast<AudioMixer*>(mixer)->Mix(reinterpret_cast<int16_t*>(stream),
                                         length / static_cast<int>(sizeof(int16_t) * kOutputChannels));
}

bool AudioMixer::OpenDevice(std::string* error) {
    if (device_ != 0) return true;
    EndIdleAudioSystem();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (error) *error = SDL_GetError();
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kOutputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kOutputChannels;
    wanted.samples = 1024;
    wanted.callback = &AudioMixer::DeviceCallback;
    wanted.userdata = this;
    // No allowed changes: SDL converts our fixed format to whatever the
    // hardware wants.
    SDL_AudioSpec obtained{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device_ == 0) {
        if (error) *error = SDL_GetError();
        audioSystemIdle = true;
        return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void AudioMixer::CloseDevice() {
    if (device_ == 0) return;
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace platform
