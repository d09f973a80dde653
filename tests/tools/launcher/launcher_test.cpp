#include "tools/launcher/core/launcher.h"

#include "platform/registry.h"
#include "tools/launcher/core/texts.h"
#include "tests/tools/launcher/launcher_env.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

namespace fs = std::filesystem;
using launcher::InstallCallbacks;
using launcher::Launcher;
using launcher::Notice;
using launcher_test::MakeMedium;
using launcher_test::ReadFile;
using launcher_test::WriteFile;
using platform::RegistryKey;

constexpr const char* kKey = "Software\\Tessaphoro";

using LauncherTest = launcher_test::InstallTest;
using launcher_test::RegistryValues;

TEST_F(LauncherTest, InstallCopiesTheGameWritesShortcutsAndRecordsIt) {
    Launcher core(medium());
    EXPECT_FALSE(core.IsInstalled());
    EXPECT_EQ(core.DefaultInstallFolder(), folders_.data() / "Tessaphoro" / "TestGame");

    const auto result = Install(core);
    EXPECT_TRUE(result.installed);
    EXPECT_EQ(result.notice.text, launcher::text::kInstallDone);
    EXPECT_EQ(result.notice.caption, launcher::text::kDoneCaption);
    EXPECT_EQ(confirmations, 1);  // the folder did not exist
    EXPECT_EQ(copyStarts, 1);

    // Everything copied, hidden files included; modes kept with u+w added.
    const fs::path game = installDir();
    EXPECT_EQ(ReadFile(game / "readme.txt"), "read me");
    EXPECT_EQ(ReadFile(game / ".hidden"), "hidden");
    EXPECT_EQ(ReadFile(game / "data" / "a.dat"), "aaaa");
    EXPECT_EQ(ReadFile(game / "data" / "sub" / "b.dat"), "bb");
    EXPECT_EQ(fs::status(game / "readme.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(fs::status(game / "game").permissions(), fs::perms::owner_all | fs::perms::group_read |
                                                           fs::perms::group_exec | fs::perms::others_read |
                                                           fs::perms::others_exec);
    EXPECT_EQ(fs::last_write_time(game / "data" / "a.dat"),
              fs::last_write_time(medium() / "TestGame" / "data" / "a.dat"));

    // Progress counts files and folders at every depth; each file is named first.
    EXPECT_EQ(entriesDone, launcher_test::kGameEntries);
    EXPECT_EQ(filesStarted, (std::vector<fs::path>{game / ".hidden", game / "data" / "a.dat",
                                                   game / "data" / "sub" / "b.dat", game / "game",
                                                   game / "readme.txt"}));

    const std::string gameQuoted = "\"" + (game / "game").string() + "\"";
    const std::string runEntry = ReadFile(menuFolder() / "テスト.desktop");
    EXPECT_NE(runEntry.find("\nName=テスト\n"), std::string::npos) << runEntry;
    EXPECT_NE(runEntry.find("\nExec=" + gameQuoted + "\n"), std::string::npos) << runEntry;
    EXPECT_NE(runEntry.find("\nPath=" + game.string() + "\n"), std::string::npos) << runEntry;
    const std::string readmeEntry = ReadFile(menuFolder() / "説明.desktop");
    EXPECT_NE(readmeEntry.find("\nExec=xdg-open \"" + (game / "readme.txt").string() + "\"\n"), std::string::npos)
        << readmeEntry;

    auto key = RegistryKey::Open(kKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->QueryValue("TestGame"), game.string());
    EXPECT_EQ(key->QueryValue("TestGameInstallState"), "TRUE");
    EXPECT_TRUE(core.IsInstalled());
}

TEST_F(LauncherTest, DecliningToCreateTheFolderWritesNothing) {
    Launcher core(medium());
    const auto result = core.Install(installDir(), Callbacks(false));
    EXPECT_FALSE(result.installed);
    EXPECT_EQ(result.notice.kind, Notice::kFailure);
    EXPECT_EQ(result.notice.text, launcher::text::kInstallFailed);
    EXPECT_EQ(copyStarts, 0);
    EXPECT_FALSE(fs::exists(installDir()));
    EXPECT_FALSE(RegistryKey::Open(kKey));
    EXPECT_FALSE(fs::exists(menuFolder()));
}

TEST_F(LauncherTest, RefusesDestinationsOverlappingTheSourceOrNotNamedForTheGame) {
    Launcher core(medium());
    const fs::path source = medium() / "TestGame";
    const fs::path refused[] = {source, source / "data" / "TestGame", medium() / ".." / "medium" / "TestGame",
                                folders_.root() / "games" / "Other", "relative/TestGame", "/"};
    for (const fs::path& destination : refused) {
        const auto result = core.Install(destination, Callbacks());
        EXPECT_FALSE(result.installed) << destination;
        EXPECT_EQ(result.notice.kind, Notice::kFailure) << destination;
    }
    EXPECT_EQ(copyStarts, 0);
    EXPECT_FALSE(fs::exists(source / "data" / "TestGame"));
    EXPECT_FALSE(RegistryKey::Open(kKey));
}

TEST_F(LauncherTest, UnsafeInstDirRefusesInstallAndUninstall) {
    for (const char* instDir : {"", ".", "..", "a/b", "..\\x"}) {
        MakeMedium(medium(), std::string("[Setup]\nGAME_TITLE=T\nINST_DIR=") + instDir + "\nSC_NUM=1\nSC_TARGET0=game\n");
        Launcher core(medium());
        ASSERT_TRUE(core.CheckInstDir()) << instDir;
        EXPECT_EQ(core.CheckInstDir()->text, launcher::text::kBadInstDir);
        EXPECT_FALSE(core.Install(folders_.root() / "games" / instDir, Callbacks()).installed) << instDir;
        EXPECT_EQ(core.Uninstall({}).text, launcher::text::kBadInstDir);
        EXPECT_FALSE(core.Run());
    }
    EXPECT_EQ(copyStarts, 0);
    EXPECT_FALSE(RegistryKey::Open(kKey));
}

TEST_F(LauncherTest, UninstallRemovesFilesShortcutsAndTheLastValues) {
    {
        Launcher core(medium());
        ASSERT_TRUE(Install(core).installed);
    }
    Launcher core(medium());
    ASSERT_TRUE(core.IsInstalled());
    int entries = 0;
    const Notice notice = core.Uninstall([&] { ++entries; });
    EXPECT_EQ(notice.text, "テスト" + std::string(launcher::text::kUninstallDone));
    EXPECT_EQ(notice.caption, launcher::text::kDoneCaption);
    EXPECT_EQ(entries, launcher_test::kGameEntries);
    EXPECT_FALSE(fs::exists(installDir()));
    EXPECT_TRUE(fs::exists(installDir().parent_path()));
    EXPECT_FALSE(fs::exists(menuFolder().parent_path()));  // the maker's menu folder was left empty
    EXPECT_FALSE(RegistryKey::Open(kKey));                 // no other game's value was left
    EXPECT_FALSE(core.IsInstalled());
}

TEST_F(LauncherTest, UninstallKeepsAnotherGamesValuesAndMenu) {
    RegistryKey::Create(kKey)->SetValue("OtherGame", "/games/OtherGame");
    RegistryKey::Create(kKey)->SetValue("OtherGameInstallState", "TRUE");
    WriteFile(menuFolder().parent_path() / "Other" / "o.desktop", "[Desktop Entry]\n");
    Launcher core(medium());
    ASSERT_TRUE(Install(core).installed);
    core.Uninstall({});
    EXPECT_EQ(RegistryValues(), (std::vector<std::string>{"OtherGame", "OtherGameInstallState"}));
    EXPECT_FALSE(fs::exists(menuFolder()));
    EXPECT_TRUE(fs::exists(menuFolder().parent_path() / "Other" / "o.desktop"));
}

// An interrupted install leaves "FALSE", with or without the install path
// (written after the copy): the uninstall only clears the record, leaves the
// files to the user and never takes the key while another game's value is in.
TEST_F(LauncherTest, DamagedInstallIsClearedAndItsFilesKept) {
    for (bool pathRecorded : {true, false}) {
        auto key = RegistryKey::Create(kKey);
        key->SetValue("OtherGame", "/games/OtherGame");
        key->SetValue("TestGameInstallState", "FALSE");
        if (pathRecorded) key->SetValue("TestGame", installDir().string());
        WriteFile(installDir() / "game", "copied");
        Launcher core(medium());
        EXPECT_FALSE(core.IsInstalled());

        const Notice notice = core.Uninstall({});
        EXPECT_EQ(notice.text, launcher::text::kDamagedInstall);
        EXPECT_EQ(notice.caption, launcher::text::kDamagedInstallCaption);
        EXPECT_EQ(ReadFile(installDir() / "game"), "copied");
        EXPECT_EQ(RegistryValues(), std::vector<std::string>{"OtherGame"}) << pathRecorded;
    }
}

TEST_F(LauncherTest, RecordedFolderNotNamedForTheGameIsNeverDeleted) {
    const fs::path precious = folders_.root() / "precious";
    WriteFile(precious / "keep.txt", "keep");
    auto key = RegistryKey::Create(kKey);
    key->SetValue("TestGame", precious.string());
    key->SetValue("TestGameInstallState", "TRUE");
    Launcher core(medium());
    EXPECT_EQ(core.Uninstall({}).caption, launcher::text::kDamagedInstallCaption);
    EXPECT_EQ(ReadFile(precious / "keep.txt"), "keep");
    EXPECT_FALSE(RegistryKey::Open(kKey));
}

TEST_F(LauncherTest, UninstallRemovesLinksButNotWhatTheyPointTo) {
    Launcher core(medium());
    ASSERT_TRUE(Install(core).installed);
    const fs::path outside = folders_.root() / "outside";
    WriteFile(outside / "keep.txt", "keep");
    fs::create_directory_symlink(outside, installDir() / "data" / "linked_folder");
    fs::create_symlink(outside / "keep.txt", installDir() / "linked_file");
    core.Uninstall({});
    EXPECT_FALSE(fs::exists(fs::symlink_status(installDir())));
    EXPECT_EQ(ReadFile(outside / "keep.txt"), "keep");
}

TEST(InstallFolderGuard, AcceptsOnlyTheGamesOwnFolder) {
    launcher_test::UserFolders folders;
    const std::pair<fs::path, bool> cases[] = {
        {"/games/TestGame", true},       {"/games/TestGame/", true},  {"/games/x/../TestGame", true},
        {"/games/Other", false},         {"TestGame", false},         {"", false},
        {"/", false},                    {"/games/TestGame/..", false}, {folders.home(), false},
    };
    for (const auto& [folder, deletable] : cases) {
        EXPECT_EQ(launcher::IsDeletableInstallFolder(folder, "TestGame"), deletable) << folder;
    }
    // A home folder that happens to carry the game's name stays.
    EXPECT_FALSE(launcher::IsDeletableInstallFolder(folders.home(), "home"));
    EXPECT_FALSE(launcher::DeleteInstallFolder(folders.home(), "home", {}));
    EXPECT_TRUE(fs::exists(folders.home()));
}

TEST_F(LauncherTest, RunStartsTheFirstShortcutInTheInstallFolder) {
    Launcher core(medium());
    EXPECT_FALSE(core.Run());  // nothing installed yet
    ASSERT_TRUE(Install(core).installed);
    ASSERT_TRUE(core.Run());
    // The started program runs on its own; give it a generous time to write.
    const fs::path ran = installDir() / "ran.txt";
    for (int i = 0; i < 500 && ReadFile(ran).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(ReadFile(ran), installDir().string() + "\n");

    // The install folder deleted by hand: nothing is started.
    fs::remove_all(installDir());
    EXPECT_FALSE(core.Run());
}

TEST_F(LauncherTest, RunWithoutShortcutsDoesNothing) {
    MakeMedium(medium(), "[Setup]\nGAME_TITLE=T\nINST_DIR=TestGame\nSC_NUM=0\n");
    Launcher core(medium());
    ASSERT_TRUE(Install(core).installed);
    EXPECT_FALSE(core.Run());
}

TEST(SetupFile, ShortcutTableAndCountsAreBounded) {
    test::TempDir dir;
    WriteFile(dir.path() / "Setup.ini", "[Setup]\nFILE_NUM=-5\nSC_NUM=-1\n");
    launcher::SetupFile negative(dir.path() / "Setup.ini");
    EXPECT_EQ(negative.FileNum(), 0);
    EXPECT_TRUE(negative.LoadShortcutTable().empty());
    WriteFile(dir.path() / "Setup.ini", "[Setup]\nSC_NUM=2147483647\nSC_NAME1=\x90\xE0\x96\xBE.lnk\nSC_TARGET1=doc\n");
    launcher::SetupFile huge(dir.path() / "Setup.ini");
    const auto table = huge.LoadShortcutTable();
    ASSERT_EQ(table.size(), size_t(launcher::SetupFile::kMaxShortcuts));
    EXPECT_EQ(table[1].name, "説明.lnk");  // converted from CP932
    EXPECT_EQ(table[1].target, "doc");
    EXPECT_EQ(table[0].name, "");
}

}  // namespace
