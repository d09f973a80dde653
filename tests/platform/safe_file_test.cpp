// Opening files that may be anything, and replacing files whole without
// following links.
#include "platform/safe_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::span<const uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

struct OpenCase {
    const char* what;
    void (*make)(const fs::path& path);
    bool opens;
};

TEST(OpenRegularFile, OpensOnlyRegularFilesAndNeverWaits) {
    const OpenCase cases[] = {
        {"regular file", [](const fs::path& p) { test::PutText(p, "data"); }, true},
        {"link to a regular file",
         [](const fs::path& p) {
             test::PutText(p.string() + ".real", "data");
             fs::create_symlink(p.filename().string() + ".real", p);
         },
         true},
        {"missing", [](const fs::path&) {}, false},
        {"FIFO without a writer", [](const fs::path& p) { test::MakeFifo(p); }, false},
        {"link to a FIFO",
         [](const fs::path& p) {
             test::MakeFifo(p.string() + ".fifo");
             fs::create_symlink(p.filename().string() + ".fifo", p);
         },
         false},
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, false},
        {"dangling link", [](const fs::path& p) { fs::create_symlink("nowhere", p); }, false},
    };
    for (const OpenCase& c : cases) {
        test::TempDir dir;
        const fs::path path = dir.path() / "file";
        c.make(path);
        EXPECT_BOUNDED(platform::OpenRegularFile(path.string()) ? 1 : 0, c.opens ? 1 : 0) << c.what;
    }
}

TEST(OpenRegularFile, ReadsTheWholeFile) {
    test::TempDir dir;
    test::PutText(dir.path() / "file", "0123456789");
    const platform::FilePtr file = platform::OpenRegularFile(dir.file("file"));
    ASSERT_TRUE(file);
    char text[16] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text, file.get()), 10u);
    EXPECT_STREQ(text, "0123456789");
}

class WriteFileAtomically : public ::testing::Test {
protected:
    test::TempDir folder_;   // the program folder
    test::TempDir outside_;  // somewhere the program must never write
    fs::path Path() const { return folder_.path() / "system.dat"; }
    fs::path Outside() const { return outside_.path() / "victim"; }
    // Nothing but the target itself is left in the folder (no temporary).
    size_t FolderEntries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(folder_.path()), {})); }
};

