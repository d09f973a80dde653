#pragma once
#include "tests/support/temp_dir.h"

#include <filesystem>
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

}  // namespace launcher_test
