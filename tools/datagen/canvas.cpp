#include "tools/datagen/canvas.h"

#include <algorithm>
#include <cmath>

namespace datagen {
namespace {

// The game's own face name, "MS Gothic" in CP932.
const char* const LABEL_FACE = "\x82l\x82r \x83S\x83V\x83" "b\x83N";

uint8_t Mix(uint8_t from, uint8_t to, int alpha) { return static_cast<uint8_t>((from * (255 - alpha) + to * alpha) / 255); }

// The character codes of CP932 text: single bytes, and lead << 8 | trail.
std::vector<uint16_t> CharacterCodes(const std::string& text) {
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < text.size(); ++i) {
        auto lead = static_cast<uint8_t>(text[i]);
        bool wide = ((lead >= 0x81 && lead <= 0x9F) || lead >= 0xE0) && i + 1 < text.size();
        codes.push_back(wide ? static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(text[++i])) : lead);
    }
    return codes;
}

}  // namespace

Colour WithAlpha(Colour c, uint8_t a) {
    c.a = a;
    return c;
}

Colour Shade(Colour c, float factor) {
    auto one = [&](uint8_t v) {
        float out = factor <= 1.0f ? v * factor : v + (255 - v) * (factor - 1.0f);
        return static_cast<uint8_t>(std::clamp(out, 0.0f, 255.0f));
    };
    return {one(c.r), one(c.g), one(c.b), c.a};
}

platform::GlyphProvider* Lettering::Face(int height) {
    auto it = faces_.find(height);
    if (it == faces_.end()) it = faces_.emplace(height, platform::CreateGlyphProvider(LABEL_FACE, height, false, true)).first;
    return it->second.get();
}

Canvas::Canvas(int width, int height, Colour fill) : width_(width), height_(height), clip_{0, 0, width, height} {
    pixels_.resize(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels_.size(); i += 4) {
        pixels_[i] = fill.b;
        pixels_[i + 1] = fill.g;
        pixels_[i + 2] = fill.r;
        pixels_[i + 3] = fill.a;
    }
}

void Canvas::ClipTo(int x0, int y0, int x1, int y1) {
    clip_[0] = std::max(x0, 0);
    clip_[1] = std::max(y0, 0);
    clip_[2] = std::min(x1, width_);
    clip_[3] = std::min(y1, height_);
}

void Canvas::Unclip() { ClipTo(0, 0, width_, height_); }

void Canvas::Blend(int x, int y, Colour c) {
    if (x < clip_[0] || y < clip_[1] || x >= clip_[2] || y >= clip_[3] || c.a == 0) return;
    uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 4];
    p[0] = Mix(p[0], c.b, c.a);
    p[1] = Mix(p[1], c.g, c.a);
    p[2] = Mix(p[2], c.r, c.a);
    p[3] = static_cast<uint8_t>(c.a + p[3] * (255 - c.a) / 255);
}

void Canvas::Fill(int x0, int y0, int x1, int y1, Colour c) {
    for (int y = std::max(y0, 0); y < std::min(y1, height_); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, width_); ++x) Blend(x, y, c);
}

void Canvas::Frame(int x0, int y0, int x1, int y1, int t, Colour c) {
    Fill(x0, y0, x1, y0 + t, c);
    Fill(x0, y1 - t, x1, y1, c);
    Fill(x0, y0 + t, x0 + t, y1 - t, c);
    Fill(x1 - t, y0 + t, x1, y1 - t, c);
}

void Canvas::VerticalGradient(int x0, int y0, int x1, int y1, Colour top, Colour bottom) {
    for (int y = y0; y < y1; ++y) {
        int k = y1 - y0 > 1 ? (y - y0) * 255 / (y1 - y0 - 1) : 0;
        Colour c{Mix(top.r, bottom.r, k), Mix(top.g, bottom.g, k), Mix(top.b, bottom.b, k), Mix(top.a, bottom.a, k)};
        Fill(x0, y, x1, y + 1, c);
    }
}

void Canvas::HorizontalGradient(int x0, int y0, int x1, int y1, Colour left, Colour right) {
    for (int x = x0; x < x1; ++x) {
        int k = x1 - x0 > 1 ? (x - x0) * 255 / (x1 - x0 - 1) : 0;
        Colour c{Mix(left.r, right.r, k), Mix(left.g, right.g, k), Mix(left.b, right.b, k), Mix(left.a, right.a, k)};
        Fill(x, y0, x + 1, y1, c);
    }
}

void Canvas::Polygon(const std::vector<std::pair<float, float>>& corners, Colour top, Colour bottom) {
    float lo = 1e9f, hi = -1e9f;
    for (const auto& [x, y] : corners) lo = std::min(lo, y), hi = std::max(hi, y);
    const size_t n = corners.size();
    std::vector<float> crossings;
    for (int y = std::max(0, static_cast<int>(std::floor(lo))); y < std::min(height_, static_cast<int>(std::ceil(hi)) + 1); ++y) {
        const float py = static_cast<float>(y) + 0.5f;
        crossings.clear();
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const auto [ax, ay] = corners[i];
            const auto [bx, by] = corners[j];
            if ((ay > py) != (by > py)) crossings.push_back(ax + (bx - ax) * (py - ay) / (by - ay));
        }
        std::sort(crossings.begin(), crossings.end());
        const int k = hi > lo ? static_cast<int>(std::clamp((py - lo) / (hi - lo), 0.0f, 1.0f) * 255) : 0;
        const Colour c{Mix(top.r, bottom.r, k), Mix(top.g, bottom.g, k), Mix(top.b, bottom.b, k), Mix(top.a, bottom.a, k)};
        for (size_t i = 0; i + 1 < crossings.size(); i += 2)
            Fill(static_cast<int>(std::lround(crossings[i])), y, static_cast<int>(std::lround(crossings[i + 1])), y + 1, c);
    }
}

