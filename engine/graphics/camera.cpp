#include "engine/graphics/camera.h"

#include <cmath>
#include <new>

#include "engine/graphics/device.h"
#include "engine/graphics/light.h"
#include "engine/graphics/visibility.h"

ResourceList cameraList;

namespace {

Matrix Identity() {
    Matrix m;
    m.SetIdentity();
    return m;
}

Matrix currentView = Identity();
Matrix currentProjection = Identity();
Matrix currentViewProjection = Identity();
Vector3 currentCameraPosition{0.0f, 0.0f, 0.0f};
Vector3 frustumCorners[8];
Plane frustumPlanes[6];

// The frustum of the identity view-projection: the clip-space box
// (-1, -1, 0)..(1, 1, 1) taken back into the world by the inverse.
void RebuildFrustum(const Matrix& inverseViewProjection) {
    TransformBoxCorners(Vector3{-1.0f, -1.0f, 0.0f}, Vector3{1.0f, 1.0f, 1.0f}, frustumCorners, frustumPlanes,
                        inverseViewProjection);
}
const bool frustumReady = (RebuildFrustum(Identity()), true);

void SendTransform(gpu::D3DTRANSFORMSTATETYPE type, const Matrix& m) {
    gpu::D3DMATRIX d3d;
    for (int i = 0; i < 16; ++i) d3d.m[i] = m.GetPointer()[i];
    if (gpu::Device* device = GetDevice()) device->SetTransform(type, &d3d);
}

Vector3 Cross(const Vector3& a, const Vector3& b) {
    Vector3 r;
    r.Cross(a, b);
    return r;
}

bool StraightUpOrDown(const Vector3& f) { return f.x == 0.0f && f.z == 0.0f && (f.y == 1.0f || f.y == -1.0f); }

}  // namespace

Camera::Camera() {
    projection.SetIdentity();
    view.SetIdentity();
    viewProjection.SetIdentity();
    ResetAxes();
}

void Camera::SetPerspective(float fovDegrees, float nearPlane, float farPlane, float aspectRatio) {
    if (aspectRatio == 0.0f) {
        gpu::RECT r;
        GetViewportRect(&r);
        aspectRatio = static_cast<float>(r.right - r.left) / static_cast<float>(r.bottom - r.top);
    }
    fov = fovDegrees * 6.2831855f * 0.0027777778f;
    nearZ = nearPlane;
    farZ = farPlane;
    aspect = aspectRatio;
    const float h = std::cos(fov / 2.0f) / std::sin(fov / 2.0f);
    const float q = farPlane / (farPlane - nearPlane);
    const float e[16] = {h / aspectRatio, 0, 0, 0, 0, h, 0, 0, 0, 0, q, 1, 0, 0, -q * nearPlane, 0};
    projection.SetElements(e);
}

void Camera::SetOrthographic(float width, float height, float nearPlane, float farPlane) {
    const float e[16] = {2.0f / width, 0, 0, 0, 0, 2.0f / height, 0, 0, 0, 0, 1.0f / (farPlane - nearPlane), 0,
                         0, 0, nearPlane / (nearPlane - farPlane), 1};
    projection.SetElements(e);
    aspect = width / height;
    fov = 1.0f;
}

int Camera::ResetAxes() {
    forward.Set(0, 0, 1);
    up.Set(0, 1, 0);
    right.Set(1, 0, 0);
    position.Set(0, 0, 0);
    return 0;
}

void Camera::UpdateView() {
    right.Normalize();
    up.Normalize();
    forward.Normalize();
    const float e[16] = {right.x, up.x, forward.x, 0,
                         right.y, up.y, forward.y, 0,
                         right.z, up.z, forward.z, 0,
                         static_cast<float>(-position.Dot(right)), static_cast<float>(-position.Dot(up)),
                         static_cast<float>(-position.Dot(forward)), 1};
    view.SetElements(e);
    viewProjection.SetProduct(view, projection);
}

