#pragma once
#include <cstdint>
#include <memory>

namespace platform {

// The window system's glyph service as the Font uses it: text metrics of a
// face at a cell height, ABC widths, and glyph bitmaps of one character code
// (a CP932 single byte, or lead << 8 | trail).

struct TextMetrics {
    int32_t height = 0;   // cell height: ascent + descent
    int32_t ascent = 0;   // baseline to the top of the cell
    int32_t descent = 0;  // baseline to the bottom of the cell
};

struct GlyphMetrics {
    uint32_t blackBoxX = 0;  // bitmap width in pixels
    uint32_t blackBoxY = 0;  // bitmap rows
    int32_t originX = 0;     // pen to the left edge of the bitmap
    int32_t originY = 0;     // baseline up to the top row of the bitmap
    int16_t cellIncX = 0;    // pen advance
    int16_t cellIncY = 0;
};

struct AbcWidths {
    int32_t a = 0;   // pen to the glyph's left edge
    uint32_t b = 0;  // glyph width
    int32_t c = 0;   // glyph's right edge to the next pen position
};

enum GlyphFormat {
    GLYPH_BITMAP = 1,        // 1 bit a pixel, most significant bit first
    GLYPH_GRAY4_BITMAP = 5,  // 1 byte a pixel, a level from 0 to 16
};

// The Japanese faces the programs ask for, by their CP932 names: "ＭＳ ゴシック"
// and its proportional cut "ＭＳ Ｐゴシック".
inline constexpr char GOTHIC_FACE[] = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";
inline constexpr char PROPORTIONAL_GOTHIC_FACE[] = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";

// Returned when a glyph cannot be had at all.
inline constexpr uint32_t GLYPH_ERROR = 0xFFFFFFFF;

class GlyphProvider {
public:
    virtual ~GlyphProvider() = default;
    virtual TextMetrics GetTextMetrics() const = 0;
    virtual AbcWidths GetCharAbcWidths(uint16_t code) = 0;
    // Returns the bitmap's byte count (rows padded to a multiple of 4 bytes;
    // 0 for a glyph without pixels, whose black box is 1 x 1), fills metrics,
    // and writes the bitmap when buffer is not null and bufferSize holds it.
    virtual uint32_t GetGlyphOutline(uint16_t code, GlyphFormat format, GlyphMetrics* metrics, uint8_t* buffer,
                                     uint32_t bufferSize) = 0;
};

// A provider for a face named in CP932 at `height` pixels of cell height;
// null when no face can be had. The two faces the game names map to the
// Japanese Gothic faces installed here.
std::unique_ptr<GlyphProvider> CreateGlyphProvider(const char* faceName, int height, bool italic, bool bold);

}  // namespace platform
