#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/core/log.h"
#include "engine/startup/engine_main.h"
#include "platform/instance_lock.h"
#include "tests/engine/core/application_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<std::string> trace;
std::vector<std::string> lastLineAtStart;  // the newest console line when a layer starts
unsigned flagsToSet = 0;
bool exitDuringConfiguration = false;
bool graphicsFails = false;

template <int Index>
int StartLayer() {
    trace.push_back("start " + std::to_string(Index));
    lastLineAtStart.push_back(startupLineCount > 0 ? startupLines[startupLineCount - 1] : "");
    return (Index == 0 && graphicsFails) ? 0 : 1;
}
template <int Index>
void StopLayer() {
    trace.push_back("stop " + std::to_string(Index));
}

void Configure() {
    trace.push_back("configure");
    SetInitFlags(flagsToSet);
    if (exitDuringConfiguration) RequestExit();
}

// The game's main loop: quits at once, through the window as the escape key does.
void RunQuitting() {
    trace.push_back(windowHandle ? "run with window" : "run without window");
    RequestExit();
    while (PumpMessages()) {
    }
}

class EngineMainTest : public test::ApplicationTest {
protected:
    void SetUp() override {
        test::ApplicationTest::SetUp();
        trace.clear();
        lastLineAtStart.clear();
        flagsToSet = 0;
        exitDuringConfiguration = false;
        graphicsFails = false;
        SetRecordingLayer<0>();
        SetRecordingLayer<1>();
        SetRecordingLayer<2>();
        SetRecordingLayer<3>();
        SetRecordingLayer<4>();
        SetRecordingLayer<5>();
        SetRecordingLayer<6>();
        SetRecordingLayer<7>();
    }
    template <int Index>
    void SetRecordingLayer() {
        engineLayers[Index].start = StartLayer<Index>;
        engineLayers[Index].stop = StopLayer<Index>;
    }
    std::vector<std::string> Trace(std::initializer_list<const char*> steps) { return {steps.begin(), steps.end()}; }
};

TEST_F(EngineMainTest, StartsTheFlaggedLayersAndStopsThemInReverse) {
    flagsToSet = ENGINE_INIT_INPUT | ENGINE_INIT_SOUND | ENGINE_INIT_MCI;
    EXPECT_EQ(EngineMain(Configure, RunQuitting), 0);
    EXPECT_EQ(trace, Trace({"configure", "start 0", "start 1", "start 2", "start 7", "run with window", "stop 7",
                            "stop 2", "stop 1", "stop 0"}));
}

// Graphics and input show their console line before they start, sound after.
TEST_F(EngineMainTest, ConsoleLinesFrameTheLayerStarts) {
    flagsToSet = ENGINE_INIT_INPUT | ENGINE_INIT_SOUND;
    EngineMain(Configure, RunQuitting);
    EXPECT_EQ(lastLineAtStart, Trace({" -> Initialize DirectXGraphics...", " -> Initialize Directinput...",
                                      " -> Initialize Directinput..."}));
    ASSERT_GT(startupLineCount, 0);
    EXPECT_STREQ(startupLines[startupLineCount - 1], " -> Initialize DirectSound...");
    EXPECT_STREQ(startupLines[0], "\x81\xa1 Karo3rd Phase 10.22... 2005.02.20");
}

TEST_F(EngineMainTest, AFailedGraphicsDeviceSkipsTheGameButStopsEveryFlaggedLayer) {
    flagsToSet = ENGINE_INIT_INPUT;
    graphicsFails = true;
    EXPECT_EQ(EngineMain(Configure, RunQuitting), 0);
    EXPECT_EQ(trace, Trace({"configure", "start 0", "stop 1", "stop 0"}));
}

TEST_F(EngineMainTest, ExitDuringConfigurationEndsAtOnce) {
    flagsToSet = ENGINE_INIT_SOUND;
    exitDuringConfiguration = true;
    EXPECT_EQ(EngineMain(Configure, RunQuitting), 0);
    EXPECT_EQ(trace, Trace({"configure"}));
}

TEST_F(EngineMainTest, ASecondCopyShowsTheErrorAndStillRunsTheShutdown) {
    platform::InstanceLock firstCopy;
    ASSERT_TRUE(firstCopy.Acquire(appName));
    flagsToSet = ENGINE_INIT_SOUND;
    testing::internal::CaptureStderr();
    EXPECT_EQ(EngineMain(Configure, RunQuitting), 0);
    std::string error = testing::internal::GetCapturedStderr();
    EXPECT_NE(error.find("Error: 2\xE9\x87\x8D\xE8\xB5\xB7\xE5\x8B\x95\xE3\x81\xAF\xE5\x87\xBA\xE6\x9D\xA5\xE3\x81\xBE"
                         "\xE3\x81\x9B\xE3\x82\x93"),  // "2重起動は出来ません"
              std::string::npos)
        << error;
    EXPECT_EQ(trace, Trace({"configure", "stop 2", "stop 0"}));
}

TEST_F(EngineMainTest, TheWorkingFolderIsTheProgramFolder) {
    EngineMain(Configure, RunQuitting);
    EXPECT_STREQ(GetAppFolder(), platform::ProgramFolder().c_str());
    EXPECT_EQ(std::string(std::filesystem::current_path()), platform::ProgramFolder());
}

TEST_F(EngineMainTest, TheLogFramesTheRunWithTheSystemInformation) {
    test::TempDir dir;
    std::string log = dir.file("engine.log");
    std::snprintf(logFileName, sizeof logFileName, "%s", log.c_str());
    EngineMain(Configure, RunQuitting);
    logFileName[0] = '\0';
    std::stringstream text;
    text << std::ifstream(log).rdbuf();
    std::string written = text.str();
    size_t at = 0;
    for (std::string step : {std::string("============================================== SystemInfomarion\n"),
                             "  \x81\xa1 Directory  : " + platform::ProgramFolder() + "\n",
                             std::string("  \x81\xa1 RAM        : Total "), std::string("  \x81\xa1 OS         : Linux / "),
                             std::string("Initialize MultiMediaTimer\n"), std::string(">> Start Application <<"),
                             std::string(">> Exit Application <<")}) {
        size_t found = written.find(step, at);
        ASSERT_NE(found, std::string::npos) << step << "\nin:\n" << written;
        at = found;
    }
}

}  // namespace