// The frame F (rows right, up, forward) becomes rotation x F.
void Camera::RotateFrame(const Matrix& rotation) {
    Matrix frame;
    const float e[16] = {right.x, right.y, right.z, 0, up.x, up.y, up.z, 0,
                         forward.x, forward.y, forward.z, 0, 0, 0, 0, 1};
    frame.SetElements(e);
    frame.SetProduct(rotation, frame);
    right.Set(frame.Get(1, 1), frame.Get(1, 2), frame.Get(1, 3));
    up.Set(frame.Get(2, 1), frame.Get(2, 2), frame.Get(2, 3));
    forward.Set(frame.Get(3, 1), frame.Get(3, 2), frame.Get(3, 3));
}

void Camera::RotateX(Angle16 a) {
    Matrix r;
    r.SetRotationX(a);
    RotateFrame(r);
}

void Camera::RotateY(Angle16 a) {
    Matrix r;
    r.SetRotationY(a);
    RotateFrame(r);
}

void Camera::RotateZ(Angle16 a) {
    Matrix r;
    r.SetRotationZ(a);
    RotateFrame(r);
}

void Camera::Translate(float dx, float dy, float dz) {
    position.x += dx;
    position.y += dy;
    position.z += dz;
}

void Camera::LookAt(const Vector3* eye, const Vector3* target, const Vector3* upVector) {
    Vector3 u = upVector ? *upVector : Vector3{0.0f, 1.0f, 0.0f};
    Vector3 f = target->Subtract(*eye);
    f.Normalize();
    if (StraightUpOrDown(f)) u.Set(0.0f, 0.0f, -f.y);
    Vector3 r = Cross(f, u);
    r.Set(-r.x, -r.y, -r.z);
    r.Normalize();
    u = Cross(f, r);
    u.Normalize();
    forward = f;
    up = u;
    right = r;
    position = *eye;
}

void Camera::LookFromLight(int light) {
    GetLightPosition(light, &position);
    Vector3 f{0.0f, 0.0f, 1.0f};
    GetLightDirection(light, &f);
    Vector3 u{0.0f, 1.0f, 0.0f};
    if (StraightUpOrDown(f)) u.Set(0.0f, 0.0f, -f.y);
    Vector3 r = Cross(f, u);
    r.Normalize();
    u = Cross(f, r);
    u.Normalize();
    f.Normalize();
    forward = f;
    up = u;
    right = r;
}

void Camera::SetView(const Matrix& m) {
    view = m;
    viewProjection.SetProduct(view, projection);
}

void Camera::Apply() {
    SendTransform(gpu::D3DTS_VIEW, view);
    SendTransform(gpu::D3DTS_PROJECTION, projection);
    currentView = view;
    currentProjection = projection;
    currentViewProjection = viewProjection;
    currentCameraPosition = position;
    Matrix inverse = Identity();
    inverse.SetInverse(currentViewProjection);
    RebuildFrustum(inverse);
}

Camera* CreateCamera() {
    Camera* camera = new (std::nothrow) Camera;
    if (camera) cameraList.PushBack(camera);
    return camera;
}

int InitCameraList() {
    cameraList.Reset();
    return 1;
}

void DestroyCameraList() { cameraList.ReleaseAll(); }

void GetCurrentViewProjection(Matrix* out) { *out = currentViewProjection; }
void GetCurrentView(Matrix* out) { *out = currentView; }
void GetCurrentCameraPosition(Vector3* out) { *out = currentCameraPosition; }

bool IsVisible(const Vector3 corners[8], const Plane planes[6]) {
    const int result = ClassifyPointsAgainstFrustum(corners, planes, frustumCorners, frustumPlanes);
    return result == FRUSTUM_CORNER_INSIDE || result == FRUSTUM_CROSSING;
}

void ReapplyCameraTransforms() {
    SendTransform(gpu::D3DTS_VIEW, currentView);
    SendTransform(gpu::D3DTS_PROJECTION, currentProjection);
}
