#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/startup/engine_main.h"
#include "platform/system.h"
#include "platform/window.h"
#include "tests/support/temp_dir.h"

namespace test {

// A clock that stands still until a sleep moves it on; it records the sleeps.
class FakeClock final : public platform::Clock {
public:
    uint32_t Now() override { return now; }
    void Sleep(uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    }
    uint32_t now = 0;
    std::vector<uint32_t> sleeps;
};

// Puts the application core's state back to that of a fresh program around
// each test, with the fake clock in place and the window system closed after.
class ApplicationTest : public testing::Test {
protected:
    // What TearDown puts back is taken once, before any SetUp: a test may call
    // SetUp again to start over, and must not make its own state the saved one.
    ApplicationTest() {
        std::copy(std::begin(engineLayers), std::end(engineLayers), savedLayers);
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        savedRuntimeDir = runtime ? runtime : "";
        hadRuntimeDir = runtime != nullptr;
    }
    void SetUp() override {
        platform::SetClock(&clock);
        // The single-instance lock files go to a folder of the test's own.
        setenv("XDG_RUNTIME_DIR", runtimeDir.path().c_str(), 1);
        SetAppName("test-app");
        screenWidth = 640;
        screenHeight = 480;
        startupConsoleEnabled = 1;
        targetFrameRate = 60;
        keepRunning = 1;
        windowed = 1;
        cursorVisible = 0;
        engineInitFlags = 0;
        showFpsInTitle = 0;
        windowHandle = nullptr;
        exitRequested = 0;
        lastMessage = {};
        messageHookCount = 0;
        lastFrameTime = 0;
        framesPerSecond = presentedFrames = primitivesPerSecond = primitiveCount = 0;
        lastSecondTime = 0;
        frameStatisticsStarted = 0;
        startupLineCount = 0;
    }
    void TearDown() override {
        platform::CloseWindowSystem();
        platform::SetClock(nullptr);
        if (hadRuntimeDir) {
            setenv("XDG_RUNTIME_DIR", savedRuntimeDir.c_str(), 1);
        } else {
            unsetenv("XDG_RUNTIME_DIR");
        }
        std::copy(std::begin(savedLayers), std::end(savedLayers), engineLayers);
    }

    FakeClock clock;
    TempDir runtimeDir;
    std::string savedRuntimeDir;
    bool hadRuntimeDir = false;
    EngineLayer savedLayers[kEngineLayerCount];
};

}  // namespace test
