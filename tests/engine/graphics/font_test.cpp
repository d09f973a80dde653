// Font: pen arithmetic, clipping and the glyph writers against made-up glyphs.
#include "engine/graphics/font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/texture.h"
#include "tests/support/fake_glyphs.h"
#include "tests/support/recording_device.h"

namespace {

using gpu::D3D_OK;
using gpu::D3DFORMAT;
using gpu::D3DLOCKED_RECT;
using gpu::D3DSURFACE_DESC;
using gpu::RECT;

// The provider the next CreateFont gets; the test keeps a pointer to it.
test::FakeGlyphProvider* nextGlyphs = nullptr;
std::unique_ptr<platform::GlyphProvider> TakeFakeGlyphs(const char*, int, bool, bool) {
    std::unique_ptr<platform::GlyphProvider> out(nextGlyphs);
    nextGlyphs = nullptr;
    return out;
}
std::unique_ptr<platform::GlyphProvider> NoGlyphs(const char*, int, bool, bool) { return nullptr; }

class FontTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeMathTables();
        EnableTexture32Bit();
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        InitTextureList();
        InitFontList();
        glyphs = new test::FakeGlyphProvider({16, 14, 2});
        glyphs->SetBlank(' ', {0, 8, 0});
        glyphs->SetBlank('\n', {0, 0, 0});
        glyphs->SetBlank('\t', {0, 0, 0});
        glyphs->SetBlank(0x8140, {0, 16, 0});
        nextGlyphs = glyphs;
        SetGlyphProviderFactory(TakeFakeGlyphs);
        font = CreateFont(platform::GOTHIC_FACE, 16, 0, 0, nullptr);
        canvas = MakeCanvas(gpu::D3DFMT_A8R8G8B8);
        font->SetTarget(FONT_TARGET_TEXTURE, canvas);
        ASSERT_TRUE(font->BeginDC());
    }
    void TearDown() override {
        SetGlyphProviderFactory(nullptr);
        delete nextGlyphs;
        nextGlyphs = nullptr;
        DestroyFontList();
        DestroyTextureList();
        ResetGraphicsSettings();
    }
    // A 64x32 canvas of the format, cleared to zero.
    Texture* MakeCanvas(D3DFORMAT format) {
        auto* t = new Texture();
        t->width = t->imageWidth = 64;
        t->height = t->imageHeight = 32;
        t->format = format;
        EXPECT_EQ(t->CreateBackup(), 1);
        t->ready = 1;
        return t;
    }
    // Pixels of the canvas (4 or 2 bytes each).
    std::vector<uint32_t> Pixels(Texture* t) {
        void* bits;
        int pitch;
        EXPECT_EQ(t->Lock(&bits, &pitch), 1);
        const int bytes = GetFormatBytesPerPixel(t->GetFormat());
        std::vector<uint32_t> out(64 * 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x) std::memcpy(&out[y * 64 + x], static_cast<uint8_t*>(bits) + y * pitch + x * bytes, bytes);
        t->Unlock();
        return out;
    }
    // The bounding box of written pixels: left, top, right, bottom (exclusive).
    std::vector<int> InkBox(Texture* t) {
        const auto p = Pixels(t);
        int l = 64, tp = 32, r = 0, b = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x)
                if (p[y * 64 + x]) l = std::min(l, x), tp = std::min(tp, y), r = std::max(r, x + 1), b = std::max(b, y + 1);
        return {l, tp, r, b};
    }

    test::FakeGlyphProvider* glyphs = nullptr;
    Font* font = nullptr;
    Texture* canvas = nullptr;
    test::RecordingGraphics graphics;
};

TEST_F(FontTest, GlyphSitsOnTheBaselineAndThePenMovesByItsWidths) {
    // Default glyph: 8 x 10 box, origin y 9, widths A 1, B 8, C 1; ascent 14.
    EXPECT_EQ(font->DrawText(2, 3, 0xFF0000, "%s", "A"), 10);
    EXPECT_EQ(InkBox(canvas), (std::vector<int>{3, 8, 11, 18}));  // left 2 + A, top 3 + 14 - 9
    EXPECT_EQ(Pixels(canvas)[8 * 64 + 3], 0xFFFF0000u);
}

TEST_F(FontTest, LineFeedStartsTheNextLineAndOnlyItsWidthIsReturned) {
    test::FakeGlyph b;
    b.abc = {2, 5, 3};
    b.blackBoxX = 5;
    glyphs->SetGlyph('B', b);
    EXPECT_EQ(font->DrawText(0, 0, 0xFFFFFF, "A\nB"), 2 + 5 + 3);
    // B one line (16) lower, at the starting x plus its A.
    EXPECT_EQ(InkBox(canvas), (std::vector<int>{1, 5, 9, 31}));
    const auto p = Pixels(canvas);
    EXPECT_NE(p[21 * 64 + 2], 0u);
    EXPECT_EQ(p[21 * 64 + 8], 0u);
}

