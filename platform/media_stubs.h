#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/window.h"

namespace platform {

// The Windows media services behind the engine's dormant media layers: the
// COM classes of DirectMusic, DirectPlay 8, DirectDraw and DirectShow, the MCI
// command strings and the audio mixer. Linux has none of them; the default
// MediaSystem fails every call the way Windows does when the service is
// missing, so the layers take their failure paths.

// COM-style reference counting: Release returns the references left.
class MediaInterface {
public:
    virtual ~MediaInterface() = default;
    virtual uint32_t Release() = 0;
};

class DirectMusicObject : public MediaInterface {};
class DirectMusicLoader : public MediaInterface {};
class DirectMusicPerformance : public MediaInterface {
public:
    // InitAudio with the shared stereo-plus-reverb audio path, 64 performance
    // channels and every audio feature; on success *music receives the
    // DirectMusic object it made.
    virtual bool InitAudio(DirectMusicObject** music, WindowHandle window) = 0;
    virtual void CloseDown() = 0;
};

class DirectPlayPeer : public MediaInterface {
public:
    // Initialize with a message handler that answers every message with success.
    virtual bool Initialize() = 0;
};

class DirectDraw : public MediaInterface {
public:
    virtual bool InitializeEmulationOnly() = 0;
    // SetCooperativeLevel without a window, normal level.
    virtual bool SetCooperativeLevelNormal() = 0;
};

// The event, seeking and control interfaces of one DirectShow filter graph.
class MediaGraph {
public:
    virtual ~MediaGraph() = default;
    // GetEvent with time-out 0, then FreeEventParams; false when none waits.
    virtual bool TakeEvent(int32_t* code) = 0;
    // SetPositions: the current position absolute, the stop position kept.
    virtual void SeekTo(int64_t position) = 0;
    virtual void Run() = 0;
};
constexpr int32_t EC_COMPLETE = 1;

constexpr uint32_t MCIERR_DEVICE_NOT_INSTALLED = 306;

constexpr uint32_t MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 0x0004;
constexpr uint32_t MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER = 0x1004;
constexpr uint32_t MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC = 0x1005;
constexpr uint32_t MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
constexpr uint32_t MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;

struct MixerLine {
    uint32_t lineId = 0;
    uint32_t componentType = 0;
    uint32_t sourceCount = 0;
    std::string shortName;
    std::string name;
};

struct MixerControl {
    uint32_t controlId = 0;
    uint32_t controlType = 0;
};

// One open mixer device (mixerOpen to mixerClose); volume details are one
// unsigned channel.
class MixerDevice {
public:
    virtual ~MixerDevice() = default;
    virtual bool GetDestinationCount(uint32_t* count) = 0;
    virtual bool GetDestination(uint32_t destination, MixerLine* line) = 0;
    virtual bool GetSource(uint32_t destination, uint32_t source, MixerLine* line) = 0;
    virtual bool GetLineControls(uint32_t lineId, std::vector<MixerControl>* controls) = 0;
    virtual bool GetControlValue(uint32_t controlId, uint32_t* value) = 0;
    virtual bool SetControlValue(uint32_t controlId, uint32_t value) = 0;
};

class MediaSystem {
public:
    virtual ~MediaSystem() = default;
    // CoCreateInstance of each class: null, as no class is registered.
    virtual DirectMusicLoader* CreateDirectMusicLoader();
    virtual DirectMusicPerformance* CreateDirectMusicPerformance();
    virtual DirectPlayPeer* CreateDirectPlayPeer();
    virtual DirectDraw* CreateDirectDraw();
    // mciSendString: 0 with the reply in result, or an MCI error code (no
    // device is installed).
    virtual uint32_t MciSendString(const char* command, char* result, uint32_t resultSize, WindowHandle notify);
    virtual uint32_t MixerGetNumDevs();  // 0
    virtual std::unique_ptr<MixerDevice> MixerOpen(uint32_t device);
};

MediaSystem& GetMediaSystem();
// Puts another media system in place (tests); null restores Linux's.
void SetMediaSystem(MediaSystem* system);

}  // namespace platform