TEST_F(WriteFileAtomically, CreatesAndReplacesKeepingTheMode) {
    ASSERT_TRUE(platform::WriteFileAtomically(Path().string(), Bytes("first")));
    EXPECT_EQ(test::FileText(Path()), "first");
    fs::permissions(Path(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(platform::WriteFileAtomically(Path().string(), Bytes("second, longer")));
    EXPECT_EQ(test::FileText(Path()), "second, longer");
    EXPECT_EQ(fs::status(Path()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FolderEntries(), 1u);
}

TEST_F(WriteFileAtomically, ALinkInThePlaceIsReplacedAndItsTargetUntouched) {
    test::PutText(Outside(), "precious");
    fs::create_symlink(Outside(), Path());
    ASSERT_TRUE(platform::WriteFileAtomically(Path().string(), Bytes("new")));
    EXPECT_FALSE(fs::is_symlink(Path()));
    EXPECT_EQ(test::FileText(Path()), "new");
    EXPECT_EQ(test::FileText(Outside()), "precious");
}

TEST_F(WriteFileAtomically, ADanglingLinkCreatesNothingOutside) {
    fs::create_symlink(Outside(), Path());
    ASSERT_TRUE(platform::WriteFileAtomically(Path().string(), Bytes("new")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Outside())));
    EXPECT_EQ(test::FileText(Path()), "new");
}

TEST_F(WriteFileAtomically, RefusesAFolderOrFifoInThePlace) {
    fs::create_directory(Path());
    EXPECT_FALSE(platform::WriteFileAtomically(Path().string(), Bytes("new")));
    EXPECT_TRUE(fs::is_directory(Path()));
    fs::remove(Path());
    test::MakeFifo(Path());
    EXPECT_BOUNDED(platform::WriteFileAtomically(Path().string(), Bytes("new")) ? 1 : 0, 0);
    EXPECT_EQ(FolderEntries(), 1u);
}

TEST_F(WriteFileAtomically, AWriteCutShortLeavesTheOldFileWhole) {
    const std::string old(101, 'o');
    test::PutText(Path(), old);
    {
        test::FailingWrites fail(50);
        EXPECT_FALSE(platform::WriteFileAtomically(Path().string(), Bytes(std::string(101, 'n'))));
    }
    EXPECT_EQ(test::FileText(Path()), old);
    EXPECT_EQ(FolderEntries(), 1u);
}

// What each flush to the disk found: a folder or a file, and what the saved
// file held at that moment.
struct Flush {
    bool folder;
    std::string held;
    bool operator==(const Flush&) const = default;
};

class Flushes {
public:
    explicit Flushes(std::string watched, bool fail = false) {
        watched_ = std::move(watched);
        seen_.clear();
        fail_ = fail;
        platform::syncCall = [](int fd) {
            struct stat info {};
            ::fstat(fd, &info);
            seen_.push_back({S_ISDIR(info.st_mode), test::FileText(watched_)});
            if (fail_ && !S_ISDIR(info.st_mode)) {
                errno = EIO;
                return -1;
            }
            return ::fsync(fd);
        };
    }
    ~Flushes() { platform::syncCall = ::fsync; }
    const std::vector<Flush>& seen() const { return seen_; }

private:
    static inline std::string watched_;
    static inline std::vector<Flush> seen_;
    static inline bool fail_ = false;
};

// A whole replacement reaches the disk before its name does, and the name
// after it: the new file is flushed while the old one still stands, the
// folder once the new one took its place. Written in place, the file itself
// is flushed.
TEST_F(WriteFileAtomically, FlushesTheNewFileBeforeTheRenameAndTheFolderAfterIt) {
    test::PutText(Path(), "old");
    {
        const Flushes flushes(Path().string());
        ASSERT_EQ(platform::SaveFile(Path().string(), Bytes("new")), 0);
        EXPECT_EQ(flushes.seen(), (std::vector<Flush>{{false, "old"}, {true, "new"}}));
    }
    fs::create_hard_link(Path(), folder_.path() / "second-name");
    {
        const Flushes flushes(Path().string());
        ASSERT_EQ(platform::SaveFile(Path().string(), Bytes("newer")), 0);
        EXPECT_EQ(flushes.seen(), (std::vector<Flush>{{false, "newer"}}));
    }
}

TEST_F(WriteFileAtomically, AFailedFlushKeepsTheOldFile) {
    test::PutText(Path(), "old");
    const Flushes flushes(Path().string(), true);
    EXPECT_EQ(platform::SaveFile(Path().string(), Bytes("new")), EIO);
    EXPECT_EQ(test::FileText(Path()), "old");
    EXPECT_EQ(FolderEntries(), 1u);
}

// Saves that fail after the first look at the file. A file with a second
// name is rewritten in place; one without is replaced whole.
class FailedSave : public ::testing::Test {
protected:
    test::TempDir folder_;
    fs::path Path() const { return folder_.path() / "ranking.dat"; }
    fs::path SecondName() const { return folder_.path() / "ranking-copy.dat"; }
    void Place(const std::string& old, bool linked) {
        test::PutText(Path(), old);
        if (linked) fs::create_hard_link(Path(), SecondName());
    }
    // The save's result and what it said on standard error.
    int Save(const std::string& bytes, std::string* said) {
        ::testing::internal::CaptureStderr();
        const int error = platform::SaveFile(Path().string(), Bytes(bytes));
        *said = ::testing::internal::GetCapturedStderr();
        return error;
    }
    // The file and every other name of it hold `old`, and nothing else is
    // left beside them.
    void ExpectOld(const std::string& old, bool linked) {
        for (const fs::path& name : linked ? std::vector{Path(), SecondName()} : std::vector{Path()}) {
            const std::string held = test::FileText(name);
            EXPECT_TRUE(held == old) << name << " holds " << held.size() << " bytes, "
                                     << std::count(held.begin(), held.end(), 'n') << " of them new";
        }
        EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(folder_.path()), {})), linked ? 2u : 1u);
    }
    static void ExpectNamed(const std::string& said, const fs::path& path, int error) {
        EXPECT_NE(said.find(path.string() + " was not saved: " + std::strerror(error)), std::string::npos) << said;
        EXPECT_NE(said.find("the file is as it was"), std::string::npos) << said;
    }
};

