#pragma once
// The engine's device on OpenGL in a hidden offscreen window, with the
// camera, shader, texture, surface and model layers started.
#include <gtest/gtest.h>

#include <memory>

#include "engine/core/math.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "engine/models/vertex_shader.h"
#include "platform/hidden_window.h"
#include "tests/support/recording_device.h"

class ModelGLTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeMathTables();
        window_ = std::make_unique<platform::HiddenGLWindow>(640, 480);
        host_.window = window_->handle();
        SetGraphicsHost(&host_);
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        InitCameraList();
        InitializeVertexShaders();
        InitTextureList();
        InitSurfaceList();
        InitializeModels();
    }
    void TearDown() override {
        SetTexture(nullptr, 0);
        DestroyModels();
        DestroyVertexShaders();
        DestroySurfaceList();
        DestroyTextureList();
        DestroyCameraList();
        DestroyDirectXGraphics();
        SetGraphicsHost(nullptr);
    }

    test::FakeGraphicsHost host_;
    std::unique_ptr<platform::HiddenGLWindow> window_;
};
