// What an install leaves when it fails, and the message it gives for each
// cause; installs into folders that were there before.
#include "tools/launcher/core/launcher.h"

#include "platform/registry.h"
#include "tools/launcher/core/file_tree.h"
#include "tools/launcher/core/texts.h"
#include "tests/tools/launcher/launcher_env.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using launcher::Launcher;
using launcher::Notice;
using launcher_test::ListTree;
using launcher_test::MakeMedium;
using launcher_test::ReadFile;
using launcher_test::RegistryValues;
using launcher_test::WriteFile;
using platform::RegistryKey;
namespace text = launcher::text;

constexpr const char* kKey = "Software\\Tessaphoro";

std::string Failed(const std::string& detail) { return std::string(text::kInstallFailed) + "\n" + detail; }

using InstallFailureTest = launcher_test::InstallTest;

TEST_F(InstallFailureTest, AFailedInstallIntoANewFolderLeavesNothingBehindAndSaysWhy) {
    // A pipe is no part of a game: the copy cannot read it.
    const fs::path pipe = medium() / "TestGame" / "data" / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    // An earlier install that was interrupted left its record.
    RegistryKey::Create(kKey)->SetValue("OtherGame", "/games/OtherGame");
    RegistryKey::Create(kKey)->SetValue("TestGameInstallState", "FALSE");
    Launcher core(medium());
    const auto result = Install(core);
    EXPECT_FALSE(result.installed);
    EXPECT_EQ(result.notice.kind, Notice::kFailure);
    EXPECT_EQ(result.notice.caption, "テスト");
    EXPECT_EQ(result.notice.text, Failed("1" + std::string(text::kReadFailures) + "\n項目「" + pipe.string() +
                                         "」" + text::kNotAFile + "\n" + text::kRolledBack));
    EXPECT_EQ(copyStarts, 1);
    // The folder it made (and the parent it made for it) are gone, and so are
    // the shortcuts; the record is as it was.
    EXPECT_FALSE(fs::exists(installDir().parent_path()));
    EXPECT_FALSE(fs::exists(menuFolder().parent_path()));
    EXPECT_EQ(RegistryValues(), (std::vector<std::string>{"OtherGame", "TestGameInstallState"}));
    EXPECT_EQ(RegistryKey::Open(kKey)->QueryValue("TestGameInstallState"), "FALSE");
    EXPECT_FALSE(core.IsInstalled());
}

// Each refusal before the copy names its own cause, and nothing is written.
TEST_F(InstallFailureTest, EachRefusalNamesItsCause) {
    const fs::path root = folders_.root();
    fs::create_symlink(root / "loop2", root / "loop1");
    fs::create_symlink(root / "loop1", root / "loop2");
    WriteFile(root / "afile", "x");
    const std::string longName(300, 'L');
    struct Case {
        std::string label;
        std::string setupIni;
        fs::path destination;
        std::string detail;
    };
    const std::string ini = launcher_test::DefaultSetupIni();
    const std::string longIni = "[Setup]\nGAME_TITLE=テスト\nINST_DIR=" + longName + "\n";
    const Case cases[] = {
        {"source missing", "[Setup]\nGAME_TITLE=テスト\nINST_DIR=Missing\n", root / "games" / "Missing",
         "インストール元のフォルダ「" + (medium() / "Missing").string() + "」" + text::kNotFound},
        {"name too long", longIni, root / "games" / longName,
         "インストール元のフォルダ「" + (medium() / longName).string() + "」" + text::kNameTooLong},
        {"link loop", ini, root / "loop1" / "TestGame",
         "インストール先フォルダ「" + (root / "loop1" / "TestGame").string() + "」" + text::kLinkLoop},
        {"file on the way", ini, root / "afile" / "TestGame",
         "インストール先フォルダ「" + (root / "afile" / "TestGame").string() + "」" + text::kNotAFolderOnTheWay},
        {"overlap", ini, medium() / "TestGame" / "data" / "TestGame", text::kDestinationInSource},
    };
    for (const Case& c : cases) {
        MakeMedium(medium(), c.setupIni);
        Launcher core(medium());
        const auto result = core.Install(c.destination, Callbacks());
        EXPECT_FALSE(result.installed) << c.label;
        EXPECT_EQ(result.notice.text, Failed(c.detail)) << c.label;
        EXPECT_EQ(result.notice.caption, "テスト") << c.label;
    }
    EXPECT_EQ(copyStarts, 0);
    EXPECT_EQ(confirmations, 0);
    EXPECT_FALSE(fs::exists(root / "games"));
    EXPECT_FALSE(RegistryKey::Open(kKey));
    EXPECT_FALSE(fs::exists(menuFolder()));
}

