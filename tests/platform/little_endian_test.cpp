#include "platform/little_endian.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Lowest byte first, and a top bit set reads as a large unsigned value, not
// a sign-extended one.
TEST(LittleEndian, FieldsStandLowestByteFirst) {
    const struct {
        uint32_t value;
        Bytes bytes;
    } cases32[] = {
        {0x12345678u, {0x78, 0x56, 0x34, 0x12}},
        {0x80000000u, {0x00, 0x00, 0x00, 0x80}},
        {0xFFFFFFFEu, {0xFE, 0xFF, 0xFF, 0xFF}},
        {0x000000FFu, {0xFF, 0x00, 0x00, 0x00}},
    };
    for (const auto& c : cases32) {
        EXPECT_EQ(platform::ReadLe32(c.bytes.data()), c.value) << std::hex << c.value;
        Bytes written(4, 0xAA);
        platform::WriteLe32(written.data(), c.value);
        EXPECT_EQ(written, c.bytes) << std::hex << c.value;
        Bytes appended{0x01};
        platform::AppendLe32(appended, c.value);
        EXPECT_EQ(Bytes(appended.begin() + 1, appended.end()), c.bytes) << std::hex << c.value;
    }

    const struct {
        uint16_t value;
        Bytes bytes;
    } cases16[] = {{0x1234, {0x34, 0x12}}, {0x8001, {0x01, 0x80}}, {0xFFFF, {0xFF, 0xFF}}};
    for (const auto& c : cases16) {
        EXPECT_EQ(platform::ReadLe16(c.bytes.data()), c.value) << std::hex << c.value;
        Bytes written(2, 0xAA);
        platform::WriteLe16(written.data(), c.value);
        EXPECT_EQ(written, c.bytes) << std::hex << c.value;
        Bytes appended;
        platform::AppendLe16(appended, c.value);
        EXPECT_EQ(appended, c.bytes) << std::hex << c.value;
    }
}

// A write touches only its own bytes.
TEST(LittleEndian, WritesLeaveTheNeighbouringBytes) {
    Bytes b(8, 0xAA);
    platform::WriteLe32(b.data() + 2, 0);
    platform::WriteLe16(b.data() + 6, 0);
    EXPECT_EQ(b, (Bytes{0xAA, 0xAA, 0, 0, 0, 0, 0, 0}));
    b.assign(8, 0xAA);
    platform::WriteLe16(b.data() + 3, 0);
    EXPECT_EQ(b, (Bytes{0xAA, 0xAA, 0xAA, 0, 0, 0xAA, 0xAA, 0xAA}));
}

}  // namespace
