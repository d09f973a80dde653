#pragma once
#include "tests/support/temp_dir.h"
#include "tools/launcher/core/launcher.h"

#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace launcher_test {

// Points HOME, XDG_DATA_HOME and XDG_CONFIG_HOME at fresh temporary folders
// for the object's lifetime, so nothing touches the real user's folders.
class UserFolders {
public:
    UserFolders();
    ~UserFolders();
    UserFolders(const UserFolders&) = delete;
    UserFolders& operator=(const UserFolders&) = delete;

    std::filesystem::path root() const { return dir_.path(); }
    std::filesystem::path home() const { return dir_.path() / "home"; }
    std::filesystem::path data() const { return dir_.path() / "data"; }
    std::filesystem::path config() const { return dir_.path() / "config"; }

private:
    test::TempDir dir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

void WriteFile(const std::filesystem::path& path, const std::string& content);
std::string ReadFile(const std::filesystem::path& path);

// A medium beside the launcher: "Setup.ini" (written in CP932 from the UTF-8
// lines given) and the game folder "TestGame" holding an executable "game"
// (a script that writes its working folder to "ran.txt"), a read-only
// "readme.txt", a hidden file and the folders data/ and data/sub/ with a
// file each: 7 entries.
constexpr int kGameEntries = 7;
std::string DefaultSetupIni();
void MakeMedium(const std::filesystem::path& dir, const std::string& setupIniUtf8 = DefaultSetupIni());

// The tests run as root, whom no permission stops. What another user meets is
// tried in a child process running as this user ("nobody").
constexpr uid_t kOtherUser = 65534;
bool RunningAsRoot();
// Gives `path` and everything below it to kOtherUser.
void GiveToOtherUser(const std::filesystem::path& path);
// Runs `body` as kOtherUser in a child process and returns what it returned;
// nullopt when the child could not run or died.
std::optional<std::string> RunAsOtherUser(const std::function<std::string()>& body);

// A medium in a temporary folder, the user's folders pointed at temporary
// ones, and a recording of the install's callbacks.
class InstallTest : public ::testing::Test {
protected:
    InstallTest() { MakeMedium(medium()); }

    std::filesystem::path medium() const { return folders_.root() / "medium"; }
    std::filesystem::path installDir() const { return folders_.root() / "games" / "TestGame"; }
    std::filesystem::path menuFolder() const { return folders_.data() / "applications" / "ミルヴァ" / "テスト"; }

    launcher::InstallCallbacks Callbacks(bool createFolder = true, bool intoFilledFolder = false);
    launcher::InstallResult Install(launcher::Launcher& core) { return core.Install(installDir(), Callbacks()); }

    UserFolders folders_;
    int confirmations = 0;
    std::vector<std::string> filledFolderQuestions;
    int copyStarts = 0;
    int entriesDone = 0;
    std::vector<std::filesystem::path> filesStarted;
};

// Every path below `folder`, relative to it, in name order ("" when missing).
std::vector<std::string> ListTree(const std::filesystem::path& folder);
// The values under the maker's registry key.
std::vector<std::string> RegistryValues();

}  // namespace launcher_test
