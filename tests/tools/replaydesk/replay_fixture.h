#pragma once
// Replay files for the replay tool's tests, written the way the game writes them.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "game/flow/replay_header.h"

namespace replaydesk::test {

// The game's default comment, "ここにコメントが入ります。" in CP932.
inline constexpr char kDefaultComment[] =
    "\x82\xB1\x82\xB1\x82\xC9\x83\x52\x83\x81\x83\x93\x83\x67\x82\xAA\x93\xFC\x82\xE8\x82\xDC\x82\xB7\x81\x42";

// Kirune (side 0, winner) against Bemo in Practice, saved 7 March 2005 at
// 09:05, with the default comment.
inline ReplayHeader SampleHeader() {
    ReplayHeader h;
    h.formatId = REPLAY_FORMAT_ID;
    std::memcpy(h.versionText, "Ver1.0", 7);
    h.p1CharacterId = 1;
    h.p2CharacterId = 2;
    h.p2Colour = 1;
    h.stageNumber = 3;
    h.bestComboDamage = 1234;
    h.bestComboHits = 7;
    h.randomSeed = 4321;
    std::memcpy(h.comment, kDefaultComment, sizeof kDefaultComment);
    const uint8_t date[REPLAY_DATE_DIGITS] = {2, 0, 0, 5, DATE_DIGIT_BLANK, 3, DATE_DIGIT_BLANK, 7,
                                              DATE_DIGIT_BLANK, 9, DATE_DIGIT_BLANK, 5};
    std::memcpy(h.dateDigits, date, sizeof date);
    return h;
}

// The header's file bytes, then `frames` records of distinct words, then
// `trailing` bytes of a partial record.
inline std::vector<uint8_t> ReplayBytes(const ReplayHeader& header, size_t frames, size_t trailing = 0) {
    std::vector<uint8_t> bytes(REPLAY_HEADER_SIZE);
    WriteReplayHeader(header, std::span(bytes).first<REPLAY_HEADER_SIZE>());
    for (size_t i = 0; i < frames * REPLAY_FRAME_SIZE + trailing; ++i) bytes.push_back(static_cast<uint8_t>(i * 37 + 11));
    return bytes;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The comment field's bytes of a replay file image, up to its NUL.
inline std::string CommentOf(const std::vector<uint8_t>& file) {
    const char* start = reinterpret_cast<const char*>(file.data()) + offsetof(ReplayHeader, comment);
    return std::string(start, strnlen(start, REPLAY_COMMENT_SIZE));
}

}  // namespace replaydesk::test
