#include "engine/graphics/visibility.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The corner triples of the six planes, and the quad of corners of each face.
constexpr int kPlaneTriples[6][3] = {{0, 1, 2}, {6, 7, 5}, {2, 6, 4}, {7, 3, 5}, {2, 3, 6}, {1, 0, 4}};
constexpr int kFaceQuads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 4, 6, 2}, {1, 3, 7, 5}, {2, 6, 7, 3}, {0, 1, 5, 4}};
// The twelve edges of a box or of the frustum.
constexpr int kEdges[12][2] = {{0, 1}, {2, 3}, {0, 2}, {1, 3}, {4, 5}, {6, 7},
                               {4, 6}, {5, 7}, {0, 4}, {2, 6}, {1, 5}, {3, 7}};

struct Point2 {
    float u, v;
};

// Drops the axis along which the plane's normal is largest, so the face keeps
// its area in the projection; ties go to x, then y, so a face whose normal is
// diagonal in x and y is not flattened onto a line.
Point2 Project(const Vector3& p, const Plane& plane) {
    const float a = std::fabs(plane.a), b = std::fabs(plane.b), c = std::fabs(plane.c);
    if (a >= b && a >= c) return {p.y, p.z};
    if (b >= c) return {p.x, p.z};
    return {p.x, p.y};
}

float Orientation(const Point2& p, const Point2& q, const Point2& r) {
    return (q.u - p.u) * (r.v - p.v) - (q.v - p.v) * (r.u - p.u);
}

// Whether the segment p0-p1 passes through the face with the given corners,
// lying in `plane`.
bool SegmentCrossesFace(const Vector3& p0, const Vector3& p1, const Vector3* corners, const int quad[4],
                        const Plane& plane) {
    const float s0 = PlaneDotCoord(plane, p0), s1 = PlaneDotCoord(plane, p1);
    if ((s0 > 0 && s1 > 0) || (s0 < 0 && s1 < 0)) return false;
    Vector3 hit;
    if (!PlaneIntersectLine(&hit, plane, p0, p1)) return false;

    Point2 q[4];
    for (int i = 0; i < 4; ++i) q[i] = Project(corners[quad[i]], plane);
    const Point2 point = Project(hit, plane);
    const float o = Orientation(q[0], q[1], q[2]);
    for (int i = 0; i < 4; ++i) {
        const float oi = Orientation(q[i], q[(i + 1) % 4], point);
        if ((oi > 0 && o < 0) || (oi <= 0 && o >= 0)) return false;
    }
    return true;
}

// Whether any edge of the first solid crosses any face of the second.
bool EdgesCrossFaces(const Vector3 edgeCorners[8], const Vector3 faceCorners[8], const Plane facePlanes[6]) {
    for (const auto& edge : kEdges)
        for (int face = 0; face < 6; ++face)
            if (SegmentCrossesFace(edgeCorners[edge[0]], edgeCorners[edge[1]], faceCorners, kFaceQuads[face],
                                   facePlanes[face]))
                return true;
    return false;
}

int Outcode(const Vector3& p, const Plane planes[6]) {
    int code = 0;
    for (int k = 0; k < 6; ++k)
        if (PlaneDotCoord(planes[k], p) < 0) code |= 1 << k;
    return code;
}

}  // namespace

Vector3 TransformCoordProjected(const Vector3& v, const Matrix& m) {
    const float* e = m.GetPointer();
    Vector3 out;
    out.TransformCoord(v, m);
    const float w = e[3] * v.x + e[7] * v.y + e[11] * v.z + e[15];
    return {out.x / w, out.y / w, out.z / w};
}

Plane PlaneFromPoints(const Vector3& p1, const Vector3& p2, const Vector3& p3) {
    Vector3 n;
    n.Cross(p2.Subtract(p1), p3.Subtract(p1));
    n.Normalize();
    return {n.x, n.y, n.z, -(n.x * p1.x + n.y * p1.y + n.z * p1.z)};
}

float PlaneDotCoord(const Plane& plane, const Vector3& p) {
    return plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d;
}

