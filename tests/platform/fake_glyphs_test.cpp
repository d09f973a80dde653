#include "tests/support/fake_glyphs.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

// The fake must keep the glyph layer's bitmap contract, or tests built on it
// would check the wrong arithmetic.
TEST(FakeGlyphProvider, KeepsTheBitmapLayoutOfTheGlyphLayer) {
    test::FakeGlyphProvider glyphs;
    test::FakeGlyph g;
    g.blackBoxX = 10;
    g.blackBoxY = 2;
    g.levels.assign(20, 0);
    g.levels[0] = 16;  // row 0, column 0
    g.levels[9] = 8;   // row 0, column 9
    g.levels[11] = 7;  // row 1, column 1: below the one-bit threshold
    glyphs.SetGlyph('x', g);

    GlyphMetrics gm;
    std::vector<uint8_t> mono(glyphs.GetGlyphOutline('x', GLYPH_BITMAP, &gm, nullptr, 0));
    ASSERT_EQ(mono.size(), 8u);  // rows padded to four bytes
    glyphs.GetGlyphOutline('x', GLYPH_BITMAP, &gm, mono.data(), 8);
    EXPECT_EQ(mono, (std::vector<uint8_t>{0x80, 0x40, 0, 0, 0, 0, 0, 0}));

    std::vector<uint8_t> grey(glyphs.GetGlyphOutline('x', GLYPH_GRAY4_BITMAP, &gm, nullptr, 0));
    ASSERT_EQ(grey.size(), 24u);
    glyphs.GetGlyphOutline('x', GLYPH_GRAY4_BITMAP, &gm, grey.data(), 24);
    EXPECT_EQ(grey[0], 16);
    EXPECT_EQ(grey[9], 8);
    EXPECT_EQ(grey[12 + 1], 7);
    EXPECT_EQ(gm.blackBoxX, 10u);

    glyphs.SetBlank(' ', {0, 4, 4});
    EXPECT_EQ(glyphs.GetGlyphOutline(' ', GLYPH_BITMAP, &gm, nullptr, 0), 0u);
    EXPECT_EQ(gm.blackBoxX, 1u);
    EXPECT_EQ(gm.cellIncX, 8);
    EXPECT_EQ(glyphs.outlineCalls, (std::vector<uint16_t>{'x', 'x', 'x', 'x', ' '}));
}

}  // namespace
