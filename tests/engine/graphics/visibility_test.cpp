#include "engine/graphics/visibility.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Matrix Identity() {
    Matrix m;
    m.SetIdentity();
    return m;
}

Matrix FromRows(std::initializer_list<float> e) {
    Matrix m;
    m.SetElements(std::data(e));
    return m;
}

void ExpectNear(const Vector3& v, const Vector3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(v.x, expected.x, tolerance);
    EXPECT_NEAR(v.y, expected.y, tolerance);
    EXPECT_NEAR(v.z, expected.z, tolerance);
}

struct Box {
    Vector3 corners[8];
    Plane planes[6];
};

Box MakeBox(const Vector3& min, const Vector3& max, const Matrix& m = Identity()) {
    Box box;
    TransformBoxCorners(min, max, box.corners, box.planes, m);
    return box;
}

// The frustum of an identity view-projection: the clip box.
const Box kFrustum = MakeBox({-1, -1, 0}, {1, 1, 1});

// A turn of 45 degrees about z, then a move to (x, y, 0.5).
Matrix TurnedAndMoved(float x, float y) {
    const float c = std::sqrt(0.5f);
    return FromRows({c, c, 0, 0, -c, c, 0, 0, 0, 0, 1, 0, x, y, 0.5f, 1});
}

TEST(VisibilityTest, BoxCornersFollowTheBitOrder) {
    Matrix move;
    move.SetTranslation(10, 20, 30);
    const Box box = MakeBox({0, 0, 0}, {1, 2, 3}, move);
    for (int i = 0; i < 8; ++i)
        ExpectNear(box.corners[i], {10.0f + (i & 1 ? 1 : 0), 20.0f + (i & 2 ? 2 : 0), 30.0f + (i & 4 ? 3 : 0)});
}

TEST(VisibilityTest, BoxPlanesAreUnitFacesPointingInward) {
    const Box box = MakeBox({0, 0, 0}, {1, 2, 3}, TurnedAndMoved(5, -5));
    Vector3 centre{0, 0, 0};
    for (const Vector3& c : box.corners) centre.Set(centre.x + c.x / 8, centre.y + c.y / 8, centre.z + c.z / 8);
    // Planes in order z-min, z-max, x-min, x-max, y-max, y-min, with the half
    // extent of the box along each plane's normal.
    const float halfExtent[6] = {1.5f, 1.5f, 0.5f, 0.5f, 1.0f, 1.0f};
    for (int k = 0; k < 6; ++k) {
        const Plane& p = box.planes[k];
        EXPECT_NEAR(p.a * p.a + p.b * p.b + p.c * p.c, 1.0f, 1e-5f) << k;
        EXPECT_NEAR(PlaneDotCoord(p, centre), halfExtent[k], 1e-4f) << k;
    }
}

TEST(VisibilityTest, FlatBoxesGetZeroPlanesNotNaN) {
    const Box flat = MakeBox({-2, -0.5f, 0.5f}, {2, 0.5f, 0.5f});  // no depth
    for (int k = 0; k < 6; ++k) {
        const Plane& p = flat.planes[k];
        EXPECT_FALSE(std::isnan(p.a) || std::isnan(p.b) || std::isnan(p.c) || std::isnan(p.d)) << k;
    }
    for (int k = 2; k < 6; ++k) {  // the four side faces have no area
        EXPECT_EQ(flat.planes[k].a, 0.0f);
        EXPECT_EQ(flat.planes[k].b, 0.0f);
        EXPECT_EQ(flat.planes[k].c, 0.0f);
        EXPECT_EQ(flat.planes[k].d, 0.0f);
    }
}