bool PlaneIntersectLine(Vector3* out, const Plane& plane, const Vector3& v1, const Vector3& v2) {
    const Vector3 d = v2.Subtract(v1);
    const float along = plane.a * d.x + plane.b * d.y + plane.c * d.z;
    if (along == 0) return false;
    const float t = PlaneDotCoord(plane, v1) / along;
    out->Set(v1.x - t * d.x, v1.y - t * d.y, v1.z - t * d.z);
    return true;
}

bool BoxBoundProbe(const Vector3& min, const Vector3& max, const Vector3& position, const Vector3& direction) {
    double tNear = -std::numeric_limits<double>::infinity();
    double tFar = std::numeric_limits<double>::infinity();
    const float lo[3] = {min.x, min.y, min.z}, hi[3] = {max.x, max.y, max.z};
    const float p[3] = {position.x, position.y, position.z}, d[3] = {direction.x, direction.y, direction.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (d[axis] == 0) {
            if (p[axis] < lo[axis] || p[axis] > hi[axis]) return false;
            continue;
        }
        double t1 = (static_cast<double>(lo[axis]) - p[axis]) / d[axis];
        double t2 = (static_cast<double>(hi[axis]) - p[axis]) / d[axis];
        if (t1 > t2) std::swap(t1, t2);
        tNear = std::max(tNear, t1);
        tFar = std::min(tFar, t2);
        if (tNear > tFar) return false;
    }
    return tFar >= 0;
}

void TransformBoxCorners(const Vector3& min, const Vector3& max, Vector3 corners[8], Plane planes[6],
                         const Matrix& m) {
    for (int i = 0; i < 8; ++i) {
        const Vector3 corner{(i & 1) ? max.x : min.x, (i & 2) ? max.y : min.y, (i & 4) ? max.z : min.z};
        corners[i] = TransformCoordProjected(corner, m);
    }
    for (int k = 0; k < 6; ++k)
        planes[k] = PlaneFromPoints(corners[kPlaneTriples[k][0]], corners[kPlaneTriples[k][1]],
                                    corners[kPlaneTriples[k][2]]);
}

int ClassifyPointsAgainstFrustum(const Vector3 boxCorners[8], const Plane boxPlanes[6],
                                 const Vector3 frustumCorners[8], const Plane frustumPlanes[6]) {
    int shared = 0x3F;
    for (int i = 0; i < 8; ++i) {
        const int code = Outcode(boxCorners[i], frustumPlanes);
        if (code == 0) return FRUSTUM_CORNER_INSIDE;
        shared &= code;
    }
    if (shared != 0) return FRUSTUM_OUTSIDE_PLANE;
    if (EdgesCrossFaces(frustumCorners, boxCorners, boxPlanes) ||
        EdgesCrossFaces(boxCorners, frustumCorners, frustumPlanes))
        return FRUSTUM_CROSSING;
    return Outcode(frustumCorners[0], boxPlanes) != 0 ? FRUSTUM_APART : FRUSTUM_CROSSING;
}

bool UnprojectScreenPoint(Vector3* out, const Vector3* screen, const Matrix& viewProjection, int viewportWidth,
                          int viewportHeight) {
    const float halfWidth = viewportWidth / 2.0f, halfHeight = viewportHeight / 2.0f;
    Matrix toScreen;
    const float viewport[16] = {halfWidth, 0, 0, 0, 0, -halfHeight, 0, 0, 0, 0, 1, 0, halfWidth, halfHeight, 0, 1};
    toScreen.SetElements(viewport);
    Matrix fromScreen;
    fromScreen.SetProduct(viewProjection, toScreen);
    if (!fromScreen.Invert()) return false;
    *out = TransformCoordProjected(*screen, fromScreen);
    return true;
}

bool IntersectRayBox(const Matrix& m, const Vector3& min, const Vector3& max, const Vector3* rayPosition,
                     const Vector3* rayDirection) {
    Matrix toBox;
    if (!toBox.SetInverse(m)) return false;
    Vector3 position, direction;
    position.TransformCoord(*rayPosition, toBox);
    direction.TransformNormal(*rayDirection, toBox);
    return BoxBoundProbe(min, max, position, direction);
}
