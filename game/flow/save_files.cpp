#include "game/flow/save_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <span>

#include "platform/safe_file.h"

Config config;
SystemData systemData;
RankingTable rankingTables[RANKING_TABLES];

namespace {

constexpr const char* kConfigFile = "config.dat";
constexpr const char* kSystemDataFile = "system.dat";
constexpr const char* kRankingFile = "ranking.dat";

constexpr ConfigPad kDefaultPad{300, 300, 0, 1, 2, 3, 4, 5, 7};

// Overlays the file's bytes on the record (a short file leaves the rest as it
// was); 0, or why it is no regular file that can be opened.
int ReadRecord(const char* name, void* record, size_t size) {
    const platform::FilePtr file = platform::OpenRegularFile(name);
    if (!file) return errno;
    std::fread(record, 1, size, file.get());
    return 0;
}

// Saves the whole record as every program saves its files: a file the user
// protected is left alone (the save is skipped), a failed write leaves the
// old bytes, and either is named on standard error.
bool WriteRecord(const char* name, const void* record, size_t size) {
    return platform::SaveFile(name, std::span(static_cast<const uint8_t*>(record), size)) == 0;
}

// Reads a file that the game creates with the defaults when it is missing.
// A file that is there but cannot be read (another user's, a FIFO) is left
// as it is: the defaults are used without replacing it.
bool ReadOrCreateRecord(const char* name, void* record, size_t size) {
    const int error = ReadRecord(name, record, size);
    if (error == ENOENT) WriteRecord(name, record, size);
    return error == 0;
}

Config DefaultConfig() {
    Config defaults{};
    defaults.fullScreen = 1;
    defaults.color32 = 1;
    defaults.pads[0] = kDefaultPad;
    defaults.pads[1] = kDefaultPad;
    std::strcpy(defaults.peerHost, "127.0.0.1");
    defaults.port = 59999;
    return defaults;
}

// The file is edited by hand: its text must end inside the field, the side
// indexes the two sides and each button number the joystick's 16 buttons.
void SanitiseConfig(Config& c) {
    c.peerHost[sizeof c.peerHost - 1] = '\0';
    if (c.localSide != 0 && c.localSide != 1) c.localSide = 0;
    for (ConfigPad& pad : c.pads) {
        for (int32_t* button : {&pad.buttonZ, &pad.buttonX, &pad.buttonV, &pad.buttonC, &pad.buttonA,
                                &pad.buttonS, &pad.buttonT}) {
            if (*button < 0 || *button > 15) *button = JOYSTICK_BUTTON_UNMAPPED;
        }
    }
}

SystemData DefaultSystemData() {
    SystemData defaults{};
    for (int stage = 1; stage <= 5; ++stage) defaults.stageUnlocked[stage] = 1;
    for (int character = 1; character <= 6; ++character) defaults.characterUnlocked[character] = 1;
    return defaults;
}

// Every byte of the record is a flag.
void SanitiseSystemData(SystemData& data) {
    auto* bytes = reinterpret_cast<uint8_t*>(&data);
    for (size_t i = 0; i < sizeof data; ++i) bytes[i] = bytes[i] != 0;
}

void SetDefaultRanking() {
    for (RankingTable& table : rankingTables) {
        for (int k = 0; k < RANKING_ENTRIES; ++k) {
            RankingEntry& entry = table.entries[k];
            entry.characterId = 1;
            entry.score = 10000 - 1000 * k;
            for (int32_t& letter : entry.letters) letter = k + 1;
        }
    }
}

// Character ids index the eight characters' pictures and letters the name
// alphabet.
void SanitiseRanking() {
    for (RankingTable& table : rankingTables) {
        for (RankingEntry& entry : table.entries) {
            if (entry.characterId < 1 || entry.characterId > 8) entry.characterId = 1;
            for (int32_t& letter : entry.letters) {
                if (letter < 0 || letter >= RANKING_ALPHABET) letter = 0;
            }
        }
    }
}

}  // namespace

void LoadConfig() {
    config = DefaultConfig();
    if (ReadOrCreateRecord(kConfigFile, &config, sizeof config)) SanitiseConfig(config);
}

void LoadSystemData() {
    systemData = DefaultSystemData();
    if (ReadOrCreateRecord(kSystemDataFile, &systemData, sizeof systemData)) SanitiseSystemData(systemData);
}

bool SaveSystemData() { return WriteRecord(kSystemDataFile, &systemData, sizeof systemData); }

void LoadRanking() {
    SetDefaultRanking();
    if (ReadRecord(kRankingFile, rankingTables, sizeof rankingTables) == 0) SanitiseRanking();
}

bool SaveRanking() { return WriteRecord(kRankingFile, rankingTables, sizeof rankingTables); }

int InsertRanking(int difficulty, int characterId, int score) {
    if (difficulty < 0 || difficulty >= RANKING_TABLES) return RANKING_NOT_ENTERED;
    RankingEntry* entries = rankingTables[difficulty].entries;
    for (int place = 0; place < RANKING_ENTRIES; ++place) {
        if (entries[place].score >= score) continue;
        for (int i = RANKING_ENTRIES - 1; i > place; --i) entries[i] = entries[i - 1];
        entries[place] = RankingEntry{characterId, score, {0, 0, 0, 0, 0}};
        return place;
    }
    return RANKING_NOT_ENTERED;
}

void ResetSaveFileState() {
    config = {};
    systemData = {};
    for (RankingTable& table : rankingTables) table = {};
}
