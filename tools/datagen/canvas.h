#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/glyphs.h"

namespace datagen {

struct Colour {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

Colour WithAlpha(Colour c, uint8_t a);
// c scaled toward black (factor below 1) or white (above 1).
Colour Shade(Colour c, float factor);

// One glyph of a face: its metrics and its bitmap of levels 0..16.
struct Glyph {
    platform::GlyphMetrics metrics;
    uint32_t stride = 0;  // bytes a bitmap row
    std::vector<uint8_t> levels;
};

// Text on pictures, through the glyph layer; one per thread (faces are not
// shared). Glyphs are kept once drawn, as most pictures letter the same few.
// Without a Japanese face installed, pictures get no text.
class Lettering {
public:
    platform::GlyphProvider* Face(int height);
    // The glyph of a character code (a CP932 byte, or lead << 8 | trail);
    // null without a face.
    const Glyph* GlyphOf(int height, uint16_t code);

private:
    std::map<int, std::unique_ptr<platform::GlyphProvider>> faces_;
    std::map<std::pair<int, uint16_t>, Glyph> glyphs_;
};

// A picture being painted: B, G, R, A bytes, rows top-down. Shapes are
// clipped to the picture and blended over what is there.
class Canvas {
public:
    Canvas(int width, int height, Colour fill);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<uint8_t>& Pixels() const { return pixels_; }

    // Painting stays inside [x0, x1) x [y0, y1), such as one cell of a
    // sheet, until Unclip (at first: the whole picture).
    void ClipTo(int x0, int y0, int x1, int y1);
    void Unclip();

    // Rectangles are [x0, x1) x [y0, y1).
    void Fill(int x0, int y0, int x1, int y1, Colour c);
    void Frame(int x0, int y0, int x1, int y1, int thickness, Colour c);
    void VerticalGradient(int x0, int y0, int x1, int y1, Colour top, Colour bottom);
    void HorizontalGradient(int x0, int y0, int x1, int y1, Colour left, Colour right);
    // A polygon, corners in pixels (y down), shaded from `top` at its highest
    // corner to `bottom` at its lowest.
    void Polygon(const std::vector<std::pair<float, float>>& corners, Colour top, Colour bottom);
    // A disc; soft discs fade to transparent at the rim (sparks, glows).
    void Disc(int cx, int cy, int radius, Colour c, bool soft = false);
    // The band between two radii about a centre that may lie between pixels
    // (twice the coordinates: 2cx, 2cy), so even-sized cells centre exactly.
    void Annulus(int cx2, int cy2, float inner, float outer, Colour c);
    // CP932 text with its top-left corner at (x, y), `height` pixels tall.
    void Text(Lettering& lettering, const std::string& text, int x, int y, int height, Colour c);
    // Text centred in a box, as large as fits (at most maxHeight).
    void CentredText(Lettering& lettering, const std::string& text, int x0, int y0, int x1, int y1, int maxHeight,
                     Colour c);
    // Centred text with a rim of `outline` `rim` pixels wide about every
    // glyph, so that it reads over any picture.
    void OutlinedText(Lettering& lettering, const std::string& text, int x0, int y0, int x1, int y1, int maxHeight,
                      Colour fill, Colour outline, int rim = 1);
    // The pen advance of CP932 text at a height.
    static int TextWidth(Lettering& lettering, const std::string& text, int height);
    // The only way a picture's key (or any other name of the data rather than
    // words of the game) is written on it: for pictures that no screen ever
    // draws, so that the archive shows what they are. The picture remembers it.
    void KeyLabel(Lettering& lettering, const std::string& key, int x, int y, int height, Colour c);
    bool KeyLabelled() const { return keyLabelled_; }
    // Every text painted on the picture, in order.
    const std::vector<std::string>& Texts() const { return texts_; }
    // Spreads every channel over the levels of a store with `step` between
    // them (17 for 4 bits a channel), in a fixed pattern, so that shades band
    // less once the picture is stored with fewer levels.
    void Dither(int step);
    // Sets the red channel of every pixel (height pictures).
    void SetRed(int x, int y, uint8_t red);
    // Sets one pixel to exactly `c`, alpha included (pictures computed pixel
    // by pixel, whose translucent pixels keep their full colour).
    void Put(int x, int y, Colour c);

private:
    void Blend(int x, int y, Colour c);

    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
    int clip_[4];  // x0, y0, x1, y1
    bool keyLabelled_ = false;
    std::vector<std::string> texts_;
};

}  // namespace datagen
