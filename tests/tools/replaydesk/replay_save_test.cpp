// Saving over files the user may not or cannot replace: protected files stay
// as they are, and a file that cannot be replaced is written in place.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "game/flow/replay_file.h"
#include "tests/support/hostile_files.h"
#include "tests/support/other_user.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/replaydesk/replay_fixture.h"
#include "tools/replaydesk/core/replay_record.h"
#include "tools/replaydesk/core/replay_summary.h"

namespace replaydesk {
namespace {

namespace fs = std::filesystem;
using test::CommentOf;
using test::ReadBytes;
using test::ReplayBytes;
using test::WriteBytes;

constexpr uid_t kOtherUser = 65534;  // nobody

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Takes write permission from a folder for the life of the object.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(fs::path folder) : folder_(std::move(folder)) { ::chmod(folder_.c_str(), 0555); }
    ~ReadOnlyFolder() { ::chmod(folder_.c_str(), 0755); }

private:
    fs::path folder_;
};

// A replay of 400 frames in a fresh folder, loaded, with its comment edited.
class SaveTest : public testing::Test {
protected:
    SaveTest() : path_(dir_.file("tobra001.rpl")), original_(ReplayBytes(test::SampleHeader(), 400)) {
        WriteBytes(path_, original_);
        EXPECT_TRUE(LoadReplay(path_, record_));
        StoreEditedComment(record_.header, "edited");
        edited_ = ReplayFileBytes(record_);
    }

    static bool IsRoot() { return ::geteuid() == 0; }

    // Giving a file to another user takes the superuser.
    static bool CanRun(const char* what, bool otherOwner) {
        if (!otherOwner || IsRoot()) return true;
        std::cout << "skipped without root: " << what << "\n";
        return false;
    }

    ::test::TempDir dir_;
    std::string path_;
    std::vector<uint8_t> original_;
    std::vector<uint8_t> edited_;
    ReplayRecord record_;
};

// The superuser's tool may write anything; it still leaves a file alone that
// its permissions protect from the user, as it would for anyone else.
TEST_F(SaveTest, AProtectedFileIsNotWrittenAndKeepsModeAndOwner) {
    const struct { const char* what; mode_t mode; bool otherOwner; } cases[] = {
        {"read-only (444)", 0444, false},
        {"read-only for its owner (464)", 0464, false},
        {"another user's (644)", 0644, true},
        {"another user's, group-writable (664)", 0664, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!CanRun(c.what, c.otherOwner)) continue;
        WriteBytes(path_, original_);
        ASSERT_EQ(::chmod(path_.c_str(), c.mode), 0);
        const uid_t owner = c.otherOwner ? kOtherUser : ::geteuid();
        const gid_t group = c.otherOwner ? kOtherUser : ::getegid();
        ASSERT_EQ(::chown(path_.c_str(), owner, group), 0);
        const struct stat before = StatOf(path_);

        const SaveResult result = SaveReplay(path_, record_);
        EXPECT_EQ(result.error, EACCES);
        EXPECT_EQ(ReadBytes(path_), original_);
        const struct stat after = StatOf(path_);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
        EXPECT_EQ(after.st_uid, owner);
        EXPECT_EQ(FolderEntries(dir_.path()), std::vector<std::string>{"tobra001.rpl"});
        ::chown(path_.c_str(), ::geteuid(), ::getegid());
        ::chmod(path_.c_str(), 0644);
    }
}

// Where a new file would not be the same file to its users, or the folder
// takes no new file, the replay is written where it lies.
TEST_F(SaveTest, AFileThatCannotBeReplacedIsWrittenInPlace) {
    const struct { const char* what; bool otherOwner, readOnlyFolder, hardLink; } cases[] = {
        {"folder without write permission", false, true, false},
        {"another user's file that anyone may write", true, false, false},
        {"a file with a second hard link", false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!CanRun(c.what, c.otherOwner)) continue;
        WriteBytes(path_, original_);
        ::chmod(path_.c_str(), c.otherOwner ? 0666 : 0640);
        if (c.otherOwner) {
            ASSERT_EQ(::chown(path_.c_str(), kOtherUser, kOtherUser), 0);
        }
        const std::string link = dir_.file("second-name.rpl");
        if (c.hardLink) fs::create_hard_link(path_, link);
        const struct stat before = StatOf(path_);
        {
            std::optional<ReadOnlyFolder> readOnly;
            if (c.readOnlyFolder) readOnly.emplace(dir_.path());
            EXPECT_TRUE(SaveReplay(path_, record_));
        }
        EXPECT_EQ(ReadBytes(path_), edited_);
        const struct stat after = StatOf(path_);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_mode, before.st_mode);
        if (c.hardLink) {
            EXPECT_EQ(ReadBytes(link), edited_);
            fs::remove(link);
        }
        EXPECT_EQ(FolderEntries(dir_.path()), std::vector<std::string>{"tobra001.rpl"});
        ::chown(path_.c_str(), ::geteuid(), ::getegid());
    }
}

