// Settings that cannot be read, names that are no CP932 text, and the words
// the launcher finds for what it cannot open.
#include "tools/launcher/core/launcher.h"

#include "platform/registry.h"
#include "tests/support/hostile_files.h"
#include "tests/tools/launcher/launcher_env.h"
#include "tools/launcher/core/failure_text.h"
#include "tools/launcher/core/texts.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <functional>

namespace {

namespace fs = std::filesystem;
using launcher::Launcher;
using launcher_test::ListTree;
using launcher_test::WriteFile;
namespace text = launcher::text;

using SetupFileTest = launcher_test::InstallTest;

// The test program's own name, which titles the launcher when the settings
// name no game.
constexpr const char* kProgramName = "launcher_tests";

// A Setup.ini that is missing or cannot be read leaves a launcher that works
// on the defaults, titled with the program's name, and says why it can do
// nothing; a FIFO in its place never blocks.
TEST_F(SetupFileTest, SettingsThatCannotBeReadSayWhyUnderTheProgramsName) {
    const fs::path ini = medium() / "Setup.ini";
    const std::string cannot = std::string("\n") + text::kCannotInstall;
    struct Case {
        const char* label;
        std::function<void()> prepare;
        std::string problem;
    };
    const Case cases[] = {
        {"missing", [] {}, "設定ファイル「Setup.ini」が見つかりません。"},
        {"a folder", [&] { fs::create_directory(ini); }, "設定ファイル「Setup.ini」の場所に別の種類の項目があります。"},
        {"a FIFO", [&] { test::MakeFifo(ini); }, "設定ファイル「Setup.ini」はファイルでもフォルダでもありません。"},
        {"a dangling link", [&] { fs::create_symlink("gone.ini", ini); }, "設定ファイル「Setup.ini」が見つかりません。"},
    };
    for (const Case& c : cases) {
        fs::remove(ini);
        c.prepare();
        Launcher core(medium());
        EXPECT_EQ(core.ProgramTitle(), kProgramName) << c.label;
        const auto refusal = core.CheckInstDir();
        ASSERT_TRUE(refusal) << c.label;
        EXPECT_EQ(refusal->text, c.problem + cannot) << c.label;
        EXPECT_EQ(refusal->caption, kProgramName) << c.label;
        const auto install = core.Install(folders_.root() / "games" / "TestGame", Callbacks());
        EXPECT_FALSE(install.installed) << c.label;
        EXPECT_EQ(install.notice.text, c.problem + cannot) << c.label;
        EXPECT_EQ(core.Uninstall({}).text, c.problem + cannot) << c.label;
        EXPECT_FALSE(core.IsInstalled()) << c.label;
        EXPECT_FALSE(core.Run()) << c.label;
        EXPECT_TRUE(core.shortcuts().empty()) << c.label;
    }
    EXPECT_EQ(copyStarts, 0);
    EXPECT_FALSE(fs::exists(folders_.root() / "games"));
}

TEST_F(SetupFileTest, SettingsAnotherUserMayNotReadSaySo) {
    if (!launcher_test::RunningAsRoot()) GTEST_SKIP() << "needs root to act as another user";
    const fs::path ini = medium() / "Setup.ini";
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write);
    launcher_test::GiveToOtherUser(folders_.root());
    ASSERT_EQ(chown(ini.c_str(), 0, 0), 0);
    const auto seen = launcher_test::RunAsOtherUser([&] {
        Launcher core(medium());
        const auto refusal = core.CheckInstDir();
        return core.ProgramTitle() + "|" + (refusal ? refusal->text : "none");
    });
    EXPECT_EQ(seen, std::string(kProgramName) + "|設定ファイル「Setup.ini」" + text::kNoPermission + "\n" +
                        text::kCannotInstall);
}

// "INST_DIR" names the game's folder beside the launcher. A folder named by
// the settings' bytes themselves (a name that is no CP932 text, or a medium
// unpacked without converting its names) is found and installed into the
// folder named by the text read; a name that could leave the medium is never
// looked up by its bytes.
TEST_F(SetupFileTest, TheGamesFolderIsFoundByTheBytesOfItsName) {
    struct Case {
        const char* label;
        std::string instDirBytes;
        std::string folderOnDisk;  // empty: none
        std::string instDirText;   // as read, which names the install folder
        bool installs;
    };
    const Case cases[] = {
        {"no CP932 text", "G\xFF\xFE", "G\xFF\xFE", "G\uFFFD\uFFFD", true},
        {"unconverted CP932", "\x83Q\x81[\x83\x80", "\x83Q\x81[\x83\x80", "ゲーム", true},
        {"no CP932 text, no folder", "G\xFF\xFE", "", "G\uFFFD\uFFFD", false},
        {"bytes that would leave the medium", "\x81/..", "", "\uFFFD..", false},
    };
    for (const Case& c : cases) {
        fs::remove_all(medium());
        launcher_test::MakeMedium(medium());
        WriteFile(medium() / "Setup.ini", "[Setup]\nGAME_TITLE=T\nINST_DIR=" + c.instDirBytes + "\nSC_NUM=0\n");
        if (!c.folderOnDisk.empty()) fs::rename(medium() / "TestGame", medium() / c.folderOnDisk);
        Launcher core(medium());
        EXPECT_EQ(core.setup().InstDir(), c.instDirText) << c.label;
        const fs::path destination = folders_.root() / "games" / c.instDirText;
        const auto result = core.Install(destination, Callbacks());
        ASSERT_EQ(result.installed, c.installs) << c.label << ": " << result.notice.text;
        if (!c.installs) {
            EXPECT_EQ(result.notice.text, std::string(text::kInstallFailed) + "\nインストール元のフォルダ「" +
                                              (medium() / c.instDirText).string() + "」" + text::kNotFound)
                << c.label;
            EXPECT_FALSE(fs::exists(destination)) << c.label;
            continue;
        }
        EXPECT_EQ(launcher_test::ReadFile(destination / "data" / "a.dat"), "aaaa") << c.label;
        EXPECT_EQ(ListTree(destination).size(), size_t(launcher_test::kGameEntries)) << c.label;
        EXPECT_EQ(core.Uninstall({}).text, "T" + std::string(text::kUninstallDone)) << c.label;
        EXPECT_FALSE(fs::exists(destination)) << c.label;
    }
    EXPECT_FALSE(platform::RegistryKey::Open("Software\\Tessaphoro"));
}

// A file that could not be opened because something else is in its place is
// named by what is there, in words.
TEST(FailureText, NamesWhatStandsInPlaceOfAFile) {
    test::TempDir dir;
    const fs::path fifo = dir.path() / "pipe";
    test::MakeFifo(fifo);
    const fs::path file = dir.path() / "file";
    WriteFile(file, "x");
    struct Case {
        fs::path path;
        int error;
        const char* reason;
    };
    const Case cases[] = {
        {fifo, EINVAL, text::kNotAFile},
        {dir.path(), EINVAL, text::kSomethingInTheWay},
        {file, EINVAL, "を扱えませんでした。エラー番号: 22"},  // a regular file after all: no guess
        {dir.path() / "gone", ENOENT, text::kNotFound},
        {file, EIO, text::kInputOutputError},
        {file, EFBIG, text::kTooLarge},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(launcher::DescribeFailure("項目", c.path, launcher::OpenFailureCause(c.path, c.error)),
                  "項目「" + c.path.string() + "」" + c.reason)
            << c.path << " " << c.error;
    }
}

}  // namespace
