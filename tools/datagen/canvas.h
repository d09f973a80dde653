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

// Text on pictures, through the glyph layer; one per thread (faces are not
// shared). Without a Japanese face installed, pictures get no text.
class Lettering {
public:
    platform::GlyphProvider* Face(int height);

private:
    std::map<int, std::unique_ptr<platform::GlyphProvider>> faces_;
};

// A picture being painted: B, G, R, A bytes, rows top-down. Shapes are
// clipped to the picture and blended over what is there.
class Canvas {
public:
    Canvas(int width, int height, Colour fill);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<uint8_t>& Pixels() const { return pixels_; }

    // Rectangles are [x0, x1) x [y0, y1).
    void Fill(int x0, int y0, int x1, int y1, Colour c);
    void Frame(int x0, int y0, int x1, int y1, int thickness, Colour c);
    void VerticalGradient(int x0, int y0, int x1, int y1, Colour top, Colour bottom);
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
    // Sets the red channel of every pixel (height pictures).
    void SetRed(int x, int y, uint8_t red);
    // Sets one pixel to exactly `c`, alpha included (pictures computed pixel
    // by pixel, whose translucent pixels keep their full colour).
    void Put(int x, int y, Colour c);

private:
    void Blend(int x, int y, Colour c);
    int TextWidth(Lettering& lettering, const std::string& text, int height);

    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};

}  // namespace datagen
