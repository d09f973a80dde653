#pragma once
// Cameras: a projection and a view built from the camera's own frame
// (forward, up, right, position). Applying a camera makes it the current one:
// the device gets its matrices, the engine keeps copies for models and
// billboards, and the view frustum for culling is rebuilt.
#include "engine/core/math.h"
#include "engine/core/resource.h"

class Camera : public ResourceObject {
public:
    Camera();
    ~Camera() override = default;

    // aspect 0 takes the viewport's width / height. Left-handed.
    void SetPerspective(float fovDegrees, float nearZ, float farZ, float aspect);
    void SetOrthographic(float width, float height, float nearZ, float farZ);
    void GetViewProjection(Matrix* out) const { *out = viewProjection; }
    void GetView(Matrix* out) const { *out = view; }
    void GetProjection(Matrix* out) const { *out = projection; }
    int ResetAxes();
    // Rebuilds the view (and view x projection) from the frame.
    void UpdateView();
    void Yaw(Angle16 a) { RotateY(a); }
    void Pitch(Angle16 a) { RotateX(a); }
    void Roll(Angle16 a) { RotateZ(a); }
    // Turn the frame about its own right, up and forward axes; the view is
    // rebuilt by UpdateView.
    void RotateX(Angle16 a);
    void RotateY(Angle16 a);
    void RotateZ(Angle16 a);
    void Translate(float dx, float dy, float dz);
    // Null up means (0, 1, 0); looking straight up or down takes (0, 0, -f.y).
    void LookAt(const Vector3* eye, const Vector3* target, const Vector3* upVector);
    void LookFromLight(int light);
    // Takes position and axes from a model (anything with GetPosition,
    // GetFront, GetUp and GetRight); a null model changes nothing.
    template <typename ModelType>
    void CopyFromModel(ModelType* model) {
        if (!model) return;
        model->GetPosition(&position);
        model->GetFront(&forward);
        model->GetUp(&up);
        model->GetRight(&right);
    }
    void GetForward(Vector3* out) const { *out = forward; }
    void GetUp(Vector3* out) const { *out = up; }
    void GetRight(Vector3* out) const { *out = right; }
    void GetPosition(Vector3* out) const { *out = position; }
    void SetView(const Matrix& m);
    void Apply();

    Matrix projection, view, viewProjection;
    Vector3 forward, up, right, position;
    float nearZ = 0.0f, farZ = 0.0f, aspect = 0.0f, fov = 0.0f;

private:
    void RotateFrame(const Matrix& rotation);
};

extern ResourceList cameraList;

// A new camera at the back of cameraList.
Camera* CreateCamera();
int InitCameraList();
void DestroyCameraList();

// The current camera's state (identity until a camera is applied).
void GetCurrentViewProjection(Matrix* out);
void GetCurrentView(Matrix* out);
void GetCurrentCameraPosition(Vector3* out);
// Whether a box (corners and planes as TransformBoxCorners makes them) meets
// the current view frustum.
bool IsVisible(const Vector3 corners[8], const Plane planes[6]);
// Sends the current view and projection to the device again (after a reset).
void ReapplyCameraTransforms();
