#pragma once
#include <cstdint>

// MCI (CD audio, wave and MIDI devices driven by command strings) and the
// audio mixer's volume lines. Nothing in the engine opens a wave or MIDI
// device or fills the CD track table, so nothing ever plays; the layer keeps
// the mixer's volumes and puts them back when it ends.

enum MixerLineIndex { MIXER_SPEAKERS, MIXER_WAVE_OUT, MIXER_SYNTHESIZER, MIXER_CD_AUDIO, MIXER_LINE_COUNT };

// One volume line of the mixer: its volume control (one unsigned channel).
struct MixerLineRecord {
    int found = 0;
    uint32_t lineId = 0;
    uint32_t controlId = 0;
    uint32_t volume = 0;       // read when the control was looked up
    uint32_t savedVolume = 0;  // read at start-up, put back at the end
};

constexpr int kMaxCdTracks = 99;
struct CdTrack {
    uint32_t start = 0;   // in the MCI time format
    uint32_t length = 0;
};

struct MciState {
    int cdAudioOpen = 0;
    int cdPlaying = 0;
    int cdLoops = 0;
    int notifyOff = 0;
    int cdFirstTrack = 0, cdLastTrack = 0;
    int cdTrackCount = 0;
    CdTrack cdTracks[kMaxCdTracks];  // track n at n - 1
    int waveOpen = 0, wavePlaying = 0, waveLoops = 0;
    int midiOpen = 0, midiPlaying = 0, midiLoops = 0;
};

extern MciState mci;
extern MixerLineRecord mixerLines[MIXER_LINE_COUNT];
extern int mixerReady;

// "open cdaudio" and the mixer; returns 1.
int InitializeMci();
// Stops and closes every device, puts the mixer's volumes back and closes
// the CD device.
void DestroyMci();
// MM_MCINOTIFY (successful): each stopped device plays again when it loops,
// else is stopped and closed. Nothing while notify handling is off.
void HandleMciNotify();

// Plays tracks first..last (1-based) of an open CD with notification to the
// game window; nothing when a track is outside the table.
void PlayCdTracks(int first, int last, int loop);
void StopCdAudio();
void CloseWave();
void CloseMidi();

// Logs the mixer's lines and keeps their volumes; 0 without a mixer.
int InitializeAudioMixer();
// Sets a line's volume (cut to 0..65535); 1 when the mixer took it.
int SetMixerVolume(int value, int line);
void RestoreMixerVolumes();
