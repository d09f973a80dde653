#include "engine/devices/media_mci.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/core/application.h"
#include "engine/core/log.h"
#include "platform/media_stubs.h"

MciState mci;
MixerLineRecord mixerLines[MIXER_LINE_COUNT];
int mixerReady = 0;

namespace {

constexpr uint32_t kMixerDevice = 0;
constexpr uint32_t kMaxVolume = 65535;

uint32_t SendMci(const char* command, char* reply = nullptr, uint32_t replySize = 0) {
    return platform::GetMediaSystem().MciSendString(command, reply, replySize, GetWindowHandle());
}

bool DeviceStopped(const char* statusCommand) {
    char mode[256] = {};
    SendMci(statusCommand, mode, sizeof mode);
    return std::strcmp(mode, "stop") == 0;
}

// The first volume control of the line, with its current value.
bool LookUpVolumeControl(platform::MixerDevice& mixer, uint32_t lineId, MixerLineRecord* record) {
    std::vector<platform::MixerControl> controls;
    if (!mixer.GetLineControls(lineId, &controls)) return false;
    auto volume = std::find_if(controls.begin(), controls.end(), [](const platform::MixerControl& control) {
        return control.controlType == platform::MIXERCONTROL_CONTROLTYPE_VOLUME;
    });
    if (volume == controls.end() || !mixer.GetControlValue(volume->controlId, &record->volume)) return false;
    record->lineId = lineId;
    record->controlId = volume->controlId;
    return true;
}

struct SourceKind {
    uint32_t componentType;
    MixerLineIndex line;
    const char* logLine;
};

const SourceKind kSourceKinds[] = {
    // "            ・SYNTHESIZERボリュームコントロールをサポート\n"
    {platform::MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, MIXER_SYNTHESIZER,
     "            \x81\x45SYNTHESIZER\x83\x7b\x83\x8a\x83\x85\x81\x5b\x83\x80\x83\x52\x83\x93\x83\x67\x83\x8d\x81\x5b"
     "\x83\x8b\x82\xf0\x83\x54\x83\x7c\x81\x5b\x83\x67\n"},
    // "            ・ANALOG-CDAUDIOボリュームコントロールをサポート\n"
    {platform::MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, MIXER_CD_AUDIO,
     "            \x81\x45" "ANALOG-CDAUDIO\x83\x7b\x83\x8a\x83\x85\x81\x5b\x83\x80\x83\x52\x83\x93\x83\x67\x83\x8d"
     "\x81\x5b\x83\x8b\x82\xf0\x83\x54\x83\x7c\x81\x5b\x83\x67\n"},
    // "            ・WAVE OUTボリュームコントロールをサポート\n"
    {platform::MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, MIXER_WAVE_OUT,
     "            \x81\x45WAVE OUT\x83\x7b\x83\x8a\x83\x85\x81\x5b\x83\x80\x83\x52\x83\x93\x83\x67\x83\x8d\x81\x5b"
     "\x83\x8b\x82\xf0\x83\x54\x83\x7c\x81\x5b\x83\x67\n"},
};

// Marks the line when its volume control is found and logs `found`.
void FindVolumeLine(platform::MixerDevice& mixer, uint32_t lineId, MixerLineIndex index, const char* found) {
    MixerLineRecord& record = mixerLines[index];
    if (record.found || !LookUpVolumeControl(mixer, lineId, &record)) return;
    record.found = 1;
    WriteLog("%s", found);
}

void FindSourceLines(platform::MixerDevice& mixer, uint32_t destination, uint32_t sourceCount) {
    for (uint32_t source = 0; source < sourceCount; ++source) {
        platform::MixerLine line;
        if (!mixer.GetSource(destination, source, &line)) continue;
        for (const SourceKind& kind : kSourceKinds) {
            if (kind.componentType == line.componentType) FindVolumeLine(mixer, line.lineId, kind.line, kind.logLine);
        }
    }
}

void EnumerateMixerLines(platform::MixerDevice& mixer) {
    uint32_t destinations = 0;
    if (!mixer.GetDestinationCount(&destinations)) {
        // "  ミキサーデバイス情報の取得に失敗\n"
        WriteLog("  \x83\x7e\x83\x4c\x83\x54\x81\x5b\x83\x66\x83\x6f\x83\x43\x83\x58\x8f\xee\x95\xf1\x82\xcc\x8e\xe6\x93\xbe"
                 "\x82\xc9\x8e\xb8\x94\x73\n");
        return;
    }
    for (uint32_t destination = 0; destination < destinations; ++destination) {
        platform::MixerLine line;
        if (!mixer.GetDestination(destination, &line)) continue;
        // "    ○デバイスNo.%02d "
        WriteLog("    \x81\x9b\x83\x66\x83\x6f\x83\x43\x83\x58No.%02u \"%s\" [%s]\n", destination, line.shortName.c_str(),
                 line.name.c_str());
        if (line.componentType != platform::MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) continue;
        WriteLog("       \x83\x58\x83\x73\x81\x5b\x83\x4a\x81\x5b\x82\xc9\x90\xda\x91\xb1\n");  // "スピーカーに接続"
        // "       ライン出力をサポート\n"
        FindVolumeLine(mixer, line.lineId, MIXER_SPEAKERS,
                       "       \x83\x89\x83\x43\x83\x93\x8f\x6f\x97\xcd\x82\xf0\x83\x54\x83\x7c\x81\x5b\x83\x67\n");
        FindSourceLines(mixer, destination, line.sourceCount);
    }
}

void ClearCdState() {
    mci.cdAudioOpen = mci.cdPlaying = mci.cdLoops = 0;
    mci.cdFirstTrack = mci.cdLastTrack = 0;
    mci.cdTrackCount = 0;
    std::fill(std::begin(mci.cdTracks), std::end(mci.cdTracks), CdTrack{});
}

// Plays a stopped device again from its start, or stops and closes it.
void ReplayOrClose(const char* device, int loops, void (*close)()) {
    if (!loops) {
        close();
        return;
    }
    char command[64];
    std::snprintf(command, sizeof command, "seek %s to start", device);
    SendMci(command);
    std::snprintf(command, sizeof command, "play %s notify", device);
    SendMci(command);
}

}  // namespace

