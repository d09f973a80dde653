#include "tools/datagen/shapes.h"

#include <algorithm>
#include <cmath>

namespace datagen {
namespace {

float SegmentDistance(Vec p, Vec a, Vec b) {
    const float dx = b.x - a.x, dy = b.y - a.y, len = dx * dx + dy * dy;
    const float t = len > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len, 0.0f, 1.0f) : 0.0f;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// How far p lies inside the shape grown by `grow` (above 0: inside), and its
// fraction of the way out to the rim for soft shapes.
bool Inside(const Shape& s, Vec p, float grow, float* edge) {
    switch (s.kind) {
    case Shape::Kind::Capsule: {
        const float d = SegmentDistance(p, s.points[0], s.points[1]);
        *edge = d / (s.radius + grow);
        return d <= s.radius + grow;
    }
    case Shape::Kind::Disc: {
        const float d = std::hypot(p.x - s.points[0].x, p.y - s.points[0].y);
        *edge = d / (s.radius + grow);
        return d <= s.radius + grow;
    }
    case Shape::Kind::Arc: {
        const Vec c = s.points[0];
        const float lo = std::min(s.from, s.to), hi = std::max(s.from, s.to);
        float past = std::fmod(std::atan2(p.y - c.y, p.x - c.x) - lo, 2 * PI);  // how far round from lo
        if (past < 0) past += 2 * PI;
        if (past > hi - lo) return false;
        const float d = std::fabs(std::hypot(p.x - c.x, p.y - c.y) - s.radius);
        *edge = d / (s.width + grow);
        return d <= s.width + grow;
    }
    case Shape::Kind::Polygon: {
        bool in = false;
        float nearest = 1e9f;
        const size_t n = s.points.size();
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const Vec a = s.points[i], b = s.points[j];
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
            nearest = std::min(nearest, SegmentDistance(p, a, b));
        }
        *edge = 0;
        return in || nearest <= grow;
    }
    }
    return false;
}


void PaintShape(Canvas& c, const Scale& k, const Shape& s, float grow, Colour colour) {
    float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f;
    const float reach = (s.kind == Shape::Kind::Arc ? s.radius + s.width : s.radius) + grow;
    for (const Vec& v : s.points) {
        x0 = std::min(x0, v.x - reach), x1 = std::max(x1, v.x + reach);
        y0 = std::min(y0, v.y - reach), y1 = std::max(y1, v.y + reach);
    }
    const int i0 = std::max(0, static_cast<int>(std::floor(k.cx + x0 * k.pixels)));
    const int i1 = std::min(c.Width(), static_cast<int>(std::ceil(k.cx + x1 * k.pixels)) + 1);
    const int j0 = std::max(0, static_cast<int>(std::floor(k.cy - y1 * k.pixels)));
    const int j1 = std::min(c.Height(), static_cast<int>(std::ceil(k.cy - y0 * k.pixels)) + 1);
    for (int j = j0; j < j1; ++j)
        for (int i = i0; i < i1; ++i) {
            const Vec p{(static_cast<float>(i) + 0.5f - k.cx) / k.pixels, (k.cy - static_cast<float>(j) - 0.5f) / k.pixels};
            float edge = 0;
            if (!Inside(s, p, grow, &edge)) continue;
            Colour out = colour;
            if (s.soft) out.a = static_cast<uint8_t>(colour.a * std::clamp(1.0f - edge, 0.0f, 1.0f));
            c.Fill(i, j, i + 1, j + 1, out);
        }
}

constexpr float RIM = 0.8f;  // the outline's width in world units

}  // namespace

Vec Add(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec Along(Vec from, float angle, float length) {
    return {from.x + std::cos(angle) * length, from.y + std::sin(angle) * length};
}
Vec Turn(Vec v, Vec pivot, float angle) {
    const float c = std::cos(angle), s = std::sin(angle), x = v.x - pivot.x, y = v.y - pivot.y;
    return {pivot.x + x * c - y * s, pivot.y + x * s + y * c};
}

void PaintShapes(Canvas& c, const Scale& k, const std::vector<Shape>& shapes, Colour ink) {
    for (const Shape& s : shapes)
        if (s.outline == Outline::Shared) PaintShape(c, k, s, RIM, ink);
    for (const Shape& s : shapes) {
        if (s.outline == Outline::Own) PaintShape(c, k, s, RIM * 0.7f, ink);
        PaintShape(c, k, s, 0, s.colour);
    }
}

Shape Capsule(Vec a, Vec b, float radius, Colour colour, Outline outline) {
    return {Shape::Kind::Capsule, {a, b}, radius, colour, outline};
}
Shape Disc(Vec centre, float radius, Colour colour, Outline outline) {
    return {Shape::Kind::Disc, {centre}, radius, colour, outline};
}
Shape Glow(Vec centre, float radius, Colour colour) {
    Shape s = Disc(centre, radius, colour, Outline::None);
    s.soft = true;
    return s;
}
Shape Polygon(std::vector<Vec> corners, Colour colour, Outline outline) {
    return {Shape::Kind::Polygon, std::move(corners), 0, colour, outline};
}
Shape Box(Vec lo, Vec hi, Colour colour, Outline outline) {
    return Polygon({{lo.x, lo.y}, {hi.x, lo.y}, {hi.x, hi.y}, {lo.x, hi.y}}, colour, outline);
}
Shape Arc(Vec centre, float radius, float from, float to, float width, Colour colour, bool soft) {
    Shape s{Shape::Kind::Arc, {centre}, radius, colour, Outline::None};
    s.from = from, s.to = to, s.width = width, s.soft = soft;
    return s;
}

}  // namespace datagen
