#include "engine/graphics/collision2d.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A closed outline (first point repeated last) built from its corners.
struct Outline {
    explicit Outline(std::vector<float> corners) : points(std::move(corners)) {
        points.push_back(points[0]);
        points.push_back(points[1]);
    }
    Polygon2D poly() const { return {static_cast<int32_t>(points.size() / 2), points.data()}; }
    std::vector<float> points;
};

Outline Square(float x0, float y0, float x1, float y1) { return Outline({x0, y0, x1, y0, x1, y1, x0, y1}); }
Outline SquareClockwise(float x0, float y0, float x1, float y1) { return Outline({x0, y0, x0, y1, x1, y1, x1, y0}); }

TEST(Collision2DTest, PointInPolygon) {
    const Outline ccw = Square(0, 0, 10, 10), cw = SquareClockwise(0, 0, 10, 10);
    const struct {
        const char* name;
        float p[2];
        bool inside;
    } cases[] = {
        {"centre", {5, 5}, true},
        {"on an edge", {10, 5}, true},
        {"on a corner", {0, 0}, true},
        {"just outside", {10.001f, 5}, false},
        {"beyond a corner", {-1, -1}, false},
    };
    for (const auto& c : cases) {
        const Polygon2D a = ccw.poly(), b = cw.poly();
        EXPECT_EQ(PointInPolygon(c.p, &a), c.inside) << c.name << " (counter-clockwise)";
        EXPECT_EQ(PointInPolygon(c.p, &b), c.inside) << c.name << " (clockwise)";
    }
}

TEST(Collision2DTest, OutlinesWithoutEdgesContainNothing) {
    const float point[2] = {5, 5};
    const float one[2] = {5, 5};
    const Polygon2D single{1, one}, empty{0, nullptr};
    EXPECT_FALSE(PointInPolygon(point, &single));
    EXPECT_FALSE(PointInPolygon(point, &empty));
    EXPECT_FALSE(PointInPolygon(point, nullptr));
    const Outline square = Square(0, 0, 10, 10);
    const Polygon2D s = square.poly();
    EXPECT_FALSE(PolygonsOverlap(&s, &single));
    const float circle[3] = {5, 5, 100};
    EXPECT_FALSE(CircleHitsPolygon(circle, &empty));
}

TEST(Collision2DTest, CircleHitsSegment) {
    const struct {
        const char* name;
        float circle[3];
        float seg[4];
        bool hits;
    } cases[] = {
        {"radius exactly reaches an end point", {13, 0, 3}, {0, 0, 10, 0}, true},
        {"line exactly at the radius", {5, 3, 3}, {0, 0, 10, 0}, false},
        {"line just inside the radius", {5, 2.9f, 3}, {0, 0, 10, 0}, true},
        {"centre on the extension, out of reach", {15, 0, 3}, {0, 0, 10, 0}, false},
        {"centre on the segment", {5, 0, 1}, {0, 0, 10, 0}, true},
        {"foot beyond the end, line within reach", {12, 1, 1.5f}, {0, 0, 10, 0}, false},
        {"vertical segment, foot between in y", {2, 5, 3}, {0, 0, 0, 10}, true},
        {"diagonal, line within reach", {6, 4, 1.5f}, {0, 0, 10, 10}, true},
        {"diagonal, line out of reach", {6, 4, 1.4f}, {0, 0, 10, 10}, false},
        {"reversed segment", {5, 1, 2}, {10, 0, 0, 0}, true},
        {"zero-length segment beside the centre", {1, 0, 0.5f}, {0, 0, 0, 0}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(CircleHitsSegment(c.circle, c.seg), c.hits) << c.name;
}

TEST(Collision2DTest, CircleHitsPolygon) {
    const Outline square = Square(0, 0, 10, 10);
    const Polygon2D poly = square.poly();
    const struct {
        const char* name;
        float circle[3];
        bool hits;
    } cases[] = {
        {"small circle well inside", {5, 5, 1}, true},
        {"outside, reaching an edge", {12, 5, 2.5f}, true},
        {"outside, reaching a corner", {11, 11, 1.5f}, true},
        {"outside, out of reach", {12, 5, 1.5f}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(CircleHitsPolygon(c.circle, &poly), c.hits) << c.name;
}

TEST(Collision2DTest, SegmentsCross) {
    const struct {
        const char* name;
        float a[4], b[4];
        bool cross;
    } cases[] = {
        {"an X", {0, 0, 10, 10}, {0, 10, 10, 0}, true},
        {"an end point touching the middle", {0, 0, 10, 0}, {5, 0, 5, 5}, true},
        {"shared end point", {0, 0, 10, 0}, {10, 0, 20, 5}, true},
        {"collinear and overlapping", {0, 0, 10, 0}, {5, 0, 15, 0}, true},
        {"parallel", {0, 0, 10, 0}, {0, 1, 10, 1}, false},
        {"b straddles a's line beyond a's end", {0, 0, 10, 0}, {20, -5, 20, 5}, false},
        {"a straddles b's line beyond b's end", {20, -5, 20, 5}, {0, 0, 10, 0}, false},
        // Both ends of b lie a hair above a; their product underflows to 0
        // once rounded to float, so the test goes on and b's line splits a.
        {"same side, product below float range", {0, 0, 1, 0}, {0.5f, 1e-30f, 0.5f, 2e-30f}, true},
    };
    for (const auto& c : cases) EXPECT_EQ(SegmentsCross(c.a, c.b), c.cross) << c.name;
}

TEST(Collision2DTest, PolygonsOverlap) {
    // Every point of this zero-area outline counts as inside it, so only the
    // box test keeps it from touching an outline far away.
    const Outline collapsed({100, 100, 100, 100, 100, 100});
    const struct {
        const char* name;
        Outline a, b;
        bool overlap;
    } cases[] = {
        {"sharing an edge", Square(0, 0, 10, 10), Square(10, 0, 20, 10), true},
        {"sharing a corner", Square(0, 0, 10, 10), Square(10, 10, 20, 20), true},
        {"one inside the other", Square(0, 0, 10, 10), Square(2, 2, 4, 4), true},
        {"the other inside the one", Square(2, 2, 4, 4), Square(0, 0, 10, 10), true},
        {"a cross, no corner inside", Square(-1, -10, 1, 10), Square(-10, -1, 10, 1), true},
        {"apart", Square(0, 0, 10, 10), Square(11, 0, 20, 10), false},
        {"boxes apart before any point test", Square(0, 0, 10, 10), collapsed, false},
        // Boxes overlap, but the diamond's corner stops short of the square.
        {"boxes overlap, shapes do not", Square(0, 0, 10, 10), Outline({15, 9, 21, 15, 15, 21, 9, 15}), false},
    };
    for (const auto& c : cases) {
        const Polygon2D a = c.a.poly(), b = c.b.poly();
        EXPECT_EQ(PolygonsOverlap(&a, &b), c.overlap) << c.name;
    }
}

}  // namespace
