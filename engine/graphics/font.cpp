#include "engine/graphics/font.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/core/log.h"
#include "engine/core/sjis.h"
#include "engine/graphics/device.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"

using gpu::D3DFORMAT;

ResourceList fontList;
uint8_t greyTable[17] = {0, 15, 31, 47, 63, 79, 95, 111, 127, 143, 159, 175, 191, 207, 223, 239, 255};

namespace {

// The object size the creation log prints.
constexpr unsigned kFontObjectBytes = 116;
constexpr uint16_t kLineFeed = 10, kTab = 9, kBackspace = 8, kSpace = 32, kFullWidthSpace = 0x8140;

GlyphProviderFactory glyphFactory = nullptr;

bool HasGreyWriter(D3DFORMAT f) {
    return f == gpu::D3DFMT_A8R8G8B8 || f == gpu::D3DFMT_X8R8G8B8 || f == gpu::D3DFMT_A4R4G4B4 || f == gpu::D3DFMT_X4R4G4B4;
}

bool DrawsNothing(uint16_t code) {
    return code == kLineFeed || code == kTab || code == kBackspace || code == kSpace || code == kFullWidthSpace;
}

// The pixel each writer puts down for a set 1-bit glyph pixel, or for a grey
// level; 0 with `ok` false for a format without a writer.
bool PixelFor(D3DFORMAT format, bool grey, uint32_t colour, int level, uint32_t* out) {
    const uint32_t r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
    const uint32_t alpha = greyTable[std::clamp(level, 0, 16)];
    switch (format) {
    case gpu::D3DFMT_A8R8G8B8:
    case gpu::D3DFMT_X8R8G8B8:
        *out = grey ? alpha << 24 | (colour & 0xFFFFFF) : colour | 0xFF000000u;
        return true;
    case gpu::D3DFMT_A4R4G4B4:
    case gpu::D3DFMT_X4R4G4B4:
        *out = (grey ? (alpha >> 4) << 12 : 0xF000) | (r >> 4) << 8 | (g >> 4) << 4 | b >> 4;
        return true;
    case gpu::D3DFMT_R5G6B5:
        *out = (r & 0xF8) << 8 | (g >> 2) << 5 | b >> 3;
        return !grey;
    case gpu::D3DFMT_X1R5G5B5:
    case gpu::D3DFMT_A1R5G5B5:
        *out = 0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
        return !grey;
    default:
        return false;
    }
}

// Formats whose alpha bits are padding: the screen shows every pixel, so a
// grey glyph is mixed into what is there instead of carrying its level as
// alpha (which would show the glyph's whole box in the text colour).
bool IgnoresAlpha(D3DFORMAT f) { return f == gpu::D3DFMT_X8R8G8B8 || f == gpu::D3DFMT_X4R4G4B4; }

// The target pixel with the colour mixed in at grey level `level`.
uint32_t MixedPixel(D3DFORMAT format, uint32_t colour, int level, uint32_t target) {
    const uint32_t alpha = greyTable[std::clamp(level, 0, 16)];
    const int bits = format == gpu::D3DFMT_X8R8G8B8 ? 8 : 4, mask = (1 << bits) - 1;
    uint32_t out = format == gpu::D3DFMT_X8R8G8B8 ? 0xFF000000u : 0xF000u;
    for (int channel = 0; channel < 3; ++channel) {
        const int from = static_cast<int>(target >> (bits * channel)) & mask;
        const int to = static_cast<int>(colour >> (8 * channel + 8 - bits)) & mask;
        out |= static_cast<uint32_t>(from + (to - from) * static_cast<int>(alpha) / 255) << (bits * channel);
    }
    return out;
}

}  // namespace

int ClipGlyph(DestBox* dest, GlyphBox* glyph, int width, int height) {
    if (dest->left < 0) { glyph->x0 -= dest->left; dest->left = 0; }
    if (dest->right > width) { glyph->x1 -= dest->right - width; dest->right = width; }
    if (dest->top < 0) { glyph->y0 -= dest->top; dest->top = 0; }
    if (dest->bottom > height) { glyph->y1 -= dest->bottom - height; dest->bottom = height; }
    return dest->right >= dest->left && dest->bottom >= dest->top ? 1 : 0;
}

