#include <gtest/gtest.h>

#include <string>

#include "engine/core/text_input.h"

namespace {

// The ring with an input context, as a Windows window with an IME has one.
class TypedTextTest : public testing::Test {
protected:
    void SetUp() override {
        InitTextInput();
        typedTextContext = &fakeContext;
    }
    void TearDown() override { typedTextContext = nullptr; }

    static void Type(const std::string& bytes) {
        for (unsigned char c : bytes) AddTypedChar(c);
    }
    static std::string Text() {
        char out[kTypedTextMaxLength + 1];
        GetTypedText(out, sizeof out);
        return out;
    }

    int fakeContext = 0;
};

TEST(TypedTextWithoutContext, LinuxWindowsHaveNoInputContextSoNothingIsCollected) {
    InitTextInput();
    EXPECT_EQ(typedTextContext, nullptr);
    AddTypedChar('a');
    char out[8];
    EXPECT_EQ(GetTypedText(out, sizeof out), 0);
    ShutdownTextInput();
}

TEST_F(TypedTextTest, KeepsAtMost256BytesAndDropsTheRest) {
    for (int i = 0; i < 300; ++i) AddTypedChar('a' + i % 26);
    std::string text = Text();
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(text[255], 'a' + 255 % 26);
    EXPECT_EQ(typedTextStart, 0);
}

TEST_F(TypedTextTest, EnterAndEscapeAreIgnored) {
    Type("ab\r\x1b" "c");
    EXPECT_EQ(Text(), "abc");
}

TEST_F(TypedTextTest, BackspaceRemovesTheLastCharacterWholeWithItsTrailByte) {
    const struct {
        std::string typed;
        std::string left;
    } cases[] = {
        {"a\x82\xa0", "a"},           // a two-byte character goes whole
        {"\x82\xa0" "b", "\x82\xa0"},  // a one-byte character after it
        {"ab", "a"},
        {"\xb1\xb2", "\xb1"},         // half-width katakana are single bytes
        {"a\x82\x5c", "a"},            // 0x5C is a trail byte here, not a character
    };
    for (const auto& c : cases) {
        InitTextInput();
        typedTextContext = &fakeContext;
        Type(c.typed + "\b");
        EXPECT_EQ(Text(), c.left) << c.typed;
    }
}

TEST_F(TypedTextTest, BackspaceOnOneByteEmptiesTheRingAndRestartsIt) {
    typedTextStart = 4090;
    Type("x\b");
    EXPECT_EQ(typedTextStart, 0);
    EXPECT_EQ(Text(), "");
    Type("\b");  // nothing to erase
    EXPECT_EQ(Text(), "");
    Type("yz");
    EXPECT_EQ(Text(), "yz");
}

TEST_F(TypedTextTest, TextWrapsAroundTheEndOfTheRing) {
    typedTextStart = 4093;
    Type("abcdef");
    EXPECT_EQ(Text(), "abcdef");
    EXPECT_EQ(typedText[0], 'd');
    Type("\b\b");
    EXPECT_EQ(Text(), "abcd");
}

TEST_F(TypedTextTest, ShutdownDropsTheContext) {
    ShutdownTextInput();
    AddTypedChar('a');
    EXPECT_EQ(Text(), "");
}

}  // namespace
