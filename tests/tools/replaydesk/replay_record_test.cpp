#include "tools/replaydesk/core/replay_record.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"
#include "platform/little_endian.h"
#include "tests/tools/replaydesk/replay_fixture.h"
#include "tools/replaydesk/core/replay_summary.h"

namespace replaydesk {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::ReplayBytes;
using test::WriteBytes;

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    return names;
}

TEST(ReplayRecord, LoadAndSaveKeepEveryWholeRecord) {
    const struct { size_t frames, trailing; } cases[] = {{0, 0}, {0, 3}, {1, 0}, {300, 0}, {300, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frames << " frames, " << c.trailing << " trailing bytes");
        ::test::TempDir dir;
        const std::string path = dir.file("tobra000.rpl");
        const std::vector<uint8_t> original = ReplayBytes(test::SampleHeader(), c.frames, c.trailing);
        WriteBytes(path, original);

        ReplayRecord record;
        ASSERT_TRUE(LoadReplay(path, record));
        ASSERT_EQ(record.inputs[0].size(), c.frames);
        ASSERT_EQ(record.inputs[1].size(), c.frames);
        if (c.frames > 0) {  // side 0's word first in each record, little-endian
            EXPECT_EQ(record.inputs[0][0], platform::ReadLe16(original.data() + 1112));
            EXPECT_EQ(record.inputs[1][0], platform::ReadLe16(original.data() + 1114));
        }
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(SaveReplay(path, record));
            ASSERT_TRUE(LoadReplay(path, record));
        }
        const std::vector<uint8_t> expected(original.begin(), original.begin() + 1112 + 4 * c.frames);
        EXPECT_EQ(ReadBytes(path), expected);
        EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"tobra000.rpl"});  // no temporary left
    }
}

TEST(ReplayRecord, AnEditChangesOnlyTheCommentBytes) {
    // Every header byte non-zero, so a byte written from the wrong place shows.
    std::vector<uint8_t> original = ReplayBytes(ReplayHeader{}, 20);
    for (size_t i = 0; i < REPLAY_HEADER_SIZE; ++i) original[i] = static_cast<uint8_t>(i % 251 + 1);
    ::test::TempDir dir;
    const std::string path = dir.file("edited.rpl");
    WriteBytes(path, original);

    ReplayRecord record;
    ASSERT_TRUE(LoadReplay(path, record));
    StoreEditedComment(record.header, "new\ncomment");
    ASSERT_TRUE(SaveReplay(path, record));

    const std::vector<uint8_t> saved = ReadBytes(path);
    ASSERT_EQ(saved.size(), original.size());
    const size_t commentStart = offsetof(ReplayHeader, comment);
    const size_t commentEnd = commentStart + sizeof("new\ncomment");  // text and its NUL
    for (size_t i = 0; i < saved.size(); ++i) {
        if (i >= commentStart && i < commentEnd) continue;
        ASSERT_EQ(saved[i], original[i]) << "byte " << i;
    }
    EXPECT_EQ(test::CommentOf(saved), "new\ncomment");
}

TEST(ReplayRecord, AFailedLoadKeepsTheRecord) {
    ::test::TempDir dir;
    WriteBytes(dir.file("short.rpl"), std::vector<uint8_t>(REPLAY_HEADER_SIZE - 1, 0x41));
    fs::create_directory(dir.file("folder.rpl"));
    WriteBytes(dir.file("good.rpl"), ReplayBytes(test::SampleHeader(), 5));
    ReplayRecord record;
    ASSERT_TRUE(LoadReplay(dir.file("good.rpl"), record));

    for (const char* name : {"missing.rpl", "short.rpl", "folder.rpl"}) {
        EXPECT_FALSE(LoadReplay(dir.file(name), record)) << name;
        EXPECT_EQ(record.header.randomSeed, 4321) << name;
        EXPECT_EQ(record.inputs[0].size(), 5u) << name;
    }
}

// A chosen file that is a FIFO or holds more than any battle records fails
// to load at once, without running out of memory.
TEST(ReplayRecord, FifosAndHugeFilesFailToLoadAtOnce) {
    ::test::TempDir dir;
    ::test::MakeFifo(dir.file("fifo.rpl"));
    const std::vector<uint8_t> head = ReplayBytes(test::SampleHeader(), 0);
    ::test::MakeSparseFile(dir.file("huge.rpl"), head, off_t{5} << 30);
    const auto tooLong = static_cast<off_t>(REPLAY_HEADER_SIZE + (REPLAY_MAX_FRAMES + 1) * REPLAY_FRAME_SIZE);
    ::test::MakeSparseFile(dir.file("too_long.rpl"), head, tooLong);
    for (const char* name : {"fifo.rpl", "huge.rpl", "too_long.rpl"}) {
        ReplayRecord record;
        EXPECT_BOUNDED(LoadReplay(dir.file(name), record) ? 1 : 0, 0) << name;
    }
}

// Lets the process write files of at most `limit` bytes, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a signal
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST(ReplayRecord, AFailedSaveLeavesTheOriginalIntact) {
    ::test::TempDir dir;
    const std::string path = dir.file("tobra001.rpl");
    const std::vector<uint8_t> original = ReplayBytes(test::SampleHeader(), 400);
    WriteBytes(path, original);
    ReplayRecord record;
    ASSERT_TRUE(LoadReplay(path, record));
    StoreEditedComment(record.header, "lost");

    {
        FileSizeLimit limit(1500);  // the header fits, the frames do not
        EXPECT_FALSE(SaveReplay(path, record));
    }
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"tobra001.rpl"});

    EXPECT_FALSE(SaveReplay(dir.file("no-such-folder/x.rpl"), record));
}

TEST(ReplayRecord, SaveGoesThroughALinkAndKeepsTheFileMode) {
    ::test::TempDir dir;
    const std::string target = dir.file("target.rpl");
    const std::string link = dir.file("link.rpl");
    WriteBytes(target, ReplayBytes(test::SampleHeader(), 3));
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(target, link);

    ReplayRecord record;
    ASSERT_TRUE(LoadReplay(link, record));
    StoreEditedComment(record.header, "through the link");
    ASSERT_TRUE(SaveReplay(link, record));

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::CommentOf(ReadBytes(target)), "through the link");
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace replaydesk