void WriteGlyph(D3DFORMAT format, bool grey, uint32_t colour, const DestBox& dest, const GlyphBox& glyph) {
    uint32_t solid = 0;
    if (!PixelFor(format, grey, colour, 16, &solid)) return;
    const int bytes = (format == gpu::D3DFMT_A8R8G8B8 || format == gpu::D3DFMT_X8R8G8B8) ? 4 : 2;
    for (int y = glyph.y0; y < glyph.y1; ++y) {
        const uint8_t* row = glyph.bits + static_cast<size_t>(y) * glyph.stride;
        auto* out = static_cast<uint8_t*>(dest.bits) + static_cast<size_t>(dest.top + y - glyph.y0) * dest.pitch;
        for (int x = glyph.x0; x < glyph.x1; ++x) {
            uint8_t* place = out + static_cast<size_t>(dest.left + x - glyph.x0) * bytes;
            uint32_t pixel = solid;
            if (grey && IgnoresAlpha(format)) {
                if (row[x] == 0) continue;
                uint32_t target = 0;
                std::memcpy(&target, place, bytes);
                pixel = MixedPixel(format, colour, row[x], target);
            } else if (grey) {
                PixelFor(format, true, colour, row[x], &pixel);
            } else if (!(row[x / 8] & (0x80 >> (x % 8)))) {
                continue;
            }
            std::memcpy(place, &pixel, bytes);
        }
    }
}

Font::Font(std::unique_ptr<platform::GlyphProvider> provider, int height) : glyphs(std::move(provider)) {
    WriteLogText("○ CreateFont    / ID [0x%08X] / ", static_cast<unsigned>(reinterpret_cast<uintptr_t>(this)));
    SetTarget(FONT_TARGET_BACKBUFFER, nullptr);
    // Room for the largest glyph of the height, in whole pages.
    const size_t side = static_cast<size_t>(std::max(height, 0)) * 3 / 2;
    workBuffer.assign((side * side + 4095) / 4096 * 4096, 0);
    fontList.PushBack(this);
}

Font::~Font() {
    WriteLogText("● ReleaseFont  / ID [0x%08X]\n", static_cast<unsigned>(reinterpret_cast<uintptr_t>(this)));
    if (target) target->Release();
}

void Font::SetTarget(FontTarget kind, ResourceObject* object) {
    if (kind != FONT_TARGET_BACKBUFFER && object) object->AddRef();
    else object = nullptr;
    if (target) target->Release();
    target = object;
    targetKind = object ? kind : FONT_TARGET_BACKBUFFER;
    if (targetKind == FONT_TARGET_TEXTURE) {
        auto* t = static_cast<Texture*>(object);
        targetFormat = t->GetFormat(), targetWidth = t->GetWidth(), targetHeight = t->GetHeight();
    } else if (targetKind == FONT_TARGET_SURFACE) {
        auto* s = static_cast<Surface*>(object);
        targetFormat = s->GetFormat(), targetWidth = s->GetWidth(), targetHeight = s->GetHeight();
    } else {
        targetFormat = GetBackBufferFormat();
        GetGraphicsHost().ScreenSize(&targetWidth, &targetHeight);
    }
    greyCapable = HasGreyWriter(targetFormat);
}

bool Font::BeginDC() {
    if (!glyphs) return false;
    metrics = glyphs->GetTextMetrics();
    dcOpen = true;
    return true;
}

void Font::EndDC() { dcOpen = false; }

int Font::LockTarget(void** bits, int* pitch) {
    if (!dcOpen) return 0;
    switch (targetKind) {
    case FONT_TARGET_TEXTURE: return static_cast<Texture*>(target)->Lock(bits, pitch);
    case FONT_TARGET_SURFACE: return static_cast<Surface*>(target)->Lock(bits, pitch);
    default:
        if (!LockBackBuffer(bits, pitch)) return 0;
        GetGraphicsHost().ScreenSize(&targetWidth, &targetHeight);
        return 1;
    }
}

void Font::UnlockTarget() {
    switch (targetKind) {
    case FONT_TARGET_TEXTURE: static_cast<Texture*>(target)->Unlock(); break;
    case FONT_TARGET_SURFACE: static_cast<Surface*>(target)->Unlock(); break;
    default: UnlockBackBuffer(); break;
    }
}

uint32_t Font::GetCharWidth(uint16_t code, platform::AbcWidths* abc) {
    if (!glyphs) {
        *abc = {};
        return 0;
    }
    *abc = glyphs->GetCharAbcWidths(code);
    platform::GlyphMetrics m;
    glyphs->GetGlyphOutline(code, platform::GLYPH_GRAY4_BITMAP, &m, nullptr, 0);
    abc->b = std::max(abc->b, m.blackBoxX);
    return m.blackBoxX;
}