TEST(SameOrInside, APathThatCannotBeResolvedIsAnErrorNotAnOverlap) {
    test::TempDir dir;
    std::error_code error;
    EXPECT_FALSE(launcher::IsSameOrInside(dir.path() / std::string(300, 'L'), dir.path(), error));
    EXPECT_EQ(error, std::errc::filename_too_long);
    EXPECT_TRUE(launcher::IsSameOrInside(dir.path() / "a" / ".." / "b", dir.path(), error));
    EXPECT_FALSE(error);
    EXPECT_FALSE(launcher::IsSameOrInside(dir.path(), dir.path() / "b", error));
    EXPECT_FALSE(error);
}

// A folder the user may not write into, and a file of the game the user may
// not read: the real causes, and nothing left behind.
TEST_F(InstallFailureTest, AnotherUserMeetsPermissionsWithTheirOwnMessages) {
    if (!launcher_test::RunningAsRoot()) GTEST_SKIP() << "needs root to act as another user";
    const fs::path root = folders_.root();
    launcher_test::GiveToOtherUser(root);
    // games/ is root's and not writable by the other user.
    fs::create_directories(root / "games");
    ASSERT_EQ(chown((root / "games").c_str(), 0, 0), 0);
    fs::permissions(root / "games", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
    auto install = [&](const fs::path& destination) {
        return launcher_test::RunAsOtherUser([&] {
            Launcher core(medium());
            return core.Install(destination, Callbacks()).notice.text;
        });
    };
    EXPECT_EQ(install(installDir()),
              Failed("インストール先フォルダ「" + installDir().string() + "」" + text::kNoPermission));
    EXPECT_EQ(ListTree(root / "games"), std::vector<std::string>{});

    // A folder the user owns, holding a folder the user cannot write to and
    // the user's own file; the game has a file only root may read.
    const fs::path mine = root / "mine" / "TestGame";
    WriteFile(mine / "save.dat", "mine");
    launcher_test::GiveToOtherUser(root / "mine");
    fs::create_directories(mine / "data");
    const fs::path secret = medium() / "TestGame" / "secret.dat";
    WriteFile(secret, "secret");
    ASSERT_EQ(chown(secret.c_str(), 0, 0), 0);
    fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write);
    RegistryKey::Create(kKey)->SetValue("TestGame", mine.string());  // an interrupted install here
    launcher_test::GiveToOtherUser(folders_.config());
    EXPECT_EQ(install(mine), Failed("1" + std::string(text::kReadFailures) + "\n項目「" + secret.string() + "」" +
                                    text::kNoPermission + "\n2" + text::kWriteFailures + "\n項目「" +
                                    (mine / "data" / "a.dat").string() + "」" + text::kNoPermission + "\n" +
                                    text::kRolledBack));
    // What the copy created went again; the user's file and folder stayed.
    EXPECT_EQ(ListTree(mine), (std::vector<std::string>{"data", "save.dat"}));
    EXPECT_EQ(ReadFile(mine / "save.dat"), "mine");
    EXPECT_FALSE(fs::exists(menuFolder()));
    EXPECT_EQ(RegistryValues(), std::vector<std::string>{"TestGame"});
}

// The install record holds at most 511 bytes of folder text: a longer folder
// is refused before anything is copied, and one of exactly 511 bytes works.
TEST_F(InstallFailureTest, AnInstallFolderTooLongForTheRecordIsRefused) {
    const fs::path base = folders_.root() / "games";
    auto folderOf = [&](size_t bytes) {
        // Japanese folder names, three bytes a character, padded with ASCII.
        fs::path folder = base;
        const size_t fixed = base.string().size() + std::string("/TestGame").size();
        size_t left = bytes - fixed;
        while (left > 0) {
            const size_t part = std::min<size_t>(left - 1, 200);
            std::string name;
            while (name.size() + 3 <= part) name += "あ";
            name += std::string(part - name.size(), 'a');
            folder /= name;
            left -= part + 1;
        }
        return folder / "TestGame";
    };
    const fs::path tooLong = folderOf(512);
    ASSERT_EQ(tooLong.string().size(), 512u);
    Launcher core(medium());
    const auto refused = core.Install(tooLong, Callbacks());
    EXPECT_FALSE(refused.installed);
    EXPECT_EQ(refused.notice.text, Failed(text::kRecordTooLong));
    EXPECT_EQ(confirmations, 0);
    EXPECT_FALSE(fs::exists(base));
    EXPECT_FALSE(RegistryKey::Open(kKey));

    const fs::path longest = folderOf(511);
    ASSERT_EQ(longest.string().size(), 511u);
    ASSERT_TRUE(core.Install(longest, Callbacks()).installed);
    EXPECT_TRUE(core.IsInstalled());
    EXPECT_EQ(core.Uninstall({}).caption, text::kDoneCaption);
    EXPECT_FALSE(fs::exists(longest));
    EXPECT_FALSE(fs::exists(menuFolder()));
}

