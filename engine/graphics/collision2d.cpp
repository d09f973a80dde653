#include "engine/graphics/collision2d.h"

#include <algorithm>
#include <cmath>

namespace {

int EdgeCount(const Polygon2D* poly) { return poly && poly->points ? std::max(poly->count - 1, 0) : 0; }

// Point i; read as four floats it is also edge i (x1, y1, x2, y2).
const float* PointAt(const Polygon2D* poly, int i) { return poly->points + 2 * i; }

// Side of q relative to the segment s, as (q - s1) x (q - s2).
double Side(const float* q, const float* s) {
    return (static_cast<double>(q[0]) - s[0]) * (static_cast<double>(q[1]) - s[3]) -
           (static_cast<double>(q[0]) - s[2]) * (static_cast<double>(q[1]) - s[1]);
}

// Strictly between the two bounds, in either order.
bool StrictlyBetween(double v, double a, double b) { return (a < v && v < b) || (b < v && v < a); }

bool EndPointInCircle(double x, double y, const float circle[3]) {
    const double dx = x - circle[0], dy = y - circle[1], r = circle[2];
    return dx * dx + dy * dy <= r * r;
}

struct Box {
    float minX, maxX, minY, maxY;
};

// The box of the outline's points 0 to count - 2 (the last repeats the first).
Box BoundingBox(const Polygon2D* poly) {
    const float* p = PointAt(poly, 0);
    Box box{p[0], p[0], p[1], p[1]};
    for (int i = 1; i < EdgeCount(poly); ++i) {
        p = PointAt(poly, i);
        box.minX = std::min(box.minX, p[0]);
        box.maxX = std::max(box.maxX, p[0]);
        box.minY = std::min(box.minY, p[1]);
        box.maxY = std::max(box.maxY, p[1]);
    }
    return box;
}

bool BoxesApart(const Box& a, const Box& b) {
    return a.minX > b.maxX || a.maxX < b.minX || a.minY > b.maxY || a.maxY < b.minY;
}

bool AnyPointIn(const Polygon2D* points, const Polygon2D* poly) {
    for (int i = 0; i < EdgeCount(points); ++i)
        if (PointInPolygon(PointAt(points, i), poly)) return true;
    return false;
}

}  // namespace

bool PointInPolygon(const float p[2], const Polygon2D* poly) {
    const int edges = EdgeCount(poly);
    if (edges == 0) return false;
    // Edges with the point exactly on their line take neither side, so a
    // point on the outline is inside in both windings.
    bool anyNegative = false, anyPositive = false;
    for (int i = 0; i < edges; ++i) {
        const float* a = PointAt(poly, i);
        const float* b = PointAt(poly, i + 1);
        const double c = (static_cast<double>(p[0]) - a[0]) * (static_cast<double>(p[1]) - b[1]) -
                         (static_cast<double>(p[1]) - a[1]) * (static_cast<double>(p[0]) - b[0]);
        anyNegative |= c < 0;
        anyPositive |= c > 0;
    }
    return !(anyNegative && anyPositive);
}

bool CircleHitsSegment(const float circle[3], const float seg[4]) {
    const double x1 = seg[0], y1 = seg[1], x2 = seg[2], y2 = seg[3];
    if (EndPointInCircle(x1, y1, circle) || EndPointInCircle(x2, y2, circle)) return true;

    const double cx = circle[0], cy = circle[1], r = circle[2];
    const double dx = x2 - x1, dy = y2 - y1;
    const double cross = (cy - y1) * dx - (cx - x1) * dy;
    double footX = cx, footY = cy;  // a centre on the segment's line is its own foot
    if (cross != 0) {
        // Unit normal from the centre toward the line.
        const double nx = cross * dy, ny = -cross * dx;
        const double length = std::sqrt(nx * nx + ny * ny);
        const double ux = nx / length, uy = ny / length;
        const double distance = ux * (x1 - cx) + uy * (y1 - cy);
        if (distance >= r) return false;
        footX = cx + ux * distance;
        footY = cy + uy * distance;
    }
    return StrictlyBetween(footX, x1, x2) || StrictlyBetween(footY, y1, y2);
}

bool CircleHitsPolygon(const float circle[3], const Polygon2D* poly) {
    if (PointInPolygon(circle, poly)) return true;
    for (int i = 0; i < EdgeCount(poly); ++i)
        if (CircleHitsSegment(circle, PointAt(poly, i))) return true;
    return false;
}

bool SegmentsCross(const float a[4], const float b[4]) {
    // Only this product is rounded to float before its test.
    const float sideA = static_cast<float>(Side(b, a) * Side(b + 2, a));
    if (sideA > 0) return false;
    return Side(a, b) * Side(a + 2, b) <= 0;
}

bool PolygonsOverlap(const Polygon2D* a, const Polygon2D* b) {
    if (EdgeCount(a) == 0 || EdgeCount(b) == 0) return false;
    if (BoxesApart(BoundingBox(a), BoundingBox(b))) return false;
    if (AnyPointIn(a, b) || AnyPointIn(b, a)) return true;
    for (int i = 0; i < EdgeCount(a); ++i)
        for (int j = 0; j < EdgeCount(b); ++j)
            if (SegmentsCross(PointAt(a, i), PointAt(b, j))) return true;
    return false;
}
