#include "game/flow/replay_file.h"

#include "game/flow/numeric_helpers.h"
#include "game/flow/run_state.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/core/log.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

ReplayHeader replayHeader;
std::vector<InputWord> replayInputs[2];
int32_t replayPlayback = 0;
char replayFileName[REPLAY_FILE_NAME_SIZE] = {};

namespace {

constexpr char kVersionText[] = "Ver1.0";
// "ここにコメントが入ります。" in CP932, with its NUL: 27 bytes.
constexpr char kDefaultComment[] =
    "\x82\xb1\x82\xb1\x82\xc9\x83\x52\x83\x81\x83\x93\x83\x67\x82\xaa\x93\xfc\x82\xe8\x82\xdc\x82\xb7\x81\x42";
static_assert(sizeof kDefaultComment == 27);

// "  エラー : " in CP932, the head of the log's failure lines.
#define LOG_ERROR_HEAD "  \x83\x47\x83\x89\x81\x5b : "


LocalTimeSource localTimeSource = platform::GetLocalTime;

bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// A header whose match fields could not have come from a battle would index
// the character tables and build archive names out of range.
bool HasPlayableMatch(const ReplayHeader& h) {
    return InRange(h.p1CharacterId, 1, 8) && InRange(h.p2CharacterId, 1, 8) && InRange(h.p1Colour, 0, 1) &&
           InRange(h.p2Colour, 0, 1) && InRange(h.stageNumber, 0, 8) && InRange(h.gameMode, 0, 4) &&
           InRange(h.difficulty, 0, 2);
}

uint8_t Digit(int value, int k) { return static_cast<uint8_t>(GetDigit(value, k)); }
// A two-digit field shows a blank tens digit below 10.
uint8_t TensDigit(int value) { return value < 10 ? DATE_DIGIT_BLANK : Digit(value, 2); }
uint8_t UnitsDigit(int value) { return Digit(value, 1); }

// The header with the saving's fields, in the order the file format lists them.
void FillSavedFields(const ReplayOutcome& outcome) {
    replayHeader.winnerSide = outcome.winnerSide;
    replayHeader.bestComboDamage = outcome.bestComboDamage;
    replayHeader.bestComboHits = outcome.bestComboHits;
    std::memcpy(replayHeader.comment, kDefaultComment, sizeof kDefaultComment);
    std::memcpy(replayHeader.versionText, kVersionText, sizeof kVersionText);
    replayHeader.formatId = REPLAY_FORMAT_ID;
    FillDateDigits(localTimeSource(), replayHeader.dateDigits);
}

std::vector<uint8_t> ReplayFileBytes() {
    const size_t frames = std::min(replayInputs[0].size(), replayInputs[1].size());
    std::vector<uint8_t> bytes(REPLAY_HEADER_SIZE + frames * REPLAY_FRAME_SIZE);
    WriteReplayHeader(replayHeader, std::span<uint8_t, REPLAY_HEADER_SIZE>(bytes.data(), REPLAY_HEADER_SIZE));
    for (size_t i = 0; i < frames; ++i) {
        const ReplayFrame frame{{replayInputs[0][i], replayInputs[1][i]}};
        uint8_t* at = bytes.data() + REPLAY_HEADER_SIZE + i * REPLAY_FRAME_SIZE;
        WriteReplayFrame(frame, std::span<uint8_t, REPLAY_FRAME_SIZE>(at, REPLAY_FRAME_SIZE));
    }
    return bytes;
}

// The frames after the header, at most REPLAY_MAX_FRAMES of them; false on a
// read error or when the file holds more.
bool ReadFrames(FILE* file, std::vector<uint8_t>& out) {
    constexpr size_t limit = REPLAY_MAX_FRAMES * REPLAY_FRAME_SIZE;
    uint8_t chunk[16384];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (out.size() + got > limit) return false;
        out.insert(out.end(), chunk, chunk + got);
    }
    return !std::ferror(file);
}

// The header and frames of a replay file, or false. The header is checked
// before the frames are read.
bool ReadReplay(const std::string& path, ReplayHeader& header, std::vector<InputWord> (&inputs)[2]) {
    const platform::FilePtr file = platform::OpenRegularFile(path, REPLAY_MAX_FILE_SIZE);
    if (!file) return false;
    uint8_t head[REPLAY_HEADER_SIZE];
    if (std::fread(head, 1, sizeof head, file.get()) != sizeof head) return false;
    header = ReadReplayHeader(head);
    std::vector<uint8_t> body;
    if (!HasPlayableMatch(header) || !ReadFrames(file.get(), body)) return false;
    const size_t frames = body.size() / REPLAY_FRAME_SIZE;
    for (auto& list : inputs) list.reserve(frames);
    for (size_t i = 0; i < frames; ++i) {
        const uint8_t* at = body.data() + i * REPLAY_FRAME_SIZE;
        const ReplayFrame frame = ReadReplayFrame(std::span<const uint8_t, REPLAY_FRAME_SIZE>(at, REPLAY_FRAME_SIZE));
        inputs[0].push_back(frame.input[0]);
        inputs[1].push_back(frame.input[1]);
    }
    return true;
}

}  // namespace

