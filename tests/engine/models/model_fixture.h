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