TEST_F(SaveTest, AnOwnFileInAWritableFolderIsReplacedWhole) {
    ::chmod(path_.c_str(), 0640);
    const struct stat before = StatOf(path_);
    ASSERT_TRUE(SaveReplay(path_, record_));
    EXPECT_EQ(ReadBytes(path_), edited_);
    const struct stat after = StatOf(path_);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
}

// Written in place, only the changed comment goes to the disk: a disk that
// takes no more than that still takes the edit, and one that takes nothing
// leaves the file as it was.
TEST_F(SaveTest, InPlaceOnlyTheChangedBytesAreWritten) {
    const ReadOnlyFolder readOnly(dir_.path());
    {
        ::test::FailingWrites fail(0);
        EXPECT_EQ(SaveReplay(path_, record_).error, ENOSPC);
    }
    EXPECT_EQ(ReadBytes(path_), original_);
    {
        ::test::FailingWrites fail(REPLAY_COMMENT_SIZE);
        EXPECT_TRUE(SaveReplay(path_, record_));
    }
    EXPECT_EQ(ReadBytes(path_), edited_);

    // A trailing part of a record goes, as it does when the file is replaced.
    std::vector<uint8_t> partial = edited_;
    partial.insert(partial.end(), {1, 2, 3});
    WriteBytes(path_, partial);
    ASSERT_TRUE(SaveReplay(path_, record_));
    EXPECT_EQ(ReadBytes(path_), edited_);
}

TEST_F(SaveTest, NeitherFileNorFolderWritableReportsTheFileProtected) {
    ::chmod(path_.c_str(), 0444);
    const ReadOnlyFolder readOnly(dir_.path());
    EXPECT_EQ(SaveReplay(path_, record_).error, EACCES);
    EXPECT_EQ(ReadBytes(path_), original_);
}

// The temporary of a save killed before its rename stays beside the replay;
// the next save removes it, but not one that a running save holds, nor a
// file of another user or another name.
TEST_F(SaveTest, LeftoversOfKilledSavesAreTidiedBySaving) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::writeCall = [](int, const void*, size_t) -> ssize_t {
            ::raise(SIGKILL);
            return -1;
        };
        SaveReplay(path_, record_);
        std::_Exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(FolderEntries(dir_.path()), (std::vector<std::string>{".tobra001.rpl.tmp0", "tobra001.rpl"}));

    WriteBytes(dir_.file(".tobra001.rpl.tmp1"), {1});  // held by a save still running
    const int held = ::open(dir_.file(".tobra001.rpl.tmp1").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    WriteBytes(dir_.file(".tobra001.rpl.tmp2"), {2});
    WriteBytes(dir_.file(".tobra001.rpl.swp"), {3});  // not a temporary of the writer
    WriteBytes(dir_.file(".tobra001.rpl.tmp3"), {4});
    if (IsRoot()) ::chown(dir_.file(".tobra001.rpl.tmp3").c_str(), kOtherUser, kOtherUser);

    ASSERT_TRUE(SaveReplay(path_, record_));
    ::close(held);
    EXPECT_EQ(ReadBytes(path_), edited_);
    std::vector<std::string> expected = {".tobra001.rpl.swp", ".tobra001.rpl.tmp1", "tobra001.rpl"};
    if (IsRoot()) expected.insert(expected.begin() + 2, ".tobra001.rpl.tmp3");
    EXPECT_EQ(FolderEntries(dir_.path()), expected);
}

