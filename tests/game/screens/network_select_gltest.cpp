// The network select's picture on OpenGL from the generated data set, probed
// in its states: the "connecting" strip at the bottom right while it looks
// for the peer, both wheels lit and turning while both players choose, the
// stage ring, the "disconnected" strip across the middle once the peer is
// lost, and the "connecting" strip over the fade-out into the match. Each
// picture is saved as build/network_select/<name>.png.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/devices/network.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "game/screens/network_select.h"
#include "game/screens/select_screen.h"
#include "tests/game/screens/select_gl_fixture.h"
#include "tests/support/fake_transport.h"

namespace {

using test::At;
using test::Brightness;
using test::CursorFace;
using test::Near;
using test::Pixels;
using test::Point;

struct Box {
    int left, top, right, bottom;
};

// Where the strips are drawn, and a band just left of the "connecting" one.
constexpr Box kConnectingStrip{475, 435, 625, 465};
constexpr Box kDisconnectedStrip{200, 225, 440, 255};
constexpr Box kLeftOfConnecting{420, 435, 470, 465};
constexpr Box kBelowDisconnected{200, 265, 440, 295};

const Point kSide0Face = CursorFace(0, 0, 0), kSide1Face = CursorFace(640, 480, 1);

// The share (0..1) of the pixels of a box, every second one, that differ
// between two pictures.
double Differing(const Pixels& a, const Pixels& b, Box box) {
    int differ = 0, all = 0;
    for (int y = box.top; y < box.bottom; y += 2)
        for (int x = box.left; x < box.right; x += 2, ++all) differ += !Near(At(a, {x, y}), At(b, {x, y}));
    return static_cast<double>(differ) / all;
}

class NetworkSelectGLTest : public test::SelectGLFixture {
protected:
    NetworkSelectGLTest() : SelectGLFixture("network_select") {}
    void SetUp() override {
        SelectGLFixture::SetUp();
        if (HasFatalFailure()) return;
        std::strcpy(config.peerHost, "127.0.0.1");
        config.port = test::kFakePort;
        config.localSide = 0;
        config.slowLine = 0;
        InitNetworkSelect();
        transitionRunning = 0;
        selectScreen.whiteFlash = 0.0f;
    }
    void TearDown() override {
        transitionRunning = 0;
        selectScreen.state = SELECT_CANCELLED;
        LeaveNetworkSelect();
        SelectGLFixture::TearDown();
    }

    // The screen in `state`, its wheels shown as far as `wheelShow` and the
    // stage ring as far as `stageShow`, with the connection as `connected`.
    Pixels Picture(const char* name, int32_t state, uint8_t connected, float wheelShow, float stageShow = 0.0f) {
        selectScreen.state = state;
        netConnected = connected;
        selectScreen.stageShow = stageShow;
        ShowWheels(wheelShow);
        return DrawAndSave(name, DrawNetworkSelect);
    }

