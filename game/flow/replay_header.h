#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The replay file: one ReplayHeader, then one ReplayFrame per recorded battle
// frame up to the end of the file. Little-endian throughout, no gaps; the game
// writes it, the replay list reads it and the replay tool rewrites its comment,
// so the layout below is fixed byte for byte.

inline constexpr int32_t REPLAY_FORMAT_ID = 2001;
inline constexpr size_t REPLAY_HEADER_SIZE = 1112;
inline constexpr size_t REPLAY_FRAME_SIZE = 4;
// The most frames a replay may hold: a battle without a time limit recorded
// for a whole day at 60 frames a second. A longer file is damaged or hostile
// and is refused before it is read into memory (about 20 MiB at most).
inline constexpr size_t REPLAY_MAX_FRAMES = size_t{24} * 60 * 60 * 60;
inline constexpr size_t REPLAY_MAX_FILE_SIZE = REPLAY_HEADER_SIZE + REPLAY_MAX_FRAMES * REPLAY_FRAME_SIZE;
inline constexpr size_t REPLAY_VERSION_SIZE = 20;
inline constexpr size_t REPLAY_COMMENT_SIZE = 1024;
inline constexpr size_t REPLAY_DATE_DIGITS = 12;

// A tens digit of month, day, hour or minute below 10 is stored as this.
inline constexpr uint8_t DATE_DIGIT_BLANK = 255;

struct ReplayHeader {
    int32_t formatId = 0;
    char versionText[REPLAY_VERSION_SIZE] = {};  // NUL-terminated, "Ver1.0"
    int32_t p1CharacterId = 0;
    int32_t p2CharacterId = 0;
    int32_t p1Colour = 0;
    int32_t p2Colour = 0;
    int32_t winnerSide = 0;
    int32_t stageNumber = 0;
    int32_t gameMode = 0;
    int32_t difficulty = 0;
    int32_t bestComboDamage = 0;
    int32_t bestComboHits = 0;
    int32_t randomSeed = 0;
    char comment[REPLAY_COMMENT_SIZE] = {};  // CP932, lines end in LF
    // Local time of saving, one decimal digit a byte: year (4), month, day,
    // hour, minute (2 each, tens digit DATE_DIGIT_BLANK when below 10).
    uint8_t dateDigits[REPLAY_DATE_DIGITS] = {};
    // Written by neither program's editor. The recorder keeps its time-limit
    // flag in reserved[0] (0 = timer on, which older files read as).
    uint8_t reserved[8] = {};
};

static_assert(sizeof(ReplayHeader) == REPLAY_HEADER_SIZE);
static_assert(offsetof(ReplayHeader, versionText) == 4);
static_assert(offsetof(ReplayHeader, p1CharacterId) == 24);
static_assert(offsetof(ReplayHeader, winnerSide) == 40);
static_assert(offsetof(ReplayHeader, gameMode) == 48);
static_assert(offsetof(ReplayHeader, randomSeed) == 64);
static_assert(offsetof(ReplayHeader, comment) == 68);
static_assert(offsetof(ReplayHeader, dateDigits) == 1092);
static_assert(offsetof(ReplayHeader, reserved) == 1104);

// The InputWords of side 0 and side 1 for one battle frame.
struct ReplayFrame {
    uint16_t input[2] = {};
};

static_assert(sizeof(ReplayFrame) == REPLAY_FRAME_SIZE);

ReplayHeader ReadReplayHeader(std::span<const uint8_t, REPLAY_HEADER_SIZE> bytes);
void WriteReplayHeader(const ReplayHeader& header, std::span<uint8_t, REPLAY_HEADER_SIZE> bytes);

ReplayFrame ReadReplayFrame(std::span<const uint8_t, REPLAY_FRAME_SIZE> bytes);
void WriteReplayFrame(const ReplayFrame& frame, std::span<uint8_t, REPLAY_FRAME_SIZE> bytes);

// The two text fields up to their first NUL, never beyond the field.
std::string_view ReplayVersionText(const ReplayHeader& header);
std::string_view ReplayComment(const ReplayHeader& header);
