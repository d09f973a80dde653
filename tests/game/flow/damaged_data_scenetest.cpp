// The game started as the program starts, with one of the data files that
// the way to the title reads damaged: the file is named once on standard
// error with the folder and the command that writes a working set, and the
// game still reaches its title and answers there.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/devices/sound.h"
#include "game/flow/run_state.h"
#include "game/screens/title_menu.h"
#include "platform/keyboard.h"
#include "tests/support/damaged_data.h"
#include "tests/support/scene_harness.h"
#include "tests/support/temp_dir.h"
#include "tools/datagen/picture_set.h"
#include "tools/datagen/sound_set.h"

namespace {

namespace fs = std::filesystem;

struct DataFile {
    const char* name;
    test::EntryLayout layout;
};
constexpr DataFile kPictures{"gf/system.dat", test::kKagLayout};
constexpr DataFile kEffects{"se.dat", test::kKsdLayout};
constexpr DataFile kMusic{"bgm.dat", test::kKsdLayout};
constexpr DataFile kDataFiles[] = {kPictures, kEffects, kMusic};

class DamagedDataTest : public testing::Test {
protected:
    // The whole set the way to the title reads, written once.
    static void SetUpTestSuite() {
        whole_ = new test::TempDir;
        const std::string folder = whole_->path().string();
        generated_ = datagen::WritePictureArchive(folder, datagen::PictureCatalogue(), kPictures.name) &&
                     datagen::WriteSoundSet(folder);
    }
    static void TearDownTestSuite() {
        delete whole_;
        whole_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(generated_); }

    // What the game said on standard error on its way to the title's main
    // menu, and from there on the way into the select screen (where the
    // first music plays).
    struct Said {
        std::string byTitle, bySelect;
        std::string folder;  // the program folder
        bool reachedTitle = false, reachedSelect = false;
    };

    // Runs the game with the whole set but `damaged` damaged by `damage`, or
    // with every file whole.
    static Said RunToTheSelectScreen(const DataFile* damaged, test::Damage damage) {
        Said said;
        testing::internal::CaptureStderr();
        test::SceneHarness harness(test::AsTheProgram{
            [&](const std::string& folder) {
                fs::create_directories(fs::path(folder) / "gf");
                for (const DataFile& file : kDataFiles) {
                    std::vector<uint8_t> bytes = test::ReadBinaryFile(whole_->file(file.name));
                    if (&file == damaged) bytes = test::Damaged(std::move(bytes), damage, file.layout);
                    test::WriteBinaryFile((fs::path(folder) / file.name).string(), bytes);
                }
            },
            true});
        said.folder = harness.folder().path().string();
        // The intro ends on Z.
        bool running = harness.RunUntilScene(SCENE_TITLE, 3000) >= 0;
        for (int frames = 0; running && titleState != TITLE_MAIN && frames < 600; frames += 20) {
            harness.RunFrames(19);
            harness.Tap('Z');
        }
        said.reachedTitle = running && sceneNumber == SCENE_TITLE && titleState == TITLE_MAIN;
        WaitSoundQueueEmpty();
        said.byTitle = testing::internal::GetCapturedStderr();

        testing::internal::CaptureStderr();
        // Versus, two players.
        for (int key : {int{platform::VK_DOWN}, int{'Z'}, int{'Z'}}) {
            harness.Tap(key);
            harness.RunFrames(20);
        }
        said.reachedSelect = harness.RunUntilScene(SCENE_SELECT, 300) >= 0;
        harness.RunFrames(30);
        WaitSoundQueueEmpty();
        said.bySelect = testing::internal::GetCapturedStderr();
        return said;
    }

    static test::TempDir* whole_;
    static bool generated_;
};

test::TempDir* DamagedDataTest::whole_ = nullptr;
bool DamagedDataTest::generated_ = false;

TEST_F(DamagedDataTest, AWholeSetNamesNothing) {
    const Said said = RunToTheSelectScreen(nullptr, test::Damage::MagicOnly);
    EXPECT_TRUE(said.reachedTitle);
    EXPECT_TRUE(said.reachedSelect);
    EXPECT_EQ(said.byTitle + said.bySelect, "");
}

// The pictures and the effects are read before the title, the music first
// on the select screen (the title plays none).
TEST_F(DamagedDataTest, EachDamagedFileIsNamedOnceWhenFirstReadAndTheTitleIsReached) {
    for (const DataFile& file : kDataFiles) {
        for (test::Damage damage : test::kEveryDamage) {
            SCOPED_TRACE(std::string(file.name) + ", " + test::DamageName(damage));
            const Said said = RunToTheSelectScreen(&file, damage);
            EXPECT_TRUE(said.reachedTitle) << said.byTitle;
            EXPECT_TRUE(said.reachedSelect) << said.bySelect;
            const std::string& named = std::string_view(file.name) == kMusic.name ? said.bySelect : said.byTitle;
            const std::string all = said.byTitle + said.bySelect;
            EXPECT_EQ(test::CountOf(named, std::string(file.name) + " is damaged: "), 1u) << all;
            // One line in all: the file, what to do and where.
            EXPECT_EQ(test::CountOf(all, "\n"), 1u) << all;
            // The harness's program folder holds no datagen.
            EXPECT_EQ(test::CountOf(all, "with: build/bin/datagen " + said.folder + " (in the game's source tree"),
                      1u)
                << all;
        }
    }
}

}  // namespace
