#include "tests/tools/launcher/launcher_env.h"

#include "platform/cp932.h"
#include "platform/registry.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

bool RunningAsRoot() { return geteuid() == 0; }

void GiveToOtherUser(const fs::path& path) {
    if (lchown(path.c_str(), kOtherUser, kOtherUser) != 0) throw std::runtime_error("cannot chown " + path.string());
    if (fs::is_directory(fs::symlink_status(path))) {
        for (const auto& entry : fs::recursive_directory_iterator(path)) {
            if (lchown(entry.path().c_str(), kOtherUser, kOtherUser) != 0) {
                throw std::runtime_error("cannot chown " + entry.path().string());
            }
        }
    }
}

std::optional<std::string> RunAsOtherUser(const std::function<std::string()>& body) {
    int channel[2];
    if (pipe(channel) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (setgroups(0, nullptr) != 0 || setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0) _exit(2);
        const std::string result = body();
        const bool sent = write(channel[1], result.data(), result.size()) == static_cast<ssize_t>(result.size());
        _exit(sent ? 0 : 3);
    }
    close(channel[1]);
    std::string result;
    char chunk[4096];
    for (ssize_t got; (got = read(channel[0], chunk, sizeof chunk)) > 0;) result.append(chunk, static_cast<size_t>(got));
    close(channel[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return result;
}

launcher::InstallCallbacks InstallTest::Callbacks(bool createFolder, bool intoFilledFolder) {
    launcher::InstallCallbacks callbacks;
    callbacks.confirmCreateFolder = [this, createFolder] {
        ++confirmations;
        return createFolder;
    };
    callbacks.confirmFilledFolder = [this, intoFilledFolder](const std::string& question) {
        filledFolderQuestions.push_back(question);
        return intoFilledFolder;
    };
    callbacks.copyStarting = [this] { ++copyStarts; };
    callbacks.progress.fileStarted = [this](const fs::path& path) { filesStarted.push_back(path); };
    callbacks.progress.entryDone = [this] { ++entriesDone; };
    return callbacks;
}

std::vector<std::string> ListTree(const fs::path& folder) {
    std::vector<std::string> paths;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(folder, error))) return {""};
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        paths.push_back(it->path().lexically_relative(folder).string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<std::string> RegistryValues() {
    auto key = platform::RegistryKey::Open("Software\\Tessaphoro");
    return key ? key->ValueNames() : std::vector<std::string>{};
}

}  // namespace launcher_test
