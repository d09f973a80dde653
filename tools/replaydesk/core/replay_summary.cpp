#include "tools/replaydesk/core/replay_summary.h"

#include <cstring>
#include <span>

#include "platform/cp932.h"

namespace replaydesk {
namespace {

constexpr int ARCADE_MODE = 4;

// Indexed by CharacterId: "－", キルネ, ベモ, オザ, ペリラ, ルオ, トルヴィ, ネブ, ウェロ.
constexpr std::string_view characterLabels[] = {
    "\x81\x7C",
    "\x83\x4C\x83\x8B\x83\x6C",
    "\x83\x78\x83\x82",
    "\x83\x49\x83\x55",
    "\x83\x79\x83\x8A\x83\x89",
    "\x83\x8B\x83\x49",
    "\x83\x67\x83\x8B\x83\x94\x83\x42",
    "\x83\x6C\x83\x75",
    "\x83\x45\x83\x46\x83\x8D",
};
constexpr std::string_view modeLabels[] = {"Practice", "1Pvs2P", "1PvsCPU", "vsNetwork", "Arcade"};
constexpr std::string_view difficultyLabels[] = {"EASY", "NORMAL", "HARD"};

std::string_view Label(std::span<const std::string_view> table, int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < table.size() ? table[index] : "?";
}

char Digit(uint8_t d) { return d <= 9 ? static_cast<char>('0' + d) : '?'; }

// A tens digit: `blank` when 0 or DATE_DIGIT_BLANK.
char TensDigit(uint8_t d, char blank) { return d == 0 || d == DATE_DIGIT_BLANK ? blank : Digit(d); }

}  // namespace

std::string FormatReplayDate(const ReplayHeader& header) {
    const uint8_t* d = header.dateDigits;
    return {Digit(d[0]),          Digit(d[1]), Digit(d[2]), Digit(d[3]),
            '/', TensDigit(d[4], ' '), Digit(d[5]),
            '/', TensDigit(d[6], ' '), Digit(d[7]),
            '/', TensDigit(d[8], '0'), Digit(d[9]),
            ':', TensDigit(d[10], '0'), Digit(d[11])};
}

std::string FormatReplaySummary(const ReplayHeader& header) {
    const bool sideZeroWon = header.winnerSide == 0;
    std::string text;
    text.append("Tobrazel(").append(ReplayVersionText(header)).append(") \r\n");
    text.append("Match:").append(Label(characterLabels, header.p1CharacterId));
    text.append(sideZeroWon ? "(w) vs " : " vs ").append(Label(characterLabels, header.p2CharacterId));
    text.append(sideZeroWon ? " \r\n" : "(w) \r\n");
    text.append("Mode :").append(Label(modeLabels, header.gameMode));
    if (header.gameMode == ARCADE_MODE) {
        text.append(" (").append(Label(difficultyLabels, header.difficulty)).append(")\r\n");
    } else {
        text.append(" \r\n");
    }
    text.append("Damage ").append(std::to_string(header.bestComboDamage));
    text.append(" (").append(std::to_string(header.bestComboHits)).append("Hit) \r\n");
    text.append("Date :").append(FormatReplayDate(header));
    return text;
}

std::string ExpandNewlines(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, text.find('\0'))) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string StripCarriageReturns(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, text.find('\0'))) {
        if (c != '\r') out += c;
    }
    return out;
}

void StoreReplayComment(ReplayHeader& header, std::string_view text) {
    const std::string stripped = StripCarriageReturns(text);
    const std::string_view kept = platform::Cp932Prefix(stripped, sizeof header.comment - 1);
    std::memcpy(header.comment, kept.data(), kept.size());
    header.comment[kept.size()] = '\0';
}

}  // namespace replaydesk