// A write that fails part way through a rewrite in place, as a disk error or
// a full disk would: the bytes written so far are put back, whether the
// file grows, keeps its size or shrinks.
TEST_F(FailedSave, ARewriteInPlaceFailingPartWayPutsTheOldBytesBack) {
    const struct {
        const char* what;
        std::string old, bytes;
        size_t budget;
    } cases[] = {
        {"grows", std::string(100, 'o'), std::string(300, 'n'), 150},
        {"same size", "keep" + std::string(200, 'o'), "keep" + std::string(200, 'n'), 60},
        {"shrinks", std::string(300, 'o'), std::string(100, 'n'), 40},
        {"nothing written", std::string(50, 'o'), std::string(80, 'n'), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(SecondName());
        Place(c.old, true);
        std::string said;
        {
            test::FailingWrites fail(c.budget);
            EXPECT_EQ(Save(c.bytes, &said), ENOSPC);
        }
        ExpectOld(c.old, true);
        ExpectNamed(said, Path(), ENOSPC);
    }
}

TEST_F(FailedSave, ARewriteInPlaceWhoseFlushFailsPutsTheOldBytesBack) {
    Place(std::string(64, 'o'), true);
    const Flushes flushes(Path().string(), true);
    std::string said;
    EXPECT_EQ(Save(std::string(32, 'n'), &said), EIO);
    ExpectOld(std::string(64, 'o'), true);
    ExpectNamed(said, Path(), EIO);
}

// A small tmpfs of the test's own, filled up: a real full disk.
class FullDisk {
public:
    explicit FullDisk(const fs::path& mountPoint) : at_(mountPoint) {
        mounted_ = ::mount("tmpfs", at_.c_str(), "tmpfs", 0, "size=256k") == 0;
    }
    ~FullDisk() {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    // Takes up every free block.
    void Fill() const {
        const int fd = ::open((at_ / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
        const std::string block(4096, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }

private:
    fs::path at_;
    bool mounted_ = false;
};

// On a full disk a file that grows cannot be saved: rewritten in place, it
// fails before its first byte changes (its existing blocks could still be
// overwritten, so a rewrite that went ahead would end half new); replaced
// whole, the new file cannot be written and goes.
TEST_F(FailedSave, OnARealFullDiskAGrowingFileStaysWhole) {
    const FullDisk disk(folder_.path());
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs takes the superuser";
    const std::string old(8192, 'o');
    for (const bool linked : {true, false}) {
        SCOPED_TRACE(linked ? "in place" : "replaced whole");
        fs::remove(SecondName());
        fs::remove(folder_.path() / "filler");
        Place(old, linked);
        disk.Fill();
        std::string said;
        EXPECT_EQ(Save(std::string(65536, 'n'), &said), ENOSPC);
        fs::remove(folder_.path() / "filler");
        ExpectOld(old, linked);
        ExpectNamed(said, Path(), ENOSPC);
    }
}

// Makes `path` read-only when a save opens a file, for the life of the
// object.
class ChmodAtOpen {
public:
    explicit ChmodAtOpen(const fs::path& path) {
        path_ = path.string();
        previous_ = platform::openCall;
        platform::openCall = [](const char* name, int flags, mode_t mode) {
            ::chmod(path_.c_str(), 0444);
            return previous_(name, flags, mode);
        };
    }
    ~ChmodAtOpen() { platform::openCall = previous_; }
    ChmodAtOpen(const ChmodAtOpen&) = delete;
    ChmodAtOpen& operator=(const ChmodAtOpen&) = delete;

private:
    static inline std::string path_;
    static inline platform::OpenCall previous_ = nullptr;
};

// A mode that refuses writing, set after the save looked at the file and
// before it opened what it writes, is obeyed, by the superuser too.
TEST_F(FailedSave, AModeChangedBeforeTheOpenIsObeyed) {
    for (const bool linked : {true, false}) {
        SCOPED_TRACE(linked ? "in place" : "replaced whole");
        fs::remove(SecondName());
        Place("old", linked);
        fs::permissions(Path(), fs::perms::owner_read | fs::perms::owner_write);
        std::string said;
        {
            const ChmodAtOpen chmod(Path());
            EXPECT_EQ(Save("new", &said), EACCES);
        }
        ExpectOld("old", linked);
        ExpectNamed(said, Path(), EACCES);
        EXPECT_EQ(fs::status(Path()).permissions(), fs::perms::owner_read | fs::perms::group_read |
                                                        fs::perms::others_read);
        fs::permissions(Path(), fs::perms::owner_read | fs::perms::owner_write);
    }
}

TEST(TemporaryTarget, NamesTheFileOnlyOfTheWritersOwnTemporaries) {
    const struct {
        const char* name;
        const char* target;
    } cases[] = {
        {".tobra003.rpl.tmp0", "tobra003.rpl"}, {".system.dat.tmp99", "system.dat"}, {".a.tmp.tmp7", "a.tmp"},
        {".tobra003.rpl.tmp100", ""},           {".tobra003.rpl.tmp07", ""},         {".tobra003.rpl.tmp", ""},
        {"tobra003.rpl.tmp0", ""},              {".tmp0", ""},                       {".x.tmp0~", ""},
        {".x.swp", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::TemporaryTarget(c.name), c.target) << c.name;
}

}  // namespace
