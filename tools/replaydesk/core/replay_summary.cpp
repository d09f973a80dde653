#include "tools/replaydesk/core/replay_summary.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

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

namespace {

// A comment with each line end made one LF, and those line ends in order.
struct LineEnds {
    std::string text;
    std::vector<std::string_view> ends;
};

// CR and LF are never the second byte of a CP932 character, so a byte scan
// finds them.
LineEnds SplitLineEnds(std::string_view comment) {
    LineEnds split;
    for (size_t i = 0; i < comment.size(); ++i) {
        const char c = comment[i];
        if (c != '\r' && c != '\n') {
            split.text += c;
            continue;
        }
        const bool crlf = c == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n';
        split.ends.push_back(crlf ? "\r\n" : c == '\r' ? "\r" : "\n");
        split.text += '\n';
        if (crlf) ++i;
    }
    return split;
}

// `edited` (LF line ends) with each LF that matches one of `original` in the
// two texts' longest common subsequence written as that line's own end.
std::string RestoreLineEnds(const LineEnds& original, std::string_view edited) {
    const std::string_view a = original.text;
    const size_t width = edited.size() + 1;
    // common[i * width + j]: the longest common subsequence of a[i..] and edited[j..].
    std::vector<uint16_t> common((a.size() + 1) * width, 0);
    for (size_t i = a.size(); i-- > 0;) {
        for (size_t j = edited.size(); j-- > 0;) {
            common[i * width + j] = a[i] == edited[j]
                                        ? static_cast<uint16_t>(common[(i + 1) * width + j + 1] + 1)
                                        : std::max(common[(i + 1) * width + j], common[i * width + j + 1]);
        }
    }
    std::string out;
    size_t i = 0, j = 0, line = 0;  // line: the ends of a[..i) passed
    while (j < edited.size()) {
        if (i < a.size() && a[i] == edited[j]) {
            out += a[i] == '\n' ? original.ends[line] : std::string_view(&edited[j], 1);
            line += a[i] == '\n';
            ++i, ++j;
        } else if (i < a.size() && common[(i + 1) * width + j] >= common[i * width + j + 1]) {
            line += a[i] == '\n';
            ++i;
        } else {
            out += edited[j++];
        }
    }
    return out;
}

}  // namespace

std::string ShownComment(const ReplayHeader& header) {
    return ExpandNewlines(SplitLineEnds(ReplayComment(header)).text);
}

void StoreEditedComment(ReplayHeader& header, std::string_view text) {
    constexpr size_t limit = sizeof header.comment - 1;
    // Every byte typed is at least one byte stored, so text past the limit
    // cannot be kept anyway.
    const std::string typed = StripCarriageReturns(text);
    const std::string restored =
        RestoreLineEnds(SplitLineEnds(ReplayComment(header)), platform::Cp932Prefix(typed, limit));
    std::string_view kept = platform::Cp932Prefix(restored, limit);
    if (kept.ends_with('\r') && restored.size() > kept.size() && restored[kept.size()] == '\n') kept.remove_suffix(1);
    std::memcpy(header.comment, kept.data(), kept.size());
    header.comment[kept.size()] = '\0';
}

}  // namespace replaydesk
