#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>

// The three save files in the current folder (the program's folder). Each is
// the little-endian byte image of one record, without header or checksum.
static_assert(std::endian::native == std::endian::little, "save files are stored as laid out in memory");

// A joystick button field that maps to no button (set for numbers outside
// 0..15 found in "config.dat").
constexpr int32_t JOYSTICK_BUTTON_UNMAPPED = -1;

// Joystick button map of one side: indexes into the joystick's button bytes.
struct ConfigPad {
    int32_t reserved1;  // 300, never read
    int32_t reserved2;  // 300, never read
    int32_t buttonZ, buttonX, buttonV, buttonC, buttonA, buttonS, buttonT;
};
static_assert(sizeof(ConfigPad) == 36);

// "config.dat": created with defaults at the first start and never rewritten.
struct Config {
    uint8_t fullScreen;
    uint8_t color32;
    uint8_t soundOff;
    uint8_t reserved0;
    uint8_t noTimeLimit;
    uint8_t padding0[3];
    ConfigPad pads[2];
    char peerHost[256];  // dotted IPv4 address of the network peer
    uint16_t port;       // UDP port of both peers
    uint8_t reserved1;
    uint8_t padding1;
    int32_t localSide;  // this machine's side in network play
    uint8_t slowLine;   // send inputs every 3 frames instead of 2
    uint8_t padding2[3];
};
static_assert(sizeof(Config) == 348);
static_assert(offsetof(Config, pads) == 8);
static_assert(offsetof(Config, peerHost) == 80);
static_assert(offsetof(Config, port) == 336);
static_assert(offsetof(Config, localSide) == 340);
static_assert(offsetof(Config, slowLine) == 344);

// "system.dat": progress flags, each 0 or 1.
struct SystemData {
    uint8_t cleared[3][20];  // [difficulty][CharacterId]: arcade cleared
    uint8_t stageUnlocked[20];
    uint8_t characterUnlocked[20];  // by CharacterId
    uint8_t extraUnlocked;
};
static_assert(sizeof(SystemData) == 101);
static_assert(offsetof(SystemData, stageUnlocked) == 60);
static_assert(offsetof(SystemData, characterUnlocked) == 80);
static_assert(offsetof(SystemData, extraUnlocked) == 100);

constexpr int RANKING_ENTRIES = 10;
constexpr int RANKING_TABLES = 3;  // one per Difficulty
constexpr int RANKING_LETTERS = 5;
constexpr int RANKING_ALPHABET = 42;  // symbols of the name entry
// What InsertRanking returns when the score does not enter the table.
constexpr int RANKING_NOT_ENTERED = 11;

struct RankingEntry {
    int32_t characterId;
    int32_t score;
    int32_t letters[RANKING_LETTERS];  // indexes into the name-entry alphabet
};
static_assert(sizeof(RankingEntry) == 28);

// One difficulty's table, best first; "ranking.dat" holds EASY, NORMAL, HARD.
struct RankingTable {
    RankingEntry entries[RANKING_ENTRIES];
};
static_assert(sizeof(RankingTable) == 280);

extern Config config;
extern SystemData systemData;
extern RankingTable rankingTables[RANKING_TABLES];
// Empties the settings, the save data and the rankings, as they are at
// program start before anything is read.
void ResetSaveFileState();

// Reads "config.dat" into `config`, or creates it with the defaults.
void LoadConfig();
// Reads "system.dat" into `systemData`, or creates it with the defaults.
void LoadSystemData();
// Writes `systemData`; false when the file could not be written whole.
bool SaveSystemData();
// Reads "ranking.dat" into `rankingTables`, or sets the default ranking (the
// file is not created).
void LoadRanking();
// Writes `rankingTables`; false when the file could not be written whole.
bool SaveRanking();

// Puts an arcade result into the table of `difficulty`, below every entry with
// an equal or higher score: the place 0..9, or RANKING_NOT_ENTERED when it does
// not enter (also for a difficulty outside 0..2). The new entry's name letters
// are all 0.
int InsertRanking(int difficulty, int characterId, int score);