    test::FakeTransport transport;
};

// While it looks for the peer the "connecting" strip shows at the bottom
// right, and only there; the wheels are not in yet.
TEST_F(NetworkSelectGLTest, ConnectingShowsItsStripAtTheBottomRight) {
    const Pixels fadeIn = Picture("fade_in", SELECT_FADE_IN, 0, 0.0f);
    const Pixels connecting = Picture("connecting", SELECT_CONNECTING, 0, 0.0f);
    EXPECT_GT(Differing(fadeIn, connecting, kConnectingStrip), 0.5);
    EXPECT_LT(Differing(fadeIn, connecting, kLeftOfConnecting), 0.05);
    EXPECT_LT(Differing(fadeIn, connecting, kDisconnectedStrip), 0.05);
}

// Both players choose at once: both cursor faces are lit (grey once the
// stage is being chosen), each wheel turns with its own cursor, and no strip
// shows while the connection is live.
TEST_F(NetworkSelectGLTest, BothSidesChooseOnLitWheelsThatTurnWithTheirOwnCursors) {
    const Pixels choosing = Picture("choosing", SELECT_CHARACTER, 1, 1.0f);
    const Pixels greyFaces = Picture("stage_wheels_grey", SELECT_STAGE, 1, 1.0f);
    for (Point face : {kSide0Face, kSide1Face})
        EXPECT_GT(Brightness(At(choosing, face)), Brightness(At(greyFaces, face)) * 5 / 4)
            << face.x << "," << face.y << " " << std::hex << At(choosing, face) << " " << At(greyFaces, face);

    // Each side turns its own wheel by one: both cursor faces change.
    selectScreen.state = SELECT_CHARACTER;
    MoveSelectCursor(0, +1);
    MoveSelectCursor(1, +1);
    LayOutSelectWheel();
    selectScreen.wheelSpin[0] = selectScreen.wheelSpin[1] = 0.0f;
    const Pixels turned = Picture("choosing_turned", SELECT_CHARACTER, 1, 1.0f);
    for (Point face : {kSide0Face, kSide1Face})
        EXPECT_FALSE(Near(At(choosing, face), At(turned, face), 30))
            << face.x << "," << face.y << " " << std::hex << At(choosing, face) << " " << At(turned, face);

    // Halfway through a turn the faces stand between two places.
    selectScreen.wheelSpin[0] = selectScreen.wheelSpin[1] = 0.5235988f / 2;
    const Pixels turning = Picture("choosing_turning", SELECT_CHARACTER, 1, 1.0f);
    for (Point face : {kSide0Face, kSide1Face}) EXPECT_FALSE(Near(At(turned, face), At(turning, face), 30));

    const Pixels lost = Picture("disconnected", SELECT_CHARACTER, 0, 1.0f);
    EXPECT_GT(Differing(choosing, lost, kDisconnectedStrip), 0.5);
}

// The stage choice brings the stage ring into the middle of the screen.
TEST_F(NetworkSelectGLTest, TheStageChoiceShowsTheStageRing) {
    const Pixels wheelsOut = Picture("character_wheels_out", SELECT_CHARACTER, 1, 0.0f);
    const Pixels stage = Picture("stage", SELECT_STAGE, 1, 0.0f, 1.0f);
    EXPECT_GT(Differing(wheelsOut, stage, {200, 180, 440, 300}), 0.5);
}

// Once the peer is lost the "disconnected" strip shows across the middle in
// every state after the connection, the stage choice too; during the fade
// into the match the "connecting" strip stays over the fade while the
// connection is live.
TEST_F(NetworkSelectGLTest, DisconnectedStripAndTheConnectingStripOverTheFadeOut) {
    const Pixels stage = Picture("stage_wheels_out", SELECT_STAGE, 1, 0.0f, 0.0f);
    const Pixels stageLost = Picture("stage_disconnected", SELECT_STAGE, 0, 0.0f, 0.0f);
    EXPECT_GT(Differing(stage, stageLost, kDisconnectedStrip), 0.3);
    EXPECT_LT(Differing(stage, stageLost, kBelowDisconnected), 0.1);

    auto fadedOut = [this](const char* name, uint8_t connected) {
        StartTransition(TRANSITION_FADE_OUT);
        transitionAlpha = 1.0f;
        return Picture(name, SELECT_DECIDED, connected, 0.0f);
    };
    // The fade covers everything else alike, the "disconnected" strip too.
    const Pixels decided = fadedOut("decided", 1);
    const Pixels decidedLost = fadedOut("decided_disconnected", 0);
    EXPECT_GT(Differing(decided, decidedLost, kConnectingStrip), 0.5);
    for (Box covered : {kLeftOfConnecting, kDisconnectedStrip, Box{0, 0, 640, 200}})
        EXPECT_LT(Differing(decided, decidedLost, covered), 0.01) << covered.left << "," << covered.top;
}

}  // namespace
