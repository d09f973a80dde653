#include "tests/support/fake_glyphs.h"

#include <cstring>

namespace test {

void FakeGlyphProvider::SetBlank(uint16_t code, platform::AbcWidths abc) {
    glyphs_.erase(code);
    blanks_[code] = abc;
}

const FakeGlyph& FakeGlyphProvider::Find(uint16_t code) const {
    auto it = glyphs_.find(code);
    return it == glyphs_.end() ? default_ : it->second;
}

platform::AbcWidths FakeGlyphProvider::GetCharAbcWidths(uint16_t code) {
    auto blank = blanks_.find(code);
    return blank != blanks_.end() ? blank->second : Find(code).abc;
}

uint32_t FakeGlyphProvider::GetGlyphOutline(uint16_t code, platform::GlyphFormat format,
                                            platform::GlyphMetrics* metrics, uint8_t* buffer, uint32_t bufferSize) {
    outlineCalls.push_back(code);
    auto blank = blanks_.find(code);
    if (blank != blanks_.end()) {
        if (metrics) *metrics = {1, 1, 0, 0, static_cast<int16_t>(blank->second.a + blank->second.b + blank->second.c), 0};
        return 0;
    }
    const FakeGlyph& g = Find(code);
    if (metrics)
        *metrics = {g.blackBoxX, g.blackBoxY, g.originX, g.originY,
                    static_cast<int16_t>(g.abc.a + static_cast<int32_t>(g.abc.b) + g.abc.c), 0};
    bool mono = format == platform::GLYPH_BITMAP;
    uint32_t stride = mono ? (g.blackBoxX + 31) / 32 * 4 : (g.blackBoxX + 3) / 4 * 4;
    uint32_t size = stride * g.blackBoxY;
    if (!buffer || bufferSize < size) return size;
    std::memset(buffer, 0, size);
    for (uint32_t y = 0; y < g.blackBoxY; ++y)
        for (uint32_t x = 0; x < g.blackBoxX; ++x) {
            uint8_t level = g.levels.empty() ? 16 : g.levels[y * g.blackBoxX + x];
            if (!mono) buffer[y * stride + x] = level;
            else if (level >= 8) buffer[y * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    return size;
}

}  // namespace test