void StartReplayRecording(const ReplayMatch& match) {
    replayHeader = ReplayHeader{};
    replayHeader.p1CharacterId = match.p1CharacterId;
    replayHeader.p2CharacterId = match.p2CharacterId;
    replayHeader.p1Colour = match.p1Colour;
    replayHeader.p2Colour = match.p2Colour;
    replayHeader.stageNumber = match.stageNumber;
    replayHeader.gameMode = match.gameMode;
    replayHeader.difficulty = match.difficulty;
    replayHeader.randomSeed = match.randomSeed;
    replayHeader.reserved[0] = match.noTimeLimit;
    for (auto& list : replayInputs) list.clear();
}

void RecordReplayInput(int side, InputWord word) {
    if (side == 0 || side == 1) replayInputs[side].push_back(word);
}

InputWord PlaybackReplayInput(int side, int32_t battleFrame) {
    if ((side != 0 && side != 1) || battleFrame < 0) return 0;
    const std::vector<InputWord>& list = replayInputs[side];
    const auto index = static_cast<size_t>(battleFrame);
    return index < list.size() ? list[index] : 0;
}

ReplayMatch GetPlaybackMatch() {
    const ReplayHeader& h = replayHeader;
    ReplayMatch match{h.p1CharacterId, h.p2CharacterId, h.p1Colour,   h.p2Colour,     h.stageNumber,
                      h.gameMode,      h.difficulty,    h.randomSeed, h.reserved[0]};
    if (match.gameMode == MODE_VS_NETWORK) {
        match.gameMode = MODE_1P_VS_2P;
        match.noTimeLimit = 0;
    }
    return match;
}

bool MakeReplayFileName(char (&out)[REPLAY_FILE_NAME_SIZE]) {
    for (int n = 0; n < REPLAY_FILE_NAME_COUNT; ++n) {
        std::snprintf(out, sizeof out, "replay\\tobra%03d.rpl", n);
        std::error_code ignored;
        if (!std::filesystem::exists(std::filesystem::symlink_status(platform::ResolvePath(out), ignored))) {
            return true;
        }
    }
    out[0] = '\0';
    WriteLog(LOG_ERROR_HEAD "no free replay file name\n");
    return false;
}

bool IsMadeReplayFileName(std::string_view name) {
    constexpr std::string_view head = "tobra", tail = ".rpl";
    if (name.size() != head.size() + 3 + tail.size() || !name.starts_with(head) || !name.ends_with(tail)) {
        return false;
    }
    int n = -1;
    const std::string_view digits = name.substr(head.size(), 3);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    return error == std::errc{} && end == digits.data() + digits.size() && n >= 0 && n < REPLAY_FILE_NAME_COUNT;
}

bool WriteReplayFile(const ReplayOutcome& outcome) {
    if (replayPlayback != 0 || replayFileName[0] == '\0') return false;
    const std::string path = platform::ResolvePath(replayFileName);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    // A replay that is not saved leaves the header as it was.
    const ReplayHeader unsaved = replayHeader;
    FillSavedFields(outcome);
    const int error = platform::SaveFile(path, ReplayFileBytes());
    if (error == 0) return true;
    replayHeader = unsaved;
    WriteLog(LOG_ERROR_HEAD "cannot write %s (%s)\n", path.c_str(), std::strerror(error));
    return false;
}

int ReadReplayFile(const char* path) { return path ? ReadReplayFileAt(platform::ResolvePath(path)) : -1; }

int ReadReplayFileAt(const std::string& filePath) {
    const std::string& path = filePath;
    ReplayHeader header;
    std::vector<InputWord> inputs[2];
    if (!ReadReplay(path, header, inputs)) {
        replayHeader = ReplayHeader{};
        for (auto& list : replayInputs) list.clear();
        return -1;
    }
    replayHeader = header;
    for (int side = 0; side < 2; ++side) replayInputs[side] = std::move(inputs[side]);
    return 0;
}

void FillDateDigits(const platform::LocalTime& time, uint8_t (&digits)[REPLAY_DATE_DIGITS]) {
    const int year = time.year;
    const uint8_t values[REPLAY_DATE_DIGITS] = {
        Digit(year, 4),         Digit(year, 3),
        Digit(year, 2),         UnitsDigit(year),
        TensDigit(time.month),                  UnitsDigit(time.month),
        TensDigit(time.day),                    UnitsDigit(time.day),
        TensDigit(time.hour),                   UnitsDigit(time.hour),
        TensDigit(time.minute),                 UnitsDigit(time.minute)};
    std::memcpy(digits, values, sizeof values);
}

void SetLocalTimeSource(LocalTimeSource source) { localTimeSource = source ? source : platform::GetLocalTime; }

void ResetReplayFileState() {
    replayHeader = {};
    for (auto& inputs : replayInputs) inputs.clear();
    replayPlayback = 0;
    std::fill(std::begin(replayFileName), std::end(replayFileName), '\0');
    localTimeSource = platform::GetLocalTime;
}
