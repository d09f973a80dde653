#pragma once
#include "engine/core/math.h"

// Culling and picking geometry: boxes given by 8 corners and 6 inward planes,
// their classification against the view frustum (which has the same form),
// screen-to-world unprojection and a ray against a box.
//
// Corner i takes x from max when bit 0 of i is set (else min), y when bit 1
// is set, z when bit 2 is set. Planes, in order: z-min, z-max, x-min, x-max,
// y-max, y-min face. A point is outside a plane when its value is negative.

// ---------------------------------------------------------------------------
// Plane and box helpers with the results of the Direct3D utility library.

// v times m, divided by the resulting w (unlike Vector3::TransformCoord).
Vector3 TransformCoordProjected(const Vector3& v, const Matrix& m);
// The plane through p1, p2, p3 with unit normal along (p2 - p1) x (p3 - p1);
// the zero plane (0, 0, 0, 0), never outside and never crossed, when the
// points lie on one line.
Plane PlaneFromPoints(const Vector3& p1, const Vector3& p2, const Vector3& p3);
float PlaneDotCoord(const Plane& plane, const Vector3& p);
// Where the line through v1 and v2 (not bounded by them) meets the plane;
// false when it runs parallel.
bool PlaneIntersectLine(Vector3* out, const Plane& plane, const Vector3& v1, const Vector3& v2);
// Whether the ray from `position` along `direction` (t >= 0) meets the box;
// a ray that starts inside does.
bool BoxBoundProbe(const Vector3& min, const Vector3& max, const Vector3& position, const Vector3& direction);

// ---------------------------------------------------------------------------
// Boxes against the frustum.

// The 8 corners of the box (min, max) transformed by m (with the w divide) and
// the 6 planes through them.
void TransformBoxCorners(const Vector3& min, const Vector3& max, Vector3 corners[8], Plane planes[6],
                         const Matrix& m);

enum FrustumClass {
    FRUSTUM_CORNER_INSIDE = 0,  // a box corner lies inside the frustum
    FRUSTUM_OUTSIDE_PLANE = 1,  // all corners lie outside one frustum plane
    FRUSTUM_CROSSING = 2,       // an edge crosses a face, or the box encloses the frustum
    FRUSTUM_APART = 3,          // no overlap
};

int ClassifyPointsAgainstFrustum(const Vector3 boxCorners[8], const Plane boxPlanes[6],
                                 const Vector3 frustumCorners[8], const Plane frustumPlanes[6]);

// ---------------------------------------------------------------------------
// Picking.

// The world point under the screen point (x, y in viewport pixels, z the
// depth) for the given view-projection and viewport size. False, and out
// untouched, when the view-projection cannot be inverted.
bool UnprojectScreenPoint(Vector3* out, const Vector3* screen, const Matrix& viewProjection, int viewportWidth,
                          int viewportHeight);
// Whether the world ray meets the box (min, max) placed in the world by m.
// False when m cannot be inverted.
bool IntersectRayBox(const Matrix& m, const Vector3& min, const Vector3& max, const Vector3* rayPosition,
                     const Vector3* rayDirection);