int InitializeMci() {
    SendMci("open cdaudio");
    InitializeAudioMixer();
    return 1;
}

void DestroyMci() {
    if (mci.cdAudioOpen && mci.cdPlaying) StopCdAudio();
    CloseMidi();
    CloseWave();
    RestoreMixerVolumes();
    SendMci("close cdaudio");
    ClearCdState();
}

void HandleMciNotify() {
    if (mci.notifyOff) return;
    if (DeviceStopped("status midi mode")) ReplayOrClose("midi", mci.midiLoops, CloseMidi);
    if (DeviceStopped("status wave mode")) ReplayOrClose("wave", mci.waveLoops, CloseWave);
    if (DeviceStopped("status cdaudio mode")) {
        if (mci.cdLoops) {
            PlayCdTracks(mci.cdFirstTrack, mci.cdLastTrack, 1);
        } else {
            StopCdAudio();
        }
    }
}

void PlayCdTracks(int first, int last, int loop) {
    const auto inTable = [](int track) { return track >= 1 && track <= mci.cdTrackCount; };
    if (!mci.cdAudioOpen || !inTable(first) || !inTable(last)) return;
    if (mci.cdPlaying) StopCdAudio();
    const CdTrack& from = mci.cdTracks[first - 1];
    const CdTrack& to = mci.cdTracks[last - 1];
    char command[96];
    std::snprintf(command, sizeof command, "play cdaudio from %u to %u notify", from.start, to.start + to.length);
    SendMci(command);
    mci.cdPlaying = 1;
    mci.cdLoops = loop;
    mci.cdFirstTrack = first;
    mci.cdLastTrack = last;
}

void StopCdAudio() {
    if (!mci.cdAudioOpen || !mci.cdPlaying) return;
    SendMci("stop cdaudio");
    mci.cdPlaying = 0;
}

void CloseWave() {
    SendMci("stop wave");
    SendMci("close wave");
    mci.waveOpen = mci.wavePlaying = mci.waveLoops = 0;
}

void CloseMidi() {
    SendMci("stop midi");
    SendMci("close midi");
    mci.midiOpen = mci.midiPlaying = mci.midiLoops = 0;
}

int InitializeAudioMixer() {
    WriteLog("\n============================================== Initialize Audio Mixer\n");
    mixerReady = 0;
    std::fill(std::begin(mixerLines), std::end(mixerLines), MixerLineRecord{});
    platform::MediaSystem& media = platform::GetMediaSystem();
    const uint32_t devices = media.MixerGetNumDevs();
    if (devices == 0) {
        // "  エラー : ミキサーデバイスがありません\n"
        WriteLog("  \x83\x47\x83\x89\x81\x5b : \x83\x7e\x83\x4c\x83\x54\x81\x5b\x83\x66\x83\x6f\x83\x43\x83\x58\x82\xaa"
                 "\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\n");
        return 0;
    }
    // "  ■ ミキサーデバイス数 %u\n"
    WriteLog("  \x81\xa1 \x83\x7e\x83\x4c\x83\x54\x81\x5b\x83\x66\x83\x6f\x83\x43\x83\x58\x90\x94 %u\n", devices);
    std::unique_ptr<platform::MixerDevice> mixer = media.MixerOpen(kMixerDevice);
    if (!mixer) {
        // "  エラー : ミキサーデバイスのオープンに失敗\n"
        WriteLog("  \x83\x47\x83\x89\x81\x5b : \x83\x7e\x83\x4c\x83\x54\x81\x5b\x83\x66\x83\x6f\x83\x43\x83\x58\x82\xcc"
                 "\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xc9\x8e\xb8\x94\x73\n");
        return 0;
    }
    EnumerateMixerLines(*mixer);
    mixer.reset();
    for (MixerLineRecord& line : mixerLines) line.savedVolume = line.volume;
    mixerReady = 1;
    return 1;
}

int SetMixerVolume(int value, int line) {
    if (!mixerReady || line < 0 || line >= MIXER_LINE_COUNT || !mixerLines[line].found) return 0;
    std::unique_ptr<platform::MixerDevice> mixer = platform::GetMediaSystem().MixerOpen(kMixerDevice);
    MixerLineRecord control;
    if (!mixer || !LookUpVolumeControl(*mixer, mixerLines[line].lineId, &control)) return 0;
    const uint32_t volume = static_cast<uint32_t>(std::clamp(value, 0, static_cast<int>(kMaxVolume)));
    return mixer->SetControlValue(control.controlId, volume) ? 1 : 0;
}

void RestoreMixerVolumes() {
    if (!mixerReady) return;
    for (int line = 0; line < MIXER_LINE_COUNT; ++line) {
        if (mixerLines[line].found) SetMixerVolume(static_cast<int>(mixerLines[line].savedVolume), line);
    }
}