TEST_F(FontTest, ControlCodesMoveThePenWithoutDrawing) {
    const struct { const char* text; int width; } cases[] = {
        {"\t", 64}, {" ", 8}, {"\x81\x40", 16}, {"A\b", 8 - 16}, {" \t\x81\x40", 88},
    };
    for (const auto& c : cases) {
        canvas->Fill(0);
        glyphs->outlineCalls.clear();
        EXPECT_EQ(font->DrawTextPacked(0, 0, 0xFFFFFF, "%s", c.text), c.width) << c.text;
    }
    canvas->Fill(0);
    font->DrawText(0, 0, 0xFFFFFF, " \t\x81\x40");
    EXPECT_EQ(InkBox(canvas), (std::vector<int>{64, 32, 0, 0}));
}

TEST_F(FontTest, PackedTextSkipsTheLeftBearingAndTheRightGap) {
    EXPECT_EQ(font->DrawTextPacked(0, 0, 0xFFFFFF, "AA"), 16);
    EXPECT_EQ(InkBox(canvas), (std::vector<int>{0, 5, 16, 15}));
}

TEST_F(FontTest, GlyphsAreClippedAtTheEdgesAndWhollyOutsideOnesDrawNothing) {
    font->DrawChar(-4, -10, 0xFFFFFF, 'A');  // box from (-4, -5): lower half shows at the top
    EXPECT_EQ(InkBox(canvas), (std::vector<int>{0, 0, 4, 5}));
    canvas->Fill(0);
    font->DrawChar(70, 0, 0xFFFFFF, 'A');
    font->DrawChar(0, 40, 0xFFFFFF, 'A');
    font->DrawChar(-20, 0, 0xFFFFFF, 'A');
    EXPECT_EQ(InkBox(canvas), (std::vector<int>{64, 32, 0, 0}));
}

TEST_F(FontTest, ClipGlyphMovesTheGlyphBoxWithTheDestination) {
    DestBox dest{-3, 28, 5, 38, 0, nullptr};
    GlyphBox glyph{0, 0, 8, 10, 4, nullptr};
    EXPECT_EQ(ClipGlyph(&dest, &glyph, 64, 32), 1);
    EXPECT_EQ((std::vector<int>{dest.left, dest.top, dest.right, dest.bottom}), (std::vector<int>{0, 28, 5, 32}));
    EXPECT_EQ((std::vector<int>{glyph.x0, glyph.y0, glyph.x1, glyph.y1}), (std::vector<int>{3, 0, 8, 4}));
}

struct WriterCase {
    D3DFORMAT format;
    bool grey;
    uint8_t level;      // every pixel of the glyph
    uint32_t expected;  // what lands in the target
};
class FontWriterTest : public FontTest, public ::testing::WithParamInterface<WriterCase> {};

TEST_P(FontWriterTest, WritesThePackedColour) {
    const WriterCase& c = GetParam();
    const uint8_t levels[2] = {c.level, c.level};
    uint8_t oneBit[4] = {c.level >= 8 ? uint8_t(0xC0) : uint8_t(0), 0, 0, 0};
    // Pixels 1 and 2 of a row of three, at four bytes the widest.
    std::vector<uint8_t> target(12, 0xAA);
    DestBox dest{1, 0, 3, 1, 12, target.data()};
    GlyphBox glyph{0, 0, 2, 1, 4, c.grey ? levels : oneBit};
    WriteGlyph(c.format, c.grey, 0x80FF8040, dest, glyph);
    const int bytes = GetFormatBytesPerPixel(c.format);
    uint32_t written = 0;
    std::memcpy(&written, target.data() + bytes, bytes);
    EXPECT_EQ(written, c.expected);
    EXPECT_EQ(target[0], 0xAA);  // left of the box untouched
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FontWriterTest,
    ::testing::Values(WriterCase{gpu::D3DFMT_A8R8G8B8, false, 16, 0xFFFF8040}, WriterCase{gpu::D3DFMT_R5G6B5, false, 16, 0xFC08},
                      WriterCase{gpu::D3DFMT_X1R5G5B5, false, 16, 0xFE08}, WriterCase{gpu::D3DFMT_A4R4G4B4, false, 16, 0xFF84},
                      // Clear bits leave the target as it was.
                      WriterCase{gpu::D3DFMT_A8R8G8B8, false, 0, 0xAAAAAAAA},
                      WriterCase{gpu::D3DFMT_A8R8G8B8, true, 16, 0xFFFF8040}, WriterCase{gpu::D3DFMT_A8R8G8B8, true, 8, 0x7FFF8040},
                      WriterCase{gpu::D3DFMT_A8R8G8B8, true, 0, 0x00FF8040}, WriterCase{gpu::D3DFMT_A4R4G4B4, true, 1, 0x0F84},
                      WriterCase{gpu::D3DFMT_A4R4G4B4, true, 16, 0xFF84},
                      // Levels above 16 count as 16.
                      WriterCase{gpu::D3DFMT_A8R8G8B8, true, 200, 0xFFFF8040},
                      // Without alpha bits (the back buffer) a grey glyph is mixed into
                      // what is there, and its clear pixels leave it alone.
                      WriterCase{gpu::D3DFMT_X8R8G8B8, true, 16, 0xFFFF8040}, WriterCase{gpu::D3DFMT_X8R8G8B8, true, 8, 0xFFD49676},
                      WriterCase{gpu::D3DFMT_X8R8G8B8, true, 0, 0xAAAAAAAA}, WriterCase{gpu::D3DFMT_X4R4G4B4, true, 16, 0xFF84},
                      WriterCase{gpu::D3DFMT_X4R4G4B4, true, 8, 0xFCA8}, WriterCase{gpu::D3DFMT_X4R4G4B4, true, 0, 0xAAAA}));

