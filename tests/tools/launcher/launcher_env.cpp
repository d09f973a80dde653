#include "tests/tools/launcher/launcher_env.h"

#include "platform/cp932.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace launcher_test {
namespace fs = std::filesystem;

UserFolders::UserFolders() {
    const std::pair<const char*, fs::path> folders[] = {
        {"HOME", home()}, {"XDG_DATA_HOME", data()}, {"XDG_CONFIG_HOME", config()}};
    for (const auto& [name, path] : folders) {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        fs::create_directories(path);
        setenv(name, path.c_str(), 1);
    }
}

UserFolders::~UserFolders() {
    for (const auto& [name, value] : saved_) {
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
}

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string DefaultSetupIni() {
    return "[Setup]\r\n"
           "GAME_TITLE=テスト\r\n"
           "INST_DIR=TestGame\r\n"
           "FILE_NUM=7\r\n"
           "SC_NUM=2\r\n"
           "SC_TARGET0=game\r\n"
           "SC_NAME0=テスト.lnk\r\n"
           "SC_TARGET1=readme.txt\r\n"
           "SC_NAME1=説明.lnk\r\n";
}

void MakeMedium(const fs::path& dir, const std::string& setupIniUtf8) {
    WriteFile(dir / "Setup.ini", platform::Utf8ToCp932(setupIniUtf8));
    const fs::path game = dir / "TestGame";
    WriteFile(game / "game", "#!/bin/sh\npwd > ran.txt\n");
    fs::permissions(game / "game", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
    WriteFile(game / "readme.txt", "read me");
    fs::permissions(game / "readme.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    WriteFile(game / ".hidden", "hidden");
    WriteFile(game / "data" / "a.dat", "aaaa");
    WriteFile(game / "data" / "sub" / "b.dat", "bb");
}

}  // namespace launcher_test
