#include "tools/replaydesk/core/replay_desk.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/replaydesk/replay_fixture.h"

namespace replaydesk {
namespace {

using test::CommentOf;
using test::ReadBytes;
using test::ReplayBytes;
using test::WriteBytes;

// A desk whose file dialog answers with `chosen` and records where it opened.
class ReplayDeskTest : public testing::Test {
protected:
    ReplayDeskTest()
        : desk_([this](const std::string& folder) {
                    chooserFolders_.push_back(folder);
                    return chosen_;
                },
                "/opt/aerial") {}

    std::string AddReplay(const std::string& name, const ReplayHeader& header, size_t frames = 10) {
        WriteBytes(dir_.file(name), ReplayBytes(header, frames));
        return dir_.file(name);
    }

    ::test::TempDir dir_;
    std::optional<std::string> chosen_;
    std::vector<std::string> chooserFolders_;
    ReplayDesk desk_;
};

TEST_F(ReplayDeskTest, UpdateBeforeAnyReplayDoesNothing) {
    EXPECT_FALSE(desk_.Update("comment", true));
    EXPECT_FALSE(desk_.replayShown());
    EXPECT_EQ(desk_.SummaryText(), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(ReplayDeskTest, OpenAsksInTheProgramFolderAndShowsTheChosenReplay) {
    EXPECT_FALSE(desk_.Open());  // cancelled
    EXPECT_FALSE(desk_.replayShown());

    chosen_ = AddReplay("tobra003.rpl", test::SampleHeader());
    EXPECT_TRUE(desk_.Open());
    EXPECT_EQ(chooserFolders_, (std::vector<std::string>{"/opt/aerial", "/opt/aerial"}));
    EXPECT_TRUE(desk_.replayShown());
    EXPECT_EQ(desk_.replayPath(), *chosen_);
    EXPECT_EQ(desk_.SummaryText(),
              "Tobrazel(Ver1.0) \r\nMatch:キルネ(w) vs ベモ \r\nMode :Practice \r\nDamage 1234 (7Hit) \r\n"
              "Date :2005/ 3/ 7/09:05");
    EXPECT_EQ(desk_.CommentText(), "ここにコメントが入ります。");
}

TEST_F(ReplayDeskTest, AFailedLoadKeepsThePreviousReplayAndItsPath) {
    const std::string good = AddReplay("good.rpl", test::SampleHeader());
    WriteBytes(dir_.file("short.rpl"), std::vector<uint8_t>(100, 0x20));
    ASSERT_TRUE(desk_.Load(good));

    chosen_ = dir_.file("short.rpl");
    EXPECT_FALSE(desk_.Open());
    EXPECT_FALSE(desk_.Load(dir_.file("missing.rpl")));
    EXPECT_EQ(desk_.replayPath(), good);

    ASSERT_TRUE(desk_.Update("edited", true));
    EXPECT_EQ(CommentOf(ReadBytes(good)), "edited");
    EXPECT_EQ(ReadBytes(dir_.file("short.rpl")), std::vector<uint8_t>(100, 0x20));
    EXPECT_FALSE(std::filesystem::exists(dir_.file("missing.rpl")));
}

TEST_F(ReplayDeskTest, EditedCommentIsStoredInCp932WithSingleLineFeeds) {
    const std::string path = AddReplay("tobra004.rpl", test::SampleHeader());
    ASSERT_TRUE(desk_.Load(path));
    // The text box hands back LF line ends; CRs and unencodable characters may come from a paste.
    ASSERT_TRUE(desk_.Update("一行目\r\n2\n\xF0\x9F\x98\x80", true));
    EXPECT_EQ(CommentOf(ReadBytes(path)), "\x88\xEA\x8D\x73\x96\xDA\n2\n?");
    EXPECT_EQ(desk_.CommentText(), "一行目\r\n2\r\n?");
}

TEST_F(ReplayDeskTest, AnUneditedCommentKeepsBytesThatUnicodeWouldChange) {
    // NEC-selected and IBM extension duplicates come back from Unicode as
    // other codes; 0x80 and 0xA0 are no CP932 characters at all.
    const std::string stored = "\xED\x40\x87\x90\xFA\x54\x80\xA0";
    ReplayHeader header = test::SampleHeader();
    std::memset(header.comment, 0, sizeof header.comment);
    std::memcpy(header.comment, stored.data(), stored.size());
    const std::string path = AddReplay("tobra005.rpl", header);
    const std::vector<uint8_t> original = ReadBytes(path);
    ASSERT_TRUE(desk_.Load(path));

    ASSERT_TRUE(desk_.Update(desk_.CommentText(), false));
    EXPECT_EQ(ReadBytes(path), original);

    // The same text, once edited, is what Unicode makes of it.
    ASSERT_TRUE(desk_.Update(desk_.CommentText(), true));
    EXPECT_NE(CommentOf(ReadBytes(path)), stored);
}

// Each file that does not load is named, with the reason; the shown replay
// stays. A huge file is refused from its size, without reading it.
TEST_F(ReplayDeskTest, AFileThatDoesNotLoadIsNamedWithTheReason) {
    const std::string good = AddReplay("good.rpl", test::SampleHeader());
    ASSERT_TRUE(desk_.Load(good));
    WriteBytes(dir_.file("short.rpl"), std::vector<uint8_t>(REPLAY_HEADER_SIZE - 1, 0x20));
    ::test::MakeSparseFile(dir_.file("huge.rpl"), ReplayBytes(test::SampleHeader(), 0), off_t{1} << 30);
    std::filesystem::create_directory(dir_.file("folder.rpl"));
    ::test::MakeFifo(dir_.file("fifo.rpl"));
    const struct { const char* name; std::string reason; } cases[] = {
        {"missing.rpl", "ファイルが見つかりません。"},
        {"short.rpl", "リプレイファイルとしては小さすぎます（1112 バイトに足りません）。"},
        {"huge.rpl", "リプレイファイルとしては大きすぎます（20737112 バイトまで）。"},
        {"folder.rpl", "通常のファイルではありません。"},
        {"fifo.rpl", "通常のファイルではありません。"},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(desk_.Load(dir_.file(c.name)));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.name;
        EXPECT_EQ(desk_.failure(), "リプレイファイルを開けませんでした。\n" + dir_.file(c.name) + "\n" + c.reason);
        EXPECT_EQ(desk_.replayPath(), good);
    }
    chosen_ = dir_.file("short.rpl");
    EXPECT_FALSE(desk_.Open());
    EXPECT_NE(desk_.failure().find("小さすぎます"), std::string::npos);
    chosen_.reset();
    EXPECT_FALSE(desk_.Open());  // cancelled: nothing to say
    EXPECT_EQ(desk_.failure(), "");
    ASSERT_TRUE(desk_.Load(good));
    EXPECT_EQ(desk_.failure(), "");
}

// An edit that could not be saved is not taken for the stored comment.
TEST_F(ReplayDeskTest, AFailedUpdateKeepsTheStoredComment) {
    const std::string path = AddReplay("tobra006.rpl", test::SampleHeader());
    const std::vector<uint8_t> original = ReadBytes(path);
    ASSERT_TRUE(desk_.Load(path));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);

    EXPECT_FALSE(desk_.Update("never saved", true));
    EXPECT_EQ(desk_.failure(),
              "コメントを保存できませんでした。\n" + path +
                  "\nこのファイルへの書き込みは許可されていません（読み取り専用か、ほかのユーザーのファイルです）。");
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(desk_.CommentText(), "ここにコメントが入ります。");

    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    ASSERT_TRUE(desk_.Update("saved", true));
    EXPECT_EQ(desk_.failure(), "");
    EXPECT_EQ(CommentOf(ReadBytes(path)), "saved");
}

TEST_F(ReplayDeskTest, ACrLfCommentShowsOneBreakALineAndKeepsItsLineEnds) {
    ReplayHeader header = test::SampleHeader();
    std::memset(header.comment, 0, sizeof header.comment);
    const char stored[] = "\x8F\x9F\x82\xBF\r\nround 2\r\n";  // 勝ち, round 2
    std::memcpy(header.comment, stored, sizeof stored - 1);
    const std::string path = AddReplay("crlf.rpl", header);
    const std::vector<uint8_t> original = ReadBytes(path);
    ASSERT_TRUE(desk_.Load(path));
    EXPECT_EQ(desk_.CommentText(), "勝ち\r\nround 2\r\n");

    // The text box hands back LF line ends.
    ASSERT_TRUE(desk_.Update("勝ち\nround 2\n", true));
    EXPECT_EQ(ReadBytes(path), original);
    ASSERT_TRUE(desk_.Update("勝ち!\nround 2\nand 3", true));
    EXPECT_EQ(CommentOf(ReadBytes(path)), "\x8F\x9F\x82\xBF!\r\nround 2\r\nand 3");
}

// What killed saves left beside the game's replays goes when the tool starts
// and when a replay is opened.
TEST_F(ReplayDeskTest, StartAndLoadTidyLeftoverTemporaries) {
    const std::filesystem::path replays = dir_.path() / "replay";
    std::filesystem::create_directory(replays);
    WriteBytes((replays / "tobra001.rpl").string(), ReplayBytes(test::SampleHeader(), 2));
    WriteBytes((replays / ".tobra001.rpl.tmp0").string(), {0});
    WriteBytes((replays / "notes.txt").string(), {0});
    ReplayDesk started([](const std::string&) { return std::nullopt; }, dir_.path().string());
    EXPECT_FALSE(std::filesystem::exists(replays / ".tobra001.rpl.tmp0"));
    EXPECT_TRUE(std::filesystem::exists(replays / "notes.txt"));

    const std::string elsewhere = AddReplay("mine.rpl", test::SampleHeader());
    WriteBytes(dir_.file(".mine.rpl.tmp5"), {0});
    ASSERT_TRUE(desk_.Load(elsewhere));
    EXPECT_FALSE(std::filesystem::exists(dir_.file(".mine.rpl.tmp5")));
}

TEST(DisplayPath, ShowsEachNameReadably) {
    const struct { std::string path, shown; } cases[] = {
        {"/home/user/リプレイ/tobra001.rpl", "/home/user/リプレイ/tobra001.rpl"},
        {"/home/user/\x83\x8A\x83\x76\x83\x8C\x83\x43.rpl", "/home/user/リプレイ.rpl"},  // CP932
        {"/mnt/win/\x83\x8A\x83\x76/\xE8\xA9\xA6\xE5\x90\x88.rpl", "/mnt/win/リプ/試合.rpl"},  // each name its own way
        {"/tmp/\x83\x8A\x83\x76\xFF.rpl", "/tmp/\\x83\\x8A\\x83v\\xFF.rpl"},  // neither
        {"/tmp/caf\xC3\xA9\xFF.rpl", "/tmp/café\\xFF.rpl"},
        {"/tmp/two\nlines.rpl", "/tmp/two\\x0Alines.rpl"},
        {"relative.rpl", "relative.rpl"},
        {"/tmp/\xC0\xAF\x80.rpl", "/tmp/\\xC0\\xAF\\x80.rpl"},  // an overlong '/', and 0x80 is no CP932
    };
    for (const auto& c : cases) EXPECT_EQ(DisplayPath(c.path), c.shown) << c.path;
}

}  // namespace
}  // namespace replaydesk
