// Camera matrices against hand-computed Direct3D-convention values, the
// frustum test, and the engine's light slots.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/light.h"
#include "engine/graphics/visibility.h"
#include "tests/support/recording_device.h"

namespace {

using namespace gpu;

void ExpectMatrix(const Matrix& m, const float expected[16], float tolerance = 1e-6f) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(m.GetPointer()[i], expected[i], tolerance) << "element " << i / 4 + 1 << "," << i % 4 + 1;
    }
}

Vector3 Transform(const Vector3& v, const Matrix& m) {
    Vector3 out;
    out.TransformCoord(v, m);
    return out;
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeMathTables();
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        InitCameraList();
        camera = CreateCamera();
        ASSERT_NE(camera, nullptr);
    }
    void TearDown() override { DestroyCameraList(); }
    test::RecordingGraphics graphics;
    Camera* camera = nullptr;
};

TEST_F(CameraTest, StartsWithIdentityMatricesAndTheStandardFrame) {
    Matrix identity;
    identity.SetIdentity();
    const float* id = identity.GetPointer();
    ExpectMatrix(camera->projection, id);
    ExpectMatrix(camera->view, id);
    ExpectMatrix(camera->viewProjection, id);
    EXPECT_EQ(camera->forward.z, 1.0f);
    EXPECT_EQ(camera->up.y, 1.0f);
    EXPECT_EQ(camera->right.x, 1.0f);
    EXPECT_EQ(cameraList.GetCount(), 1);
}

TEST_F(CameraTest, PerspectiveTakesTheViewportAspectAndIsLeftHanded) {
    const Matrix before = camera->viewProjection;
    camera->SetPerspective(60.0f, 1.0f, 100.0f, 0.0f);
    EXPECT_FLOAT_EQ(camera->aspect, 4.0f / 3.0f);
    const float h = 1.7320508f, q = 100.0f / 99.0f;
    const float expected[16] = {h * 0.75f, 0, 0, 0, 0, h, 0, 0, 0, 0, q, 1, 0, 0, -q, 0};
    ExpectMatrix(camera->projection, expected, 2e-6f);
    ExpectMatrix(camera->viewProjection, before.GetPointer());  // untouched until UpdateView
    // A point on the near plane maps to depth 0, one on the far plane to 1.
    Matrix p = camera->projection;
    auto depth = [&](float z) {
        const float* m = p.GetPointer();
        return (z * m[10] + m[14]) / (z * m[11] + m[15]);
    };
    EXPECT_NEAR(depth(1.0f), 0.0f, 1e-6f);
    EXPECT_NEAR(depth(100.0f), 1.0f, 1e-6f);
}

TEST_F(CameraTest, OrthographicMatchesTheUtilityLibrary) {
    camera->SetOrthographic(640.0f, 480.0f, 1.0f, 11.0f);
    const float expected[16] = {2.0f / 640, 0, 0, 0, 0, 2.0f / 480, 0, 0, 0, 0, 0.1f, 0, 0, 0, -0.1f, 1};
    ExpectMatrix(camera->projection, expected);
    EXPECT_FLOAT_EQ(camera->aspect, 4.0f / 3.0f);
    EXPECT_EQ(camera->fov, 1.0f);
}

TEST_F(CameraTest, LookAtBuildsALeftHandedView) {
    // From +x looking at the origin: forward -x, up +y, so right is +z.
    const Vector3 eye{10, 0, 0}, target{0, 0, 0};
    camera->LookAt(&eye, &target, nullptr);
    camera->UpdateView();
    const float expected[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 10, 1};
    ExpectMatrix(camera->view, expected);
    const Vector3 ahead = Transform(Vector3{0, 0, 0}, camera->view);
    EXPECT_FLOAT_EQ(ahead.z, 10.0f);
    const Vector3 toTheRight = Transform(Vector3{0, 0, 1}, camera->view);
    EXPECT_FLOAT_EQ(toTheRight.x, 1.0f);
}

TEST_F(CameraTest, LookingStraightDownUsesZAsUp) {
    const Vector3 eye{0, 5, 0}, target{0, 0, 0};
    camera->LookAt(&eye, &target, nullptr);
    EXPECT_EQ(camera->up.x, 0.0f);
    EXPECT_EQ(camera->up.y, 0.0f);
    EXPECT_EQ(camera->up.z, 1.0f);
    EXPECT_EQ(camera->right.x, 1.0f);
    EXPECT_EQ(camera->right.y, 0.0f);
    EXPECT_EQ(camera->right.z, 0.0f);
}

TEST_F(CameraTest, PitchAQuarterTurnsForwardIntoMinusUp) {
    camera->Pitch(16384);
    EXPECT_NEAR(camera->forward.y, -1.0f, 1e-6f);
    EXPECT_NEAR(camera->forward.z, 0.0f, 1e-6f);
    EXPECT_NEAR(camera->up.z, 1.0f, 1e-6f);
    EXPECT_NEAR(camera->up.y, 0.0f, 1e-6f);
    EXPECT_EQ(camera->right.x, 1.0f);
    camera->Yaw(16384);  // about the camera's own up axis (now world +z)
    EXPECT_NEAR(camera->right.y, 1.0f, 1e-6f);
}