// INST_DIR "Games" and the home folder chosen: ~/Games is the user's own.
TEST_F(InstallFailureTest, AUsersFolderIsUsedOnlyWhenAllowedAndKeepsItsFilesAtUninstall) {
    MakeMedium(medium(), "[Setup]\nGAME_TITLE=テスト\nINST_DIR=Games\nSC_NUM=1\nSC_TARGET0=game\nSC_NAME0=テスト.lnk\n");
    fs::rename(medium() / "TestGame", medium() / "Games");
    const fs::path games = folders_.home() / "Games";
    WriteFile(games / "photo.jpg", "photo");
    WriteFile(games / "data" / "notes.txt", "notes");
    const std::vector<std::string> before = ListTree(games);
    Launcher core(medium());
    const fs::path destination = core.InstallFolderIn(folders_.home());
    ASSERT_EQ(destination, games);

    const auto declined = core.Install(destination, Callbacks(true, false));
    EXPECT_FALSE(declined.installed);
    EXPECT_EQ(declined.notice.text, text::kInstallFailed);
    ASSERT_EQ(filledFolderQuestions.size(), 1u);
    EXPECT_EQ(filledFolderQuestions[0], "「" + games.string() + text::kFilledFolderQuestion);
    EXPECT_EQ(copyStarts, 0);
    EXPECT_EQ(ListTree(games), before);

    ASSERT_TRUE(core.Install(destination, Callbacks(true, true)).installed);
    EXPECT_EQ(ReadFile(games / "data" / "a.dat"), "aaaa");
    EXPECT_EQ(core.Uninstall({}).caption, text::kDoneCaption);
    EXPECT_EQ(ListTree(games), before);
    EXPECT_EQ(ReadFile(games / "data" / "notes.txt"), "notes");
    EXPECT_FALSE(fs::exists(menuFolder()));
    EXPECT_FALSE(RegistryKey::Open(kKey));
}

TEST_F(InstallFailureTest, NoQuestionForAnEmptyFolderOrTheGamesOwnInterruptedInstall) {
    fs::create_directories(installDir());
    Launcher core(medium());
    ASSERT_TRUE(Install(core).installed);
    core.Uninstall({});
    EXPECT_TRUE(fs::is_directory(installDir()));  // it was there before
    EXPECT_TRUE(fs::is_empty(installDir()));

    // An interrupted install: the record names the folder, files are in it.
    WriteFile(installDir() / "game", "half");
    RegistryKey::Create(kKey)->SetValue("TestGame", installDir().string());
    RegistryKey::Create(kKey)->SetValue("TestGameInstallState", "FALSE");
    ASSERT_TRUE(Install(core).installed);
    EXPECT_TRUE(filledFolderQuestions.empty());
    EXPECT_EQ(confirmations, 0);
    EXPECT_EQ(ReadFile(installDir() / "game"), ReadFile(medium() / "TestGame" / "game"));
}

// Entries past the listed ones, or named "." or "..", make no shortcut.
TEST_F(InstallFailureTest, ShortcutEntriesWithoutNameOrTargetAreSkipped) {
    MakeMedium(medium(), launcher_test::DefaultSetupIni() +
                             "SC_TARGET2=game\nSC_NAME2=.\nSC_TARGET3=game\nSC_NAME3=..\nSC_NAME4=x.lnk\n");
    std::string ini = launcher_test::ReadFile(medium() / "Setup.ini");
    ini.replace(ini.find("SC_NUM=2"), 8, "SC_NUM=9");
    WriteFile(medium() / "Setup.ini", ini);
    Launcher core(medium());
    ASSERT_EQ(core.shortcuts().size(), 9u);
    ASSERT_TRUE(Install(core).installed);
    EXPECT_EQ(ListTree(menuFolder()), (std::vector<std::string>{"テスト.desktop", "説明.desktop"}));
    core.Uninstall({});
    EXPECT_FALSE(fs::exists(menuFolder().parent_path()));
}

}  // namespace
