#pragma once
#include <cstdint>

// Plane-geometry tests of the battle's hit checks. Inputs are floats; the
// arithmetic is double, so results hang on these exact comparisons.

// An outline of `count` points (x, y pairs) with count - 1 edges from point i
// to point i + 1; a closed outline repeats its first point as its last. An
// outline without edges (count below 2, or no outline) contains nothing.
struct Polygon2D {
    int32_t count;
    const float* points;
};

// Inside when the point lies on the same side of every edge (either winding);
// a point on an edge is inside.
bool PointInPolygon(const float p[2], const Polygon2D* poly);
// circle = (x, y, radius), seg = (x1, y1, x2, y2). An end point exactly at the
// radius hits; a line exactly at the radius does not.
bool CircleHitsSegment(const float circle[3], const float seg[4]);
bool CircleHitsPolygon(const float circle[3], const Polygon2D* poly);
// Touching end points and collinear segments count as crossing.
bool SegmentsCross(const float a[4], const float b[4]);
bool PolygonsOverlap(const Polygon2D* a, const Polygon2D* b);
