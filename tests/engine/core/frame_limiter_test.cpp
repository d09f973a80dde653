#include <gtest/gtest.h>

#include "engine/core/application.h"
#include "tests/engine/core/application_fixture.h"

namespace {

class FrameLimiterTest : public test::ApplicationTest {
protected:
    // One frame that took `elapsed` ms since the end of the previous one.
    std::vector<uint32_t> FrameSleeps(int fps, uint32_t elapsed) {
        SetFrameRate(fps);
        clock.now = 5000;
        lastFrameTime = clock.now - elapsed;
        clock.sleeps.clear();
        WaitFrame();
        EXPECT_EQ(lastFrameTime, clock.now);
        return clock.sleeps;
    }
};

TEST_F(FrameLimiterTest, SleepsTheRestOfTheFrame) {
    struct Case {
        int fps;
        uint32_t elapsed;
        std::vector<uint32_t> sleeps;
    };
    const Case cases[] = {
        {60, 0, {16}},  {60, 10, {6}},  {60, 15, {1}}, {60, 16, {}}, {60, 40, {}},
        {30, 0, {33}},  {0, 0, {}},     {0, 5, {}},
        // Eleven hours without a frame: the product would overflow 32 bits.
        {60, 40000000, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FrameSleeps(c.fps, c.elapsed), c.sleeps) << c.fps << " fps, " << c.elapsed << " ms";
    }
}

TEST_F(FrameLimiterTest, ElapsedTimeSurvivesTheClockWrapping) {
    SetFrameRate(60);
    lastFrameTime = 0xFFFFFFFBu;  // 5 ms before the wrap
    clock.now = 5;                // 10 ms later
    WaitFrame();
    EXPECT_EQ(clock.sleeps, std::vector<uint32_t>{6});
}

TEST_F(FrameLimiterTest, StatisticsTurnOverOnceASecond) {
    for (int fps : {60, 0}) {
        SetUp();
        SetFrameRate(fps);
        clock.now = 1000;
        lastFrameTime = clock.now;
        WaitFrame();  // the first frame starts the second
        uint32_t start = lastSecondTime;
        AddPresentedFrames(1);
        AddPresentedFrames(1);
        AddPrimitiveCount(30);
        clock.now = start + 999;
        WaitFrame();
        EXPECT_EQ(framesPerSecond, 0) << fps;
        clock.now = start + 1000;
        WaitFrame();
        EXPECT_EQ(framesPerSecond, 2) << fps;
        EXPECT_EQ(primitivesPerSecond, 30) << fps;
        EXPECT_EQ(presentedFrames, 0) << fps;
        EXPECT_EQ(primitiveCount, 0) << fps;
        EXPECT_EQ(lastSecondTime, clock.now) << fps;
    }
}

TEST_F(FrameLimiterTest, TitleShowsPrimitivesPerFrame) {
    struct Case {
        int fps, pps;
        const char* title;
    };
    SetAppName("Game");
    for (const Case& c : {Case{60, 600, "Game  FPS[60] PPS[600] PPF[10]"}, Case{0, 600, "Game  FPS[0] PPS[600] PPF[600]"}}) {
        framesPerSecond = c.fps;
        primitivesPerSecond = c.pps;
        char title[128];
        FormatFrameStatistics(title, sizeof title);
        EXPECT_STREQ(title, c.title);
    }
}

}  // namespace
