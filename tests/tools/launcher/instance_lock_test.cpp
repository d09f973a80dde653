// The launcher's single-instance lock ("SetupApp"), between users.
#include "platform/instance_lock.h"

#include "tests/tools/launcher/launcher_env.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace {

namespace fs = std::filesystem;

// No runtime folder, as on a system without a login session: the lock then
// lies below the home folder.
class NoRuntimeFolder {
public:
    NoRuntimeFolder() {
        for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CACHE_HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }
    ~NoRuntimeFolder() {
        for (const auto& [name, value] : saved_) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

const std::string kName = "SetupApp-test-" + std::to_string(getpid());

TEST(LauncherInstanceLock, AnotherUsersLauncherDoesNotStopThisOne) {
    if (!launcher_test::RunningAsRoot()) GTEST_SKIP() << "needs root to act as another user";
    launcher_test::UserFolders folders;
    NoRuntimeFolder noRuntime;
    const fs::path otherHome = folders.root() / "other";
    fs::create_directories(otherHome);
    fs::permissions(folders.root(), fs::perms::others_exec, fs::perm_options::add);
    launcher_test::GiveToOtherUser(otherHome);

    // The other user's launcher holds its lock while this user starts one.
    int ready[2], finish[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(finish), 0);
    std::optional<std::string> otherResult;
    std::thread other([&] {
        otherResult = launcher_test::RunAsOtherUser([&] {
            setenv("HOME", otherHome.c_str(), 1);
            platform::InstanceLock lock;
            const bool acquired = lock.Acquire(kName) && lock.IsHeld();
            char go = acquired ? '1' : '0';
            if (write(ready[1], &go, 1) != 1 || read(finish[0], &go, 1) != 1) return std::string("pipe");
            return acquired ? platform::InstanceLock::LockPath(kName) : std::string("refused");
        });
    });
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    EXPECT_EQ(answer, '1');
    platform::InstanceLock mine, second;
    EXPECT_TRUE(mine.Acquire(kName));
    EXPECT_TRUE(mine.IsHeld());
    EXPECT_FALSE(second.Acquire(kName));  // this user's second launcher still ends
    ASSERT_EQ(write(finish[1], &answer, 1), 1);
    other.join();
    for (int fd : {ready[0], ready[1], finish[0], finish[1]}) close(fd);

    const std::string myPath = platform::InstanceLock::LockPath(kName);
    EXPECT_EQ(fs::path(myPath).parent_path(), folders.home() / ".cache" / "aerial");
    EXPECT_EQ(otherResult, (otherHome / ".cache" / "aerial" / fs::path(myPath).filename()).string());
}

TEST(LauncherInstanceLock, WithoutAWritableHomeTheLockLiesInAFolderOfTheUsersOwnInTmp) {
    launcher_test::UserFolders folders;
    NoRuntimeFolder noRuntime;
    launcher_test::WriteFile(folders.root() / "file", "");
    setenv("HOME", (folders.root() / "file" / "home").c_str(), 1);  // no folder can be made there
    const fs::path lock = platform::InstanceLock::LockPath(kName);
    EXPECT_EQ(lock.parent_path(), fs::path("/tmp") / ("aerial-" + std::to_string(geteuid())));
    struct stat info {};
    ASSERT_EQ(lstat(lock.parent_path().c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_uid, geteuid());
    EXPECT_EQ(info.st_mode & 022, 0u);
    platform::InstanceLock first, second;
    EXPECT_TRUE(first.Acquire(kName));
    EXPECT_TRUE(first.IsHeld());
    EXPECT_FALSE(second.Acquire(kName));
}

TEST(LauncherInstanceLock, ALockThatCannotBeOpenedIsNoLock) {
    launcher_test::UserFolders folders;
    NoRuntimeFolder noRuntime;
    // Something that is no file in the lock's place.
    fs::create_directories(platform::InstanceLock::LockPath(kName));
    platform::InstanceLock lock;
    EXPECT_TRUE(lock.Acquire(kName));
    EXPECT_FALSE(lock.IsHeld());

    // A runtime folder the user may not write to.
    if (!launcher_test::RunningAsRoot()) return;
    const fs::path runtime = folders.root() / "runtime";
    fs::create_directories(runtime);
    fs::permissions(folders.root(), fs::perms::others_exec, fs::perm_options::add);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const auto result = launcher_test::RunAsOtherUser([] {
        platform::InstanceLock lock;
        return std::string(lock.Acquire(kName) ? "runs" : "ends") + (lock.IsHeld() ? " held" : " unheld");
    });
    EXPECT_EQ(result, "runs unheld");
}

}  // namespace