// The game's replay writer and this tool save through one decision: run as
// another user over the same files, they leave, rewrite in place or replace
// each alike.
TEST(SaveDecision, TheGameAndTheToolDecideAlikeAsAnotherUser) {
    if (!::test::IsRoot()) GTEST_SKIP() << "giving files to another user takes the superuser";
    using ::test::kNobody;
    using ::test::kRoot;
    using ::test::Outcome;
    struct Case {
        const char* what;
        uid_t folderOwner, fileOwner;
        mode_t fileMode;
        bool hardLink;
        Outcome expected;
    };
    const Case cases[] = {
        {"nobody's read-only replay", kNobody, kNobody, 0444, false, Outcome::Left},
        {"root's replay in nobody's folder", kNobody, kRoot, 0644, false, Outcome::Left},
        {"root's replay that anyone may write, in root's folder", kRoot, kRoot, 0666, false, Outcome::InPlace},
        {"nobody's replay in root's folder", kRoot, kNobody, 0644, false, Outcome::InPlace},
        {"nobody's replay with a second name", kNobody, kNobody, 0644, true, Outcome::InPlace},
        {"nobody's replay in nobody's folder", kNobody, kNobody, 0644, false, Outcome::Replaced},
    };
    const std::vector<uint8_t> original = ReplayBytes(test::SampleHeader(), 40);
    // Each saver writes new bytes over tobra000.rpl in the game folder's
    // replay folder.
    const struct {
        const char* who;
        int (*save)(const std::string& gameFolder);
    } savers[] = {
        {"the game",
         [](const std::string& gameFolder) {
             if (::chdir(gameFolder.c_str()) != 0) return 2;
             StartReplayRecording(ReplayMatch{1, 2, 0, 1, 3, 0, 0, 77, 0});
             for (int frame = 0; frame < 10; ++frame) {
                 RecordReplayInput(0, static_cast<InputWord>(frame));
                 RecordReplayInput(1, 0);
             }
             std::snprintf(replayFileName, sizeof replayFileName, "replay\\tobra000.rpl");
             WriteReplayFile(ReplayOutcome{0, 10, 1});
             return 0;
         }},
        {"the tool",
         [](const std::string& gameFolder) {
             const std::string path = gameFolder + "/replay/tobra000.rpl";
             ReplayRecord record;
             if (!LoadReplay(path, record)) return 3;
             StoreEditedComment(record.header, "edited");
             SaveReplay(path, record);
             return 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& saver : savers) {
            SCOPED_TRACE(saver.who);
            ::test::TempDir dir;
            ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
            const std::string game = ::test::MakeFolder(dir.path().string(), "game", kNobody, 0755);
            const std::string folder = ::test::MakeFolder(game, "replay", c.folderOwner, 0755);
            ASSERT_NE(folder, "");
            const std::string path = folder + "/tobra000.rpl";
            ::test::PlaceFile(path, original, c.fileOwner, c.fileMode);
            if (c.hardLink) fs::create_hard_link(path, game + "/second-name.rpl");
            const ::test::FileState before = ::test::StateOf(path);

            ASSERT_EQ(::test::RunAsNobody([&] { return saver.save(game); }), 0);

            EXPECT_STREQ(::test::OutcomeName(::test::OutcomeOf(before, ::test::StateOf(path))),
                         ::test::OutcomeName(c.expected));
            EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"tobra000.rpl"}) << "no temporary is left";
        }
    }
}

}  // namespace
}  // namespace replaydesk
