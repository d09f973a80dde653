#include "platform/glyphs.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/cp932.h"

namespace platform {
namespace {

// Faces the game names (CP932) and the installed faces that stand in for
// them; fontconfig alone would pick faces without kana for these names.
struct FaceAlias {
    const char* cp932Name;
    const char* family;
};
constexpr FaceAlias FACE_ALIASES[] = {
    {GOTHIC_FACE, "IPAGothic"},
    {PROPORTIONAL_GOTHIC_FACE, "IPAPGothic"},
};
constexpr char32_t HIRAGANA_A = 0x3042;

std::string FamilyFor(const char* faceName) {
    for (const FaceAlias& alias : FACE_ALIASES)
        if (std::strcmp(alias.cp932Name, faceName) == 0) return alias.family;
    return Cp932ToUtf8(faceName);
}

struct FontFile {
    std::string path;
    int index = 0;
    bool hasKana = false;
};

// fontconfig's best match for a family (any family when empty) with Japanese.
FontFile MatchFont(const std::string& family) {
    FontFile found;
    FcPattern* pattern = FcPatternCreate();
    if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        found.path = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
        FcCharSet* chars = nullptr;
        found.hasKana = FcPatternGetCharSet(match, FC_CHARSET, 0, &chars) == FcResultMatch &&
                        FcCharSetHasChar(chars, HIRAGANA_A);
    }
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return found;
}

FontFile FindFont(const char* faceName) {
    if (!FcInit()) return {};
    FontFile named = MatchFont(FamilyFor(faceName));
    if (named.hasKana) return named;
    FontFile japanese = MatchFont("");
    return japanese.hasKana || named.path.empty() ? japanese : named;
}

// The Unicode character of a CP932 code, or 0 when it has none.
char32_t CodeToUnicode(uint16_t code) {
    char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    std::string utf8 = code > 0xFF ? Cp932ToUtf8(std::string_view(bytes, 2)) : Cp932ToUtf8(std::string_view(bytes + 1, 1));
    if (utf8.empty()) return 0;
    auto u = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(utf8[i])); };
    if (u(0) < 0x80) return u(0);
    if (u(0) < 0xE0 && utf8.size() >= 2) return ((u(0) & 0x1F) << 6) | (u(1) & 0x3F);
    if (u(0) < 0xF0 && utf8.size() >= 3) return ((u(0) & 0x0F) << 12) | ((u(1) & 0x3F) << 6) | (u(2) & 0x3F);
    if (utf8.size() >= 4) return ((u(0) & 0x07) << 18) | ((u(1) & 0x3F) << 12) | ((u(2) & 0x3F) << 6) | (u(3) & 0x3F);
    return 0;
}

int Floor26(FT_Pos v) { return static_cast<int>(std::floor(v / 64.0)); }
int Ceil26(FT_Pos v) { return static_cast<int>(std::ceil(v / 64.0)); }
int Round26(FT_Pos v) { return static_cast<int>(std::lround(v / 64.0)); }