TEST_F(FontTest, SmoothTextOnAnAlphaCanvasHasAlphaOnlyWhereTheGlyphIs) {
    test::FakeGlyph g;
    g.blackBoxX = 2;
    g.blackBoxY = 1;
    g.originY = 14;
    g.abc = {0, 2, 0};
    g.levels = {16, 0};
    glyphs->SetGlyph('x', g);
    Texture* a4 = MakeCanvas(gpu::D3DFMT_A4R4G4B4);
    font->SetTarget(FONT_TARGET_TEXTURE, a4);
    a4->Fill(0x00FFFFFF);
    font->DrawTextSmooth(0, 0, 0x00FF0000, "x");
    const auto p = Pixels(a4);
    EXPECT_EQ(p[0], 0xFF00u);
    EXPECT_EQ(p[1], 0x0F00u);  // level 0 is written too: alpha 0 in the text colour
    EXPECT_EQ(p[2], 0xFFFFu);
}

TEST_F(FontTest, SmoothTextOnATargetWithoutGreyWritersDrawsAsPlainText) {
    Texture* plain = MakeCanvas(gpu::D3DFMT_R5G6B5);
    Texture* smooth = MakeCanvas(gpu::D3DFMT_R5G6B5);
    font->SetTarget(FONT_TARGET_TEXTURE, plain);
    const int plainWidth = font->DrawText(3, 2, 0x00FF8040, "AB");
    font->SetTarget(FONT_TARGET_TEXTURE, smooth);
    EXPECT_EQ(font->DrawTextSmooth(3, 2, 0x00FF8040, "AB"), plainWidth);
    EXPECT_EQ(Pixels(plain), Pixels(smooth));
    EXPECT_NE(InkBox(plain)[0], 64);
}

TEST_F(FontTest, LongTextIsDrawnWholeWithoutOverrunning) {
    const std::string text(300, 'A');
    EXPECT_EQ(font->DrawTextPacked(0, 0, 0xFFFFFF, "%s", text.c_str()), 300 * 8);
    EXPECT_EQ(glyphs->outlineCalls.size(), 300u * 3);  // width, size, bitmap
}

TEST_F(FontTest, LeadByteAtTheEndOfTheTextStopsTheWalk) {
    EXPECT_EQ(font->DrawTextPacked(0, 0, 0xFFFFFF, "A\x82"), 16);
}

TEST_F(FontTest, SettingTheSameTargetAgainKeepsItAlive) {
    canvas->AddRef();
    font->SetTarget(FONT_TARGET_TEXTURE, canvas);
    EXPECT_EQ(canvas->refCount, 3);  // the test's, the extra one, the font's
    canvas->Release();
    font->SetTarget(FONT_TARGET_BACKBUFFER, nullptr);
    EXPECT_EQ(canvas->refCount, 1);
}

TEST_F(FontTest, FontWithoutAFaceCannotBeginAndDrawsNothing) {
    SetGlyphProviderFactory(NoGlyphs);
    Font* none = CreateFont("none", 16, 0, 0, nullptr);
    none->SetTarget(FONT_TARGET_TEXTURE, canvas);
    EXPECT_FALSE(none->BeginDC());
    EXPECT_EQ(none->DrawText(0, 0, 0xFFFFFF, "A"), 0);
    EXPECT_EQ(InkBox(canvas), (std::vector<int>{64, 32, 0, 0}));
}

TEST_F(FontTest, GreyTableSpreadsSeventeenLevels) {
    EXPECT_EQ(greyTable[0], 0);
    EXPECT_EQ(greyTable[1], 15);
    EXPECT_EQ(greyTable[8], 127);
    EXPECT_EQ(greyTable[16], 255);
}

}  // namespace
