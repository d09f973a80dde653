#include "game/flow/replay_header.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/little_endian.h"

namespace {

using HeaderBytes = std::array<uint8_t, REPLAY_HEADER_SIZE>;

TEST(ReplayHeader, FieldsLandAtTheirFileOffsetsLittleEndian) {
    ReplayHeader h;
    h.formatId = REPLAY_FORMAT_ID;
    std::memcpy(h.versionText, "Ver1.0", 7);
    h.p1CharacterId = 3;
    h.p2CharacterId = 8;
    h.p1Colour = 0;
    h.p2Colour = 1;
    h.winnerSide = 1;
    h.stageNumber = 7;
    h.gameMode = 4;
    h.difficulty = 2;
    h.bestComboDamage = 0x01020304;
    h.bestComboHits = -2;
    h.randomSeed = 9999;
    h.comment[0] = 'x';
    h.comment[1023] = 'z';
    h.dateDigits[0] = 2;
    h.dateDigits[11] = DATE_DIGIT_BLANK;
    h.reserved[0] = 1;
    h.reserved[7] = 0xEE;

    HeaderBytes b{};
    WriteReplayHeader(h, b);

    const struct { size_t offset; uint32_t value; } ints[] = {
        {0, 2001}, {24, 3}, {28, 8}, {32, 0}, {36, 1}, {40, 1}, {44, 7}, {48, 4},
        {52, 2}, {56, 0x01020304}, {60, 0xFFFFFFFE}, {64, 9999},
    };
    for (const auto& f : ints) EXPECT_EQ(platform::ReadLe32(b.data() + f.offset), f.value) << "offset " << f.offset;
    EXPECT_EQ(b[56], 0x04);  // least significant byte first
    EXPECT_EQ(std::memcmp(&b[4], "Ver1.0\0", 7), 0);
    EXPECT_EQ(b[68], 'x');
    EXPECT_EQ(b[1091], 'z');
    EXPECT_EQ(b[1092], 2);
    EXPECT_EQ(b[1103], 255);
    EXPECT_EQ(b[1104], 1);
    EXPECT_EQ(b[1111], 0xEE);
}

TEST(ReplayHeader, AnyBytesSurviveAReadAndWrite) {
    HeaderBytes original;
    for (size_t i = 0; i < original.size(); ++i) original[i] = static_cast<uint8_t>(i * 131 + 7);
    HeaderBytes written{};
    WriteReplayHeader(ReadReplayHeader(original), written);
    EXPECT_EQ(written, original);
}

TEST(ReplayFrame, WordsAreSideZeroThenSideOneLittleEndian) {
    std::array<uint8_t, REPLAY_FRAME_SIZE> b{};
    WriteReplayFrame(ReplayFrame{{0x1234, 0xABCD}}, b);
    EXPECT_EQ(b, (std::array<uint8_t, 4>{0x34, 0x12, 0xCD, 0xAB}));
    const ReplayFrame back = ReadReplayFrame(b);
    EXPECT_EQ(back.input[0], 0x1234);
    EXPECT_EQ(back.input[1], 0xABCD);
}

TEST(ReplayHeader, TextFieldsStopAtNulOrTheFieldEnd) {
    ReplayHeader h;
    std::memcpy(h.comment, "a\nb\0stale", 9);
    EXPECT_EQ(ReplayComment(h), "a\nb");
    std::memset(h.versionText, 'V', sizeof h.versionText);  // no NUL at all
    EXPECT_EQ(ReplayVersionText(h), std::string(20, 'V'));
    std::memset(h.comment, 'c', sizeof h.comment);
    EXPECT_EQ(ReplayComment(h).size(), REPLAY_COMMENT_SIZE);
}

}  // namespace
