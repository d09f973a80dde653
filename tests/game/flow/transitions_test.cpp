// Screen transitions: their lengths in frames, their tiles and what a frame draws.
#include "game/flow/transitions.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/texture.h"
#include "tests/support/recording_device.h"

namespace {

// DrawTransition calls until the transition ends, at most `limit`.
int FramesUntilDone(int limit = 1000) {
    int frames = 0;
    while (transitionRunning && frames < limit) {
        DrawTransition();
        ++frames;
    }
    return frames;
}

class TransitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeMathTables();
        transitionSprite = nullptr;
        transitionRunning = 0;
    }
};

TEST_F(TransitionTest, EachKindLastsItsNumberOfFrames) {
    const struct { int kind, frames; } cases[] = {
        {10, 81}, {11, 81}, {12, 81}, {13, 73}, {14, 56}, {100, 131},
        {122, 81}, {124, 56}, {1000, 281}, {1020, 41}, {1021, 41},
    };
    for (const auto& c : cases) {
        StartTransition(c.kind);
        EXPECT_EQ(FramesUntilDone(), c.frames) << "kind " << c.kind;
        EXPECT_EQ(transitionRunning, 0) << "kind " << c.kind;
    }
}

TEST_F(TransitionTest, KindsShareTheirDrawingModes) {
    const struct { int kind, stored; float scale, speed; } cases[] = {
        {10, 10, 1.0f, -0.02f}, {13, 10, 1.0f, -0.02f}, {14, 10, 1.0f, -0.025f},  {100, 100, 0.0f, 0.01f},
        {122, 100, 0.0f, 0.02f}, {124, 100, 0.0f, 0.025f}, {1000, 100, 0.0f, 0.02f},
    };
    for (const auto& c : cases) {
        StartTransition(c.kind);
        EXPECT_EQ(transitionKind, c.stored) << c.kind;
        EXPECT_EQ(transitionSpeed, c.speed) << c.kind;
        EXPECT_EQ(transitionTiles[7][5].scale, c.scale) << c.kind;
    }
}

TEST_F(TransitionTest, TileDelaysFollowTheKindsPattern) {
    StartTransition(12);  // even rows left to right, odd rows right to left
    EXPECT_EQ(transitionTiles[0][0].delay, 0);
    EXPECT_EQ(transitionTiles[15][0].delay, -30);
    EXPECT_EQ(transitionTiles[0][1].delay, -30);
    EXPECT_EQ(transitionTiles[15][1].delay, 0);
    StartTransition(13);  // columns alternate
    EXPECT_EQ(transitionTiles[0][11].delay, -22);
    EXPECT_EQ(transitionTiles[1][11].delay, 0);
    StartTransition(1000);  // waits out the banner
    EXPECT_EQ(transitionTiles[0][0].delay, -200);
    EXPECT_EQ(transitionTiles[15][1].delay, -200);
    EXPECT_EQ(transitionTiles[0][1].delay, -230);
}

TEST_F(TransitionTest, KnockOutCoveringStaysInvisibleForTwoHundredFrames) {
    StartTransition(1000);
    // The first 200 frames draw every tile at scale 0; the first tiles of
    // both sweeps start growing on frame 200.
    for (int i = 0; i < 199; ++i) DrawTransition();
    for (int c = 0; c < kTransitionColumns; ++c)
        for (int r = 0; r < kTransitionRows; ++r) EXPECT_EQ(transitionTiles[c][r].scale, 0.0f);
    DrawTransition();
    EXPECT_GT(transitionTiles[0][0].scale, 0.0f);
    EXPECT_GT(transitionTiles[15][1].scale, 0.0f);
    EXPECT_EQ(transitionTiles[15][0].scale, 0.0f);
    EXPECT_EQ(transitionTiles[0][1].scale, 0.0f);
}

TEST_F(TransitionTest, StartingAnotherReplacesTheRunningOneAndFadesKeepTheTiles) {
    StartTransition(100);
    for (int i = 0; i < 50; ++i) DrawTransition();
    const TransitionTile before = transitionTiles[3][4];
    StartTransition(1021);
    EXPECT_EQ(transitionTiles[3][4].scale, before.scale);
    EXPECT_EQ(transitionAlpha, 0.0f);
    StartTransition(14);
    EXPECT_EQ(transitionTiles[3][4].scale, 1.0f);
    EXPECT_EQ(transitionTiles[3][4].delay, -3);  // even row: one frame a column
}

TEST_F(TransitionTest, UnknownKindOnlyMarksRunningAndTheOldStateEndsIt) {
    StartTransition(1020);
    EXPECT_EQ(FramesUntilDone(), 41);
    StartTransition(5);
    EXPECT_EQ(transitionRunning, 1);
    // The fade left its alpha below 0, so the next frame ends it.
    EXPECT_EQ(FramesUntilDone(), 1);
}

// With the sprite on the recording device: what one frame draws.
class TransitionDrawTest : public TransitionTest {
protected:
    void SetUp() override {
        TransitionTest::SetUp();
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        InitTextureList();
        transitionSprite = CreateTexture(64, 16, 1, nullptr);
        ASSERT_EQ(transitionSprite->IsReady(), 1);
        graphics.device()->ClearCalls();
    }
    void TearDown() override {
        transitionSprite = nullptr;
        DestroyTextureList();
    }
    std::vector<TexturedVertex2D> Quads() {
        std::vector<TexturedVertex2D> out;
        for (const auto& call : graphics.device()->CallsNamed("DrawPrimitiveUP")) {
            const size_t n = call.vertices.size() / sizeof(TexturedVertex2D);
            const size_t at = out.size();
            out.resize(at + n);
            std::memcpy(&out[at], call.vertices.data(), n * sizeof(TexturedVertex2D));
        }
        return out;
    }
    test::RecordingGraphics graphics;
};

TEST_F(TransitionDrawTest, FirstRevealingFrameCoversTheScreenWithOpaqueTiles) {
    StartTransition(12);
    DrawTransition();
    const auto v = Quads();
    ASSERT_EQ(v.size(), 4u * 192);
    // Tile (0, 0) at full size, turned half a turn: its corners swap places.
    EXPECT_EQ(v[0].colour, 0xFFFFFFFFu);
    EXPECT_NEAR(v[0].x, 40.5f, 0.01);
    EXPECT_NEAR(v[0].y, 40.5f, 0.01);
    EXPECT_NEAR(v[2].x, 0.5f, 0.01);
    // Source (0, 0, 10, 10) of a 64-pixel-wide sprite.
    EXPECT_FLOAT_EQ(v[0].u, 0.5f / 64);
    EXPECT_FLOAT_EQ(v[2].u, 9.5f / 64);
}

TEST_F(TransitionDrawTest, FadeDrawsTheWholeScreenFromItsOwnSourceCell) {
    StartTransition(1021);
    DrawTransition();
    DrawTransition();
    const auto v = Quads();
    ASSERT_EQ(v.size(), 8u);
    EXPECT_EQ(v[0].colour, 0x00FFFFFFu);
    EXPECT_EQ(v[4].colour, (static_cast<uint32_t>(0.025f * 255) << 24) | 0xFFFFFF);
    EXPECT_EQ(v[4].x, -0.5f);
    EXPECT_EQ(v[6].x, 639.5f);
    EXPECT_EQ(v[6].y, 479.5f);
    EXPECT_FLOAT_EQ(v[4].u, 32.5f / 64);
    EXPECT_FLOAT_EQ(v[6].u, 41.5f / 64);
}

}  // namespace
