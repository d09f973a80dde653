#include <gtest/gtest.h>

#include "engine/core/sjis.h"

namespace {

TEST(SjisTest, LeadBytesAreTheTwoDoubleByteRanges) {
    const struct {
        unsigned char byte;
        int lead;
    } cases[] = {{0x00, 0}, {0x41, 0}, {0x80, 0}, {0x81, 1}, {0x9F, 1}, {0xA0, 0},
                 {0xDF, 0}, {0xE0, 1}, {0xFE, 1}, {0xFF, 0}};
    for (const auto& c : cases) EXPECT_EQ(IsSjisLeadByte(c.byte), c.lead) << std::hex << int(c.byte);
}

TEST(SjisTest, ReadSjisCharGivesTheCodeAndLength) {
    const struct {
        unsigned char text[3];
        uint16_t code;
        int length;
    } cases[] = {
        {{0x82, 0xA0, 0}, 0x82A0, 2},  // a hiragana
        {{0xB1, 0x41, 0}, 0xB1, 1},    // a half-width katakana
        {{0x41, 0x82, 0}, 0x41, 1},
        {{0x80, 0x41, 0}, 0x80, 1},
        {{0xFF, 0x41, 0}, 0xFF, 1},
        {{0xFD, 0x40, 0}, 0xFD40, 2},  // not a lead byte, yet read as a pair
        {{0x82, 0x00, 0}, 0x82, 1},    // a lead byte at the end stops there
    };
    for (const auto& c : cases) {
        uint16_t code = 0;
        EXPECT_EQ(ReadSjisChar(c.text, &code), c.length) << std::hex << int(c.text[0]);
        EXPECT_EQ(code, c.code) << std::hex << int(c.text[0]);
    }
}

}  // namespace