TEST_F(CameraTest, UpdateViewMultipliesViewByProjection) {
    camera->SetOrthographic(2.0f, 2.0f, 0.0f, 1.0f);
    camera->Translate(1.0f, 0.0f, 0.0f);
    camera->UpdateView();
    // The camera stands at x = 1: the world origin lands at clip x = -1.
    const Vector3 clip = Transform(Vector3{0, 0, 0.5f}, camera->viewProjection);
    EXPECT_FLOAT_EQ(clip.x, -1.0f);
    EXPECT_FLOAT_EQ(clip.z, 0.5f);
}

TEST_F(CameraTest, ApplySendsTheMatricesAndRebuildsTheFrustum) {
    camera->SetOrthographic(2.0f, 2.0f, 0.0f, 1.0f);
    camera->UpdateView();
    graphics.device()->ClearCalls();
    camera->Apply();
    const auto transforms = graphics.device()->CallsNamed("SetTransform");
    ASSERT_EQ(transforms.size(), 2u);
    EXPECT_EQ(transforms[0].args[0], static_cast<uint32_t>(D3DTS_VIEW));
    EXPECT_EQ(transforms[1].args[0], static_cast<uint32_t>(D3DTS_PROJECTION));
    EXPECT_EQ(transforms[1].matrix[0], 1.0f);

    auto box = [](Vector3 min, Vector3 max) {
        struct Box { Vector3 corners[8]; Plane planes[6]; } b;
        Matrix identity;
        identity.SetIdentity();
        TransformBoxCorners(min, max, b.corners, b.planes, identity);
        return b;
    };
    const auto inside = box({-0.1f, -0.1f, 0.4f}, {0.1f, 0.1f, 0.6f});
    const auto beside = box({2.0f, -0.1f, 0.4f}, {3.0f, 0.1f, 0.6f});
    const auto enclosing = box({-5, -5, -5}, {5, 5, 5});
    EXPECT_TRUE(IsVisible(inside.corners, inside.planes));
    EXPECT_FALSE(IsVisible(beside.corners, beside.planes));
    EXPECT_TRUE(IsVisible(enclosing.corners, enclosing.planes));

    Matrix current;
    GetCurrentViewProjection(&current);
    ExpectMatrix(current, camera->viewProjection.GetPointer());
    graphics.device()->ClearCalls();
    ReapplyCameraTransforms();
    EXPECT_EQ(graphics.device()->CallsNamed("SetTransform").size(), 2u);
}

TEST_F(CameraTest, LookFromLightIsLookAtTurnedHalfAround) {
    Vector3 direction{0, 0, 2};
    SetLightDirection(0, &direction);
    camera->LookFromLight(0);
    EXPECT_EQ(camera->forward.z, 1.0f);
    EXPECT_EQ(camera->up.y, -1.0f);
    EXPECT_EQ(camera->right.x, -1.0f);
}

TEST(LightTest, DirectionIsNormalisedInTheCallersVector) {
    Vector3 direction{3, 0, 4};
    SetLightDirection(1, &direction);
    EXPECT_FLOAT_EQ(direction.x, 0.6f);
    EXPECT_FLOAT_EQ(direction.z, 0.8f);
    Vector3 stored{};
    GetLightDirection(1, &stored);
    EXPECT_FLOAT_EQ(stored.z, 0.8f);
    Vector3 zero{0, 0, 0};
    SetLightDirection(1, &zero);
    GetLightDirection(1, &stored);
    EXPECT_EQ(stored.x, 0.0f);
    EXPECT_EQ(stored.z, 0.0f) << "a zero direction stays zero, not NaN";
}

TEST(LightTest, LightNumbersOutsideTheSlotsAreIgnored) {
    SetLightColor(2, 0.5f, 0.25f, 1.0f);
    for (int light : {-1, 4, 100}) {
        SetLightColor(light, 9, 9, 9);
        Vector3 v{1, 1, 1};
        SetLightDirection(light, &v);
        EXPECT_EQ(v.x, 1.0f) << "not normalised for light " << light;
        float r = -1, g = -1, b = -1;
        GetLightColor(light, &r, &g, &b);
        EXPECT_EQ(r, -1.0f);
    }
    float r = 0, g = 0, b = 0;
    GetLightColor(2, &r, &g, &b);
    EXPECT_EQ(r, 0.5f);
    EXPECT_EQ(g, 0.25f);
    EXPECT_EQ(b, 1.0f);
    EXPECT_EQ(lights[2].Diffuse.a, 1.0f);
    SetDirectionalLight(3, 1);
    EXPECT_EQ(lights[3].Type, static_cast<uint32_t>(D3DLIGHT_DIRECTIONAL));
    EXPECT_EQ(lightEnabled[3], 1);
}

}  // namespace