class FreeTypeGlyphs final : public GlyphProvider {
public:
    FreeTypeGlyphs(FT_Library library, FT_Face face, int height, bool italic, bool bold)
        : library_(library), face_(face), italic_(italic), bold_(bold) {
        // A positive height asks the window system for a cell height. The
        // Gothic faces the game was made for have an em square exactly as tall
        // as their cell; the stand-in faces have taller Windows metrics, so the
        // em is set to the cell height and the cell is split into ascent and
        // descent by the face's typographic ascender and descender.
        FT_Long ascent = face->ascender, descent = -face->descender;
        const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->sTypoAscender - os2->sTypoDescender > 0) {
            ascent = os2->sTypoAscender;
            descent = -os2->sTypoDescender;
        }
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(height));
        metrics_.height = height;
        metrics_.ascent = static_cast<int32_t>(
            std::lround(static_cast<double>(height) * ascent / std::max<FT_Long>(ascent + descent, 1)));
        metrics_.descent = height - metrics_.ascent;
    }

    ~FreeTypeGlyphs() override {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }

    TextMetrics GetTextMetrics() const override { return metrics_; }

    AbcWidths GetCharAbcWidths(uint16_t code) override {
        AbcWidths abc;
        if (!Load(code, FT_LOAD_TARGET_NORMAL)) return abc;
        const FT_Glyph_Metrics& m = face_->glyph->metrics;
        abc.a = Floor26(m.horiBearingX);
        abc.b = static_cast<uint32_t>(std::max(Ceil26(m.horiBearingX + m.width) - abc.a, 0));
        abc.c = Round26(face_->glyph->advance.x) - abc.a - static_cast<int32_t>(abc.b);
        return abc;
    }

    uint32_t GetGlyphOutline(uint16_t code, GlyphFormat format, GlyphMetrics* metrics, uint8_t* buffer,
                             uint32_t bufferSize) override {
        bool mono = format == GLYPH_BITMAP;
        if (format != GLYPH_BITMAP && format != GLYPH_GRAY4_BITMAP) return GLYPH_ERROR;
        if (!Load(code, mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL)) return GLYPH_ERROR;
        FT_GlyphSlot slot = face_->glyph;
        GlyphMetrics gm;
        gm.cellIncX = static_cast<int16_t>(Round26(slot->advance.x));
        bool empty = slot->outline.n_points == 0;
        if (!empty && FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
            return GLYPH_ERROR;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (empty || bitmap.width == 0 || bitmap.rows == 0) {
            gm.blackBoxX = gm.blackBoxY = 1;
            if (metrics) *metrics = gm;
            return 0;
        }
        gm.originX = slot->bitmap_left;
        gm.originY = slot->bitmap_top;
        gm.blackBoxX = bitmap.width;
        gm.blackBoxY = bitmap.rows;
        if (metrics) *metrics = gm;
        uint32_t stride = mono ? (bitmap.width + 31) / 32 * 4 : (bitmap.width + 3) / 4 * 4;
        uint32_t size = stride * bitmap.rows;
        if (buffer && bufferSize >= size) CopyBitmap(bitmap, mono, stride, buffer);
        return size;
    }

private:
    bool Load(uint16_t code, FT_Int32 target) {
        char32_t c = CodeToUnicode(code);
        if (FT_Load_Char(face_, c, FT_LOAD_NO_BITMAP | target) != 0) return false;
        if (bold_) FT_GlyphSlot_Embolden(face_->glyph);
        if (italic_) FT_GlyphSlot_Oblique(face_->glyph);
        return true;
    }

    static void CopyBitmap(const FT_Bitmap& bitmap, bool mono, uint32_t stride, uint8_t* out) {
        for (unsigned y = 0; y < bitmap.rows; ++y) {
            const uint8_t* src = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
            uint8_t* dst = out + static_cast<size_t>(y) * stride;
            std::memset(dst, 0, stride);
            if (mono) {
                std::memcpy(dst, src, (bitmap.width + 7) / 8);
                continue;
            }
            // 256 grey levels to the 17 levels (0 to 16) of the window system.
            for (unsigned x = 0; x < bitmap.width; ++x) dst[x] = static_cast<uint8_t>((src[x] * 16 + 127) / 255);
        }
    }

    FT_Library library_;
    FT_Face face_;
    bool italic_;
    bool bold_;
    TextMetrics metrics_;
};

}  // namespace

std::unique_ptr<GlyphProvider> CreateGlyphProvider(const char* faceName, int height, bool italic, bool bold) {
    if (height <= 0) return nullptr;
    FontFile font = FindFont(faceName);
    if (font.path.empty()) return nullptr;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library, font.path.c_str(), font.index, &face) != 0 || !FT_IS_SCALABLE(face)) {
        if (face) FT_Done_Face(face);
        FT_Done_FreeType(library);
        return nullptr;
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    return std::make_unique<FreeTypeGlyphs>(library, face, height, italic, bold);
}

}  // namespace platform
