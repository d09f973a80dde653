// The configuration the game gives the engine before its window exists, and
// the names of the screenshots.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/core/application.h"
#include "engine/graphics/device.h"
#include "game/flow/save_files.h"
#include "game/flow/sound_tables.h"
#include "game/start/game_start.h"
#include "tests/engine/core/application_fixture.h"

namespace {

class ConfigureApplicationTest : public test::ApplicationTest {
protected:
    void SetUp() override {
        ApplicationTest::SetUp();
        savedFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
    }
    void TearDown() override {
        std::filesystem::current_path(savedFolder);
        ResetGraphicsSettings();
        soundOff = 0;
        ApplicationTest::TearDown();
    }
    // Writes a config.dat with the defaults changed by `edit`.
    template <typename Edit>
    void WriteConfig(Edit edit) {
        LoadConfig();  // creates the defaults
        Config changed = config;
        edit(changed);
        std::ofstream(folder.file("config.dat"), std::ios::binary)
            .write(reinterpret_cast<const char*>(&changed), sizeof changed);
    }

    test::TempDir folder;
    std::filesystem::path savedFolder;
};

TEST_F(ConfigureApplicationTest, FirstStartCreatesTheConfigAndSetsTheEngineUp) {
    ConfigureApplication();
    EXPECT_EQ(std::filesystem::file_size(folder.file("config.dat")), 348u);
    EXPECT_STREQ(appName, "Tobrazel");
    EXPECT_EQ(screenWidth, 640);
    EXPECT_EQ(screenHeight, 480);
    EXPECT_EQ(targetFrameRate, 60);
    EXPECT_EQ(windowed, 0);  // the default config is full screen
    EXPECT_EQ(cursorVisible, 0);
    EXPECT_EQ(startupConsoleEnabled, 0);
    EXPECT_EQ(engineInitFlags, ENGINE_INIT_GRAPHICS | ENGINE_INIT_INPUT | ENGINE_INIT_SOUND);
    ASSERT_EQ(messageHookCount, 1);
    EXPECT_EQ(messageHooks[0].message, platform::WM_KEYDOWN);
    EXPECT_EQ(messageHooks[0].callback, &OnKeyDown);
}

TEST_F(ConfigureApplicationTest, TheStoredConfigChoosesTheWindowAndTheSound) {
    struct Case {
        uint8_t fullScreen, soundOff;
        int windowed;
    };
    for (Case c : {Case{0, 1, 1}, Case{1, 0, 0}, Case{7, 2, 0}}) {
        SCOPED_TRACE(testing::Message() << "fullScreen " << int(c.fullScreen) << " soundOff " << int(c.soundOff));
        WriteConfig([&](Config& changed) {
            changed.fullScreen = c.fullScreen;
            changed.soundOff = c.soundOff;
        });
        messageHookCount = 0;
        soundOff = 0;
        ConfigureApplication();
        EXPECT_EQ(windowed, c.windowed);
        EXPECT_EQ(soundOff, c.soundOff);
    }
}

TEST(ScreenshotPathTest, HasAtLeastTwoDigitsInTheScreenFolder) {
    struct Case {
        int32_t counter;
        const char* path;
    };
    for (Case c : {Case{0, "screen\\screen00.bmp"}, Case{9, "screen\\screen09.bmp"}, Case{10, "screen\\screen10.bmp"},
                   Case{123, "screen\\screen123.bmp"}}) {
        char path[256];
        FormatScreenshotPath(path, sizeof path, c.counter);
        EXPECT_STREQ(path, c.path) << c.counter;
    }
}

}  // namespace
