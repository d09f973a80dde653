#include "platform/cp932.h"
#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

TEST(Cp932, RoundTripsJapaneseAndKeepsAscii) {
    const std::string cp932 = "\x82\xA0\x83\x65st \x8F\x64";  // あテst 重
    const std::string utf8 = platform::Cp932ToUtf8(cp932);
    EXPECT_EQ(utf8, "\xE3\x81\x82\xE3\x83\x86st \xE9\x87\x8D");
    EXPECT_EQ(platform::Utf8ToCp932(utf8), cp932);
}

TEST(Cp932, UnencodableAndInvalidInputIsReplaced) {
    EXPECT_EQ(platform::Utf8ToCp932("a\xF0\x9F\x98\x80z"), "a?z");  // emoji
    EXPECT_EQ(platform::Utf8ToCp932("a\xFFz", '#'), "a#z");
    EXPECT_EQ(platform::Cp932ToUtf8("a\xA0z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(platform::Cp932ToUtf8("a\x82"), "a\xEF\xBF\xBD");  // lead byte at the end
}

TEST(Cp932, CharLengthStopsAtNulTrail) {
    EXPECT_EQ(platform::Cp932CharLength(std::string_view("\x82\xA0", 2)), 2u);
    EXPECT_EQ(platform::Cp932CharLength(std::string_view("\x82\0", 2)), 1u);
    EXPECT_EQ(platform::Cp932CharLength("A"), 1u);
    EXPECT_EQ(platform::Cp932CharLength(""), 0u);
}

TEST(Cp932, PrefixNeverSplitsADoubleByteCharacter) {
    const std::string text = "a\x82\xA0" "b\x83\x5C";  // aあbソ (0x5C is a trail byte here)
    const struct { size_t maxBytes; std::string_view expected; } cases[] = {
        {0, ""}, {1, "a"}, {2, "a"}, {3, "a\x82\xA0"}, {4, "a\x82\xA0" "b"},
        {5, "a\x82\xA0" "b"}, {6, text}, {100, text},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::Cp932Prefix(text, c.maxBytes), c.expected) << "max " << c.maxBytes;
    }
    // A lone lead byte at the end counts as one byte of its own.
    EXPECT_EQ(platform::Cp932Prefix("ab\x82", 3), "ab\x82");
}

TEST(InstanceLock, SecondHolderIsRefusedUntilRelease) {
    platform::InstanceLock first, second;
    const std::string name = "test-lock-\x82\xA0-" + std::to_string(::getpid());
    ASSERT_TRUE(first.Acquire(name));
    EXPECT_FALSE(second.Acquire(name));
    first.Release();
    EXPECT_TRUE(second.Acquire(name));
}

}  // namespace
