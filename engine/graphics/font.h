#pragma once
// Shift-JIS text drawn glyph by glyph straight into locked pixel memory: the
// back buffer, a Texture's backup or a Surface. Glyphs come from the window
// system's glyph service as 1-bit or 17-level grey bitmaps.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/resource.h"
#include "platform/glyphs.h"
#include "platform/gpu_device.h"

extern ResourceList fontList;
// greyTable[level] = (int)(level x 15.9375): the alpha of a grey glyph level 0-16.
extern uint8_t greyTable[17];

enum FontTarget {
    FONT_TARGET_BACKBUFFER = 0,
    FONT_TARGET_TEXTURE = 1,
    FONT_TARGET_SURFACE = 2,
};

// Where a glyph goes in the locked target (pixels) and which part of the
// glyph bitmap is drawn.
struct DestBox {
    int32_t left, top, right, bottom;
    int32_t pitch;
    void* bits;
};
struct GlyphBox {
    int32_t x0, y0, x1, y1;
    int32_t stride;  // bytes per glyph row
    const uint8_t* bits;
};

// Cuts the glyph to a width x height target. 1 when right >= left and
// bottom >= top afterwards (an empty box counts), else 0.
int ClipGlyph(DestBox* dest, GlyphBox* glyph, int width, int height);
// Writes a 1-bit (grey false) or grey glyph in colour 0xAARRGGBB into a
// target of the format; formats without a writer are left alone.
void WriteGlyph(gpu::D3DFORMAT format, bool grey, uint32_t colour, const DestBox& dest, const GlyphBox& glyph);

class Font : public ResourceObject {
public:
    Font(std::unique_ptr<platform::GlyphProvider> glyphs, int height);
    ~Font() override;

    // The target of later draws; a Texture or Surface is held by one
    // reference until another target replaces it.
    void SetTarget(FontTarget kind, ResourceObject* object);
    // Selects the face for drawing; false when no face could be had.
    bool BeginDC();
    void EndDC();

    void DrawChar(int x, int y, uint32_t colour, uint16_t code);
    void DrawCharSmooth(int x, int y, uint32_t colour, uint16_t code);
    // Each returns the width of the last line drawn (0 when the target cannot
    // be locked). Pass texts from files as the argument of "%s".
    int DrawText(int x, int y, uint32_t colour, const char* format, ...) __attribute__((format(printf, 5, 6)));
    int DrawTextSmooth(int x, int y, uint32_t colour, const char* format, ...) __attribute__((format(printf, 5, 6)));
    int DrawTextPacked(int x, int y, uint32_t colour, const char* format, ...) __attribute__((format(printf, 5, 6)));
    int DrawTextPackedSmooth(int x, int y, uint32_t colour, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    // The glyph's black-box width; abc gets the ABC widths, B at least that.
    uint32_t GetCharWidth(uint16_t code, platform::AbcWidths* abc);

    const platform::TextMetrics& GetMetrics() const { return metrics; }
    gpu::D3DFORMAT GetTargetFormat() const { return targetFormat; }
    bool IsGreyCapable() const { return greyCapable; }

private:
    int LockTarget(void** bits, int* pitch);
    void UnlockTarget();
    void DrawGlyph(void* bits, int pitch, int left, int penY, uint32_t colour, uint16_t code, bool grey);
    void DrawOneChar(int x, int y, uint32_t colour, uint16_t code, bool grey);
    int DrawFormatted(int x, int y, uint32_t colour, const char* text, bool packed, bool grey);

    std::unique_ptr<platform::GlyphProvider> glyphs;
    bool dcOpen = false;
    platform::TextMetrics metrics;
    std::vector<uint8_t> workBuffer;
    ResourceObject* target = nullptr;
    gpu::D3DFORMAT targetFormat = gpu::D3DFMT_UNKNOWN;
    FontTarget targetKind = FONT_TARGET_BACKBUFFER;
    int targetWidth = 0, targetHeight = 0;
    bool greyCapable = false;
};

// A font of a face named in CP932 at a cell height; drawing starts on the
// back buffer. Returned even when the face cannot be had (BeginDC then fails).
Font* CreateFont(const char* faceName, int height, int italic, int bold, ProgressCallback progress);

// Where CreateFont takes its glyphs from (tests); null restores the platform's.
using GlyphProviderFactory = std::unique_ptr<platform::GlyphProvider> (*)(const char* faceName, int height,
                                                                          bool italic, bool bold);
void SetGlyphProviderFactory(GlyphProviderFactory factory);

int InitFontList();
void DestroyFontList();
