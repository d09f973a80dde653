#include "platform/media_stubs.h"

namespace platform {
namespace {

MediaSystem linuxMedia;
MediaSystem* activeMedia = &linuxMedia;

}  // namespace

DirectMusicLoader* MediaSystem::CreateDirectMusicLoader() { return nullptr; }
DirectMusicPerformance* MediaSystem::CreateDirectMusicPerformance() { return nullptr; }
DirectPlayPeer* MediaSystem::CreateDirectPlayPeer() { return nullptr; }
DirectDraw* MediaSystem::CreateDirectDraw() { return nullptr; }

uint32_t MediaSystem::MciSendString(const char*, char* result, uint32_t resultSize, WindowHandle) {
    if (result && resultSize > 0) result[0] = '\0';
    return MCIERR_DEVICE_NOT_INSTALLED;
}

uint32_t MediaSystem::MixerGetNumDevs() { return 0; }
std::unique_ptr<MixerDevice> MediaSystem::MixerOpen(uint32_t) { return nullptr; }

MediaSystem& GetMediaSystem() { return *activeMedia; }

void SetMediaSystem(MediaSystem* system) { activeMedia = system ? system : &linuxMedia; }

}  // namespace platform
