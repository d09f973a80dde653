#include "game/flow/sound_tables.h"

#include "engine/core/log.h"
#include "engine/devices/sound.h"

const SeDefinition seDefinitions[SE_COUNT] = {
    {"shoot00", 3}, {"air", 2},     {"high", 2},    {"high_a", 2},  {"graze", 2},   {"bomb", 2},
    {"burst", 1},   {"crash", 2},   {"ray", 2},     {"damage", 2},  {"flash", 2},   {"swing", 1},
    {"swing_h", 1}, {"swing_d", 1}, {"whip", 1},    {"gun", 2},     {"reflect", 2}, {"laser", 2},
    {"charge", 1},  {"eco", 2},     {"burn", 2},    {"fire", 2},    {"chain", 2},   {"hit", 2},
    {"hit_s", 2},   {"hit_s2", 1},  {"hit_f", 2},   {"don", 1},     {"shield", 2},  {"cursor", 2},
    {"decide", 1},  {"cancel", 1},  {"error", 1},   {"vs", 1},      {"win", 1},     {"dead", 1},
};

// Pieces 2 and 10 share the key "1"; stages 7 and 8 swap their keys.
const char bgmKeys[BGM_COUNT][100] = {
    "0", "9", "1", "2", "3", "4", "5", "6", "8", "7", "1",
    "select", "decide", "win", "wind", "ending",
};

std::vector<SeEntry> seTable;
int32_t bgmCurrent = 0;
int32_t bgmRequested = 0;
float bgmVolume = 0.0f;
Sound* bgmSound = nullptr;
uint8_t soundOff = 0;

namespace {

const char kSePack[] = "se.dat";
const char kBgmPack[] = "bgm.dat";

uint32_t BgmLoops(int32_t id) { return id == BGM_WIN ? 0 : 1; }

void SetBgmVolume(float volume) {
    WriteLog("VOL\n");
    bgmVolume = volume;
    SetSoundVolumeAsync(bgmSound, volume);
}

void StopBgmIfPlaying() {
    if (!IsSoundPlaying(bgmSound)) return;
    WriteLog("STOP\n");
    StopSoundAsync(bgmSound);
}

void ReleaseBgmSound() {
    if (!bgmSound) return;
    WriteLog("RELEASE\n");
    ReleaseSoundAsync(bgmSound);
    bgmSound = nullptr;
}

// Replaces the music buffer with a fresh one of bgmCurrent and starts it.
void StartCurrentBgm() {
    StopBgmIfPlaying();
    ReleaseBgmSound();
    bgmSound = CreateSound(kBgmPack, bgmKeys[bgmCurrent]);
    WriteLog("PLAY\n");
    PlaySoundAsync(bgmSound, BgmLoops(bgmCurrent));
}

}  // namespace

void LoadSeTable() {
    if (soundOff) return;
    for (const SeDefinition& definition : seDefinitions) {
        SeEntry entry;
        for (int i = 0; i < definition.buffers; ++i) entry.pool.push_back(CreateSound(kSePack, definition.key));
        seTable.push_back(std::move(entry));
    }
}

void PlaySe(int32_t id) {
    if (soundOff || id < 0 || static_cast<size_t>(id) >= seTable.size()) return;
    SeEntry& entry = seTable[id];
    // However many objects ask, an effect starts once per frame.
    if (entry.playedThisFrame || entry.pool.empty()) return;
    entry.playedThisFrame = 1;
    Sound* chosen = entry.pool.front();
    for (Sound* sound : entry.pool) {
        if (!IsSoundPlaying(sound)) {
            chosen = sound;
            break;
        }
    }
    PlaySoundAsync(chosen, 0);
}

void ClearSePlayedFlags() {
    if (soundOff) return;
    for (SeEntry& entry : seTable) entry.playedThisFrame = 0;
}

void ReleaseSeTable() {
    if (soundOff) return;
    for (SeEntry& entry : seTable)
        for (Sound* sound : entry.pool) ReleaseSoundAsync(sound);
    seTable.clear();
}

void PlayBgm(int32_t id) {
    if (soundOff || id < 0 || id >= BGM_COUNT) return;
    bgmRequested = id;
    if (id == bgmCurrent) {
        // The piece already playing (or faded, mid cross-fade) restarts at
        // full volume; even the once-only piece loops then.
        WriteLog("SAME\n");
        SetBgmVolume(100.0f);
        StopBgmIfPlaying();
        WriteLog("PLAY\n");
        PlaySoundAsync(bgmSound, 1);
        return;
    }
    if (bgmCurrent != 0) {
        // UpdateBgm fades the current piece out and then starts this one.
        WriteLog("CROSS_DIFF\n");
        return;
    }
    WriteLog("0-START_DIFF\n");
    bgmCurrent = id;
    StartCurrentBgm();
    SetBgmVolume(100.0f);
}

void UpdateBgm() {
    if (soundOff || bgmRequested == bgmCurrent) return;
    bgmVolume -= 2.0f;
    // Volume 0 itself is still played: the switch comes on the 51st frame.
    if (bgmVolume < 0.0f) {
        bgmCurrent = bgmRequested;
        bgmVolume = 100.0f;
        StartCurrentBgm();
    }
    if (bgmSound) SetSoundVolumeAsync(bgmSound, bgmVolume);
}

void StopBgm() {
    if (soundOff) return;
    ReleaseBgmSound();
}

void PlayStageBgm(int32_t stage) {
    static const int32_t kStagePieces[9] = {1, 2, 3, 4, 5, 6, 7, 9, 8};
    PlayBgm(stage >= 0 && stage < 9 ? kStagePieces[stage] : 0);
}

void ResetSoundState() {
    seTable.clear();
    bgmCurrent = 0;
    bgmRequested = 0;
    bgmVolume = 0.0f;
    bgmSound = nullptr;
    soundOff = 0;
}
