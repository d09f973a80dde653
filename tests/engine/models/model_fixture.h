#pragma once
// The engine's device on the recording null backend with the shader, camera
// and model layers started, as the graphics start-up leaves them.
#include <gtest/gtest.h>

#include "engine/core/math.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/models/model.h"
#include "engine/models/vertex_shader.h"
#include "tests/support/recording_device.h"

// A new perspective camera at (0, 0, -10) looking at the origin, applied.
inline Camera* ApplyCameraFacingOrigin(float fovDegrees) {
    Camera* camera = CreateCamera();
    camera->SetPerspective(fovDegrees, 1, 100, 0);
    const Vector3 eye{0, 0, -10}, target{0, 0, 0};
    camera->LookAt(&eye, &target, nullptr);
    camera->UpdateView();
    camera->Apply();
    return camera;
}

class ModelLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeMathTables();
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        InitCameraList();
        ASSERT_EQ(InitializeVertexShaders(), 1);
        ASSERT_EQ(InitializeModels(), 1);
    }
    void TearDown() override {
        DestroyModels();
        DestroyVertexShaders();
        DestroyCameraList();
    }
    test::RecordingGraphics graphics;
};