void Canvas::Disc(int cx, int cy, int radius, Colour c, bool soft) {
    for (int y = cy - radius; y <= cy + radius; ++y)
        for (int x = cx - radius; x <= cx + radius; ++x) {
            float d = std::hypot(static_cast<float>(x - cx), static_cast<float>(y - cy));
            if (d > radius) continue;
            Colour p = c;
            if (soft) p.a = static_cast<uint8_t>(c.a * (1.0f - d / (radius + 1)));
            Blend(x, y, p);
        }
}

void Canvas::Annulus(int cx2, int cy2, float inner, float outer, Colour c) {
    for (int y = (cy2 - 1) / 2 - static_cast<int>(outer) - 1; y <= cy2 / 2 + static_cast<int>(outer) + 1; ++y)
        for (int x = (cx2 - 1) / 2 - static_cast<int>(outer) - 1; x <= cx2 / 2 + static_cast<int>(outer) + 1; ++x) {
            const float d = 0.5f * std::hypot(static_cast<float>(2 * x + 1 - cx2), static_cast<float>(2 * y + 1 - cy2));
            if (d >= inner && d <= outer) Blend(x, y, c);
        }
}

const Glyph* Lettering::GlyphOf(int height, uint16_t code) {
    const auto key = std::make_pair(height, code);
    auto it = glyphs_.find(key);
    if (it != glyphs_.end()) return &it->second;
    platform::GlyphProvider* face = Face(height);
    if (!face) return nullptr;
    Glyph glyph;
    uint32_t size = face->GetGlyphOutline(code, platform::GLYPH_GRAY4_BITMAP, &glyph.metrics, nullptr, 0);
    if (size != platform::GLYPH_ERROR && size > 0) {
        glyph.levels.resize(size);
        face->GetGlyphOutline(code, platform::GLYPH_GRAY4_BITMAP, &glyph.metrics, glyph.levels.data(), size);
        glyph.stride = size / glyph.metrics.blackBoxY;
    }
    return &glyphs_.emplace(key, std::move(glyph)).first->second;
}

void Canvas::Text(Lettering& lettering, const std::string& text, int x, int y, int height, Colour c) {
    texts_.push_back(text);
    platform::GlyphProvider* face = lettering.Face(height);
    if (!face) return;
    int ascent = face->GetTextMetrics().ascent;
    for (uint16_t code : CharacterCodes(text)) {
        const Glyph* glyph = lettering.GlyphOf(height, code);
        const platform::GlyphMetrics& gm = glyph->metrics;
        if (!glyph->levels.empty())
            for (uint32_t gy = 0; gy < gm.blackBoxY; ++gy)
                for (uint32_t gx = 0; gx < gm.blackBoxX; ++gx) {
                    int level = glyph->levels[gy * glyph->stride + gx];
                    Blend(x + gm.originX + static_cast<int>(gx), y + ascent - gm.originY + static_cast<int>(gy),
                          WithAlpha(c, static_cast<uint8_t>(c.a * level / 16)));
                }
        x += gm.cellIncX;
    }
}

void Canvas::KeyLabel(Lettering& lettering, const std::string& key, int x, int y, int height, Colour c) {
    keyLabelled_ = true;
    Text(lettering, key, x, y, height, c);
}

int Canvas::TextWidth(Lettering& lettering, const std::string& text, int height) {
    platform::GlyphProvider* face = lettering.Face(height);
    if (!face) return 0;
    int width = 0;
    for (uint16_t code : CharacterCodes(text)) {
        if (code > 0xFF) {
            width += lettering.GlyphOf(height, code)->metrics.cellIncX;
            continue;
        }
        platform::AbcWidths abc = face->GetCharAbcWidths(code);
        width += abc.a + static_cast<int>(abc.b) + abc.c;
    }
    return width;
}

void Canvas::CentredText(Lettering& lettering, const std::string& text, int x0, int y0, int x1, int y1, int maxHeight,
                         Colour c) {
    int height = std::min(maxHeight, y1 - y0);
    while (height > 6 && TextWidth(lettering, text, height) > x1 - x0) --height;
    int width = TextWidth(lettering, text, height);
    Text(lettering, text, x0 + (x1 - x0 - width) / 2, y0 + (y1 - y0 - height) / 2, height, c);
}

void Canvas::OutlinedText(Lettering& lettering, const std::string& text, int x0, int y0, int x1, int y1, int maxHeight,
                          Colour fill, Colour outline, int rim) {
    for (int dy = -rim; dy <= rim; ++dy)
        for (int dx = -rim; dx <= rim; ++dx)
            if ((dx || dy) && dx * dx + dy * dy <= rim * rim + 1)
                CentredText(lettering, text, x0 + dx, y0 + dy, x1 + dx, y1 + dy, maxHeight, outline);
    CentredText(lettering, text, x0, y0, x1, y1, maxHeight, fill);
}

void Canvas::Dither(int step) {
    static const int BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            // Uniform over one step, so that the store's truncation keeps the
            // mean shade.
            const int offset = (2 * BAYER[y & 3][x & 3] + 1) * step / 32;
            uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 4];
            for (int c = 0; c < 4; ++c) p[c] = static_cast<uint8_t>(std::min(255, p[c] + offset));
        }
}

void Canvas::SetRed(int x, int y, uint8_t red) { pixels_[(static_cast<size_t>(y) * width_ + x) * 4 + 2] = red; }

void Canvas::Put(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 4];
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
    p[3] = c.a;
}

}  // namespace datagen
