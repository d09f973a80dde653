#include "tools/replaydesk/core/replay_summary.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/tools/replaydesk/replay_fixture.h"

namespace replaydesk {
namespace {

constexpr char kKirune[] = "\x83\x4C\x83\x8B\x83\x6C";  // キルネ
constexpr char kBemo[] = "\x83\x78\x83\x82";            // ベモ

TEST(ReplaySummary, FormatFollowsWinnerAndArcade) {
    const struct { int32_t winnerSide, gameMode, difficulty; std::string match, mode; } cases[] = {
        {0, 0, 0, std::string(kKirune) + "(w) vs " + kBemo + " ", "Practice "},
        {1, 3, 0, std::string(kKirune) + " vs " + kBemo + "(w) ", "vsNetwork "},
        {0, 4, 0, std::string(kKirune) + "(w) vs " + kBemo + " ", "Arcade (EASY)"},
        {1, 4, 2, std::string(kKirune) + " vs " + kBemo + "(w) ", "Arcade (HARD)"},
    };
    for (const auto& c : cases) {
        ReplayHeader h = test::SampleHeader();
        h.winnerSide = c.winnerSide;
        h.gameMode = c.gameMode;
        h.difficulty = c.difficulty;
        EXPECT_EQ(FormatReplaySummary(h), "Tobrazel(Ver1.0) \r\nMatch:" + c.match + "\r\nMode :" + c.mode +
                                              "\r\nDamage 1234 (7Hit) \r\nDate :2005/ 3/ 7/09:05")
            << "winner " << c.winnerSide << ", mode " << c.gameMode;
    }
}

TEST(ReplaySummary, ValuesOutsideTheLabelTablesShowAQuestionMark) {
    ReplayHeader h = test::SampleHeader();
    h.p1CharacterId = 0;
    h.p2CharacterId = 99;
    h.gameMode = 4;
    h.difficulty = 3;
    h.bestComboHits = -1;
    std::string text = FormatReplaySummary(h);
    EXPECT_NE(text.find("Match:\x81\x7C(w) vs ? \r\n"), std::string::npos) << text;  // id 0 is "－"
    EXPECT_NE(text.find("Mode :Arcade (?)\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Damage 1234 (-1Hit) \r\n"), std::string::npos) << text;

    h.p1CharacterId = -1;
    h.gameMode = 5;
    h.winnerSide = 7;  // anything but 0 marks side 1
    text = FormatReplaySummary(h);
    EXPECT_NE(text.find("Match:? vs ?(w) \r\nMode :? \r\n"), std::string::npos) << text;
}

TEST(ReplaySummary, VersionTextIsBoundedByItsField) {
    ReplayHeader h = test::SampleHeader();
    std::memset(h.versionText, 'V', sizeof h.versionText);
    const std::string text = FormatReplaySummary(h);
    EXPECT_EQ(text.substr(0, text.find(')') + 1), "Tobrazel(" + std::string(20, 'V') + ")");
}

TEST(ReplaySummary, DateDigits) {
    constexpr uint8_t B = DATE_DIGIT_BLANK;
    const struct { uint8_t digits[12]; const char* text; } cases[] = {
        {{2, 0, 0, 5, B, 3, B, 7, B, 9, B, 5}, "2005/ 3/ 7/09:05"},
        {{2, 0, 2, 6, 1, 0, 1, 0, 1, 2, B, 0}, "2026/10/10/12:00"},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "0000/ 0/ 0/00:00"},  // a zeroed header
        {{2, 0, 0, 10, 12, 3, 128, 7, 254, 9, B, 200}, "200?/?3/?7/?9:0?"},
    };
    for (const auto& c : cases) {
        ReplayHeader h;
        std::memcpy(h.dateDigits, c.digits, sizeof c.digits);
        EXPECT_EQ(FormatReplayDate(h), c.text);
    }
}

TEST(ReplayComment, LineEndsBetweenFileAndTextBox) {
    EXPECT_EQ(ExpandNewlines("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(ExpandNewlines(std::string_view("a\nb\0c\n", 6)), "a\r\nb");
    EXPECT_EQ(StripCarriageReturns("a\r\nb\r"), "a\nb");
    EXPECT_EQ(StripCarriageReturns(std::string_view("a\r\nb\0\r", 6)), "a\nb");

    ReplayHeader h;
    StoreEditedComment(h, ExpandNewlines("a\nb"));
    EXPECT_EQ(ReplayComment(h), "a\nb");
}

// Comments from elsewhere may end their lines in CR LF (or a lone CR): each
// shows as one line break, and an edit keeps every line end the user did not
// remove; the line breaks typed anew are LF.
TEST(ReplayComment, AnEditKeepsTheLineEndsItDidNotTouch) {
    const struct { const char* what; std::string stored, shown, typed, saved; } cases[] = {
        {"unchanged", "one\r\ntwo\r\nthree", "one\r\ntwo\r\nthree", "one\ntwo\nthree", "one\r\ntwo\r\nthree"},
        {"a line's text changed", "one\r\ntwo\r\nthree", "one\r\ntwo\r\nthree", "one\nTWO!\nthree",
         "one\r\nTWO!\r\nthree"},
        {"a line added", "one\r\ntwo", "one\r\ntwo", "one\ntwo\nnew", "one\r\ntwo\nnew"},
        {"a line removed", "one\r\ntwo\r\nthree", "one\r\ntwo\r\nthree", "one\nthree", "one\r\nthree"},
        {"two places changed", "a\r\nb\r\nc\r\nd", "a\r\nb\r\nc\r\nd", "A\nb\nc\nD", "A\r\nb\r\nc\r\nD"},
        {"mixed ends", "a\nb\r\nc\rd", "a\r\nb\r\nc\r\nd", "a\nb\nc\nd", "a\nb\r\nc\rd"},
        {"a blank line kept", "a\r\n\r\nb", "a\r\n\r\nb", "a\n\nb!", "a\r\n\r\nb!"},
        {"CP932 text", "\x88\xEA\r\n\x93\xF1", "\x88\xEA\r\n\x93\xF1", "\x88\xEA\n\x93\xF1\x82\xA0",
         "\x88\xEA\r\n\x93\xF1\x82\xA0"},
        {"all new", "", "", "x\ny", "x\ny"},
    };
    for (const auto& c : cases) {
        ReplayHeader h;
        std::memcpy(h.comment, c.stored.data(), c.stored.size());
        EXPECT_EQ(ShownComment(h), c.shown) << c.what;
        StoreEditedComment(h, c.typed);
        EXPECT_EQ(ReplayComment(h), c.saved) << c.what;
    }
}

TEST(ReplayComment, StoredTextIsCutTo1023BytesAtACharacterBoundary) {
    const struct { std::string text; std::string stored; } cases[] = {
        {std::string(1022, 'x') + "\x82\xA0", std::string(1022, 'x')},  // あ would end past byte 1023
        {std::string(1021, 'x') + "\x82\xA0", std::string(1021, 'x') + "\x82\xA0"},
        {std::string(1500, 'y'), std::string(1023, 'y')},
        {std::string(1023, 'z') + "\r", std::string(1023, 'z')},  // the CR is left out, not counted
    };
    for (const auto& c : cases) {
        ReplayHeader h;
        std::memset(h.comment, 'S', sizeof h.comment);
        StoreEditedComment(h, c.text);
        EXPECT_EQ(ReplayComment(h), c.stored) << c.text.size() << " bytes";
    }
    // A CR LF kept from the stored comment is never cut in half.
    ReplayHeader h;
    const std::string stored = std::string(1022, 'w') + "\r\n";
    std::memcpy(h.comment, stored.data(), stored.size());
    StoreEditedComment(h, std::string(1022, 'w') + "\nmore");
    EXPECT_EQ(ReplayComment(h), std::string(1022, 'w'));
}

}  // namespace
}  // namespace replaydesk