TEST(VisibilityTest, ClassifyAgainstTheFrustum) {
    // A wall turned 45 degrees that cuts the frustum's corner edge x = y = 1:
    // its front face x + y = 1.75 is crossed only by frustum edges, and its
    // normal has equal x and y parts (exact binary values keep the tie).
    const Matrix wall = FromRows({1, -1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0.875f, 0.875f, 0, 1});
    const struct {
        const char* name;
        Box box;
        int expected;
    } cases[] = {
        {"inside", MakeBox({-0.5f, -0.5f, 0.2f}, {0.5f, 0.5f, 0.8f}), FRUSTUM_CORNER_INSIDE},
        {"one corner inside", MakeBox({0.5f, 0.5f, 0.5f}, {3, 3, 3}), FRUSTUM_CORNER_INSIDE},
        {"beyond x-max", MakeBox({2, -1, 0}, {3, 1, 1}), FRUSTUM_OUTSIDE_PLANE},
        {"behind the near plane", MakeBox({-1, -1, -3}, {1, 1, -2}), FRUSTUM_OUTSIDE_PLANE},
        {"enclosing the frustum", MakeBox({-5, -5, -5}, {5, 5, 5}), FRUSTUM_CROSSING},
        {"slab through the middle", MakeBox({-0.5f, -5, -5}, {0.5f, 5, 5}), FRUSTUM_CROSSING},
        {"turned box clear of the corner", MakeBox({-0.5f, -0.5f, -0.25f}, {0.5f, 0.5f, 0.25f}, TurnedAndMoved(1.6f, 1.6f)),
         FRUSTUM_APART},
        {"turned box over the corner", MakeBox({-0.5f, -0.5f, -0.25f}, {0.5f, 0.5f, 0.25f}, TurnedAndMoved(1.2f, 1.2f)),
         FRUSTUM_CROSSING},
        {"wall cutting the corner edge", MakeBox({-0.25f, 0, -5}, {0.25f, 0.5f, 5}, wall), FRUSTUM_CROSSING},
        {"flat bar across the frustum", MakeBox({-5, -0.1f, 0.5f}, {5, 0.1f, 0.5f}), FRUSTUM_CROSSING},
        {"flat box beside the frustum", MakeBox({2, -0.5f, 0.5f}, {3, 0.5f, 0.5f}), FRUSTUM_OUTSIDE_PLANE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyPointsAgainstFrustum(c.box.corners, c.box.planes, kFrustum.corners, kFrustum.planes),
                  c.expected)
            << c.name;
}

TEST(VisibilityTest, ProjectedTransformDividesByW) {
    const Matrix m = FromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0});  // w = z
    ExpectNear(TransformCoordProjected({2, 4, 2}, m), {1, 2, 1});
}

TEST(VisibilityTest, PlaneIntersectLineIsUnbounded) {
    const Plane z1{0, 0, 1, -1};  // z = 1
    Vector3 hit;
    ASSERT_TRUE(PlaneIntersectLine(&hit, z1, {0, 0, 3}, {2, 2, 5}));
    ExpectNear(hit, {-2, -2, 1});
    EXPECT_FALSE(PlaneIntersectLine(&hit, z1, {0, 0, 3}, {2, 2, 3}));
    EXPECT_FALSE(PlaneIntersectLine(&hit, Plane{0, 0, 0, 0}, {0, 0, 3}, {2, 2, 5}));
}

TEST(VisibilityTest, UnprojectScreenPoint) {
    Vector3 out;
    const Vector3 centre{320, 240, 0.25f}, topLeft{0, 0, 0};
    ASSERT_TRUE(UnprojectScreenPoint(&out, &centre, Identity(), 640, 480));
    ExpectNear(out, {0, 0, 0.25f});
    ASSERT_TRUE(UnprojectScreenPoint(&out, &topLeft, Identity(), 640, 480));
    ExpectNear(out, {-1, 1, 0});

    // Under a perspective projection the result lies on the world point that
    // projects to the screen point.
    const float q = 100.0f / 99.0f;
    const Matrix perspective = FromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, q, 1, 0, 0, -q, 0});
    const Vector3 world{3, -2, 10};
    const Vector3 clip = TransformCoordProjected(world, perspective);
    const Vector3 screen{(clip.x + 1) * 320, (1 - clip.y) * 240, clip.z};
    ASSERT_TRUE(UnprojectScreenPoint(&out, &screen, perspective, 640, 480));
    ExpectNear(out, world, 1e-3f);

    const Vector3 untouched{7, 8, 9};
    out = untouched;
    EXPECT_FALSE(UnprojectScreenPoint(&out, &centre, Matrix(), 640, 480));
    ExpectNear(out, untouched, 0);
}

TEST(VisibilityTest, IntersectRayBox) {
    const Vector3 min{-1, -1, -1}, max{1, 1, 1};
    Matrix placed;  // the box turned a quarter about z and moved to x = 10
    placed.SetRotationZ(16384);
    placed.Set(4, 1, 10);
    const struct {
        const char* name;
        Matrix m;
        Vector3 position, direction;
        bool hits;
    } cases[] = {
        {"straight at it", Identity(), {0, 0, -5}, {0, 0, 1}, true},
        {"passing beside", Identity(), {2, 0, -5}, {0, 0, 1}, false},
        {"pointing away", Identity(), {0, 0, -5}, {0, 0, -1}, false},
        {"starting inside", Identity(), {0.5f, 0, 0}, {0, 1, 0}, true},
        {"along a face plane outside", Identity(), {0, 2, -5}, {0, 0, 1}, false},
        {"at the placed box", placed, {10, 0, -5}, {0, 0, 1}, true},
        {"where the box was before moving", placed, {0, 0, -5}, {0, 0, 1}, false},
        {"slanted at the placed box", placed, {0, 0, -5}, {10, 0, 5}, true},
    };
    for (const auto& c : cases) EXPECT_EQ(IntersectRayBox(c.m, min, max, &c.position, &c.direction), c.hits) << c.name;
    const Vector3 p{0, 0, -5}, d{0, 0, 1};
    EXPECT_FALSE(IntersectRayBox(Matrix(), min, max, &p, &d)) << "a singular placement";
}

}  // namespace
