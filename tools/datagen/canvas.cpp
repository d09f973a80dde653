#include "tools/datagen/canvas.h"

#include <algorithm>
#include <cmath>

namespace datagen {
namespace {

// The game's own face name, "MS Gothic" in CP932.
const char* const LABEL_FACE = "\x82l\x82r \x83S\x83V\x83" "b\x83N";

uint8_t Mix(uint8_t from, uint8_t to, int alpha) { return static_cast<uint8_t>((from * (255 - alpha) + to * alpha) / 255); }

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

Canvas::Canvas(int width, int height, Colour fill) : width_(width), height_(height) {
    pixels_.resize(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels_.size(); i += 4) {
        pixels_[i] = fill.b;
        pixels_[i + 1] = fill.g;
        pixels_[i + 2] = fill.r;
        pixels_[i + 3] = fill.a;
    }
}

void Canvas::Blend(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || c.a == 0) return;
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

void Canvas::Text(Lettering& lettering, const std::string& text, int x, int y, int height, Colour c) {
    platform::GlyphProvider* face = lettering.Face(height);
    if (!face) return;
    int ascent = face->GetTextMetrics().ascent;
    std::vector<uint8_t> bitmap;
    for (size_t i = 0; i < text.size(); ++i) {
        auto lead = static_cast<uint8_t>(text[i]);
        bool wide = ((lead >= 0x81 && lead <= 0x9F) || lead >= 0xE0) && i + 1 < text.size();
        uint16_t code = wide ? static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(text[++i])) : lead;
        platform::GlyphMetrics gm;
        uint32_t size = face->GetGlyphOutline(code, platform::GLYPH_GRAY4_BITMAP, &gm, nullptr, 0);
        if (size != platform::GLYPH_ERROR && size > 0) {
            bitmap.resize(size);
            face->GetGlyphOutline(code, platform::GLYPH_GRAY4_BITMAP, &gm, bitmap.data(), size);
            uint32_t stride = size / gm.blackBoxY;
            for (uint32_t gy = 0; gy < gm.blackBoxY; ++gy)
                for (uint32_t gx = 0; gx < gm.blackBoxX; ++gx) {
                    int level = bitmap[gy * stride + gx];
                    Blend(x + gm.originX + static_cast<int>(gx), y + ascent - gm.originY + static_cast<int>(gy),
                          WithAlpha(c, static_cast<uint8_t>(c.a * level / 16)));
                }
        }
        x += gm.cellIncX;
    }
}

int Canvas::TextWidth(Lettering& lettering, const std::string& text, int height) {
    platform::GlyphProvider* face = lettering.Face(height);
    if (!face) return 0;
    int width = 0;
    for (char ch : text) {
        platform::AbcWidths abc = face->GetCharAbcWidths(static_cast<uint8_t>(ch));
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
