#pragma once
#include <map>
#include <vector>

#include "platform/glyphs.h"

namespace test {

// One made-up glyph: its metrics and widths, and its pixels as grey levels
// 0-16, row by row (blackBoxX x blackBoxY; empty means every pixel 16). The
// one-bit form sets the pixels of level 8 and above.
struct FakeGlyph {
    uint32_t blackBoxX = 8;
    uint32_t blackBoxY = 10;
    int32_t originX = 1;
    int32_t originY = 9;
    platform::AbcWidths abc{1, 8, 1};
    std::vector<uint8_t> levels;
};

// A glyph provider with exact, hand-set glyphs, so that pen arithmetic,
// clipping and pixel writers can be checked without a real face. Codes
// without a glyph of their own get the default one; codes set as blank have
// no pixels (black box 1 x 1, size 0), as the window system reports spaces.
class FakeGlyphProvider : public platform::GlyphProvider {
public:
    explicit FakeGlyphProvider(platform::TextMetrics metrics = {16, 14, 2}) : metrics_(metrics) {}

    void SetGlyph(uint16_t code, const FakeGlyph& glyph) { glyphs_[code] = glyph; }
    void SetBlank(uint16_t code, platform::AbcWidths abc);
    void SetDefault(const FakeGlyph& glyph) { default_ = glyph; }

    platform::TextMetrics GetTextMetrics() const override { return metrics_; }
    platform::AbcWidths GetCharAbcWidths(uint16_t code) override;
    uint32_t GetGlyphOutline(uint16_t code, platform::GlyphFormat format, platform::GlyphMetrics* metrics,
                             uint8_t* buffer, uint32_t bufferSize) override;

    // Codes asked for by GetGlyphOutline, in order.
    std::vector<uint16_t> outlineCalls;

private:
    const FakeGlyph& Find(uint16_t code) const;

    platform::TextMetrics metrics_;
    std::map<uint16_t, FakeGlyph> glyphs_;
    std::map<uint16_t, platform::AbcWidths> blanks_;
    FakeGlyph default_;
};

}  // namespace test
