#pragma once
// The select screens' pictures on OpenGL from the generated data set: the
// battle's GL fixture with the depth buffer, the transition sprite and the
// camera the screens draw with, the default unlocks, characters 1 and 2 and
// stage 1 remembered and no battles won; and the probes of their pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/graphics/camera.h"
#include "engine/graphics/texture.h"
#include "game/battle/battle_scene.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "game/screens/select_screen.h"
#include "game/shots/object_rules.h"
#include "tests/game/battle/battle_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"

namespace test {

struct Point {
    int x, y;
};

// The centre of the face at wheel position 0 of a wheel about (cx, cy), fully
// shown; side 1's faces are turned half a circle.
inline Point CursorFace(float cx, float cy, int side) {
    constexpr float kPi = 3.1415927f;
    float centre[2] = {0.0f, 200.0f};
    RotateVector2(centre, -kPi / 4 + (side == 1 ? kPi : 0.0f));
    return {static_cast<int>(cx + centre[0]), static_cast<int>(cy + centre[1])};
}

inline int Channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }
inline int Brightness(uint32_t p) { return Channel(p, 0) + Channel(p, 8) + Channel(p, 16); }
inline bool Near(uint32_t a, uint32_t b, int tolerance = 12) {
    for (int shift : {0, 8, 16})
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) return false;
    return true;
}

using Pixels = std::vector<uint32_t>;

inline uint32_t At(const Pixels& pixels, Point p) {
    return pixels[static_cast<size_t>(p.y) * 640 + static_cast<size_t>(p.x)];
}

class SelectGLFixture : public BattleGLFixture {
protected:
    using BattleGLFixture::BattleGLFixture;

    void SetUp() override {
        BattleGLFixture::SetUp();
        if (HasFatalFailure()) return;
        AttachDepthBuffer();
        if (HasFatalFailure()) return;
        transitionSprite = CreateTextureFromArchive("gf\\system.dat", "black", 1, nullptr);
        gameCamera = CreateCamera();
        std::memset(&systemData, 0, sizeof systemData);
        lastSelectedCharacters[0] = 1;
        lastSelectedCharacters[1] = 2;
        lastSelectedStage = 1;
        winCounts[0] = winCounts[1] = 0;
    }

    // Both sides' wheels, bands and plates shown as far as `wheelShow`, and
    // their stand pictures slid all the way in unless the wheels are out.
    static void ShowWheels(float wheelShow) {
        for (int side = 0; side < 2; ++side) {
            selectScreen.wheelShow[side] = wheelShow;
            selectScreen.standSlide[side] = wheelShow > 0.0f ? 1.05f : 0.0f;
        }
    }

    // Draws a frame with `draw`, reads it back and saves it as <name>.png in
    // the test's pictures folder.
    Pixels DrawAndSave(const char* name, void (*draw)()) {
        draw();
        Pixels pixels = ReadEngineBackBuffer();
        EXPECT_TRUE(WritePixelsPng((screens_ / (std::string(name) + ".png")).string(), pixels, 640, 480));
        return pixels;
    }
};

}  // namespace test