void Font::DrawGlyph(void* bits, int pitch, int left, int penY, uint32_t colour, uint16_t code, bool grey) {
    platform::GlyphMetrics m;
    const platform::GlyphFormat format = grey ? platform::GLYPH_GRAY4_BITMAP : platform::GLYPH_BITMAP;
    const uint32_t size = glyphs->GetGlyphOutline(code, format, &m, nullptr, 0);
    // A glyph that cannot be had, has no rows or would overrun the buffer is skipped.
    if (size == platform::GLYPH_ERROR || size == 0 || size > workBuffer.size() || m.blackBoxY == 0) return;
    if (glyphs->GetGlyphOutline(code, format, &m, workBuffer.data(), size) != size) return;
    const int32_t stride = static_cast<int32_t>(size / m.blackBoxY) & ~3;
    GlyphBox glyph{0, 0, static_cast<int32_t>(m.blackBoxX), static_cast<int32_t>(m.blackBoxY), stride,
                   workBuffer.data()};
    const int top = penY + metrics.ascent - m.originY;
    DestBox dest{left, top, left + static_cast<int32_t>(m.blackBoxX), top + static_cast<int32_t>(m.blackBoxY), pitch,
                 bits};
    if (ClipGlyph(&dest, &glyph, targetWidth, targetHeight)) WriteGlyph(targetFormat, grey, colour, dest, glyph);
}

void Font::DrawOneChar(int x, int y, uint32_t colour, uint16_t code, bool grey) {
    void* bits = nullptr;
    int pitch = 0;
    if (!glyphs || !LockTarget(&bits, &pitch)) return;
    platform::AbcWidths abc;
    GetCharWidth(code, &abc);
    if (!DrawsNothing(code)) DrawGlyph(bits, pitch, x, y, colour, code, grey && greyCapable);
    UnlockTarget();
}

void Font::DrawChar(int x, int y, uint32_t colour, uint16_t code) { DrawOneChar(x, y, colour, code, false); }
void Font::DrawCharSmooth(int x, int y, uint32_t colour, uint16_t code) { DrawOneChar(x, y, colour, code, true); }

int Font::DrawFormatted(int x, int y, uint32_t colour, const char* text, bool packed, bool grey) {
    void* bits = nullptr;
    int pitch = 0;
    if (!glyphs || !LockTarget(&bits, &pitch)) return 0;
    grey = grey && greyCapable;
    int penX = x, penY = y;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    while (*s) {
        uint16_t code = 0;
        s += ReadSjisChar(s, &code);
        platform::AbcWidths abc;
        GetCharWidth(code, &abc);
        if (!packed) penX += abc.a;
        switch (code) {
        case kLineFeed: penY += metrics.height; penX = x; break;
        case kTab: penX += 4 * metrics.height; break;
        case kBackspace: penX -= metrics.height; break;
        case kSpace: penX += metrics.height / 2; break;
        case kFullWidthSpace: penX += metrics.height; break;
        default:
            DrawGlyph(bits, pitch, penX, penY, colour, code, grey);
            penX += static_cast<int>(abc.b) + (packed ? 0 : abc.c);
            break;
        }
    }
    UnlockTarget();
    return penX - x;
}

namespace {

// The formatted text, whatever its length.
std::string FormatText(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace

#define FONT_TEXT_OPERATION(name, packed, grey)                                  \
    int Font::name(int x, int y, uint32_t colour, const char* format, ...) {     \
        va_list args;                                                            \
        va_start(args, format);                                                  \
        const std::string text = FormatText(format, args);                       \
        va_end(args);                                                            \
        return DrawFormatted(x, y, colour, text.c_str(), packed, grey);          \
    }
FONT_TEXT_OPERATION(DrawText, false, false)
FONT_TEXT_OPERATION(DrawTextSmooth, false, true)
FONT_TEXT_OPERATION(DrawTextPacked, true, false)
FONT_TEXT_OPERATION(DrawTextPackedSmooth, true, true)
#undef FONT_TEXT_OPERATION

Font* CreateFont(const char* faceName, int height, int italic, int bold, ProgressCallback progress) {
    auto provider = glyphFactory ? glyphFactory(faceName, height, italic != 0, bold != 0)
                                 : platform::CreateGlyphProvider(faceName, height, italic != 0, bold != 0);
    auto* font = new Font(std::move(provider), height);
    ReportProgress(progress);
    WriteLog("%u ByteUse / Complete!\n", kFontObjectBytes);
    return font;
}

void SetGlyphProviderFactory(GlyphProviderFactory factory) { glyphFactory = factory; }

int InitFontList() {
    fontList.Reset();
    return 1;
}

void DestroyFontList() {
    WriteLog("\n============================================== Destroy Font\n");
    fontList.ReleaseAll();
}
