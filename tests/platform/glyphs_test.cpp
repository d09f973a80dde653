#include "platform/glyphs.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/cp932.h"

namespace {

using namespace platform;

constexpr uint16_t HIRAGANA_A = 0x82A0;

std::unique_ptr<GlyphProvider> Make(const char* face, int height, bool bold = false) {
    auto provider = CreateGlyphProvider(face, height, false, bold);
    EXPECT_NE(provider, nullptr) << "the Japanese Gothic face must be installed";
    return provider;
}

int SetBits(const std::vector<uint8_t>& mono) {
    int n = 0;
    for (uint8_t b : mono) n += __builtin_popcount(b);
    return n;
}

TEST(Glyphs, FaceNamesSpellTheJapaneseGothicFaces) {
    EXPECT_EQ(Cp932ToUtf8(GOTHIC_FACE), "ＭＳ ゴシック");
    EXPECT_EQ(Cp932ToUtf8(PROPORTIONAL_GOTHIC_FACE), "ＭＳ Ｐゴシック");
}

TEST(Glyphs, CellHeightIsTheHeightAsked) {
    for (int height : {14, 16, 24}) {
        auto glyphs = Make(GOTHIC_FACE, height);
        ASSERT_TRUE(glyphs);
        TextMetrics m = glyphs->GetTextMetrics();
        EXPECT_EQ(m.height, height);
        EXPECT_EQ(m.ascent + m.descent, height);
        EXPECT_GT(m.ascent, height / 2);
    }
}

TEST(Glyphs, KanaHasAOneBitAndAGreyGlyphInsideTheCell) {
    auto glyphs = Make(GOTHIC_FACE, 16);
    ASSERT_TRUE(glyphs);
    TextMetrics tm = glyphs->GetTextMetrics();
    GlyphMetrics gm;
    uint32_t size = glyphs->GetGlyphOutline(HIRAGANA_A, GLYPH_BITMAP, &gm, nullptr, 0);
    ASSERT_NE(size, GLYPH_ERROR);
    ASSERT_GT(size, 0u);
    EXPECT_GT(gm.blackBoxX, 4u);
    EXPECT_LE(gm.blackBoxX, 16u);
    EXPECT_LE(gm.blackBoxY, 16u);
    EXPECT_LE(gm.originY, tm.ascent);
    ASSERT_EQ(size % gm.blackBoxY, 0u);
    EXPECT_EQ(size / gm.blackBoxY % 4, 0u);  // rows padded to four bytes
    std::vector<uint8_t> mono(size);
    ASSERT_EQ(glyphs->GetGlyphOutline(HIRAGANA_A, GLYPH_BITMAP, &gm, mono.data(), size), size);
    EXPECT_GT(SetBits(mono), 10);

    uint32_t greySize = glyphs->GetGlyphOutline(HIRAGANA_A, GLYPH_GRAY4_BITMAP, &gm, nullptr, 0);
    ASSERT_EQ(greySize % gm.blackBoxY, 0u);
    uint32_t stride = greySize / gm.blackBoxY;
    EXPECT_EQ(stride % 4, 0u);
    EXPECT_GE(stride, gm.blackBoxX);
    std::vector<uint8_t> grey(greySize);
    glyphs->GetGlyphOutline(HIRAGANA_A, GLYPH_GRAY4_BITMAP, &gm, grey.data(), greySize);
    int top = 0, partial = 0;
    for (uint8_t level : grey) {
        EXPECT_LE(level, 16);
        top += level == 16;
        partial += level > 0 && level < 16;
    }
    EXPECT_GT(top, 0);
    EXPECT_GT(partial, 0);
}

TEST(Glyphs, TooSmallBufferIsLeftAloneButTheSizeIsReported) {
    auto glyphs = Make(GOTHIC_FACE, 16);
    ASSERT_TRUE(glyphs);
    GlyphMetrics gm;
    uint32_t size = glyphs->GetGlyphOutline('A', GLYPH_GRAY4_BITMAP, &gm, nullptr, 0);
    std::vector<uint8_t> buffer(size - 1, 0xEE);
    EXPECT_EQ(glyphs->GetGlyphOutline('A', GLYPH_GRAY4_BITMAP, &gm, buffer.data(), size - 1), size);
    EXPECT_EQ(buffer, std::vector<uint8_t>(size - 1, 0xEE));
}

TEST(Glyphs, SpaceHasNoPixelsButAnAdvance) {
    auto glyphs = Make(GOTHIC_FACE, 16);
    ASSERT_TRUE(glyphs);
    GlyphMetrics gm;
    EXPECT_EQ(glyphs->GetGlyphOutline(' ', GLYPH_BITMAP, &gm, nullptr, 0), 0u);
    EXPECT_EQ(gm.blackBoxX, 1u);
    EXPECT_EQ(gm.blackBoxY, 1u);
    AbcWidths abc = glyphs->GetCharAbcWidths(' ');
    EXPECT_EQ(abc.a + static_cast<int>(abc.b) + abc.c, 8);  // half-width cell
    abc = glyphs->GetCharAbcWidths(HIRAGANA_A);
    EXPECT_EQ(abc.a + static_cast<int>(abc.b) + abc.c, 16);  // full-width cell
}

TEST(Glyphs, GothicIsFixedPitchAndPGothicProportional) {
    auto fixed = Make(GOTHIC_FACE, 24);
    auto proportional = Make(PROPORTIONAL_GOTHIC_FACE, 24);
    ASSERT_TRUE(fixed && proportional);
    auto advance = [](GlyphProvider& g, uint16_t code) {
        AbcWidths abc = g.GetCharAbcWidths(code);
        return abc.a + static_cast<int>(abc.b) + abc.c;
    };
    EXPECT_EQ(advance(*fixed, 'i'), advance(*fixed, 'W'));
    EXPECT_LT(advance(*proportional, 'i'), advance(*proportional, 'W'));
}

TEST(Glyphs, BoldGlyphsAreHeavier) {
    auto regular = Make(GOTHIC_FACE, 24);
    auto bold = Make(GOTHIC_FACE, 24, true);
    ASSERT_TRUE(regular && bold);
    auto bits = [](GlyphProvider& g) {
        GlyphMetrics gm;
        std::vector<uint8_t> mono(g.GetGlyphOutline(HIRAGANA_A, GLYPH_BITMAP, &gm, nullptr, 0));
        g.GetGlyphOutline(HIRAGANA_A, GLYPH_BITMAP, &gm, mono.data(), static_cast<uint32_t>(mono.size()));
        return SetBits(mono);
    };
    EXPECT_GT(bits(*bold), bits(*regular));
}

TEST(Glyphs, UnknownFaceFallsBackToAJapaneseFaceAndBadHeightsGetNone) {
    auto glyphs = Make("NoSuchFace", 16);
    ASSERT_TRUE(glyphs);
    GlyphMetrics gm;
    EXPECT_GT(glyphs->GetGlyphOutline(HIRAGANA_A, GLYPH_BITMAP, &gm, nullptr, 0), 0u);
    EXPECT_EQ(CreateGlyphProvider(GOTHIC_FACE, 0, false, false), nullptr);
    EXPECT_EQ(glyphs->GetGlyphOutline('A', static_cast<GlyphFormat>(2), &gm, nullptr, 0), GLYPH_ERROR);
}

}  // namespace
