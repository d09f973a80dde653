#pragma once
// Flat shapes for painting figures and effects: capsules, discs, polygons and
// bands along a circle, given in units about a centre with y up, painted onto
// a canvas at a scale. Outlined shapes get a dark rim round their union.
#include <vector>

#include "tools/datagen/canvas.h"

namespace datagen {

constexpr float PI = 3.14159265f;

inline float Radians(float degrees) { return degrees * PI / 180.0f; }

struct Vec {
    float x, y;
};

Vec Add(Vec a, Vec b);
// The point `length` from `from` toward `angle` (radians, counter-clockwise).
Vec Along(Vec from, float angle, float length);
// v turned by `angle` about pivot.
Vec Turn(Vec v, Vec pivot, float angle);

enum class Outline { None, Shared, Own };

struct Shape {
    enum class Kind { Capsule, Polygon, Disc, Arc } kind;
    std::vector<Vec> points;  // capsule: two ends; polygon: corners; disc and arc: the centre
    float radius = 0;         // capsule and disc; arc: its middle radius
    Colour colour;
    Outline outline = Outline::Shared;
    bool soft = false;       // fades toward its rim
    float from = 0, to = 0;  // arc: angles, and its half-thickness in `width`
    float width = 0;
};

// Where units land on a picture: the picture point of the centre and pixels
// per unit.
struct Scale {
    float cx, cy, pixels;
};

constexpr Colour INK{25, 20, 35, 255};

// Paints the shapes in order: first the shared rim (in `ink`), then each
// shape, after its own rim if it has one.
void PaintShapes(Canvas& c, const Scale& k, const std::vector<Shape>& shapes, Colour ink = INK);

Shape Capsule(Vec a, Vec b, float radius, Colour colour, Outline outline = Outline::Shared);
Shape Disc(Vec centre, float radius, Colour colour, Outline outline = Outline::Shared);
// A soft disc without a rim.
Shape Glow(Vec centre, float radius, Colour colour);
Shape Polygon(std::vector<Vec> corners, Colour colour, Outline outline = Outline::Shared);
Shape Box(Vec lo, Vec hi, Colour colour, Outline outline = Outline::Shared);
// A band along a circle from one angle to another, half `width` thick.
Shape Arc(Vec centre, float radius, float from, float to, float width, Colour colour, bool soft = false);

}  // namespace datagen
